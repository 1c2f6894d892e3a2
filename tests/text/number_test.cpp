// Reading numbers as wcstod does in the C locale.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "text/format.h"
#include "text/number.h"
#include "text/utf.h"

namespace vx::text {
namespace {

uint64_t Bits(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

double FromBitsForTest(uint64_t b) {
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

String Wide(const std::string& ascii) { return String(ascii.begin(), ascii.end()); }

struct Case {
    const VXCHAR* text;
    double value;
    size_t consumed;
};

// Same bits (so -0 differs from 0), or both NaN with the same sign.
::testing::AssertionResult SameDouble(double expected, double actual) {
    if (std::isnan(expected) && std::isnan(actual) &&
        std::signbit(expected) == std::signbit(actual)) {
        return ::testing::AssertionSuccess();
    }
    if (Bits(expected) == Bits(actual)) return ::testing::AssertionSuccess();
    char a[64], b[64];
    std::snprintf(a, sizeof a, "%a", expected);
    std::snprintf(b, sizeof b, "%a", actual);
    return ::testing::AssertionFailure() << "expected " << a << ", got " << b;
}

void CheckCases(const Case* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Case& c = cases[i];
        const std::string label = ToUtf8(StringView(c.text));
        size_t consumed = 12345;
        const double v = ReadNumber(c.text, &consumed);
        EXPECT_TRUE(SameDouble(c.value, v)) << "text \"" << label << "\"";
        EXPECT_EQ(c.consumed, consumed) << "text \"" << label << "\"";
        // The bounded form over the whole text agrees.
        size_t boundedConsumed = 12345;
        const double bv = ReadNumber(StringView(c.text), &boundedConsumed);
        EXPECT_TRUE(SameDouble(c.value, bv)) << "bounded \"" << label << "\"";
        EXPECT_EQ(c.consumed, boundedConsumed) << "bounded \"" << label << "\"";
    }
}

const double kInf = HUGE_VAL;
const double kNan = std::nan("");

TEST(ReadNumber, DecimalForms) {
    const Case cases[] = {
        {VXTEXT("0"), 0.0, 1},
        {VXTEXT("1"), 1.0, 1},
        {VXTEXT("-1"), -1.0, 2},
        {VXTEXT("+1.5"), 1.5, 4},
        {VXTEXT("  \t\n\v\f\r42"), 42.0, 9},
        {VXTEXT("3.25abc"), 3.25, 4},
        {VXTEXT("-.5"), -0.5, 3},
        {VXTEXT(".5"), 0.5, 2},
        {VXTEXT("5."), 5.0, 2},
        {VXTEXT("007"), 7.0, 3},
        {VXTEXT("-0"), -0.0, 2},
        {VXTEXT("0.000"), 0.0, 5},
        {VXTEXT("1,5"), 1.0, 1},
        {VXTEXT("12 34"), 12.0, 2},
        {VXTEXT("0.1"), 0.1, 3},
        {VXTEXT("123.456789"), 123.456789, 10},
        {VXTEXT("12345.677734"), 12345.677734, 12},
        {VXTEXT("-98765.432100"), -98765.4321, 13},
        {VXTEXT("(1)"), 0.0, 0},
        // Exponents: only with at least one digit.
        {VXTEXT("2e"), 2.0, 1},
        {VXTEXT("2e+"), 2.0, 1},
        {VXTEXT("2e-"), 2.0, 1},
        {VXTEXT("2ex"), 2.0, 1},
        {VXTEXT("2e3"), 2000.0, 3},
        {VXTEXT("2E+3"), 2000.0, 4},
        {VXTEXT("2e-3x"), 0.002, 4},
        {VXTEXT("2.e1"), 20.0, 4},
        {VXTEXT(".5e1"), 5.0, 4},
        {VXTEXT("1e0"), 1.0, 3},
        {VXTEXT("1e-0"), 1.0, 4},
        {VXTEXT("0e999999999999"), 0.0, 14},
        {VXTEXT("-0e-5"), -0.0, 5},
        {VXTEXT("5e-1"), 0.5, 4},
        {VXTEXT("25e-2"), 0.25, 5},
        // Nothing to read.
        {VXTEXT(""), 0.0, 0},
        {VXTEXT("   "), 0.0, 0},
        {VXTEXT("."), 0.0, 0},
        {VXTEXT("-."), 0.0, 0},
        {VXTEXT(".e1"), 0.0, 0},
        {VXTEXT("+"), 0.0, 0},
        {VXTEXT("-"), 0.0, 0},
        {VXTEXT("+-1"), 0.0, 0},
        {VXTEXT("- 1"), 0.0, 0},
        {VXTEXT("e5"), 0.0, 0},
        {VXTEXT("abc"), 0.0, 0},
        {VXTEXT("\x00a0" "1"), 0.0, 0},  // no-break space is not C-locale white space
    };
    CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(ReadNumber, RangeLimitsAndRounding) {
    const Case cases[] = {
        {VXTEXT("1e308"), 1e308, 5},
        {VXTEXT("1e309"), kInf, 5},
        {VXTEXT("-1e309"), -kInf, 6},
        {VXTEXT("1e99999999999999999999"), kInf, 22},
        {VXTEXT("1e-320"), 0x7E8 * 0x1p-1074, 6},
        {VXTEXT("1e-400"), 0.0, 6},
        {VXTEXT("-1e-400"), -0.0, 7},
        {VXTEXT("1e-99999999999999999999"), 0.0, 23},
        {VXTEXT("1.7976931348623157e308"), DBL_MAX, 22},
        // The midpoint between DBL_MAX and 2^1024 is 1.797693134862315807937...e308.
        {VXTEXT("1.7976931348623158e308"), DBL_MAX, 22},
        {VXTEXT("1.7976931348623159e308"), kInf, 22},
        {VXTEXT("4.9406564584124654e-324"), 0x1p-1074, 23},
        // Half the smallest subnormal is 2.4703282292062327208...e-324.
        {VXTEXT("2.4703282292062327e-324"), 0.0, 23},
        {VXTEXT("2.4703282292062328e-324"), 0x1p-1074, 23},
        {VXTEXT("2.2250738585072011e-308"), 0x0.fffffffffffffp-1022, 23},
        {VXTEXT("2.2250738585072014e-308"), 0x1p-1022, 23},
        // 2^53 + 1 lies halfway between 2^53 and 2^53 + 2: ties go to the even mantissa.
        {VXTEXT("9007199254740993"), 0x1p53, 16},
        {VXTEXT("9007199254740995"), 0x1p53 + 4, 16},
        {VXTEXT("9007199254740993.0000000000000000001"), 0x1p53 + 2, 36},
        {VXTEXT("9007199254740992.9999999999999999999"), 0x1p53, 36},
        // 1 + 2^-53 exactly, and just above and below it.
        {VXTEXT("1.00000000000000011102230246251565404236316680908203125"), 1.0, 55},
        {VXTEXT("1.00000000000000011102230246251565404236316680908203126"), 1.0 + 0x1p-52, 55},
        {VXTEXT("1.00000000000000011102230246251565404236316680908203124"), 1.0, 55},
        {VXTEXT("123456789012345678901234567890"), 123456789012345678901234567890.0, 30},
        {VXTEXT("0.000000000000000000000000000001"), 1e-30, 32},
        // Products that need more than 64 bits (an x87 multiply rounds these twice).
        {VXTEXT("1345800657315612e18"), 1345800657315612e18, 19},
        {VXTEXT("8866608367318654e21"), 8866608367318654e21, 19},
        {VXTEXT("7.3177701707893310e+15"), 7.3177701707893310e+15, 22},
        // m * 10^-k where m is the leading 64 bits of 5^k: the long division by 5^k first
        // guesses a quotient digit one too large and must add the divisor back.
        {VXTEXT("9860761315262647567e-50"), 9860761315262647567e-50, 23},
        {VXTEXT("9403954806578300063e-56"), 9403954806578300063e-56, 23},
        {VXTEXT("9273015376718553464e-87"), 9273015376718553464e-87, 23},
        {VXTEXT("9818186930595453106e-109"), 9818186930595453106e-109, 24},
        {VXTEXT("1e23"), 1e23, 4},
        {VXTEXT("8.5e-323"), 17 * 0x1p-1074, 8},
        {VXTEXT("3.4028235e38"), 3.4028235e38, 12},
    };
    CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(ReadNumber, HexadecimalForms) {
    const Case cases[] = {
        {VXTEXT("0x1.8p3"), 12.0, 7},
        {VXTEXT("0X1P-2"), 0.25, 6},
        {VXTEXT("-0x10"), -16.0, 5},
        {VXTEXT("0xA.8P1"), 21.0, 7},
        {VXTEXT("0x.8"), 0.5, 4},
        {VXTEXT("0x1."), 1.0, 4},
        {VXTEXT("0x1p"), 1.0, 3},
        {VXTEXT("0x1p+"), 1.0, 3},
        {VXTEXT("0x1p3.5"), 8.0, 5},
        {VXTEXT("0x0p99"), 0.0, 6},
        // "0x" without a hex digit is the number 0 followed by "x".
        {VXTEXT("0x"), 0.0, 1},
        {VXTEXT("-0x"), -0.0, 2},
        {VXTEXT("0x."), 0.0, 1},
        {VXTEXT("0xg"), 0.0, 1},
        {VXTEXT("0x.p1"), 0.0, 1},
        {VXTEXT("0x1p-1074"), 0x1p-1074, 9},
        {VXTEXT("0x1p-1075"), 0.0, 9},            // halfway to the smallest subnormal: even
        {VXTEXT("0x1.8p-1075"), 0x1p-1074, 11},   // above halfway
        {VXTEXT("0x1p-2000"), 0.0, 9},
        {VXTEXT("0x1p1023"), 0x1p1023, 8},
        {VXTEXT("0x1p1024"), kInf, 8},
        {VXTEXT("0x1.fffffffffffff8p1023"), kInf, 23},
        {VXTEXT("0x1.fffffffffffff7ffp1023"), DBL_MAX, 25},
        {VXTEXT("0x1.00000000000008p0"), 1.0, 20},
        {VXTEXT("0x1.00000000000018p0"), 1.0 + 0x1p-51, 20},
        {VXTEXT("0x1.000000000000080000000000000001p0"), 1.0 + 0x1p-52, 36},
        {VXTEXT("0x0000000000000000000001p0"), 1.0, 26},
        {VXTEXT("0x123456789abcdef0123p0"), 0x123456789abcdef0123p0, 23},
    };
    CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(ReadNumber, InfinityAndNan) {
    const Case cases[] = {
        {VXTEXT("inf"), kInf, 3},
        {VXTEXT("-INF"), -kInf, 4},
        {VXTEXT(" +Inf"), kInf, 5},
        {VXTEXT("Infinity"), kInf, 8},
        {VXTEXT("INFINITYx"), kInf, 8},
        {VXTEXT("infinit"), kInf, 3},
        {VXTEXT("infx"), kInf, 3},
        {VXTEXT("in"), 0.0, 0},
        {VXTEXT("nan"), kNan, 3},
        {VXTEXT("-NaN"), -kNan, 4},
        {VXTEXT("nan()"), kNan, 5},
        {VXTEXT("nan(abc_12)"), kNan, 11},
        {VXTEXT("nan(a b)"), kNan, 3},
        {VXTEXT("nan("), kNan, 3},
        {VXTEXT("nan(1.5)"), kNan, 3},
        {VXTEXT("na"), 0.0, 0},
    };
    CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(ReadNumber, BoundedTextStopsAtItsEnd) {
    struct Bounded {
        const VXCHAR* text;
        size_t size;
        double value;
        size_t consumed;
    };
    const Bounded cases[] = {
        {VXTEXT("12345"), 3, 123.0, 3},
        {VXTEXT("1e5"), 2, 1.0, 1},
        {VXTEXT("1.5"), 2, 1.0, 2},
        {VXTEXT("0x1p3"), 2, 0.0, 1},
        {VXTEXT("0x1p3"), 4, 1.0, 3},
        {VXTEXT("infinity"), 2, 0.0, 0},
        {VXTEXT("infinity"), 5, kInf, 3},
        {VXTEXT("nan(x)"), 5, kNan, 3},
        {VXTEXT("  7"), 2, 0.0, 0},
        {VXTEXT("7"), 0, 0.0, 0},
    };
    for (const Bounded& c : cases) {
        size_t consumed = 99;
        const double v = ReadNumber(StringView(c.text, c.size), &consumed);
        EXPECT_TRUE(SameDouble(c.value, v)) << ToUtf8(StringView(c.text)) << " / " << c.size;
        EXPECT_EQ(c.consumed, consumed) << ToUtf8(StringView(c.text)) << " / " << c.size;
    }
    // A zero inside a bounded text ends the number as it ends a terminated one.
    const VXCHAR withZero[] = {'1', '2', 0, '3'};
    size_t consumed = 0;
    EXPECT_EQ(12.0, ReadNumber(StringView(withZero, 4), &consumed));
    EXPECT_EQ(2u, consumed);
    // Null text and null count.
    EXPECT_EQ(0.0, ReadNumber(static_cast<const VXCHAR*>(nullptr), &consumed));
    EXPECT_EQ(0u, consumed);
    EXPECT_EQ(2.5, ReadNumber(VXTEXT("2.5"), nullptr));
    EXPECT_EQ(2.5, ReadNumber(StringView(VXTEXT("2.5")), nullptr));
}

TEST(ReadNumber, VeryLongTexts) {
    const size_t kMega = 1 << 20;
    size_t consumed = 0;

    // 10^(2^20): overflow after reading every digit.
    String big = VXTEXT("1") + String(kMega, '0');
    EXPECT_EQ(kInf, ReadNumber(big.c_str(), &consumed));
    EXPECT_EQ(big.size(), consumed);

    // 10^-(2^20): underflow.
    String tiny = VXTEXT("-0.") + String(kMega, '0') + VXTEXT("1x");
    EXPECT_TRUE(SameDouble(-0.0, ReadNumber(tiny.c_str(), &consumed)));
    EXPECT_EQ(tiny.size() - 1, consumed);

    // A tie between 2^53 and 2^53 + 2 followed by a megabyte of zeros: only a nonzero digit
    // at the very end breaks the tie.
    String tie = VXTEXT("9007199254740993.") + String(kMega, '0');
    EXPECT_EQ(0x1p53, ReadNumber(tie.c_str(), &consumed));
    EXPECT_EQ(tie.size(), consumed);
    String above = tie + VXTEXT("1");
    EXPECT_EQ(0x1p53 + 2, ReadNumber(above.c_str(), &consumed));
    EXPECT_EQ(above.size(), consumed);
    EXPECT_EQ(0x1p53 + 2, ReadNumber(StringView(above), &consumed));
    EXPECT_EQ(above.size(), consumed);

    // A megabyte of digits scaled back by an exponent: 1.000...0001 rounds to 1.
    String scaled = VXTEXT("1") + String(kMega, '0') + VXTEXT("1e-1048577");
    EXPECT_EQ(1.0, ReadNumber(scaled.c_str(), &consumed));
    EXPECT_EQ(scaled.size(), consumed);

    // A megabyte of hex digits.
    String hex = VXTEXT("0x1") + String(kMega, '0') + VXTEXT("p-4194304");
    EXPECT_EQ(1.0, ReadNumber(hex.c_str(), &consumed));
    EXPECT_EQ(hex.size(), consumed);
}

// Exact decimal digits "123.456" of a finite non-negative double (1074 fraction digits hold
// every double exactly), trailing zeros removed.
std::string ExactDecimal(double d) {
    static char buf[2000];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, 1074);
    std::string s(buf, r.ptr);
    while (s.back() == '0') s.pop_back();
    return s;
}

// Half of a decimal "int.frac" (the result may need one more fraction digit).
std::string HalfOf(std::string s) {
    s += '0';
    int carry = 0;
    for (char& c : s) {
        if (c == '.') continue;
        const int v = carry * 10 + (c - '0');
        c = static_cast<char>('0' + v / 2);
        carry = v % 2;
    }
    return s;
}

// Sum of two decimals "int.frac".
std::string Sum(std::string a, std::string b) {
    size_t pa = a.find('.'), pb = b.find('.');
    const size_t intLen = std::max(pa, pb);
    a.insert(0, intLen - pa, '0');
    b.insert(0, intLen - pb, '0');
    const size_t len = std::max(a.size(), b.size());
    a.resize(len, '0');
    b.resize(len, '0');
    int carry = 0;
    for (size_t i = len; i-- > 0;) {
        if (a[i] == '.') continue;
        const int v = (a[i] - '0') + (b[i] - '0') + carry;
        a[i] = static_cast<char>('0' + v % 10);
        carry = v / 10;
    }
    if (carry) a.insert(0, "1");
    return a;
}

// Subtracts one unit of the last digit.
std::string DecrementLast(std::string s) {
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] == '.') continue;
        if (s[i] > '0') {
            --s[i];
            break;
        }
        s[i] = '9';
    }
    return s;
}

// Exact decimal texts of the midpoint between random doubles and their successors, of
// numbers just above and just below it: up to about 1100 significant digits, through every
// exponent, subnormals included.
TEST(ReadNumber, ExactHalfwayPointsRoundToEven) {
    std::mt19937_64 rng(20240611);
    for (int i = 0; i < 600; ++i) {
        uint64_t bits = rng() & 0x7FFFFFFFFFFFFFFFull;
        if (i % 4 == 0) bits &= 0x000FFFFFFFFFFFFFull;  // subnormals
        if (i % 4 == 1) bits = (bits & 0x800FFFFFFFFFFFFFull) | (uint64_t(1000 + rng() % 50) << 52);
        const double d = FromBitsForTest(bits);
        if (!std::isfinite(d) || d == DBL_MAX) continue;
        const double next = std::nextafter(d, kInf);
        const std::string mid = Sum(ExactDecimal(d), HalfOf(ExactDecimal(next - d)));
        const double even = (bits & 1) == 0 ? d : next;
        std::string above = mid;
        if (above.back() == '.') above += '0';
        above += "001";
        const std::string below = DecrementLast(mid);
        EXPECT_EQ(Bits(even), Bits(ReadNumber(Wide(mid).c_str(), nullptr))) << mid;
        EXPECT_EQ(Bits(next), Bits(ReadNumber(Wide(above).c_str(), nullptr))) << above;
        EXPECT_EQ(Bits(d), Bits(ReadNumber(Wide(below).c_str(), nullptr))) << below;
        // The same value written with an exponent and a sign.
        const std::string shifted = "-0." + std::string(mid).erase(mid.find('.'), 1) + "e" +
                                    std::to_string(mid.find('.'));
        EXPECT_EQ(Bits(-even), Bits(ReadNumber(Wide(shifted).c_str(), nullptr))) << shifted;
    }
}

// Random numbers of up to 24 digits against std::from_chars. Its 32-bit x87 build rounds
// some products twice, so the comparison needs SSE arithmetic.
TEST(ReadNumber, AgreesWithFromChars) {
    if (FLT_EVAL_METHOD != 0 && FLT_EVAL_METHOD != 1) GTEST_SKIP() << "x87 arithmetic";
    std::mt19937_64 rng(77);
    for (int i = 0; i < 300000; ++i) {
        std::string s;
        const int digits = 1 + static_cast<int>(rng() % 24);
        for (int k = 0; k < digits; ++k) s += static_cast<char>('0' + rng() % 10);
        if (rng() % 2) s.insert(rng() % (s.size() + 1), ".");
        if (s == ".") s = "0";
        const int range = i % 2 ? 80 : 800;
        if (rng() % 4) s += "e" + std::to_string(static_cast<int>(rng() % range) - range / 2);
        double expected = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), expected);
        if (r.ec != std::errc()) continue;
        size_t consumed = 0;
        const double v = ReadNumber(Wide(s).c_str(), &consumed);
        ASSERT_EQ(Bits(expected), Bits(v)) << s;
        ASSERT_EQ(s.size(), consumed) << s;
    }
}

#ifdef __GLIBC__
// The C library's own wcstod, in the C locale, on random texts of every form.
TEST(ReadNumber, AgreesWithGlibcWcstod) {
    std::mt19937_64 rng(4242);
    const char* pieces[] = {" ", "\t", "+", "-", "0", "1", "9", "5", "00", "123456789", ".",
                            "e", "E", "e+", "e-", "x", "0x", "p", "P", "a", "f", "inf",
                            "nan", "(", ")", "_", "infinity", "e308", "e-308", "e-330", "9999"};
    const size_t pieceCount = sizeof pieces / sizeof pieces[0];
    for (int i = 0; i < 300000; ++i) {
        std::string s;
        const int count = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < count; ++k) s += pieces[rng() % pieceCount];
        const std::wstring w(s.begin(), s.end());
        wchar_t* end = nullptr;
        const double expected = std::wcstod(w.c_str(), &end);
        size_t consumed = 0;
        const double v = ReadNumber(Wide(s).c_str(), &consumed);
        ASSERT_EQ(static_cast<size_t>(end - w.c_str()), consumed) << s;
        ASSERT_TRUE(SameDouble(expected, v)) << s;
    }
    // Up to 19 digits with exponents of every size.
    for (int i = 0; i < 100000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%llue%d",
                      static_cast<unsigned long long>(rng() >> (rng() % 64)),
                      static_cast<int>(rng() % 760) - 400);
        const std::string s = text;
        const std::wstring w(s.begin(), s.end());
        const double expected = std::wcstod(w.c_str(), nullptr);
        ASSERT_EQ(Bits(expected), Bits(ReadNumber(Wide(s).c_str(), nullptr))) << s;
    }
    // Long random digit strings with exponents around the limits.
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const int digits = 1 + static_cast<int>(rng() % 60);
        for (int k = 0; k < digits; ++k) s += static_cast<char>('0' + rng() % 10);
        s.insert(rng() % (s.size() + 1), ".");
        if (s == ".") s = "0";
        s += "e" + std::to_string(static_cast<int>(rng() % 700) - 370);
        const std::wstring w(s.begin(), s.end());
        const double expected = std::wcstod(w.c_str(), nullptr);
        ASSERT_EQ(Bits(expected), Bits(ReadNumber(Wide(s).c_str(), nullptr))) << s;
    }
}
#endif

// Switches to a locale whose decimal point is a comma for the life of the object.
class CommaLocale {
public:
    CommaLocale() {
        const char* old = std::setlocale(LC_ALL, nullptr);
        saved_ = old ? old : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8",
                                 "fr_FR.utf8", "German_Germany.1252", "de-DE"}) {
            if (std::setlocale(LC_ALL, name) != nullptr &&
                std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

TEST(ReadNumber, IgnoresTheProcessLocale) {
    CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    size_t consumed = 0;
    EXPECT_EQ(1.5, ReadNumber(VXTEXT("1.5"), &consumed));
    EXPECT_EQ(3u, consumed);
    EXPECT_EQ(1.0, ReadNumber(VXTEXT("1,5"), &consumed));
    EXPECT_EQ(1u, consumed);
    EXPECT_EQ(-2500.0, ReadNumber(VXTEXT("-2.5e3"), &consumed));
    EXPECT_EQ(6u, consumed);
    EXPECT_EQ("1.500000", ToUtf8(FormatFixed(1.5)));
    EXPECT_EQ("(1234567.250 - 2)", FormatNarrow("(%.3f - %d)", {1234567.25, 2}));
}

}  // namespace
}  // namespace vx::text
