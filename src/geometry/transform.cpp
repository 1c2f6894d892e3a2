#include "geometry/transform.h"

namespace vx {

namespace {
double Min(double a, double b) { return b < a ? b : a; }
double Max(double a, double b) { return b > a ? b : a; }
}  // namespace

void MapPoint(double x, double y, const PathTransform& t, double* outX, double* outY) {
    const double mx = t.a * x + t.c * y + t.e;
    const double my = t.b * x + t.d * y + t.f;
    *outX = mx;
    *outY = my;
}

void ComposeTransforms(const PathTransform& a, const PathTransform& b, PathTransform* c) {
    const PathTransform r{
        a.a * b.a + a.b * b.c,
        a.a * b.b + a.b * b.d,
        a.c * b.a + a.d * b.c,
        a.c * b.b + a.d * b.d,
        a.e * b.a + a.f * b.c + b.e,
        a.e * b.b + a.f * b.d + b.f,
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

Rect BoxOfPoints(const double* xs, const double* ys, int n) {
    Rect box{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < n; ++i) {
        if (xs[i] < box.x1) box.x1 = xs[i];
        if (xs[i] > box.x2) box.x2 = xs[i];
        if (ys[i] < box.y1) box.y1 = ys[i];
        if (ys[i] > box.y2) box.y2 = ys[i];
    }
    return box;
}

void UnionRect(Rect* out, const Rect& a, const Rect& b) {
    const Rect na = NormalizeRect(a);
    const Rect nb = NormalizeRect(b);
    *out = Rect{Min(na.x1, nb.x1), Min(na.y1, nb.y1), Max(na.x2, nb.x2), Max(na.y2, nb.y2)};
}

}  // namespace vx
