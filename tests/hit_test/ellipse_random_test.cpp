// Seeded random points against a filled ellipse of four cubics, checked with the analytic
// ellipse; and the widened-box rejection, shown to fire without changing any answer.
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

#include "hit_fixture.h"
#include "templates/figure_template.h"

namespace vx::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCx = 200, kCy = 150, kRx = 120, kRy = 80;
constexpr double kArc = 0.55228475;  // quarter-circle cubic constant

// The ellipse as four cubics, starting and ending at its rightmost point.
void AddEllipse(IVXPath* p) {
    const double kx = kArc * kRx, ky = kArc * kRy;
    p->AddNode(VX_NODE_MOVE, kCx + kRx, kCy, 0, 0, 0, 0);
    p->AddNode(VX_NODE_CUBIC, kCx + kRx, kCy + ky, kCx + kx, kCy + kRy, kCx, kCy + kRy);
    p->AddNode(VX_NODE_CUBIC, kCx - kx, kCy + kRy, kCx - kRx, kCy + ky, kCx - kRx, kCy);
    p->AddNode(VX_NODE_CUBIC, kCx - kRx, kCy - ky, kCx - kx, kCy - kRy, kCx, kCy - kRy);
    p->AddNode(VX_NODE_CUBIC, kCx + kx, kCy - kRy, kCx + kRx, kCy - ky, kCx + kRx, kCy);
    p->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
}

struct Sample {
    double x, y;
};

// Uniform in [0, 1) from the generator's raw output, the same with every library.
double Uniform(std::mt19937& gen) { return gen() / 4294967296.0; }

// Distance from a point to the analytic ellipse: to a 2048-sided inscribed polygon, whose
// sides stray at most 120 * (2 pi / 2048)^2 / 8 = 1.5e-4 from the curve.
double DistanceToEllipse(double x, double y) {
    constexpr int kSides = 2048;
    static const std::vector<Sample> corners = [] {
        std::vector<Sample> c;
        for (int i = 0; i <= kSides; ++i) {
            const double a = 2 * kPi * i / kSides;
            c.push_back({kCx + kRx * std::cos(a), kCy + kRy * std::sin(a)});
        }
        return c;
    }();
    double best = INFINITY;
    for (int i = 1; i <= kSides; ++i) {
        const double ax = corners[i - 1].x, ay = corners[i - 1].y;
        const double ex = corners[i].x - ax, ey = corners[i].y - ay;
        double t = ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey);
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        const double qx = x - ax - t * ex, qy = y - ay - t * ey;
        best = std::fmin(best, qx * qx + qy * qy);
    }
    return std::sqrt(best);
}

// Points over the ellipse's box and 30 beyond; every fourth one lies within 4 of the
// outline, where the tolerance decides.
std::vector<Sample> Samples(uint32_t seed, int count) {
    std::mt19937 gen(seed);
    std::vector<Sample> out;
    for (int i = 0; i < count; ++i) {
        if (i % 4 == 0) {
            const double a = 2 * kPi * Uniform(gen);
            const double r = 1 + (Uniform(gen) - 0.5) * 8 / kRy;
            out.push_back({kCx + kRx * r * std::cos(a), kCy + kRy * r * std::sin(a)});
        } else {
            out.push_back({kCx - kRx - 30 + (2 * kRx + 60) * Uniform(gen),
                           kCy - kRy - 30 + (2 * kRy + 60) * Uniform(gen)});
        }
    }
    return out;
}

// The answer worked out from the analytic ellipse in node mode; false when the point lies
// too close to the tolerance's edge to tell.
bool Expected(const Sample& s, int32_t rule, Answer* answer) {
    // Marks first, in node order: the move, then each cubic's two controls and end.
    const double kx = kArc * kRx, ky = kArc * kRy;
    const double marks[13][2] = {
        {kCx + kRx, kCy},
        {kCx + kRx, kCy + ky}, {kCx + kx, kCy + kRy}, {kCx, kCy + kRy},
        {kCx - kx, kCy + kRy}, {kCx - kRx, kCy + ky}, {kCx - kRx, kCy},
        {kCx - kRx, kCy - ky}, {kCx - kx, kCy - kRy}, {kCx, kCy - kRy},
        {kCx + kx, kCy - kRy}, {kCx + kRx, kCy - ky}, {kCx + kRx, kCy},
    };
    for (int i = 0; i < 13; ++i) {
        if (std::fabs(s.x - marks[i][0]) <= 4 && std::fabs(s.y - marks[i][1]) <= 4) {
            const int node = i == 0 ? 0 : 1 + (i - 1) / 3;
            const int point = i == 0 ? 0 : (i - 1) % 3;
            *answer = {i == 0 || point == 2 ? 15 : 16, node * 256 + point};
            return true;
        }
    }
    const double d = DistanceToEllipse(s.x, s.y);
    constexpr double kMargin = 0.1;  // the cubics stray 0.033 from the ellipse
    if (std::fabs(d - 2) < kMargin) return false;
    const double dx = (s.x - kCx) / kRx, dy = (s.y - kCy) / kRy;
    const bool inside = dx * dx + dy * dy < 1;
    const bool figure = d < 2 || (inside && (rule == VX_FILL_NONZERO || rule == VX_FILL_EVENODD));
    *answer = {figure ? 17 : 0, -1};
    return true;
}

class EllipseTest : public HitTest {
protected:
    // Checks every sample; returns how many were decided, by kind of answer.
    void CheckAll(const std::vector<Sample>& samples, int32_t rule, int* insideCount,
                  int* nearCount, int* outsideCount) {
        Fill(rule);
        for (const Sample& s : samples) {
            Answer expected;
            if (!Expected(s, rule, &expected)) continue;
            const Answer actual = Hit(s.x, s.y, 1);
            ASSERT_EQ(actual, expected) << "at " << s.x << ", " << s.y << ", rule " << rule;
            const double d = DistanceToEllipse(s.x, s.y);
            const double dx = (s.x - kCx) / kRx, dy = (s.y - kCy) / kRy;
            if (expected.code >= 15 && expected.code <= 16) continue;
            if (d < 2) ++*nearCount;
            else if (dx * dx + dy * dy < 1) ++*insideCount;
            else ++*outsideCount;
        }
    }
};

TEST_F(EllipseTest, TenThousandRandomPointsAgreeWithTheAnalyticEllipse) {
    AddEllipse(path);
    const std::vector<Sample> samples = Samples(20240601u, 10000);
    int inside = 0, near = 0, outside = 0;
    CheckAll(samples, VX_FILL_NONZERO, &inside, &near, &outside);
    // The samples exercise all three answers.
    EXPECT_GT(inside, 4000);
    EXPECT_GT(near, 500);
    EXPECT_GT(outside, 1500);

    // The other rules on a share of them: even-odd agrees, no fill leaves only the outline.
    const std::vector<Sample> some(samples.begin(), samples.begin() + 2000);
    CheckAll(some, VX_FILL_EVENODD, &inside, &near, &outside);
    CheckAll(some, VX_FILL_NONE, &inside, &near, &outside);
}

TEST_F(EllipseTest, TheSameScreenThroughATransformAndAScalingHost) {
    // Half size and moved on the canvas, twice as large and moved back on the screen: the
    // screen ellipse is the one above.
    AddEllipse(path);
    SetTransform({0.5, 0, 0, 0.5, 10, -20});
    host.scale = 2;
    host.offsetX = -20;
    host.offsetY = 40;
    int inside = 0, near = 0, outside = 0;
    CheckAll(Samples(7u, 3000), VX_FILL_EVENODD, &inside, &near, &outside);
    EXPECT_GT(inside + near + outside, 2500);
}

TEST_F(EllipseTest, BoxRejectionFiresAndChangesNoAnswer) {
    // The same ellipse in a second path whose template frame makes its box so large that
    // nothing near is ever rejected; in node mode the box matters for nothing else.
    AddEllipse(path);
    CVXPath* wide = CVXPath::Create();
    AddEllipse(wide);
    FigureTemplate frame;
    frame.frame[0] = -1000;
    frame.frame[1] = -1000;
    frame.frame[2] = 1000;
    frame.frame[3] = 1000;
    wide->AttachTemplate(&frame);

    Fill(VX_FILL_NONZERO);
    wide->SetFillObject(&fill);

    std::mt19937 gen(99u);
    int rejected = 0;
    for (int i = 0; i < 10000; ++i) {
        // Over the box and 60 beyond it on every side.
        const double x = kCx - kRx - 60 + (2 * kRx + 120) * Uniform(gen);
        const double y = kCy - kRy - 60 + (2 * kRy + 120) * Uniform(gen);
        host.toScreenCalls = 0;
        const Answer narrow = Hit(x, y, 1);
        const bool wasRejected = host.toScreenCalls == 2;  // only the box corners mapped
        rejected += wasRejected;
        host.toScreenCalls = 0;
        Answer full{0, 12345};
        full.code = wide->HitTestPath(&context, x, y, 1, &full.part);
        ASSERT_GT(host.toScreenCalls, 2);  // never rejected
        ASSERT_EQ(narrow, full) << "at " << x << ", " << y;
        // Rejection happens exactly outside the box widened by twice the mark size.
        const bool outsideBox = x < kCx - kRx - 16 || x > kCx + kRx + 16 ||
                                y < kCy - kRy - 16 || y > kCy + kRy + 16;
        ASSERT_EQ(wasRejected, outsideBox) << "at " << x << ", " << y;
    }
    wide->SetFillObject(nullptr);
    EXPECT_GT(rejected, 2000);
    EXPECT_EQ(wide->Release(), 0);
}

}  // namespace
}  // namespace vx::test
