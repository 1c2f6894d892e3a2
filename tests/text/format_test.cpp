// printf-style formatting, compared with what the C library's printf prints in the C locale.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/format.h"
#include "text/utf.h"

namespace vx::text {
namespace {

std::string Narrow(const String& s) { return ToUtf8(s); }

TEST(FormatFixed, SixDecimalsAsPrintf) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {0.0, "0.000000"},
        {-0.0, "-0.000000"},
        {1.0, "1.000000"},
        {-1.5, "-1.500000"},
        // Reference values pass through single precision before printing.
        {static_cast<double>(0.1f), "0.100000"},           // 0.100000001490116...
        {static_cast<double>(12345.678f), "12345.677734"},  // 12345.677734375
        {static_cast<double>(-3.3f), "-3.300000"},          // -3.2999999523...
        {static_cast<double>(16777217.0f), "16777216.000000"},
        {2.5e-7, "0.000000"},
        {-1e-7, "-0.000000"},
        {1e-300, "0.000000"},
        {-5e-324, "-0.000000"},
        // The double nearest 0.0000005 is 4.99999999999999977e-07: rounds down.
        {0.0000005, "0.000000"},
        // 0.0000015 is 1.50000000000000003841e-06: rounds up.
        {0.0000015, "0.000002"},
        // 0.0000025 is 2.50000000000000015e-06, above the tie.
        {0.0000025, "0.000003"},
        // Exact ties (binary fractions with a 5 in the seventh place) go to the even digit.
        {0.0078125, "0.007812"},   // 2^-7
        {0.0234375, "0.023438"},   // 3 * 2^-7
        {-0.0078125, "-0.007812"},
        {1e20, "100000000000000000000.000000"},
        {123456789.123456789, "123456789.123457"},
        {9007199254740993.0, "9007199254740992.000000"},
        {DBL_MAX,
         "179769313486231570814527423731704356798070567525844996598917476803157260780028538760"
         "589558632766878171540458953514382464234321326889464182768467546703537516986049910576"
         "551282076245490090389328944075868508455133942304583236903222948165808559332123348274"
         "797826204144723168738177180919299881250404026184124858368.000000"},
        {HUGE_VAL, "inf"},
        {-HUGE_VAL, "-inf"},
        {std::nan(""), "nan"},
        {-std::nan(""), "-nan"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Narrow(FormatFixed(c.value))) << c.expected;
        std::string narrow = "x=";
        AppendFixed(narrow, c.value);
        EXPECT_EQ(std::string("x=") + c.expected, narrow);
    }
}

TEST(FormatFixed, OtherPrecisionsRoundHalfToEven) {
    struct Case {
        double value;
        int precision;
        const char* expected;
    };
    const Case cases[] = {
        {0.5, 0, "0"},
        {1.5, 0, "2"},
        {2.5, 0, "2"},
        {3.5, 0, "4"},
        {-2.5, 0, "-2"},
        {0.125, 2, "0.12"},
        {0.375, 2, "0.38"},
        {1.005, 2, "1.00"},  // 1.00499999999999989...
        {2.675, 2, "2.67"},  // 2.67499999999999982...
        {1.0 / 3, 12, "0.333333333333"},
        {123.456, 12, "123.456000000000"},
        {0.1, 20, "0.10000000000000000555"},
        {0x1p-1074, 1074, nullptr},  // checked below
        {3.25, -1, "3.250000"},
        {7.0, 1, "7.0"},
        {99.95, 1, "100.0"},  // 99.9500000000000028...
        {0.05, 1, "0.1"},     // 0.05000000000000000277...
    };
    for (const Case& c : cases) {
        if (!c.expected) continue;
        EXPECT_EQ(c.expected, Narrow(FormatFixed(c.value, c.precision)))
            << c.value << " / " << c.precision;
    }
    // The smallest subnormal exactly: 1074 fraction digits, the last one a 5.
    const std::string tiny = Narrow(FormatFixed(0x1p-1074, 1074));
    ASSERT_EQ(2u + 1074u, tiny.size());
    EXPECT_EQ("0." + std::string(323, '0') + "4940656458412465441765687928682213723650",
              tiny.substr(0, 2 + 323 + 40));
    EXPECT_EQ('5', tiny.back());
    // Beyond the digits a double can have, zeros; precision is capped at 4096.
    const std::string wide = Narrow(FormatFixed(1.0, 5000));
    EXPECT_EQ("1." + std::string(4096, '0'), wide);
    String appended = VXTEXT("a");
    AppendFixed(appended, 0.25, 3);
    EXPECT_EQ("a0.250", Narrow(appended));
}

TEST(Format, PatternsAndFlags) {
    struct Case {
        const char* pattern;
        std::initializer_list<FormatArg> args;
        const char* expected;
    };
    const int32_t minusOne = -1;
    const String minusOneText = VXTEXT("-1");
    const Case cases[] = {
        {"%f", {1.5}, "1.500000"},
        {"%4.12f", {3.25}, "3.250000000000"},
        {"%.3f", {2.0 / 3}, "0.667"},
        {"[%12.3f]", {3.14159}, "[       3.142]"},
        {"[%-10.2f]", {-2.5}, "[-2.50     ]"},
        {"[%010.3f]", {-2.5}, "[-00002.500]"},
        {"[%-010.1f]", {2.0}, "[2.0       ]"},
        {"%+.1f", {2.0}, "+2.0"},
        {"% .1f", {2.0}, " 2.0"},
        {"% .1f", {-2.0}, "-2.0"},
        {"%#.0f", {3.0}, "3."},
        {"%.0f", {2.5}, "2"},
        {"%lf", {0.25}, "0.250000"},
        {"[%5f]", {HUGE_VAL}, "[  inf]"},
        {"[%-6f]", {-HUGE_VAL}, "[-inf  ]"},
        {"[%05f]", {HUGE_VAL}, "[  inf]"},
        {"%+f", {std::nan("")}, "+nan"},
        {"%F", {-HUGE_VAL}, "-INF"},
        {"%d", {42}, "42"},
        {"%d", {-7}, "-7"},
        {"[%5d]", {42}, "[   42]"},
        {"[%-5d]", {42}, "[42   ]"},
        {"%05d", {-42}, "-0042"},
        {"%+d", {5}, "+5"},
        {"%.3d", {7}, "007"},
        {"[%.0d]", {0}, "[]"},
        {"[%5.3d]", {-7}, "[ -007]"},
        {"[%06.3d]", {-7}, "[  -007]"},  // a precision turns the 0 flag off
        {"%i", {int64_t{-9007199254740993}}, "-9007199254740993"},
        {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
        {"%u", {minusOne}, "4294967295"},
        {"%u", {4000000000u}, "4000000000"},
        {"%zu", {static_cast<size_t>(12)}, "12"},
        {"%ld", {-5L}, "-5"},
        {"%llu", {18446744073709551615ull}, "9223372036854775807"},
        {"%s", {VXTEXT("abc")}, "abc"},
        {"[%5s]", {VXTEXT("ab")}, "[   ab]"},
        {"[%-5s]", {VXTEXT("ab")}, "[ab   ]"},
        {"%.2s", {VXTEXT("abc")}, "ab"},
        {"[%s]", {static_cast<const VXCHAR*>(nullptr)}, "[]"},
        {"100%%", {}, "100%"},
        {"%%d", {1}, "%d"},
        // What the library prints: frame prefixes and reference texts.
        {"(%f - %f)", {10.0, 2.5}, "(10.000000 - 2.500000)"},
        {"%f + (%f - %f)", {1.0, 3.0, 1.0}, "1.000000 + (3.000000 - 1.000000)"},
        {"(%s,%s)", {VXTEXT("0.5"), minusOneText}, "(0.5,-1)"},
        // Missing arguments and arguments of the wrong kind print nothing; they are used up.
        {"%d and %d", {1}, "1 and "},
        {"%f|%d", {1, 2}, "|2"},
        {"%d|%f", {1.0, 2.0}, "|2.000000"},
        {"%s|%d", {3, 4}, "|4"},
        {"no conversions", {1, 2.0}, "no conversions"},
        // Not ours: copied as written, no argument used.
        {"%q|%d", {5}, "%q|5"},
        {"%x%d", {6}, "%x6"},
        {"end%", {}, "end%"},
        {"end%5", {}, "end%5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, Narrow(Format(c.pattern, c.args))) << c.pattern;
        EXPECT_EQ(c.expected, FormatNarrow(c.pattern, c.args)) << c.pattern;
    }
    EXPECT_EQ(String(), Format(nullptr, {1}));
    String out = VXTEXT("x");
    AppendFormat(out, "=%d", {3});
    EXPECT_EQ("x=3", Narrow(out));
    // Huge widths are capped.
    EXPECT_EQ(4096u, Format("%99999999999999.1f", {1.0}).size());
    EXPECT_EQ(4096u + 1u, Format("%.99999999999999d", {-1}).size());
}

TEST(Format, TextArgumentsKeepUtf16AndBecomeUtf8WhenNarrow) {
    // e acute, euro sign, and U+1F600 as a surrogate pair.
    const VXCHAR text[] = {0x00E9, 0x20AC, 0xD83D, 0xDE00, 0};
    const String wide = Format("<%s>", {text});
    ASSERT_EQ(6u, wide.size());
    EXPECT_EQ(0x00E9, wide[1]);
    EXPECT_EQ(0xDE00, wide[4]);
    EXPECT_EQ("<\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80>", FormatNarrow("<%s>", {text}));
    // Width counts code units of the output: 4 UTF-16 units, 9 UTF-8 bytes.
    EXPECT_EQ(6u, Format("%6s", {text}).size());
    EXPECT_EQ("  \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", FormatNarrow("%11s", {text}));
    // A precision that would split the pair drops its first half.
    EXPECT_EQ(2u, Format("%.3s", {text}).size());
    EXPECT_EQ("\xC3\xA9\xE2\x82\xAC", FormatNarrow("%.3s", {text}));
}

#ifdef __GLIBC__
// The C library's printf in the C locale, over random doubles of every magnitude.
TEST(Format, AgreesWithGlibcPrintf) {
    std::mt19937_64 rng(31337);
    char expected[2048];
    for (int i = 0; i < 200000; ++i) {
        uint64_t bits = rng();
        if (i % 3 != 0) {
            // Mostly values the library prints: exponents from 2^-40 to 2^60.
            bits = (bits & 0x800FFFFFFFFFFFFFull) | (uint64_t(1023 - 40 + rng() % 100) << 52);
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (i % 7 == 0) d = static_cast<double>(static_cast<float>(d));
        const int precision = i % 2 ? 6 : static_cast<int>(rng() % 25);
        std::snprintf(expected, sizeof expected, "%.*f", precision, d);
        ASSERT_EQ(expected, Narrow(FormatFixed(d, precision)))
            << std::hexfloat << d << " precision " << precision;
    }
    const char* patterns[] = {"%f", "%12.3f", "%-12.3f|", "%+014.2f", "% f", "%#.0f", "%.0f",
                              "%5.1f", "%.15f", "%F"};
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (i % 2) {
            // Values near a tie at some decimal place.
            d = std::ldexp(static_cast<double>(static_cast<int64_t>(rng() >> 20)),
                           -static_cast<int>(rng() % 40));
        }
        for (const char* pattern : patterns) {
            std::snprintf(expected, sizeof expected, pattern, d);
            ASSERT_EQ(expected, FormatNarrow(pattern, {d})) << pattern << " " << std::hexfloat << d;
        }
        const int32_t n = static_cast<int32_t>(rng());
        for (const char* pattern : {"%d", "%u", "%+6d", "%-8d|", "%08d", "%.5d", "% d", "%08.3d"}) {
            std::snprintf(expected, sizeof expected, pattern, n);
            ASSERT_EQ(expected, FormatNarrow(pattern, {n})) << pattern << " " << n;
        }
    }
}
#endif

}  // namespace
}  // namespace vx::text
