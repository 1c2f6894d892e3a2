// The evaluator through its interface: results and errors of texts, the state a failure
// leaves, variables through a resolver, constants and user functions with their fallbacks.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "expr/evaluator_context.h"
#include "text/utf.h"

namespace {

using vx::ExpressionEvaluator;
using vx::String;

// The result of one evaluation, after checking that it fails with exactly this error text
// (an empty one: succeeds).
double Eval(const VXCHAR* text, const std::string& error, vx::VariableResolver resolver = nullptr,
            void* context = nullptr) {
    double result = 42.0;
    const bool ok = ExpressionEvaluator::Evaluate(text, &result, resolver, context);
    const std::string last = vx::text::ToUtf8(ExpressionEvaluator::GetLastErrorText());
    EXPECT_EQ(ok, error.empty()) << vx::text::ToUtf8(text) << ": " << last;
    EXPECT_EQ(last, error) << vx::text::ToUtf8(text);
    return result;
}

TEST(Evaluate, ResultsAndErrorsOfTexts) {
    const double kNaN = std::nan(""), kInf = HUGE_VAL, kPi = 3.141592653589793, kE = 2.718281828;
    const volatile double one = 1.0, half = 0.5;  // the C library at run time, as the evaluator
    const std::string kPow = "Error: pow second < 1.0 where first < 0.0", kString = "Error string",
                      kCount = "number not fit operator count", kOpen = "missing ')'",
                      kClose = "Missing '('", kNone = "no number", kDiv = "Error: /0.0";
    const struct {
        const VXCHAR* text;
        double value;           // what *result holds afterwards
        std::string error = "";  // empty: success
    } cases[] = {
        // Nothing to evaluate is zero; a character that starts no token ends the text.
        {VXTEXT(""), 0.0}, {VXTEXT("   \t\r\n"), 0.0}, {VXTEXT("\x01\x1f 5"), 5.0}, {VXTEXT("%5"), 0.0},
        {VXTEXT("2 + 3 % 4"), 5.0}, {VXTEXT("5 @ (((("), 5.0}, {VXTEXT("pow(2,3)"), 0.0, kOpen},
        // Implicit multiplication after a number only.
        {VXTEXT("2(3+4)"), 14.0}, {VXTEXT("3[2]"), 6.0}, {VXTEXT("2pi"), 6.283185307179586},
        {VXTEXT("2e3"), 2000.0}, {VXTEXT("2e"), 2.0 * kE}, {VXTEXT("-1e400"), -kInf},
        {VXTEXT("1e5x"), 0.0, "Error variable name: 'x' "}, {VXTEXT("(2)(3)"), 3.0, kCount},
        // Precedence and associativity.
        {VXTEXT("1-2-3"), -4.0}, {VXTEXT("8/4/2"), 1.0}, {VXTEXT("2*3^2"), 18.0}, {VXTEXT("2^3^2"), 64.0},
        {VXTEXT("1-2*3-4"), -9.0}, {VXTEXT("-2^2"), -4.0}, {VXTEXT("2^-2"), 0.25}, {VXTEXT("-3*-2"), 6.0},
        {VXTEXT("2--3"), 5.0}, {VXTEXT("2 + 3 ++ 4"), 9.0}, {VXTEXT("-(-(-1))"), -1.0}, {VXTEXT("(1+2]"), 3.0},
        {VXTEXT("--2"), 0.0, kString}, {VXTEXT("2*--3"), 0.0, kString}, {VXTEXT("- -2"), 0.0, kString},
        {VXTEXT("1+."), 0.0, kString},
        // Powers and division.
        {VXTEXT("2^0"), 1.0}, {VXTEXT("(-8)^0"), 1.0}, {VXTEXT("(-8)^-1"), -0.125}, {VXTEXT("0^-1"), kInf},
        {VXTEXT("(-8)^1.5"), kNaN}, {VXTEXT("(-8)^0.5"), 0.0, kPow}, {VXTEXT("(-8)^(1/3)"), 0.0, kPow},
        {VXTEXT("(-8)^-0.5"), 0.0, kPow}, {VXTEXT("1/0"), 0.0, kDiv}, {VXTEXT("1/-0"), 0.0, kDiv},
        // Functions apply to their bracket before any operator that follows.
        {VXTEXT("floor(2.5)^2"), 4.0}, {VXTEXT("-floor(2.5)"), -2.0}, {VXTEXT("SIN(0)"), 0.0},
        {VXTEXT("degree(pi)"), 180.0}, {VXTEXT("radian(180)"), kPi}, {VXTEXT("abs(-3)"), 3.0},
        {VXTEXT("fabs(-2.5)"), 2.5}, {VXTEXT("floor(-2.5)"), -3.0}, {VXTEXT("ceil(-2.5)"), -2.0},
        {VXTEXT("sqrt(-1)"), kNaN}, {VXTEXT("log(0)"), -kInf}, {VXTEXT("sqrt(16)(9)"), 3.0, kCount},
        // The C library's functions, at arguments where no two of them agree.
        {VXTEXT("sin(1)"), std::sin(one)}, {VXTEXT("cos(1)"), std::cos(one)}, {VXTEXT("tan(1)"), std::tan(one)},
        {VXTEXT("asin(0.5)"), std::asin(half)}, {VXTEXT("acos(0.5)"), std::acos(half)},
        {VXTEXT("aTaN(1)"), std::atan(one)}, {VXTEXT("sinh(1)"), std::sinh(one)},
        {VXTEXT("cosh(1)"), std::cosh(one)}, {VXTEXT("tanh(1)"), std::tanh(one)},
        {VXTEXT("log(e)"), std::log(kE * one)}, {VXTEXT("LOG10(1000)"), 3.0}, {VXTEXT("exp(1)"), std::exp(one)},
        // A unary minus is 0.0 minus the value.
        {VXTEXT("-0"), 0.0}, {VXTEXT("-1*0"), -0.0}, {VXTEXT("abs(-1*0)"), 0.0},
        // The constants: the double nearest pi (0x400921FB54442D18) and the short decimal e.
        {VXTEXT("pi"), kPi}, {VXTEXT("e"), kE},
        {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + 0.5/2)"), 200.0},
        // Names: constants are case-sensitive, a blank makes a function name a variable, and
        // everything up to an operator, a round bracket or a blank belongs to the name.
        {VXTEXT("PI"), 0.0, "Error variable name: 'PI' "}, {VXTEXT("x"), 0.0, "Error variable name: 'x' "},
        {VXTEXT("sin (0)"), 0.0, "Error variable name: 'sin' "},
        {VXTEXT("x_1 + 2"), 0.0, "Error variable name: 'x_1' "},
        {VXTEXT("sin[0]"), 0.0, "Error variable name: 'sin[0]' "},
        {VXTEXT("Foo(1)"), 0.0, "Error function name: 'Foo' "},
        // Bracket and operand counts.
        {VXTEXT("((2)"), 0.0, kOpen}, {VXTEXT("()"), 0.0, kOpen}, {VXTEXT("1(2"), 0.0, kOpen},
        {VXTEXT("2+3)"), 0.0, kClose}, {VXTEXT("(2+3))"), 0.0, kClose}, {VXTEXT("+"), 0.0, kNone},
        {VXTEXT("2*"), 0.0, kNone}, {VXTEXT("()+1"), 0.0, kNone}, {VXTEXT("2e-"), 0.0, kNone},
        {VXTEXT("2 3"), 3.0, kCount}, {VXTEXT("1.2.3"), 0.3, kCount},
    };
    for (const auto& c : cases) {
        const double result = Eval(c.text, c.error);
        // Same value, NaN matching NaN and the sign of zero counting.
        EXPECT_TRUE(std::isnan(c.value) ? std::isnan(result)
                                        : result == c.value && std::signbit(result) == std::signbit(c.value))
            << vx::text::ToUtf8(c.text) << " gave " << result;
    }
}

// Evaluated before main: the shared context exists from load on, whatever order the linker
// gave the translation units.
const double two_pi_at_load = [] {
    double value = 0.0;
    ExpressionEvaluator::Evaluate(VXTEXT("2pi"), &value, nullptr, nullptr);
    return value;
}();

TEST(Evaluate, WorksBeforeMainAndWithoutAPlaceForTheResult) {
    EXPECT_EQ(two_pi_at_load, 6.283185307179586);
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("1/0"), nullptr, nullptr, nullptr));
    EXPECT_EQ(ExpressionEvaluator::GetLastErrorText(), String(VXTEXT("Error: /0.0")));
}

// Knows a few names and records every name it is asked about.
struct Bindings { std::map<String, double> known; std::vector<String> asked; };

bool Resolve(const VXCHAR* name, double* value, void* context) {
    auto* bindings = static_cast<Bindings*>(context);
    bindings->asked.emplace_back(name);
    const auto found = bindings->known.find(name);
    if (found != bindings->known.end()) *value = found->second;
    return found != bindings->known.end();
}

TEST(Bindings, ResolverComesBeforeConstantsAndStaysUntilTheNextCall) {
    const String longest(127, VXCHAR('n')), too_long(128, VXCHAR('n'));
    Bindings b{{{VXTEXT("a"), 2.0}, {VXTEXT("bb"), 3.0}, {VXTEXT("pi"), 100.0}, {longest, 5.0},
                {too_long, 6.0}}, {}};
    EXPECT_EQ(Eval(VXTEXT("2a+bb^a"), "", Resolve, &b), 13.0);
    EXPECT_EQ(Eval(VXTEXT("pi"), "", Resolve, &b), 100.0);       // hides the constant
    EXPECT_EQ(Eval(VXTEXT("e"), "", Resolve, &b), 2.718281828);  // declined: the constant
    // Each name reaches the resolver alone and zero-terminated, as written.
    b.asked.clear();
    EXPECT_EQ(Eval(VXTEXT("a*bb+Zed "), "Error variable name: 'Zed' ", Resolve, &b), 0.0);
    EXPECT_EQ(b.asked, (std::vector<String>{VXTEXT("a"), VXTEXT("bb"), VXTEXT("Zed")}));
    // Names up to 127 units reach the resolver; a longer one is refused as unreadable text,
    // never cut to a shorter name.
    b.asked.clear();
    EXPECT_EQ(Eval(longest.c_str(), "", Resolve, &b), 5.0);
    EXPECT_EQ(Eval(too_long.c_str(), "Error string", Resolve, &b), 0.0);
    Eval((too_long + VXTEXT("(1)")).c_str(), "Error string", Resolve, &b);
    EXPECT_EQ(b.asked, std::vector<String>{longest});
    // Two known names side by side leave two values; the result is the second.
    EXPECT_EQ(Eval(VXTEXT("a bb"), "number not fit operator count", Resolve, &b), 3.0);

    vx::EvaluatorContext& context = vx::EvaluatorContext::Instance();
    EXPECT_EQ(context.resolver, &Resolve);
    EXPECT_EQ(context.resolver_context, &b);
    EXPECT_EQ(context.expression, String(VXTEXT("a bb")));
    // A null text fails at once, result untouched and error text cleared, but replaces them.
    double result = 42.0;
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(nullptr, &result, nullptr, nullptr));
    EXPECT_EQ(result, 42.0);
    EXPECT_TRUE(ExpressionEvaluator::GetLastErrorText().empty());
    EXPECT_EQ(context.resolver, nullptr);
    EXPECT_EQ(context.resolver_context, nullptr);
}

int calls = 0;
bool Twice(double argument, double* result, void*) {
    *result = 2.0 * argument;
    return ++calls > 0;
}
bool Declines(double, double* result, void*) {
    *result = -1.0;  // must not be used
    return ++calls < 0;
}
bool RemovesItself(double argument, double* result, void*) {
    ExpressionEvaluator::DefineFunction(VXTEXT("once"), nullptr, nullptr);
    *result = argument + 1.0;
    return true;
}

TEST(Bindings, DefinitionsFallbacksAndTheNameRule) {
    // Stored lower-cased and compared exactly: only the lower-case spelling finds it.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("Cos"), Twice, nullptr));
    EXPECT_EQ(Eval(VXTEXT("1+cos(3)^2"), ""), 37.0);
    EXPECT_EQ(Eval(VXTEXT("COS(0)"), ""), 1.0);
    // One that declines lets the built-in answer, or gives the function-name error.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("cos"), Declines, nullptr));
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("nope"), Declines, nullptr));
    EXPECT_EQ(Eval(VXTEXT("cos(0)"), ""), 1.0);
    EXPECT_EQ(Eval(VXTEXT("nope(1)"), "Error function name: 'nope' "), 0.0);
    EXPECT_EQ(calls, 3);
    // Removing: true once, false when nothing is left to remove.
    EXPECT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("NOPE"), nullptr, nullptr));
    EXPECT_FALSE(ExpressionEvaluator::DefineFunction(VXTEXT("nope"), nullptr, nullptr));
    EXPECT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("cos"), nullptr, nullptr));
    // A function may remove itself while it runs.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("once"), RemovesItself, nullptr));
    Eval(VXTEXT("once(1)+once(1)"), "Error function name: 'once' ");

    // Constants too are stored lower-cased, and replaced.
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("Width7"), 10.0));
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("WIDTH7"), 11.0));
    EXPECT_EQ(Eval(VXTEXT("width7*2"), ""), 22.0);
    Eval(VXTEXT("Width7"), "Error variable name: 'Width7' ");
    // Redefining "e" is seen by the next evaluation; put it back for the other tests.
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("E"), 3.0));
    EXPECT_EQ(Eval(VXTEXT("2e"), ""), 6.0);
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("e"), 2.718281828));

    // The Kelvin sign lower-cases to a non-ASCII k.
    const std::pair<const VXCHAR*, bool> names[] = {
        {VXTEXT("ABC1"), true}, {VXTEXT(""), true}, {VXTEXT("1abc"), false}, {VXTEXT("a_b"), false},
        {VXTEXT("a b"), false}, {VXTEXT("a.b"), false}, {VXTEXT("\u00e9t\u00e9"), false},
        {VXTEXT("\u212a"), false}, {nullptr, false},
    };
    for (const auto& [name, accepted] : names) {
        EXPECT_EQ(ExpressionEvaluator::DefineConstant(name, 1.0), accepted) << accepted;
        EXPECT_EQ(ExpressionEvaluator::DefineFunction(name, Twice, nullptr), accepted) << accepted;
        if (accepted) { EXPECT_TRUE(ExpressionEvaluator::DefineFunction(name, nullptr, nullptr)); }
    }
    const auto& constants = vx::EvaluatorContext::Instance().constants;
    EXPECT_EQ(constants.count(String()) + constants.count(String(VXTEXT("abc1"))), 2u);
}

}  // namespace
