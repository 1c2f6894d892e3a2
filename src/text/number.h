// Reading numbers exactly as the C library's wcstod does in the C locale, whatever the
// process locale: leading white space, optional sign, decimal digits with an optional "."
// and exponent, hexadecimal ("0x1.8p3"), "inf"/"infinity" and "nan"/"nan(...)", any case.
// Results are correctly rounded; overflow gives +-HUGE_VAL, underflow the rounded tiny
// value or +-0. Differences from wcstod: errno is left alone, and the characters of
// "nan(...)" are read over without becoming a NaN payload.
#pragma once

#include <cstddef>

#include "text/string.h"

namespace vx::text {

// Reads from a zero-terminated text. *consumed (may be null) receives the number of code
// units that make up the number, 0 when none could be read; the result is then 0.0.
double ReadNumber(const VXCHAR* text, size_t* consumed);

// The same over a bounded text; reading stops at its end.
double ReadNumber(StringView text, size_t* consumed);

}  // namespace vx::text
