// Windows builds: the real message queue, keys, cursor, debug output and BSTRs.
#include <windows.h>
#include <oleauto.h>

#include <new>

#include "platform/platform.h"

namespace vx::platform {

int32_t NextMessage(Message* msg) {
    MSG m{};
    BOOL result = ::GetMessageA(&m, nullptr, 0, 0);
    msg->hwnd = m.hwnd;
    msg->message = m.message;
    msg->wParam = m.wParam;
    msg->lParam = m.lParam;
    return result > 0 ? 1 : (result == 0 ? 0 : -1);
}

void DispatchUnconsumed(const Message& msg) {
    MSG m{};
    m.hwnd = static_cast<HWND>(msg.hwnd);
    m.message = msg.message;
    m.wParam = msg.wParam;
    m.lParam = msg.lParam;
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
}

void RepostQuit(const Message& quit) { ::PostQuitMessage(static_cast<int>(quit.wParam)); }

void ClientToScreen(void* hwnd, int32_t* x, int32_t* y) {
    POINT p{static_cast<LONG>(*x), static_cast<LONG>(*y)};
    ::ClientToScreen(static_cast<HWND>(hwnd), &p);
    *x = p.x;
    *y = p.y;
}

int16_t GetAsyncKeyState(int32_t virtualKey) { return ::GetAsyncKeyState(virtualKey); }

void GetCursorPos(int32_t* x, int32_t* y) {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    *x = p.x;
    *y = p.y;
}

void OutputDebugText(const char* text) { ::OutputDebugStringA(text); }

VXCHAR* AllocSysString(const VXCHAR* text) {
    if (!text) return nullptr;
    BSTR s = ::SysAllocString(text);
    if (!s) throw std::bad_alloc();
    return s;
}

void FreeSysString(VXCHAR* text) { ::SysFreeString(text); }

uint32_t SysStringLength(const VXCHAR* text) { return ::SysStringLen(const_cast<BSTR>(text)); }

}  // namespace vx::platform
