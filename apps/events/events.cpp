// The build-independent half of the script: its entries and windows.
#include "events/events.h"

namespace ostrel_events {

namespace {
constexpr uintptr_t kMkShift = 0x0004, kMkControl = 0x0008;
}  // namespace

intptr_t PackPoint(int32_t x, int32_t y) {
    const uint32_t bits =
        (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
    return static_cast<int32_t>(bits);
}

int Script::WindowIndex(const void* window) const {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (windows_[i].handle == window) return static_cast<int>(i);
    }
    return -1;
}

Script& Script::Add(Entry entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

Script& Script::Message(uint32_t message, uintptr_t wParam, intptr_t lParam, uint32_t held,
                        void* window) {
    return Add({Entry::kMessage, window ? window : windows_.at(0).handle, message, wParam, lParam,
                held, nullptr});
}

Script& Script::Mouse(uint32_t message, uintptr_t buttons, int32_t x, int32_t y, uint32_t held,
                      void* window) {
    const uintptr_t keys =
        ((held & kHeldShift) ? kMkShift : 0) | ((held & kHeldControl) ? kMkControl : 0);
    return Message(message, buttons | keys, PackPoint(x, y), held, window);
}

Script& Script::Key(uint32_t message, uintptr_t key, uint32_t held) {
    // Repeat count 1; a system key has Alt down (bit 29); a release was down before and is
    // up now (bits 30 and 31).
    const bool system = message == VX_WM_SYSKEYDOWN || message == VX_WM_SYSKEYUP;
    const bool up = message == VX_WM_KEYUP || message == VX_WM_SYSKEYUP;
    const uint32_t bits = 1u | (system ? 0x20000000u : 0u) | (up ? 0xC0000000u : 0u);
    return Message(message, key, static_cast<int32_t>(bits), held);
}

Script& Script::Quit(int code) { return Add(Entry::Quit(uintptr_t(code))); }

Script& Script::Failure() { return Add({Entry::kFailure, nullptr, 0, 0, 0, 0, nullptr}); }

Script& Script::Host(std::function<void()> run) {
    return Add({Entry::kHost, nullptr, 0, 0, 0, 0, std::move(run)});
}

Script& Script::Note(std::function<void()> run) {
    return Add({Entry::kNote, nullptr, 0, 0, 0, 0, std::move(run)});
}

size_t Script::DropEntries() {
    size_t count = 0;
    for (const Entry& e : entries_) {
        count += e.kind == Entry::kMessage;
        if (e.kind == Entry::kQuit) quitLeft = static_cast<int>(e.wParam);
    }
    entries_.clear();
    return count;
}

}  // namespace ostrel_events
