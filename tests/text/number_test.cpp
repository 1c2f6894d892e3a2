// Reading numbers as wcstod does in the C locale.
#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "text/format.h"
#include "text/number.h"
#include "text/utf.h"

namespace vx::text {
namespace {

// Same bits (so -0 differs from 0), or both NaN with the same sign.
bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b));
}

const double kInf = HUGE_VAL, kNan = std::nan("");

TEST(ReadNumber, ValueAndConsumedCount) {
    // With a size, only the first size units are read.
    const struct {
        const VXCHAR* text;
        double value;
        size_t consumed, size = SIZE_MAX;
    } cases[] = {
        {VXTEXT("  \t\n\v\f\r42"), 42.0, 9},
        {VXTEXT("3.25abc"), 3.25, 4},
        {VXTEXT("-.5"), -0.5, 3},
        {VXTEXT("5."), 5.0, 2},
        {VXTEXT("-0"), -0.0, 2},
        {VXTEXT("1,5"), 1.0, 1},
        {VXTEXT("0.1"), 0.1, 3},
        // Exponents only with at least one digit.
        {VXTEXT("2e"), 2.0, 1},
        {VXTEXT("2e+"), 2.0, 1},
        {VXTEXT("2E+3"), 2000.0, 4},
        {VXTEXT("2e-3x"), 0.002, 4},
        {VXTEXT(".5e1"), 5.0, 4},
        {VXTEXT("0e999999999999"), 0.0, 14},
        // Nothing to read; a no-break space is not C-locale white space.
        {VXTEXT(""), 0.0, 0},
        {VXTEXT("-."), 0.0, 0},
        {VXTEXT(".e1"), 0.0, 0},
        {VXTEXT("+-1"), 0.0, 0},
        {VXTEXT("e5"), 0.0, 0},
        {VXTEXT("\u00a01"), 0.0, 0},
        // Range limits.
        {VXTEXT("-1e309"), -kInf, 6},
        {VXTEXT("1e99999999999999999999"), kInf, 22},
        {VXTEXT("1e-320"), 0x7E8 * 0x1p-1074, 6},
        {VXTEXT("-1e-400"), -0.0, 7},
        {VXTEXT("1e-99999999999999999999"), 0.0, 23},
        // The midpoint between DBL_MAX and 2^1024 is 1.797693134862315807937...e308.
        {VXTEXT("1.7976931348623158e308"), DBL_MAX, 22},
        {VXTEXT("1.7976931348623159e308"), kInf, 22},
        // Half the smallest subnormal is 2.4703282292062327208...e-324.
        {VXTEXT("2.4703282292062327e-324"), 0.0, 23},
        {VXTEXT("2.4703282292062328e-324"), 0x1p-1074, 23},
        {VXTEXT("2.2250738585072011e-308"), 0x0.fffffffffffffp-1022, 23},
        // 2^53 + 1 and 2^53 + 3 are ties: the even mantissa wins unless a later digit breaks it.
        {VXTEXT("9007199254740993"), 0x1p53, 16},
        {VXTEXT("9007199254740995"), 0x1p53 + 4, 16},
        {VXTEXT("1.00000000000000011102230246251565404236316680908203125"), 1.0, 55},
        {VXTEXT("1.00000000000000011102230246251565404236316680908203126"), 1.0 + 0x1p-52, 55},
        // Products that need more than 64 bits (an x87 multiply rounds these twice).
        {VXTEXT("1345800657315612e18"), 1345800657315612e18, 19},
        {VXTEXT("8866608367318654e21"), 8866608367318654e21, 19},
        // m * 10^-k, m the leading 64 bits of 5^k: the long division by 5^k first guesses a
        // quotient digit one too large and must add the divisor back.
        {VXTEXT("9860761315262647567e-50"), 9860761315262647567e-50, 23},
        {VXTEXT("9818186930595453106e-109"), 9818186930595453106e-109, 24},
        {VXTEXT("1e23"), 1e23, 4},
        {VXTEXT("8.5e-323"), 17 * 0x1p-1074, 8},
        // Hexadecimal; "0x" without a hex digit is the number 0 followed by "x".
        {VXTEXT("0x1.8p3"), 12.0, 7},
        {VXTEXT("0X1P-2"), 0.25, 6},
        {VXTEXT("0x1p+"), 1.0, 3},
        {VXTEXT("-0x"), -0.0, 2},
        {VXTEXT("0x.p1"), 0.0, 1},
        {VXTEXT("0x1.8p-1075"), 0x1p-1074, 11},
        {VXTEXT("0x1p1024"), kInf, 8},
        {VXTEXT("0x1.00000000000008p0"), 1.0, 20},
        {VXTEXT("0x1.000000000000080000000000000001p0"), 1.0 + 0x1p-52, 36},
        // Infinity and NaN.
        {VXTEXT("-INF"), -kInf, 4},
        {VXTEXT("Infinity"), kInf, 8},
        {VXTEXT("infinit"), kInf, 3},
        {VXTEXT("in"), 0.0, 0},
        {VXTEXT("-NaN"), -kNan, 4},
        {VXTEXT("nan(abc_12)"), kNan, 11},
        {VXTEXT("nan(a b)"), kNan, 3},
        {VXTEXT("nan("), kNan, 3},
        // A bounded text ends the number at its end, and at a zero inside it.
        {VXTEXT("1e5"), 1.0, 1, 2},
        {VXTEXT("1.5"), 1.0, 2, 2},
        {VXTEXT("0x1p3"), 1.0, 3, 4},
        {VXTEXT("infinity"), kInf, 3, 5},
        {VXTEXT("nan(x)"), kNan, 3, 5},
        {VXTEXT("  7"), 0.0, 0, 2},
        {VXTEXT("12\0003"), 12.0, 2, 4},  // \000 is the zero
    };
    for (const auto& c : cases) {
        size_t consumed = 12345, bounded = 12345;
        const double whole = c.size == SIZE_MAX ? ReadNumber(c.text, &consumed) : c.value;
        const double part = ReadNumber(c.size == SIZE_MAX ? StringView(c.text) : StringView(c.text, c.size), &bounded);
        EXPECT_TRUE(Same(c.value, whole) && Same(c.value, part)) << ToUtf8(c.text) << std::hexfloat << " " << part;
        EXPECT_TRUE(bounded == c.consumed && (c.size != SIZE_MAX || consumed == c.consumed)) << ToUtf8(c.text);
    }
    size_t consumed = 1;
    EXPECT_TRUE(ReadNumber(static_cast<const VXCHAR*>(nullptr), &consumed) == 0.0 && consumed == 0);
    EXPECT_EQ(2.5, ReadNumber(VXTEXT("2.5"), nullptr));
    // A tie between 2^53 and 2^53 + 2, then a megabyte of zeros: only a nonzero digit at the
    // very end breaks the tie.
    const String tie = VXTEXT("9007199254740993.") + String(size_t(1) << 20, '0'), above = tie + VXTEXT("1");
    EXPECT_TRUE(ReadNumber(tie.c_str(), &consumed) == 0x1p53 && consumed == tie.size());
    EXPECT_TRUE(ReadNumber(StringView(above), &consumed) == 0x1p53 + 2 && consumed == above.size());
}

#ifdef __GLIBC__
// The C library's own wcstod, in the C locale, on random texts of every form and on long
// random digit strings with exponents around the limits.
TEST(ReadNumber, AgreesWithGlibcWcstod) {
    std::mt19937_64 rng(4242);
    const char* pieces[] = {" ",   "\t", "+",  "-",  "0",        "1",    "9",     "5",     "00",  "123456789", ".",
                            "e",   "E",  "e+", "e-", "x",        "0x",   "p",     "P",     "a",   "f",         "inf",
                            "nan", "(",  ")",  "_",  "infinity", "e308", "e-308", "e-330", "9999"};
    for (int i = 0; i < 400000; ++i) {
        std::string s;
        for (int k = 0, n = 1 + int(rng() % (i % 4 ? 8 : 60)); k < n; ++k) {
            s += i % 4 ? pieces[rng() % std::size(pieces)] : std::string(1, char('0' + rng() % 10));
        }
        if (i % 4 == 0) s.insert(rng() % (s.size() + 1), ".") += "e" + std::to_string(int(rng() % 700) - 370);
        const std::wstring w(s.begin(), s.end());
        wchar_t* end = nullptr;
        const double expected = std::wcstod(w.c_str(), &end);
        size_t consumed = 0;
        const double v = ReadNumber(String(s.begin(), s.end()).c_str(), &consumed);
        ASSERT_TRUE(static_cast<size_t>(end - w.c_str()) == consumed && Same(expected, v)) << s;
    }
}
#endif

TEST(ReadNumber, IgnoresTheProcessLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"}) {
        comma = comma || (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',');
    }
    size_t consumed = 0;
    const double values[] = {ReadNumber(VXTEXT("1.5"), &consumed), ReadNumber(VXTEXT("1,5"), nullptr)};
    const std::string texts[] = {ToUtf8(FormatFixed(1.5)), FormatNarrow("(%.3f - %d)", {1234567.25, 2})};
    std::setlocale(LC_ALL, saved.c_str());
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_TRUE(values[0] == 1.5 && consumed == 3u && values[1] == 1.0);
    EXPECT_EQ("1.500000", texts[0]);
    EXPECT_EQ("(1234567.250 - 2)", texts[1]);
}

}  // namespace
}  // namespace vx::text
