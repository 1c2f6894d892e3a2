// Scripted events for the modal loops: one way to write "press at (10, 10), move to
// (40, 30) with Shift held, release" that plays the same on both builds.
//
// Portable builds serve the script through VX_SetPlatformHooks, with held keys and
// per-window client offsets. Windows builds make each scripted window a real hidden popup
// at its screen offset; Play() posts the script with PostMessageA and the tool takes it
// with the real GetMessageA. Held keys cannot be set there (see CanHoldKeys).
//
// Coordinates are client coordinates of the target window. Only one ScriptedEvents may
// live at a time: it owns the thread's message source.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vx::test {

enum HeldKeys : uint32_t { kNoKeys = 0, kShift = 1, kControl = 2 };

class ScriptedEvents {
public:
    ScriptedEvents();  // creates window w0, whose client area starts at the screen origin
    ~ScriptedEvents();
    ScriptedEvents(const ScriptedEvents&) = delete;
    ScriptedEvents& operator=(const ScriptedEvents&) = delete;

    // Whether a script can hold Shift or Control for the tool to read (not under Wine).
    static bool CanHoldKeys();
    // Another window w1, w2, ... whose client area starts at the screen point (left, top).
    void* AddWindow(int32_t left, int32_t top);

    // `held` is the key state the tool reads while it handles the message.
    ScriptedEvents& Move(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Mouse(0x0200, 0, x, y, held, to);
    }
    ScriptedEvents& Drag(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Mouse(0x0200, 1, x, y, held, to);
    }
    ScriptedEvents& Press(int x, int y, uint32_t held = kNoKeys) { return Mouse(0x0201, 1, x, y, held, nullptr); }
    ScriptedEvents& Release(int x, int y, uint32_t held = kNoKeys, void* to = nullptr) {
        return Mouse(0x0202, 0, x, y, held, to);
    }
    ScriptedEvents& DoubleClick(int x, int y) { return Mouse(0x0203, 1, x, y, kNoKeys, nullptr); }
    ScriptedEvents& KeyDown(uintptr_t vk) { return Post(0x0100, vk, 1); }
    ScriptedEvents& SysKeyDown(uintptr_t vk) { return Post(0x0104, vk, 0x20000001); }
    ScriptedEvents& KeyUp(uintptr_t vk) { return Post(0x0101, vk, -0x3FFFFFFF); }  // 0xC0000001
    ScriptedEvents& Post(uint32_t message, uintptr_t wParam, intptr_t lParam, void* to = nullptr,
                         uint32_t held = kNoKeys);
    // A quit request carrying code (WM_QUIT on Windows). Put it last: Windows delivers a
    // quit only once the queue is empty.
    ScriptedEvents& Quit(int code) { return Add({kQuit, nullptr, 0, uintptr_t(code), 0, 0}); }
    // A failing retrieval (portable builds only).
    ScriptedEvents& Failure() { return Add({kFailure, nullptr, 0, 0, 0, 0}); }

    // Hands the script to the thread's queue (Windows); call it before the tool runs.
    void Play();
    // Counts and removes the scripted messages the tool did not take; a quit left for the
    // host's loop is taken out too and reported by quitLeft.
    size_t Leftover();

    // Scripted messages that reached a window procedure, as "w0 0x0101 27 0": window,
    // message, wParam, lParam.
    std::vector<std::string> dispatched;
    // Debugger output (portable builds: OutputDebugStringA cannot be read back on Windows).
    std::vector<std::string> debugOutput;
    // Runs inside the window procedure of every recorded message, after its line.
    std::function<void(uint32_t message)> onDispatch;
    int retrievals = 0;  // retrievals asked of the event source (portable builds)
    int quitLeft = -1;   // after Leftover: the code of a quit left for the host, or -1

    void OnDispatch(const void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

private:
    enum Kind { kMessage, kQuit, kFailure };
    struct Step {
        Kind kind;
        void* hwnd;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        uint32_t held;
    };
    struct Window {
        void* hwnd;
        int32_t left, top;
    };
    friend struct EventSource;

    ScriptedEvents& Add(const Step& s) {
        steps_.push_back(s);
        return *this;
    }
    ScriptedEvents& Mouse(uint32_t message, uintptr_t wParam, int x, int y, uint32_t held, void* to);
    int IndexOf(const void* hwnd) const;

    std::vector<Window> windows_;
    std::deque<Step> steps_;
    uint32_t held_ = 0;
};

}  // namespace vx::test
