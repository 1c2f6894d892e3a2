#include "tools/place_loop.h"

namespace vx::tools {

PlaceLoop::PlaceLoop(Gesture& g, double x, double y, double w, double h) : g_(g), w_(w), h_(h) {
    previous_ = g_.Adjust(x, y);
    origin_ = CanvasPoint{previous_.x - w * 0.5, previous_.y - h * 0.5};
    g_.old = BoxOf(origin_, Far());
}

Step PlaceLoop::MouseMove(const platform::Message& msg) {
    const ScreenPoint p = MessagePoint(msg);
    const double px = static_cast<double>(p.x), py = static_cast<double>(p.y);
    if (g_.host()->AcceptTrackPoint(px, py, 1) == 0) return Step::Continue;
    const CanvasPoint q = g_.Adjust(px, py);
    origin_.x += q.x - previous_.x;
    origin_.y += q.y - previous_.y;
    previous_ = q;
    Show();
    return Step::Continue;
}

}  // namespace vx::tools
