#include "geometry/rect.h"

namespace vx {

namespace {
double Min(double a, double b) { return b < a ? b : a; }
double Max(double a, double b) { return b > a ? b : a; }
}  // namespace

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
