#include "tools/message_loop.h"

#include <cmath>
#include <limits>

#include "tools/host_gate.h"

namespace vx::tools {

ScreenPoint MessagePoint(const platform::Message& msg) {
    const auto bits = static_cast<uint32_t>(static_cast<uintptr_t>(msg.lParam));
    int32_t x = static_cast<int16_t>(bits & 0xFFFFu);
    int32_t y = static_cast<int16_t>((bits >> 16) & 0xFFFFu);
    platform::ClientToScreen(msg.hwnd, &x, &y);
    return ScreenPoint{x, y};
}

int64_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (v <= lo) return std::numeric_limits<int32_t>::min();
    if (v >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int64_t>(v);
}

ScreenPoint TruncatePoint(double x, double y) { return ScreenPoint{TruncateToInt(x), TruncateToInt(y)}; }

bool ShiftDown() { return (platform::GetAsyncKeyState(kVkShift) & 0x8000) != 0; }

bool TakeMessage(const ICanvasHost* host, platform::Message* msg) {
    if (HostGate::IsShut(host)) return false;
    const int32_t got = platform::NextMessage(msg);
    if (got == 0) platform::RepostQuit(*msg);
    // The retrieval may run the host's code (its window procedures, a portable event
    // source), which may have destroyed the canvas.
    return got > 0 && !HostGate::IsShut(host);
}

Step RunMessageLoop(const ICanvasHost* host, MessageHandler& handler) {
    for (;;) {
        platform::Message msg;
        if (!TakeMessage(host, &msg)) return Step::Cancel;
        Step step = Step::Continue;
        switch (msg.message) {
            case kWmMouseMove:
                step = handler.MouseMove(msg);
                break;
            case kWmLButtonUp:
                step = handler.LeftButtonUp(msg);
                break;
            case kWmLButtonDown:
                if (!handler.LeftButtonDown(msg, &step)) platform::DispatchUnconsumed(msg);
                break;
            case kWmLButtonDblClk:
                if (!handler.LeftButtonDoubleClick(msg, &step)) platform::DispatchUnconsumed(msg);
                break;
            case kWmRButtonDown:
            case kWmRButtonUp:
            case kWmCaptureChanged:
                return Step::Cancel;
            case kWmKeyDown:
            case kWmSysKeyDown:
                if (msg.wParam == kVkEscape || msg.wParam == kVkMenu) step = handler.EscapeOrAlt();
                break;
            case kWmActivate:
            case kWmActivateApp:
                if (msg.wParam == 0) return Step::Cancel;
                break;
            default:
                platform::DispatchUnconsumed(msg);
                break;
        }
        if (step != Step::Continue) return step;
    }
}

}  // namespace vx::tools
