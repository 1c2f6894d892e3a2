#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "template_test_support.h"

namespace vx::test {
namespace {

TEST(TemplateRecords, SetReferenceValuesNarrowsToSingleAndPrintsSixDecimals) {
    struct Case {
        double x, y;
        const char* xText;
        const char* yText;
    };
    const double halfwayAboveFltMax = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
    const Case cases[] = {
        {0.25, 1.0, "0.250000", "1.000000"},
        {0.1, -0.5, "0.100000", "-0.500000"},          // 0.1f is 0.100000001490116...
        {12345.678, 0.0, "12345.677734", "0.000000"},  // 12345.678f is 12345.677734375
        {16777217.0, -0.0000004, "16777216.000000", "-0.000000"},  // 2^24 + 1 rounds to even
        {1e300, -1e300, "inf", "-inf"},
        {halfwayAboveFltMax, std::nextafter(halfwayAboveFltMax, 0.0), "inf",
         "340282346638528859811704183484516925440.000000"},
        {std::numeric_limits<double>::quiet_NaN(), 1e-300, "nan", "0.000000"},
    };
    for (const Case& c : cases) {
        auto t = MakeTemplate("T", {}, {Reference({"a", "7"}), Reference({"b", "8"})});
        SetReferenceValues(*t, 1, c.x, c.y);
        EXPECT_EQ(U8(t->references[1].x.value), c.xText) << c.x;
        EXPECT_EQ(U8(t->references[1].y.value), c.yText) << c.y;
        EXPECT_EQ(U8(t->references[0].x.value), "7");  // the other reference is untouched
    }
    // An index out of range changes nothing.
    auto t = MakeTemplate("T", {}, {Reference({"a", "7"}, {"b", "8"})});
    SetReferenceValues(*t, -1, 1, 1);
    SetReferenceValues(*t, 1, 1, 1);
    EXPECT_EQ(U8(t->references[0].x.value), "7");
    EXPECT_EQ(U8(t->references[0].y.value), "8");
}

TEST(TemplateRecords, IndexedAccessorsAnswerFalseOutOfRangeAndLeaveOutAlone) {
    auto t = MakeTemplate("T", {Element(0, {"0", "0"}), Element(1, {"1", "a"}), Element(6, {})},
                          {Reference({"a", "0.5", "0", "1"})});
    EXPECT_EQ(GetElementCount(*t), 3);
    EXPECT_EQ(GetReferenceCount(*t), 1);

    TemplateElement e;
    e.kind = 99;
    e.coords[0] = VXTEXT("keep");
    for (int32_t index : {-1, 3, INT32_MIN, INT32_MAX}) {
        EXPECT_FALSE(GetElement(*t, index, &e)) << index;
        EXPECT_EQ(e.kind, 99u);
        EXPECT_EQ(U8(e.coords[0]), "keep");
    }
    ASSERT_TRUE(GetElement(*t, 1, &e));
    EXPECT_EQ(e.kind, 1u);
    EXPECT_EQ(U8(e.coords[1]), "a");

    TemplateReference r;
    r.x.name = VXTEXT("keep");
    EXPECT_FALSE(GetReference(*t, -1, &r));
    EXPECT_FALSE(GetReference(*t, 1, &r));
    EXPECT_EQ(U8(r.x.name), "keep");
    ASSERT_TRUE(GetReference(*t, 0, &r));
    EXPECT_EQ(U8(r.x.name), "a");
    EXPECT_EQ(U8(r.x.max), "1");

    double frame[4] = {9, 9, 9, 9};
    EXPECT_EQ(GetFrame(*t, frame), frame);
    EXPECT_EQ(std::vector<double>(frame, frame + 4), (std::vector<double>{0, 0, 0, 0}));
    SetFrame(*t, 100, 50, 300, 150);
    GetFrame(*t, frame);
    EXPECT_EQ(std::vector<double>(frame, frame + 4), (std::vector<double>{100, 50, 300, 150}));
}

TEST(TemplateRecords, CloneCopiesShapeNameAndFrameButNotTipsOrIcon) {
    auto t = MakeTemplate("Arrow", {Element(0, {"0", "0.5"}), Element(5, {"0", "0", "w", "1"})},
                          {Reference({"w", "0.3", "0.1", "0.9"}, {"h", "w/2", "", ""})});
    t->SetTips(VXTEXT("An arrow"));
    t->SetIcon(VXTEXT("arrow.ico"));
    t->references[0].x.variable = true;
    SetFrame(*t, 1, 2, 3, 4);

    std::unique_ptr<FigureTemplate> copy(CloneTemplate(*t));
    EXPECT_EQ(U8(copy->info.name), "Arrow");
    EXPECT_NE(copy->info.name, t->info.name);  // a string of its own
    EXPECT_EQ(copy->info.tips, nullptr);
    EXPECT_EQ(copy->info.icon, nullptr);
    ASSERT_EQ(copy->elements.size(), 2u);
    EXPECT_EQ(copy->elements[1].kind, 5u);
    EXPECT_EQ(U8(copy->elements[1].coords[2]), "w");
    ASSERT_EQ(copy->references.size(), 1u);
    EXPECT_EQ(U8(copy->references[0].y.value), "w/2");
    EXPECT_TRUE(copy->references[0].x.variable);
    EXPECT_EQ(std::vector<double>(copy->frame, copy->frame + 4),
              (std::vector<double>{1, 2, 3, 4}));

    // Independent of the original.
    SetReferenceValues(*copy, 0, 0.75, 0.5);
    EXPECT_EQ(U8(t->references[0].x.value), "0.3");

    // The info strings are the template's own system strings, in FigureInfo order.
    FigureInfo* info = GetInfoStrings(*t);
    EXPECT_EQ(static_cast<void*>(info), static_cast<void*>(&t->info.name));
    EXPECT_EQ(U8(info->tips), "An arrow");
    EXPECT_EQ(platform::SysStringLength(info->name), 5u);
    EXPECT_EQ(platform::SysStringLength(info->icon), 9u);
}

// Records RegisterTool; every other canvas operation is unused here.
class NameRecordingCanvas : public IGraphicCanvas {
public:
    void RegisterTool(const VXCHAR* name, IVXFigures* tool) override {
        names.push_back(U8(name));
        tools.push_back(tool);
    }
    std::vector<std::string> names;
    std::vector<IVXFigures*> tools;

    void SetEditMode(int32_t) override {}
    int32_t GetEditMode() override { return 0; }
    IVXSelections* GetSelections() override { return nullptr; }
    const VXCHAR* GetCurrentToolName() override { return nullptr; }
    bool SetCurrentTool(const VXCHAR*) override { return false; }
    int32_t GetToolInfos(FigureInfo*, int32_t) override { return 0; }
    void AddPath(IVXPath*) override {}
    void RemovePath(IVXPath*) override {}
    void DetachPath(IVXPath*) override {}
    bool ApplyTemplateText(IVXPath*, const VXCHAR*, bool) override { return false; }
    int32_t GetTemplateText(IVXPath*, VXCHAR*, int32_t) override { return 0; }
    void ClearPaths() override {}
    int32_t GetPathCount() override { return 0; }
    IVXPath* GetPath(int32_t) override { return nullptr; }
    void DrawSelection(IDrawSurface*, int32_t, int32_t) override {}
    int32_t HitTest(double, double, int32_t, IVXPath**) override { return 0; }
    void KeyDown(int32_t, int32_t, int32_t) override {}
    void KeyUp(int32_t, int32_t, int32_t) override {}
    void MouseDown(double, double, int32_t) override {}
    void MouseMove(double, double) override {}
    void ClickHovered(double, double) override {}
    bool PlaceFigure(double, double, const VXCHAR*) override { return false; }
};

class TemplateLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { TemplateLibrary::Instance().ReleaseAll(); }
    void TearDown() override { TemplateLibrary::Instance().ReleaseAll(); }
};

TEST_F(TemplateLibraryTest, NamesAreExactAndEnumeratedInCodeUnitOrder) {
    TemplateLibrary& library = TemplateLibrary::Instance();
    for (const char* name : {"b", "a", "B", "\xC3\xA9toile"}) {  // "étoile" sorts last
        StoreTemplate(MakeTemplate(name, {Element(0, {"0", "0"})}));
    }
    NameRecordingCanvas canvas;
    auto* tool = reinterpret_cast<IVXFigures*>(&canvas);  // only passed through
    library.EnumerateTemplateNames(&canvas, tool);
    EXPECT_EQ(canvas.names, (std::vector<std::string>{"B", "a", "b", "\xC3\xA9toile"}));
    EXPECT_EQ(canvas.tools, std::vector<IVXFigures*>(4, tool));
    library.EnumerateTemplateNames(nullptr, tool);  // no canvas: nothing to call

    EXPECT_NE(library.FindTemplate(VXTEXT("a")), nullptr);
    EXPECT_NE(library.FindTemplate(VXTEXT("a")), library.FindTemplate(VXTEXT("b")));
    EXPECT_EQ(library.FindTemplate(VXTEXT("A")), nullptr);
    EXPECT_EQ(library.FindTemplate(VXTEXT("a ")), nullptr);
    EXPECT_EQ(library.FindTemplate(VXTEXT("")), nullptr);
    EXPECT_EQ(library.FindTemplate(static_cast<const VXCHAR*>(nullptr)), nullptr);
    EXPECT_EQ(U8(library.FindTemplate(W("\xC3\xA9toile"))->info.name), "\xC3\xA9toile");
}

TEST_F(TemplateLibraryTest, StoreReplacesAndReleaseAllEmptiesWithoutTouchingClones) {
    TemplateLibrary& library = TemplateLibrary::Instance();
    auto first = MakeTemplate("Star", {Element(0, {"0", "0"})});
    first->SetTips(VXTEXT("first"));
    StoreTemplate(std::move(first));
    auto second = MakeTemplate("Star", {Element(0, {"1", "1"}), Element(6, {})});
    second->SetTips(VXTEXT("second"));
    StoreTemplate(std::move(second));
    EXPECT_EQ(library.Count(), 1u);
    EXPECT_EQ(TipsOf("Star"), "second");
    EXPECT_EQ(library.FindTemplate(VXTEXT("Star"))->elements.size(), 2u);

    std::unique_ptr<FigureTemplate> clone(CloneTemplate(*library.FindTemplate(VXTEXT("Star"))));
    VX_Release();
    EXPECT_EQ(library.Count(), 0u);
    EXPECT_EQ(library.FindTemplate(VXTEXT("Star")), nullptr);
    EXPECT_TRUE(library.Names().empty());
    EXPECT_EQ(U8(clone->info.name), "Star");
    EXPECT_EQ(clone->elements.size(), 2u);
    VX_Release();  // releasing an empty library is harmless
}

}  // namespace
}  // namespace vx::test
