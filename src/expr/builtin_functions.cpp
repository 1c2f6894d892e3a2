#include "expr/builtin_functions.h"

#include <cmath>
#include <cstring>

namespace vx::expr {

namespace {

constexpr double kPi = 3.141592653589793;

struct BuiltinFunction {
    const char* name;  // lower case ASCII
    double (*compute)(double);
};

// Degrees and radians divide first and multiply second; templates that convert back and
// forth depend on that rounding order.
const BuiltinFunction kFunctions[] = {
    {"sin", [](double x) { return std::sin(x); }},
    {"cos", [](double x) { return std::cos(x); }},
    {"tan", [](double x) { return std::tan(x); }},
    {"acos", [](double x) { return std::acos(x); }},
    {"asin", [](double x) { return std::asin(x); }},
    {"atan", [](double x) { return std::atan(x); }},
    {"fabs", [](double x) { return std::fabs(x); }},
    {"abs", [](double x) { return std::fabs(x); }},
    {"log", [](double x) { return std::log(x); }},
    {"log10", [](double x) { return std::log10(x); }},
    {"exp", [](double x) { return std::exp(x); }},
    {"sinh", [](double x) { return std::sinh(x); }},
    {"cosh", [](double x) { return std::cosh(x); }},
    {"tanh", [](double x) { return std::tanh(x); }},
    {"floor", [](double x) { return std::floor(x); }},
    {"ceil", [](double x) { return std::ceil(x); }},
    {"sqrt", [](double x) { return std::sqrt(x); }},
    {"degree", [](double x) { return x / kPi * 180.0; }},
    {"radian", [](double x) { return x / 180.0 * kPi; }},
};

bool EqualsIgnoringAsciiCase(StringView text, const char* lower) {
    const size_t length = std::strlen(lower);
    if (text.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        VXCHAR c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<VXCHAR>(c - 'A' + 'a');
        if (c != static_cast<unsigned char>(lower[i])) return false;
    }
    return true;
}

}  // namespace

bool CallBuiltinFunction(StringView name, double argument, double* result) {
    for (const BuiltinFunction& function : kFunctions) {
        if (EqualsIgnoringAsciiCase(name, function.name)) {
            *result = function.compute(argument);
            return true;
        }
    }
    return false;
}

}  // namespace vx::expr
