// Inside or outside by the nonzero and even-odd rules against cairo_in_fill: 1,000 seeded
// random closed paths of lines and cubics (one to three subpaths each, crossing themselves
// and each other as random outlines do) and 100 random points per path.
//
// cairo reads coordinates in 24.8 fixed point and flattens curves, so the cases are chosen
// for it to see what we see: every vertex lies on an even multiple of 1/256 and every point
// on an odd one (cairo reads both exactly, and no point shares a y with a vertex), and
// cairo flattens with its finest tolerance, one fixed-point unit. Compared is every point
// farther than 1e-6 from every line and farther than cairo's own error (its tolerance plus
// three units for the rounding of the flattened points) from every curve's outline as
// cairo flattens it; where our answer and cairo's differed nearer than that, a fine
// flattening in double sided with ours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <cairo.h>

#include "path/hit_test.h"

namespace vx {
namespace {

constexpr double kUnit = 1.0 / 256;
constexpr double kTolerance = kUnit;

// Whether (px, py) lies within d of the segment.
bool Near(double px, double py, double x1, double y1, double x2, double y2, double d) {
    const double ex = x2 - x1, ey = y2 - y1, length = ex * ex + ey * ey;
    const double t = length > 0 ? std::clamp(((px - x1) * ex + (py - y1) * ey) / length, 0.0, 1.0) : 0.0;
    const double dx = px - x1 - t * ex, dy = py - y1 - t * ey;
    return dx * dx + dy * dy < d * d;
}

struct Segment {
    double x1, y1, x2, y2;
    double margin;  // how near a point may come before cairo's answer may differ from ours
};

double Vertex(std::mt19937& gen) { return 2 * kUnit * static_cast<double>(gen() % (256 * 256)); }  // [0, 512)
double Point(std::mt19937& gen) { return kUnit * (2 * static_cast<double>(gen() % (272 * 256)) + 1) - 16; }

// One random path, given to cairo and kept in PathOutlineHit's form, with the segments a
// compared point must keep clear of.
struct RandomPath {
    std::vector<double> outline;
    std::vector<Segment> segments;
    int32_t nodes = 0;
};

// A cubic from (x, y): its segments are the curve as cairo flattens it, on its own.
void AddCubic(cairo_t* cr, cairo_t* flattener, double x, double y, const double c[6], RandomPath* p) {
    p->outline.insert(p->outline.end(), {VX_NODE_CUBIC, c[0], c[1], c[2], c[3], c[4], c[5]});
    cairo_curve_to(cr, c[0], c[1], c[2], c[3], c[4], c[5]);
    cairo_new_path(flattener);
    cairo_move_to(flattener, x, y);
    cairo_curve_to(flattener, c[0], c[1], c[2], c[3], c[4], c[5]);
    cairo_path_t* flat = cairo_copy_path_flat(flattener);
    for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
        const cairo_path_data_t* d = &flat->data[i];
        if (d->header.type != CAIRO_PATH_LINE_TO) continue;
        p->segments.push_back({x, y, d[1].point.x, d[1].point.y, kTolerance + 3 * kUnit});
        x = d[1].point.x, y = d[1].point.y;
    }
    cairo_path_destroy(flat);
}

// One to three closed subpaths of two to seven lines and cubics each, into cr's new path.
RandomPath MakeRandomPath(std::mt19937& gen, cairo_t* cr, cairo_t* flattener) {
    RandomPath p;
    cairo_new_path(cr);
    for (int sub = 1 + static_cast<int>(gen() % 3); sub > 0; --sub) {
        const double x0 = Vertex(gen), y0 = Vertex(gen);
        double x = x0, y = y0;
        p.outline.insert(p.outline.end(), {VX_NODE_MOVE, x, y});
        cairo_move_to(cr, x, y);
        for (int n = 2 + static_cast<int>(gen() % 6); n > 0; --n, ++p.nodes) {
            if (gen() % 5 < 3) {
                const double x1 = Vertex(gen), y1 = Vertex(gen);
                p.outline.insert(p.outline.end(), {VX_NODE_LINE, x1, y1});
                cairo_line_to(cr, x1, y1);
                p.segments.push_back({x, y, x1, y1, 1e-6});
                x = x1, y = y1;
                continue;
            }
            const double c[6] = {Vertex(gen), Vertex(gen), Vertex(gen), Vertex(gen), Vertex(gen), Vertex(gen)};
            AddCubic(cr, flattener, x, y, c, &p);
            x = c[4], y = c[5];
        }
        p.outline.push_back(VX_NODE_CLOSE);
        cairo_close_path(cr);
        p.segments.push_back({x, y, x0, y0, 1e-6});
        p.nodes += 2;  // the move and the close
    }
    return p;
}

TEST(AgainstCairo, FillRulesOfRandomPaths) {
    std::mt19937 gen(9104u);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    cairo_t* flattener = cairo_create(surface);
    for (cairo_t* c : {cr, flattener}) cairo_set_tolerance(c, kTolerance);
    int compared = 0, skipped = 0, differing = 0, inside = 0;
    std::string first;                     // reported after the diagnostic lines are out of the way
    ::testing::internal::CaptureStdout();  // the curve code's diagnostic lines
    for (int path = 0; path < 1000 / OSTREL_REFERENCE_DIVISOR; ++path) {
        const RandomPath p = MakeRandomPath(gen, cr, flattener);
        for (int k = 0; k < 100; ++k) {
            const double px = Point(gen), py = Point(gen);
            if (std::any_of(p.segments.begin(), p.segments.end(),
                            [&](const Segment& s) { return Near(px, py, s.x1, s.y1, s.x2, s.y2, s.margin); })) {
                ++skipped;
                continue;
            }
            for (const auto& [ours, theirs] : {std::pair{VX_FILL_NONZERO, CAIRO_FILL_RULE_WINDING},
                                               std::pair{VX_FILL_EVENODD, CAIRO_FILL_RULE_EVEN_ODD}}) {
                cairo_set_fill_rule(cr, theirs);
                const bool expected = cairo_in_fill(cr, px, py) != 0;
                const bool got = PathOutlineHit(p.outline.data(), p.nodes, ours, px, py, 0.0) == 1;
                ++compared;
                inside += got;
                if (got != expected && differing++ == 0) {
                    first = "path " + std::to_string(path) + ", point " + std::to_string(px) + " " +
                            std::to_string(py) + ", rule " + std::to_string(ours);
                }
            }
        }
    }
    ::testing::internal::GetCapturedStdout();
    cairo_destroy(flattener);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    EXPECT_EQ(differing, 0) << "first: " << first;
    EXPECT_LT(skipped, 1000 / OSTREL_REFERENCE_DIVISOR);  // of 100,000 points
    EXPECT_TRUE(inside > compared / 10 && inside < compared / 2) << inside << " of " << compared;
}

}  // namespace
}  // namespace vx
