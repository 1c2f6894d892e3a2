// Portable builds: every platform call goes through the hooks the host installed.
#include "ostrel/platform.h"
#include "platform/platform.h"

namespace {

int32_t DefaultGetMessage(void*, VXMessage*) { return 0; }
void DefaultDispatchMessage(void*, const VXMessage*) {}
void DefaultClientToScreen(void*, void*, int32_t*, int32_t*) {}
int16_t DefaultGetAsyncKeyState(void*, int32_t) { return 0; }
void DefaultGetCursorPos(void*, int32_t* x, int32_t* y) {
    *x = 0;
    *y = 0;
}
void DefaultOutputDebugString(void*, const char*) {}

constexpr VXPlatformHooks kDefaults = {
    nullptr,
    DefaultGetMessage,
    DefaultDispatchMessage,
    DefaultClientToScreen,
    DefaultGetAsyncKeyState,
    DefaultGetCursorPos,
    DefaultOutputDebugString,
};

VXPlatformHooks g_hooks = kDefaults;

template <typename F>
F Pick(F given, F fallback) {
    return given ? given : fallback;
}

}  // namespace

extern "C" OSTREL_API void VX_SetPlatformHooks(const VXPlatformHooks* hooks) {
    if (!hooks) {
        g_hooks = kDefaults;
        return;
    }
    g_hooks.context = hooks->context;
    g_hooks.get_message = Pick(hooks->get_message, kDefaults.get_message);
    g_hooks.dispatch_message = Pick(hooks->dispatch_message, kDefaults.dispatch_message);
    g_hooks.client_to_screen = Pick(hooks->client_to_screen, kDefaults.client_to_screen);
    g_hooks.get_async_key_state = Pick(hooks->get_async_key_state, kDefaults.get_async_key_state);
    g_hooks.get_cursor_pos = Pick(hooks->get_cursor_pos, kDefaults.get_cursor_pos);
    g_hooks.output_debug_string = Pick(hooks->output_debug_string, kDefaults.output_debug_string);
}

namespace vx::platform {

int32_t NextMessage(Message* msg) {
    VXMessage m{};
    int32_t result = g_hooks.get_message(g_hooks.context, &m);
    msg->hwnd = m.hwnd;
    msg->message = m.message;
    msg->wParam = m.wParam;
    msg->lParam = m.lParam;
    return result;
}

void DispatchUnconsumed(const Message& msg) {
    VXMessage m{msg.hwnd, msg.message, msg.wParam, msg.lParam};
    g_hooks.dispatch_message(g_hooks.context, &m);
}

// The quit goes back to the host's event source as WM_QUIT with its exit code, as Windows
// posts it again (include/ostrel/platform.h).
void RepostQuit(const Message& quit) {
    const VXMessage m{nullptr, 0x0012, quit.wParam, 0};
    g_hooks.dispatch_message(g_hooks.context, &m);
}

void ClientToScreen(void* hwnd, int32_t* x, int32_t* y) {
    g_hooks.client_to_screen(g_hooks.context, hwnd, x, y);
}

int16_t GetAsyncKeyState(int32_t virtualKey) {
    return g_hooks.get_async_key_state(g_hooks.context, virtualKey);
}

void GetCursorPos(int32_t* x, int32_t* y) { g_hooks.get_cursor_pos(g_hooks.context, x, y); }

void OutputDebugText(const char* text) { g_hooks.output_debug_string(g_hooks.context, text); }

}  // namespace vx::platform
