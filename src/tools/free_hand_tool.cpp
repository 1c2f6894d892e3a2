// CFreeHand: the mouse recorded as a polyline straight into the new path while the button
// is held, thinned on release.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "path/path.h"
#include "tools/figure_tool.h"
#include "tools/free_hand.h"
#include "tools/gesture.h"
#include "tools/message_loop.h"
#include "tools/tools.h"

namespace vx {

namespace tools {

double ApproxLineDistance(CanvasPoint a, CanvasPoint b, CanvasPoint p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double adx = std::fabs(dx), ady = std::fabs(dy);
    const double length = adx + ady - std::min(adx, ady) / 2;
    if (length == 0) return 0;
    return std::fabs((p.y - a.y) * dx - (p.x - a.x) * dy) / length;
}

int32_t ClassifyPointOnSegment(CanvasPoint a, CanvasPoint b, CanvasPoint p, bool side, float tol) {
    if (p.x == a.x && p.y == a.y) return kAtStart;
    if (p.x == b.x && p.y == b.y) return kAtEnd;
    const double t = tol;
    if (!(t >= ApproxLineDistance(a, b, p))) return kOffLine;
    if (p.x >= std::min(a.x, b.x) - t && p.x <= std::max(a.x, b.x) + t &&
        p.y >= std::min(a.y, b.y) - t && p.y <= std::max(a.y, b.y) + t) {
        return kOnSegment;
    }
    if (!side) return kOffLine;
    const double dot = (b.x - a.x) * (p.x - a.x) + (b.y - a.y) * (p.y - a.y);
    return dot < 0 ? kBeforeStart : kBeyondEnd;
}

void ThinStroke(IVXPath* path) {
    const int32_t n = path->GetNodes(nullptr, 0);
    if (n < 2) return;
    std::vector<PathNode> nodes(static_cast<size_t>(n));
    path->GetNodes(nodes.data(), n);
    path->ClearNodes();
    path->AddNodes(&nodes[0], 1);
    const auto pointOf = [&](int32_t i) { return CanvasPoint{nodes[i].x1, nodes[i].y1}; };
    CanvasPoint a = pointOf(0), b = pointOf(1);
    constexpr float kTolerance = 1.0f;  // canvas units
    for (int32_t i = 2; i < n; ++i) {
        const CanvasPoint c = pointOf(i);
        if (ClassifyPointOnSegment(a, b, c, true, kTolerance) == kBeyondEnd) {
            b = c;
            if (i == n - 1) path->AddNodes(&nodes[i], 1);
        } else {
            // The point that leaves the run is written; the next run starts at the end of
            // this one.
            path->AddNodes(&nodes[i], 1);
            a = b;
            b = c;
        }
    }
}

}  // namespace tools

namespace {

using tools::CanvasPoint;
using tools::Gesture;
using tools::ScreenPoint;
using tools::Step;

class FreeHandLoop final : public tools::MessageHandler {
public:
    FreeHandLoop(Gesture& g, IVXPath* path, double x, double y) : g_(g), path_(path) {
        last_ = tools::TruncatePoint(x, y);
        p0_ = g_.Adjust(static_cast<double>(last_.x), static_cast<double>(last_.y));
        path_->AddNode(VX_NODE_MOVE, p0_.x, p0_.y, 0, 0, 0, 0);
        g_.old = tools::BoxOf(p0_, p0_);
        own_ = CVXPath::FromInterface(path);
    }

    // A point is recorded once it has moved 3 pixels on one axis.
    Step MouseMove(const platform::Message& msg) override {
        const ScreenPoint p = tools::MessagePoint(msg);
        if (std::llabs(p.x - last_.x) <= 2 && std::llabs(p.y - last_.y) <= 2) return Step::Continue;
        const double px = static_cast<double>(p.x), py = static_cast<double>(p.y);
        g_.host()->AcceptTrackPoint(px, py, 1);
        const CanvasPoint q = g_.Adjust(px, py);
        g_.RestoreOld();
        path_->AddNode(VX_NODE_LINE, q.x, q.y, 0, 0, 0, 0);
        if (own_) own_->DrawPath(g_.surface(), 1, true);
        else path_->Draw(g_.surface());  // a host's own path object describes itself
        g_.ShowUnion(tools::BoxOf(p0_, q));
        last_ = p;
        return Step::Continue;
    }

    Step LeftButtonUp(const platform::Message&) override {
        return path_->GetNodes(nullptr, 0) <= 1 ? Step::Cancel : Step::Finish;
    }

private:
    Gesture& g_;
    IVXPath* path_;
    CVXPath* own_ = nullptr;
    CanvasPoint p0_;
    ScreenPoint last_;
};

class CFreeHand final : public DrawOnlyFigure {
public:
    CFreeHand() : DrawOnlyFigure(VXTEXT("Free Hand")) {}
    void Destroy(uint32_t) override { delete this; }

    bool Draw(const VXCHAR*, double x, double y, ICanvasHost* host, IGraphicCanvas*,
              IVXPath* path) override {
        Gesture g(host);
        if (!g.valid()) return false;
        FreeHandLoop loop(g, path, x, y);
        // The raw stroke stays in the path on a cancel; the editor discards the path.
        if (tools::RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        tools::ThinStroke(path);
        return g.Finish(true);
    }

private:
    ~CFreeHand() = default;
};

}  // namespace

IVXFigures* CreateFreeHandTool() { return new CFreeHand(); }

}  // namespace vx
