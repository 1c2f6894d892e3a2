// Strings and numbers at the program's edges: UTF-8 arguments and files on one side, the
// library's UTF-16 strings on the other, and numbers printed the same way everywhere.
#pragma once

#include <string>
#include <string_view>

#include "ostrel/ostrel.h"

namespace ostrel_cli {

using VxString = std::basic_string<VXCHAR>;

// Ill-formed UTF-8 and unpaired surrogates become U+FFFD; nothing fails.
VxString ToVx(std::string_view utf8);
std::string ToUtf8(const VXCHAR* text);  // a null text gives ""

// At most `decimals` decimals, trailing zeros and a trailing point removed, "-0" printed
// as "0": 100, 62.5, 183.3333. Non-finite values print as nan, inf and -inf. Coordinates
// use four decimals; reference values, which the library keeps with six, use six.
std::string FormatNumber(double value, int decimals = 4);

// Reads a whole text as one finite double in the C notation (sign, digits, point,
// exponent), independent of the process locale. False for anything else, including
// blanks, trailing characters, nan and inf.
bool ParseNumber(std::string_view text, double* out);

// Escapes &, <, > and " for XML text and attribute values.
std::string XmlEscape(std::string_view text);

}  // namespace ostrel_cli
