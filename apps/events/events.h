// A script of window messages for the library's modal loops, played the same way on both
// builds. The tools and tracking loops read messages themselves while a button is held, so
// a script is queued before the canvas call that starts such a loop, and the loop takes
// what it needs.
//
// Portable builds serve the queue through VX_SetPlatformHooks, with held keys, per-window
// client offsets and a cursor. An empty queue reads as a quit; a quit that a loop hands
// back (WM_QUIT through dispatch_message) goes to the front of the queue, for the
// program's own loop. Windows builds make each window a real hidden popup at its screen
// offset and post the script to it with PostMessageA; the loops read the thread's queue
// with GetMessageA, and the real keyboard decides which keys are held.
//
// Coordinates are client coordinates of the target window. Only one Script may live at a
// time: it owns the thread's message source.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "ostrel/ostrel.h"

namespace ostrel_events {

// Keys held while a message is handled (portable builds).
enum : uint32_t { kHeldShift = 1, kHeldControl = 2 };

// Mouse messages carry the client point in lParam: x in the low 16 bits, y above, signed.
intptr_t PackPoint(int32_t x, int32_t y);
inline int32_t PointX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
inline int32_t PointY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

class Script {
public:
    Script();  // with window 0, whose client area starts at the screen origin
    virtual ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Whether the loops read the keys that the script holds (not on Windows).
    static bool CanHoldKeys();
    // Another window whose client area starts at the screen point (left, top). Throws
    // std::runtime_error when the system cannot make it.
    void* AddWindow(int32_t left, int32_t top);
    // The window's place in the order of creation, or -1.
    int WindowIndex(const void* window) const;

    // Entries, in the order the loops take them. A null window is window 0.
    Script& Message(uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t held = 0,
                    void* window = nullptr);
    // MK_SHIFT and MK_CONTROL join `buttons` as `held` says, as the system sets them.
    Script& Mouse(uint32_t message, uintptr_t buttons, int32_t x, int32_t y, uint32_t held = 0,
                  void* window = nullptr);
    // A single press or release, with the lParam bits the system gives it.
    Script& Key(uint32_t message, uintptr_t key, uint32_t held = 0);
    // A quit carrying code. Windows delivers a quit only once the queue is empty: put it last.
    Script& Quit(int code);
    // A failing retrieval (portable builds; Windows cannot fail on demand, Play reports it).
    Script& Failure();
    // Runs when its turn comes: when a loop reaches it (portable) or when the window takes it
    // (Windows). For answers of the host; it must not call the canvas.
    Script& Host(std::function<void()> run);
    // Runs as soon as the source reaches it: taken (portable) or posted (Windows).
    Script& Note(std::function<void()> run);

    // Windows: posts the first 1,000 entries (a thread's queue holds 10,000 at most; each
    // part posts the next when it is taken). False when an entry could not be played as
    // written: a failure, held keys, or a post the system refused.
    bool Play();
    // The program's own loop: hands each message to OnMessage until a quit, or on portable
    // builds the end of the queue.
    void Pump();
    // Counts and removes the messages that nothing took; a quit among them sets quitLeft.
    size_t Leftover();
    // The cursor that the library reads. Windows: the real one, false when the system would
    // not move it there.
    bool SetCursor(int32_t x, int32_t y);

    // Portable builds: every mouse message taken moves the cursor to its point.
    bool cursorFollowsMouse = false;
    int retrievals = 0;  // messages asked of the source (portable builds)
    int quitLeft = -1;   // after Leftover: the code of a quit left for the host, or -1

protected:
    // The windows' procedure, for every message that a loop dispatches or Pump takes. False
    // leaves the message to the system (Windows: DefWindowProcA).
    virtual bool OnMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // A loop took a quit (portable builds): a Quit entry, or the end of the queue.
    virtual void OnLoopQuit() {}
    virtual void OnDebugOutput(const char*) {}

private:
    struct Entry {
        enum Kind { kMessage, kQuit, kFailure, kHost, kNote } kind;
        void* window = nullptr;
        uint32_t message = 0;
        uintptr_t wParam = 0;  // a quit's code
        intptr_t lParam = 0;
        uint32_t held = 0;
        std::function<void()> run;  // kHost, kNote

        static Entry Quit(uintptr_t code) { return {kQuit, nullptr, 0, code, 0, 0, nullptr}; }
    };
    struct Window {
        void* handle;
        int32_t left, top;
    };
    struct Source;  // the build's side: hooks or window procedure
    friend struct Source;

    Script& Add(Entry entry);
    size_t DropEntries();

    std::vector<Window> windows_;
    std::deque<Entry> entries_;
    uint32_t held_ = 0;
    int32_t cursorX_ = 0, cursorY_ = 0;
    std::vector<std::function<void()>> posted_;  // Windows: host entries posted, by index
};

}  // namespace ostrel_events
