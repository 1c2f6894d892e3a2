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
#include "text/number.h"

namespace vx {

namespace {

using namespace expr;

// Room for the stacks of every template text without touching the heap.
constexpr size_t kInlineValues = 32;
constexpr size_t kInlineOperators = 32;

// What a character starts, for the code units below 128 (every other unit starts nothing),
// plus whether it ends a name: blanks and control characters, round brackets, operators.
enum CharClass : uint8_t {
    kStartsNothing,  // ends the text without an error ("2 + 3 % 4" is 5)
    kStartsNumber,   // digits and "."
    kStartsSign,     // + -
    kStartsMulDiv,   // * /
    kStartsPower,    // ^
    kStartsOpen,     // ( [ {
    kStartsClose,    // ) ] }
    kStartsName,     // ASCII letters
};
constexpr uint8_t kClassMask = 7;
constexpr uint8_t kEndsName = 0x80;

struct CharTable {
    uint8_t entry[128];
};

constexpr CharTable MakeCharTable() {
    CharTable table{};
    for (int c = 0; c <= 32; ++c) table.entry[c] = kEndsName;
    for (int c = '0'; c <= '9'; ++c) table.entry[c] = kStartsNumber;
    for (int c = 'a'; c <= 'z'; ++c) table.entry[c] = kStartsName;
    for (int c = 'A'; c <= 'Z'; ++c) table.entry[c] = kStartsName;
    table.entry['.'] = kStartsNumber;
    table.entry['+'] = table.entry['-'] = kStartsSign | kEndsName;
    table.entry['*'] = table.entry['/'] = kStartsMulDiv | kEndsName;
    table.entry['^'] = kStartsPower | kEndsName;
    table.entry['('] = kStartsOpen | kEndsName;
    table.entry['['] = table.entry['{'] = kStartsOpen;
    table.entry[')'] = kStartsClose | kEndsName;
    table.entry[']'] = table.entry['}'] = kStartsClose;
    return table;
}
constexpr CharTable kChars = MakeCharTable();

// Masked, so that the switch over it needs no range check.
inline unsigned ClassOf(VXCHAR c) {
    return c < 128 ? kChars.entry[c] & kClassMask : kStartsNothing;
}

// A name runs up to a round bracket, an operator, a blank or control character, or the
// end. Everything else (digits, ".", "_", "[", ",", letters outside ASCII, lone surrogates)
// belongs to it.
inline bool EndsName(VXCHAR c) { return c < 128 && (kChars.entry[c] & kEndsName); }

// Puts a character of the private copy back when it goes out of scope, also when a callback
// throws.
class RestoreOnExit {
public:
    explicit RestoreOnExit(VXCHAR* at) : at_(at), saved_(*at) {}
    ~RestoreOnExit() { *at_ = saved_; }
    RestoreOnExit(const RestoreOnExit&) = delete;
    RestoreOnExit& operator=(const RestoreOnExit&) = delete;

private:
    VXCHAR* at_;
    VXCHAR saved_;
};

// One pass over the text: each token is read and acted on at once, numbers and names onto
// the value stack, operators and brackets onto the operator stack. Every character is read
// a bounded number of times.
class Parser {
public:
    // text: the private copy, which the parser may change for a moment (see LookUpName).
    Parser(EvaluatorContext& context, VXCHAR* text) : context_(context), text_(text) {}

    bool Run(double* result);

private:
    bool Fail(const VXCHAR* message);
    bool FailNaming(const VXCHAR* prefix, StringView name);

    bool PushTwoOperands(int16_t kind, VXCHAR symbol);
    bool ReadNumber(VXCHAR** at);
    bool ReadName(VXCHAR** at, int16_t* previous);
    bool Finish(double* result);
    bool CloseBracket();
    bool Apply(const Operator& op);
    bool LookUpName(VXCHAR* name, size_t length, double* value);
    bool CallFunction(const Operator& op, double argument, double* value);

    EvaluatorContext& context_;
    VXCHAR* text_;
    SmallStack<double, kInlineValues> values_;
    SmallStack<Operator, kInlineOperators> operators_;
};

bool Parser::Fail(const VXCHAR* message) {
    context_.last_error.assign(message);
    return false;
}

bool Parser::FailNaming(const VXCHAR* prefix, StringView name) {
    String& error = context_.last_error;
    error.assign(prefix);
    error.append(name);
    error.append(VXTEXT("' "));
    return false;
}

// Applies what binds at least as tightly below a two-operand operator, down to the nearest
// open bracket, then pushes it. Right after "(" that bracket is the top, so "(*2" pushes at
// once. In line: it runs once per operator.
[[gnu::always_inline]] inline bool Parser::PushTwoOperands(int16_t kind, VXCHAR symbol) {
    while (!operators_.empty()) {
        const Operator& top = operators_.top();
        if (kind > top.kind || top.kind == kOpen) break;
        if (!Apply(operators_.pop())) return false;
    }
    operators_.push(Operator{kind, symbol, 0, nullptr});
    return true;
}

// A number at *at onto the value stack. In line: most tokens are numbers.
[[gnu::always_inline]] inline bool Parser::ReadNumber(VXCHAR** at) {
    size_t consumed = 0;
    const double value = text::ReadNumber(*at, &consumed);
    if (consumed == 0) return Fail(VXTEXT("Error string"));
    values_.push(value);
    *at += consumed;
    return true;
}

// A name at *at: a call when a round bracket follows it, otherwise its value. In line: most
// texts hold names.
[[gnu::always_inline]] inline bool Parser::ReadName(VXCHAR** at, int16_t* previous) {
    VXCHAR* p = *at;
    VXCHAR* end = p + 1;
    while (!EndsName(*end)) ++end;
    const size_t length = static_cast<size_t>(end - p);
    if (length > kMaxNameLength) return Fail(VXTEXT("Error string"));
    if (*end == '(') {
        operators_.push(Operator{kCall, *p, static_cast<uint16_t>(length), p});
        *previous = kCall;
    } else {
        double value = 0.0;
        if (!LookUpName(p, length, &value)) return false;
        values_.push(value);
        *previous = kName;
    }
    *at = end;
    return true;
}

bool Parser::Run(double* result) {
    VXCHAR* p = text_;
    int16_t previous = kEnd;  // kind of the token read last
    for (;;) {
        while (static_cast<uint32_t>(*p) - 1u < 32u) ++p;  // codes 1 to 32
        const VXCHAR c = *p;
        int16_t kind;  // of a two-operand operator to push
        switch (ClassOf(c)) {
            case kStartsNumber:
                if (!ReadNumber(&p)) return false;
                previous = kNumber;
                continue;
            case kStartsSign:
                if (previous == kSign) return Fail(VXTEXT("Error string"));
                if (previous != kNumber && previous != kName && previous != kClose) {
                    // At the start, after "(" or after an operator.
                    operators_.push(Operator{kSign, c, 0, nullptr});
                    previous = kSign;
                    ++p;
                    continue;
                }
                kind = kAddSub;
                break;
            case kStartsMulDiv: kind = kMulDiv; break;
            case kStartsPower: kind = kPower; break;
            case kStartsOpen:
                if (previous == kNumber) goto implicit_multiplication;  // "2(3+4)"
                ++p;
                operators_.push(Operator{kOpen, c, 0, nullptr});
                previous = kOpen;
                continue;
            case kStartsClose:
                ++p;
                if (previous == kOpen) {
                    // "()" keeps its closing bracket on the stack, where applying it does
                    // nothing.
                    operators_.push(Operator{kClose, c, 0, nullptr});
                } else if (!CloseBracket()) {
                    return false;
                }
                previous = kClose;
                continue;
            case kStartsName:
                if (previous == kNumber) goto implicit_multiplication;  // "2pi"
                if (!ReadName(&p, &previous)) return false;
                continue;
            default: return Finish(result);  // the end, or a character that starts no token
        }
        ++p;
        if (!PushTwoOperands(kind, c)) return false;
        previous = kind;
        continue;
    implicit_multiplication:
        // The bracket or name is read again as the next token.
        if (!PushTwoOperands(kMulDiv, '*')) return false;
        previous = kMulDiv;
    }
}

// What is left on the operator stack is applied; one value must remain.
bool Parser::Finish(double* result) {
    while (!operators_.empty()) {
        const Operator op = operators_.pop();
        if (op.kind == kOpen) return Fail(VXTEXT("missing ')'"));
        if (!Apply(op)) return false;
    }
    if (values_.empty()) return true;  // *result already holds 0.0
    *result = values_.pop();
    if (!values_.empty()) return Fail(VXTEXT("number not fit operator count"));
    return true;
}

// Applies everything down to the matching open bracket and drops it; a function call below
// the bracket stays until an operator or the end applies it.
bool Parser::CloseBracket() {
    for (;;) {
        if (operators_.empty()) return Fail(VXTEXT("Missing '('"));
        const Operator op = operators_.pop();
        if (op.kind == kOpen) return true;
        if (!Apply(op)) return false;
    }
}

// In line: it runs once per operator, and a call would cost more than most operators do.
inline bool Parser::Apply(const Operator& op) {
    // Brackets reach here only as "()" and change nothing, not even with no value about:
    // "()" fails for its open bracket, not for a missing number.
    if (op.kind == kOpen || op.kind == kClose) return true;
    if (values_.empty()) return Fail(VXTEXT("no number"));
    if (op.kind == kSign) {
        // 0.0 - a rather than -a, so that "-0" is positive zero.
        if (op.symbol == '-') values_.top() = 0.0 - values_.top();
        return true;
    }
    if (op.kind == kCall) {
        double value = 0.0;
        if (!CallFunction(op, values_.top(), &value)) return false;
        values_.top() = value;
        return true;
    }
    if (values_.size() < 2) return Fail(VXTEXT("no number"));
    const double b = values_.pop();
    double& a = values_.top();
    switch (op.kind) {
        case kAddSub: a = op.symbol == '+' ? a + b : a - b; return true;
        case kMulDiv:
            if (op.symbol == '*') {
                a = a * b;
                return true;
            }
            if (b == 0.0) return Fail(VXTEXT("Error: /0.0"));
            a = a / b;
            return true;
        case kPower:
            if (b == 0.0) {
                a = 1.0;
                return true;
            }
            if (a < 0.0 && b > -1.0 && b < 1.0) {
                return Fail(VXTEXT("Error: pow second < 1.0 where first < 0.0"));
            }
            a = std::pow(a, b);
            return true;
        default: return true;
    }
}

// The resolver first, then the constants (case-sensitive: "PI" is not "pi"). The resolver
// gets the name in place, ended for the moment by a zero in the private copy.
bool Parser::LookUpName(VXCHAR* name, size_t length, double* value) {
    if (context_.resolver) {
        RestoreOnExit restore(name + length);
        name[length] = 0;
        double resolved = 0.0;
        if (context_.resolver(name, &resolved, context_.resolver_context)) {
            *value = resolved;
            return true;
        }
    }
    const StringView view(name, length);
    const auto constant = context_.constants.find(view);
    if (constant != context_.constants.end()) {
        *value = constant->second;
        return true;
    }
    return FailNaming(VXTEXT("Error variable name: '"), view);
}

// A user function first, found only by its exact (lower-case) name; when it declines, the
// built-in functions, whose names ignore letter case.
bool Parser::CallFunction(const Operator& op, double argument, double* value) {
    const auto entry = context_.user_functions.find(op.NameView());
    if (entry != context_.user_functions.end()) {
        // Copied: the function may redefine itself while it runs.
        const UserFunctionEntry function = entry->second;
        double computed = 0.0;
        if (function.function(argument, &computed, function.context)) {
            *value = computed;
            return true;
        }
    }
    if (CallBuiltinFunction(op.NameView(), argument, value)) return true;
    return FailNaming(VXTEXT("Error function name: '"), op.NameView());
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
bool EvaluateCopy(EvaluatorContext& shared, String& copy, double* result) {
    double dropped = 0.0;
    if (!result) result = &dropped;
    *result = 0.0;
    EvaluationScope scope(shared);
    Parser parser(shared, copy.data());
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

// The length of a zero-terminated text, four units a round: the library's strlen for 16-bit
// units goes one unit a round and costs about a tenth of a template text's evaluation. Never
// reads past the terminator.
size_t LengthOf(const VXCHAR* text) {
    const VXCHAR* p = text;
    while (p[0] && p[1] && p[2] && p[3]) p += 4;
    while (*p) ++p;
    return static_cast<size_t>(p - text);
}

}  // namespace

bool ExpressionEvaluator::Evaluate(const VXCHAR* text, double* result, VariableResolver resolver,
                                   void* context) {
    EvaluatorContext& shared = Prepare(resolver, context);
    if (!text) return false;
    String nested_copy;
    String& copy = shared.evaluating ? nested_copy : shared.expression;
    copy.assign(text, LengthOf(text));
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
