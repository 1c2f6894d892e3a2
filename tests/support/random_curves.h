// Seeded random cubics with a point each, for the checks of the nearest point: most in a
// 500-pixel square as on a screen, the rest the awkward kinds (small integer coordinates
// with coincident points and ties, straight curves, points on the curve, scales from 1e-6
// to 1e6). The same seed gives the same cases on every build.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "geometry/bezier.h"

namespace vx::test {

struct CurveCase {
    geom::Point2 v[4];
    geom::Point2 p;
};

inline std::vector<CurveCase> RandomCurveCases(size_t count, uint32_t seed = 20240917u) {
    std::mt19937 gen(seed);
    auto u = [&gen] { return gen() / 4294967296.0; };
    std::vector<CurveCase> cases(count);
    for (size_t i = 0; i < count; ++i) {
        CurveCase& c = cases[i];
        for (geom::Point2& q : c.v) q = {500 * u(), 500 * u()};
        c.p = {500 * u(), 500 * u()};
        switch (i % 8) {
            case 4:  // small integers: coincident points, symmetric curves, equal distances
                for (geom::Point2& q : c.v) q = {std::floor(4 * u()), std::floor(4 * u())};
                c.p = {std::floor(4 * u()), std::floor(4 * u())};
                break;
            case 5:  // straight: the controls on the chord
                for (int k : {1, 2}) {
                    const double t = u();
                    c.v[k] = {c.v[0].x + t * (c.v[3].x - c.v[0].x), c.v[0].y + t * (c.v[3].y - c.v[0].y)};
                }
                break;
            case 6: {  // the point on the curve
                const double t = u(), s = 1 - t;
                c.p.x =
                    s * s * s * c.v[0].x + 3 * s * s * t * c.v[1].x + 3 * s * t * t * c.v[2].x + t * t * t * c.v[3].x;
                c.p.y =
                    s * s * s * c.v[0].y + 3 * s * s * t * c.v[1].y + 3 * s * t * t * c.v[2].y + t * t * t * c.v[3].y;
                break;
            }
            case 7: {  // another scale
                const double k = std::pow(10.0, std::floor(13 * u()) - 6);
                for (geom::Point2& q : c.v) q = {q.x * k, q.y * k};
                c.p = {c.p.x * k, c.p.y * k};
                break;
            }
            default: break;
        }
    }
    return cases;
}

}  // namespace vx::test
