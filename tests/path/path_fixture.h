// Shared set-up for path tests: a fresh path, default parameters, a recording surface and
// two counted host objects that outlive the path.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/parameters.h"
#include "path/path.h"
#include "support/recording.h"

namespace vx::test {

using V = std::vector<double>;
using Lines = std::vector<std::string>;

class PathTest : public ::testing::Test {
protected:
    PathTest() { log.Name(path, "p"); }
    void TearDown() override {
        EXPECT_TRUE(!path || path->Release() == 0);
        g_parameters = GlobalParameters{};
    }

    // GetCorners, or GetOrientedCorners, as x1, y1, ..., x4, y4.
    static V Corners(IVXPath* p, bool oriented = false) {
        V c(8);
        (p->*(oriented ? &IVXPath::GetOrientedCorners : &IVXPath::GetCorners))(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5],
                                                                               &c[6], &c[7]);
        return c;
    }
    // GetBounds, or GetLocalBounds, as x, y, w, h.
    static V Box(CVXPath* p, bool local = false) {
        V b(4);
        (p->*(local ? &CVXPath::GetLocalBounds : &CVXPath::GetBounds))(&b[0], &b[1], &b[2], &b[3]);
        return b;
    }
    static void SetTransform(IVXPath* p, PathTransform t) { p->SetTransform(&t.a); }
    void SetNodes(const char* text) {
        path->ClearNodes();
        AddPathText(path, text);
    }

    CallLog log;
    CountedObject user{&log, "user"}, fill{&log, "fill", VX_FILL_EVENODD};
    CVXPath* path = CVXPath::Create();
    RecordingSurface surface{log};
};

// Element-wise comparison whose failure message names the index and the tolerance.
inline void ExpectNear(const V& actual, const V& expected, double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "at index " << i;
}

}  // namespace vx::test
