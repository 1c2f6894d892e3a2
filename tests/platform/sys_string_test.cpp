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
    EXPECT_EQ(s[6], VXCHAR(0xE9));
    EXPECT_EQ(s[7], VXCHAR(0));
    platform::FreeSysString(s);

    VXCHAR* empty = platform::AllocSysString(VXTEXT(""));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(platform::SysStringLength(empty), 0u);
    EXPECT_EQ(empty[0], VXCHAR(0));
    platform::FreeSysString(empty);
}

}  // namespace
}  // namespace vx
