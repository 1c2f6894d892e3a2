// Shared set-up for path tests: a fresh path, default parameters and a recording surface.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "interface/global_parameters.h"
#include "path/path.h"
#include "support/recording.h"

namespace vx::test {

class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_parameters = GlobalParameters{};
        path = CVXPath::Create();
        log.Name(path, "p");
    }
    void TearDown() override {
        if (path) {
            EXPECT_EQ(path->Release(), 0);
        }
        g_parameters = GlobalParameters{};
    }

    std::vector<PathNode> Nodes(IVXPath* p) {
        std::vector<PathNode> nodes(static_cast<size_t>(p->GetNodes(nullptr, 0)));
        if (!nodes.empty()) p->GetNodes(nodes.data(), static_cast<int32_t>(nodes.size()));
        return nodes;
    }
    std::vector<double> Corners(IVXPath* p) {
        std::vector<double> c(8);
        p->GetCorners(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]);
        return c;
    }
    std::vector<double> Oriented(IVXPath* p) {
        std::vector<double> c(8);
        p->GetOrientedCorners(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]);
        return c;
    }
    std::vector<double> Bounds(IVXPath* p) {
        std::vector<double> b(4);
        p->GetBounds(&b[0], &b[1], &b[2], &b[3]);
        return b;
    }
    std::vector<double> LocalBounds(CVXPath* p) {
        std::vector<double> b(4);
        p->GetLocalBounds(&b[0], &b[1], &b[2], &b[3]);
        return b;
    }
    void SetTransform(IVXPath* p, PathTransform t) { p->SetTransform(&t.a); }

    CVXPath* path = nullptr;
    CallLog log;
    RecordingSurface surface{log};
};

// Element-wise comparison whose failure message names the index and the tolerance.
inline void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                       double tolerance = 1e-9) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "at index " << i;
}

}  // namespace vx::test
