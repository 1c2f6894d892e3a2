// The evaluator against muparser on the grammar the two share: numbers, + - * /, brackets,
// unary minus and the functions sin, cos, sqrt, exp and log. Over 100,000 seeded random
// texts both give the same value within one unit in the last place, or both fail; a
// result that is not finite counts as failing.
//
// A division by zero is a difference by design: we fail with "Error: /0.0", muparser goes
// on with an infinity (which a later step may turn into a finite value). Texts that divide
// by zero are counted and not compared.
//
// Left out of the generator because the two differ there by design: "^" (ours associates
// to the left, 2^3^2 is 64, and gives a unary minus a lower precedence than muparser's
// right-associative power), and implicit multiplication ("2(3)" and "2pi" are products
// for us, errors for muparser).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include <muParser.h>

#include "expr/evaluator.h"
#include "text/utf.h"

namespace vx {
namespace {

class Texts {
public:
    explicit Texts(uint32_t seed) : gen_(seed) {}

    std::string Expression(int depth) {
        static const char* const kOperators[] = {" + ", " - ", " * ", " / ", "+", "-", "*", "/"};
        const uint32_t pick = depth <= 0 ? 0 : gen_() % 8;  // 0 to 2 an operand, 3 a negated one
        if (pick < 3) return Operand(depth);
        if (pick == 3) return "-" + Operand(depth - 1);
        return Expression(depth - 1) + kOperators[gen_() % 8] + Expression(depth - 1);
    }

private:
    // Anything but a leading minus, so that no sign follows a sign.
    std::string Operand(int depth) {
        static const char* const kFunctions[] = {"sin", "cos", "sqrt", "exp", "log"};
        const uint32_t pick = depth <= 0 ? 0 : gen_() % 4;  // 0 and 1 a number, 2 a bracket, 3 a function
        if (pick < 2) return Number();
        if (pick == 2) return "(" + Expression(depth - 1) + ")";
        return std::string(kFunctions[gen_() % 5]) + "(" + Expression(depth - 1) + ")";
    }

    std::string Number() {
        char text[64];
        const uint32_t digits = gen_() % 100000;
        switch (gen_() % 5) {
            case 0: std::snprintf(text, sizeof text, "%u", digits % 100); break;
            case 1:
                std::snprintf(text, sizeof text, "%u.%03u", digits % 1000, static_cast<uint32_t>(gen_() % 1000));
                break;
            case 2: std::snprintf(text, sizeof text, ".%05u", digits); break;
            case 3:
                std::snprintf(text, sizeof text, "%u.%ue%d", digits % 10, digits % 97,
                              static_cast<int>(gen_() % 13) - 6);
                break;
            default: std::snprintf(text, sizeof text, "%u.", digits % 1000); break;
        }
        return text;
    }

    std::mt19937 gen_;
};

TEST(AgainstMuparser, SharedGrammarSameValues) {
    Texts texts(7177u);
    mu::Parser peer;
    int compared = 0, bothFailed = 0, byZero = 0, differing = 0;
    std::string first;
    constexpr int kTexts = 100000 / OSTREL_REFERENCE_DIVISOR;
    for (int i = 0; i < kTexts; ++i) {
        const std::string text = texts.Expression(1 + i % 5);
        double ours = 0.0;
        const bool oursOk =
            ExpressionEvaluator::Evaluate(text::FromUtf8(text).c_str(), &ours, nullptr, nullptr) && std::isfinite(ours);
        double theirs = 0.0;
        bool theirsOk = true;
        try {
            peer.SetExpr(text);
            theirs = peer.Eval();
            theirsOk = std::isfinite(theirs);
        } catch (const mu::Parser::exception_type&) {
            theirsOk = false;
        }
        if (!oursOk && ExpressionEvaluator::GetLastErrorText() == VXTEXT("Error: /0.0")) {
            ++byZero;
        } else if (!oursOk && !theirsOk) {
            ++bothFailed;
        } else if (oursOk && theirsOk && (ours == theirs || std::nextafter(ours, theirs) == theirs)) {
            ++compared;
        } else if (differing++ == 0) {
            first = text + ": " + (oursOk ? std::to_string(ours) : "fails") + " against " +
                    (theirsOk ? std::to_string(theirs) : "fails");
        }
    }
    EXPECT_EQ(differing, 0) << "first: " << first;
    EXPECT_GT(compared, kTexts / 10 * 8);  // the generator's texts mostly evaluate
    EXPECT_GT(bothFailed, kTexts / 1000);  // some leave the finite range (log of 0, nested exp)
    EXPECT_LT(byZero, kTexts / 20);
}

}  // namespace
}  // namespace vx
