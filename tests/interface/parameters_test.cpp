#include <gtest/gtest.h>

#include "interface/global_parameters.h"
#include "ostrel/ostrel.h"

namespace vx {
namespace {

class ParametersTest : public ::testing::Test {
protected:
    void SetUp() override { g_parameters = GlobalParameters{}; }
    void TearDown() override { g_parameters = GlobalParameters{}; }
};

TEST_F(ParametersTest, DefaultsHoldBeforeAnyCall) {
    const GlobalParameters d;
    EXPECT_EQ(d.MarkSize, 8);
    EXPECT_EQ(d.FlatBoundsMargin, 4.0);
    EXPECT_EQ(d.EdgeTolerance, 2);
    EXPECT_EQ(d.HandleColor, 16711680u);
    EXPECT_EQ(d.OutlineColor, 255u);
}

TEST_F(ParametersTest, IndicesOutsideZeroToFourChangeNothing) {
    for (int32_t index : {5, -1, 6, 1000, INT32_MIN, INT32_MAX}) VX_SetParameters(index, 3.0);
    EXPECT_EQ(g_parameters.MarkSize, 8);
    EXPECT_EQ(g_parameters.FlatBoundsMargin, 4.0);
    EXPECT_EQ(g_parameters.EdgeTolerance, 2);
    EXPECT_EQ(g_parameters.HandleColor, 16711680u);
    EXPECT_EQ(g_parameters.OutlineColor, 255u);
}

TEST_F(ParametersTest, SizesRoundHalfUpThenTruncateTowardZero) {
    const struct {
        double value;
        int32_t stored;
    } cases[] = {{10.5, 11}, {10.4999, 10}, {7.5, 8}, {7.49, 7}, {-1.7, -1}, {-0.6, 0},
                 {-2.5, -2}, {0.0, 0},      {2147483646.9, 2147483647}};
    for (const auto& c : cases) {
        VX_SetParameters(VX_PARAM_MARK_SIZE, c.value);
        EXPECT_EQ(g_parameters.MarkSize, c.stored) << c.value;
        VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, c.value);
        EXPECT_EQ(g_parameters.EdgeTolerance, c.stored) << c.value;
    }
    // Readers take a negative size as 2^32 plus it.
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, -1);
    EXPECT_EQ(g_parameters.EdgeTolerance, 0);
    VX_SetParameters(VX_PARAM_EDGE_TOLERANCE, -1.5);
    EXPECT_EQ(g_parameters.EdgeToleranceValue(), 4294967295.0);
}

TEST_F(ParametersTest, MarginIsStoredExactlyAndColoursAsUnsigned) {
    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, 2.75);
    EXPECT_EQ(g_parameters.FlatBoundsMargin, 2.75);
    VX_SetParameters(VX_PARAM_FLAT_BOUNDS_MARGIN, -0.1);
    EXPECT_EQ(g_parameters.FlatBoundsMargin, -0.1);
    VX_SetParameters(VX_PARAM_HANDLE_COLOR, 65280.0);
    EXPECT_EQ(g_parameters.HandleColor, 65280u);
    VX_SetParameters(VX_PARAM_OUTLINE_COLOR, 4294967295.0);
    EXPECT_EQ(g_parameters.OutlineColor, 4294967295u);
    VX_SetParameters(VX_PARAM_OUTLINE_COLOR, 254.5);
    EXPECT_EQ(g_parameters.OutlineColor, 255u);
    VX_SetParameters(VX_PARAM_HANDLE_COLOR, 2147483648.2);
    EXPECT_EQ(g_parameters.HandleColor, 2147483648u);
}

}  // namespace
}  // namespace vx
