// Windows: real hidden windows, PostMessageA, and the loops' own GetMessageA.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "events/events.h"

namespace ostrel_events {

namespace {
// The script's own messages, above any that a script posts: the next part of a long script,
// and a host entry (wParam: its index in posted_).
constexpr UINT kRefill = WM_APP + 0x3F00;
constexpr UINT kRunHost = WM_APP + 0x3F01;
constexpr size_t kPart = 1000;
}  // namespace

struct Script::Source {
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Script*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
        if (message == kRefill) {
            self->Play();
        } else if (message == kRunHost) {
            if (wParam < self->posted_.size()) std::function<void()>(self->posted_[wParam])();
        } else if (!self->OnMessage(hwnd, message, wParam, static_cast<intptr_t>(lParam))) {
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        return 0;
    }
};

Script::Script() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Source::WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelScriptedWindow";
        return RegisterClassA(&wc) != 0;
    }();
    if (!registered) throw std::runtime_error("cannot register the scripted window class");
    AddWindow(0, 0);
    Leftover();  // what an earlier script left
    quitLeft = -1;
}

Script::~Script() {
    // Detached first: a derived class's window procedure is gone by now.
    for (const Window& w : windows_) {
        SetWindowLongPtrA(static_cast<HWND>(w.handle), GWLP_USERDATA, 0);
    }
    Leftover();
    for (const Window& w : windows_) DestroyWindow(static_cast<HWND>(w.handle));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
}

bool Script::CanHoldKeys() { return false; }

void* Script::AddWindow(int32_t left, int32_t top) {
    // A popup has no frame, so its client area starts where the window does.
    HWND hwnd = CreateWindowExA(0, "OstrelScriptedWindow", "", WS_POPUP, left, top, 640, 480,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) {
        throw std::runtime_error("cannot create a window for the scripted events (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    windows_.push_back({hwnd, left, top});
    return hwnd;
}

bool Script::Play() {
    const HWND first = static_cast<HWND>(windows_[0].handle);
    bool posted = true;
    for (size_t n = 0; !entries_.empty() && n < kPart; ++n) {
        Entry e = std::move(entries_.front());
        entries_.pop_front();
        switch (e.kind) {
            case Entry::kMessage:
                posted &=
                    PostMessageA(static_cast<HWND>(e.window), e.message, e.wParam, e.lParam) &&
                    e.held == 0;  // the real keyboard decides
                break;
            case Entry::kQuit: PostQuitMessage(static_cast<int>(e.wParam)); break;
            case Entry::kFailure: posted = false; break;
            case Entry::kHost:
                posted_.push_back(std::move(e.run));
                posted &= PostMessageA(first, kRunHost, posted_.size() - 1, 0) != 0;
                break;
            case Entry::kNote: e.run(); break;
        }
    }
    if (!entries_.empty()) PostMessageA(first, kRefill, 0, 0);
    return posted;
}

void Script::Pump() {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    posted_.clear();
}

size_t Script::Leftover() {
    size_t count = DropEntries();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            quitLeft = static_cast<int>(m.wParam);
        } else if (WindowIndex(m.hwnd) < 0) {
            DispatchMessageA(&m);  // the system's own messages
        } else if (m.message != kRefill && m.message != kRunHost) {
            ++count;
        }
    }
    posted_.clear();
    return count;
}

bool Script::SetCursor(int32_t x, int32_t y) {
    POINT p{};
    return SetCursorPos(x, y) && GetCursorPos(&p) && p.x == x && p.y == y;
}

}  // namespace ostrel_events
