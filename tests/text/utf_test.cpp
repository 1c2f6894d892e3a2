// UTF-8 <-> UTF-16 with U+FFFD for ill-formed input.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

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
    const uint32_t R = 0xFFFD;
    const std::pair<std::string, std::vector<uint32_t>> utf8Cases[] = {
        // The example of the Unicode standard.
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
        {"\xC0\xAF", {R, R}},
        {"\xE0\x80\xAF", {R, R, R}},
        {"\xF0\x80\x80\xAF", {R, R, R, R}},
        {"\xED\xA0\x80", {R, R, R}},
        {"\xF4\x90\x80\x80", {R, R, R, R}},
        {"\xFF\x61", {R, 'a'}},
        {"\xF0\x9F\x98", {R}},
        {"\xF0\x9F\xE2\x82\xAC", {R, 0x20AC}},
        {std::string("\xC3\0", 2), {R, 0}},
    };
    for (const auto& c : utf8Cases) EXPECT_EQ(c.second, Units(FromUtf8(c.first))) << c.first;
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::vector<uint32_t>, std::string> utf16Cases[] = {
        {{0xD800, 'A'}, r + "A"},
        {{'A', 0xDFFF}, "A" + r},
        {{0xDC00, 0xD800}, r + r},
        {{0xD800, 0xD800, 0xDC00}, r + "\xF0\x90\x80\x80"},
        {{0xDBFF, 0xDFFF, 0xDBFF}, "\xF4\x8F\xBF\xBF" + r},
    };
    for (const auto& c : utf16Cases) EXPECT_EQ(c.second, ToUtf8(String(c.first.begin(), c.first.end())));
    // Lengths; the bounded one never reads beyond max units: this array has no terminator.
    const VXCHAR unterminated[3] = {'a', 'b', 'c'};
    EXPECT_TRUE(Length(nullptr) == 0 && Length(VXTEXT("hello")) == 5 && BoundedLength(nullptr, 10) == 0);
    EXPECT_TRUE(BoundedLength(unterminated, 3) == 3 && BoundedLength(VXTEXT("ab"), 10) == 2);
}

}  // namespace
}  // namespace vx::text
