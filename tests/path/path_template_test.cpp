#include <memory>
#include <string>

#include "path_fixture.h"

namespace vx::test {
namespace {

std::unique_ptr<FigureTemplate> MakeTemplate(const String& name, size_t references) {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(name.c_str());
    t->SetTips(VXTEXT("tip"));
    t->frame[0] = 10;
    t->frame[1] = 10;
    t->frame[2] = 50;
    t->frame[3] = 30;
    for (size_t i = 0; i < references; ++i) {
        TemplateReference r;
        r.x.value = VXTEXT("0.25");
        r.y.value = i % 2 ? VXTEXT("not a number") : VXTEXT("  1e-1xyz");
        t->references.push_back(r);
    }
    return t;
}

TEST_F(PathTest, TemplateFrameIsTheLocalBoxAndTheUntransformedBounds) {
    AddPathText(path, "M 0 0 L 1000 1000");
    auto t = MakeTemplate(VXTEXT("Frame"), 0);
    path->AttachTemplate(t.get());
    t.reset();  // the path keeps its own copy
    ASSERT_TRUE(path->HasTemplate());
    SetTransform(path, {1, 0, 0, 1, 100, 0});
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{10, 10, 40, 20}));
    EXPECT_EQ(Bounds(path), (std::vector<double>{10, 10, 40, 20}));
    EXPECT_EQ(Corners(path), (std::vector<double>{110, 10, 150, 10, 110, 30, 150, 30}));
    // The copy has the name but neither tips nor icon.
    EXPECT_EQ(String(path->GetTemplateCopy()->info.name), VXTEXT("Frame"));
    EXPECT_EQ(path->GetTemplateCopy()->info.tips, nullptr);

    // A clone carries a template copy of its own; CopyFrom without template drops it.
    IVXPath* clone = path->Clone();
    ASSERT_TRUE(clone->HasTemplate());
    EXPECT_NE(CVXPath::FromInterface(clone)->GetTemplateCopy(), path->GetTemplateCopy());
    EXPECT_EQ(path->CopyFrom(clone, 0), 1);
    EXPECT_FALSE(path->HasTemplate());
    EXPECT_TRUE(path->ReferencePoints().empty());
    EXPECT_EQ(LocalBounds(path), (std::vector<double>{0, 0, 1000, 1000}));
    EXPECT_EQ(clone->Release(), 0);
}

TEST_F(PathTest, TemplateInfoDescribesTheCopyForRebuilding) {
    auto t = MakeTemplate(VXTEXT("Star"), 70);
    path->AttachTemplate(t.get());
    PathCreateParams out;
    std::fill(reinterpret_cast<char*>(&out), reinterpret_cast<char*>(&out + 1), '\x55');
    ASSERT_TRUE(path->GetTemplateInfo(&out));
    EXPECT_EQ(String(out.name), VXTEXT("Star"));
    for (size_t i = 4; i < 256; ++i) ASSERT_EQ(out.name[i], 0) << i;
    EXPECT_EQ(out.count, 64);
    EXPECT_EQ(out.pairs[0][0], 0.25);
    EXPECT_EQ(out.pairs[0][1], 0.1);  // leading blanks and trailing text as wcstod reads them
    EXPECT_EQ(out.pairs[1][1], 0.0);  // not a number
    EXPECT_EQ(out.pairs[63][0], 0.25);
    EXPECT_EQ(out.left, 10);
    EXPECT_EQ(out.top, 10);
    EXPECT_EQ(out.right, 50);
    EXPECT_EQ(out.bottom, 30);

    // A name of 256 units or more fills the field with no terminator.
    String name(300, VXCHAR('n'));
    name[255] = VXCHAR('z');
    t->SetName(name.c_str());
    t->references.clear();
    path->AttachTemplate(t.get());
    ASSERT_TRUE(path->GetTemplateInfo(&out));
    EXPECT_EQ(out.name[0], VXCHAR('n'));
    EXPECT_EQ(out.name[255], VXCHAR('z'));
    EXPECT_EQ(out.count, 0);
}

}  // namespace
}  // namespace vx::test

namespace vx::test {
namespace {

TEST_F(PathTest, ReferencePointsAreFrameOriginPlusSizeTimesValue) {
    FigureTemplate t;
    t.frame[0] = 100;
    t.frame[1] = 50;
    t.frame[2] = 300;
    t.frame[3] = 150;
    TemplateReference plain, named;
    plain.x.value = VXTEXT("0.25");
    plain.y.value = VXTEXT("1");
    named.x.value = VXTEXT("a");  // a variable cannot be resolved here
    named.x.name = VXTEXT("a");
    named.y.value = VXTEXT("0.5*2");
    t.references = {plain, named};
    path->AttachTemplate(&t);
    EXPECT_EQ(path->ReferencePoints(), (std::vector<double>{150, 150, 0, 150}));

    // In object mode each reference adds a handle mark after the nine box handles, taken
    // through the transform.
    SetTransform(path, {1, 0, 0, 1, 5, 0});
    surface.drawMarkResult = 1;
    path->DrawTracker(&surface, 0, false, true);
    const std::vector<std::string> marks = log.Only({"DrawMark"});
    ASSERT_EQ(marks.size(), 11u);
    EXPECT_EQ(marks[0], "DrawMark 105 50 8 8 1");
    EXPECT_EQ(marks[8], "DrawMark 205 100 8 8 0");
    EXPECT_EQ(marks[9], "DrawMark 155 150 8 8 4");
    EXPECT_EQ(marks[10], "DrawMark 5 150 8 8 4");

    // Attaching nothing removes the copy and the points.
    path->AttachTemplate(nullptr);
    EXPECT_FALSE(path->HasTemplate());
    EXPECT_TRUE(path->ReferencePoints().empty());
}

}  // namespace
}  // namespace vx::test
