// Portable builds: the library's modal loops ask the host for messages through the hooks
// of include/ostrel/platform.h. A GUI toolkit has its own event loop; the bridge below
// turns the toolkit's events into Windows messages in one queue, and both the host's loop
// and the library's get_message take from it. When the queue is empty, get_message runs
// one iteration of the toolkit's loop (with GTK: g_main_context_iteration(nullptr, TRUE),
// which blocks until the user does something) and looks again.
#include <deque>
#include <set>

#include "events.h"
#include "ostrel/platform.h"

namespace {

// One event as a toolkit's handlers see it. This example's "toolkit" replays what
// main.cpp posted, one event per iteration.
struct ToolkitEvent {
    enum Kind { Motion, ButtonPress, ButtonRelease, KeyPress, KeyRelease, Close } kind;
    int x = 0, y = 0;      // pointer position in the window; the exit code for Close
    int32_t key = 0;       // virtual-key code (VX_KEY_*)
    bool leftHeld = false;
};

int32_t PackPoint(int x, int y) {
    return static_cast<int32_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                                (static_cast<uint32_t>(y) << 16));
}

}  // namespace

struct Input::State {
    explicit State(App& a) : app(a) {}

    App& app;
    std::deque<ToolkitEvent> toolkit;  // the toolkit's own queue (simulated)
    std::deque<VXMessage> queue;       // messages waiting for a loop
    std::set<int32_t> held;            // keys down now, for get_async_key_state
    int cursorX = 0, cursorY = 0;      // for get_cursor_pos (KeyDown, PlaceFigure)
    int quitCode = -1;                 // a close request: kept, so every loop sees it

    void Push(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        queue.push_back(VXMessage{app.window, message, wParam, lParam});
    }

    // The toolkit's event handlers: each event becomes the message Windows would send.
    void Translate(const ToolkitEvent& e) {
        switch (e.kind) {
            case ToolkitEvent::Motion:
                cursorX = e.x, cursorY = e.y;
                Push(VX_WM_MOUSEMOVE, e.leftHeld ? VX_MK_LBUTTON : 0, PackPoint(e.x, e.y));
                break;
            case ToolkitEvent::ButtonPress:
                Push(VX_WM_LBUTTONDOWN, VX_MK_LBUTTON, PackPoint(e.x, e.y));
                break;
            case ToolkitEvent::ButtonRelease:
                Push(VX_WM_LBUTTONUP, 0, PackPoint(e.x, e.y));
                break;
            case ToolkitEvent::KeyPress:
                held.insert(e.key);
                Push(VX_WM_KEYDOWN, static_cast<uintptr_t>(e.key), 0);
                break;
            case ToolkitEvent::KeyRelease:
                held.erase(e.key);
                Push(VX_WM_KEYUP, static_cast<uintptr_t>(e.key), 0);
                break;
            case ToolkitEvent::Close:
                quitCode = e.x;
                break;
        }
    }

    // One iteration of the toolkit's loop. False when nothing more will ever come (a real
    // toolkit blocks instead).
    bool RunToolkitOnce() {
        if (toolkit.empty()) return false;
        const ToolkitEvent e = toolkit.front();
        toolkit.pop_front();
        Translate(e);
        return true;
    }

    // The next message for either loop: 1 and the message; 0 for a quit, which stays
    // pending so that the host's own loop sees it too; -1 when no input will come.
    int32_t Next(VXMessage* msg) {
        while (queue.empty()) {
            if (quitCode >= 0) {
                *msg = VXMessage{app.window, VX_WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
                return 0;
            }
            if (!RunToolkitOnce()) return -1;
        }
        *msg = queue.front();
        queue.pop_front();
        return 1;
    }

    // ---- The hooks ----
    static State& Of(void* context) { return *static_cast<State*>(context); }

    static int32_t GetMessage(void* context, VXMessage* msg) { return Of(context).Next(msg); }

    // What a loop does not use goes to the window procedure, as DispatchMessage would.
    static void DispatchMessage(void* context, const VXMessage* msg) {
        HandleWindowMessage(Of(context).app, msg->message, msg->wParam, msg->lParam);
    }

    static int16_t GetAsyncKeyState(void* context, int32_t virtualKey) {
        return Of(context).held.count(virtualKey) ? static_cast<int16_t>(-0x8000) : 0;
    }

    static void GetCursorPos(void* context, int32_t* x, int32_t* y) {
        *x = Of(context).cursorX;
        *y = Of(context).cursorY;
    }
};

Input::Input(App& app) : state_(new State(app)) {
    app.window = state_.get();  // any token: the hooks get it back in VXMessage::hwnd
    VXPlatformHooks hooks = {};
    hooks.context = state_.get();
    hooks.get_message = State::GetMessage;
    hooks.dispatch_message = State::DispatchMessage;
    hooks.get_async_key_state = State::GetAsyncKeyState;
    hooks.get_cursor_pos = State::GetCursorPos;
    // client_to_screen and output_debug_string keep their defaults: the window's client
    // units are this host's screen units, and the rectangle tool's trace is dropped.
    VX_SetPlatformHooks(&hooks);
}

Input::~Input() { VX_SetPlatformHooks(nullptr); }

void WindowToScreen(App&, double*, double*) {}  // client units are the screen units here

void Input::Move(int x, int y, bool leftHeld) {
    state_->toolkit.push_back({ToolkitEvent::Motion, x, y, 0, leftHeld});
}
void Input::Press(int x, int y) { state_->toolkit.push_back({ToolkitEvent::ButtonPress, x, y}); }
void Input::Release(int x, int y) {
    state_->toolkit.push_back({ToolkitEvent::ButtonRelease, x, y});
}
void Input::Key(int32_t virtualKey) {
    state_->toolkit.push_back({ToolkitEvent::KeyPress, 0, 0, virtualKey});
    state_->toolkit.push_back({ToolkitEvent::KeyRelease, 0, 0, virtualKey});
}
void Input::Quit(int code) { state_->toolkit.push_back({ToolkitEvent::Close, code}); }

bool Input::RunUntilIdle() {
    VXMessage msg;
    int32_t got;
    while ((got = state_->Next(&msg)) > 0) {
        HandleWindowMessage(state_->app, msg.message, msg.wParam, msg.lParam);
    }
    if (got == 0) state_->app.quitCode = static_cast<int>(msg.wParam);
    return got != 0;
}
