// printf-style formatting, compared with what the C library's printf prints in the C locale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/format.h"
#include "support/rows.h"
#include "text/utf.h"

namespace vx::text {
namespace {

TEST(FormatFixed, RoundsHalfToEvenOnTheExactValue) {
    for (const auto& row : vx::test::ReadRows("text/fixed.txt")) {
        SCOPED_TRACE(row.where);
        const double value = vx::test::NumberField(row.fields.at(0));
        const int precision = std::stoi(row.fields.at(1));
        const std::string& expected = row.fields.at(2);
        std::string narrow = "x=";
        AppendFixed(narrow, value, precision);
        EXPECT_TRUE(ToUtf8(FormatFixed(value, precision)) == expected && narrow == "x=" + expected) << narrow;
    }
    // The smallest subnormal exactly: 1074 fraction digits, the last ones 625 as 5^1074's.
    const std::string tiny = ToUtf8(FormatFixed(0x1p-1074, 1074));
    EXPECT_EQ("0." + std::string(323, '0') + "4940656458412465441765687928682213723650", tiny.substr(0, 2 + 323 + 40));
    EXPECT_EQ("625", tiny.substr(1073));
    EXPECT_EQ("1." + std::string(4096, '0'), ToUtf8(FormatFixed(1.0, 5000)));  // capped
}

// One argument of a row of text/format.txt; a text argument is kept in text, which it views.
FormatArg Argument(const std::string& field, String& text) {
    const std::string value = field.substr(std::min<size_t>(2, field.size()));
    switch (field[0]) {
        case 'f': return vx::test::NumberField(value);
        case 'i': return static_cast<int32_t>(std::stol(value));
        case 'l': return static_cast<int64_t>(std::stoll(value));
        case 'u': return static_cast<uint64_t>(std::stoull(value));
        case 's': return text = FromUtf8(value);
        default: return static_cast<const VXCHAR*>(nullptr);
    }
}

TEST(Format, PatternsFlagsAndArguments) {
    for (const auto& row : vx::test::ReadRows("text/format.txt")) {
        SCOPED_TRACE(row.where);
        ASSERT_LE(row.fields.size(), 4u);  // at most two arguments
        String texts[2];
        std::vector<FormatArg> a;
        for (size_t i = 2; i < row.fields.size(); ++i) a.push_back(Argument(row.fields[i], texts[i - 2]));
        const char* pattern = row.fields.at(0).c_str();
        const auto with = [&](auto format) {
            return a.empty()       ? format(pattern, {})
                   : a.size() == 1 ? format(pattern, {a[0]})
                                   : format(pattern, {a[0], a[1]});
        };
        const String wide = with([](const char* p, std::initializer_list<FormatArg> args) { return Format(p, args); });
        EXPECT_EQ(ToUtf8(wide), row.fields.at(1));
        EXPECT_EQ(with([](const char* p, std::initializer_list<FormatArg> args) { return FormatNarrow(p, args); }),
                  row.fields[1]);
    }
    EXPECT_EQ(String(), Format(nullptr, {1}));
    EXPECT_EQ(4096u, Format("%99999999999999.1f", {1.0}).size());  // huge widths are capped
    // e acute, euro sign, U+1F600: widths count code units of the output (4 UTF-16 units,
    // 9 UTF-8 bytes); a precision that would split the pair drops its first half.
    const VXCHAR text[] = {0x00E9, 0x20AC, 0xD83D, 0xDE00, 0};
    EXPECT_EQ(String(VXTEXT("  ")) + text, Format("%6s", {text}));
    EXPECT_EQ("  \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", FormatNarrow("%11s", {text}));
    EXPECT_EQ(String(text, 2), Format("%.3s", {text}));
    EXPECT_EQ("\xC3\xA9\xE2\x82\xAC", FormatNarrow("%.3s", {text}));
}

#ifdef __GLIBC__
// The C library's printf in the C locale, over random doubles of every magnitude, values near
// ties, and integers.
TEST(Format, AgreesWithGlibcPrintf) {
    std::mt19937_64 rng(31337);
    char expected[2048];
    const char* patterns[] = {"%f", "%12.3f", "%-12.3f|", "%+014.2f", "% f", "%#.0f", "%.0f", "%.15f", "%F"};
    for (int i = 0; i < 100000; ++i) {
        uint64_t bits = rng();
        if (i % 3 != 0) bits = (bits & 0x800FFFFFFFFFFFFFull) | (uint64_t(983 + rng() % 100) << 52);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (i % 7 == 0) d = static_cast<double>(static_cast<float>(d));
        if (i % 5 == 0) d = std::ldexp(double(int64_t(rng() >> 20)), -int(rng() % 40));
        const int precision = i % 2 ? 6 : static_cast<int>(rng() % 25);
        std::snprintf(expected, sizeof expected, "%.*f", precision, d);
        ASSERT_EQ(expected, ToUtf8(FormatFixed(d, precision))) << std::hexfloat << d << " " << precision;
        const char* pattern = patterns[i % std::size(patterns)];
        std::snprintf(expected, sizeof expected, pattern, d);
        ASSERT_EQ(expected, FormatNarrow(pattern, {d})) << pattern << " " << std::hexfloat << d;
        const int32_t n = static_cast<int32_t>(rng());
        for (const char* p : {"%d", "%u", "%+6d", "%-8d|", "%08d", "%.5d", "% d", "%08.3d"}) {
            std::snprintf(expected, sizeof expected, p, n);
            ASSERT_EQ(expected, FormatNarrow(p, {n})) << p << " " << n;
        }
    }
}
#endif

}  // namespace
}  // namespace vx::text
