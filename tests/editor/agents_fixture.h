// Shared set-up for the edit agent tests: two named paths, a selection, and a recording
// host and surface that share one call log.
#pragma once

#include "editor/agents.h"
#include "editor/selections.h"
#include "path/path_fixture.h"

namespace vx::test {

inline V Matrix(const PathTransform& m) { return V{m.a, m.b, m.c, m.d, m.e, m.f}; }
inline V TransformOf(IVXPath* p) {
    PathTransform m;
    p->GetTransform(&m.a);
    return Matrix(m);
}
inline void SetTransform(IVXPath* p, PathTransform m) { p->SetTransform(&m.a); }
inline V RectOf(const Rect& r) { return V{r.x1, r.y1, r.x2, r.y2}; }

class AgentTest : public ::testing::Test {
protected:
    AgentTest() {
        log.Name(p1, "p1");
        log.Name(p2, "p2");
    }
    ~AgentTest() override {
        EXPECT_EQ(p1->Release(), 0);
        EXPECT_EQ(p2->Release(), 0);
        g_parameters = GlobalParameters{};
    }

    // One agent's matrix for a drag of p1 from (x0, y0) to (x, y) with the given code.
    V DragMatrix(int32_t code, double x0, double y0, double x, double y) {
        CPathObjAgent agent;
        agent.Fill(nullptr, p1, true);
        agent.ScaleByHandle(p1, x0, y0, x, y, code);
        EXPECT_EQ(TransformOf(agent.CopyAt(0)), Matrix(agent.EditMatrix()));
        return Matrix(agent.EditMatrix());
    }

    CallLog log;
    RecordingSurface surface{log};
    RecordingHost host{log, &surface};
    CVXPath* p1 = CVXPath::Create();
    CVXPath* p2 = CVXPath::Create();
    CVXSelections selection;
};

}  // namespace vx::test
