// The small platform API the core stands on. One implementation per build: win32/ talks to
// user32, kernel32 and oleaut32; portable/ goes through the host's VX_SetPlatformHooks.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"

namespace vx::platform {

struct Message {
    void* hwnd = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// Waits for the next message of the thread: > 0 a message, 0 quit, < 0 failure.
int32_t NextMessage(Message* msg);
// Translates and dispatches a message that a loop did not consume.
void DispatchUnconsumed(const Message& msg);
// Hands back the quit that a loop took, so that the host's own loop still sees it: posted
// again on Windows, dispatched as WM_QUIT through the hooks on portable builds.
void RepostQuit(const Message& quit);
void ClientToScreen(void* hwnd, int32_t* x, int32_t* y);
// The platform's async key state: bit 0x8000 set while the key is held.
int16_t GetAsyncKeyState(int32_t virtualKey);
// Whether the key (VX_KEY_*) is held now: the one reading of the key state for every
// gesture and the canvas.
inline bool KeyHeld(int32_t virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }
void GetCursorPos(int32_t* x, int32_t* y);
void OutputDebugText(const char* text);

// Length-prefixed system strings (SysAllocString layout: a 32-bit byte length before the
// characters, the pointer at the first character, a zero after the last). Null in, null out.
VXCHAR* AllocSysString(const VXCHAR* text);
void FreeSysString(VXCHAR* text);
uint32_t SysStringLength(const VXCHAR* text);

}  // namespace vx::platform
