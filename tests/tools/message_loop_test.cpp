// The tool objects, the common message table with its cancel paths, other windows, quit and
// failed retrieval, hostile hosts and huge gestures (defined results, no hang), and the
// free-hand thinning.
#include <cmath>
#include <cstring>

#include "platform/platform.h"
#include "support/golden.h"
#include "support/rows.h"
#include "tool_fixture.h"
#include "text/string.h"
#include "tools/free_hand.h"

namespace vx::test {
namespace {

constexpr uintptr_t kEscape = 0x1B;

// Built-in tools: named system strings without tips or icon, whatever name they are asked
// with. Polygon, Bezier and Free Hand have no placing gesture, and a host without a surface
// gets no gesture: neither calls the host or takes a message.
TEST_F(ToolTest, MessageLoopBuiltinToolObjectsAndGesturesThatDoNotStart) {
    const char* names[] = {"Line", "Rectangle", "Polygon", "Bezier", "Free Hand"};
    ASSERT_EQ(kBuiltinToolCount, 5);
    RecordingHost bare(log, nullptr);
    for (int i = 0; i < kBuiltinToolCount; ++i) {
        SCOPED_TRACE(names[i]);
        const String expected(names[i], names[i] + std::strlen(names[i]));
        Use(kBuiltinTools[i].create);
        FigureInfo* info = tool->GetInfo(VXTEXT("something else"));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(String(info->name), expected);
        EXPECT_EQ(platform::SysStringLength(info->name), expected.size());
        EXPECT_TRUE(info->tips == nullptr && info->icon == nullptr);
        events.Drag(20, 20).Release(20, 20);
        EXPECT_FALSE(Draw(10, 10, &bare));
        if (i >= 2) {
            EXPECT_FALSE(Place(10, 10, 40, 20));
        }
        EXPECT_EQ(events.Leftover(), 2u);
    }
    // The last release (in Use) destroys each tool and frees its strings (the sanitizer build checks).
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(ToolTest, MessageLoopOtherWindowsQuitAndFailedRetrieval) {
    // The cancel paths, other keys and activation: rows of tests/data/tools/gestures.txt.
    // Screen (210, 120); signed 16-bit client coordinates: (195, 93); w0 sits at the origin.
    void* other = events.AddWindow(200, 100);
    events.Drag(10, 20, kNoKeys, other).Drag(-5, -7, kNoKeys, other).Drag(30, 40);
    events.Release(0, 0, kNoKeys, other);
    EXPECT_EQ(Got(DrawWith(CreateLineTool, 210, 110)), "M 210 110 L 30 40");
    EXPECT_EQ(log.Only({"AcceptTrackPoint"}),
              (Lines{"AcceptTrackPoint 210 120 1", "AcceptTrackPoint 195 93 1", "AcceptTrackPoint 30 40 1"}));

    // Quit or failed retrieval cancels without spinning.
    events.Drag(20, 20).Quit(3);
    EXPECT_FALSE(DrawWith(CreateLineTool, 10, 10));
    EXPECT_TRUE(MatchesGolden(log.lines, "message_loop_LineCancelledAfterOneMove"));
    EXPECT_EQ(events.Leftover(), 0u);
    EXPECT_EQ(events.quitLeft, 3);  // posted again on Windows, never swallowed
    // A real GetMessageA without a window filter cannot be made to fail. A failure is not
    // retried: the moves after it stay.
    if (!ScriptedEvents::CanHoldKeys()) return;
    events.Drag(20, 20).Failure().Drag(30, 30).Release(30, 30);
    EXPECT_EQ(Got(DrawWith(CreateLineTool, 10, 10)), "refused: ");
    EXPECT_EQ(events.Leftover(), 2u);
}

TEST_F(ToolTest, BadInputHostsMappingToNaN) {
    struct NaNHost : RecordingHost {
        using RecordingHost::RecordingHost;
        void AdjustPoint(double* x, double* y) override { *x = *y = std::nan(""); }
        void ToScreen(double* x, double* y) override { *x = *y = std::nan(""); }
    } nanHost(log, &surface);
    // Line and rectangle: NaN never equals NaN, so the move is not refused; polygon: NaN is
    // in no near box, Esc finishes; Bezier: Esc with the rubber curve only cancels; free
    // hand: NaN is off every line.
    const int32_t nodes[] = {2, 5, 2, 0, 2};
    for (int i = 0; i < kBuiltinToolCount; ++i) {
        SCOPED_TRACE(i);
        events.Drag(20, 20).Drag(40, 40).Release(40, 40).KeyDown(kEscape);
        EXPECT_EQ(DrawWith(kBuiltinTools[i].create, 10, 10, &nanHost), i != 3);
        EXPECT_EQ(path->GetNodes(nullptr, 0), nodes[i]);
        EXPECT_EQ(Tail(3), kFinishing);
        events.Leftover();
    }
    // Hosts refusing every point and presses beyond the 32-bit range: rows of
    // tests/data/tools/gestures.txt.
}

TEST_F(ToolTest, BadInputHugePolygonsAndStrokes) {
    // 100,000 vertices: releases 10 pixels apart on rows of 300, none near the last. The one
    // frame draws every vertex but the first, and the cursor.
    constexpr int kVertices = 100000;
    for (int i = 1; i < kVertices; ++i) events.Release((i % 300) * 10, (i / 300) * 10 + 10);
    events.Move(3000, 3000).KeyDown(kEscape);
    EXPECT_TRUE(DrawWith(CreatePolygonTool, 0, 10));
    ASSERT_EQ(path->GetNodes(nullptr, 0), kVertices);
    EXPECT_EQ(path->NodeAt(kVertices - 1)->x1, 990);
    EXPECT_EQ(path->NodeAt(kVertices - 1)->y1, 3340);

    // Thinning takes a stroke of 100,000 points in one linear pass: a straight stroke keeps
    // its ends, a zigzag leaves every run at once.
    path->ClearNodes();
    CVXPath* zigzag = CVXPath::Create();
    path->AddNode(VX_NODE_MOVE, 0, 0, 0, 0, 0, 0);
    zigzag->AddNode(VX_NODE_MOVE, 0, 0, 0, 0, 0, 0);
    for (int i = 1; i < 100000; ++i) {
        path->AddNode(VX_NODE_LINE, i * 3.0, i * 1.5, 0, 0, 0, 0);
        zigzag->AddNode(VX_NODE_LINE, i * 3.0, (i % 2) * 3.0, 0, 0, 0, 0);
    }
    tools::ThinStroke(path);
    tools::ThinStroke(zigzag);
    EXPECT_EQ(PathText(path), "M 0 0 L 299997 149998.5");
    EXPECT_EQ(zigzag->GetNodes(nullptr, 0), 99999);
    EXPECT_EQ(zigzag->Release(), 0);
}

TEST_F(ToolTest, FreeHandThinningTheRunTestAndThePointThatLeavesARun) {
    for (const Row& row : ReadRows("tools/thinning.txt")) {
        SCOPED_TRACE(row.where);
        if (row.fields[0] == "thin" && row.fields.size() == 3) {
            Reset();
            AddPathText(path, row.fields[1].c_str());
            tools::ThinStroke(path);
            EXPECT_EQ(PathText(path), row.fields[2]);
            continue;
        }
        ASSERT_TRUE(row.fields[0] == "classify" && row.fields.size() == 9);
        const std::vector<double> n = NumberFields(row, 1);
        EXPECT_EQ(tools::ClassifyPointOnSegment({n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}, n[6] != 0, 1.0f), n[7]);
    }
    // Length estimate of (3, 4): 4 + 3/2 = 5.5, not 5.
    EXPECT_DOUBLE_EQ(tools::ApproxLineDistance({0, 0}, {3, 4}, {4, -3}), 25 / 5.5);
}

}  // namespace
}  // namespace vx::test
