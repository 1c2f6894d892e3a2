#include <cmath>
#include <limits>

#include "path_fixture.h"

namespace vx::test {
namespace {

TEST_F(PathTest, NewPathIsEmptyWithOneReferenceAndIdentity) {
    IVXPath* p = VX_CreatePath();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetNodes(nullptr, 0), 0);
    EXPECT_EQ(p->GetTag(), 0u);
    double t[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(p->GetTransform(t), t);
    EXPECT_EQ(std::vector<double>(t, t + 6), (std::vector<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(p->HasTemplate());
    EXPECT_EQ(p->GetUserObject(), nullptr);
    EXPECT_EQ(p->GetFillObject(), nullptr);
    PathCreateParams params;
    params.count = 1234;
    EXPECT_FALSE(p->GetTemplateInfo(&params));
    EXPECT_EQ(params.count, 1234);
    EXPECT_EQ(p->AddRef(), 2);
    EXPECT_EQ(p->Release(), 1);
    EXPECT_EQ(p->SetTag(0xDEADBEEFu), 0xDEADBEEFu);
    EXPECT_EQ(p->GetTag(), 0xDEADBEEFu);
    EXPECT_EQ(p->Release(), 0);
}

TEST_F(PathTest, RectangleNodeBecomesMoveThreeLinesAndClose) {
    g_currentPoint = {3, 4};
    path->AddNode(VX_NODE_RECT, 10, 20, 30, 40, 0, 0);
    const std::vector<PathNode> n = Nodes(path);
    ASSERT_EQ(n.size(), 5u);
    EXPECT_EQ(n[0].kind, VX_NODE_MOVE);
    EXPECT_EQ(n[0].x1, 10);
    EXPECT_EQ(n[0].y1, 20);
    EXPECT_EQ(n[0].x2, 30);  // width and height stay in the move node
    EXPECT_EQ(n[0].y2, 40);
    EXPECT_EQ(PathText(path), "M 10 20 L 40 20 L 40 60 L 10 60 Z");
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(n[i].reserved, 0);
        EXPECT_EQ(n[i].x2, 0);
        EXPECT_EQ(n[i].y3, 0);
    }
    // A rectangle leaves the shared current point where it was.
    EXPECT_EQ(g_currentPoint.x, 3);
    EXPECT_EQ(g_currentPoint.y, 4);
}

TEST_F(PathTest, ShortenedCubicsTakeTheSharedCurrentPoint) {
    g_currentPoint = {0, 0};  // as when the library has just been loaded
    path->AddNode(VX_NODE_CUBIC_V, 5, 5, 9, 9, 0, 0);
    EXPECT_EQ(PathText(path), "C 0 0 5 5 9 9");
    EXPECT_EQ(g_currentPoint.x, 9);

    // The current point is one for all paths: a line added to another path moves it, a
    // rectangle in between does not.
    CVXPath* other = CVXPath::Create();
    other->AddNode(VX_NODE_LINE, 7, 8, 0, 0, 0, 0);
    path->ClearNodes();
    path->AddNode(VX_NODE_RECT, 100, 100, 5, 5, 0, 0);
    path->AddNode(VX_NODE_CLOSE, 50, 50, 0, 0, 0, 0);
    path->AddNode(42, 60, 60, 0, 0, 0, 0);
    path->AddNode(VX_NODE_CUBIC_V, 1, 1, 2, 2, 0, 0);
    EXPECT_EQ(Nodes(path).back().kind, VX_NODE_CUBIC);
    EXPECT_EQ(Nodes(path).back().x1, 7);
    EXPECT_EQ(Nodes(path).back().y1, 8);

    path->ClearNodes();
    path->AddNode(VX_NODE_CUBIC_Y, 1, 2, 3, 4, 0, 0);
    EXPECT_EQ(PathText(path), "C 1 2 3 4 3 4");
    path->AddNode(VX_NODE_CUBIC, 1, 1, 2, 2, 11, 12);
    path->AddNode(VX_NODE_CUBIC_V, 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(Nodes(path).back().x1, 11);
    EXPECT_EQ(Nodes(path).back().y1, 12);
    EXPECT_EQ(other->Release(), 0);
}

TEST_F(PathTest, AddNodesRewritesTheCallersArrayIntoStoredForm) {
    g_currentPoint = {1, 1};
    PathNode nodes[4] = {
        {VX_NODE_CUBIC_V, 77, 2, 2, 3, 3, 99, 99},
        {VX_NODE_CUBIC_Y, 0, 4, 4, 5, 5, 98, 98},
        {VX_NODE_RECT, 0, 0, 0, 2, 2, 97, 96},
        {-5, 3, 1, 2, 3, 4, 5, 6},
    };
    path->AddNodes(nodes, 4);
    EXPECT_EQ(nodes[0].kind, VX_NODE_CUBIC);
    EXPECT_EQ(nodes[0].reserved, 77);  // copied through
    EXPECT_EQ(nodes[0].x1, 1);
    EXPECT_EQ(nodes[0].x3, 3);
    EXPECT_EQ(nodes[1].kind, VX_NODE_CUBIC);
    EXPECT_EQ(nodes[1].x3, 5);
    EXPECT_EQ(nodes[2].kind, VX_NODE_MOVE);
    EXPECT_EQ(nodes[2].x3, 97);  // the relabelled record keeps its other fields
    EXPECT_EQ(nodes[3].kind, -5);
    const std::vector<PathNode> n = Nodes(path);
    ASSERT_EQ(n.size(), 8u);
    EXPECT_EQ(n[0].reserved, 77);
    EXPECT_EQ(n[2].y3, 96);
    EXPECT_EQ(n[7].kind, -5);
    EXPECT_EQ(n[7].y3, 6);

    // Counts below 1 and a null array add nothing.
    path->AddNodes(nodes, 0);
    path->AddNodes(nodes, -1);
    path->AddNodes(nodes, std::numeric_limits<int32_t>::min());
    path->AddNodes(nullptr, 3);
    EXPECT_EQ(path->GetNodes(nullptr, 0), 8);
}

TEST_F(PathTest, GetNodesCountsCopiesAndRefusesNegativeMaxima) {
    AddPathText(path, "M 0 0 L 1 1 L 2 2 L 3 3 Z");
    PathNode buffer[6] = {};
    buffer[2].kind = 55;
    EXPECT_EQ(path->GetNodes(nullptr, 5), 5);
    EXPECT_EQ(path->GetNodes(buffer, 0), 5);
    EXPECT_EQ(path->GetNodes(buffer, -3), -3);
    EXPECT_EQ(buffer[0].kind, 0);
    EXPECT_EQ(buffer[0].x1, 0);
    EXPECT_EQ(path->GetNodes(buffer, 2), 2);
    EXPECT_EQ(buffer[1].x1, 1);
    EXPECT_EQ(buffer[2].kind, 55);  // untouched beyond the maximum
    EXPECT_EQ(path->GetNodes(buffer, std::numeric_limits<int32_t>::max()), 5);
    EXPECT_EQ(buffer[4].kind, VX_NODE_CLOSE);

    EXPECT_EQ(path->NodeAt(-1), nullptr);
    EXPECT_EQ(path->NodeAt(5), nullptr);
    ASSERT_NE(path->NodeAt(4), nullptr);
    path->NodeAt(1)->x1 = 42;  // the edit agents move coordinates in place
    EXPECT_EQ(PathText(path), "M 0 0 L 42 1 L 2 2 L 3 3 Z");

    path->ClearNodes();
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(PathTest, AttachedObjectsTakeTheNewReferenceBeforeReleasingTheOld) {
    CountedObject a(&log, "a"), b(&log, "b"), fill(&log, "fill", VX_FILL_EVENODD);
    path->SetUserObject(&a);
    EXPECT_EQ(a.refs, 2);
    path->SetUserObject(&b);
    EXPECT_EQ(a.refs, 1);
    EXPECT_EQ(b.refs, 2);
    // Setting the same object again never lets its count touch zero.
    path->SetUserObject(&b);
    EXPECT_EQ(b.refs, 2);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Release a 1", "Release b 2"}));
    EXPECT_EQ(path->GetUserObject(), &b);
    EXPECT_EQ(b.refs, 2);  // Get adds no reference

    path->SetFillObject(&fill);
    EXPECT_EQ(path->GetFillObject(), &fill);
    EXPECT_EQ(path->GetFillObject()->FillRule(), VX_FILL_EVENODD);
    path->SetFillObject(nullptr);
    EXPECT_EQ(fill.refs, 1);
    EXPECT_EQ(path->GetFillObject(), nullptr);

    // Destruction releases the fill object before the user object.
    path->SetFillObject(&fill);
    log.Clear();
    EXPECT_EQ(path->Release(), 0);
    path = nullptr;
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Release fill 1", "Release b 1"}));
}

TEST_F(PathTest, CloneCopiesNodesTransformAndObjectsButNotTheTag) {
    CountedObject user(&log, "user"), fill(&log, "fill");
    AddPathText(path, "M 1 2 C 3 4 5 6 7 8 Z N 9 1 1 1 1 1 1");
    SetTransform(path, {2, 0, 0, 2, 10, 20});
    path->SetTag(77);
    path->SetUserObject(&user);
    path->SetFillObject(&fill);

    IVXPath* copy = path->Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(PathText(copy), "M 1 2 C 3 4 5 6 7 8 Z N 9 1 1 1 1 1 1");
    double t[6];
    copy->GetTransform(t);
    EXPECT_EQ(std::vector<double>(t, t + 6), (std::vector<double>{2, 0, 0, 2, 10, 20}));
    EXPECT_EQ(copy->GetTag(), 0u);
    EXPECT_EQ(copy->GetUserObject(), &user);
    EXPECT_EQ(copy->GetFillObject(), &fill);
    EXPECT_EQ(user.refs, 3);
    EXPECT_EQ(fill.refs, 3);
    EXPECT_FALSE(copy->HasTemplate());
    EXPECT_EQ(copy->Release(), 0);
    EXPECT_EQ(user.refs, 2);

    // A path without nodes cannot be cloned.
    CVXPath* empty = CVXPath::Create();
    empty->SetUserObject(&user);
    EXPECT_EQ(empty->Clone(), nullptr);
    EXPECT_EQ(user.refs, 3);
    EXPECT_EQ(empty->Release(), 0);
    EXPECT_EQ(user.refs, 2);
    // The objects live on this test's stack: detach them before the fixture releases.
    path->SetUserObject(nullptr);
    path->SetFillObject(nullptr);
    EXPECT_EQ(user.refs, 1);
    EXPECT_EQ(fill.refs, 1);
}

TEST_F(PathTest, CopyFromReplacesNodesAndTransformOnly) {
    CVXPath* source = CVXPath::Create();
    CountedObject user(&log, "user");
    AddPathText(path, "M 0 0 L 5 5");
    path->SetTag(5);
    path->SetUserObject(&user);

    // An empty source copies nothing and changes nothing.
    SetTransform(source, {3, 0, 0, 3, 0, 0});
    EXPECT_EQ(path->CopyFrom(source, 1), 0);
    EXPECT_EQ(PathText(path), "M 0 0 L 5 5");
    EXPECT_EQ(path->GetTransform(std::vector<double>(6).data())[0], 1);
    EXPECT_EQ(path->CopyFrom(nullptr, 1), 0);

    AddPathText(source, "M 9 9 L 8 8 Z");
    EXPECT_EQ(path->CopyFrom(source, 0), 1);
    EXPECT_EQ(PathText(path), "M 9 9 L 8 8 Z");
    double t[6];
    EXPECT_EQ(path->GetTransform(t)[0], 3);
    EXPECT_EQ(path->GetTag(), 5u);
    EXPECT_EQ(path->GetUserObject(), &user);

    // Copying from itself keeps the content.
    EXPECT_EQ(path->CopyFrom(path, 1), 1);
    EXPECT_EQ(PathText(path), "M 9 9 L 8 8 Z");
    EXPECT_EQ(source->Release(), 0);
    path->SetUserObject(nullptr);
    EXPECT_EQ(user.refs, 1);
}

// A host's own path implementation: CopyFrom reads its nodes through the interface and
// finds no template copy to read.
class ForeignPath : public IVXPath {
public:
    int32_t AddRef() override { return 1; }
    int32_t Release() override { return 1; }
    uint32_t SetTag(uint32_t t) override { return t; }
    uint32_t GetTag() override { return 0; }
    void AddNodes(PathNode*, int32_t) override {}
    void AddNode(int32_t, double, double, double, double, double, double) override {}
    void ClearNodes() override {}
    double* GetTransform(double* out) override {
        const double t[6] = {1, 0, 0, 1, 4, 4};
        std::copy(t, t + 6, out);
        return out;
    }
    const double* SetTransform(const double* in) override { return in; }
    int32_t GetNodes(PathNode* out, int32_t max) override {
        if (!out || max == 0) return 1;
        out[0] = PathNode{VX_NODE_LINE, 0, 6, 7, 0, 0, 0, 0};
        return 1;
    }
    IVXPath* Clone() override { return nullptr; }
    int32_t CopyFrom(IVXPath*, int32_t) override { return 0; }
    void Draw(IDrawSurface*) override {}
    double* GetBounds(double*, double*, double*, double* h) override { return h; }
    void GetOrientedCorners(double*, double*, double*, double*, double*, double*, double*,
                            double*) override {}
    void GetCorners(double*, double*, double*, double*, double*, double*, double*,
                    double*) override {}
    void SetUserObject(IVXHostObject*) override {}
    void SetFillObject(IVXFillObject*) override {}
    IVXHostObject* GetUserObject() override { return nullptr; }
    IVXFillObject* GetFillObject() override { return nullptr; }
    bool HasTemplate() override { return true; }
    bool GetTemplateInfo(PathCreateParams*) override { return false; }
};

TEST_F(PathTest, CopyFromAHostPathReadsOnlyItsInterface) {
    ForeignPath foreign;
    EXPECT_EQ(CVXPath::FromInterface(&foreign), nullptr);
    EXPECT_EQ(CVXPath::FromInterface(path), path);
    EXPECT_EQ(path->CopyFrom(&foreign, 1), 1);
    EXPECT_EQ(PathText(path), "L 6 7");
    EXPECT_FALSE(path->HasTemplate());
    EXPECT_EQ(Bounds(path), (std::vector<double>{6, 7, 8, 8}));  // flat box, moved by (4, 4)
}

}  // namespace
}  // namespace vx::test
