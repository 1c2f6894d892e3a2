// The fixed one-argument functions that every text may call.
#pragma once

#include "text/string.h"

namespace vx::expr {

// Computes the built-in function called name (ASCII letter case ignored: "SIN" is "sin")
// for the argument. False when no built-in function has that name. Domains are not checked:
// the C library's NaN and infinities pass through.
bool CallBuiltinFunction(StringView name, double argument, double* result);

}  // namespace vx::expr
