#include "support/scripted_events.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include "ostrel/platform.h"
#endif

namespace vx::test {

ScriptedEvents& ScriptedEvents::Mouse(uint32_t message, uintptr_t wParam, int x, int y, uint32_t held, void* to) {
    // MK_SHIFT and MK_CONTROL go with the held keys, as the system sets them.
    wParam |= ((held & kShift) ? 4 : 0) | ((held & kControl) ? 8 : 0);
    const uint32_t bits = (static_cast<uint32_t>(x) & 0xFFFFu) | (static_cast<uint32_t>(y) << 16);
    return Post(message, wParam, static_cast<int32_t>(bits), to, held);
}

ScriptedEvents& ScriptedEvents::Post(uint32_t message, uintptr_t wParam, intptr_t lParam, void* to, uint32_t held) {
    return Add({kMessage, to ? to : windows_.at(0).hwnd, message, wParam, lParam, held});
}

int ScriptedEvents::IndexOf(const void* hwnd) const {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (windows_[i].hwnd == hwnd) return static_cast<int>(i);
    }
    return -1;
}

void ScriptedEvents::OnDispatch(const void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "w%d 0x%04x %llu %lld", IndexOf(hwnd), message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    dispatched.push_back(buf);
    if (onDispatch) onDispatch(message);
}

#ifndef _WIN32

// ---- Portable builds: the script is served through the platform hooks. -------------

struct EventSource {
    static ScriptedEvents* Self(void* context) { return static_cast<ScriptedEvents*>(context); }

    // A queue: what is taken is gone, a quit too. The library hands a quit it took back
    // through Dispatch, which queues it again for the host's own loop (on Windows the
    // library posts it again).
    static int32_t GetMessage(void* context, VXMessage* msg) {
        ScriptedEvents* self = Self(context);
        ++self->retrievals;
        if (self->steps_.empty()) return 0;  // nothing scripted: a quit without a code
        const ScriptedEvents::Step s = self->steps_.front();
        self->steps_.pop_front();
        if (s.kind == ScriptedEvents::kQuit) {
            msg->wParam = s.wParam;
            return 0;
        }
        if (s.kind == ScriptedEvents::kFailure) return -1;
        self->held_ = s.held;
        *msg = VXMessage{s.hwnd, s.message, s.wParam, s.lParam};
        return 1;
    }

    static void Dispatch(void* context, const VXMessage* msg) {
        if (msg->message == 0x0012) {  // WM_QUIT handed back: no window procedure sees it
            Self(context)->steps_.push_front({ScriptedEvents::kQuit, nullptr, 0, msg->wParam, 0, 0});
            return;
        }
        Self(context)->OnDispatch(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    }

    static void ClientToScreen(void* context, void* hwnd, int32_t* x, int32_t* y) {
        const int i = Self(context)->IndexOf(hwnd);
        if (i < 0) return;
        *x += Self(context)->windows_[i].left;
        *y += Self(context)->windows_[i].top;
    }

    static int16_t KeyState(void* context, int32_t vk) {
        const uint32_t held = Self(context)->held_;
        const bool down = (vk == 0x10 && (held & kShift)) || (vk == 0x11 && (held & kControl));
        return down ? static_cast<int16_t>(-0x8000) : 0;
    }

    static void DebugOutput(void* context, const char* text) { Self(context)->debugOutput.push_back(text); }
};

ScriptedEvents::ScriptedEvents() {
    AddWindow(0, 0);
    VXPlatformHooks hooks{};
    hooks.context = this;
    hooks.get_message = EventSource::GetMessage;
    hooks.dispatch_message = EventSource::Dispatch;
    hooks.client_to_screen = EventSource::ClientToScreen;
    hooks.get_async_key_state = EventSource::KeyState;
    hooks.output_debug_string = EventSource::DebugOutput;
    VX_SetPlatformHooks(&hooks);
}

ScriptedEvents::~ScriptedEvents() { VX_SetPlatformHooks(nullptr); }

bool ScriptedEvents::CanHoldKeys() { return true; }

void* ScriptedEvents::AddWindow(int32_t left, int32_t top) {
    // Any distinct handle will do: the library only hands it back to the hooks.
    void* hwnd = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + windows_.size()));
    windows_.push_back({hwnd, left, top});
    return hwnd;
}

void ScriptedEvents::Play() {}

size_t ScriptedEvents::Leftover() {
    size_t count = 0;
    for (const Step& s : steps_) {
        count += s.kind == kMessage;
        if (s.kind == kQuit) quitLeft = static_cast<int>(s.wParam);
    }
    steps_.clear();
    return count;
}

#else

// ---- Windows: real hidden windows, PostMessageA, and the tool's own GetMessageA. ----

namespace {
ScriptedEvents* g_current = nullptr;
// Posted behind each chunk of a long script: when the tool dispatches it, the next chunk
// is posted, so the queue (10,000 messages at most) never holds more than one chunk.
constexpr UINT kRefill = WM_APP + 0x3F00;
constexpr size_t kChunk = 1000;

bool Recorded(UINT m) {
    return m == WM_ACTIVATE || m == WM_ACTIVATEAPP || (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
           (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_CAPTURECHANGED || (m >= WM_APP && m < kRefill);
}

LRESULT CALLBACK ScriptWindowProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    if (g_current && m == kRefill) g_current->Play();
    if (g_current && Recorded(m)) g_current->OnDispatch(hwnd, m, w, l);
    return (m == kRefill || Recorded(m)) ? 0 : DefWindowProcA(hwnd, m, w, l);
}
}  // namespace

ScriptedEvents::ScriptedEvents() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ScriptWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelScriptedWindow";
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    g_current = this;
    AddWindow(0, 0);
    Leftover();
    quitLeft = -1;
}

ScriptedEvents::~ScriptedEvents() {
    Leftover();
    g_current = nullptr;
    for (const Window& w : windows_) DestroyWindow(static_cast<HWND>(w.hwnd));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
}

bool ScriptedEvents::CanHoldKeys() { return false; }

void* ScriptedEvents::AddWindow(int32_t left, int32_t top) {
    // A popup has no frame, so its client area starts where the window does.
    HWND hwnd = CreateWindowExA(0, "OstrelScriptedWindow", "", WS_POPUP, left, top, 320, 240, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(hwnd, nullptr) << "CreateWindowExA failed: " << GetLastError();
    windows_.push_back({hwnd, left, top});
    return hwnd;
}

void ScriptedEvents::Play() {
    for (size_t posted = 0; !steps_.empty() && posted < kChunk; ++posted) {
        const Step s = steps_.front();
        steps_.pop_front();
        if (s.kind == kQuit) {
            PostQuitMessage(static_cast<int>(s.wParam));
        } else {
            EXPECT_TRUE(s.kind == kMessage && !s.held) << "failures and held keys cannot be scripted";
            EXPECT_TRUE(PostMessageA(static_cast<HWND>(s.hwnd), s.message, s.wParam, s.lParam));
        }
    }
    if (!steps_.empty()) PostMessageA(static_cast<HWND>(windows_[0].hwnd), kRefill, 0, 0);
}

size_t ScriptedEvents::Leftover() {
    size_t count = 0;
    for (const Step& s : steps_) {
        if (s.kind == kMessage) ++count;
        if (s.kind == kQuit) quitLeft = static_cast<int>(s.wParam);
    }
    steps_.clear();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            quitLeft = static_cast<int>(m.wParam);
        } else if (IndexOf(m.hwnd) < 0) {
            DispatchMessageA(&m);  // the system's own messages
        } else if (m.message != kRefill) {
            ++count;
        }
    }
    return count;
}

#endif

}  // namespace vx::test
