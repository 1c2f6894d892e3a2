// The session's message queue on portable builds: served to the library's loops through
// the platform hooks, and to the program's window procedure by Pump. An empty queue is a
// quit; a loop of the library hands it back (WM_QUIT through dispatch_message), and it
// ends the program's own loop, Pump, as it does on Windows.
#include <deque>

#include "events.h"
#include "ostrel/platform.h"

namespace ostrel_cli {

struct EventSource::State {
    explicit State(EventHandler& h) : handler(h) {}

    EventHandler& handler;
    std::deque<QueuedEvent> queue;
    bool quit = false;  // a quit handed back, for Pump
    int32_t held = 0;
    int32_t cursorX = 0, cursorY = 0;

    // Takes the next message; entries that only change the host are applied on the way.
    bool Take(VXMessage* msg) {
        while (!queue.empty()) {
            const QueuedEvent e = queue.front();
            queue.pop_front();
            if (e.firstOfStep) handler.OnStepTaken(*e.step);
            if (!e.message) {
                handler.OnHostStep(*e.step);
                continue;
            }
            if (e.heldAfter >= 0) held = e.heldAfter;
            if (e.id >= kWmMouseMove && e.id <= kWmRButtonDown) {
                // The cursor is where the last mouse message says.
                cursorX = static_cast<int16_t>(e.lParam & 0xFFFF);
                cursorY = static_cast<int16_t>((e.lParam >> 16) & 0xFFFF);
            }
            *msg = VXMessage{this, e.id, e.wParam, e.lParam};
            return true;
        }
        return false;
    }

    static State& Of(void* context) { return *static_cast<State*>(context); }

    static int32_t GetMessage(void* context, VXMessage* msg) {
        State& self = Of(context);
        if (self.Take(msg)) return 1;
        self.handler.OnQueueExhausted();
        return 0;
    }

    static void Dispatch(void* context, const VXMessage* msg) {
        if (msg->message == kWmQuit) {
            Of(context).quit = true;
            return;
        }
        Of(context).handler.OnWindowMessage(msg->message, msg->wParam, msg->lParam);
    }

    static int16_t KeyState(void* context, int32_t key) {
        const int32_t held = Of(context).held;
        const bool down =
            (key == 0x10 && (held & kHeldShift)) || (key == 0x11 && (held & kHeldControl));
        return down ? static_cast<int16_t>(-0x8000) : 0;
    }

    static void CursorPos(void* context, int32_t* x, int32_t* y) {
        *x = Of(context).cursorX;
        *y = Of(context).cursorY;
    }

    static void DebugOutput(void* context, const char* text) {
        Of(context).handler.OnDebugOutput(text);
    }
};

EventSource::EventSource(EventHandler& handler) : state_(new State(handler)) {
    VXPlatformHooks hooks{};
    hooks.context = state_.get();
    hooks.get_message = State::GetMessage;
    hooks.dispatch_message = State::Dispatch;
    // The window's client area is the screen: client_to_screen keeps its default.
    hooks.get_async_key_state = State::KeyState;
    hooks.get_cursor_pos = State::CursorPos;
    hooks.output_debug_string = State::DebugOutput;
    VX_SetPlatformHooks(&hooks);
}

EventSource::~EventSource() { VX_SetPlatformHooks(nullptr); }

bool EventSource::CanHoldKeys() { return true; }

void EventSource::Queue(const QueuedEvent& event) { state_->queue.push_back(event); }

void EventSource::EndBatch() {}

void EventSource::Pump() {
    VXMessage msg;
    while (!state_->quit && state_->Take(&msg)) {
        state_->handler.OnWindowMessage(msg.message, msg.wParam, msg.lParam);
    }
    state_->quit = false;
}

bool EventSource::SetCursor(int32_t x, int32_t y) {
    state_->cursorX = x;
    state_->cursorY = y;
    return true;
}

}  // namespace ostrel_cli
