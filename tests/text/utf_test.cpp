// UTF-8 <-> UTF-16 with U+FFFD for ill-formed input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/rows.h"
#include "text/utf.h"

namespace vx::text {
namespace {

// UTF-16 code units as numbers, for readable failures.
std::vector<uint32_t> Units(const String& s) { return std::vector<uint32_t>(s.begin(), s.end()); }

TEST(Utf, EveryScalarValueRoundTrips) {
    String all;
    for (uint32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp < 0xD800 || (cp > 0xDFFF && cp < 0x10000)) all += VXCHAR(cp);
        if (cp >= 0x10000) all += {VXCHAR(0xD7C0 + (cp >> 10)), VXCHAR(0xDC00 + (cp & 0x3FF))};
    }
    const std::string utf8 = ToUtf8(all);
    // 127 one-byte, 1920 two-byte, 61440 three-byte and 1048576 four-byte sequences.
    EXPECT_EQ(127u + 1920u * 2 + 61440u * 3 + 1048576u * 4, utf8.size());
    EXPECT_TRUE(FromUtf8(utf8) == all);
    const std::string z("a\0\xE2\x82\xAC", 5);  // a zero is a character like any other
    EXPECT_TRUE(Units(FromUtf8(z)) == std::vector<uint32_t>({'a', 0, 0x20AC}) && ToUtf8(FromUtf8(z)) == z);
}

TEST(Utf, IllFormedTextBecomesOneReplacementPerMaximalSubpartAndLengths) {
    for (const auto& row : vx::test::ReadRows("text/utf.txt")) {
        SCOPED_TRACE(row.where);
        String units;
        for (size_t i = 2; i < row.fields.size(); ++i) units += VXCHAR(std::stoul(row.fields[i], nullptr, 16));
        if (row.fields.at(0) == "8") {
            EXPECT_EQ(Units(units), Units(FromUtf8(row.fields.at(1))));
        } else {
            EXPECT_EQ(row.fields.at(1), ToUtf8(units));
        }
    }
    // Lengths; the bounded one never reads beyond max units: this array has no terminator.
    const VXCHAR unterminated[3] = {'a', 'b', 'c'};
    EXPECT_TRUE(Length(nullptr) == 0 && Length(VXTEXT("hello")) == 5 && BoundedLength(nullptr, 10) == 0);
    EXPECT_TRUE(BoundedLength(unterminated, 3) == 3 && BoundedLength(VXTEXT("ab"), 10) == 2);
}

}  // namespace
}  // namespace vx::text
