// Scripted events for the modal loops: one way to write "press at (10, 10), move to
// (40, 30) with Shift held, release" that plays the same on both builds.
//
// Portable builds: the script is a queue of VXMessage records served through
// VX_SetPlatformHooks, with held keys and per-window client offsets. Windows builds: each
// scripted window is a real hidden window at its screen offset; Play() posts the script
// with PostMessageA and the tool takes it with the real GetMessageA. Held keys cannot be
// set there: tests that need them skip (see CanHoldKeys).
//
// Coordinates in the script are client coordinates of the target window, so a window's
// offset shows in the screen points the tools see. Only one ScriptedEvents may live at a
// time: it owns the thread's message source.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace vx::test {

enum HeldKeys : uint32_t { kNoKeys = 0, kShift = 1, kControl = 2 };

class ScriptedEvents {
public:
    // Creates window w0, whose client area starts at the screen origin.
    ScriptedEvents();
    ~ScriptedEvents();
    ScriptedEvents(const ScriptedEvents&) = delete;
    ScriptedEvents& operator=(const ScriptedEvents&) = delete;

    // Whether a script can hold Shift or Control for the tool to read (not under Wine).
    static bool CanHoldKeys();

    // Another window of the thread, named w1, w2, ..., whose client area starts at the
    // screen point (left, top).
    void* AddWindow(int32_t left, int32_t top);
    void* window(size_t index = 0) const;

    // Mouse messages; `held` is the key state the tool reads while it handles the message.
    ScriptedEvents& Move(int x, int y, uint32_t held = kNoKeys, void* to = nullptr);
    ScriptedEvents& Drag(int x, int y, uint32_t held = kNoKeys, void* to = nullptr);
    ScriptedEvents& Press(int x, int y, uint32_t held = kNoKeys, void* to = nullptr);
    ScriptedEvents& Release(int x, int y, uint32_t held = kNoKeys, void* to = nullptr);
    ScriptedEvents& DoubleClick(int x, int y, void* to = nullptr);
    ScriptedEvents& RightPress(int x, int y);
    ScriptedEvents& RightRelease(int x, int y);
    // Keys and everything else.
    ScriptedEvents& KeyDown(uintptr_t vk);
    ScriptedEvents& SysKeyDown(uintptr_t vk);
    ScriptedEvents& KeyUp(uintptr_t vk);
    ScriptedEvents& Post(uint32_t message, uintptr_t wParam, intptr_t lParam,
                         void* to = nullptr, uint32_t held = kNoKeys);
    // Ends retrieval with a quit request carrying code (WM_QUIT on Windows). Put it last:
    // Windows delivers a quit only once the queue is empty.
    ScriptedEvents& Quit(int code);
    // A failing retrieval (portable builds only).
    ScriptedEvents& Failure();

    // Hands the script to the thread's queue (Windows); nothing to do on portable builds.
    // Call it before the tool runs.
    void Play();

    // Messages of the script the tool did not take; removes them from the queue. On
    // Windows a pending quit is taken out too and reported by quitLeft.
    size_t Leftover();

    // Scripted messages that reached a window procedure (translated and dispatched), as
    // "w0 0x0101 27 0": window, message, wParam, lParam.
    std::vector<std::string> dispatched;
    // Debugger output (portable builds; OutputDebugStringA cannot be read back on Windows).
    std::vector<std::string> debugOutput;
    // Retrievals asked of the event source (portable builds).
    int retrievals = 0;
    // After Leftover: the code of a quit left for the host's loop, or -1.
    int quitLeft = -1;

    struct Step {
        enum Kind { kMessage, kQuit, kFailure } kind = kMessage;
        void* hwnd = nullptr;
        uint32_t message = 0;
        uintptr_t wParam = 0;
        intptr_t lParam = 0;
        uint32_t held = 0;
    };
    struct Window;

    // Used by the event source: the name of a window and its offset.
    std::string NameOf(const void* hwnd) const;
    void OnDispatch(const void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

private:
    ScriptedEvents& Mouse(uint32_t message, uintptr_t wParam, int x, int y, uint32_t held, void* to);
    void PostSome();

    std::vector<std::unique_ptr<Window>> windows_;
    std::deque<Step> steps_;
    friend struct EventSource;
    uint32_t held_ = 0;
    int32_t cursorX_ = 0, cursorY_ = 0;
    bool quitReached_ = false;
};

}  // namespace vx::test
