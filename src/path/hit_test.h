// Path hit testing: which part of a path lies under a screen point.
//
// CVXPath::HitTestPath answers with a HitCode and a part index. It works in screen units:
// the path's points go through its transform and the host's ToScreen, and the tolerances
// (MarkSize, EdgeTolerance) are pixels. The outline and inside test runs on a flattened
// copy of the path: for each node its kind as a double, then its screen points (two
// doubles for kinds 0 and 1, six for kind 2, none for any other kind).
#pragma once

#include <cstdint>

#include "path/parameters.h"
#include "ostrel/ostrel.h"
#include "geometry/rect.h"

namespace vx {

enum HitCode : int32_t {
    kHitNothing = 0,
    kHitCenter = 1,
    kHitLeft = 2,  // handle, or the box's left edge
    kHitTopLeft = 3,
    kHitTop = 4,  // handle, or the box's top edge
    kHitTopRight = 5,
    kHitRight = 6,  // handle, or the box's right edge
    kHitBottomRight = 7,
    kHitBottom = 8,  // handle, or the box's bottom edge
    kHitBottomLeft = 9,
    kHitRing = 10,       // ring around a box handle; the part is that handle's code
    kHitNode = 15,       // part: node index * 256 + point index (2 for a curve's end)
    kHitControl = 16,    // part: node index * 256 + 0 or 1
    kHitFigure = 17,     // the outline within the tolerance, or the inside by the fill rule
    kHitReference = 18,  // part: the reference's index, low 8 bits
};

// Reads nodeCount nodes of a flattened outline (kinds are truncated toward zero; a kind
// outside 0..6 ends the reading). Returns the 1-based number of the first node whose
// segment passes within tolerance of (px, py); otherwise, for fill rule 1 (nonzero) or 2
// (even-odd), 1 when the point is inside and 0 when not; for any other rule 0.
int32_t PathOutlineHit(const double* list, int32_t nodeCount, int32_t fillRule, double px,
                       double py, double tolerance);

// 1 when (px, py) lies within tolerance of the segment (x1, y1)-(x2, y2), measured with
// the squared distances truncated to 32-bit integers where the hit test always has (so a
// segment shorter than 1 never hits beside its middle). Otherwise adds the segment's
// crossing of the ray toward smaller x to the counters (either may be null) and returns 0.
int32_t SegmentHit(double x1, double y1, double x2, double y2, double px, double py,
                   double tolerance, int32_t* crossings, int32_t* winding);

// The screen sizes of one path's test, read from the parameters before its first host call.
struct HitSizes {
    double mark = g_parameters.MarkSizeValue();
    double half = g_parameters.HalfMarkSize();
    double tolerance = g_parameters.EdgeToleranceValue();
};

// The hit test's first step: whether the corner box (canvas space), mapped to the screen
// by its two corners with toScreen and widened by 2 marks on every side, holds (x, y).
// Inline, as the editor runs it over its kept boxes for every path at each mouse move.
template <typename ToScreen>
[[gnu::always_inline]] inline bool WidenedBoxHolds(const Rect& corners, const ToScreen& toScreen,
                                                   double mark, double x, double y) {
    double left = corners.x1, top = corners.y1, right = corners.x2, bottom = corners.y2;
    toScreen(&left, &top);
    toScreen(&right, &bottom);
    Rect box = NormalizeRect(Rect{left, top, right, bottom});
    box.x1 -= 2.0 * mark;
    box.y1 -= 2.0 * mark;
    box.x2 += 2.0 * mark;
    box.y2 += 2.0 * mark;
    return PointInRect(box, x, y);
}

}  // namespace vx
