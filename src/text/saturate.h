// Doubles to 32-bit integers where the language leaves the conversion undefined (beyond
// the range, NaN): the one home of those conversions. Values saturate; what NaN gives is
// the caller's, since each keeps the answer hosts have always had from it:
// - the outline hit test reads a node kind: NaN is the largest value, an unreadable kind
//   that ends the outline;
// - the tools truncate screen points: NaN is 0;
// - VX_SetParameters rounds sizes (value + 0.5 truncated): NaN is 0, and colours, unsigned,
//   saturate at 0 below and at the top above.
#pragma once

#include <cstdint>

namespace vx {

// v truncated toward zero, saturated to the int32 range; NaN gives nanValue.
inline int32_t SaturateToInt32(double v, int32_t nanValue) {
    if (v != v) return nanValue;
    if (v >= 2147483648.0) return INT32_MAX;
    if (v <= -2147483649.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// v truncated toward zero, saturated to the uint32 range; negatives and NaN give 0.
inline uint32_t SaturateToUint32(double v) {
    if (!(v > -1.0)) return 0;
    if (v >= 4294967296.0) return UINT32_MAX;
    return static_cast<uint32_t>(v);
}

}  // namespace vx
