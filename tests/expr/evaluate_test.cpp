// The evaluator through its interface: results and errors of texts, the state a failure
// leaves, variables through a resolver, constants and user functions with their fallbacks;
// and hostile texts (deep nesting, megabyte texts, every code unit, lone surrogates, huge
// names), each with a defined result, work that grows linearly with the text, and template
// texts that allocate nothing (counted by replacing the global operator new of this test
// program; the nothrow forms forward to it).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "expr/evaluator_context.h"
#include "support/rows.h"
#include "text/utf.h"

static bool counting = false;
static size_t allocations = 0;

[[gnu::noinline]] void* operator new(size_t size) {
    allocations += counting;
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

// The result of one evaluation, after checking that it fails with exactly this error text
// (an empty one: succeeds).
double Eval(const String& text, const String& error, vx::VariableResolver r = nullptr, void* rc = nullptr) {
    double result = 42.0;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &result, r, rc);
    const String& last = ExpressionEvaluator::GetLastErrorText();
    EXPECT_TRUE(ok == error.empty() && last == error)
        << vx::text::ToUtf8(vx::StringView(text).substr(0, 20)) << ": " << ok << " " << vx::text::ToUtf8(last);
    return result;
}
double Eval(const VXCHAR* text, const std::string& error, vx::VariableResolver r = nullptr, void* rc = nullptr) {
    return Eval(String(text), vx::text::FromUtf8(error), r, rc);
}

// NaN matches NaN; the sign of zero counts.
bool Same(double result, double want) {
    return std::isnan(want) ? std::isnan(result) : result == want && std::signbit(result) == std::signbit(want);
}

TEST(Evaluate, ResultsAndErrorsOfTexts) {
    for (const auto& row : vx::test::ReadRows("expr/results.txt")) {
        SCOPED_TRACE(row.where);
        const std::string error = row.fields.size() > 2 ? row.fields[2] : "";
        const double result = Eval(vx::text::FromUtf8(row.fields.at(0)), vx::text::FromUtf8(error));
        EXPECT_TRUE(Same(result, vx::test::NumberField(row.fields.at(1)))) << row.fields[0] << " gave " << result;
    }
    // The C library's functions at run time, as the evaluator calls them, at arguments where no
    // two of them agree.
    const volatile double one = 1.0, half = 0.5;
    const std::pair<const VXCHAR*, double> library[] = {
        {VXTEXT("sin(1)"), std::sin(one)},      {VXTEXT("cos(1)"), std::cos(one)},
        {VXTEXT("tan(1)"), std::tan(one)},      {VXTEXT("asin(0.5)"), std::asin(half)},
        {VXTEXT("acos(0.5)"), std::acos(half)}, {VXTEXT("aTaN(1)"), std::atan(one)},
        {VXTEXT("sinh(1)"), std::sinh(one)},    {VXTEXT("cosh(1)"), std::cosh(one)},
        {VXTEXT("tanh(1)"), std::tanh(one)},    {VXTEXT("log(e)"), std::log(2.718281828 * one)},
        {VXTEXT("exp(1)"), std::exp(one)},
    };
    for (const auto& [text, want] : library) EXPECT_TRUE(Same(Eval(text, ""), want)) << vx::text::ToUtf8(text);
}

// Evaluated before main: the shared context exists from load on, whatever order the linker
// gave the translation units.
double two_pi_at_load = 0.0;
const bool evaluated_at_load = ExpressionEvaluator::Evaluate(VXTEXT("2pi"), &two_pi_at_load, nullptr, nullptr);

// Knows a few names and records every name it is asked about.
struct Bindings {
    std::map<String, double> known;
    std::vector<String> asked;
};

bool Resolve(const VXCHAR* name, double* value, void* context) {
    auto& b = *static_cast<Bindings*>(context);
    b.asked.emplace_back(name);
    const auto found = b.known.find(name);
    return found != b.known.end() && (*value = found->second, true);
}

TEST(Bindings, ResolverComesBeforeConstantsAndStaysUntilTheNextCall) {
    EXPECT_TRUE(evaluated_at_load && two_pi_at_load == 6.283185307179586);
    const String longest(127, VXCHAR('n')), too_long(128, VXCHAR('n'));
    Bindings b{{{VXTEXT("a"), 2.0}, {VXTEXT("bb"), 3.0}, {VXTEXT("pi"), 100.0}, {longest, 5.0}, {too_long, 6.0}}, {}};
    EXPECT_EQ(Eval(VXTEXT("2a+bb^a"), "", Resolve, &b), 13.0);
    EXPECT_EQ(Eval(VXTEXT("pi"), "", Resolve, &b), 100.0);       // hides the constant
    EXPECT_EQ(Eval(VXTEXT("e"), "", Resolve, &b), 2.718281828);  // declined: the constant
    // Each name reaches the resolver alone and zero-terminated, as written.
    b.asked.clear();
    EXPECT_EQ(Eval(VXTEXT("a*bb+Zed "), "Error variable name: 'Zed' ", Resolve, &b), 0.0);
    // Names up to 127 units reach the resolver; a longer one is refused as unreadable text,
    // never cut to a shorter name.
    EXPECT_EQ(Eval(longest.c_str(), "", Resolve, &b), 5.0);
    EXPECT_EQ(Eval(too_long.c_str(), "Error string", Resolve, &b), 0.0);
    Eval((too_long + VXTEXT("(1)")).c_str(), "Error string", Resolve, &b);
    EXPECT_EQ(b.asked, (std::vector<String>{VXTEXT("a"), VXTEXT("bb"), VXTEXT("Zed"), longest}));
    // Two known names side by side leave two values; the result is the second.
    EXPECT_EQ(Eval(VXTEXT("a bb"), "number not fit operator count", Resolve, &b), 3.0);
    const vx::EvaluatorContext& context = vx::EvaluatorContext::Instance();
    EXPECT_TRUE(context.resolver == &Resolve && context.resolver_context == &b && context.expression == VXTEXT("a bb"));
    // A null text fails at once, result untouched and error text cleared, but replaces them;
    // no place for the result is fine.
    double result = 42.0;
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(nullptr, &result, nullptr, nullptr));
    EXPECT_TRUE(result == 42.0 && ExpressionEvaluator::GetLastErrorText().empty());
    EXPECT_TRUE(context.resolver == nullptr && context.resolver_context == nullptr);
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("1/0"), nullptr, nullptr, nullptr));
    EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(), String(VXTEXT("Error: /0.0")));
}

int calls = 0;
bool Twice(double argument, double* result, void*) { return (*result = 2.0 * argument, ++calls > 0); }
bool Declines(double, double* result, void*) { return (*result = -1.0, ++calls < 0); }  // -1 must not be used
bool RemovesItself(double argument, double* result, void*) {
    *result = argument + 1.0;
    return ExpressionEvaluator::DefineFunction(VXTEXT("once"), nullptr, nullptr);
}

TEST(Bindings, DefinitionsFallbacksAndTheNameRule) {
    using E = ExpressionEvaluator;
    // Stored lower-cased and compared exactly: only the lower-case spelling finds it.
    ASSERT_TRUE(E::DefineFunction(VXTEXT("Cos"), Twice, nullptr));
    EXPECT_EQ(Eval(VXTEXT("1+cos(3)^2"), ""), 37.0);
    EXPECT_EQ(Eval(VXTEXT("COS(0)"), ""), 1.0);
    // One that declines lets the built-in answer, or gives the function-name error.
    ASSERT_TRUE(E::DefineFunction(VXTEXT("cos"), Declines, nullptr) && E::DefineFunction(VXTEXT("nope"), Declines, {}));
    EXPECT_EQ(Eval(VXTEXT("cos(0)"), ""), 1.0);
    EXPECT_EQ(Eval(VXTEXT("nope(1)"), "Error function name: 'nope' "), 0.0);
    EXPECT_EQ(calls, 3);
    // Removing: true once, false when nothing is left to remove.
    EXPECT_TRUE(E::DefineFunction(VXTEXT("NOPE"), nullptr, nullptr) && E::DefineFunction(VXTEXT("cos"), nullptr, {}));
    EXPECT_FALSE(E::DefineFunction(VXTEXT("nope"), nullptr, nullptr));
    // A function may remove itself while it runs.
    ASSERT_TRUE(E::DefineFunction(VXTEXT("once"), RemovesItself, nullptr));
    Eval(VXTEXT("once(1)+once(1)"), "Error function name: 'once' ");
    // Constants too are stored lower-cased, and replaced.
    ASSERT_TRUE(E::DefineConstant(VXTEXT("Width7"), 10.0) && E::DefineConstant(VXTEXT("WIDTH7"), 11.0));
    EXPECT_EQ(Eval(VXTEXT("width7*2"), ""), 22.0);
    Eval(VXTEXT("Width7"), "Error variable name: 'Width7' ");
    // Redefining "e" is seen by the next evaluation; put it back for the other tests.
    ASSERT_TRUE(E::DefineConstant(VXTEXT("E"), 3.0));
    EXPECT_EQ(Eval(VXTEXT("2e"), ""), 6.0);
    ASSERT_TRUE(E::DefineConstant(VXTEXT("e"), 2.718281828));
    // The Kelvin sign lower-cases to a non-ASCII k.
    const std::pair<const VXCHAR*, bool> names[] = {
        {VXTEXT("ABC1"), true},           {VXTEXT(""), true},        {VXTEXT("1abc"), false},
        {VXTEXT("a_b"), false},           {VXTEXT("a b"), false},    {VXTEXT("a.b"), false},
        {VXTEXT("\u00e9t\u00e9"), false}, {VXTEXT("\u212a"), false}, {nullptr, false},
    };
    for (const auto& [name, accepted] : names) {
        EXPECT_EQ(E::DefineConstant(name, 1.0), accepted) << accepted;
        EXPECT_EQ(E::DefineFunction(name, Twice, nullptr), accepted) << accepted;
        if (accepted) {
            EXPECT_TRUE(E::DefineFunction(name, nullptr, nullptr));
        }
    }
    const auto& constants = vx::EvaluatorContext::Instance().constants;
    EXPECT_EQ(constants.count(String()) + constants.count(String(VXTEXT("abc1"))), 2u);
}

constexpr size_t kMega = size_t(1) << 20;  // units: 2 MB of UTF-16

String Repeat(const VXCHAR* piece, size_t times) {
    String text;
    while (times-- > 0) text += piece;
    return text;
}

struct Want {
    double value;
    String error;
};

TEST(Hostile, DeepNestingMegabyteTextsAndHugeNames) {
    const size_t d = 10000, n = kMega / 2;
    double sines = 1.0;
    for (size_t i = 0; i < d; ++i) sines = std::sin(sines);
    const String name = String(VXTEXT("q")) + String(9999, VXCHAR('7')), error = VXTEXT("Error string");
    const auto nest = [](const VXCHAR* o, size_t k, size_t m) { return Repeat(o, k) + VXTEXT("1") + String(m, ')'); };
    const std::pair<String, Want> cases[] = {
        {nest(VXTEXT("("), d, d), {1.0, {}}},
        {nest(VXTEXT("-("), d - 1, d - 1), {-1.0, {}}},
        {nest(VXTEXT("sin("), d, d), {sines, {}}},
        {nest(VXTEXT("("), d, d - 1), {0.0, VXTEXT("missing ')'")}},
        {nest(VXTEXT("("), d - 1, d), {0.0, VXTEXT("Missing '('")}},
        {VXTEXT("1") + Repeat(VXTEXT("+1"), n - 1), {double(n), {}}},
        {Repeat(VXTEXT("%"), kMega), {0.0, {}}},
        {Repeat(VXTEXT(" "), kMega) + VXTEXT("4"), {4.0, {}}},
        {Repeat(VXTEXT("9"), kMega), {HUGE_VAL, {}}},
        {Repeat(VXTEXT("1 "), n), {1.0, VXTEXT("number not fit operator count")}},
        {Repeat(VXTEXT(")"), kMega), {0.0, VXTEXT("Missing '('")}},
        {Repeat(VXTEXT("-"), kMega), {0.0, error}},
        {Repeat(VXTEXT("a"), kMega), {0.0, error}},
        {name + VXTEXT("(1)"), {0.0, error}},
        {VXTEXT("1+") + name + VXTEXT(" + 1"), {0.0, error}},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(Eval(text, want.error), want.value);
}

// What a single code unit does, worked out from the token rules: alone, between two digits,
// and inside a name.
TEST(Hostile, EveryCodeUnit) {
    const String var = VXTEXT("Error variable name: '"), ops = VXTEXT("+-*/^"), brackets = VXTEXT("([{)]}");
    const double between_digits[] = {3.0, -1.0, 2.0, 0.5, 1.0};  // 1+2, 1-2, 1*2, 1/2, 1^2
    for (uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
        const String c(1, static_cast<VXCHAR>(unit));
        const size_t op = ops.find(c);
        Want alone{0.0, {}}, between{1.0, {}};  // starts no token: ends the text
        const auto both = [&](const Want& a, const Want& b) { alone = a, between = b; };
        if (unit <= 32) {
            between = {2.0, VXTEXT("number not fit operator count")};
        } else if (unit >= '0' && unit <= '9') {
            both({double(unit - '0'), {}}, {102.0 + 10.0 * (unit - '0'), {}});
        } else if ((unit | 0x20) >= 'a' && (unit | 0x20) <= 'z') {  // 1e2 and 1E2 are numbers
            both(unit == 'e' ? Want{2.718281828, {}} : Want{0.0, var + c + VXTEXT("' ")},
                 (unit | 0x20) == 'e' ? Want{100.0, {}} : Want{0.0, var + c + VXTEXT("2' ")});
        } else if (unit == '.') {
            both({0.0, VXTEXT("Error string")}, {1.2, {}});
        } else if (op != String::npos) {
            both({0.0, VXTEXT("no number")}, {between_digits[op], {}});
        } else if (const size_t b = brackets.find(c); b != String::npos) {
            alone = between = {0.0, b < 3 ? VXTEXT("missing ')'") : VXTEXT("Missing '('")};
        }
        EXPECT_EQ(Eval(c, alone.error), alone.value) << unit;
        EXPECT_EQ(Eval(VXTEXT("1") + c + VXTEXT("2"), between.error), between.value) << unit;
        // Inside a name everything but blanks, round brackets and operators belongs to it.
        const String inside = VXTEXT("a") + c + VXTEXT("b");
        const bool ends_name = unit <= 32 || op != String::npos || unit == '(' || unit == ')';
        Eval(inside, var + (ends_name ? String(1, unit == '(' ? 'b' : 'a') : inside) + VXTEXT("' "));
    }
    // A surrogate starts no token, and inside a name it is kept as written, unpaired.
    EXPECT_EQ(Eval(String{'3', 0xD800, ' ', '+', ' ', '1'}, {}), 3.0);
    EXPECT_EQ(Eval(String{0xDC00, '1'}, {}), 0.0);
    const String f{'f', 0xDFFF, 0xD800};
    Eval(f + VXTEXT("(1)"), VXTEXT("Error function name: '") + f + VXTEXT("' "));
}

// 64 times the text must cost far less than 4096 times the time, what quadratic work would
// take. Linear work measures 64 to 250 times (large stacks leave the caches and fault in
// fresh pages); the bound keeps a factor of four from both.
TEST(Hostile, WorkGrowsLinearly) {
    // Each shape: n / 2 times the first piece, the middle, n / 2 times the last piece.
    const VXCHAR* shapes[][3] = {{VXTEXT(""), VXTEXT("1"), VXTEXT("+1")},
                                 {VXTEXT("("), VXTEXT("1"), VXTEXT(")")},
                                 {VXTEXT(""), VXTEXT("0."), VXTEXT("33")},
                                 {VXTEXT("xx"), VXTEXT(""), VXTEXT("")},
                                 {VXTEXT("2("), VXTEXT(""), VXTEXT("")}};
    for (const auto& s : shapes) {
        double seconds[2] = {1e9, 1e9}, value = 0.0;  // best of five runs at n / 64 and at n
        for (size_t k = 0, n = kMega / 64; k < 2; ++k, n = kMega) {
            const String text = Repeat(s[0], n / 2) + s[1] + Repeat(s[2], n / 2);
            for (int run = 0; run < 5; ++run) {
                const auto start = std::chrono::steady_clock::now();
                ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
                const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
                seconds[k] = std::min(seconds[k], spent.count());
            }
        }
        EXPECT_LT(seconds[1] / std::max(seconds[0], 1e-6), 1024.0)
            << vx::text::ToUtf8(s[1]) << ": " << seconds[0] << " s, then " << seconds[1];
    }
}

bool Reference(const VXCHAR* name, double* value, void*) {  // a = 0.5, b = 0.25
    return (name[0] == 'a' || name[0] == 'b') && name[1] == 0 && (*value = name[0] == 'a' ? 0.5 : 0.25, true);
}

size_t AllocationsOf(const String& text, bool expect_ok) {
    double value = 0.0;
    allocations = 0, counting = true;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &value, Reference, nullptr);
    counting = false;
    EXPECT_EQ(ok, expect_ok) << vx::text::ToUtf8(text);
    return allocations;
}

TEST(Allocation, TemplateTextsAllocateNothingAndDeepTextsOnlyGrowTheirStacks) {
    // The first evaluation of a longer text than any before grows the shared copy once, the
    // first failure the error text's buffer.
    AllocationsOf(String(300, VXCHAR(' ')), true), AllocationsOf(VXTEXT("x"), false);
    for (const VXCHAR* text : {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"),
                               VXTEXT("20.000000 + (80.000000 - 20.000000)*(0.5 + 0.5*cos(radian(b*360)))"),
                               VXTEXT("-2^2 + sqrt(a*a + b*b) + 2pi"), VXTEXT("((((((((((1))))))))))")}) {
        EXPECT_EQ(AllocationsOf(text, true), 0u);
    }
    EXPECT_EQ(AllocationsOf(VXTEXT("1/0"), false) + AllocationsOf(VXTEXT("y"), false), 0u);
    // 100 open brackets outgrow the operator stack's inline room of 32 twice (64, 128); the
    // value stack stays inline. 100 values side by side grow the value stack twice.
    EXPECT_EQ(AllocationsOf(String(100, VXCHAR('(')) + VXTEXT("1") + String(100, VXCHAR(')')), true), 2u);
    EXPECT_EQ(AllocationsOf(Repeat(VXTEXT("1 "), 100), false), 2u);
}

}  // namespace
