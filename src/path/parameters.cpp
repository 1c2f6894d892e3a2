#include "path/parameters.h"

#include <cmath>

#include "path/path.h"

namespace vx {

GlobalParameters g_parameters;

namespace {

// value + 0.5 truncated toward zero. Outside the target range the conversion is not
// defined by the language, so it saturates there instead (NaN gives 0).
int32_t RoundToInt32(double value) {
    const double v = value + 0.5;
    if (!(v == v)) return 0;
    if (v >= 2147483648.0) return INT32_MAX;
    if (v <= -2147483649.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

uint32_t RoundToUint32(double value) {
    const double v = value + 0.5;
    if (!(v > -1.0)) return 0;  // negative, and NaN
    if (v >= 4294967296.0) return UINT32_MAX;
    return static_cast<uint32_t>(v);
}

}  // namespace

void SetParameter(int32_t index, double value) {
    switch (static_cast<uint32_t>(index)) {
        case 0: g_parameters.MarkSize = RoundToInt32(value); break;
        case 1: g_parameters.FlatBoundsMargin = value; break;
        case 2: g_parameters.EdgeTolerance = RoundToInt32(value); break;
        case 3: g_parameters.HandleColor = RoundToUint32(value); break;
        case 4: g_parameters.OutlineColor = RoundToUint32(value); break;
        default: break;
    }
    CVXPath::BoxesChanged();  // boxes and hit tests kept by a canvas are sized by them
}

}  // namespace vx
