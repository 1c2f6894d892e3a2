// The common message table, the cancel paths, other windows, quit and failed retrieval.
#include <gtest/gtest.h>

#include <cmath>

#include "tool_fixture.h"
#include "tools/constraints.h"

namespace vx::test {
namespace {

constexpr uint32_t kActivate = 0x0006, kActivateApp = 0x001C, kChar = 0x0102,
                   kSysKeyUp = 0x0105, kCaptureChanged = 0x0215, kApp = 0x8000;
constexpr uintptr_t kEscape = 0x1B, kMenu = 0x12;

class MessageLoop : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        tool = CreateLineTool();
    }
    // Everything a line drag from (10, 10) to (20, 20) shows.
    std::vector<std::string> FirstMove() {
        return {"AcceptTrackPoint 20 20 1", "RestoreOverlay 7 10 10 10 10", "BeginPath null",
                "MoveTo 10 10", "LineTo 20 20", "EndPath null 1", "ShowOverlay 7 10 10 20 20"};
    }
};

TEST_F(MessageLoop, EveryCancelPathRestoresAndShowsTheWholeOverlayFirst) {
    struct Case {
        const char* what;
        uint32_t message;
        uintptr_t wParam;
    } cases[] = {
        {"right press", 0x0204, 2},          {"right release", 0x0205, 0},
        {"lost capture", kCaptureChanged, 0}, {"Esc", 0x0100, kEscape},
        {"Alt", 0x0100, kMenu},              {"Esc as system key", 0x0104, kEscape},
        {"Alt as system key", 0x0104, kMenu}, {"deactivation", kActivate, 0},
        {"application deactivation", kActivateApp, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.Clear();
        events.dispatched.clear();
        events.Drag(20, 20).Post(c.message, c.wParam, 0).Release(20, 20);
        EXPECT_FALSE(Draw(10, 10));
        EXPECT_EQ(log.lines, Lines({Opening(), FirstMove(), Cancelling()}));
        EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
        EXPECT_EQ(events.Leftover(), 1u);  // the release was never taken
        EXPECT_TRUE(events.dispatched.empty());
    }
}

TEST_F(MessageLoop, OtherKeysAndActivationAreSwallowedTheRestDispatched) {
    events.Drag(20, 20)
        .KeyDown('A')                     // swallowed, so never translated into a character
        .SysKeyDown('F')                  // swallowed
        .Post(kActivate, 1, 0)            // activation: swallowed
        .Post(kActivateApp, 1, 0)         // swallowed
        .KeyUp(kEscape)                   // a key-up is dispatched, Esc or not
        .Post(kChar, 'a', 1)
        .Post(kSysKeyUp, kMenu, 0)
        .Press(30, 30)                    // the line tool does not take presses
        .DoubleClick(30, 30)
        .Post(kApp + 5, 1, 2)
        .Release(30, 30);
    EXPECT_TRUE(Draw(10, 10));
    EXPECT_EQ(events.dispatched,
              (std::vector<std::string>{"w0 0x0101 27 -1073741823", "w0 0x0102 97 1",
                                        "w0 0x0105 18 0", "w0 0x0201 1 1966110",
                                        "w0 0x0203 1 1966110", "w0 0x8005 1 2"}));
    EXPECT_EQ(log.lines, Lines({Opening(), FirstMove(), Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 20 20");
}

TEST_F(MessageLoop, MouseMessagesOfAnotherWindowUseThatWindowsOffset) {
    void* other = events.AddWindow(200, 100);
    events.Drag(10, 20, kNoKeys, other)  // screen (210, 120)
        .Drag(-5, -7, kNoKeys, other)    // signed 16-bit client coordinates: (195, 93)
        .Drag(30, 40)                    // window w0 sits at the origin
        .Release(0, 0, kNoKeys, other);
    EXPECT_TRUE(Draw(210, 110));
    EXPECT_EQ(log.Only({"AcceptTrackPoint", "LineTo"}),
              (std::vector<std::string>{"AcceptTrackPoint 210 120 1", "LineTo 210 120",
                                        "AcceptTrackPoint 195 93 1", "LineTo 195 93",
                                        "AcceptTrackPoint 30 40 1", "LineTo 30 40"}));
    EXPECT_EQ(PathText(path), "M 210 110 L 30 40");
}

TEST_F(MessageLoop, QuitEndsTheGestureAsACancelAndIsLeftForTheHost) {
    events.Drag(20, 20).Quit(3);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), FirstMove(), Cancelling()}));
    EXPECT_EQ(events.Leftover(), 0u);
    EXPECT_EQ(events.quitLeft, 3);  // posted again on Windows; never swallowed
    if (ScriptedEvents::CanHoldKeys()) {
        EXPECT_EQ(events.retrievals, 2);  // asked once, no spin
    }
}

TEST_F(MessageLoop, FailedRetrievalEndsTheGestureAsACancel) {
    if (!ScriptedEvents::CanHoldKeys()) {
        GTEST_SKIP() << "a real GetMessageA without a window filter cannot be made to fail";
    }
    events.Drag(20, 20).Failure().Drag(30, 30).Release(30, 30);
    EXPECT_FALSE(Draw(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), FirstMove(), Cancelling()}));
    EXPECT_EQ(events.retrievals, 2);
    EXPECT_EQ(events.Leftover(), 2u);
}

TEST_F(MessageLoop, EveryToolCancelsOnTheCommonCancelMessages) {
    // Right button, lost capture and deactivation cancel every tool, also the ones that
    // finish on Esc.
    for (const BuiltinTool& entry : kBuiltinTools) {
        for (uint32_t message : {0x0204u, 0x0205u, kCaptureChanged, kActivate, kActivateApp}) {
            SCOPED_TRACE(message);
            log.Clear();
            IVXFigures* t = entry.create();
            events.Drag(20, 20).Move(30, 30).Post(message, 0, 0).Release(20, 20).KeyDown(kEscape);
            events.Play();
            EXPECT_FALSE(t->Draw(entry.name, 10, 10, &host, nullptr, path));
            ASSERT_GE(log.lines.size(), 5u);
            EXPECT_EQ(std::vector<std::string>(log.lines.end() - 5, log.lines.end()), Cancelling());
            EXPECT_EQ(events.Leftover(), 2u);
            EXPECT_EQ(t->Release(), 0);
            path->ClearNodes();  // the free-hand tool leaves its raw stroke
        }
    }
}

TEST(Constraints, EightDirectionsAndSquares) {
    using tools::ScreenPoint;
    const ScreenPoint a{100, 100};
    struct Case {
        int64_t x, y, ex, ey;
    } eight[] = {
        {110, 105, 110, 110}, {111, 105, 111, 100}, {105, 111, 100, 111}, {90, 108, 90, 110},
        {90, 92, 90, 90},     {100, 100, 100, 100}, {100, 90, 100, 90},   {80, 100, 80, 100},
        {110, 95, 110, 90},   {104, 110, 100, 110},
    };
    for (const Case& c : eight) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const ScreenPoint p = tools::ConstrainEightDirections(a, ScreenPoint{c.x, c.y});
        EXPECT_EQ(p.x, c.ex);
        EXPECT_EQ(p.y, c.ey);
    }
    int64_t side = -1;
    struct Square {
        int64_t x, y, ex, ey, d;
    } squares[] = {{130, 88, 130, 70, 30}, {100, 120, 80, 120, 20}, {100, 100, 100, 100, 0},
                   {70, 95, 70, 70, 30},   {112, 130, 130, 130, 30}};
    for (const Square& c : squares) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const ScreenPoint p = tools::ConstrainSquare(a, ScreenPoint{c.x, c.y}, &side);
        EXPECT_EQ(p.x, c.ex);
        EXPECT_EQ(p.y, c.ey);
        EXPECT_EQ(side, c.d);
    }
    // The template tool keeps the longer side: (+30, -12) -> (+30, -30); (+12, +30) ->
    // (+30, +30); a tie counts as a longer x.
    struct Keep {
        int64_t x, y, ex, ey;
    } keeps[] = {{130, 88, 130, 70}, {112, 130, 130, 130}, {80, 80, 80, 80}, {100, 100, 100, 100},
                 {95, 70, 70, 70}};
    for (const Keep& c : keeps) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const ScreenPoint p = tools::ConstrainSquareKeepLonger(a, ScreenPoint{c.x, c.y});
        EXPECT_EQ(p.x, c.ex);
        EXPECT_EQ(p.y, c.ey);
    }
    // Truncation toward zero, with NaN and out-of-range values defined.
    EXPECT_EQ(tools::TruncateToInt(10.9), 10);
    EXPECT_EQ(tools::TruncateToInt(-10.9), -10);
    EXPECT_EQ(tools::TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(tools::TruncateToInt(1e300), 2147483647);
    EXPECT_EQ(tools::TruncateToInt(-1e300), -2147483648LL);
}

}  // namespace
}  // namespace vx::test
