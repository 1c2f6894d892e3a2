#include "expr/token.h"

#include "text/number.h"

namespace vx::expr {

namespace {

bool IsDigit(VXCHAR c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(VXCHAR c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A name runs up to a round bracket, an operator, a blank or control character, or the
// end. Everything else (digits, ".", "_", "[", ",", letters outside ASCII, lone surrogates)
// belongs to it.
bool EndsName(VXCHAR c) {
    if (c <= 32) return true;
    switch (c) {
    case '(': case ')': case '+': case '-': case '*': case '/': case '^':
        return true;
    default:
        return false;
    }
}

}  // namespace

Token Tokenizer::Next(int16_t previous) {
    const VXCHAR* p = cursor_;
    while (*p != 0 && *p <= 32) ++p;

    Token token;
    token.kind = kEnd;
    token.previous = previous;
    token.symbol = *p;
    token.length = 0;
    token.number = 0.0;

    const VXCHAR c = *p;
    if (c == 0) {
        cursor_ = p;
        return token;
    }
    if (c == '.' || IsDigit(c)) {
        size_t consumed = 0;
        const double value = text::ReadNumber(p, &consumed);
        if (consumed == 0) {
            token.kind = kInvalid;
        } else {
            token.kind = kNumber;
            token.number = value;
            p += consumed;
        }
        cursor_ = p;
        return token;
    }
    switch (c) {
    case '+':
    case '-':
        if (previous == kSign) {
            token.kind = kInvalid;
        } else if (previous == kNumber || previous == kName || previous == kClose) {
            token.kind = kAddSub;
        } else {
            token.kind = kSign;  // at the start, after "(" or after an operator
        }
        cursor_ = p + 1;
        return token;
    case '*':
    case '/':
        token.kind = kMulDiv;
        cursor_ = p + 1;
        return token;
    case '(':
    case '[':
    case '{':
        if (previous == kNumber) {
            // "2(3+4)": multiply, and read the bracket again as the next token.
            token.kind = kMulDiv;
            token.symbol = '*';
            cursor_ = p;
        } else {
            token.kind = kOpen;
            cursor_ = p + 1;
        }
        return token;
    case ')':
    case ']':
    case '}':
        token.kind = kClose;
        cursor_ = p + 1;
        return token;
    case '^':
        token.kind = kPower;
        cursor_ = p + 1;
        return token;
    default:
        break;
    }
    if (IsAsciiLetter(c)) {
        if (previous == kNumber) {
            // "2pi": multiply, and read the name as the next token.
            token.kind = kMulDiv;
            token.symbol = '*';
            cursor_ = p;
            return token;
        }
        const VXCHAR* end = p + 1;
        while (!EndsName(*end)) ++end;
        const size_t length = static_cast<size_t>(end - p);
        cursor_ = end;
        if (length > kMaxNameLength) {
            token.kind = kInvalid;
            return token;
        }
        token.kind = *end == '(' ? kCall : kName;
        token.name = p;
        token.length = static_cast<uint16_t>(length);
        return token;
    }
    // Any other character ends the text without an error ("2 + 3 % 4" is 5).
    cursor_ = p;
    return token;
}

}  // namespace vx::expr
