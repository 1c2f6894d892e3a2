// The kinds of token in an expression text, and the entries of the parser's operator stack.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/string.h"

namespace vx::expr {

// Kinds 1 to 7 double as operator precedence: a larger value binds more tightly, compared
// as plain signed numbers (so an Open on the operator stack outranks every operator).
enum TokenKind : int16_t {
    kEnd = 0,      // nothing read yet
    kAddSub = 1,   // two-operand + or -
    kMulDiv = 2,   // * or /, and the implicit multiplication after a number
    kSign = 3,     // unary + or -
    kPower = 4,    // ^
    kCall = 5,     // a name immediately followed by "("
    kOpen = 6,     // ( [ {
    kClose = 7,    // ) ] }
    kName = 10,    // any other name
    kNumber = 11,  // a number literal
};

// The longest name the reader takes. A longer name fails the evaluation with "Error
// string", the same as any other text the reader cannot take in; it is never truncated,
// which could silently bind a different, shorter name.
constexpr size_t kMaxNameLength = 127;

// An entry of the operator stack, 16 bytes, so that a deeply nested text's stack stays
// small. Names are not copied: name points into the evaluator's private copy of the text,
// which outlives every entry of the evaluation.
struct Operator {
    int16_t kind;
    VXCHAR symbol;       // operator or bracket character; '*' for the implicit multiplication
    uint16_t length;     // kCall: length of the name (at most kMaxNameLength)
    const VXCHAR* name;  // kCall: first character of the name

    StringView NameView() const { return StringView(name, length); }
};
static_assert(kMaxNameLength <= UINT16_MAX, "a name's length fits the entry");

}  // namespace vx::expr
