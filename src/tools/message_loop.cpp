#include "tools/message_loop.h"

#include "text/saturate.h"
#include "tools/host_gate.h"

namespace vx::tools {

ScreenPoint MessagePoint(const platform::Message& msg) {
    const auto bits = static_cast<uint32_t>(static_cast<uintptr_t>(msg.lParam));
    int32_t x = static_cast<int16_t>(bits & 0xFFFFu);
    int32_t y = static_cast<int16_t>((bits >> 16) & 0xFFFFu);
    platform::ClientToScreen(msg.hwnd, &x, &y);
    return ScreenPoint{x, y};
}

int64_t TruncateToInt(double v) { return SaturateToInt32(v, 0); }

ScreenPoint TruncatePoint(double x, double y) {
    return ScreenPoint{TruncateToInt(x), TruncateToInt(y)};
}

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
            case VX_WM_MOUSEMOVE: step = handler.MouseMove(msg); break;
            case VX_WM_LBUTTONUP: step = handler.LeftButtonUp(msg); break;
            case VX_WM_LBUTTONDOWN:
                if (!handler.LeftButtonDown(msg, &step)) platform::DispatchUnconsumed(msg);
                break;
            case VX_WM_LBUTTONDBLCLK:
                if (!handler.LeftButtonDoubleClick(msg, &step)) platform::DispatchUnconsumed(msg);
                break;
            case VX_WM_RBUTTONDOWN:
            case VX_WM_RBUTTONUP:
            case VX_WM_CAPTURECHANGED: return Step::Cancel;
            case VX_WM_KEYDOWN:
            case VX_WM_SYSKEYDOWN:
                if (msg.wParam == VX_KEY_ESCAPE || msg.wParam == VX_KEY_ALT)
                    step = handler.EscapeOrAlt();
                break;
            case VX_WM_ACTIVATE:
            case VX_WM_ACTIVATEAPP:
                if (msg.wParam == 0) return Step::Cancel;
                break;
            default: platform::DispatchUnconsumed(msg); break;
        }
        if (step != Step::Continue) return step;
    }
}

}  // namespace vx::tools
