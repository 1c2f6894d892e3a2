// The evaluator's process-wide state.
#pragma once

#include <functional>
#include <map>

#include "expr/evaluator.h"
#include "text/string.h"

namespace vx {

struct UserFunctionEntry {
    UserFunction function;
    void* context;
};

// Exists once per process, from library load to unload. Invariants: constant and function
// names are stored lower-cased and pass the name rule of DefineConstant (so a text can name
// them only in lower case); a function entry never holds a null function; last_error is
// empty after a successful evaluation.
class EvaluatorContext {
public:
    // The one context. Valid from the library's static initialisation until its unload.
    static EvaluatorContext& Instance();

    VariableResolver resolver = nullptr;  // of the current or last evaluation
    void* resolver_context = nullptr;
    String expression;  // private copy of the text being evaluated
    std::map<String, double, std::less<>> constants;
    std::map<String, UserFunctionEntry, std::less<>> user_functions;
    String last_error;
    // True while an evaluation runs; a nested call then keeps its copy elsewhere so that the
    // running parser's text is never reallocated under it.
    bool evaluating = false;

private:
    friend class detail::EvaluatorContextLifetime;
    EvaluatorContext();
};

}  // namespace vx
