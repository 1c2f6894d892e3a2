// Bezier control polygons and their roots on the x axis.
//
// A control polygon of degree n is n + 1 points. FindRoots reads the polygon as the graph of
// a polynomial in Bernstein form (x the parameter or position, y the value) and returns the
// x values where that graph meets y = 0, found by halving the polygon until each piece has
// a single sign change and is flat (or MaxDepth is reached). Degrees 1 to 5 are supported;
// the hit test feeds it cubics (degree 3) and the distance polynomial (degree 5).
//
// Nothing here allocates: the root finder halves in a loop, in fixed arrays of its own.
#pragma once

#include <cstdint>

namespace vx::geom {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

// The 2-D vector operations the curve code uses.
inline Point2 Sub(Point2 a, Point2 b) { return Point2{a.x - b.x, a.y - b.y}; }
inline Point2 Scale(Point2 a, double s) { return Point2{a.x * s, a.y * s}; }
inline double Dot(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
inline double SquaredLength(Point2 a) { return a.x * a.x + a.y * a.y; }
double Distance(Point2 a, Point2 b);

// Depth at which a piece with one sign change is taken as a root without further halving.
extern const int32_t MaxDepth;
// 2^-(MaxDepth + 1): the flatness a piece needs to be solved by its chord.
extern const double Epsilon;

// Highest degree FindRoots and EvaluateBezier accept; root lists have room for 6 entries.
constexpr int kMaxDegree = 5;
constexpr int kRootCapacity = 6;

// de Casteljau: returns B(t); left and right (each n + 1 points, either may be null)
// receive the two halves of the split at t. A degree outside 0..kMaxDegree returns v[0]
// and leaves the halves untouched.
Point2 EvaluateBezier(const Point2* v, int n, double t, Point2* left, Point2* right);

// Sign changes of w[i].y along the polygon; a value of 0 (and NaN) counts as positive.
int CountSignChanges(const Point2* w, int n);

// True when the polygon lies close enough to its chord that the chord's crossing of y = 0
// is taken as the root. A division by zero or a NaN makes it not flat.
bool ControlPolygonFlatEnough(const Point2* w, int n);

// The x where the chord w[0]..w[n] meets y = 0; *direction is +1 when the chord falls
// (its y decreases), else -1.
double ComputeXIntercept(const Point2* w, int n, int32_t* direction);

// Writes the roots, left to right in the order subdivision finds them, into roots and
// their crossing directions into directions (room for kRootCapacity each); returns how
// many were written. depth is the recursion level of w (0 for a caller).
int32_t FindRoots(const Point2* w, int n, double* roots, int32_t depth, int32_t* directions);

}  // namespace vx::geom
