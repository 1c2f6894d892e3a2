#include "path/parameters.h"

#include "text/saturate.h"

#include "path/path.h"

namespace vx {

GlobalParameters g_parameters;

namespace {

// value + 0.5 truncated toward zero, saturated (NaN gives 0).
int32_t RoundToInt32(double value) { return SaturateToInt32(value + 0.5, 0); }
uint32_t RoundToUint32(double value) { return SaturateToUint32(value + 0.5); }

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
