// The Shift constraints and pixel boxes of the drawing tools, on integer screen points.
#pragma once

#include "tools/message_loop.h"

namespace vx::tools {

// Horizontal when 2|dy| < |dx|, vertical when |dy| > 2|dx|, otherwise the 45-degree
// diagonal through the anchor that keeps the point's x.
ScreenPoint ConstrainEightDirections(ScreenPoint anchor, ScreenPoint p);

// The rectangle tool's square: both sides take the longer one, d; a coordinate equal to
// the anchor's goes the negative way. *side receives d.
ScreenPoint ConstrainSquare(ScreenPoint anchor, ScreenPoint p, int64_t* side);

// The template tool's square: the longer side stays and the shorter one takes its length;
// equal sides count as a longer x.
ScreenPoint ConstrainSquareKeepLonger(ScreenPoint anchor, ScreenPoint p);

// Whether p lies in the square of half-side half around (cx, cy), edges included; NaN
// is never inside.
bool InSquare(double cx, double cy, double half, ScreenPoint p);

}  // namespace vx::tools
