#include "geometry/bezier.h"

#include <cmath>

namespace vx::geom {

namespace {
// x * 2^exponent for exponent <= 0, exact down to the subnormal range; usable in constant
// initialisation, so Epsilon holds its value before any code of the library runs.
constexpr double ScaleByPowerOfTwo(double x, int32_t exponent) {
    for (int32_t i = 0; i > exponent; --i) x /= 2.0;
    return x;
}
}  // namespace

const int32_t MaxDepth = 64;
const double Epsilon = ScaleByPowerOfTwo(1.0, -(MaxDepth + 1));

double Distance(Point2 a, Point2 b) { return std::sqrt(SquaredLength(Sub(a, b))); }

namespace {

// Halving keeps at most the parent's number of sign changes, so in practice a piece with
// two or more of them is separated within a few dozen levels. Inputs built to keep several
// sign changes alive (values straddling 0 in the subnormal range, say) could otherwise
// descend until the stack runs out; past this depth such a piece yields no root.
constexpr int32_t kRecursionLimit = 512;

// The routines below are written once per degree so that the compiler unrolls the loops of
// the two degrees in use; the arithmetic is the same, in the same order, as for any degree.

template <int N>
Point2 Evaluate(const Point2* v, double t, Point2* left, Point2* right) {
    Point2 p[N + 1][N + 1];
    for (int j = 0; j <= N; ++j) p[0][j] = v[j];
    const double s = 1.0 - t;
    for (int i = 1; i <= N; ++i) {
        for (int j = 0; j <= N - i; ++j) {
            p[i][j].x = s * p[i - 1][j].x + t * p[i - 1][j + 1].x;
            p[i][j].y = s * p[i - 1][j].y + t * p[i - 1][j + 1].y;
        }
    }
    if (left) {
        for (int j = 0; j <= N; ++j) left[j] = p[j][0];
    }
    if (right) {
        for (int j = 0; j <= N; ++j) right[j] = p[N - j][j];
    }
    return p[N][0];
}

template <int N>
int SignChanges(const Point2* w) {
    int count = 0;
    bool negative = w[0].y < 0.0;
    for (int i = 1; i <= N; ++i) {
        const bool n = w[i].y < 0.0;
        count += n != negative;
        negative = n;
    }
    return count;
}

template <int N>
bool FlatEnough(const Point2* w) {
    // The chord as a x + b y + c = 0.
    const double a = w[0].y - w[N].y;
    const double b = w[N].x - w[0].x;
    const double c = w[0].x * w[N].y - w[N].x * w[0].y;
    const double s = a * a + b * b;
    // The signed squared distance e^2/s of each interior point; above is the greatest
    // positive one, below the least negative one, 0 where there is none. Squaring and
    // dividing round monotonically, so the greatest e gives the greatest e^2/s, bit for
    // bit: two divisions instead of one per point. Only infinities can make e^2/s NaN;
    // then every point is weighed on its own.
    double eMax = 0.0;
    double eMin = 0.0;
    for (int i = 1; i < N; ++i) {
        const double e = a * w[i].x + b * w[i].y + c;
        if (e > eMax) eMax = e;
        if (e < eMin) eMin = e;
    }
    double above = eMax > 0.0 ? eMax * eMax / s : 0.0;
    double below = eMin < 0.0 ? -(eMin * eMin / s) : 0.0;
    if (std::isnan(above) || std::isnan(below)) {
        above = 0.0;
        below = 0.0;
        for (int i = 1; i < N; ++i) {
            double e = a * w[i].x + b * w[i].y + c;
            if (e > 0.0) {
                e = e * e / s;
            } else if (e < 0.0) {
                e = -(e * e / s);
            }
            if (e > above) above = e;
            if (e < below) below = e;
        }
    }
    // Where the two lines parallel to the chord through the extreme points meet y = 0.
    // The 0 * b terms are kept: they turn an infinite b into NaN, which is not flat.
    const double i1 = (c + above - 0.0 * b) / (0.0 * b - a);
    const double i2 = (c + below - 0.0 * b) / (0.0 * b - a);
    if (std::isnan(i1) || std::isnan(i2)) return false;
    const double error = 0.5 * ((i1 > i2 ? i1 : i2) - (i1 < i2 ? i1 : i2));
    return error < Epsilon;
}

template <int N>
double XIntercept(const Point2* w, int32_t* direction) {
    const double dx = w[N].x - w[0].x;
    const double dy = w[N].y - w[0].y;
    *direction = dy < 0.0 ? 1 : -1;
    return (dx * w[0].y - w[0].x * dy) * (1.0 / (0.0 * dx - dy)) + 0.0;
}

// Writes at most capacity roots (the caller's list has room for kRootCapacity); the
// halves write theirs directly behind each other, left before right.
template <int N>
int32_t Roots(const Point2* w, double* roots, int32_t* directions, int32_t capacity,
              int32_t depth) {
    const int count = SignChanges<N>(w);
    if (count == 0) return 0;
    if (count == 1) {
        if (depth >= MaxDepth) {
            if (capacity < 1) return 0;
            roots[0] = (w[0].x + w[N].x) / 2.0;
            directions[0] = w[N].y - w[0].y < 0.0 ? 1 : -1;
            return 1;
        }
        if (FlatEnough<N>(w)) {
            if (capacity < 1) return 0;
            roots[0] = XIntercept<N>(w, &directions[0]);
            return 1;
        }
    }
    if (depth >= kRecursionLimit) return 0;
    Point2 left[N + 1];
    Point2 right[N + 1];
    Evaluate<N>(w, 0.5, left, right);
    const int32_t found = Roots<N>(left, roots, directions, capacity, depth + 1);
    return found + Roots<N>(right, roots + found, directions + found, capacity - found,
                            depth + 1);
}

}  // namespace

Point2 EvaluateBezier(const Point2* v, int n, double t, Point2* left, Point2* right) {
    switch (n) {
        case 0:
            if (left) left[0] = v[0];
            if (right) right[0] = v[0];
            return v[0];
        case 1: return Evaluate<1>(v, t, left, right);
        case 2: return Evaluate<2>(v, t, left, right);
        case 3: return Evaluate<3>(v, t, left, right);
        case 4: return Evaluate<4>(v, t, left, right);
        case 5: return Evaluate<5>(v, t, left, right);
        default: return v[0];
    }
}

int CountSignChanges(const Point2* w, int n) {
    int count = 0;
    for (int i = 1; i <= n; ++i) count += (w[i].y < 0.0) != (w[i - 1].y < 0.0);
    return count;
}

bool ControlPolygonFlatEnough(const Point2* w, int n) {
    switch (n) {
        case 1: return FlatEnough<1>(w);
        case 2: return FlatEnough<2>(w);
        case 3: return FlatEnough<3>(w);
        case 4: return FlatEnough<4>(w);
        case 5: return FlatEnough<5>(w);
        default: return false;
    }
}

double ComputeXIntercept(const Point2* w, int n, int32_t* direction) {
    switch (n) {
        case 1: return XIntercept<1>(w, direction);
        case 2: return XIntercept<2>(w, direction);
        case 3: return XIntercept<3>(w, direction);
        case 4: return XIntercept<4>(w, direction);
        case 5: return XIntercept<5>(w, direction);
        default: *direction = -1; return std::nan("");
    }
}

int32_t FindRoots(const Point2* w, int n, double* roots, int32_t depth, int32_t* directions) {
    switch (n) {
        case 1: return Roots<1>(w, roots, directions, kRootCapacity, depth);
        case 2: return Roots<2>(w, roots, directions, kRootCapacity, depth);
        case 3: return Roots<3>(w, roots, directions, kRootCapacity, depth);
        case 4: return Roots<4>(w, roots, directions, kRootCapacity, depth);
        case 5: return Roots<5>(w, roots, directions, kRootCapacity, depth);
        default: return 0;
    }
}

}  // namespace vx::geom
