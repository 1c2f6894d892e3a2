// Axis-aligned rectangles: the boxes of paths, marks and hit bands. No state, no allocation.
#pragma once

namespace vx {

// Two opposite corners in any order; layout-compatible with the four doubles of the
// host's rectangles.
struct Rect {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// (left, top, right, bottom) with y growing downward. Inline, as PointInRect: the hit test
// runs both for every path of a canvas at every mouse move.
inline Rect NormalizeRect(const Rect& r) {
    auto least = [](double a, double b) { return b < a ? b : a; };
    auto most = [](double a, double b) { return b > a ? b : a; };
    return Rect{least(r.x1, r.x2), least(r.y1, r.y2), most(r.x1, r.x2), most(r.y1, r.y2)};
}

// Inside the normalised rectangle or on its border; NaN is outside.
inline bool PointInRect(const Rect& r, double x, double y) {
    const Rect n = NormalizeRect(r);
    return n.x1 <= x && x <= n.x2 && n.y1 <= y && y <= n.y2;
}
// The axis-aligned box (left, top, right, bottom) of n points; NaN never wins a comparison.
Rect BoxOfPoints(const double* xs, const double* ys, int n);
// The normalised rectangle covering the normalised a and b. out may be a or b.
void UnionRect(Rect* out, const Rect& a, const Rect& b);

}  // namespace vx
