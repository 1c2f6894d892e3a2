// The free-hand tool's stroke simplification: points that merely continue a straight run
// are dropped, in one pass.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"
#include "tools/gesture.h"

namespace vx::tools {

// Distance of p from the line through a and b, measured with the length estimate
// max(|dx|, |dy|) + min(|dx|, |dy|) / 2 (never below the true length); 0 when a == b.
double ApproxLineDistance(CanvasPoint a, CanvasPoint b, CanvasPoint p);

enum SegmentClass : int32_t {
    kOffLine = 0,
    kBeforeStart = 1,
    kBeyondEnd = 2,
    kOnSegment = 3,
    kAtStart = 6,
    kAtEnd = 7,
};

// Where p lies relative to the segment a-b with tolerance tol. Without side a point on the
// line but outside the segment's widened box is kOffLine.
int32_t ClassifyPointOnSegment(CanvasPoint a, CanvasPoint b, CanvasPoint p, bool side, float tol);

// Replaces the path's move-and-lines stroke by its thinned form: node 0, then every point
// that leaves the current run, and the last point when it ends a run. A path of fewer than
// two nodes is left alone.
void ThinStroke(IVXPath* path);

}  // namespace vx::tools
