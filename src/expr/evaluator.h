// The expression evaluator: turns the arithmetic texts of figure templates ("100.000000 +
// (300.000000 - 100.000000)*(0.25 + a/2)") into doubles.
//
// Texts know numbers, + - * / ^, unary signs, brackets ( [ {, one-argument functions, named
// constants and variables that the caller resolves for the duration of one evaluation.
// Failure is a false result plus an error text (GetLastErrorText).
//
// The engine is one process-wide EvaluatorContext (evaluator_context.h), built while the
// library loads, plus a parser that lives for one Evaluate call. It is for one thread: the
// context is shared without a lock.
#pragma once

#include <initializer_list>

#include "text/string.h"

namespace vx {

// Answers true and writes *value when it knows the zero-terminated name.
using VariableResolver = bool (*)(const VXCHAR* name, double* value, void* context);

// Answers true when it wrote *result for the argument.
using UserFunction = bool (*)(double argument, double* result, void* context);

class ExpressionEvaluator {
public:
    // Evaluates a zero-terminated text. Stores resolver and context in the shared context
    // (they stay there until the next call), clears the last error text, writes 0.0 to
    // *result and evaluates. True on success with the value in *result. On failure *result
    // stays 0.0, except after "number not fit operator count", where it holds the value that
    // was on top of the value stack. A null text answers false at once without writing
    // *result; a null result is allowed (the value is then dropped).
    //
    // A resolver or user function should not call Evaluate: the inner call replaces the
    // shared resolver and error text under the running one. It does not corrupt the running
    // evaluation, whose text copy stays intact.
    static bool Evaluate(const VXCHAR* text, double* result, VariableResolver resolver,
                         void* context);
    // The same for a text given in pieces, read as their concatenation (a zero in a piece
    // ends the text there, as in one zero-terminated string). Saves the caller a copy.
    static bool Evaluate(std::initializer_list<StringView> pieces, double* result,
                         VariableResolver resolver, void* context);

    // Names are lower-cased (ASCII letters) and then accepted when their first character is
    // not a digit and every character is a-z or 0-9; the empty name is accepted.
    // Stores or replaces a constant; false for a rejected name.
    static bool DefineConstant(const VXCHAR* name, double value);
    // With a function, stores or replaces it (true); with null, removes the entry (true if
    // there was one). False for a rejected name.
    static bool DefineFunction(const VXCHAR* name, UserFunction function, void* context);

    // The last evaluation's error text; empty after a success. Valid until the next call.
    static const String& GetLastErrorText();
};

namespace detail {
// Builds the shared context during the static initialisation of the first translation unit
// that includes this header and destroys it with the last one, so that code running while
// the library loads can evaluate whatever order the linker chose (the iostream idiom).
class EvaluatorContextLifetime {
public:
    EvaluatorContextLifetime();
    ~EvaluatorContextLifetime();
    EvaluatorContextLifetime(const EvaluatorContextLifetime&) = delete;
    EvaluatorContextLifetime& operator=(const EvaluatorContextLifetime&) = delete;
};
static EvaluatorContextLifetime evaluator_context_lifetime;
}  // namespace detail

}  // namespace vx
