// Edit agents with Shift or Control held, which only the portable hooks can simulate.
#include "agents_fixture.h"
#include "ostrel/platform.h"

namespace vx::test {
namespace {

// Holds Shift (bit 1) and Control (bit 2) down through the platform hooks while it lives.
class KeysDown {
public:
    explicit KeysDown(int keys) : keys_(keys) {
        VXPlatformHooks hooks{};
        hooks.context = &keys_;
        hooks.get_async_key_state = [](void* context, int32_t key) -> int16_t {
            const int keys = *static_cast<int*>(context);
            const bool held = (key == 0x10 && (keys & 1)) || (key == 0x11 && (keys & 2));
            return static_cast<int16_t>(held ? 0x8000 : 0);
        };
        VX_SetPlatformHooks(&hooks);
    }
    ~KeysDown() { VX_SetPlatformHooks(nullptr); }

private:
    int keys_;
};

// Shift on each kind of handle is replayed in tests/data/replay; what a session cannot set up
// stays here.
TEST_F(AgentTest, ShiftDoesNotTurnAnUndefinedFactorIntoTheOther) {
    // Without a flat-box margin a vertical line has no width: the corner's x factor is
    // 0/0, which Shift must not replace with the y factor of 2.
    g_parameters.FlatBoundsMargin = 0;
    AddPathText(p1, "M 0 0 L 0 100");
    KeysDown keys(1);
    EXPECT_EQ(DragMatrix(3, 0, 0, 0, -100), (V{1, 0, 0, 1, 0, 0}));
}

TEST_F(AgentTest, ControlDragsAndMirrorsTheNeighbouringControls) {
    AddPathText(p1, "M 0 0 C 10 0 20 10 30 10 C 40 10 50 0 60 0");
    const struct {
        int32_t node, point;
        double dx, dy;
        const char* result;
    } table[] = {
        // A move takes the next first control along; an end point both of its controls.
        {0, 0, 1, 2, "M 1 2 C 11 2 20 10 30 10 C 40 10 50 0 60 0"},
        {1, 2, 5, 5, "M 0 0 C 10 0 25 15 35 15 C 45 15 50 0 60 0"},
        // A second control: the next first control mirrors it about the end point.
        {1, 1, 0, -4, "M 0 0 C 10 0 20 6 30 10 C 40 14 50 0 60 0"},
        // A first control: the previous second control mirrors it about the previous end.
        {2, 0, -5, 5, "M 0 0 C 10 0 25 5 30 10 C 35 15 50 0 60 0"},
        // The last end point: its second control follows, the previous one is mirrored.
        {2, 2, 3, 0, "M 0 0 C 10 0 20 10 30 10 C 40 10 53 0 63 0"},
        // The first control of the first cubic: the next cubic's first control follows.
        {1, 0, 2, 2, "M 0 0 C 12 2 20 10 30 10 C 42 12 50 0 60 0"},
    };
    for (const auto& row : table) {
        NodeEditAgent agent;
        agent.Start(p1, row.node, row.point);
        {
            KeysDown keys(2);
            agent.Move(row.dx, row.dy);
            EXPECT_EQ(PathText(agent.WorkingCopy()), row.result);
        }
        agent.Move(0, 0);  // Control let go: everything back where the path has it
        EXPECT_EQ(PathText(agent.WorkingCopy()), PathText(p1));
    }
}

}  // namespace
}  // namespace vx::test
