// Shared set-up for the edit agent tests: two named paths, a selection, a recording host
// and surface, a path that the host implements itself, and a template with a draggable
// reference.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/agents.h"
#include "editor/selections.h"
#include "interface/global_parameters.h"
#include "path/path.h"
#include "support/recording.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"

namespace vx::test {

using V = std::vector<double>;
using Lines = std::vector<std::string>;

inline V Matrix(const PathTransform& m) { return V{m.a, m.b, m.c, m.d, m.e, m.f}; }
inline V TransformOf(IVXPath* p) {
    PathTransform m;
    p->GetTransform(&m.a);
    return Matrix(m);
}
inline void SetTransform(IVXPath* p, PathTransform m) { p->SetTransform(&m.a); }
inline V RectOf(const Rect& r) { return V{r.x1, r.y1, r.x2, r.y2}; }

// Element-wise comparison whose failure message names the index and the tolerance.
inline void ExpectNear(const V& actual, const V& expected, double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "at index " << i;
}

// A path of the host's own: every operation goes to a path of ours inside it, but the
// library cannot recognise it as one of its paths.
class HostPath final : public IVXPath {
public:
    HostPath() : inner(CVXPath::Create()) {}
    ~HostPath() { inner->Release(); }
    HostPath(const HostPath&) = delete;
    HostPath& operator=(const HostPath&) = delete;

    int32_t AddRef() override { return ++refs; }
    int32_t Release() override { return --refs; }
    uint32_t SetTag(uint32_t tag) override { return inner->SetTag(tag); }
    uint32_t GetTag() override { return inner->GetTag(); }
    void AddNodes(PathNode* nodes, int32_t count) override { inner->AddNodes(nodes, count); }
    void AddNode(int32_t kind, double x1, double y1, double x2, double y2, double x3,
                 double y3) override {
        inner->AddNode(kind, x1, y1, x2, y2, x3, y3);
    }
    void ClearNodes() override { inner->ClearNodes(); }
    double* GetTransform(double* out) override { return inner->GetTransform(out); }
    const double* SetTransform(const double* in) override { return inner->SetTransform(in); }
    int32_t GetNodes(PathNode* out, int32_t max) override { return inner->GetNodes(out, max); }
    IVXPath* Clone() override { return inner->Clone(); }
    int32_t CopyFrom(IVXPath* source, int32_t withTemplate) override {
        return inner->CopyFrom(source, withTemplate);
    }
    void Draw(IDrawSurface* surface) override { inner->Draw(surface); }
    double* GetBounds(double* x, double* y, double* w, double* h) override {
        return inner->GetBounds(x, y, w, h);
    }
    void GetOrientedCorners(double* x1, double* y1, double* x2, double* y2, double* x3,
                            double* y3, double* x4, double* y4) override {
        inner->GetOrientedCorners(x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void GetCorners(double* x1, double* y1, double* x2, double* y2, double* x3, double* y3,
                    double* x4, double* y4) override {
        inner->GetCorners(x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void SetUserObject(IVXHostObject* object) override { inner->SetUserObject(object); }
    void SetFillObject(IVXFillObject* object) override { inner->SetFillObject(object); }
    IVXHostObject* GetUserObject() override { return inner->GetUserObject(); }
    IVXFillObject* GetFillObject() override { return inner->GetFillObject(); }
    bool HasTemplate() override { return inner->HasTemplate(); }
    bool GetTemplateInfo(PathCreateParams* out) override { return inner->GetTemplateInfo(out); }

    CVXPath* inner;
    int32_t refs = 1;
};

// Move (0, 0), line (a, b), line (1, 1). Reference 0 binds a and b, starts at 0.5 and 0.5
// and ranges over [0.1, 0.9] and [0, 1]; reference 1 has no range texts.
inline std::unique_ptr<FigureTemplate> DragTemplate() {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(VXTEXT("Slant"));
    auto element = [&t](uint32_t kind, const VXCHAR* x, const VXCHAR* y) {
        TemplateElement e;
        e.kind = kind;
        e.coords[0] = x;
        e.coords[1] = y;
        t->elements.push_back(e);
    };
    element(VX_NODE_MOVE, VXTEXT("0"), VXTEXT("0"));
    element(VX_NODE_LINE, VXTEXT("a"), VXTEXT("b"));
    element(VX_NODE_LINE, VXTEXT("1"), VXTEXT("1"));
    TemplateReference r;
    r.x.value = VXTEXT("0.5");
    r.x.name = VXTEXT("a");
    r.x.min = VXTEXT("0.1");
    r.x.max = VXTEXT("0.9");
    r.y.value = VXTEXT("0.5");
    r.y.name = VXTEXT("b");
    r.y.min = VXTEXT("0");
    r.y.max = VXTEXT("1");
    t->references.push_back(r);
    TemplateReference bare;
    bare.x.value = VXTEXT("0.5");
    bare.x.name = VXTEXT("c");
    bare.y.value = VXTEXT("0.5");
    bare.y.name = VXTEXT("d");
    t->references.push_back(bare);
    return t;
}

// Builds `path` from the drag template in the frame (0, 0, 100, 50) and attaches it.
inline void MakeTemplatePath(CVXPath* path) {
    auto t = DragTemplate();
    const double frame[4] = {0, 0, 100, 50};
    ASSERT_TRUE(BuildPathFromTemplate(path, *t, frame));
    path->AttachTemplate(t.get());
}

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

    // The rectangle (0, 0)-(100, 50) and a diagonal line from (200, 100) to (300, 150).
    void TwoPaths() {
        AddPathText(p1, "M 0 0 L 100 0 L 100 50 L 0 50 Z");
        AddPathText(p2, "M 200 100 L 300 150");
    }

    CallLog log;
    RecordingSurface surface{log};
    RecordingHost host{log, &surface};
    CVXPath* p1 = CVXPath::Create();
    CVXPath* p2 = CVXPath::Create();
    CVXSelections selection;
};

}  // namespace vx::test
