#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace vx {
namespace {

TEST(SysString, LengthPrefixedAndZeroTerminated) {
    EXPECT_EQ(platform::AllocSysString(nullptr), nullptr);
    platform::FreeSysString(nullptr);
    EXPECT_EQ(platform::SysStringLength(nullptr), 0u);
    // The byte count stands in the four bytes before the text; the zero follows it.
    for (const auto& [text, length] : {std::pair{VXTEXT("Arrow \u00e9"), 7u}, std::pair{VXTEXT(""), 0u}}) {
        VXCHAR* s = platform::AllocSysString(text);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(platform::SysStringLength(s), length);
        uint32_t bytes;
        std::memcpy(&bytes, reinterpret_cast<const char*>(s) - 4, 4);
        EXPECT_EQ(bytes, 2 * length);
        EXPECT_EQ(std::memcmp(s, text, (length + 1) * sizeof(VXCHAR)), 0);
        platform::FreeSysString(s);
    }
}

}  // namespace
}  // namespace vx
