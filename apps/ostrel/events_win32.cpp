// The session's message queue on Windows: the library reads the thread's real queue with
// GetMessageA, so the session's messages are posted to a hidden window of the program.
#include <windows.h>

#include <deque>
#include <stdexcept>
#include <vector>

#include "events.h"

namespace ostrel_cli {

namespace {

// Private messages of the program's window.
constexpr UINT kHostStep = WM_APP + 1;  // wParam: index of a step that changes the host
constexpr UINT kRefill = WM_APP + 2;    // posts the next part of a long batch
// The queue of a thread holds at most 10,000 messages; a long batch goes in parts.
constexpr size_t kChunk = 1000;

LRESULT CALLBACK SessionWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

struct EventSource::State {
    explicit State(EventHandler& h) : handler(h) {}

    EventHandler& handler;
    HWND window = nullptr;
    std::deque<QueuedEvent> pending;  // queued, not yet posted
    std::vector<const SessionStep*> hostSteps;
    bool quitDue = false;  // the batch has ended: a quit follows its last message

    void PostSome() {
        for (size_t posted = 0; !pending.empty() && posted < kChunk; ++posted) {
            const QueuedEvent e = pending.front();
            pending.pop_front();
            if (e.firstOfStep) handler.OnStepTaken(*e.step);
            if (e.message) {
                PostMessageA(window, e.id, e.wParam, e.lParam);
            } else {
                hostSteps.push_back(e.step);
                PostMessageA(window, kHostStep, hostSteps.size() - 1, 0);
            }
        }
        if (!pending.empty()) {
            PostMessageA(window, kRefill, 0, 0);
        } else if (quitDue) {
            // Taken by a loop of the library, it ends that gesture and is posted again
            // for the program's own loop.
            quitDue = false;
            PostQuitMessage(0);
        }
    }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case kHostStep:
                if (wParam < hostSteps.size()) handler.OnHostStep(*hostSteps[wParam]);
                return 0;
            case kRefill: PostSome(); return 0;
            case WM_KEYDOWN:
            case WM_KEYUP:
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDOWN:
                handler.OnWindowMessage(message, wParam, static_cast<intptr_t>(lParam));
                return 0;
            default: return DefWindowProcA(window, message, wParam, lParam);
        }
    }
};

namespace {

LRESULT CALLBACK SessionWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<EventSource::State*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!state) return DefWindowProcA(hwnd, message, wParam, lParam);
    return state->Handle(message, wParam, lParam);
}

}  // namespace

EventSource::EventSource(EventHandler& handler) : state_(new State(handler)) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = SessionWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelSessionWindow";
        return RegisterClassA(&wc) != 0;
    }();
    // A popup has no frame: its client area starts at the screen origin, so client and
    // screen coordinates agree.
    if (registered) {
        state_->window = CreateWindowExA(0, "OstrelSessionWindow", "", WS_POPUP, 0, 0, 640, 480,
                                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    if (!state_->window) throw std::runtime_error("cannot create the session's window");
    SetWindowLongPtrA(state_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
}

EventSource::~EventSource() {
    SetWindowLongPtrA(state_->window, GWLP_USERDATA, 0);
    DestroyWindow(state_->window);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
}

bool EventSource::CanHoldKeys() { return false; }

void EventSource::Queue(const QueuedEvent& event) { state_->pending.push_back(event); }

void EventSource::EndBatch() {
    state_->quitDue = true;
    state_->PostSome();
}

void EventSource::Pump() {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    state_->hostSteps.clear();
}

bool EventSource::SetCursor(int32_t x, int32_t y) {
    POINT p{};
    return SetCursorPos(x, y) && GetCursorPos(&p) && p.x == x && p.y == y;
}

}  // namespace ostrel_cli
