// printf-style formatting into UTF-16, independent of the process locale. Supports the
// conversions the library prints with: %f with optional width and precision ("%f" is six
// decimals, "%4.12f"), %d, %u, %s (a UTF-16 string) and %%. Output matches the C library's
// printf in the C locale for those conversions ("inf", "-inf", "nan", "-nan").
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>

#include "text/string.h"

namespace vx::text {

// One argument of Format: a double for %f, an integer for %d and %u, a string for %s.
class FormatArg {
public:
    FormatArg(double v) : kind_(Kind::Real), real_(v) {}
    FormatArg(int32_t v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(int64_t v) : kind_(Kind::Integer), integer_(v) {}
    FormatArg(uint32_t v) : kind_(Kind::Integer), integer_(static_cast<int64_t>(v)) {}
    // Every other integer type (long, long long, size_t, ...), which would otherwise be
    // ambiguous among the three above; unsigned values beyond int64_t saturate.
    template <typename T, typename std::enable_if<std::is_integral<T>::value, int>::type = 0>
    FormatArg(T v) : kind_(Kind::Integer), integer_(Saturate(v)) {}
    FormatArg(StringView v) : kind_(Kind::Text), text_(v) {}
    FormatArg(const VXCHAR* v) : kind_(Kind::Text), text_(v ? StringView(v) : StringView()) {}
    FormatArg(const String& v) : kind_(Kind::Text), text_(v) {}

    enum class Kind { Real, Integer, Text };
    Kind kind() const { return kind_; }
    double real() const { return real_; }
    int64_t integer() const { return integer_; }
    StringView text() const { return text_; }

private:
    template <typename T>
    static int64_t Saturate(T v) {
        if (std::is_unsigned<T>::value &&
            static_cast<uint64_t>(v) > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return std::numeric_limits<int64_t>::max();
        }
        return static_cast<int64_t>(v);
    }

    Kind kind_;
    double real_ = 0.0;
    int64_t integer_ = 0;
    StringView text_;
};

// Appends value as "%.<precision>f" would print it (precision 6 is "%f"; a negative
// precision means 6).
void AppendFixed(String& out, double value, int precision = 6);
void AppendFixed(std::string& out, double value, int precision = 6);
String FormatFixed(double value, int precision = 6);

// Formats pattern (ASCII) with the arguments in order. A conversion whose argument is
// missing or of the wrong kind prints nothing; extra arguments are ignored. Flags "-", "+",
// " ", "0" and "#" work as in printf; width and precision are capped at 4096. %u prints a
// negative argument modulo 2^32, as printf does with an int. Any other "%" sequence is
// copied as it stands.
String Format(const char* pattern, std::initializer_list<FormatArg> args);
void AppendFormat(String& out, const char* pattern, std::initializer_list<FormatArg> args);
// The same into a narrow string (for standard output and debug traces); %s is written as
// UTF-8.
std::string FormatNarrow(const char* pattern, std::initializer_list<FormatArg> args);

}  // namespace vx::text
