// Portable builds: the script is served to the library's loops through the platform hooks.
#include "events/events.h"
#include "ostrel/platform.h"

namespace ostrel_events {

struct Script::Source {
    static Script& Of(void* context) { return *static_cast<Script*>(context); }

    // What is taken is gone, a quit too. Entries that run something run on the way; false
    // when nothing else is left.
    static bool Take(Script& self, Entry& taken) {
        while (!self.entries_.empty()) {
            Entry e = std::move(self.entries_.front());
            self.entries_.pop_front();
            if (e.kind == Entry::kHost || e.kind == Entry::kNote) {
                e.run();
                continue;
            }
            if (e.kind == Entry::kMessage) {
                self.held_ = e.held;
                if (self.cursorFollowsMouse && e.message >= VX_WM_MOUSEMOVE &&
                    e.message <= VX_WM_RBUTTONDOWN) {
                    self.cursorX_ = PointX(e.lParam), self.cursorY_ = PointY(e.lParam);
                }
            }
            taken = std::move(e);
            return true;
        }
        return false;
    }

    static int32_t GetMessage(void* context, VXMessage* msg) {
        Script& self = Of(context);
        ++self.retrievals;
        Entry e = Entry::Quit(0);  // an empty queue: a quit without a code
        Take(self, e);
        if (e.kind == Entry::kMessage) {
            *msg = VXMessage{e.window, e.message, e.wParam, e.lParam};
            return 1;
        }
        if (e.kind == Entry::kFailure) return -1;
        msg->wParam = e.wParam;
        self.OnLoopQuit();
        return 0;
    }

    static void Dispatch(void* context, const VXMessage* msg) {
        Script& self = Of(context);
        if (msg->message == VX_WM_QUIT) {  // handed back: no window procedure sees it
            self.entries_.push_front(Entry::Quit(msg->wParam));
        } else {
            self.OnMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
        }
    }

    static void ClientToScreen(void* context, void* hwnd, int32_t* x, int32_t* y) {
        Script& self = Of(context);
        const int i = self.WindowIndex(hwnd);
        if (i < 0) return;
        *x += self.windows_[i].left;
        *y += self.windows_[i].top;
    }

    static int16_t KeyState(void* context, int32_t key) {
        const uint32_t held = Of(context).held_;
        const bool down = (key == VX_KEY_SHIFT && (held & kHeldShift)) ||
                          (key == VX_KEY_CONTROL && (held & kHeldControl));
        return down ? static_cast<int16_t>(-0x8000) : 0;
    }

    static void CursorPos(void* context, int32_t* x, int32_t* y) {
        *x = Of(context).cursorX_;
        *y = Of(context).cursorY_;
    }

    static void DebugOutput(void* context, const char* text) { Of(context).OnDebugOutput(text); }
};

Script::Script() {
    AddWindow(0, 0);
    VXPlatformHooks hooks{};
    hooks.context = this;
    hooks.get_message = Source::GetMessage;
    hooks.dispatch_message = Source::Dispatch;
    hooks.client_to_screen = Source::ClientToScreen;
    hooks.get_async_key_state = Source::KeyState;
    hooks.get_cursor_pos = Source::CursorPos;
    hooks.output_debug_string = Source::DebugOutput;
    VX_SetPlatformHooks(&hooks);
}

Script::~Script() { VX_SetPlatformHooks(nullptr); }

bool Script::CanHoldKeys() { return true; }

void* Script::AddWindow(int32_t left, int32_t top) {
    // Any distinct handle will do: the library only hands it back to the hooks.
    void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1000 + windows_.size()));
    windows_.push_back({handle, left, top});
    return handle;
}

bool Script::Play() { return true; }

void Script::Pump() {
    Entry e = Entry::Quit(0);
    while (Source::Take(*this, e) && e.kind != Entry::kQuit) {
        if (e.kind == Entry::kMessage) OnMessage(e.window, e.message, e.wParam, e.lParam);
    }
}

size_t Script::Leftover() { return DropEntries(); }

bool Script::SetCursor(int32_t x, int32_t y) {
    cursorX_ = x, cursorY_ = y;
    return true;
}

}  // namespace ostrel_events
