// Hostile texts: deep nesting, megabyte texts, every code unit, lone surrogates, huge names.
// Each gets a defined result; work grows linearly with the text.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "text/utf.h"

namespace {

using vx::ExpressionEvaluator;
using vx::String;

constexpr size_t kMegabyteUnits = size_t(1) << 20;  // 2 MB of UTF-16

std::string LastError() { return vx::text::ToUtf8(ExpressionEvaluator::GetLastErrorText()); }

String Repeat(const VXCHAR* piece, size_t times) {
    String text;
    const String one(piece);
    text.reserve(one.size() * times);
    for (size_t i = 0; i < times; ++i) text += one;
    return text;
}

struct Outcome {
    bool ok;
    double value;
    std::string error;
};

Outcome EvaluateText(const String& text) {
    double value = 42.0;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
    return {ok, value, LastError()};
}

TEST(Hostile, TenThousandNestedBrackets) {
    const size_t depth = 10000;
    Outcome o = EvaluateText(Repeat(VXTEXT("("), depth) + VXTEXT("7") + Repeat(VXTEXT(")"), depth));
    EXPECT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.value, 7.0);

    // Alternating signs: an even count of minus signs gives the value back.
    o = EvaluateText(Repeat(VXTEXT("-("), depth) + VXTEXT("7") + Repeat(VXTEXT(")"), depth));
    EXPECT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.value, 7.0);
    o = EvaluateText(Repeat(VXTEXT("-("), depth - 1) + VXTEXT("7") + Repeat(VXTEXT(")"), depth - 1));
    EXPECT_EQ(o.value, -7.0);

    // Nested calls, checked against applying the sine 10,000 times.
    o = EvaluateText(Repeat(VXTEXT("sin("), depth) + VXTEXT("1") + Repeat(VXTEXT(")"), depth));
    double expected = 1.0;
    for (size_t i = 0; i < depth; ++i) expected = std::sin(expected);
    EXPECT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.value, expected);

    o = EvaluateText(Repeat(VXTEXT("("), depth) + VXTEXT("7") + Repeat(VXTEXT(")"), depth - 1));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "missing ')'");
    EXPECT_EQ(o.value, 0.0);
    o = EvaluateText(Repeat(VXTEXT("("), depth - 1) + VXTEXT("7") + Repeat(VXTEXT(")"), depth));
    EXPECT_EQ(o.error, "Missing '('");
    o = EvaluateText(Repeat(VXTEXT("[{("), depth) + Repeat(VXTEXT(")"), 3 * depth));
    EXPECT_EQ(o.error, "missing ')'");  // "()" keeps its bracket; the next ")" pops it
}

TEST(Hostile, MegabyteTexts) {
    const size_t n = kMegabyteUnits / 2;
    struct Case {
        String text;
        bool ok;
        double value;
        const char* error;
    } cases[] = {
        {String(VXTEXT("1")) + Repeat(VXTEXT("+1"), n - 1), true, double(n), ""},
        {String(VXTEXT("1")) + Repeat(VXTEXT("-1"), n - 1), true, 2.0 - double(n), ""},
        {String(VXTEXT("2")) + Repeat(VXTEXT("^1"), n - 1), true, 2.0, ""},
        {Repeat(VXTEXT("1*"), n) + VXTEXT("3"), true, 3.0, ""},
        {Repeat(VXTEXT(" "), kMegabyteUnits) + VXTEXT("4"), true, 4.0, ""},
        {String(VXTEXT("1")) + Repeat(VXTEXT("0"), kMegabyteUnits), true, HUGE_VAL, ""},
        {String(VXTEXT("0.")) + Repeat(VXTEXT("0"), kMegabyteUnits) + VXTEXT("1"), true, 0.0, ""},
        {Repeat(VXTEXT("9"), kMegabyteUnits), true, HUGE_VAL, ""},
        {Repeat(VXTEXT("1 "), n), false, 1.0, "number not fit operator count"},
        {Repeat(VXTEXT("("), kMegabyteUnits), false, 0.0, "missing ')'"},
        {Repeat(VXTEXT(")"), kMegabyteUnits), false, 0.0, "Missing '('"},
        {Repeat(VXTEXT("-"), kMegabyteUnits), false, 0.0, "Error string"},
        {Repeat(VXTEXT("a"), kMegabyteUnits), false, 0.0, "Error string"},
        {Repeat(VXTEXT("1"), kMegabyteUnits / 4) + Repeat(VXTEXT("x"), kMegabyteUnits), false,
         0.0, "Error string"},
        {Repeat(VXTEXT("%"), kMegabyteUnits), true, 0.0, ""},
    };
    for (const Case& c : cases) {
        const Outcome o = EvaluateText(c.text);
        const std::string head = vx::text::ToUtf8(vx::StringView(c.text).substr(0, 12));
        EXPECT_EQ(o.ok, c.ok) << head << "...: " << o.error;
        EXPECT_EQ(o.value, c.value) << head << "...";
        EXPECT_EQ(o.error, c.error) << head << "...";
    }
}

// What a single code unit c does, worked out from the token rules: alone, between two
// digits, and inside a name.
TEST(Hostile, EveryCodeUnit) {
    for (uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
        const VXCHAR c = static_cast<VXCHAR>(unit);
        const bool blank = unit <= 32;
        const bool digit = unit >= '0' && unit <= '9';
        const bool letter = (unit | 0x20) >= 'a' && (unit | 0x20) <= 'z';
        const String ascii = unit < 128 ? String(1, c) : String();
        const bool ends_name = blank || String(VXTEXT("()+-*/^")).find(c) != String::npos;

        // Alone.
        Outcome o = EvaluateText(String(1, c));
        if (blank) {
            EXPECT_TRUE(o.ok && o.value == 0.0) << unit;
        } else if (digit) {
            EXPECT_TRUE(o.ok && o.value == unit - '0') << unit;
        } else if (unit == 'e') {
            EXPECT_TRUE(o.ok && o.value == 2.718281828) << unit;
        } else if (letter) {
            EXPECT_EQ(o.error, "Error variable name: '" + vx::text::ToUtf8(ascii) + "' ") << unit;
        } else if (unit == '.') {
            EXPECT_EQ(o.error, "Error string");
        } else if (ascii.find_first_of(VXTEXT("+-*/^")) == 0) {
            EXPECT_EQ(o.error, "no number") << unit;
        } else if (ascii.find_first_of(VXTEXT("([{")) == 0) {
            EXPECT_EQ(o.error, "missing ')'") << unit;
        } else if (ascii.find_first_of(VXTEXT(")]}")) == 0) {
            EXPECT_EQ(o.error, "Missing '('") << unit;
        } else {
            EXPECT_TRUE(o.ok && o.value == 0.0) << unit << " " << o.error;  // starts no token
        }

        // Between 1 and 2.
        o = EvaluateText(String(VXTEXT("1")) + c + VXTEXT("2"));
        if (blank) {
            EXPECT_EQ(o.error, "number not fit operator count") << unit;
            EXPECT_EQ(o.value, 2.0) << unit;
        } else if (digit) {
            EXPECT_TRUE(o.ok && o.value == 102.0 + 10.0 * (unit - '0')) << unit;
        } else if (unit == 'e' || unit == 'E') {
            EXPECT_TRUE(o.ok && o.value == 100.0) << unit;
        } else if (letter) {
            // 1 times the name "<c>2"
            EXPECT_EQ(o.error, "Error variable name: '" + vx::text::ToUtf8(ascii) + "2' ") << unit;
        } else if (unit == '.') {
            EXPECT_TRUE(o.ok && o.value == 1.2) << unit;
        } else if (unit == '+' || unit == '-' || unit == '*' || unit == '/' || unit == '^') {
            const double expected[] = {3.0, -1.0, 2.0, 0.5, 1.0};
            const size_t index = String(VXTEXT("+-*/^")).find(c);
            EXPECT_TRUE(o.ok && o.value == expected[index]) << unit;
        } else if (unit == '(' || unit == '[' || unit == '{') {
            EXPECT_EQ(o.error, "missing ')'") << unit;
        } else if (unit == ')' || unit == ']' || unit == '}') {
            EXPECT_EQ(o.error, "Missing '('") << unit;
        } else {
            EXPECT_TRUE(o.ok && o.value == 1.0) << unit << " " << o.error;  // ends the text
        }

        // Inside a name: everything but blanks, round brackets and operators belongs to it.
        if (ends_name) {
            o = EvaluateText(String(VXTEXT("a")) + c + VXTEXT("b"));
            EXPECT_EQ(o.error, unit == '(' ? "Error variable name: 'b' " : "Error variable name: 'a' ")
                << unit;
        } else {
            const String name = String(VXTEXT("a")) + c + VXTEXT("b");
            double value = 0.0;
            EXPECT_FALSE(ExpressionEvaluator::Evaluate(name.c_str(), &value, nullptr, nullptr));
            EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(),
                      String(VXTEXT("Error variable name: '")) + name + VXTEXT("' "))
                << unit;
        }
    }
}

TEST(Hostile, LoneSurrogates) {
    double value = 42.0;
    // A surrogate starts no token: the text ends there.
    const VXCHAR high_inside[] = {'3', 0xD800, ' ', '+', ' ', '1', 0};
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(high_inside, &value, nullptr, nullptr));
    EXPECT_EQ(value, 3.0);
    const VXCHAR low_first[] = {0xDC00, '1', 0};
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(low_first, &value, nullptr, nullptr));
    EXPECT_EQ(value, 0.0);
    // Inside a name it is kept as written, unpaired, in the error text too.
    const VXCHAR name[] = {'x', 0xD83D, 0};
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(name, &value, nullptr, nullptr));
    const VXCHAR expected[] = {'E', 'r', 'r', 'o', 'r', ' ', 'v', 'a', 'r', 'i', 'a', 'b', 'l', 'e', ' ',
                               'n', 'a', 'm', 'e', ':', ' ', '\'', 'x', 0xD83D, '\'', ' ', 0};
    EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(), String(expected));
    const VXCHAR call[] = {'f', 0xDFFF, 0xD800, '(', '1', ')', 0};
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(call, &value, nullptr, nullptr));
    EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(),
              String(VXTEXT("Error function name: '")) + String(call, 3) + VXTEXT("' "));
}

TEST(Hostile, TenThousandCharacterNames) {
    const String name = String(VXTEXT("q")) + String(9999, VXCHAR('7'));
    const String texts[] = {name, VXTEXT("2") + name, name + VXTEXT("(1)"), VXTEXT("1+") + name,
                            name + VXTEXT(" + 1")};
    for (const String& text : texts) {
        const Outcome o = EvaluateText(text);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.error, "Error string");
        EXPECT_EQ(o.value, 0.0);
    }
}

// Best of several runs, in seconds.
double Seconds(const String& text) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        double value = 0.0;
        ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

// 64 times the text must cost far less than 4096 times the time, what quadratic work would
// take. Linear work measures 64 to 250 times (large stacks leave the caches and fault in
// fresh pages); the bound keeps a factor of four from both.
TEST(Hostile, WorkGrowsLinearly) {
    const size_t small = kMegabyteUnits / 64;
    const std::function<String(size_t)> shapes[] = {
        [](size_t n) { return String(VXTEXT("1")) + Repeat(VXTEXT("+1"), n / 2); },
        [](size_t n) { return Repeat(VXTEXT("("), n / 2) + VXTEXT("1") + Repeat(VXTEXT(")"), n / 2); },
        [](size_t n) { return String(VXTEXT("1")) + String(n, VXCHAR('0')); },
        [](size_t n) { return String(VXTEXT("0.")) + String(n, VXCHAR('3')); },
        [](size_t n) { return String(n, VXCHAR('x')); },
        [](size_t n) { return Repeat(VXTEXT("2("), n / 2); },
        [](size_t n) { return Repeat(VXTEXT("1 "), n / 2); },
    };
    int index = 0;
    for (const auto& shape : shapes) {
        const double small_time = std::max(Seconds(shape(small)), 1e-6);
        const double large_time = Seconds(shape(small * 64));
        EXPECT_LT(large_time / small_time, 1024.0)
            << "shape " << index << ": " << small_time << " s for " << small << " units, "
            << large_time << " s for 64 times as many";
        ++index;
    }
}

}  // namespace
