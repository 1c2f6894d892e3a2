// The library's internal strings: UTF-16 code units of the boundary type.
#pragma once

#include <string>
#include <string_view>

#include "ostrel/ostrel.h"

namespace vx {
using String = std::basic_string<VXCHAR>;
using StringView = std::basic_string_view<VXCHAR>;
}  // namespace vx
