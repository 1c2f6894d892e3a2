// CFCustomFigures: the figure of a template, dragged or placed as a box. One object serves
// every template; the name it is called with says which. The figure is built in a frame
// turned by the host's rotation, and the path keeps its own copy of the template.
#include <cmath>
#include <memory>

#include "path/path.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "tools/constraints.h"
#include "tools/figure_tool.h"
#include "tools/gesture.h"
#include "tools/message_loop.h"
#include "tools/place_loop.h"
#include "tools/tools.h"

namespace vx {

namespace {

using tools::CanvasPoint;
using tools::Gesture;
using tools::ScreenPoint;
using tools::Step;

// One gesture's template work: the working copy, the turn, and the frame step.
class TemplateFrames {
public:
    TemplateFrames(Gesture& g, std::unique_ptr<FigureTemplate> working, IVXPath* path)
        : g_(g), working_(std::move(working)), path_(path), own_(CVXPath::FromInterface(path)) {
        const double theta = g_.host()->GetRotation();
        cos_ = std::cos(theta);
        sin_ = std::sin(theta);
    }

    // Builds the figure into the box of k0 and k1 as seen unturned (U), turns the path
    // back (W), draws it and shows the box of the two corners themselves.
    void Show(CanvasPoint k0, CanvasPoint k1) {
        const CanvasPoint m{(k0.x + k1.x) * 0.5, (k0.y + k1.y) * 0.5};
        const double c = cos_, s = sin_;
        const PathTransform u{c, -s, s, c, (1 - c) * m.x - s * m.y, (1 - c) * m.y + s * m.x};
        const PathTransform w{c, s, -s, c, (1 - c) * m.x + s * m.y, (1 - c) * m.y - s * m.x};
        double ux0, uy0, ux1, uy1;
        MapPoint(k0.x, k0.y, u, &ux0, &uy0);
        MapPoint(k1.x, k1.y, u, &ux1, &uy1);
        const double frame[4] = {std::fmin(ux0, ux1), std::fmin(uy0, uy1), std::fmax(ux0, ux1),
                                 std::fmax(uy0, uy1)};
        g_.RestoreOld();
        BuildPathFromTemplate(path_, *working_, frame);  // a failed build leaves what it built
        path_->SetTransform(&w.a);
        if (own_) own_->DrawPath(g_.surface(), 1, true);
        else path_->Draw(g_.surface());
        g_.ShowUnion(tools::BoxOf(k0, k1));
    }

    // The path keeps its own copy of the template with the frame of the last build.
    void Attach() {
        if (own_) own_->AttachTemplate(working_.get());
    }

private:
    Gesture& g_;
    std::unique_ptr<FigureTemplate> working_;
    IVXPath* path_;
    CVXPath* own_;
    double cos_ = 1.0, sin_ = 0.0;
};

class DrawLoop final : public tools::MessageHandler {
public:
    DrawLoop(Gesture& g, TemplateFrames& frames, double x, double y)
        : g_(g), frames_(frames), start_(tools::TruncatePoint(x, y)), last_(start_) {
        p0_ = g_.Adjust(x, y);
        p1_ = p0_;
        g_.old = tools::BoxOf(p0_, p0_);
    }

    Step MouseMove(const platform::Message& msg) override {
        const ScreenPoint raw = tools::MessagePoint(msg);
        if (raw == last_) return Step::Continue;
        if (g_.host()->AcceptTrackPoint(static_cast<double>(raw.x), static_cast<double>(raw.y),
                                        1) == 0) {
            return Step::Continue;
        }
        ScreenPoint p = raw;
        if (platform::KeyHeld(VX_KEY_SHIFT)) p = tools::ConstrainSquareKeepLonger(start_, p);
        p1_ = g_.Adjust(static_cast<double>(p.x), static_cast<double>(p.y));
        frames_.Show(p0_, p1_);
        last_ = raw;
        moved_ = true;
        return Step::Continue;
    }

    Step LeftButtonUp(const platform::Message&) override {
        if (!moved_ || p1_.x == p0_.x || p1_.y == p0_.y) return Step::Cancel;
        frames_.Attach();
        return Step::Finish;
    }

private:
    Gesture& g_;
    TemplateFrames& frames_;
    ScreenPoint start_, last_;
    CanvasPoint p0_, p1_;
    bool moved_ = false;
};

// Place: the shared placing loop building the figure in the moved box.
class TemplatePlaceLoop final : public tools::PlaceLoop {
public:
    TemplatePlaceLoop(Gesture& g, TemplateFrames& frames, double x, double y, double w, double h)
        : PlaceLoop(g, x, y, w, h), frames_(frames) {}

    // Nothing shown yet means nothing built: the release cancels.
    Step LeftButtonUp(const platform::Message&) override {
        if (!shown_) return Step::Cancel;
        frames_.Attach();
        return Step::Finish;
    }

private:
    void Show() override {
        frames_.Show(origin(), Far());
        shown_ = true;
    }

    TemplateFrames& frames_;
    bool shown_ = false;
};

// The gesture works on its own copy, taken before the host is called: a host callback may
// empty or reload the library while the gesture runs.
std::unique_ptr<FigureTemplate> WorkingCopy(const VXCHAR* name) {
    const FigureTemplate* found = TemplateLibrary::Instance().FindTemplate(name);
    return std::unique_ptr<FigureTemplate>(found ? CloneTemplate(*found) : nullptr);
}

class CFCustomFigures final : public FigureTool {
public:
    void Destroy(uint32_t) override { delete this; }

    FigureInfo* GetInfo(const VXCHAR* name) override {
        FigureTemplate* found = TemplateLibrary::Instance().FindTemplate(name);
        return found ? GetInfoStrings(*found) : nullptr;
    }

    bool Draw(const VXCHAR* name, double x, double y, ICanvasHost* host, IGraphicCanvas*,
              IVXPath* path) override {
        std::unique_ptr<FigureTemplate> working = WorkingCopy(name);
        if (!working) return false;
        Gesture g(host);
        if (!g.valid()) return false;
        TemplateFrames frames(g, std::move(working), path);
        DrawLoop loop(g, frames, x, y);
        if (tools::RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        return g.Finish(true);
    }

    bool Place(const VXCHAR* name, double x, double y, double width, double height,
               ICanvasHost* host, IGraphicCanvas*, IVXPath* path) override {
        std::unique_ptr<FigureTemplate> working = WorkingCopy(name);
        if (!working) return false;
        Gesture g(host);
        if (!g.valid()) return false;
        TemplateFrames frames(g, std::move(working), path);
        TemplatePlaceLoop loop(g, frames, x, y, width, height);
        if (tools::RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        return g.Finish(true);
    }

private:
    ~CFCustomFigures() = default;
};

}  // namespace

IVXFigures* CreateCustomFiguresTool() { return new CFCustomFigures(); }

}  // namespace vx
