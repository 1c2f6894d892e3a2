// The portable event source: hooks are copied, null members keep defaults, null restores.
#include <gtest/gtest.h>

#include <string>

#include "ostrel/platform.h"
#include "platform/platform.h"

namespace vx {
namespace {

struct Recorder {
    std::string text;
    int calls = 0;
};

int32_t ScriptedMessage(void* context, VXMessage* msg) {
    ++static_cast<Recorder*>(context)->calls;
    msg->message = 0x0200;
    msg->lParam = (int32_t(-3) & 0xFFFF) | (7 << 16);
    return 1;
}
void Offset(void*, void*, int32_t* x, int32_t* y) {
    *x += 100;
    *y += 200;
}
int16_t ShiftHeld(void*, int32_t key) { return key == 16 ? int16_t(0x8000) : 0; }
void Trace(void* context, const char* text) { static_cast<Recorder*>(context)->text += text; }

class HooksTest : public ::testing::Test {
protected:
    void TearDown() override { VX_SetPlatformHooks(nullptr); }
};

TEST_F(HooksTest, DefaultsEndEveryLoopAndLeavePointsAlone) {
    platform::Message m;
    m.message = 99;
    EXPECT_EQ(platform::NextMessage(&m), 0);
    int32_t x = 5, y = 6;
    platform::ClientToScreen(nullptr, &x, &y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_EQ(platform::GetAsyncKeyState(16), 0);
    platform::GetCursorPos(&x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    platform::OutputDebugText("discarded");
    platform::DispatchUnconsumed(m);
}

TEST_F(HooksTest, InstalledHooksGetTheirContextAndNullMembersKeepDefaults) {
    Recorder rec;
    VXPlatformHooks hooks{};
    hooks.context = &rec;
    hooks.get_message = ScriptedMessage;
    hooks.client_to_screen = Offset;
    hooks.output_debug_string = Trace;
    VX_SetPlatformHooks(&hooks);
    hooks.get_message = nullptr;  // the library keeps its own copy

    platform::Message m;
    EXPECT_EQ(platform::NextMessage(&m), 1);
    EXPECT_EQ(rec.calls, 1);
    EXPECT_EQ(m.message, 0x0200u);
    EXPECT_EQ(int16_t(m.lParam & 0xFFFF), -3);
    int32_t x = 1, y = 2;
    platform::ClientToScreen(nullptr, &x, &y);
    EXPECT_EQ(x, 101);
    EXPECT_EQ(y, 202);
    platform::OutputDebugText("line\n");
    EXPECT_EQ(rec.text, "line\n");
    EXPECT_EQ(platform::GetAsyncKeyState(16), 0);  // not given: the default

    hooks = VXPlatformHooks{};
    hooks.get_async_key_state = ShiftHeld;
    VX_SetPlatformHooks(&hooks);
    EXPECT_EQ(platform::GetAsyncKeyState(16) & 0x8000, 0x8000);
    EXPECT_EQ(platform::NextMessage(&m), 0);  // the earlier hook is gone

    VX_SetPlatformHooks(nullptr);
    EXPECT_EQ(platform::GetAsyncKeyState(16), 0);
    platform::OutputDebugText("after restore");
    EXPECT_EQ(rec.text, "line\n");
}

}  // namespace
}  // namespace vx
