// Strings and numbers of the sketch's files: UTF-16 (the library's strings) to UTF-8 (the
// SVG file) and back, and numbers written so that they read back exactly.
#pragma once

#include <string>

#include "ostrel/ostrel.h"

namespace sketch {

using VXString = std::basic_string<VXCHAR>;

std::string ToUtf8(const VXString& text);
// Invalid UTF-8 becomes U+FFFD, one per bad byte.
VXString FromUtf8(const std::string& text);

// The shortest text that reads back as the same double ("0.1", "-3", "1e+300").
std::string ExactNumber(double value);
// At most three decimals, trailing zeros dropped: for coordinates a viewer draws.
std::string ShortNumber(double value);

// Reads the next number of a blank-separated list at *text, moving *text past it. False at
// the end of the text or on anything that is not a finite number.
bool ReadNumber(const char** text, double* value);

}  // namespace sketch
