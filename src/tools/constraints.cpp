#include "tools/constraints.h"

#include <algorithm>
#include <cstdlib>

namespace vx::tools {

ScreenPoint ConstrainEightDirections(ScreenPoint anchor, ScreenPoint p) {
    const int64_t dx = p.x - anchor.x;
    const int64_t dy = p.y - anchor.y;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    if (2 * ady < adx) return ScreenPoint{p.x, anchor.y};
    if (ady > 2 * adx) return ScreenPoint{anchor.x, p.y};
    const bool sameSign = (dx > 0 && dy > 0) || (dx < 0 && dy < 0);
    return ScreenPoint{p.x, sameSign ? anchor.y + dx : anchor.y - dx};
}

ScreenPoint ConstrainSquare(ScreenPoint anchor, ScreenPoint p, int64_t* side) {
    const int64_t d = std::max(std::llabs(p.x - anchor.x), std::llabs(p.y - anchor.y));
    *side = d;
    return ScreenPoint{p.x > anchor.x ? anchor.x + d : anchor.x - d,
                       p.y > anchor.y ? anchor.y + d : anchor.y - d};
}

ScreenPoint ConstrainSquareKeepLonger(ScreenPoint anchor, ScreenPoint p) {
    const int64_t adx = std::llabs(p.x - anchor.x), ady = std::llabs(p.y - anchor.y);
    const int64_t d = std::max(adx, ady);
    if (adx >= ady) return ScreenPoint{p.x, p.y > anchor.y ? anchor.y + d : anchor.y - d};
    return ScreenPoint{p.x > anchor.x ? anchor.x + d : anchor.x - d, p.y};
}

bool InSquare(double cx, double cy, double half, ScreenPoint p) {
    const double dx = static_cast<double>(p.x) - cx, dy = static_cast<double>(p.y) - cy;
    return dx >= -half && dx <= half && dy >= -half && dy <= half;
}

}  // namespace vx::tools
