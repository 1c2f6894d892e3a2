// Evaluate: one pass over the tokens with a value stack and an operator stack.
//
// Operators of equal precedence associate to the left, "^" included (2^3^2 is 64); a unary
// sign binds less tightly than "^" (-2^2 is -4) and more tightly than "*" and "+"; a function
// is applied to its bracket's value when a two-operand operator follows or the text ends.
#include <cmath>
#include <cstring>

#include "expr/builtin_functions.h"
#include "expr/evaluator.h"
#include "expr/evaluator_context.h"
#include "expr/small_stack.h"
#include "expr/token.h"
#include "expr/tokenizer.h"

namespace vx {

namespace {

using namespace expr;

// Room for the stacks of every template text without touching the heap.
constexpr size_t kInlineValues = 32;
constexpr size_t kInlineOperators = 32;

class Parser {
public:
    Parser(EvaluatorContext& context, const VXCHAR* text) : context_(context), tokens_(text) {}

    bool Run(double* result);

private:
    bool Fail(const VXCHAR* message);
    bool FailNaming(const VXCHAR* prefix, const Token& token);

    bool PushOperator(const Token& token);
    bool CloseBracket(const Token& token);
    bool Apply(const Token& op);
    bool PopTwo(double* a, double* b);
    bool LookUpName(const Token& token, double* value);
    bool CallFunction(const Token& token, double argument, double* value);

    EvaluatorContext& context_;
    Tokenizer tokens_;
    SmallStack<double, kInlineValues> values_;
    SmallStack<Token, kInlineOperators> operators_;
};

bool Parser::Fail(const VXCHAR* message) {
    context_.last_error.assign(message);
    return false;
}

bool Parser::FailNaming(const VXCHAR* prefix, const Token& token) {
    String& error = context_.last_error;
    error.assign(prefix);
    error.append(token.NameView());
    error.append(VXTEXT("' "));
    return false;
}

bool Parser::Run(double* result) {
    int16_t previous = kEnd;
    for (;;) {
        const Token token = tokens_.Next(previous);
        switch (token.kind) {
            case kInvalid: return Fail(VXTEXT("Error string"));
            case kEnd: break;
            case kNumber: values_.push(token.number); break;
            case kName: {
                double value = 0.0;
                if (!LookUpName(token, &value)) return false;
                values_.push(value);
                break;
            }
            case kSign:
            case kOpen:
            case kCall: operators_.push(token); break;
            case kClose:
                if (!CloseBracket(token)) return false;
                break;
            default:  // kAddSub, kMulDiv, kPower
                if (!PushOperator(token)) return false;
                break;
        }
        if (token.kind == kEnd) break;
        previous = token.kind;
    }

    while (!operators_.empty()) {
        const Token op = operators_.pop();
        if (op.kind == kOpen) return Fail(VXTEXT("missing ')'"));
        if (!Apply(op)) return false;
    }
    if (values_.empty()) return true;  // *result already holds 0.0
    *result = values_.pop();
    if (!values_.empty()) return Fail(VXTEXT("number not fit operator count"));
    return true;
}

// A two-operand operator first applies what binds at least as tightly below it, down to the
// nearest open bracket. Right after "(" that bracket is the top, so "(*2" pushes at once.
bool Parser::PushOperator(const Token& token) {
    if (operators_.empty() || token.kind > operators_.top().kind) {
        operators_.push(token);
        return true;
    }
    do {
        if (operators_.top().kind == kOpen) break;
        const Token op = operators_.pop();
        if (!Apply(op)) return false;
        if (operators_.empty()) break;
    } while (token.kind <= operators_.top().kind);
    operators_.push(token);
    return true;
}

// Applies everything down to the matching open bracket and drops it; a function call below
// the bracket stays until an operator or the end applies it. "()" keeps its closing bracket
// on the stack, where applying it does nothing.
bool Parser::CloseBracket(const Token& token) {
    if (token.previous == kOpen) {
        operators_.push(token);
        return true;
    }
    for (;;) {
        if (operators_.empty()) return Fail(VXTEXT("Missing '('"));
        const Token op = operators_.pop();
        if (op.kind == kOpen) return true;
        if (!Apply(op)) return false;
    }
}

bool Parser::PopTwo(double* a, double* b) {
    if (values_.empty()) return Fail(VXTEXT("no number"));
    *b = values_.pop();
    if (values_.empty()) return Fail(VXTEXT("no number"));
    *a = values_.pop();
    return true;
}

bool Parser::Apply(const Token& op) {
    // Brackets reach here only as "()" and change nothing, not even with no value about:
    // "()" fails for its open bracket, not for a missing number.
    if (op.kind == kOpen || op.kind == kClose) return true;
    if (values_.empty()) return Fail(VXTEXT("no number"));
    double a = 0.0;
    double b = 0.0;
    switch (op.kind) {
        case kAddSub:
            if (!PopTwo(&a, &b)) return false;
            values_.push(op.symbol == '+' ? a + b : a - b);
            return true;
        case kMulDiv:
            if (!PopTwo(&a, &b)) return false;
            if (op.symbol == '*') {
                values_.push(a * b);
                return true;
            }
            if (b == 0.0) return Fail(VXTEXT("Error: /0.0"));
            values_.push(a / b);
            return true;
        case kSign:
            // 0.0 - a rather than -a, so that "-0" is positive zero.
            if (op.symbol == '-') values_.top() = 0.0 - values_.top();
            return true;
        case kPower:
            if (!PopTwo(&a, &b)) return false;
            if (b == 0.0) {
                values_.push(1.0);
                return true;
            }
            if (a < 0.0 && b > -1.0 && b < 1.0) {
                return Fail(VXTEXT("Error: pow second < 1.0 where first < 0.0"));
            }
            values_.push(std::pow(a, b));
            return true;
        case kCall: {
            double value = 0.0;
            if (!CallFunction(op, values_.pop(), &value)) return false;
            values_.push(value);
            return true;
        }
        default: return true;
    }
}

// The resolver first, then the constants (case-sensitive: "PI" is not "pi").
bool Parser::LookUpName(const Token& token, double* value) {
    if (context_.resolver) {
        // Names are short: a plain loop beats a call to memcpy.
        VXCHAR name[kMaxNameLength + 1];
        for (size_t i = 0; i < token.length; ++i) name[i] = token.name[i];
        name[token.length] = 0;
        double resolved = 0.0;
        if (context_.resolver(name, &resolved, context_.resolver_context)) {
            *value = resolved;
            return true;
        }
    }
    const auto constant = context_.constants.find(token.NameView());
    if (constant != context_.constants.end()) {
        *value = constant->second;
        return true;
    }
    return FailNaming(VXTEXT("Error variable name: '"), token);
}

// A user function first, found only by its exact (lower-case) name; when it declines, the
// built-in functions, whose names ignore letter case.
bool Parser::CallFunction(const Token& token, double argument, double* value) {
    const auto entry = context_.user_functions.find(token.NameView());
    if (entry != context_.user_functions.end()) {
        // Copied: the function may redefine itself while it runs.
        const UserFunctionEntry function = entry->second;
        double computed = 0.0;
        if (function.function(argument, &computed, function.context)) {
            *value = computed;
            return true;
        }
    }
    if (CallBuiltinFunction(token.NameView(), argument, value)) return true;
    return FailNaming(VXTEXT("Error function name: '"), token);
}

// Marks the shared context busy for the length of one evaluation, also when a callback
// throws.
class EvaluationScope {
public:
    explicit EvaluationScope(EvaluatorContext& context)
        : context_(context), outer_(context.evaluating) {
        context_.evaluating = true;
    }
    ~EvaluationScope() { context_.evaluating = outer_; }
    EvaluationScope(const EvaluationScope&) = delete;
    EvaluationScope& operator=(const EvaluationScope&) = delete;

private:
    EvaluatorContext& context_;
    bool outer_;
};

// Evaluate's common part: shared is prepared and the text is in its copy.
bool EvaluateCopy(EvaluatorContext& shared, const String& copy, double* result) {
    double dropped = 0.0;
    if (!result) result = &dropped;
    *result = 0.0;
    EvaluationScope scope(shared);
    Parser parser(shared, copy.c_str());
    return parser.Run(result);
}

// The parser reads a private copy. A nested call (from a callback) must not reallocate the
// copy that the running parser reads, so it keeps its own.
EvaluatorContext& Prepare(VariableResolver resolver, void* context) {
    EvaluatorContext& shared = EvaluatorContext::Instance();
    shared.resolver = resolver;
    shared.resolver_context = context;
    shared.last_error.clear();
    return shared;
}

}  // namespace

bool ExpressionEvaluator::Evaluate(const VXCHAR* text, double* result, VariableResolver resolver,
                                   void* context) {
    EvaluatorContext& shared = Prepare(resolver, context);
    if (!text) return false;
    String nested_copy;
    String& copy = shared.evaluating ? nested_copy : shared.expression;
    copy.assign(text);
    return EvaluateCopy(shared, copy, result);
}

bool ExpressionEvaluator::Evaluate(std::initializer_list<StringView> pieces, double* result,
                                   VariableResolver resolver, void* context) {
    EvaluatorContext& shared = Prepare(resolver, context);
    String nested_copy;
    String& copy = shared.evaluating ? nested_copy : shared.expression;
    copy.clear();
    for (const StringView piece : pieces) copy.append(piece);
    return EvaluateCopy(shared, copy, result);
}

}  // namespace vx
