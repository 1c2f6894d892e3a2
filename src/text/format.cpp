// printf-style formatting without the C library: std::to_chars gives the exactly rounded
// fixed-point digits (ties to even, as glibc's printf), the rest is done here, so the output
// is the same on every build and in every locale.
#include "text/format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "text/utf.h"

namespace vx::text {
namespace {

// Width and precision are capped, so that a hostile pattern or precision cannot ask for
// gigabytes of padding.
constexpr int kMaxCount = 4096;
// A double has at most 1074 fraction digits; beyond them every digit is 0.
constexpr int kMaxFractionDigits = 1074;

template <typename Out>
void PutChar(Out& out, char c) {
    out.push_back(static_cast<typename Out::value_type>(c));
}

// Widened in chunks and appended, rather than one push_back per character.
template <typename Out>
void PutAscii(Out& out, const char* text, size_t size) {
    typename Out::value_type chunk[64];
    while (size > 0) {
        const size_t n = size < 64 ? size : 64;
        for (size_t i = 0; i < n; ++i) chunk[i] = static_cast<typename Out::value_type>(text[i]);
        out.append(chunk, n);
        text += n;
        size -= n;
    }
}

template <typename Out>
void PutRepeated(Out& out, char c, int count) {
    if (count > 0) out.append(static_cast<size_t>(count), static_cast<typename Out::value_type>(c));
}

struct Directive {
    bool left = false;   // '-'
    bool plus = false;   // '+'
    bool space = false;  // ' '
    bool zero = false;   // '0'
    bool alt = false;    // '#'
    int width = 0;
    int precision = -1;  // -1: none given
    char conversion = 0;
};

// Emits prefix (sign) and body padded to the width: spaces on the left, spaces on the right
// with '-', or zeros between prefix and body with '0'.
template <typename Out>
void PutPadded(Out& out, const Directive& directive, const char* prefix, size_t prefixSize,
               const char* body, size_t bodySize, bool zeroPad) {
    const int length = static_cast<int>(prefixSize + bodySize);
    const int pad = directive.width > length ? directive.width - length : 0;
    if (!directive.left && !zeroPad) PutRepeated(out, ' ', pad);
    PutAscii(out, prefix, prefixSize);
    if (!directive.left && zeroPad) PutRepeated(out, '0', pad);
    PutAscii(out, body, bodySize);
    if (directive.left) PutRepeated(out, ' ', pad);
}

// Writes the last `count` decimal digits of v (zero-padded) to text[0..count), two at a time.
void PutDigits(char* text, uint64_t v, int count) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    for (; count >= 2; count -= 2, v /= 100) {
        text[count - 2] = kPairs[2 * (v % 100)];
        text[count - 1] = kPairs[2 * (v % 100) + 1];
    }
    if (count == 1) text[0] = static_cast<char>('0' + v % 10);
}

// The "%.<precision>f" digits of a magnitude below 2^44 / 10^precision (precision at most
// 12) into text; their count, or 0 when the value is not of that kind or lies too near a
// tie between two last digits. magnitude * 10^precision is then below 2^44, within 2^-10
// of its exact value, so away from a tie its nearest integer is the exactly rounded one.
int ShortFixedDigits(double magnitude, int precision, char* text) {
    static constexpr double kScale[13] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                          1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    if (precision > 12) return 0;
    const double scaled = magnitude * kScale[precision];
    if (!(scaled < 0x1p44)) return 0;  // NaN too
    const auto whole = static_cast<uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    if (fraction > 0.5 - 0x1p-9 && fraction < 0.5 + 0x1p-9) return 0;
    const uint64_t digits = whole + (fraction > 0.5 ? 1 : 0);
    // The precisions the library prints with ("%f", "%4.12f") divide by a constant, which
    // compiles to a multiplication.
    uint64_t integer, rest;
    if (precision == 6) {
        integer = digits / 1000000, rest = digits % 1000000;
    } else if (precision == 12) {
        integer = digits / 1000000000000, rest = digits % 1000000000000;
    } else {
        const auto unit = static_cast<uint64_t>(kScale[precision]);
        integer = digits / unit, rest = digits % unit;
    }
    int size = 1;
    for (uint64_t v = integer; v >= 10; v /= 10) ++size;
    PutDigits(text, integer, size);
    if (precision == 0) return size;
    text[size] = '.';
    PutDigits(text + size + 1, rest, precision);
    return size + 1 + precision;
}

template <typename Out>
[[gnu::noinline]] void PutLongReal(Out& out, const Directive& directive, const char* sign,
                                   size_t signSize, double magnitude, int precision) {
    char digits[312 + kMaxCount];
    const int direct = precision < kMaxFractionDigits ? precision : kMaxFractionDigits;
    const auto result =
        std::to_chars(digits, digits + sizeof digits, magnitude, std::chars_format::fixed, direct);
    size_t size = static_cast<size_t>(result.ptr - digits);
    for (int i = direct; i < precision; ++i) digits[size++] = '0';
    if (precision == 0 && directive.alt) digits[size++] = '.';
    PutPadded(out, directive, sign, signSize, digits, size, directive.zero);
}

template <typename Out>
void PutReal(Out& out, const Directive& directive, double value) {
    const int precision = directive.precision < 0 ? 6 : directive.precision;
    char sign[1];
    size_t signSize = 0;
    if (std::signbit(value)) {
        sign[signSize++] = '-';
    } else if (directive.plus) {
        sign[signSize++] = '+';
    } else if (directive.space) {
        sign[signSize++] = ' ';
    }
    const bool upper = directive.conversion == 'F';
    if (!std::isfinite(value)) {
        const char* body = std::isnan(value) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        PutPadded(out, directive, sign, signSize, body, 3, false);
        return;
    }
    // A short value prints from a small buffer; any other needs room for up to 309 integer
    // digits, the point, the fraction digits and the '#' point.
    char digits[48];
    const int size = ShortFixedDigits(std::fabs(value), precision, digits);
    if (size > 0) {
        size_t length = static_cast<size_t>(size);
        if (precision == 0 && directive.alt) digits[length++] = '.';
        PutPadded(out, directive, sign, signSize, digits, length, directive.zero);
        return;
    }
    PutLongReal(out, directive, sign, signSize, std::fabs(value), precision);
}

template <typename Out>
void PutInteger(Out& out, const Directive& directive, int64_t value) {
    uint64_t magnitude;
    char sign[1];
    size_t signSize = 0;
    if (directive.conversion == 'u') {
        // As printf reads an int argument: a negative value wraps modulo 2^32.
        magnitude =
            value < 0 ? (static_cast<uint64_t>(value) & 0xFFFFFFFFu) : static_cast<uint64_t>(value);
    } else {
        magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        if (value < 0) {
            sign[signSize++] = '-';
        } else if (directive.plus) {
            sign[signSize++] = '+';
        } else if (directive.space) {
            sign[signSize++] = ' ';
        }
    }
    char reversed[24];
    int count = 0;
    for (; magnitude != 0; magnitude /= 10)
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
    // The precision is the least number of digits; "%.0d" prints nothing for 0.
    const int minDigits = directive.precision < 0 ? 1 : directive.precision;
    const int leadingZeros = minDigits > count ? minDigits - count : 0;
    // Zeros of the precision are part of the body; they can reach kMaxCount.
    char body[kMaxCount + 24];
    size_t size = 0;
    for (int i = 0; i < leadingZeros; ++i) body[size++] = '0';
    while (count > 0) body[size++] = reversed[--count];
    PutPadded(out, directive, sign, signSize, body, size,
              directive.zero && directive.precision < 0);
}

// Text padded to the width, which counts code units of the output.
template <typename Out, typename Text>
void PutPaddedText(Out& out, const Directive& directive, const Text& text) {
    const size_t width = static_cast<size_t>(directive.width);
    const int pad = width > text.size() ? static_cast<int>(width - text.size()) : 0;
    if (!directive.left) PutRepeated(out, ' ', pad);
    out.append(text.data(), text.size());
    if (directive.left) PutRepeated(out, ' ', pad);
}

void PutText(String& out, const Directive& directive, StringView text) {
    PutPaddedText(out, directive, text);
}

void PutText(std::string& out, const Directive& directive, StringView text) {
    PutPaddedText(out, directive, ToUtf8(text));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int ReadCount(const char*& p) {
    int value = 0;
    for (; IsDigit(*p); ++p) {
        if (value < kMaxCount) value = value * 10 + (*p - '0');
    }
    return value < kMaxCount ? value : kMaxCount;
}

// Flags, width, precision, length modifiers (read and ignored) and the conversion of the
// directive that starts after its "%" at p; p ends on the conversion character.
Directive ReadDirective(const char*& p) {
    Directive directive;
    for (;; ++p) {
        if (*p == '-') directive.left = true;
        else if (*p == '+') directive.plus = true;
        else if (*p == ' ') directive.space = true;
        else if (*p == '0') directive.zero = true;
        else if (*p == '#') directive.alt = true;
        else break;
    }
    directive.width = ReadCount(p);
    if (*p == '.') {
        ++p;
        directive.precision = ReadCount(p);
    }
    while (*p == 'h' || *p == 'l' || *p == 'L' || *p == 'q' || *p == 'j' || *p == 'z' ||
           *p == 't') {
        ++p;
    }
    directive.conversion = *p;
    return directive;
}

// A "%s" text cut to the precision, never inside a surrogate pair.
StringView Clipped(const Directive& directive, StringView text) {
    if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < text.size()) {
        size_t keep = static_cast<size_t>(directive.precision);
        // Do not split a surrogate pair.
        const uint32_t last = keep > 0 ? static_cast<uint32_t>(text[keep - 1]) : 0;
        if (last >= 0xD800 && last <= 0xDBFF) --keep;
        text = text.substr(0, keep);
    }
    return text;
}

template <typename Out>
void FormatInto(Out& out, const char* pattern, std::initializer_list<FormatArg> args) {
    if (pattern == nullptr) return;
    const FormatArg* next = args.begin();
    const char* p = pattern;
    while (*p) {
        if (*p != '%') {
            const char* run = p;
            while (*p && *p != '%') ++p;
            PutAscii(out, run, static_cast<size_t>(p - run));
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            PutChar(out, '%');
            ++p;
            continue;
        }
        const Directive directive = ReadDirective(p);
        FormatArg::Kind wanted;
        switch (directive.conversion) {
            case 'f':
            case 'F': wanted = FormatArg::Kind::Real; break;
            case 'd':
            case 'i':
            case 'u': wanted = FormatArg::Kind::Integer; break;
            case 's': wanted = FormatArg::Kind::Text; break;
            default:
                // Not a conversion of ours: the text stays as it is.
                if (*p) ++p;
                PutAscii(out, start, static_cast<size_t>(p - start));
                continue;
        }
        ++p;
        if (next == args.end()) continue;
        const FormatArg& arg = *next++;
        if (arg.kind() != wanted) continue;
        switch (wanted) {
            case FormatArg::Kind::Real: PutReal(out, directive, arg.real()); break;
            case FormatArg::Kind::Integer: PutInteger(out, directive, arg.integer()); break;
            case FormatArg::Kind::Text:
                PutText(out, directive, Clipped(directive, arg.text()));
                break;
        }
    }
}

template <typename Out>
void AppendFixedInto(Out& out, double value, int precision) {
    Directive directive;
    directive.conversion = 'f';
    directive.precision = precision < 0 ? 6 : (precision > kMaxCount ? kMaxCount : precision);
    PutReal(out, directive, value);
}

}  // namespace

void AppendFixed(String& out, double value, int precision) {
    AppendFixedInto(out, value, precision);
}

void AppendFixed(std::string& out, double value, int precision) {
    AppendFixedInto(out, value, precision);
}

String FormatFixed(double value, int precision) {
    String out;
    AppendFixedInto(out, value, precision);
    return out;
}

String Format(const char* pattern, std::initializer_list<FormatArg> args) {
    String out;
    FormatInto(out, pattern, args);
    return out;
}

void AppendFormat(String& out, const char* pattern, std::initializer_list<FormatArg> args) {
    FormatInto(out, pattern, args);
}

std::string FormatNarrow(const char* pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    FormatInto(out, pattern, args);
    return out;
}

}  // namespace vx::text
