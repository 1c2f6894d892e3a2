// The message queue of a replayed session, one implementation per build.
//
// The library's tools and tracking loops read window messages themselves while a button
// is held, so the events of a session are queued before the canvas call that starts such
// a loop, and the loop takes what it needs. What is left is taken by the program's own
// loop (Pump) and handed to its window procedure, as a host's message loop would.
//
// Portable builds (events_portable.cpp) serve the queue through VX_SetPlatformHooks: an
// empty queue reads as a quit, so a gesture that the session leaves open ends as a cancel,
// and the library hands the quit back to the program's loop, as on Windows.
// Windows builds (events_win32.cpp) post the queue to a hidden window with PostMessageA,
// followed by a quit request that the library's loops pass on; there the real keyboard
// decides whether Shift and Ctrl are held, so `hold` cannot be played.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

namespace ostrel_cli {

struct SessionStep;

// Window messages the program queues and handles (the Windows numbers).
enum : uint32_t {
    kWmQuit = 0x0012,
    kWmKeyDown = 0x0100,
    kWmKeyUp = 0x0101,
    kWmMouseMove = 0x0200,
    kWmLButtonDown = 0x0201,
    kWmLButtonUp = 0x0202,
    kWmLButtonDblClk = 0x0203,
    kWmRButtonDown = 0x0204,
};

// One queued entry: a window message, or a session step that changes only the host's
// answers (approve, rotation) and is applied when its turn comes.
struct QueuedEvent {
    const SessionStep* step;  // the line the entry comes from
    bool firstOfStep;         // the first entry of its line
    bool message;             // false: apply `step` to the host
    uint32_t id = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    int32_t heldAfter = -1;  // portable builds: the held keys from this entry on, or -1
};

// Held-key bits of QueuedEvent::heldAfter.
enum : int32_t { kHeldShift = 1, kHeldControl = 2 };

// What the program does with the queue's entries.
class EventHandler {
public:
    // The program's window procedure: called for every message taken by Pump, and for
    // every message that a loop of the library dispatches.
    virtual void OnWindowMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void OnHostStep(const SessionStep& step) = 0;
    // A line's first entry was taken (portable builds) or posted (Windows).
    virtual void OnStepTaken(const SessionStep& step) = 0;
    // A loop of the library asked for a message after the last queued one.
    virtual void OnQueueExhausted() = 0;
    virtual void OnDebugOutput(const char* text) = 0;

protected:
    ~EventHandler() = default;
};

class EventSource {
public:
    // Installs the source for the library's loops; the destructor removes it.
    explicit EventSource(EventHandler& handler);
    ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    // Whether the library reads the held keys that the session sets.
    static bool CanHoldKeys();

    void Queue(const QueuedEvent& event);
    // Ends a batch of queued events; Pump then runs until they are all taken.
    void EndBatch();
    void Pump();

    // The cursor position that the library reads (KeyDown of Ctrl, PlaceFigure). False
    // when the system would not move the cursor there.
    bool SetCursor(int32_t x, int32_t y);

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace ostrel_cli
