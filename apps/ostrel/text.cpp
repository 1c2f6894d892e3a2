#include "text.h"

#include "text/number.h"
#include "text/utf.h"

#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

namespace ostrel_cli {

// The library's own conversions (this file is built with the core, see CMakeLists.txt).
VxString ToVx(std::string_view utf8) { return vx::text::FromUtf8(utf8); }

std::string ToUtf8(const VXCHAR* text) {
    return text ? vx::text::ToUtf8(vx::StringView(text)) : std::string();
}

std::string FormatNumber(double value, int decimals) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // The classic locale keeps the decimal point a point whatever the environment says.
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.setf(std::ios::fixed);
    stream.precision(decimals);
    stream << value;
    std::string text = stream.str();
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

bool ParseNumber(std::string_view text, double* out) {
    // Only the plain C notation: no blanks, no hexadecimal forms, no nan or inf.
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            return false;
    }
    if (text.empty() || text[0] == 'e' || text[0] == 'E') return false;
    const VxString wide = ToVx(text);
    size_t consumed = 0;
    const double value = vx::text::ReadNumber(wide.c_str(), &consumed);
    if (consumed != wide.size() || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

}  // namespace ostrel_cli
