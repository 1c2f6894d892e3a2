#include "geometry/transform.h"

namespace vx {

void MapPoint(double x, double y, const PathTransform& t, double* outX, double* outY) {
    const double mx = t.a * x + t.c * y + t.e;
    const double my = t.b * x + t.d * y + t.f;
    *outX = mx;
    *outY = my;
}

void ComposeTransforms(const PathTransform& a, const PathTransform& b, PathTransform* c) {
    const PathTransform r{
        a.a * b.a + a.b * b.c, a.a * b.b + a.b * b.d,       a.c * b.a + a.d * b.c,
        a.c * b.b + a.d * b.d, a.e * b.a + a.f * b.c + b.e, a.e * b.b + a.f * b.d + b.f,
    };
    *c = r;
}

void InvertTransform(const PathTransform& t, PathTransform* u) {
    const double det = t.a * t.d - t.b * t.c;
    if (det == 0.0) {
        *u = kIdentity;
        return;
    }
    const PathTransform r{
        t.d / det,
        -t.b / det,
        -t.c / det,
        t.a / det,
        (t.c * t.f - t.e * t.d) / det,
        (t.e * t.b - t.f * t.a) / det,
    };
    *u = r;
}

}  // namespace vx
