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
// descend without end; past this depth such a piece yields no root.
constexpr int32_t kRecursionLimit = 512;

// The routines below are written once per degree so that the compiler unrolls the loops of
// the two degrees in use; the arithmetic is the same, in the same order, as for any degree.

// Inlined everywhere, so that the root finder's halving at t = 0.5 is compiled for it.
template <int N>
[[gnu::always_inline]] inline Point2 Evaluate(const Point2* v, double t, Point2* left,
                                              Point2* right) {
    // One row of the triangle at a time; its first and last points are the halves' points.
    Point2 row[N + 1];
    for (int j = 0; j <= N; ++j) row[j] = v[j];
    if (left) left[0] = row[0];
    if (right) right[N] = row[N];
    const double s = 1.0 - t;
    for (int i = 1; i <= N; ++i) {
        for (int j = 0; j <= N - i; ++j) {
            row[j].x = s * row[j].x + t * row[j + 1].x;
            row[j].y = s * row[j].y + t * row[j + 1].y;
        }
        if (left) left[i] = row[0];
        if (right) right[N - i] = row[N - i];
    }
    return row[0];
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

// The chord test of FlatEnough, given the extreme offsets e of the interior points.
[[gnu::noinline]] bool ChordTest(int n, const Point2* w, double a, double b, double c, double s,
                                 double eMax, double eMin) {
    // The signed squared distance e^2/s of each interior point; above is the greatest
    // positive one, below the least negative one, 0 where there is none. Squaring and
    // dividing round monotonically, so the greatest e gives the greatest e^2/s, bit for
    // bit: two divisions instead of one per point. Only infinities can make e^2/s NaN;
    // then every point is weighed on its own.
    double above = eMax > 0.0 ? eMax * eMax / s : 0.0;
    double below = eMin < 0.0 ? -(eMin * eMin / s) : 0.0;
    if (std::isnan(above) || std::isnan(below)) {
        above = 0.0;
        below = 0.0;
        for (int i = 1; i < n; ++i) {
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

// True when the chord test certainly fails because an interior point's offset e alone is
// too large; decided with multiplications only, and false when unsure. Every halving but
// the last few before a root is settled here, without the test's four divisions.
//
// Why it is exact: e^2 is at most eMax^2 + eMin^2, so above - below >= e^2/s (1 - 2^-52).
// Within the ranges checked, every rounding of the test is a relative 2^-53 or an absolute
// 2^-1075 at most, and those bound the two intercepts' distance from below by
// (above - below)(1 - 2^-51) - 2^-51 |c| (times 1/|a|, less a negligible absolute term).
// With e^2 > (2^-50 |c| + 2^-63 |a| + 2^-560) s / 0.999 they lie more than 2^-63 apart
// however they round, so the error is at least 2^-64: never below Epsilon (2^-65).
bool CertainlyNotFlat(double a, double b, double c, double s, double e) {
    const double q = std::fabs(a);
    if (!(q >= 0x1p-200 && q <= 0x1p200 && std::fabs(b) <= 0x1p200 && std::fabs(c) <= 0x1p400 &&
          std::fabs(e) <= 0x1p500)) {
        return false;
    }
    const double d = e * e;
    return d >= 0x1p-900 && 0.999 * d > (0x1p-50 * std::fabs(c) + 0x1p-63 * q + 0x1p-560) * s;
}

template <int N>
[[gnu::always_inline]] inline bool FlatEnough(const Point2* w) {
    // The chord as a x + b y + c = 0.
    const double a = w[0].y - w[N].y;
    const double b = w[N].x - w[0].x;
    const double c = w[0].x * w[N].y - w[N].x * w[0].y;
    const double s = a * a + b * b;
    // The middle points stand farthest off the chord, as a rule.
    if constexpr (N >= 2) {
        const double e1 = a * w[N / 2].x + b * w[N / 2].y + c;
        const double e2 = a * w[(N + 1) / 2].x + b * w[(N + 1) / 2].y + c;
        if (CertainlyNotFlat(a, b, c, s, std::fabs(e1) > std::fabs(e2) ? e1 : e2)) return false;
    }
    double eMax = 0.0;
    double eMin = 0.0;
    for (int i = 1; i < N; ++i) {
        const double e = a * w[i].x + b * w[i].y + c;
        if (e > eMax) eMax = e;
        if (e < eMin) eMin = e;
    }
    return ChordTest(N, w, a, b, c, s, eMax, eMin);
}

template <int N>
double XIntercept(const Point2* w, int32_t* direction) {
    const double dx = w[N].x - w[0].x;
    const double dy = w[N].y - w[0].y;
    *direction = dy < 0.0 ? 1 : -1;
    return (dx * w[0].y - w[0].x * dy) * (1.0 / (0.0 * dx - dy)) + 0.0;
}

// The roots of w, which has `count` sign changes, left to right; writes at most capacity
// of them (the caller's list has room for kRootCapacity) and returns how many it wrote.
// Halving goes on in a loop with the half that holds sign changes; only where both halves
// hold some is the left one solved by a nested call before the loop takes the right one.
template <int N>
int32_t Roots(const Point2* w, int count, double* roots, int32_t* directions, int32_t capacity,
              int32_t depth) {
    // This level's halves and the next level's, in turn; left unset until written.
    union Halves {
        Halves() {}
        Point2 points[2][2][N + 1];
    } halves;
    int32_t found = 0;
    for (int level = 0;; level ^= 1) {
        if (count == 0) return found;
        if (count == 1) {
            if (depth >= MaxDepth) {
                if (capacity - found < 1) return found;
                roots[found] = (w[0].x + w[N].x) / 2.0;
                directions[found] = w[N].y - w[0].y < 0.0 ? 1 : -1;
                return found + 1;
            }
            if (FlatEnough<N>(w)) {
                if (capacity - found < 1) return found;
                roots[found] = XIntercept<N>(w, &directions[found]);
                return found + 1;
            }
        }
        if (depth >= kRecursionLimit) return found;
        Point2* left = halves.points[level][0];
        Point2* right = halves.points[level][1];
        Evaluate<N>(w, 0.5, left, right);
        ++depth;
        const int leftCount = SignChanges<N>(left);
        const int rightCount = SignChanges<N>(right);
        if (leftCount != 0 && rightCount != 0) {
            found += Roots<N>(left, leftCount, roots + found, directions + found, capacity - found,
                              depth);
            // A full list takes no more roots: the rest of the search cannot change it.
            if (found >= capacity) return found;
        }
        // Go on with the right half unless only the left one holds sign changes.
        const bool goLeft = leftCount != 0 && rightCount == 0;
        w = goLeft ? left : right;
        count = goLeft ? leftCount : rightCount;
    }
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
        case 1: return Roots<1>(w, SignChanges<1>(w), roots, directions, kRootCapacity, depth);
        case 2: return Roots<2>(w, SignChanges<2>(w), roots, directions, kRootCapacity, depth);
        case 3: return Roots<3>(w, SignChanges<3>(w), roots, directions, kRootCapacity, depth);
        case 4: return Roots<4>(w, SignChanges<4>(w), roots, directions, kRootCapacity, depth);
        case 5: return Roots<5>(w, SignChanges<5>(w), roots, directions, kRootCapacity, depth);
        default: return 0;
    }
}

}  // namespace vx::geom
