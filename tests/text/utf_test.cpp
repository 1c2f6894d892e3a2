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

TEST(Utf, WellFormedRoundTrips) {
    struct Case {
        const char* utf8;
        std::vector<uint32_t> utf16;
    };
    const Case cases[] = {
        {"", {}},
        {"Figure 1", {'F', 'i', 'g', 'u', 'r', 'e', ' ', '1'}},
        {"\x7F", {0x7F}},
        {"\xC2\x80", {0x80}},
        {"\xC3\xA9t\xC3\xA9", {0xE9, 't', 0xE9}},
        {"\xDF\xBF", {0x7FF}},
        {"\xE0\xA0\x80", {0x800}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xE4\xB8\xAD", {0x4E2D}},
        {"\xED\x9F\xBF", {0xD7FF}},
        {"\xEE\x80\x80", {0xE000}},
        {"\xEF\xBF\xBD", {0xFFFD}},
        {"\xEF\xBF\xBF", {0xFFFF}},
        {"\xF0\x90\x80\x80", {0xD800, 0xDC00}},
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}},
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
    };
    for (const Case& c : cases) {
        const String wide = FromUtf8(c.utf8);
        EXPECT_EQ(c.utf16, Units(wide)) << c.utf8;
        EXPECT_EQ(c.utf8, ToUtf8(wide)) << c.utf8;
    }
    // An embedded zero is a character like any other.
    const std::string withZero("a\0b", 3);
    EXPECT_EQ((std::vector<uint32_t>{'a', 0, 'b'}), Units(FromUtf8(withZero)));
    EXPECT_EQ(withZero, ToUtf8(FromUtf8(withZero)));
}

TEST(Utf, EveryScalarValueRoundTrips) {
    String all;
    for (uint32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        if (cp < 0x10000) {
            all.push_back(static_cast<VXCHAR>(cp));
        } else {
            all.push_back(static_cast<VXCHAR>(0xD800 + ((cp - 0x10000) >> 10)));
            all.push_back(static_cast<VXCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    const std::string utf8 = ToUtf8(all);
    // 127 one-byte, 1920 two-byte, 61440 three-byte and 1048576 four-byte sequences.
    EXPECT_EQ(127u + 1920u * 2 + 61440u * 3 + 1048576u * 4, utf8.size());
    EXPECT_TRUE(FromUtf8(utf8) == all);
}

TEST(Utf, IllFormedUtf8BecomesOneReplacementPerMaximalSubpart) {
    const uint32_t R = 0xFFFD;
    struct Case {
        const char* label;
        std::string utf8;
        std::vector<uint32_t> utf16;
    };
    const Case cases[] = {
        // The example of the Unicode standard (U+FFFD substitution of maximal subparts).
        {"standard example", "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         {'a', R, R, R, 'b', R, 'c', R, R, 'd'}},
        {"lone continuation", "\x80", {R}},
        {"continuations", "a\x80\xBF" "b", {'a', R, R, 'b'}},
        {"invalid lead C0", "\xC0\xAF", {R, R}},
        {"invalid lead C1", "\xC1\xBF", {R, R}},
        {"overlong three bytes", "\xE0\x80\xAF", {R, R, R}},
        {"overlong four bytes", "\xF0\x80\x80\xAF", {R, R, R, R}},
        {"encoded surrogate", "\xED\xA0\x80", {R, R, R}},
        {"encoded low surrogate", "\xED\xBF\xBF", {R, R, R}},
        {"above U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"lead F5", "\xF5\x80\x80\x80", {R, R, R, R}},
        {"lead FF", "\xFF" "a", {R, 'a'}},
        {"lead FE", "\xFE", {R}},
        {"truncated two", "\xC3", {R}},
        {"truncated three", "\xE2\x82", {R}},
        {"truncated four", "\xF0\x9F\x98", {R}},
        {"truncated before ASCII", "\xE2\x82" "A", {R, 'A'}},
        {"truncated before lead", "\xF0\x9F\xE2\x82\xAC", {R, 0x20AC}},
        {"two truncated", "\xE2\xE2", {R, R}},
        {"lead then zero", std::string("\xC3\0", 2), {R, 0}},
        {"good after bad", "\xC0\xC3\xA9", {R, 0xE9}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.utf16, Units(FromUtf8(c.utf8))) << c.label;
    }
}

TEST(Utf, UnpairedSurrogatesBecomeReplacement) {
    const std::string R = "\xEF\xBF\xBD";
    struct Case {
        std::vector<uint32_t> utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {{0xD800}, R},
        {{0xDC00}, R},
        {{0xD800, 'A'}, R + "A"},
        {{'A', 0xDFFF}, "A" + R},
        {{0xDC00, 0xD800}, R + R},
        {{0xDC00, 0xDC00}, R + R},
        {{0xD800, 0xD800, 0xDC00}, R + "\xF0\x90\x80\x80"},
        {{0xDBFF, 0xDFFF, 0xDBFF}, "\xF4\x8F\xBF\xBF" + R},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) {
        const String wide(c.utf16.begin(), c.utf16.end());
        EXPECT_EQ(c.utf8, ToUtf8(wide)) << c.utf8;
    }
}

TEST(Utf, Lengths) {
    EXPECT_EQ(0u, Length(nullptr));
    EXPECT_EQ(0u, Length(VXTEXT("")));
    EXPECT_EQ(5u, Length(VXTEXT("hello")));
    // The bounded length never reads beyond max units: this array has no terminator.
    const VXCHAR unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(3u, BoundedLength(unterminated, 3));
    EXPECT_EQ(2u, BoundedLength(unterminated, 2));
    EXPECT_EQ(0u, BoundedLength(unterminated, 0));
    EXPECT_EQ(2u, BoundedLength(VXTEXT("ab"), 10));
    EXPECT_EQ(0u, BoundedLength(nullptr, 10));
}

}  // namespace
}  // namespace vx::text
