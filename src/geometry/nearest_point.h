// The two questions the outline hit test asks of a cubic segment: how near does it pass to
// a point, and where does it cross the horizontal line through that point.
//
// Both reduce to FindRoots. The nearest point solves (B(t) - P) . B'(t) = 0, a polynomial
// of degree five whose Bernstein polygon has the parameters i/5 as x values, so its roots
// are parameters in [0, 1]. The crossings feed the curve's own polygon shifted by the
// line's y, so its roots are x positions on that line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "geometry/bezier.h"

namespace vx::geom {

// The distance polynomial of p and the cubic v[0..3], as a degree-5 control polygon.
std::array<Point2, 6> ConvertToBezierForm(Point2 p, const Point2* v);

// The point of the cubic v[0..3] nearest to p; when t is given, the parameter of that
// point is stored there.
Point2 NearestPointOnCurve(Point2 p, const Point2* v, double* t = nullptr);

// 1 when the cubic passes closer than tolerance to (px, py). Otherwise adds the curve's
// crossings of the ray from (px, py) toward smaller x to the counters (either may be null)
// and returns 0. A point outside the control polygon's y range widened by the tolerance
// (the upper end exclusive) returns 0 at once, counting nothing. When the nearest point was
// looked for, its parameter goes to *measured (may be null), whose caller prints it.
int32_t CurveSegmentHit(const Point2* v, double px, double py, double tolerance, int32_t* crossings,
                        int32_t* winding, std::optional<double>* measured = nullptr);

// Adds 1 to crossings and the crossing direction (+1 where the curve's y falls, -1 where it
// rises) to winding for each place left of px where the cubic meets y = py.
void CurveLineCrossings(const Point2* v, double px, double py, int32_t* crossings,
                        int32_t* winding);

}  // namespace vx::geom
