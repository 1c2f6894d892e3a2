// UTF-8 <-> UTF-16. Malformed input never fails: each ill-formed UTF-8 sequence and each
// unpaired surrogate becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

#include "text/string.h"

namespace vx::text {

String FromUtf8(std::string_view utf8);
std::string ToUtf8(StringView utf16);

// Zero-terminated helpers: the length in code units up to the first zero, and the same
// bounded by max units (never reads beyond them). A null text has length 0.
size_t Length(const VXCHAR* text);
size_t BoundedLength(const VXCHAR* text, size_t max);

}  // namespace vx::text
