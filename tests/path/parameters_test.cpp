#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "path/parameters.h"
#include "ostrel/ostrel.h"

namespace vx {
namespace {

// The five fields in index order.
std::vector<double> Fields() {
    const GlobalParameters& g = g_parameters;
    return {double(g.MarkSize), g.FlatBoundsMargin, double(g.EdgeTolerance), double(g.HandleColor),
            double(g.OutlineColor)};
}

class ParametersTest : public ::testing::Test {
protected:
    void TearDown() override { g_parameters = GlobalParameters{}; }
};

TEST_F(ParametersTest, DefaultsHoldAndIndicesOutsideZeroToFourChangeNothing) {
    const std::vector<double> defaults{8, 4.0, 2, 16711680, 255};
    EXPECT_EQ(Fields(), defaults);  // before any call
    for (int32_t index : {5, -1, INT32_MIN, INT32_MAX}) VX_SetParameters(index, 3.0);
    EXPECT_EQ(Fields(), defaults);
}

TEST_F(ParametersTest, SizesRoundHalfUpTowardZeroMarginIsExactColoursAreUnsigned) {
    const double nan = std::nan(""), inf = INFINITY;
    const struct {
        int32_t index;
        double value, stored;
    } cases[] = {{0, 10.5, 11},
                 {0, 10.4999, 10},
                 {2, 7.5, 8},
                 {2, 7.49, 7},
                 {0, -1.7, -1},
                 {2, -0.6, 0},
                 {0, -2.5, -2},
                 {2, 2147483646.9, 2147483647},
                 {1, 2.75, 2.75},
                 {1, -0.1, -0.1},
                 {3, 65280.0, 65280},
                 {4, 4294967295.0, 4294967295.0},
                 {4, 254.5, 255},
                 {3, 2147483648.2, 2147483648.0},
                 // Out of range: saturated, NaN as 0, never an undefined conversion.
                 {0, nan, 0},
                 {2, 1e300, INT32_MAX},
                 {2, -inf, INT32_MIN},
                 {3, -5, 0},
                 {4, 1e10, UINT32_MAX},
                 {4, nan, 0}};
    for (const auto& c : cases) {
        VX_SetParameters(c.index, c.value);
        EXPECT_EQ(Fields()[size_t(c.index)], c.stored) << c.index << " " << c.value;
    }
    // Readers take a negative size as 2^32 plus it.
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, -1.5);
    EXPECT_EQ(g_parameters.EdgeToleranceValue(), 4294967295.0);
}

}  // namespace
}  // namespace vx
