// The portable event source: hooks are copied, null members keep defaults, null restores.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "ostrel/platform.h"
#include "platform/platform.h"

namespace vx {
namespace {

TEST(Hooks, CopiedWithTheirContextNullMembersKeepDefaultsNullRestores) {
    std::string trace;
    VXPlatformHooks hooks{};
    hooks.context = &trace;
    hooks.get_message = [](void* context, VXMessage* msg) -> int32_t {
        *static_cast<std::string*>(context) += "get;";
        msg->lParam = (int32_t(-3) & 0xFFFF) | (7 << 16);
        return 1;
    };
    hooks.client_to_screen = [](void*, void*, int32_t* x, int32_t* y) {
        *x += 100;
        *y += 200;
    };
    hooks.output_debug_string = [](void* c, const char* t) { *static_cast<std::string*>(c) += t; };
    VX_SetPlatformHooks(&hooks);
    hooks.get_message = nullptr;  // the library keeps its own copy

    platform::Message m;
    EXPECT_EQ(platform::NextMessage(&m), 1);
    EXPECT_EQ(int16_t(m.lParam & 0xFFFF), -3);  // handed through untouched
    int32_t x = 1, y = 2;
    platform::ClientToScreen(nullptr, &x, &y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(101, 202));
    platform::OutputDebugText("line\n");
    EXPECT_EQ(platform::GetAsyncKeyState(16), 0);  // not given: the default

    hooks = VXPlatformHooks{};
    hooks.get_async_key_state = [](void*, int32_t key) { return int16_t(key == 16 ? 0x8000 : 0); };
    VX_SetPlatformHooks(&hooks);
    EXPECT_EQ(platform::GetAsyncKeyState(16) & 0x8000, 0x8000);
    EXPECT_EQ(platform::NextMessage(&m), 0);  // the earlier hooks are gone

    // Null restores the defaults: no message, points and keys left alone, the cursor at
    // (0, 0), the trace discarded.
    VX_SetPlatformHooks(nullptr);
    EXPECT_EQ(platform::NextMessage(&m), 0);
    platform::DispatchUnconsumed(m);
    x = 5, y = 6;
    platform::ClientToScreen(nullptr, &x, &y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(5, 6));
    EXPECT_EQ(platform::GetAsyncKeyState(16), 0);
    platform::GetCursorPos(&x, &y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
    platform::OutputDebugText("discarded");
    EXPECT_EQ(trace, "get;line\n");  // each hook got its context; the defaults discard
}

}  // namespace
}  // namespace vx
