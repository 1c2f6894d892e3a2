// Results and errors of single texts without bindings: the operator rules, the quirks
// templates rely on, every error text, and the state a failure leaves.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "text/utf.h"

namespace {

using vx::ExpressionEvaluator;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828;

std::string Show(const VXCHAR* text) { return vx::text::ToUtf8(vx::StringView(text)); }
std::string LastError() { return vx::text::ToUtf8(ExpressionEvaluator::GetLastErrorText()); }

// Same value, NaN matching NaN and the sign of zero counting.
bool Same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

struct ValueCase {
    const VXCHAR* text;
    double expected;
};

TEST(Evaluate, ResultsOfTexts) {
    const ValueCase cases[] = {
        // Nothing to evaluate is zero.
        {VXTEXT(""), 0.0},
        {VXTEXT("   \t\r\n"), 0.0},
        {VXTEXT("\x01\x1f 5"), 5.0},
        {VXTEXT("%5"), 0.0},
        // A character that starts no token ends the text silently.
        {VXTEXT("2 + 3 % 4"), 5.0},
        {VXTEXT("1+2, 5"), 3.0},
        {VXTEXT("5 @ (((("), 5.0},
        // Implicit multiplication after a number only.
        {VXTEXT("2(3+4)"), 14.0},
        {VXTEXT("2 (3)"), 6.0},
        {VXTEXT("3[2]"), 6.0},
        {VXTEXT("2pi"), 6.283185307179586},
        {VXTEXT("2 pi"), 6.283185307179586},
        {VXTEXT("2e3"), 2000.0},
        {VXTEXT("2E3"), 2000.0},
        {VXTEXT("2e"), 2.0 * kE},
        // Number forms.
        {VXTEXT("0.5"), 0.5},
        {VXTEXT(".5"), 0.5},
        {VXTEXT("5."), 5.0},
        {VXTEXT("1.5e+2"), 150.0},
        {VXTEXT("1e-3*1e3"), 1.0},
        {VXTEXT("1e400"), kInf},
        {VXTEXT("-1e400"), -kInf},
        // Precedence and associativity.
        {VXTEXT("1+2*3"), 7.0},
        {VXTEXT("(1+2)*3"), 9.0},
        {VXTEXT("1-2-3"), -4.0},
        {VXTEXT("8/4/2"), 1.0},
        {VXTEXT("2*3^2"), 18.0},
        {VXTEXT("2^3*2"), 16.0},
        {VXTEXT("2^3^2"), 64.0},
        {VXTEXT("1-2*3-4"), -9.0},
        {VXTEXT("64/2^2/2^2"), 4.0},
        {VXTEXT("-2^2"), -4.0},
        {VXTEXT("2^-2"), 0.25},
        {VXTEXT("-3*-2"), 6.0},
        {VXTEXT("-2*3"), -6.0},
        {VXTEXT("2*+3"), 6.0},
        {VXTEXT("+5"), 5.0},
        {VXTEXT("- 2"), -2.0},
        {VXTEXT("-(2+3)"), -5.0},
        {VXTEXT("-(-(-1))"), -1.0},
        {VXTEXT("2--3"), 5.0},
        {VXTEXT("2 + 3 ++ 4"), 9.0},
        {VXTEXT("[1+2]*{3}"), 9.0},
        {VXTEXT("(1+2]"), 3.0},
        // Powers.
        {VXTEXT("2^0"), 1.0},
        {VXTEXT("(-8)^0"), 1.0},
        {VXTEXT("0^0"), 1.0},
        {VXTEXT("(-2)^2"), 4.0},
        {VXTEXT("(-2)^-1"), -0.5},
        {VXTEXT("(-8)^1"), -8.0},
        {VXTEXT("(-8)^-1"), -0.125},
        {VXTEXT("0^-1"), kInf},
        {VXTEXT("(-8)^1.5"), kNaN},
        // Functions apply to their bracket before any operator that follows.
        {VXTEXT("floor(2.5)^2"), 4.0},
        {VXTEXT("floor(2.5)*2"), 4.0},
        {VXTEXT("2*floor(2.5)"), 4.0},
        {VXTEXT("-floor(2.5)"), -2.0},
        {VXTEXT("sqrt(sqrt(16))"), 2.0},
        {VXTEXT("sqrt(16)+1"), 5.0},
        {VXTEXT("(sqrt(16))"), 4.0},
        {VXTEXT("SIN(0)"), 0.0},
        {VXTEXT("Sqrt(4)"), 2.0},
        {VXTEXT("degree(pi)"), 180.0},
        {VXTEXT("radian(180)"), kPi},
        {VXTEXT("abs(-3)"), 3.0},
        {VXTEXT("fabs(-2.5)"), 2.5},
        {VXTEXT("floor(-2.5)"), -3.0},
        {VXTEXT("ceil(-2.5)"), -2.0},
        {VXTEXT("sqrt(-1)"), kNaN},
        {VXTEXT("log(0)"), -kInf},
        {VXTEXT("acos(2)"), kNaN},
        // Signs of zero: a unary minus is 0.0 minus the value.
        {VXTEXT("-0"), 0.0},
        {VXTEXT("-1*0"), -0.0},
        {VXTEXT("abs(-1*0)"), 0.0},
        // Constants.
        {VXTEXT("pi"), kPi},
        {VXTEXT("e"), kE},
        // The figure texts templates produce.
        {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + 0.5/2)"), 200.0},
        {VXTEXT("10.000000+(20.000000-10.000000)*0.5"), 15.0},
    };
    for (const ValueCase& c : cases) {
        double result = 42.0;
        const bool ok = ExpressionEvaluator::Evaluate(c.text, &result, nullptr, nullptr);
        EXPECT_TRUE(ok) << Show(c.text) << " failed with " << LastError();
        EXPECT_TRUE(Same(result, c.expected))
            << Show(c.text) << " gave " << result << ", expected " << c.expected;
        EXPECT_EQ(LastError(), "") << Show(c.text);
    }
}

TEST(Evaluate, BuiltinFunctionsComputeTheirOwnFunction) {
    // Arguments chosen so that no two functions agree (sin(0) and tan(0) would not tell
    // them apart).
    const ValueCase cases[] = {
        {VXTEXT("sin(1)"), 0.8414709848078965},   {VXTEXT("cos(1)"), 0.5403023058681398},
        {VXTEXT("tan(1)"), 1.5574077246549023},   {VXTEXT("asin(0.5)"), 0.5235987755982989},
        {VXTEXT("acos(0.5)"), 1.0471975511965979}, {VXTEXT("atan(1)"), 0.7853981633974483},
        {VXTEXT("sinh(1)"), 1.1752011936438014},  {VXTEXT("cosh(1)"), 1.5430806348152437},
        {VXTEXT("tanh(1)"), 0.7615941559557649},  {VXTEXT("log(10)"), 2.302585092994046},
        {VXTEXT("log10(1000)"), 3.0},             {VXTEXT("exp(1)"), 2.718281828459045},
        {VXTEXT("sqrt(2)"), 1.4142135623730951},  {VXTEXT("COS(1)"), 0.5403023058681398},
        {VXTEXT("LOG10(100)"), 2.0},              {VXTEXT("aTaN(1)"), 0.7853981633974483},
        {VXTEXT("log(e)"), 0.9999999998311266},
    };
    for (const ValueCase& c : cases) {
        double result = 0.0;
        ASSERT_TRUE(ExpressionEvaluator::Evaluate(c.text, &result, nullptr, nullptr))
            << Show(c.text) << ": " << LastError();
        EXPECT_NEAR(result, c.expected, 4e-16 * std::fabs(c.expected))
            << Show(c.text) << " (tolerance 4e-16 relative)";
    }
}

struct ErrorCase {
    const VXCHAR* text;
    const char* error;
    double result;  // what *result holds afterwards
};

TEST(Evaluate, ErrorsOfTexts) {
    const ErrorCase cases[] = {
        {VXTEXT("--2"), "Error string", 0.0},
        {VXTEXT("2*--3"), "Error string", 0.0},
        {VXTEXT("- -2"), "Error string", 0.0},
        {VXTEXT("2^--2"), "Error string", 0.0},
        {VXTEXT("."), "Error string", 0.0},
        {VXTEXT("1+."), "Error string", 0.0},
        {VXTEXT(".e5"), "Error string", 0.0},
        {VXTEXT("(-8)^0.5"), "Error: pow second < 1.0 where first < 0.0", 0.0},
        {VXTEXT("(-8)^(1/3)"), "Error: pow second < 1.0 where first < 0.0", 0.0},
        {VXTEXT("(-8)^-0.5"), "Error: pow second < 1.0 where first < 0.0", 0.0},
        {VXTEXT("1/0"), "Error: /0.0", 0.0},
        {VXTEXT("1/-0"), "Error: /0.0", 0.0},
        {VXTEXT("0/0"), "Error: /0.0", 0.0},
        {VXTEXT("PI"), "Error variable name: 'PI' ", 0.0},
        {VXTEXT("x"), "Error variable name: 'x' ", 0.0},
        {VXTEXT("2+sin"), "Error variable name: 'sin' ", 0.0},
        {VXTEXT("sin (0)"), "Error variable name: 'sin' ", 0.0},
        {VXTEXT("x_1 + 2"), "Error variable name: 'x_1' ", 0.0},
        {VXTEXT("a[1]"), "Error variable name: 'a[1]' ", 0.0},
        {VXTEXT("sin[0]"), "Error variable name: 'sin[0]' ", 0.0},
        {VXTEXT("1e5x"), "Error variable name: 'x' ", 0.0},
        {VXTEXT("foo(1)"), "Error function name: 'foo' ", 0.0},
        {VXTEXT("Foo(1)"), "Error function name: 'Foo' ", 0.0},
        {VXTEXT("1+sinus(0)"), "Error function name: 'sinus' ", 0.0},
        {VXTEXT("pow(2,3)"), "missing ')'", 0.0},
        {VXTEXT("((2)"), "missing ')'", 0.0},
        {VXTEXT("()"), "missing ')'", 0.0},
        {VXTEXT("sin()"), "missing ')'", 0.0},
        {VXTEXT("2*(3"), "missing ')'", 0.0},
        {VXTEXT("1(2"), "missing ')'", 0.0},
        {VXTEXT("2+3)"), "Missing '('", 0.0},
        {VXTEXT("(2+3))"), "Missing '('", 0.0},
        {VXTEXT(")"), "Missing '('", 0.0},
        {VXTEXT("1+2)3"), "Missing '('", 0.0},
        {VXTEXT("+"), "no number", 0.0},
        {VXTEXT("2*"), "no number", 0.0},
        {VXTEXT("*2"), "no number", 0.0},
        {VXTEXT("^"), "no number", 0.0},
        {VXTEXT("(*2)"), "no number", 0.0},
        {VXTEXT("()+1"), "no number", 0.0},
        {VXTEXT("2e-"), "no number", 0.0},
        // More than one value left: the result is the top one.
        {VXTEXT("2 3"), "number not fit operator count", 3.0},
        {VXTEXT("(2)(3)"), "number not fit operator count", 3.0},
        {VXTEXT("1 2+3"), "number not fit operator count", 5.0},
        {VXTEXT("1.2.3"), "number not fit operator count", 0.3},
        {VXTEXT("sqrt(16)(9)"), "number not fit operator count", 3.0},
    };
    for (const ErrorCase& c : cases) {
        double result = 42.0;
        EXPECT_FALSE(ExpressionEvaluator::Evaluate(c.text, &result, nullptr, nullptr))
            << Show(c.text) << " gave " << result;
        EXPECT_EQ(LastError(), c.error) << Show(c.text);
        EXPECT_TRUE(Same(result, c.result))
            << Show(c.text) << " left " << result << ", expected " << c.result;
    }
}

TEST(Evaluate, NextEvaluationClearsTheErrorText) {
    double result = 0.0;
    ASSERT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("1/0"), &result, nullptr, nullptr));
    ASSERT_EQ(LastError(), "Error: /0.0");
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("1"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "");
    EXPECT_EQ(result, 1.0);

    // A failure replaces an earlier failure's text.
    ASSERT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("x"), &result, nullptr, nullptr));
    ASSERT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("2 3"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "number not fit operator count");

    // A null text fails at once: result untouched, error text cleared.
    result = 42.0;
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(nullptr, &result, nullptr, nullptr));
    EXPECT_EQ(result, 42.0);
    EXPECT_EQ(LastError(), "");

    // Without a place for the result the evaluation still runs and reports.
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("1+1"), nullptr, nullptr, nullptr));
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("1/0"), nullptr, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error: /0.0");
}

// Evaluated while the program is being initialised, before main: the shared context exists
// from load on, whatever order the linker gave the translation units.
const double two_pi_at_load = [] {
    double value = 0.0;
    ExpressionEvaluator::Evaluate(VXTEXT("2pi"), &value, nullptr, nullptr);
    return value;
}();

TEST(Evaluate, WorksWhileTheProgramLoads) { EXPECT_EQ(two_pi_at_load, 6.283185307179586); }

TEST(Evaluate, ConstantsAreExactlyTheirDecimalValues) {
    double pi = 0.0;
    double e = 0.0;
    ASSERT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("pi"), &pi, nullptr, nullptr));
    ASSERT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("e"), &e, nullptr, nullptr));
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof pi, "double is 64 bits");
    std::memcpy(&bits, &pi, sizeof bits);
    EXPECT_EQ(bits, 0x400921FB54442D18u);
    // The short decimal, not M_E: they differ from the tenth digit on.
    EXPECT_EQ(e, 2.718281828);
    EXPECT_NE(e, 2.718281828459045);
}

}  // namespace
