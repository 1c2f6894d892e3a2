// Transform and rectangle helpers used by every subsystem. No state, no allocation.
#pragma once

#include "ostrel/ostrel.h"

namespace vx {

// Two opposite corners in any order; layout-compatible with the four doubles of the
// host's rectangles.
struct Rect {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

constexpr PathTransform kIdentity{1, 0, 0, 1, 0, 0};

// (left, top, right, bottom) with y growing downward.
Rect NormalizeRect(const Rect& r);

void MapPoint(double x, double y, const PathTransform& t, double* outX, double* outY);
// Mapping by C equals mapping by A and then by B.
void ComposeTransforms(const PathTransform& a, const PathTransform& b, PathTransform* c);
// The identity when the determinant is exactly 0. u may be t.
void InvertTransform(const PathTransform& t, PathTransform* u);
// Inside the normalised rectangle or on its border; NaN is outside.
bool PointInRect(const Rect& r, double x, double y);
// The axis-aligned box (left, top, right, bottom) of n points; NaN never wins a comparison.
Rect BoxOfPoints(const double* xs, const double* ys, int n);
// The normalised rectangle covering the normalised a and b. out may be a or b.
void UnionRect(Rect* out, const Rect& a, const Rect& b);

}  // namespace vx
