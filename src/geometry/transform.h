// Affine transforms of points, as the host's PathTransform holds them (a b c d e f). No
// state, no allocation.
#pragma once

#include "ostrel/ostrel.h"

namespace vx {

constexpr PathTransform kIdentity{1, 0, 0, 1, 0, 0};

void MapPoint(double x, double y, const PathTransform& t, double* outX, double* outY);
// Mapping by C equals mapping by A and then by B.
void ComposeTransforms(const PathTransform& a, const PathTransform& b, PathTransform* c);
// The identity when the determinant is exactly 0. u may be t.
void InvertTransform(const PathTransform& t, PathTransform* u);

}  // namespace vx
