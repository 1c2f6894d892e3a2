// The five process-wide parameters that drawing, hit testing and the tools read.
#pragma once

#include <cstdint>

namespace vx {

struct GlobalParameters {
    int32_t MarkSize = 8;             // side of a mark, screen units
    double FlatBoundsMargin = 4.0;    // widening of a box with no extent in one direction
    int32_t EdgeTolerance = 2;        // outline hit distance, screen units
    uint32_t HandleColor = 0xFF0000;  // colours are opaque to the library
    uint32_t OutlineColor = 0x0000FF;

    // Readers take the two integer sizes as unsigned quantities: a negative value stored
    // there reads as 2^32 plus it.
    double MarkSizeValue() const { return static_cast<double>(static_cast<uint32_t>(MarkSize)); }
    double HalfMarkSize() const {
        return static_cast<double>(static_cast<uint32_t>(MarkSize) >> 1);
    }
    double EdgeToleranceValue() const {
        return static_cast<double>(static_cast<uint32_t>(EdgeTolerance));
    }
};

// Constant-initialised, so it holds its defaults before any code of the library runs.
extern GlobalParameters g_parameters;

// VX_SetParameters: index compared unsigned against 4; 0 and 2 round to int32, 3 and 4 to
// uint32 (value + 0.5 truncated), 1 stored as given.
void SetParameter(int32_t index, double value);

}  // namespace vx
