// Reading numbers as wcstod does in the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "text/format.h"
#include "text/number.h"
#include "support/rows.h"
#include "text/utf.h"

namespace vx::text {
namespace {

// Same bits (so -0 differs from 0), or both NaN with the same sign.
bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b));
}

TEST(ReadNumber, ValueAndConsumedCount) {
    for (const auto& row : vx::test::ReadRows("text/numbers.txt")) {
        SCOPED_TRACE(row.where);
        const String text = FromUtf8(row.fields.at(0));
        const double value = vx::test::NumberField(row.fields.at(1));
        const size_t want = std::stoul(row.fields.at(2)), size = row.fields.size() > 3 ? std::stoul(row.fields[3]) : 0;
        size_t consumed = 12345, bounded = 12345;
        const double whole = size ? value : ReadNumber(text.c_str(), &consumed);
        const double part = ReadNumber(StringView(text).substr(0, size ? size : text.size()), &bounded);
        EXPECT_TRUE(Same(value, whole) && Same(value, part)) << row.fields[0] << std::hexfloat << " " << part;
        EXPECT_TRUE(bounded == want && (size || consumed == want)) << row.fields[0];
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
