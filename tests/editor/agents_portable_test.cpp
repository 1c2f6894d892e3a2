// Edit agents with Shift or Control held, which only the portable hooks can simulate.
#include "agents_fixture.h"
#include "ostrel/platform.h"

namespace vx::test {
namespace {

// Holds the given keys down through the platform hooks until destroyed.
class HeldKeys {
public:
    HeldKeys(bool shift, bool control) {
        state_ = (shift ? 1 : 0) | (control ? 2 : 0);
        VXPlatformHooks hooks{};
        hooks.context = &state_;
        hooks.get_async_key_state = [](void* context, int32_t key) -> int16_t {
            const int state = *static_cast<int*>(context);
            const bool held = (key == 0x10 && (state & 1)) || (key == 0x11 && (state & 2));
            return static_cast<int16_t>(held ? 0x8000 : 0);
        };
        VX_SetPlatformHooks(&hooks);
    }
    ~HeldKeys() { VX_SetPlatformHooks(nullptr); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    int state_ = 0;
};

TEST_F(AgentTest, ShiftMakesTheScalingUniform) {
    AddPathText(p1, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
    const struct {
        int32_t code;
        double x0, y0, x, y;
        V free, uniform;
    } table[] = {
        // sx 1.5, sy 1: an edge handle, the 1 gives way to the other factor.
        {2, 0, 25, -50, 25, {1.5, 0, 0, 1, -50, 0}, {1.5, 0, 0, 1.5, -50, -25}},
        // sx -0.5, sy 2: the smaller magnitude wins, each keeps its sign.
        {3, 0, 0, 150, -50, {-0.5, 0, 0, 2, 150, -50}, {-0.5, 0, 0, 0.5, 150, 25}},
        // sx 1, sy 3 on the top edge.
        {4, 50, 0, 50, -100, {1, 0, 0, 3, 0, -100}, {3, 0, 0, 3, -200, -100}},
        // sx 1.1, sy 0.5 at the top-right corner, about the bottom-left one.
        {5, 100, 0, 110, 25, {1.1, 0, 0, 0.5, 0, 25}, {0.5, 0, 0, 0.5, 0, 25}},
        // Equal magnitudes: nothing to change.
        {7, 100, 50, -100, -50, {-1, 0, 0, -1, 0, 0}, {-1, 0, 0, -1, 0, 0}},
        // A move is never made uniform.
        {17, 0, 0, 30, 10, {1, 0, 0, 1, 30, 10}, {1, 0, 0, 1, 30, 10}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.code);
        for (bool shift : {false, true}) {
            HeldKeys keys(shift, false);
            CPathObjAgent agent;
            agent.Fill(nullptr, p1, true);
            agent.ScaleByHandle(p1, row.x0, row.y0, row.x, row.y, row.code);
            ExpectNear(Matrix(agent.EditMatrix()), shift ? row.uniform : row.free, 1e-12);
        }
    }
}

TEST_F(AgentTest, ControlDragsAndMirrorsTheNeighbouringControls) {
    AddPathText(p1, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0");
    const struct {
        int32_t node, point;
        double dx, dy;
        const char* result;
    } table[] = {
        // A move takes the next first control along.
        {0, 0, 1, 2, "M 1 2 C 11 2 20 10 30 10 C 40 10 50 0 60 0"},
        // An end point takes both of its controls along.
        {1, 2, 5, 5, "M 0 0 C 10 0 25 15 35 15 C 45 15 50 0 60 0"},
        // A second control: the next first control mirrors it about the end point.
        {1, 1, 0, -4, "M 0 0 C 10 0 20 6 30 10 C 40 14 50 0 60 0"},
        // A first control: the previous second control mirrors it about the previous end.
        {2, 0, -5, 5, "M 0 0 C 10 0 25 5 30 10 C 35 15 50 0 60 0"},
        // The last end point: its own second control follows, the previous one is mirrored.
        {2, 2, 3, 0, "M 0 0 C 10 0 20 10 30 10 C 40 10 53 0 63 0"},
        // The first control of the first cubic: the next cubic's first control follows.
        {1, 0, 2, 2, "M 0 0 C 12 2 20 10 30 10 C 42 12 50 0 60 0"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.result);
        NodeEditAgent agent;
        agent.Start(p1, row.node, row.point);
        {
            HeldKeys keys(false, true);
            agent.Move(row.dx, row.dy);
            EXPECT_EQ(PathText(agent.WorkingCopy()), row.result);
        }
        // Control let go: the neighbours return to where the path has them.
        agent.Move(0, 0);
        EXPECT_EQ(PathText(agent.WorkingCopy()), PathText(p1));
    }

    // A line followed by a cubic hands its move on only while Control is held; mirrored
    // controls are computed in the path, where the canvas transform keeps midpoints.
    p2->ClearNodes();
    AddPathText(p2, "M 0 0 L 10 0 C 20 0 30 10 40 10 C 50 10 60 0 70 0");
    SetTransform(p2, {2, 0, 0, 2, 100, 0});
    NodeEditAgent agent;
    agent.Start(p2, 2, 1);
    HeldKeys keys(false, true);
    agent.Move(0, -8);
    EXPECT_EQ(PathText(agent.WorkingCopy()), "M 0 0 L 10 0 C 20 0 30 6 40 10 C 50 14 60 0 70 0");
    agent.Start(p2, 1, 0);
    agent.Move(4, 4);
    EXPECT_EQ(PathText(agent.WorkingCopy()), "M 0 0 L 12 2 C 22 2 30 10 40 10 C 50 10 60 0 70 0");
}

}  // namespace
}  // namespace vx::test
