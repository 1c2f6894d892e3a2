// The shared context's lifetime and the operations that change its tables.
#include "expr/evaluator_context.h"

#include <new>

namespace vx {

namespace {

// Zero-initialised before any constructor runs, so the first lifetime object of any
// translation unit finds the count at 0.
int lifetime_count = 0;
alignas(EvaluatorContext) unsigned char context_storage[sizeof(EvaluatorContext)];

// Lower-cases ASCII letters, as the C library's wide lower-casing does in the C locale
// (whatever locale the host process chose), and checks the name rule.
bool NormalizeName(const VXCHAR* name, String* normalized) {
    if (!name) return false;
    normalized->clear();
    for (const VXCHAR* p = name; *p; ++p) {
        VXCHAR c = *p;
        if (c >= 'A' && c <= 'Z') c = static_cast<VXCHAR>(c - 'A' + 'a');
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !(c >= 'a' && c <= 'z')) return false;
        if (digit && p == name) return false;
        normalized->push_back(c);
    }
    return true;
}

}  // namespace

EvaluatorContext::EvaluatorContext() {
    // The double nearest to pi (0x400921FB54442D18), and "e" as the text 2.718281828 reads,
    // not the full-precision constant: template authors rely on the shorter value.
    constants.emplace(String(VXTEXT("pi")), 3.141592653589793);
    constants.emplace(String(VXTEXT("e")), 2.718281828);
}

EvaluatorContext& EvaluatorContext::Instance() {
    return *std::launder(reinterpret_cast<EvaluatorContext*>(context_storage));
}

detail::EvaluatorContextLifetime::EvaluatorContextLifetime() {
    if (lifetime_count++ == 0) new (context_storage) EvaluatorContext();
}

detail::EvaluatorContextLifetime::~EvaluatorContextLifetime() {
    if (--lifetime_count == 0) EvaluatorContext::Instance().~EvaluatorContext();
}

bool ExpressionEvaluator::DefineConstant(const VXCHAR* name, double value) {
    String key;
    if (!NormalizeName(name, &key)) return false;
    EvaluatorContext::Instance().constants[key] = value;
    return true;
}

bool ExpressionEvaluator::DefineFunction(const VXCHAR* name, UserFunction function, void* context) {
    String key;
    if (!NormalizeName(name, &key)) return false;
    auto& functions = EvaluatorContext::Instance().user_functions;
    if (!function) return functions.erase(key) != 0;
    functions[key] = UserFunctionEntry{function, context};
    return true;
}

const String& ExpressionEvaluator::GetLastErrorText() {
    return EvaluatorContext::Instance().last_error;
}

}  // namespace vx
