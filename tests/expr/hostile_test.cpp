// Hostile texts: deep nesting, megabyte texts, every code unit, lone surrogates, huge names.
// Each gets a defined result; work grows linearly with the text, and template texts allocate
// nothing (counted by replacing the global operator new of this test program; the array and
// nothrow forms forward to it).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "text/utf.h"

namespace {
bool counting = false;
size_t allocations = 0;
}  // namespace

[[gnu::noinline]] void* operator new(size_t size) {
    if (counting) ++allocations;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
// Array forms too: under AddressSanitizer they do not pass through operator new.
[[gnu::noinline]] void* operator new[](size_t size) { return operator new(size); }
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

using vx::ExpressionEvaluator;
using vx::String;

constexpr size_t kMega = size_t(1) << 20;  // units: 2 MB of UTF-16

String Repeat(const VXCHAR* piece, size_t times) {
    String text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

struct Outcome { bool ok; double value; String error; };

void Expect(const String& text, const Outcome& want, uint32_t label = 0) {
    double value = 42.0;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
    const std::string head =
        vx::text::ToUtf8(vx::StringView(text).substr(0, 12)) + " " + std::to_string(label);
    EXPECT_EQ(ok, want.ok) << head;
    EXPECT_EQ(value, want.value) << head;
    EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(), want.error) << head;
}

TEST(Hostile, DeepNestingMegabyteTextsAndHugeNames) {
    const size_t d = 10000, n = kMega / 2;
    double sines = 1.0;
    for (size_t i = 0; i < d; ++i) sines = std::sin(sines);
    const String name = String(VXTEXT("q")) + String(9999, VXCHAR('7')), error = VXTEXT("Error string");
    const std::pair<String, Outcome> cases[] = {
        {Repeat(VXTEXT("("), d) + VXTEXT("7") + Repeat(VXTEXT(")"), d), {true, 7.0, {}}},
        {Repeat(VXTEXT("-("), d - 1) + VXTEXT("7") + Repeat(VXTEXT(")"), d - 1), {true, -7.0, {}}},
        {Repeat(VXTEXT("sin("), d) + VXTEXT("1") + Repeat(VXTEXT(")"), d), {true, sines, {}}},
        {Repeat(VXTEXT("("), d) + VXTEXT("7") + Repeat(VXTEXT(")"), d - 1), {false, 0.0, VXTEXT("missing ')'")}},
        {Repeat(VXTEXT("("), d - 1) + VXTEXT("7") + Repeat(VXTEXT(")"), d), {false, 0.0, VXTEXT("Missing '('")}},
        {VXTEXT("1") + Repeat(VXTEXT("+1"), n - 1), {true, double(n), {}}},
        {VXTEXT("2") + Repeat(VXTEXT("^1"), n - 1), {true, 2.0, {}}},
        {Repeat(VXTEXT("1*"), n) + VXTEXT("3"), {true, 3.0, {}}}, {Repeat(VXTEXT("%"), kMega), {true, 0.0, {}}},
        {Repeat(VXTEXT(" "), kMega) + VXTEXT("4"), {true, 4.0, {}}}, {Repeat(VXTEXT("9"), kMega), {true, HUGE_VAL, {}}},
        {Repeat(VXTEXT("1 "), n), {false, 1.0, VXTEXT("number not fit operator count")}},
        {Repeat(VXTEXT(")"), kMega), {false, 0.0, VXTEXT("Missing '('")}},
        {Repeat(VXTEXT("-"), kMega), {false, 0.0, error}}, {Repeat(VXTEXT("a"), kMega), {false, 0.0, error}},
        {VXTEXT("2") + name, {false, 0.0, error}}, {name + VXTEXT("(1)"), {false, 0.0, error}},
        {VXTEXT("1+") + name + VXTEXT(" + 1"), {false, 0.0, error}},
    };
    for (const auto& c : cases) Expect(c.first, c.second);
}

// What a single code unit does, worked out from the token rules: alone, between two digits,
// and inside a name.
TEST(Hostile, EveryCodeUnit) {
    const String var = VXTEXT("Error variable name: '"), ops = VXTEXT("+-*/^");
    const double between_digits[] = {3.0, -1.0, 2.0, 0.5, 1.0};  // 1+2, 1-2, 1*2, 1/2, 1^2
    for (uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
        const String c(1, static_cast<VXCHAR>(unit));
        const bool letter = (unit | 0x20) >= 'a' && (unit | 0x20) <= 'z';
        const size_t op = ops.find(c);
        Outcome alone{true, 0.0, {}}, between{true, 1.0, {}};  // starts no token: ends the text
        const auto both = [&](const Outcome& a, const Outcome& b) { alone = a; between = b; };
        if (unit <= 32) {
            between = {false, 2.0, VXTEXT("number not fit operator count")};
        } else if (unit >= '0' && unit <= '9') {
            both({true, double(unit - '0'), {}}, {true, 102.0 + 10.0 * (unit - '0'), {}});
        } else if (unit == 'e' || unit == 'E') {  // 1e2 and 1E2 are numbers, E alone a name
            both(unit == 'e' ? Outcome{true, 2.718281828, {}} : Outcome{false, 0.0, var + c + VXTEXT("' ")},
                 {true, 100.0, {}});
        } else if (letter) {
            both({false, 0.0, var + c + VXTEXT("' ")}, {false, 0.0, var + c + VXTEXT("2' ")});
        } else if (unit == '.') {
            both({false, 0.0, VXTEXT("Error string")}, {true, 1.2, {}});
        } else if (op != String::npos) {
            both({false, 0.0, VXTEXT("no number")}, {true, between_digits[op], {}});
        } else if (unit == '(' || unit == '[' || unit == '{') {
            alone = between = {false, 0.0, VXTEXT("missing ')'")};
        } else if (unit == ')' || unit == ']' || unit == '}') {
            alone = between = {false, 0.0, VXTEXT("Missing '('")};
        }
        Expect(c, alone, unit);
        Expect(VXTEXT("1") + c + VXTEXT("2"), between, unit);
        // Inside a name everything but blanks, round brackets and operators belongs to it.
        const String inside = VXTEXT("a") + c + VXTEXT("b");
        const bool ends_name = unit <= 32 || op != String::npos || unit == '(' || unit == ')';
        const String name = !ends_name ? inside : String(1, unit == '(' ? 'b' : 'a');
        Expect(inside, {false, 0.0, var + name + VXTEXT("' ")}, unit);
    }
    // A surrogate starts no token, and inside a name it is kept as written, unpaired.
    Expect(String{'3', 0xD800, ' ', '+', ' ', '1'}, {true, 3.0, {}});
    Expect(String{0xDC00, '1'}, {true, 0.0, {}});
    Expect(String{'f', 0xDFFF, 0xD800, '(', '1', ')'},
           {false, 0.0, VXTEXT("Error function name: '") + String{'f', 0xDFFF, 0xD800} + VXTEXT("' ")});
}

// 64 times the text must cost far less than 4096 times the time, what quadratic work would
// take. Linear work measures 64 to 250 times (large stacks leave the caches and fault in
// fresh pages); the bound keeps a factor of four from both.
TEST(Hostile, WorkGrowsLinearly) {
    String (*const shapes[])(size_t) = {
        [](size_t n) { return VXTEXT("1") + Repeat(VXTEXT("+1"), n / 2); },
        [](size_t n) { return Repeat(VXTEXT("("), n / 2) + VXTEXT("1") + Repeat(VXTEXT(")"), n / 2); },
        [](size_t n) { return String(VXTEXT("0.")) + String(n, VXCHAR('3')); },
        [](size_t n) { return String(n, VXCHAR('x')); },
        [](size_t n) { return Repeat(VXTEXT("2("), n / 2); },
    };
    const auto seconds = [](const String& text) {  // best of five runs
        double best = 1e9, value = 0.0;
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            best = std::min(best, spent.count());
        }
        return best;
    };
    for (size_t i = 0; i < std::size(shapes); ++i) {
        const double small = std::max(seconds(shapes[i](kMega / 64)), 1e-6);
        const double large = seconds(shapes[i](kMega));
        EXPECT_LT(large / small, 1024.0) << "shape " << i << ": " << small << " s, then " << large;
    }
}

bool Reference(const VXCHAR* name, double* value, void*) {
    if ((name[0] != 'a' && name[0] != 'b') || name[1] != 0) return false;
    *value = name[0] == 'a' ? 0.5 : 0.25;
    return true;
}

size_t AllocationsOf(const String& text, bool expect_ok) {
    double value = 0.0;
    allocations = 0;
    counting = true;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &value, Reference, nullptr);
    counting = false;
    EXPECT_EQ(ok, expect_ok) << vx::text::ToUtf8(text);
    return allocations;
}

TEST(Allocation, TemplateTextsAllocateNothingAndDeepTextsOnlyGrowTheirStacks) {
    // The first evaluation of a longer text than any before grows the shared copy once, the
    // first failure the error text's buffer.
    AllocationsOf(String(300, VXCHAR(' ')), true);
    AllocationsOf(VXTEXT("x"), false);
    for (const VXCHAR* text : {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"),
                               VXTEXT("20.000000 + (80.000000 - 20.000000)*(0.5 + 0.5*cos(radian(b*360)))"),
                               VXTEXT("-2^2 + sqrt(a*a + b*b) + 2pi"),
                               VXTEXT("((((((((((((((((((((((((((((((1))))))))))))))))))))))))))))))")}) {
        EXPECT_EQ(AllocationsOf(text, true), 0u);
    }
    EXPECT_EQ(AllocationsOf(VXTEXT("1/0"), false) + AllocationsOf(VXTEXT("y"), false), 0u);
    // 100 open brackets outgrow the operator stack's inline room of 32 twice (64, 128); the
    // value stack stays inline. 100 values side by side grow the value stack twice.
    EXPECT_EQ(AllocationsOf(String(100, VXCHAR('(')) + VXTEXT("1") + String(100, VXCHAR(')')), true), 2u);
    EXPECT_EQ(AllocationsOf(Repeat(VXTEXT("1 "), 100), false), 2u);
}

}  // namespace
