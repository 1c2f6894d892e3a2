// CFBezier: a chain of cubic curves drawn like a pen tool. Each accepted press places an
// anchor; dragging pulls the anchor's outgoing control point while the incoming one of the
// curve before mirrors it; the last node is always the rubber curve that follows the mouse.
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

PathNode Cubic(CanvasPoint c1, CanvasPoint c2, CanvasPoint end) {
    PathNode n{};
    n.kind = VX_NODE_CUBIC;
    n.x1 = c1.x, n.y1 = c1.y, n.x2 = c2.x, n.y2 = c2.y, n.x3 = end.x, n.y3 = end.y;
    return n;
}

CanvasPoint AnchorOf(const PathNode& n) {
    return n.kind == VX_NODE_MOVE ? CanvasPoint{n.x1, n.y1} : CanvasPoint{n.x3, n.y3};
}

// Invariant: nodes_ holds committed_ + 1 records while the loop runs; the last is the
// rubber curve.
class BezierLoop final : public tools::MessageHandler {
public:
    BezierLoop(Gesture& g, double x, double y)
        : g_(g),
          pressX_(x),
          pressY_(y),
          half_(g_parameters.HalfMarkSize()),
          size_(g_parameters.MarkSizeValue()) {
        lastPress_ = tools::TruncatePoint(x, y);
        p0_ = g_.Adjust(x, y);
        PathNode move{};
        move.kind = VX_NODE_MOVE;
        move.x1 = p0_.x, move.y1 = p0_.y;
        nodes_.push_back(move);
        nodes_.push_back(Cubic(p0_, p0_, p0_));
    }

    Step MouseMove(const platform::Message& msg) override {
        const ScreenPoint p = tools::MessagePoint(msg);
        const double px = static_cast<double>(p.x), py = static_cast<double>(p.y);
        g_.host()->AcceptTrackPoint(px, py, 1);
        const CanvasPoint m = g_.Adjust(px, py);
        PathNode& rubber = nodes_.back();
        PathNode& before = nodes_[nodes_.size() - 2];
        if ((msg.wParam & VX_MK_LBUTTON) == 0) {
            rubber.x2 = m.x, rubber.y2 = m.y;
            rubber.x3 = m.x, rubber.y3 = m.y;
        } else {
            if (before.kind != VX_NODE_MOVE) {
                const CanvasPoint a = AnchorOf(before);
                before.x2 = 2 * a.x - m.x;
                before.y2 = 2 * a.y - m.y;
            }
            rubber.x1 = m.x, rubber.y1 = m.y;
        }
        g_.Restore(nullptr);
        DrawFeedback();
        if (tools::InSquare(pressX_, pressY_, half_, p)) {
            g_.surface()->DrawMark(p0_.x, p0_.y, size_, size_, VX_MARK_CONTROL);
        }
        g_.surface()->ShowOverlay(g_.token(), nullptr);
        return Step::Continue;
    }

    Step LeftButtonUp(const platform::Message&) override { return Step::Continue; }

    // Taken only when both coordinates differ from the last taken press.
    bool LeftButtonDown(const platform::Message& msg, Step* step) override {
        const ScreenPoint p = tools::MessagePoint(msg);
        if (p.x == lastPress_.x || p.y == lastPress_.y) return true;
        lastPress_ = p;
        if (tools::InSquare(pressX_, pressY_, half_, p)) {
            closed_ = true;
            // With only the rubber curve after the move, the rubber curve is the figure.
            if (nodes_.size() <= 2) ++committed_;
            *step = Step::Finish;
            return true;
        }
        const CanvasPoint a = g_.Adjust(static_cast<double>(p.x), static_cast<double>(p.y));
        // The committed curve ends at the press even where no move went; its controls stay
        // as the moves left them.
        nodes_.back().x3 = a.x, nodes_.back().y3 = a.y;
        nodes_.push_back(Cubic(a, a, a));
        ++committed_;
        return true;
    }

    bool LeftButtonDoubleClick(const platform::Message&, Step* step) override {
        *step = Step::Finish;
        return true;
    }

    Step EscapeOrAlt() override { return nodes_.size() > 2 ? Step::Finish : Step::Cancel; }

    void Write(IVXPath* path) {
        path->AddNodes(nodes_.data(), static_cast<int32_t>(committed_));
        if (closed_) path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    }

private:
    void DrawFeedback() {
        IDrawSurface* s = g_.surface();
        const size_t m = nodes_.size();
        s->BeginPath(nullptr);
        for (const PathNode& n : nodes_) {
            if (n.kind == VX_NODE_MOVE) s->MoveTo(n.x1, n.y1);
            else s->CurveTo(n.x1, n.y1, n.x2, n.y2, n.x3, n.y3);
        }
        const PathNode& j = nodes_[m - 2];
        const CanvasPoint a = AnchorOf(j);
        const CanvasPoint h{nodes_[m - 1].x1, nodes_[m - 1].y1};
        const CanvasPoint mirror{2 * a.x - h.x, 2 * a.y - h.y};
        s->MoveTo(mirror.x, mirror.y);
        s->LineTo(h.x, h.y);
        s->DrawMark(a.x, a.y, size_, size_, VX_MARK_NODE);
        s->DrawMark(mirror.x, mirror.y, size_, size_, VX_MARK_CONTROL);
        s->DrawMark(h.x, h.y, size_, size_, VX_MARK_CONTROL);
        if (j.kind == VX_NODE_CUBIC) {
            const CanvasPoint b = AnchorOf(nodes_[m - 3]);
            s->MoveTo(j.x1, j.y1);
            s->LineTo(b.x, b.y);
            s->DrawMark(b.x, b.y, size_, size_, VX_MARK_NODE);
            s->DrawMark(j.x1, j.y1, size_, size_, VX_MARK_CONTROL);
        }
        s->EndPath(nullptr, 1);
    }

    Gesture& g_;
    const double pressX_, pressY_, half_, size_;
    CanvasPoint p0_;
    ScreenPoint lastPress_;
    std::vector<PathNode> nodes_;
    size_t committed_ = 1;
    bool closed_ = false;
};

using CFBezier = tools::LoopFigure<BezierLoop>;

}  // namespace

IVXFigures* CreateBezierTool() { return new CFBezier(VXTEXT("Bezier")); }

}  // namespace vx
