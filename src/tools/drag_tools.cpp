// CFLine and CFRectangle: one figure dragged from the press to the release, or placed at
// a given size and moved until the release. They differ only in shape, constraint, the
// condition under which a drag is refused, and the rectangle's debugger trace.

#include "platform/debug_output.h"
#include "platform/platform.h"
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

// What distinguishes the two tools. Not an object of the boundary: it lives inside the
// tool class and is consulted by the loops below.
class DragShape {
public:
    virtual ScreenPoint Constrain(ScreenPoint anchor, ScreenPoint p) const = 0;
    virtual void DragFeedback(IDrawSurface* s, CanvasPoint p0, CanvasPoint p1) const = 0;
    virtual bool Refused(CanvasPoint p0, CanvasPoint p1) const = 0;
    virtual void WriteDrag(IVXPath* path, CanvasPoint p0, CanvasPoint p1) const = 0;
    virtual void PlaceFeedback(IDrawSurface* s, CanvasPoint o, double w, double h) const = 0;
    virtual void WritePlace(IVXPath* path, CanvasPoint o, double w, double h) const = 0;

protected:
    ~DragShape() = default;
};

// Draw: the figure from the press (truncated to the pixel) to the last handled move.
class DragLoop final : public tools::MessageHandler {
public:
    DragLoop(Gesture& g, const DragShape& shape, ScreenPoint start)
        : g_(g), shape_(shape), start_(start), last_(start) {
        p0_ = g_.Adjust(static_cast<double>(start.x), static_cast<double>(start.y));
        p1_ = p0_;
        g_.old = tools::BoxOf(p0_, p0_);
    }

    Step MouseMove(const platform::Message& msg) override {
        const ScreenPoint raw = tools::MessagePoint(msg);
        if (raw == last_) return Step::Continue;
        const double rx = static_cast<double>(raw.x), ry = static_cast<double>(raw.y);
        g_.host()->AcceptTrackPoint(rx, ry, 1);
        ScreenPoint p = raw;
        if (platform::KeyHeld(VX_KEY_SHIFT)) p = shape_.Constrain(start_, p);
        p1_ = g_.Adjust(static_cast<double>(p.x), static_cast<double>(p.y));
        g_.RestoreOld();
        g_.surface()->BeginPath(nullptr);
        shape_.DragFeedback(g_.surface(), p0_, p1_);
        g_.surface()->EndPath(nullptr, 1);
        g_.ShowUnion(tools::BoxOf(p0_, p1_));
        last_ = raw;
        moved_ = true;
        return Step::Continue;
    }

    // The release position is not read: the figure ends at the last handled move.
    Step LeftButtonUp(const platform::Message&) override {
        return moved_ && !shape_.Refused(p0_, p1_) ? Step::Finish : Step::Cancel;
    }

    CanvasPoint p0() const { return p0_; }
    CanvasPoint p1() const { return p1_; }

private:
    Gesture& g_;
    const DragShape& shape_;
    ScreenPoint start_, last_;
    CanvasPoint p0_, p1_;
    bool moved_ = false;
};

// Place: the shared placing loop with the tool's shape as feedback.
class ShapePlaceLoop final : public tools::PlaceLoop {
public:
    ShapePlaceLoop(Gesture& g, const DragShape& shape, double x, double y, double w, double h)
        : PlaceLoop(g, x, y, w, h), shape_(shape) {}

private:
    void Show() override {
        g_.RestoreOld();
        g_.surface()->BeginPath(nullptr);
        shape_.PlaceFeedback(g_.surface(), origin(), width(), height());
        g_.surface()->EndPath(nullptr, 1);
        g_.ShowUnion(tools::BoxOf(origin(), Far()));
    }

    const DragShape& shape_;
};

class DragFigure : public BuiltinFigure, protected DragShape {
public:
    bool Draw(const VXCHAR*, double x, double y, ICanvasHost* host, IGraphicCanvas*,
              IVXPath* path) override {
        Gesture g(host);
        if (!g.valid()) return false;
        DragLoop loop(g, *this, tools::TruncatePoint(x, y));
        if (tools::RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        WriteDrag(path, loop.p0(), loop.p1());
        return g.Finish(true);
    }

    bool Place(const VXCHAR*, double x, double y, double width, double height, ICanvasHost* host,
               IGraphicCanvas*, IVXPath* path) override {
        Gesture g(host);
        if (!g.valid()) return false;
        ShapePlaceLoop loop(g, *this, x, y, width, height);
        if (tools::RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        WritePlace(path, loop.origin(), width, height);
        return g.Finish(true);
    }

protected:
    using BuiltinFigure::BuiltinFigure;
    ~DragFigure() = default;
};

class CFLine final : public DragFigure {
public:
    CFLine() : DragFigure(VXTEXT("Line")) {}
    void Destroy(uint32_t) override { delete this; }

private:
    ~CFLine() = default;

    ScreenPoint Constrain(ScreenPoint anchor, ScreenPoint p) const override {
        return tools::ConstrainEightDirections(anchor, p);
    }
    void DragFeedback(IDrawSurface* s, CanvasPoint p0, CanvasPoint p1) const override {
        s->MoveTo(p0.x, p0.y);
        s->LineTo(p1.x, p1.y);
    }
    bool Refused(CanvasPoint p0, CanvasPoint p1) const override {
        return p1.x == p0.x && p1.y == p0.y;
    }
    void WriteDrag(IVXPath* path, CanvasPoint p0, CanvasPoint p1) const override {
        path->AddNode(VX_NODE_MOVE, p0.x, p0.y, 0, 0, 0, 0);
        path->AddNode(VX_NODE_LINE, p1.x, p1.y, 0, 0, 0, 0);
    }
    void PlaceFeedback(IDrawSurface* s, CanvasPoint o, double w, double h) const override {
        s->MoveTo(o.x, o.y);
        s->LineTo(o.x + w, o.y + h);
    }
    void WritePlace(IVXPath* path, CanvasPoint o, double w, double h) const override {
        path->AddNode(VX_NODE_MOVE, o.x, o.y, 0, 0, 0, 0);
        path->AddNode(VX_NODE_LINE, o.x + w, o.y + h, 0, 0, 0, 0);
    }
};

class CFRectangle final : public DragFigure {
public:
    CFRectangle() : DragFigure(VXTEXT("Rectangle")) {}
    void Destroy(uint32_t) override { delete this; }

private:
    ~CFRectangle() = default;

    // The square also leaves a line for a debugger attached to the host; nothing reads it.
    ScreenPoint Constrain(ScreenPoint anchor, ScreenPoint p) const override {
        int64_t side = 0;
        const ScreenPoint q = tools::ConstrainSquare(anchor, p, &side);
        platform::TraceSquare(side, anchor.x, anchor.y, q.x, q.y);
        return q;
    }
    void DragFeedback(IDrawSurface* s, CanvasPoint p0, CanvasPoint p1) const override {
        s->Rectangle(p0.x, p0.y, p1.x - p0.x, p1.y - p0.y);
    }
    bool Refused(CanvasPoint p0, CanvasPoint p1) const override {
        return p1.x == p0.x || p1.y == p0.y;
    }
    void WriteDrag(IVXPath* path, CanvasPoint p0, CanvasPoint p1) const override {
        path->AddNode(VX_NODE_RECT, p0.x, p0.y, p1.x - p0.x, p1.y - p0.y, 0, 0);
    }
    void PlaceFeedback(IDrawSurface* s, CanvasPoint o, double w, double h) const override {
        s->Rectangle(o.x, o.y, w, h);
    }
    void WritePlace(IVXPath* path, CanvasPoint o, double w, double h) const override {
        path->AddNode(VX_NODE_RECT, o.x, o.y, w, h, 0, 0);
    }
};

}  // namespace

IVXFigures* CreateLineTool() { return new CFLine(); }
IVXFigures* CreateRectangleTool() { return new CFRectangle(); }

}  // namespace vx
