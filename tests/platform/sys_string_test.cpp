#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"

namespace vx {
namespace {

TEST(SysString, LengthPrefixedAndZeroTerminated) {
    EXPECT_EQ(platform::AllocSysString(nullptr), nullptr);
    platform::FreeSysString(nullptr);
    EXPECT_EQ(platform::SysStringLength(nullptr), 0u);

    VXCHAR* s = platform::AllocSysString(VXTEXT("Arrow \u00e9"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(platform::SysStringLength(s), 7u);
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<const char*>(s) - 4, 4);
    EXPECT_EQ(bytes, 14u);
    EXPECT_EQ(std::memcmp(s, VXTEXT("Arrow \u00e9"), 8 * sizeof(VXCHAR)), 0);  // and the zero
    platform::FreeSysString(s);

    VXCHAR* empty = platform::AllocSysString(VXTEXT(""));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(platform::SysStringLength(empty), 0u);
    platform::FreeSysString(empty);
}

}  // namespace
}  // namespace vx
