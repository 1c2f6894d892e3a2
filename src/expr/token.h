// Tokens of an expression text (the reader that produces them: expr/tokenizer.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/string.h"

namespace vx::expr {

// Kinds 1 to 7 double as operator precedence: a larger value binds more tightly, compared
// as plain signed numbers (so an Open on the operator stack outranks every operator).
enum TokenKind : int16_t {
    kInvalid = -1,  // a number that cannot be read, or a sign right after a sign
    kEnd = 0,       // end of text, or a character that starts no token
    kAddSub = 1,    // two-operand + or -
    kMulDiv = 2,    // * or /, and the implicit multiplication after a number
    kSign = 3,      // unary + or -
    kPower = 4,     // ^
    kCall = 5,      // a name immediately followed by "("
    kOpen = 6,      // ( [ {
    kClose = 7,     // ) ] }
    kName = 10,     // any other name
    kNumber = 11,   // a number literal
};

// The longest name a token holds. A longer name reads as kInvalid (the evaluation fails with
// "Error string"), the same as any other text the reader cannot take in; it is never
// truncated, which could silently bind a different, shorter name.
constexpr size_t kMaxNameLength = 127;

// One token, 16 bytes. Names are not copied: name points into the evaluator's private copy
// of the text, which outlives every token of the evaluation. Small entries keep a deeply
// nested text's operator stack small too.
struct Token {
    int16_t kind;
    int16_t previous;  // kind of the token read just before, kEnd before the first
    VXCHAR symbol;     // operator or bracket character; '*' for the implicit multiplication
    uint16_t length;   // kName, kCall: length of the name (at most kMaxNameLength)
    union {
        double number;       // kNumber
        const VXCHAR* name;  // kName, kCall: first character of the name
    };

    StringView NameView() const { return StringView(name, length); }
};
static_assert(kMaxNameLength <= UINT16_MAX, "a name's length fits the token");

}  // namespace vx::expr
