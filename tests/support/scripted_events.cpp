#include "support/scripted_events.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include "ostrel/platform.h"
#endif

namespace vx::test {

namespace {
constexpr uint32_t kMouseMove = 0x0200, kLButtonDown = 0x0201, kLButtonUp = 0x0202,
                   kLButtonDblClk = 0x0203, kRButtonDown = 0x0204, kRButtonUp = 0x0205,
                   kKeyDown = 0x0100, kKeyUp = 0x0101, kSysKeyDown = 0x0104;
constexpr uintptr_t kMkLButton = 0x0001, kMkRButton = 0x0002, kMkShift = 0x0004,
                    kMkControl = 0x0008;

intptr_t PackPoint(int x, int y) {
    const uint32_t bits = (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
    return static_cast<intptr_t>(static_cast<int32_t>(bits));
}

uintptr_t KeyFlags(uint32_t held) {
    return ((held & kShift) ? kMkShift : 0) | ((held & kControl) ? kMkControl : 0);
}

std::string Line(const std::string& window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "0x%04x %llu %lld", message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    return window + " " + buf;
}
}  // namespace

struct ScriptedEvents::Window {
    std::string name;
    int32_t left = 0, top = 0;
    void* hwnd = nullptr;
};

std::string ScriptedEvents::NameOf(const void* hwnd) const {
    for (const auto& w : windows_) {
        if (w->hwnd == hwnd) return w->name;
    }
    return "?";
}

void ScriptedEvents::OnDispatch(const void* hwnd, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) {
    dispatched.push_back(Line(NameOf(hwnd), message, wParam, lParam));
}

void* ScriptedEvents::window(size_t index) const { return windows_.at(index)->hwnd; }

ScriptedEvents& ScriptedEvents::Mouse(uint32_t message, uintptr_t wParam, int x, int y,
                                      uint32_t held, void* to) {
    return Post(message, wParam | KeyFlags(held), PackPoint(x, y), to, held);
}

ScriptedEvents& ScriptedEvents::Move(int x, int y, uint32_t held, void* to) {
    return Mouse(kMouseMove, 0, x, y, held, to);
}
ScriptedEvents& ScriptedEvents::Drag(int x, int y, uint32_t held, void* to) {
    return Mouse(kMouseMove, kMkLButton, x, y, held, to);
}
ScriptedEvents& ScriptedEvents::Press(int x, int y, uint32_t held, void* to) {
    return Mouse(kLButtonDown, kMkLButton, x, y, held, to);
}
ScriptedEvents& ScriptedEvents::Release(int x, int y, uint32_t held, void* to) {
    return Mouse(kLButtonUp, 0, x, y, held, to);
}
ScriptedEvents& ScriptedEvents::DoubleClick(int x, int y, void* to) {
    return Mouse(kLButtonDblClk, kMkLButton, x, y, kNoKeys, to);
}
ScriptedEvents& ScriptedEvents::RightPress(int x, int y) {
    return Mouse(kRButtonDown, kMkRButton, x, y, kNoKeys, nullptr);
}
ScriptedEvents& ScriptedEvents::RightRelease(int x, int y) {
    return Mouse(kRButtonUp, 0, x, y, kNoKeys, nullptr);
}
ScriptedEvents& ScriptedEvents::KeyDown(uintptr_t vk) { return Post(kKeyDown, vk, 1); }
ScriptedEvents& ScriptedEvents::SysKeyDown(uintptr_t vk) {
    return Post(kSysKeyDown, vk, 0x20000001);
}
ScriptedEvents& ScriptedEvents::KeyUp(uintptr_t vk) {
    return Post(kKeyUp, vk, static_cast<intptr_t>(static_cast<int32_t>(0xC0000001u)));
}

ScriptedEvents& ScriptedEvents::Post(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                     void* to, uint32_t held) {
    Step s;
    s.hwnd = to ? to : window(0);
    s.message = message;
    s.wParam = wParam;
    s.lParam = lParam;
    s.held = held;
    steps_.push_back(s);
    return *this;
}

ScriptedEvents& ScriptedEvents::Quit(int code) {
    Step s;
    s.kind = Step::kQuit;
    s.wParam = static_cast<uintptr_t>(code);
    steps_.push_back(s);
    return *this;
}

ScriptedEvents& ScriptedEvents::Failure() {
    Step s;
    s.kind = Step::kFailure;
    steps_.push_back(s);
    return *this;
}

#ifndef _WIN32

// ---- Portable builds: the script is served through the platform hooks. -------------

struct EventSource {
    static ScriptedEvents* Self(void* context) { return static_cast<ScriptedEvents*>(context); }

    static int32_t GetMessage(void* context, VXMessage* msg) {
        ScriptedEvents* self = Self(context);
        ++self->retrievals;
        if (self->quitReached_) return 0;
        if (self->steps_.empty()) return 0;
        const ScriptedEvents::Step s = self->steps_.front();
        self->steps_.pop_front();
        switch (s.kind) {
            case ScriptedEvents::Step::kQuit:
                // The quit stays for the host's own loop, as a re-posted one would.
                self->quitReached_ = true;
                self->quitLeft = static_cast<int>(s.wParam);
                msg->message = 0x0012;
                msg->wParam = s.wParam;
                return 0;
            case ScriptedEvents::Step::kFailure:
                return -1;
            case ScriptedEvents::Step::kMessage:
                break;
        }
        self->held_ = s.held;
        if (s.message >= kMouseMove && s.message <= kRButtonUp) {
            int32_t x = static_cast<int16_t>(s.lParam & 0xFFFF);
            int32_t y = static_cast<int16_t>((s.lParam >> 16) & 0xFFFF);
            ClientToScreen(context, s.hwnd, &x, &y);
            self->cursorX_ = x;
            self->cursorY_ = y;
        }
        msg->hwnd = s.hwnd;
        msg->message = s.message;
        msg->wParam = s.wParam;
        msg->lParam = s.lParam;
        return 1;
    }

    static void Dispatch(void* context, const VXMessage* msg) {
        Self(context)->OnDispatch(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    }

    static void ClientToScreen(void* context, void* hwnd, int32_t* x, int32_t* y) {
        for (const auto& w : Self(context)->windows_) {
            if (w->hwnd == hwnd) {
                *x += w->left;
                *y += w->top;
                return;
            }
        }
    }

    static int16_t KeyState(void* context, int32_t vk) {
        const uint32_t held = Self(context)->held_;
        const bool down = (vk == 0x10 && (held & kShift)) || (vk == 0x11 && (held & kControl));
        return down ? static_cast<int16_t>(-0x8000) : 0;
    }

    static void CursorPos(void* context, int32_t* x, int32_t* y) {
        *x = Self(context)->cursorX_;
        *y = Self(context)->cursorY_;
    }

    static void DebugOutput(void* context, const char* text) {
        Self(context)->debugOutput.push_back(text);
    }
};

ScriptedEvents::ScriptedEvents() {
    AddWindow(0, 0);
    VXPlatformHooks hooks{};
    hooks.context = this;
    hooks.get_message = EventSource::GetMessage;
    hooks.dispatch_message = EventSource::Dispatch;
    hooks.client_to_screen = EventSource::ClientToScreen;
    hooks.get_async_key_state = EventSource::KeyState;
    hooks.get_cursor_pos = EventSource::CursorPos;
    hooks.output_debug_string = EventSource::DebugOutput;
    VX_SetPlatformHooks(&hooks);
}

ScriptedEvents::~ScriptedEvents() { VX_SetPlatformHooks(nullptr); }

bool ScriptedEvents::CanHoldKeys() { return true; }

void* ScriptedEvents::AddWindow(int32_t left, int32_t top) {
    auto w = std::make_unique<Window>();
    w->name = "w" + std::to_string(windows_.size());
    w->left = left;
    w->top = top;
    w->hwnd = w.get();
    windows_.push_back(std::move(w));
    return windows_.back()->hwnd;
}

void ScriptedEvents::Play() {}

size_t ScriptedEvents::Leftover() {
    size_t count = 0;
    for (const Step& s : steps_) {
        if (s.kind == Step::kMessage) ++count;
    }
    steps_.clear();
    return count;
}

void ScriptedEvents::PostSome() {}

#else

// ---- Windows: real hidden windows, PostMessageA, and the tool's own GetMessageA. ----

namespace {
ScriptedEvents* g_current = nullptr;
// Posted behind each chunk of a long script: when the tool dispatches it, the next chunk
// is posted, so the queue never holds more than one chunk.
constexpr UINT kRefill = WM_APP + 0x3F00;
constexpr size_t kChunk = 1000;
const char kClassName[] = "OstrelScriptedWindow";

bool Recorded(UINT m) {
    return m == WM_ACTIVATE || m == WM_ACTIVATEAPP || (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
           (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_CAPTURECHANGED ||
           (m >= WM_APP && m < kRefill);
}

LRESULT CALLBACK ScriptWindowProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    if (m == kRefill) {
        if (g_current) g_current->Play();
        return 0;
    }
    if (g_current && Recorded(m)) {
        g_current->OnDispatch(hwnd, m, w, l);
        return 0;
    }
    return DefWindowProcA(hwnd, m, w, l);
}

void RegisterOnce() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ScriptWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    registered = RegisterClassA(&wc) != 0;
}
}  // namespace

ScriptedEvents::ScriptedEvents() {
    g_current = this;
    RegisterOnce();
    AddWindow(0, 0);
    Leftover();
    quitLeft = -1;
}

ScriptedEvents::~ScriptedEvents() {
    Leftover();
    g_current = nullptr;
    for (const auto& w : windows_) DestroyWindow(static_cast<HWND>(w->hwnd));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
}

bool ScriptedEvents::CanHoldKeys() { return false; }

void* ScriptedEvents::AddWindow(int32_t left, int32_t top) {
    auto w = std::make_unique<Window>();
    w->name = "w" + std::to_string(windows_.size());
    w->left = left;
    w->top = top;
    // A popup has no frame, so its client area starts where the window does.
    w->hwnd = CreateWindowExA(0, kClassName, w->name.c_str(), WS_POPUP, left, top, 320, 240,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(w->hwnd, nullptr) << "CreateWindowExA failed: " << GetLastError();
    windows_.push_back(std::move(w));
    return windows_.back()->hwnd;
}

void ScriptedEvents::Play() { PostSome(); }

void ScriptedEvents::PostSome() {
    size_t posted = 0;
    while (!steps_.empty() && posted < kChunk) {
        const Step s = steps_.front();
        steps_.pop_front();
        ++posted;
        switch (s.kind) {
            case Step::kQuit:
                PostQuitMessage(static_cast<int>(s.wParam));
                break;
            case Step::kFailure:
                ADD_FAILURE() << "a failing retrieval cannot be scripted on Windows";
                break;
            case Step::kMessage:
                if (s.held) ADD_FAILURE() << "held keys cannot be scripted on Windows";
                EXPECT_TRUE(PostMessageA(static_cast<HWND>(s.hwnd), s.message, s.wParam, s.lParam));
                break;
        }
    }
    if (!steps_.empty()) PostMessageA(static_cast<HWND>(window(0)), kRefill, 0, 0);
}

size_t ScriptedEvents::Leftover() {
    size_t count = 0;
    for (const Step& s : steps_) {
        if (s.kind == Step::kMessage) ++count;
        if (s.kind == Step::kQuit) quitLeft = static_cast<int>(s.wParam);
    }
    steps_.clear();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            quitLeft = static_cast<int>(m.wParam);
        } else if (m.message != kRefill && NameOf(m.hwnd) != "?") {
            ++count;
        } else if (NameOf(m.hwnd) == "?") {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    return count;
}

#endif

}  // namespace vx::test
