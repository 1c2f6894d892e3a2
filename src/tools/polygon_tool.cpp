// CFPolygon: a polyline or closed polygon placed vertex by vertex. The press that started
// the tool is the first vertex; each release adds one unless it lands near the last
// vertex; a press on the first vertex closes, a double-click, Esc or Alt ends it open.
#include <vector>

#include "path/parameters.h"
#include "tools/constraints.h"
#include "tools/figure_tool.h"
#include "tools/gesture.h"
#include "tools/loop_figure.h"
#include "tools/message_loop.h"
#include "tools/tools.h"

namespace vx {

namespace {

using tools::CanvasPoint;
using tools::Gesture;
using tools::ScreenPoint;
using tools::Step;

class PolygonLoop final : public tools::MessageHandler {
public:
    PolygonLoop(Gesture& g, double x, double y)
        : g_(g), pressX_(x), pressY_(y), half_(g_parameters.HalfMarkSize()) {
        const ScreenPoint start = tools::TruncatePoint(x, y);
        p0_ = g_.Adjust(static_cast<double>(start.x), static_cast<double>(start.y));
        vertices_.push_back(p0_);
        accumulated_ = tools::BoxOf(p0_, p0_);
        anchor_ = last_ = start;
    }

    Step MouseMove(const platform::Message& msg) override {
        const ScreenPoint raw = tools::MessagePoint(msg);
        if (raw == last_) return Step::Continue;
        ScreenPoint p = raw;
        if (platform::KeyHeld(VX_KEY_SHIFT)) p = tools::ConstrainEightDirections(anchor_, p);
        g_.Restore(nullptr);
        const CanvasPoint c = g_.Adjust(static_cast<double>(p.x), static_cast<double>(p.y));
        UnionRect(&accumulated_, accumulated_, tools::BoxOf(p0_, c));
        IDrawSurface* s = g_.surface();
        s->BeginPath(nullptr);
        s->MoveTo(vertices_[0].x, vertices_[0].y);
        for (size_t i = 1; i < vertices_.size(); ++i) s->LineTo(vertices_[i].x, vertices_[i].y);
        s->LineTo(c.x, c.y);
        s->EndPath(nullptr, 1);
        if (vertices_.size() >= 3 && tools::InSquare(pressX_, pressY_, half_, p)) {
            const double size = g_parameters.MarkSizeValue();
            s->DrawMark(p0_.x, p0_.y, size, size, VX_MARK_CONTROL);
        }
        s->ShowOverlay(g_.token(), &accumulated_.x1);
        last_ = raw;
        return Step::Continue;
    }

    // A release adds a vertex unless it falls in the near box of the last one.
    Step LeftButtonUp(const platform::Message& msg) override {
        ScreenPoint p = tools::MessagePoint(msg);
        if (platform::KeyHeld(VX_KEY_SHIFT)) p = tools::ConstrainEightDirections(anchor_, p);
        CanvasPoint lastVertex = vertices_.back();
        g_.host()->ToScreen(&lastVertex.x, &lastVertex.y);
        if (tools::InSquare(lastVertex.x, lastVertex.y, half_, p)) return Step::Continue;
        vertices_.push_back(g_.Adjust(static_cast<double>(p.x), static_cast<double>(p.y)));
        anchor_ = p;
        return Step::Continue;
    }

    // A press on the first vertex closes once there are three vertices; any other press
    // is eaten, never dispatched.
    bool LeftButtonDown(const platform::Message& msg, Step* step) override {
        if (vertices_.size() >= 3 &&
            tools::InSquare(pressX_, pressY_, half_, tools::MessagePoint(msg))) {
            closed_ = true;
            *step = Step::Finish;
        }
        return true;
    }
    bool LeftButtonDoubleClick(const platform::Message&, Step* step) override {
        *step = Step::Finish;
        return true;
    }
    Step EscapeOrAlt() override { return Step::Finish; }

    void Write(IVXPath* path) const {
        if (vertices_.size() < 2) return;
        path->AddNode(VX_NODE_MOVE, vertices_[0].x, vertices_[0].y, 0, 0, 0, 0);
        for (size_t i = 1; i < vertices_.size(); ++i) {
            path->AddNode(VX_NODE_LINE, vertices_[i].x, vertices_[i].y, 0, 0, 0, 0);
        }
        if (closed_) path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    }

private:
    Gesture& g_;
    const double pressX_, pressY_, half_;
    CanvasPoint p0_;
    std::vector<CanvasPoint> vertices_;
    Rect accumulated_;
    ScreenPoint anchor_, last_;
    bool closed_ = false;
};

using CFPolygon = tools::LoopFigure<PolygonLoop>;

}  // namespace

IVXFigures* CreatePolygonTool() { return new CFPolygon(VXTEXT("Polygon")); }

}  // namespace vx
