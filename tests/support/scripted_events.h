// Scripted events for the modal loops: one way to write "press at (10, 10), move to
// (40, 30) with Shift held, release" that plays the same on both builds (apps/events: the
// hooks on portable builds, hidden windows and PostMessageA on Windows, where held keys
// cannot be set; see CanHoldKeys).
//
// Coordinates are client coordinates of the target window. Only one ScriptedEvents may
// live at a time: it owns the thread's message source.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "events/events.h"

namespace vx::test {

enum HeldKeys : uint32_t { kNoKeys = 0, kShift = ostrel_events::kHeldShift, kControl = ostrel_events::kHeldControl };

class ScriptedEvents : public ostrel_events::Script {
public:
    // `held` is the key state the tool reads while it handles the message.
    ScriptedEvents& Move(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Chain(Mouse(VX_WM_MOUSEMOVE, 0, x, y, held, to));
    }
    ScriptedEvents& Drag(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Chain(Mouse(VX_WM_MOUSEMOVE, VX_MK_LBUTTON, x, y, held, to));
    }
    ScriptedEvents& Press(int x, int y, uint32_t held = kNoKeys) {
        return Chain(Mouse(VX_WM_LBUTTONDOWN, VX_MK_LBUTTON, x, y, held));
    }
    ScriptedEvents& Release(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Chain(Mouse(VX_WM_LBUTTONUP, 0, x, y, held, to));
    }
    ScriptedEvents& DoubleClick(int x, int y) { return Chain(Mouse(VX_WM_LBUTTONDBLCLK, VX_MK_LBUTTON, x, y)); }
    ScriptedEvents& KeyDown(uintptr_t vk) { return Chain(Key(VX_WM_KEYDOWN, vk)); }
    ScriptedEvents& SysKeyDown(uintptr_t vk) { return Chain(Key(VX_WM_SYSKEYDOWN, vk)); }
    ScriptedEvents& KeyUp(uintptr_t vk) { return Chain(Key(VX_WM_KEYUP, vk)); }
    ScriptedEvents& Post(uint32_t message, uintptr_t wParam, intptr_t lParam, void* to = nullptr,
                         uint32_t held = kNoKeys) {
        return Chain(Message(message, wParam, lParam, held, to));
    }
    ScriptedEvents& Quit(int code) { return Chain(Script::Quit(code)); }
    ScriptedEvents& Failure() { return Chain(Script::Failure()); }

    // Hands the script to the thread's queue (Windows); call it before the tool runs.
    void Play();

    // Scripted messages that reached a window procedure, as "w0 0x0101 27 0": window,
    // message, wParam, lParam.
    std::vector<std::string> dispatched;
    // Debugger output (portable builds: OutputDebugStringA cannot be read back on Windows).
    std::vector<std::string> debugOutput;
    // Runs inside the window procedure of every recorded message, after its line.
    std::function<void(uint32_t message)> onDispatch;

private:
    ScriptedEvents& Chain(Script&) { return *this; }
    bool OnMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void OnDebugOutput(const char* text) override { debugOutput.push_back(text); }
};

}  // namespace vx::test
