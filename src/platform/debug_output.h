// The library's diagnostic lines, written from one place: hosts have always seen them, so
// their text stays exactly as it is.
// - The outline hit test prints the parameter of the nearest point of every curve it
//   measures to standard output.
// - The rectangle tool leaves each square it makes on the debugger's channel
//   (OutputDebugStringA on Windows, the host's output_debug_string hook elsewhere).
#pragma once

#include <cstdint>

namespace vx::platform {

// "t : %4.12f\n" of t on standard output.
void PrintCurveParameter(double t);

// "w=%d, ptOrg.x=%d, ptOrg.y=%d, xScr=%d, yScr=%d\n" of the side, the anchor and the
// constrained point, cut to the 254 bytes of the buffer it has always lived in.
void TraceSquare(int64_t side, int64_t anchorX, int64_t anchorY, int64_t x, int64_t y);

}  // namespace vx::platform
