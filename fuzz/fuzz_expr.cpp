// Fuzzes Evaluate with arbitrary texts, a resolver and user functions, and checks what
// must hold for every text: a failure leaves one of the known error texts and a zero
// result (the top value only after "number not fit operator count"), a success leaves no
// error text, and evaluating the same text again gives the same outcome.
//
// Input: the first byte chooses the form; bit 0 set: each further byte is one code unit
// (the dictionary's words apply), clear: pairs of bytes are little-endian code units (lone
// surrogates, every unit). Bit 1 chooses whether the resolver is bound. The build writes a
// dictionary of the byte form's words and names it in OSTREL_FUZZ_DICTIONARY.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "build_dictionary.h"
#include "expr/evaluator.h"
#include "text/string.h"

namespace {

using vx::ExpressionEvaluator;
using vx::String;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool EndsName(VXCHAR c) {
    return c <= 32 || c == '(' || c == ')' || c == '+' || c == '-' || c == '*' || c == '/' || c == '^';
}

// Knows a few names, and checks that every name it is handed is one whole name.
bool Resolve(const VXCHAR* name, double* value, void*) {
    size_t length = 0;
    while (name[length]) {
        Check(length == 0 ? ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') : !EndsName(name[length]));
        ++length;
    }
    Check(length >= 1 && length <= 127);
    const String text(name, length);
    if (text == VXTEXT("a")) *value = 0.3;
    else if (text == VXTEXT("b")) *value = -2.0;
    else if (text == VXTEXT("big")) *value = 1e308;
    else if (text == VXTEXT("nan")) *value = std::numeric_limits<double>::quiet_NaN();
    else return false;
    return true;
}

bool Twice(double argument, double* result, void*) {
    *result = 2.0 * argument;
    return true;
}

bool Declines(double, double*, void*) { return false; }

const bool defined = [] {
    ExpressionEvaluator::DefineFunction(VXTEXT("twice"), Twice, nullptr);
    ExpressionEvaluator::DefineFunction(VXTEXT("declines"), Declines, nullptr);
    return true;
}();

bool StartsWith(const String& text, const VXCHAR* prefix) {
    return text.compare(0, String(prefix).size(), prefix) == 0;
}

bool EndsWith(const String& text, const VXCHAR* suffix) {
    const String end(suffix);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool KnownError(const String& error) {
    static const VXCHAR* const fixed[] = {
        VXTEXT("Error string"),
        VXTEXT("Missing '('"),
        VXTEXT("missing ')'"),
        VXTEXT("number not fit operator count"),
        VXTEXT("no number"),
        VXTEXT("Error: /0.0"),
        VXTEXT("Error: pow second < 1.0 where first < 0.0"),
    };
    for (const VXCHAR* text : fixed) {
        if (error == text) return true;
    }
    for (const VXCHAR* prefix : {VXTEXT("Error variable name: '"), VXTEXT("Error function name: '")}) {
        if (!StartsWith(error, prefix) || !EndsWith(error, VXTEXT("' "))) continue;
        const size_t name = error.size() - String(prefix).size() - 2;
        if (error.size() >= String(prefix).size() + 2 && name >= 1 && name <= 127) return true;
    }
    return false;
}

bool SameBits(double a, double b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    (void)defined;
    const uint8_t mode = data[0];
    String text;
    if (mode & 1) {
        for (size_t i = 1; i < size; ++i) text.push_back(static_cast<VXCHAR>(data[i]));
    } else {
        for (size_t i = 1; i + 1 < size; i += 2) {
            text.push_back(static_cast<VXCHAR>(data[i] | (data[i + 1] << 8)));
        }
    }
    const vx::VariableResolver resolver = (mode & 2) ? Resolve : nullptr;

    double first = 42.0;
    const bool ok = ExpressionEvaluator::Evaluate(text.c_str(), &first, resolver, nullptr);
    const String error = ExpressionEvaluator::GetLastErrorText();
    if (ok) {
        Check(error.empty());
    } else {
        Check(KnownError(error));
        if (error != VXTEXT("number not fit operator count")) Check(SameBits(first, 0.0));
    }

    double second = -1.0;
    Check(ExpressionEvaluator::Evaluate(text.c_str(), &second, resolver, nullptr) == ok);
    Check(ExpressionEvaluator::GetLastErrorText() == error);
    Check(SameBits(first, second));
    return 0;
}
