// The reader of expression tokens. Defined inline here, for the parser's one loop to
// compile it in: a call per token would cost about a tenth of an evaluation.
#pragma once

#include "expr/token.h"
#include "text/number.h"

namespace vx::expr {

// Reads tokens from a zero-terminated text. Every character is examined a bounded number of
// times (an implicit multiplication leaves its bracket or letter to be read once more).
class Tokenizer {
public:
    explicit Tokenizer(const VXCHAR* text) : cursor_(text) {}
    Token Next(int16_t previous);

private:
    // The three kinds of token that start at p; each moves the cursor past what it read.
    Token Number(const VXCHAR* p, Token token);
    bool Operator(const VXCHAR* p, Token* token);  // false: no operator or bracket at p
    Token Name(const VXCHAR* p, Token token);

    const VXCHAR* cursor_;
};

namespace detail {

inline bool IsDigit(VXCHAR c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiLetter(VXCHAR c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A name runs up to a round bracket, an operator, a blank or control character, or the
// end. Everything else (digits, ".", "_", "[", ",", letters outside ASCII, lone surrogates)
// belongs to it.
inline bool EndsName(VXCHAR c) {
    if (c <= 32) return true;
    switch (c) {
        case '(':
        case ')':
        case '+':
        case '-':
        case '*':
        case '/':
        case '^': return true;
        default: return false;
    }
}

}  // namespace detail

inline Token Tokenizer::Next(int16_t previous) {
    const VXCHAR* p = cursor_;
    while (static_cast<uint32_t>(*p) - 1u < 32u) ++p;  // codes 1 to 32

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
    if (c == '.' || detail::IsDigit(c)) return Number(p, token);
    if (Operator(p, &token)) return token;
    if (detail::IsAsciiLetter(c)) return Name(p, token);
    // Any other character ends the text without an error ("2 + 3 % 4" is 5).
    cursor_ = p;
    return token;
}

inline Token Tokenizer::Number(const VXCHAR* p, Token token) {
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

inline bool Tokenizer::Operator(const VXCHAR* p, Token* out) {
    Token& token = *out;
    const int16_t previous = token.previous;
    switch (*p) {
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
            return true;
        case '*':
        case '/':
            token.kind = kMulDiv;
            cursor_ = p + 1;
            return true;
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
            return true;
        case ')':
        case ']':
        case '}':
            token.kind = kClose;
            cursor_ = p + 1;
            return true;
        case '^':
            token.kind = kPower;
            cursor_ = p + 1;
            return true;
        default: return false;
    }
}

inline Token Tokenizer::Name(const VXCHAR* p, Token token) {
    if (token.previous == kNumber) {
        // "2pi": multiply, and read the name as the next token.
        token.kind = kMulDiv;
        token.symbol = '*';
        cursor_ = p;
        return token;
    }
    const VXCHAR* end = p + 1;
    while (!detail::EndsName(*end)) ++end;
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

}  // namespace vx::expr
