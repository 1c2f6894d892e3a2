// The example's input, one implementation per build. main.cpp posts what the user does;
// the host's own loop (RunUntilIdle) and, while a gesture runs, the library's modal loop
// take it from one queue, as the loops of a Windows thread share its message queue.
//   events_win32.cpp     a real window, PostMessageA, GetMessageA inside the library
//   events_portable.cpp  a toolkit's events fed to the library through VX_SetPlatformHooks
#pragma once

#include <cstdint>
#include <memory>

#include "window.h"

class Input {
public:
    explicit Input(App& app);  // sets app.window
    ~Input();
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // What the user does, in the window's client units.
    void Move(int x, int y, bool leftHeld);
    void Press(int x, int y);
    void Release(int x, int y);
    void Key(int32_t virtualKey);  // down, then up
    void Quit(int code);           // the user closes the program

    // The host's message loop: handles input until none is left. False when it ended on
    // a quit (then app.quitCode holds its code).
    bool RunUntilIdle();

private:
    struct State;
    std::unique_ptr<State> state_;
};
