#include "platform/debug_output.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "text/format.h"

namespace vx::platform {

void PrintCurveParameter(double t) {
    // One line per curve on every mouse move: the buffer is kept so that writing it
    // allocates nothing after the first call.
    static std::string line;
    if (std::isfinite(t)) {
        // Twelve decimals are always wider than the field width of 4.
        line.assign("t : ");
        text::AppendFixed(line, t, 12);
        line.push_back('\n');
    } else {
        line = text::FormatNarrow("t : %4.12f\n", {t});
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void TraceSquare(int64_t side, int64_t anchorX, int64_t anchorY, int64_t x, int64_t y) {
    std::string line = text::FormatNarrow("w=%d, ptOrg.x=%d, ptOrg.y=%d, xScr=%d, yScr=%d\n",
                                          {side, anchorX, anchorY, x, y});
    if (line.size() > 254) line.resize(254);
    OutputDebugText(line.c_str());
}

}  // namespace vx::platform
