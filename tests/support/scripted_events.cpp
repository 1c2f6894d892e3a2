#include "support/scripted_events.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vx::test {

namespace {
// Every message a script posts reaches the window procedure; on Windows the system's own
// do too, and are left to it (characters of translated keys are recorded).
bool Recorded(uint32_t m) {
#ifdef _WIN32
    return m == WM_ACTIVATE || m == WM_ACTIVATEAPP || m == WM_CAPTURECHANGED || (m >= WM_KEYFIRST && m <= WM_KEYLAST) ||
           (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_APP && m < 0xC000);
#else
    (void)m;
    return true;
#endif
}
}  // namespace

void ScriptedEvents::Play() { EXPECT_TRUE(Script::Play()) << "failures and held keys cannot be scripted on Windows"; }

bool ScriptedEvents::OnMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (!Recorded(message)) return false;
    char line[96];
    std::snprintf(line, sizeof line, "w%d 0x%04x %llu %lld", WindowIndex(window), message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    dispatched.push_back(line);
    if (onDispatch) onDispatch(message);
    return true;
}

}  // namespace vx::test
