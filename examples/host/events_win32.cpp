// Windows: the library's modal loops call GetMessageA and DispatchMessageA themselves, so
// the host only needs a window whose procedure forwards input to the canvas. Input is
// posted to that window; a gesture started by a press takes the messages after it.
#include <windows.h>

#include "events.h"

namespace {

LRESULT CALLBACK ExampleWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    App* app = reinterpret_cast<App*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (app) HandleWindowMessage(*app, message, wParam, lParam);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

struct Input::State {
    App& app;
    HWND hwnd;
};

Input::Input(App& app) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ExampleWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OstrelExampleHost";
    RegisterClassA(&wc);
    // A popup has no frame: its client area starts at the window's corner, (0, 0) here.
    HWND hwnd = CreateWindowExA(0, "OstrelExampleHost", "", WS_POPUP, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
    app.window = hwnd;
    state_.reset(new State{app, hwnd});
}

Input::~Input() { DestroyWindow(state_->hwnd); }

void WindowToScreen(App& app, double* x, double* y) {
    POINT p = {static_cast<LONG>(*x), static_cast<LONG>(*y)};
    ClientToScreen(static_cast<HWND>(app.window), &p);
    *x = p.x;
    *y = p.y;
}

void Input::Move(int x, int y, bool leftHeld) {
    PostMessageA(state_->hwnd, WM_MOUSEMOVE, leftHeld ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}
void Input::Press(int x, int y) {
    PostMessageA(state_->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Input::Release(int x, int y) { PostMessageA(state_->hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
void Input::Key(int32_t virtualKey) {
    PostMessageA(state_->hwnd, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0);
    PostMessageA(state_->hwnd, WM_KEYUP, static_cast<WPARAM>(virtualKey), 0);
}
// WM_QUIT comes after everything posted before it. A gesture that takes it ends as a
// cancel and posts it again, so the loop below still sees it.
void Input::Quit(int code) { PostQuitMessage(code); }

bool Input::RunUntilIdle() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            state_->app.quitCode = static_cast<int>(msg.wParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}
