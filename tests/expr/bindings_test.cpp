// Variables through a resolver, constants and user functions: lookup order, fallbacks,
// the name rule, and what the shared context keeps between evaluations.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "expr/evaluator.h"
#include "expr/evaluator_context.h"
#include "text/utf.h"

namespace {

using vx::ExpressionEvaluator;
using vx::String;

std::string Show(vx::StringView text) { return vx::text::ToUtf8(text); }
std::string LastError() { return vx::text::ToUtf8(ExpressionEvaluator::GetLastErrorText()); }

// Knows a few names and records every name it is asked about.
struct Bindings {
    std::vector<std::pair<String, double>> known;
    std::vector<String> asked;
};

bool Resolve(const VXCHAR* name, double* value, void* context) {
    auto* bindings = static_cast<Bindings*>(context);
    bindings->asked.emplace_back(name);
    for (const auto& entry : bindings->known) {
        if (entry.first == name) {
            *value = entry.second;
            return true;
        }
    }
    return false;
}

TEST(Bindings, ResolverComesBeforeConstants) {
    Bindings bindings{{{VXTEXT("a"), 2.0}, {VXTEXT("bb"), 3.0}, {VXTEXT("pi"), 100.0}}, {}};
    struct Case {
        const VXCHAR* text;
        double expected;
    } cases[] = {
        {VXTEXT("a+bb"), 5.0},
        {VXTEXT("2a"), 4.0},          // implicit multiplication, then the name
        {VXTEXT("bb^a"), 9.0},
        {VXTEXT("pi"), 100.0},        // the resolver's pi hides the constant
        {VXTEXT("e"), 2.718281828},   // declined by the resolver: the constant
        {VXTEXT("-a^2"), -4.0},
        {VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"), 350.0},
    };
    for (const Case& c : cases) {
        double result = 0.0;
        EXPECT_TRUE(ExpressionEvaluator::Evaluate(c.text, &result, Resolve, &bindings))
            << Show(c.text) << ": " << LastError();
        EXPECT_EQ(result, c.expected) << Show(c.text);
    }

    // Each name reaches the resolver alone and zero-terminated, as written.
    bindings.asked.clear();
    double result = 0.0;
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("a*bb+Zed "), &result, Resolve, &bindings));
    EXPECT_EQ(LastError(), "Error variable name: 'Zed' ");
    EXPECT_EQ(result, 0.0);
    ASSERT_EQ(bindings.asked.size(), 3u);
    EXPECT_EQ(bindings.asked[0], String(VXTEXT("a")));
    EXPECT_EQ(bindings.asked[1], String(VXTEXT("bb")));
    EXPECT_EQ(bindings.asked[2], String(VXTEXT("Zed")));

    // Two known names side by side leave two values; the result is the second.
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("a bb"), &result, Resolve, &bindings));
    EXPECT_EQ(LastError(), "number not fit operator count");
    EXPECT_EQ(result, 3.0);
}

TEST(Bindings, ContextKeepsTheLastResolverUntilTheNextCall) {
    Bindings bindings{{{VXTEXT("a"), 1.0}}, {}};
    double result = 0.0;
    ASSERT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("a"), &result, Resolve, &bindings));
    vx::EvaluatorContext& context = vx::EvaluatorContext::Instance();
    EXPECT_EQ(context.resolver, &Resolve);
    EXPECT_EQ(context.resolver_context, &bindings);
    EXPECT_EQ(context.expression, String(VXTEXT("a")));

    // The next call replaces them, even when it has no text to evaluate.
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(nullptr, &result, nullptr, nullptr));
    EXPECT_EQ(context.resolver, nullptr);
    EXPECT_EQ(context.resolver_context, nullptr);
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("a"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error variable name: 'a' ");
}

struct Calls {
    int count = 0;
    double last_argument = 0.0;
};

bool Twice(double argument, double* result, void* context) {
    auto* calls = static_cast<Calls*>(context);
    ++calls->count;
    calls->last_argument = argument;
    *result = 2.0 * argument;
    return true;
}

bool FortyTwo(double, double* result, void*) {
    *result = 42.0;
    return true;
}

bool Declines(double, double* result, void* context) {
    ++static_cast<Calls*>(context)->count;
    *result = -1.0;  // must not be used
    return false;
}

TEST(Bindings, UserFunctionsAreFoundInLowerCaseOnly) {
    Calls calls;
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("Twice"), Twice, &calls));
    double result = 0.0;
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("1+twice(3)^2"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 37.0);
    EXPECT_EQ(calls.count, 1);
    EXPECT_EQ(calls.last_argument, 3.0);

    // Stored lower-cased, compared exactly: the written "Twice" is neither user function
    // nor built in.
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("Twice(3)"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error function name: 'Twice' ");
    EXPECT_EQ(result, 0.0);
    EXPECT_EQ(calls.count, 1);

    // Removing: true once, false when nothing is left to remove.
    EXPECT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("TWICE"), nullptr, nullptr));
    EXPECT_FALSE(ExpressionEvaluator::DefineFunction(VXTEXT("twice"), nullptr, nullptr));
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("twice(3)"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error function name: 'twice' ");
}

TEST(Bindings, UserFunctionsComeBeforeBuiltinsAndFallBackToThem) {
    Calls calls;
    double result = 0.0;

    // An answering user function hides the built-in of the same lower-case name; another
    // spelling still reaches the built-in.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("cos"), FortyTwo, nullptr));
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("cos(0)"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 42.0);
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("COS(0)"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 1.0);

    // Replacing it by one that declines lets the built-in answer.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("cos"), Declines, &calls));
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("cos(0)"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 1.0);
    EXPECT_EQ(calls.count, 1);
    EXPECT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("cos"), nullptr, nullptr));

    // Declining with no built-in behind it is the function-name error.
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("nope"), Declines, &calls));
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("nope(1)"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error function name: 'nope' ");
    EXPECT_EQ(result, 0.0);
    EXPECT_EQ(calls.count, 2);
    EXPECT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("nope"), nullptr, nullptr));
}

bool RemovesItself(double argument, double* result, void*) {
    ExpressionEvaluator::DefineFunction(VXTEXT("once"), nullptr, nullptr);
    *result = argument + 1.0;
    return true;
}

TEST(Bindings, UserFunctionMayRedefineItselfWhileItRuns) {
    ASSERT_TRUE(ExpressionEvaluator::DefineFunction(VXTEXT("once"), RemovesItself, nullptr));
    double result = 0.0;
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("once(1)+once(1)"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error function name: 'once' ");
}

TEST(Bindings, ConstantsAreStoredLowerCasedAndReplaced) {
    double result = 0.0;
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("Width7"), 10.0));
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("width7*2"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 20.0);
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("Width7"), &result, nullptr, nullptr));
    EXPECT_EQ(LastError(), "Error variable name: 'Width7' ");

    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("WIDTH7"), 11.0));
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("width7"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 11.0);

    // A resolver that knows the name still comes first.
    Bindings bindings{{{VXTEXT("width7"), 1.0}}, {}};
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("width7"), &result, Resolve, &bindings));
    EXPECT_EQ(result, 1.0);

    // Redefining "e" is seen by the next evaluation; put it back for the other tests.
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("E"), 3.0));
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("2e"), &result, nullptr, nullptr));
    EXPECT_EQ(result, 6.0);
    ASSERT_TRUE(ExpressionEvaluator::DefineConstant(VXTEXT("e"), 2.718281828));
}

TEST(Bindings, NameRuleOfDefinitions) {
    struct Case {
        const VXCHAR* name;
        bool accepted;
    } cases[] = {
        {VXTEXT("abc"), true},   {VXTEXT("ABC1"), true},  {VXTEXT("x9y"), true},
        {VXTEXT(""), true},      {VXTEXT("1abc"), false}, {VXTEXT("9"), false},
        {VXTEXT("a_b"), false},  {VXTEXT("a b"), false},  {VXTEXT("a-b"), false},
        {VXTEXT("a.b"), false},  {VXTEXT("\u00e9t\u00e9"), false}, {VXTEXT("\u212a"), false},
        {VXTEXT("a("), false},   {nullptr, false},
    };
    for (const Case& c : cases) {
        const std::string shown = c.name ? Show(c.name) : "(null)";
        EXPECT_EQ(ExpressionEvaluator::DefineConstant(c.name, 1.0), c.accepted) << shown;
        EXPECT_EQ(ExpressionEvaluator::DefineFunction(c.name, FortyTwo, nullptr), c.accepted)
            << shown;
        if (c.accepted) {
            EXPECT_TRUE(ExpressionEvaluator::DefineFunction(c.name, nullptr, nullptr)) << shown;
        }
    }
    // The empty name is stored under the empty name.
    vx::EvaluatorContext& context = vx::EvaluatorContext::Instance();
    EXPECT_EQ(context.constants.count(String()), 1u);
    EXPECT_EQ(context.constants.count(String(VXTEXT("abc1"))), 1u);
}

TEST(Bindings, NamesUpTo127UnitsReachTheResolver) {
    const String longest(127, VXCHAR('n'));
    const String too_long(128, VXCHAR('n'));
    Bindings bindings{{{longest, 5.0}, {too_long, 6.0}}, {}};
    double result = 0.0;
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(longest.c_str(), &result, Resolve, &bindings));
    EXPECT_EQ(result, 5.0);
    ASSERT_EQ(bindings.asked.size(), 1u);
    EXPECT_EQ(bindings.asked[0], longest);

    // A longer name is refused as unreadable text, never cut to a shorter name.
    bindings.asked.clear();
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(too_long.c_str(), &result, Resolve, &bindings));
    EXPECT_EQ(LastError(), "Error string");
    EXPECT_EQ(result, 0.0);
    EXPECT_TRUE(bindings.asked.empty());
    const String call = too_long + VXTEXT("(1)");
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(call.c_str(), &result, Resolve, &bindings));
    EXPECT_EQ(LastError(), "Error string");
}

// A resolver that evaluates on its own breaks the rule that callbacks do not evaluate; the
// running evaluation must still read its own text.
bool EvaluatesInside(const VXCHAR*, double* value, void* context) {
    const String inner = String(4000, VXCHAR(' ')) + VXTEXT("7");
    const bool ok = ExpressionEvaluator::Evaluate(inner.c_str(), value, nullptr, nullptr);
    ++*static_cast<int*>(context);
    return ok;
}

TEST(Bindings, NestedEvaluationLeavesTheRunningTextIntact) {
    int calls = 0;
    double result = 0.0;
    EXPECT_TRUE(ExpressionEvaluator::Evaluate(VXTEXT("1 + a*2 + 0.5"), &result, EvaluatesInside,
                                              &calls));
    EXPECT_EQ(result, 15.5);
    EXPECT_EQ(calls, 1);
    // The inner call replaced the resolver, so a second name finds none.
    EXPECT_FALSE(ExpressionEvaluator::Evaluate(VXTEXT("a + b"), &result, EvaluatesInside, &calls));
    EXPECT_EQ(LastError(), "Error variable name: 'b' ");
}

}  // namespace
