#include "geometry/nearest_point.h"

#include <cmath>

namespace vx::geom {

namespace {

// Weights of the products d[j] . c[i] in the Bernstein coefficients of the degree-5
// distance polynomial: the binomial factors of a degree-2 times a degree-3 polynomial over
// those of degree 5.
constexpr double z[3][4] = {
    {1.0, 0.6, 0.3, 0.1},
    {0.4, 0.6, 0.6, 0.4},
    {0.1, 0.3, 0.6, 1.0},
};

}  // namespace

std::array<Point2, 6> ConvertToBezierForm(Point2 p, const Point2* v) {
    Point2 c[4];
    Point2 d[3];
    for (int i = 0; i <= 3; ++i) c[i] = Sub(v[i], p);
    for (int i = 0; i <= 2; ++i) d[i] = Scale(Sub(v[i + 1], v[i]), 3.0);
    double cd[3][4];
    for (int r = 0; r <= 2; ++r) {
        for (int k = 0; k <= 3; ++k) cd[r][k] = Dot(d[r], c[k]);
    }
    std::array<Point2, 6> w;
    for (int i = 0; i <= 5; ++i) w[i] = Point2{static_cast<double>(i) / 5.0, 0.0};
    for (int k = 0; k <= 5; ++k) {
        const int lo = k - 2 > 0 ? k - 2 : 0;
        const int hi = k < 3 ? k : 3;
        for (int i = lo; i <= hi; ++i) {
            const int j = k - i;
            w[k].y += cd[j][i] * z[j][i];
        }
    }
    return w;
}

Point2 NearestPointOnCurve(Point2 p, const Point2* v, double* t) {
    double roots[kRootCapacity];
    int32_t directions[kRootCapacity];
    int32_t n;
    {
        const std::array<Point2, 6> w = ConvertToBezierForm(p, v);
        n = FindRoots(w.data(), 5, roots, 0, directions);
    }
    double best = SquaredLength(Sub(p, v[0]));
    double tBest = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        const Point2 q = EvaluateBezier(v, 3, roots[i], nullptr, nullptr);
        const double dist = SquaredLength(Sub(p, q));
        if (best > dist) {  // on a tie the earlier candidate stays
            best = dist;
            tBest = roots[i];
        }
    }
    if (best > SquaredLength(Sub(p, v[3]))) tBest = 1.0;
    if (t) *t = tBest;
    return EvaluateBezier(v, 3, tBest, nullptr, nullptr);
}

int32_t CurveSegmentHit(const Point2* v, double px, double py, double tolerance, int32_t* crossings,
                        int32_t* winding, std::optional<double>* measured) {
    double ymin = v[0].y;
    double ymax = v[0].y;
    for (int i = 1; i <= 3; ++i) {
        if (v[i].y < ymin) ymin = v[i].y;
        if (v[i].y > ymax) ymax = v[i].y;
    }
    if (!(py >= ymin - tolerance && ymax + tolerance > py)) return 0;
    const Point2 p{px, py};
    double t;
    const Point2 q = NearestPointOnCurve(p, v, &t);
    if (measured) *measured = t;
    if (tolerance > Distance(p, q)) return 1;
    CurveLineCrossings(v, px, py, crossings, winding);
    return 0;
}

void CurveLineCrossings(const Point2* v, double px, double py, int32_t* crossings,
                        int32_t* winding) {
    Point2 w[4];
    for (int i = 0; i <= 3; ++i) w[i] = Point2{v[i].x, v[i].y - py};
    double xs[kRootCapacity];
    int32_t directions[kRootCapacity];
    const int32_t n = FindRoots(w, 3, xs, 0, directions);
    for (int32_t i = 0; i < n; ++i) {
        if (px > xs[i]) {
            if (crossings) *crossings += 1;
            if (winding) *winding += directions[i];
        }
    }
}

}  // namespace vx::geom
