// Template records, the library and instantiation, over templates written as short tables.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "path/path.h"
#include "platform/platform.h"
#include "support/recording.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx::test {
namespace {

String W(const std::string& utf8) { return text::FromUtf8(utf8); }
std::string U8(const VXCHAR* text) { return text ? text::ToUtf8(text) : "(null)"; }
std::string U8(const String& text) { return text::ToUtf8(text); }

TemplateElement Element(uint32_t kind, std::vector<std::string> coords) {
    TemplateElement e{kind, {}};
    for (size_t k = 0; k < coords.size(); ++k) e.coords[k] = W(coords[k]);
    return e;
}

// An axis written as {name, value, min, max}; missing texts stay empty.
using Axis = std::vector<std::string>;
TemplateReference Reference(Axis x, Axis y = {}) {
    TemplateReference r;
    for (auto [axis, spec] : {std::pair{&r.x, x}, std::pair{&r.y, y}}) {
        spec.resize(4);
        axis->name = W(spec[0]), axis->value = W(spec[1]), axis->min = W(spec[2]), axis->max = W(spec[3]);
    }
    return r;
}

std::unique_ptr<FigureTemplate> MakeTemplate(const std::string& name, std::vector<TemplateElement> elements,
                                             std::vector<TemplateReference> references = {}) {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(W(name).c_str());
    t->elements = std::move(elements);
    t->references = std::move(references);
    return t;
}

// Stores a template in the process-wide library under its own name.
void StoreTemplate(std::unique_ptr<FigureTemplate> t) {
    const String name = t->info.name;
    TemplateLibrary::Instance().Store(name, std::move(t));
}

TEST(TemplateRecords, SetReferenceValuesNarrowsToSingleAndPrintsSixDecimals) {
    const double halfwayAboveFltMax = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
    const struct {
        double x, y;
        const char *xText, *yText;
    } cases[] = {
        {0.25, 1.0, "0.250000", "1.000000"},
        {16777217.0, -0.0000004, "16777216.000000", "-0.000000"},  // 2^24 + 1 rounds to even
        {halfwayAboveFltMax, std::nextafter(halfwayAboveFltMax, 0.0), "inf",
         "340282346638528859811704183484516925440.000000"},
        {std::numeric_limits<double>::quiet_NaN(), -1e300, "nan", "-inf"},
    };
    auto t = MakeTemplate("T", {}, {Reference({"a", "7"}, {"b", "8"}), Reference({"c", "9"})});
    for (const auto& c : cases) {
        SetReferenceValues(*t, 1, c.x, c.y);
        EXPECT_EQ(U8(t->references[1].x.value) + " " + U8(t->references[1].y.value),
                  std::string(c.xText) + " " + c.yText);
    }
    SetReferenceValues(*t, -1, 1, 1);  // out of range: nothing changes
    SetReferenceValues(*t, 2, 1, 1);
    EXPECT_EQ(U8(t->references[0].x.value) + U8(t->references[0].y.value) + U8(t->references[1].y.value), "78-inf");
}

TEST(TemplateRecords, AccessorsCloneAndInfoStrings) {
    auto t = MakeTemplate("Arrow", {Element(0, {"0", "0.5"}), Element(5, {"0", "0", "w", "1"})},
                          {Reference({"w", "0.3", "0.1", "0.9"}, {"h", "w/2"})});
    t->SetTips(VXTEXT("An arrow"));
    t->SetIcon(VXTEXT("arrow.ico"));
    t->references[0].x.variable = true;
    EXPECT_TRUE(GetElementCount(*t) == 2 && GetReferenceCount(*t) == 1);

    // Out of range answers false and leaves out alone.
    TemplateElement e = Element(99, {"keep"});
    TemplateReference r = Reference({"keep"});
    EXPECT_FALSE(GetElement(*t, -1, &e) || GetElement(*t, 2, &e) || GetElement(*t, INT32_MIN, &e));
    EXPECT_FALSE(GetReference(*t, -1, &r) || GetReference(*t, 1, &r));
    EXPECT_EQ(std::to_string(e.kind) + U8(e.coords[0]) + U8(r.x.name), "99keepkeep");
    ASSERT_TRUE(GetElement(*t, 1, &e) && GetReference(*t, 0, &r));
    EXPECT_EQ(std::to_string(e.kind) + U8(e.coords[2]) + U8(r.x.name) + U8(r.x.max), "5ww0.9");

    double frame[4] = {9, 9, 9, 9};
    EXPECT_EQ(GetFrame(*t, frame), frame);
    EXPECT_EQ(std::vector<double>(frame, frame + 4), (std::vector<double>{0, 0, 0, 0}));
    SetFrame(*t, 1, 2, 3, 4);
    GetFrame(*t, frame);
    EXPECT_EQ(std::vector<double>(frame, frame + 4), (std::vector<double>{1, 2, 3, 4}));

    std::unique_ptr<FigureTemplate> copy(CloneTemplate(*t));
    EXPECT_EQ(U8(copy->info.name) + U8(copy->info.tips) + U8(copy->info.icon), "Arrow(null)(null)");
    EXPECT_NE(copy->info.name, t->info.name);  // a string of its own
    ASSERT_TRUE(copy->elements.size() == 2 && copy->references.size() == 1);
    EXPECT_EQ(U8(copy->elements[1].coords[2]) + "|" + U8(copy->references[0].y.value), "w|w/2");
    EXPECT_TRUE(copy->references[0].x.variable);
    EXPECT_EQ(std::vector<double>(copy->frame, copy->frame + 4), (std::vector<double>{1, 2, 3, 4}));
    SetReferenceValues(*copy, 0, 0.75, 0.5);
    EXPECT_EQ(U8(t->references[0].x.value), "0.3");  // independent of the original

    // The info strings are the template's own system strings, in FigureInfo order.
    FigureInfo* info = GetInfoStrings(*t);
    EXPECT_EQ(static_cast<void*>(info), static_cast<void*>(&t->info.name));
    EXPECT_EQ(U8(info->tips), "An arrow");
    EXPECT_TRUE(platform::SysStringLength(info->name) == 5 && platform::SysStringLength(info->icon) == 9);
}

// Records RegisterTool; every other canvas operation is unused here.
struct NameRecordingCanvas : IGraphicCanvas {
    void RegisterTool(const VXCHAR* name, IVXFigures* tool) override { names.push_back(U8(name)), tools.push_back(tool); }
    std::vector<std::string> names;
    std::vector<IVXFigures*> tools;
    void SetEditMode(int32_t) override {} int32_t GetEditMode() override { return 0; }
    IVXSelections* GetSelections() override { return nullptr; }
    const VXCHAR* GetCurrentToolName() override { return nullptr; }
    bool SetCurrentTool(const VXCHAR*) override { return false; }
    int32_t GetToolInfos(FigureInfo*, int32_t) override { return 0; } void AddPath(IVXPath*) override {}
    void RemovePath(IVXPath*) override {} void DetachPath(IVXPath*) override {}
    bool ApplyTemplateText(IVXPath*, const VXCHAR*, bool) override { return false; }
    int32_t GetTemplateText(IVXPath*, VXCHAR*, int32_t) override { return 0; } void ClearPaths() override {}
    int32_t GetPathCount() override { return 0; } IVXPath* GetPath(int32_t) override { return nullptr; }
    void DrawSelection(IDrawSurface*, int32_t, int32_t) override {}
    int32_t HitTest(double, double, int32_t, IVXPath**) override { return 0; }
    void KeyDown(int32_t, int32_t, int32_t) override {} void KeyUp(int32_t, int32_t, int32_t) override {}
    void MouseDown(double, double, int32_t) override {} void MouseMove(double, double) override {}
    void ClickHovered(double, double) override {}
    bool PlaceFigure(double, double, const VXCHAR*) override { return false; }
};

TEST(TemplateLibraryNames, ExactAndEnumeratedInCodeUnitOrder) {
    TemplateLibrary& library = TemplateLibrary::Instance();
    library.ReleaseAll();
    for (const char* name : {"b", "a", "B", "\xC3\xA9toile"}) {  // "étoile" sorts last
        StoreTemplate(MakeTemplate(name, {Element(0, {"0", "0"})}));
    }
    NameRecordingCanvas canvas;
    auto* tool = reinterpret_cast<IVXFigures*>(&canvas);  // only passed through
    library.EnumerateTemplateNames(&canvas, tool);
    EXPECT_EQ(canvas.names, (std::vector<std::string>{"B", "a", "b", "\xC3\xA9toile"}));
    EXPECT_EQ(canvas.tools, std::vector<IVXFigures*>(4, tool));
    library.EnumerateTemplateNames(nullptr, tool);  // no canvas: nothing to call

    EXPECT_NE(library.FindTemplate(VXTEXT("a")), library.FindTemplate(VXTEXT("b")));
    for (const char* absent : {"A", "a ", ""}) EXPECT_EQ(library.FindTemplate(W(absent)), nullptr) << absent;
    EXPECT_EQ(library.FindTemplate(static_cast<const VXCHAR*>(nullptr)), nullptr);
    EXPECT_EQ(U8(library.FindTemplate(W("\xC3\xA9toile"))->info.name), "\xC3\xA9toile");

    VX_Release();
    EXPECT_EQ(library.FindTemplate(VXTEXT("a")), nullptr);
    EXPECT_TRUE(library.Names().empty());
    VX_Release();  // releasing an empty library is harmless
}

const double kFrame[4] = {100, 50, 300, 150};

class InstantiationTest : public ::testing::Test {
protected:
    void SetUp() override { TemplateLibrary::Instance().ReleaseAll(); }
    void TearDown() override {
        EXPECT_EQ(path->Release(), 0);
        TemplateLibrary::Instance().ReleaseAll();
    }
    CVXPath* path = CVXPath::Create();
};

TEST_F(InstantiationTest, BuildMapsTheUnitFrameAndBindsReferencesInOrder) {
    const struct {
        std::vector<TemplateElement> elements;
        std::vector<TemplateReference> references;
        std::string nodes;
        bool built = true;
        std::vector<double> frame = {100, 50, 300, 150};
    } cases[] = {
        {{Element(1, {"0.5", "1"})}, {}, "L 200 150"},
        // Width and height scale without the frame origin; AddNodes then makes the outline.
        {{Element(5, {"0.25", "0.25", "0.5", "0.5"})}, {}, "M 150 75 L 250 75 L 250 125 L 150 125 Z"},
        {{Element(0, {"0", "0"}), Element(1, {"0.25", "0.5"}), Element(1, {"1", "1"})}, {},
         "M 300 50 L 250 100 L 100 150", true, {300, 50, 100, 150}},  // mirrored
        {{Element(2, {"0", "0", "1", "0", "1", "1"}), Element(6, {})}, {}, "C 100 50 300 50 300 150 Z"},
        // The first empty text ends the coordinates: the rest stay 0, even a bad text.
        {{Element(1, {"0.5", "", "not evaluated"}), Element(2, {"1", "1"})}, {}, "L 200 0 C 300 150 0 0 0 0"},
        // The frame enters through "%f": edges act as rounded to six decimals.
        {{Element(0, {"0", "0"}), Element(1, {"1", "1"})}, {}, "M 0 0.123457 L 2.000001 1", true,
         {0.0000004, 0.1234567, 2.0000006, 1}},
        {{Element(1, {"a", "0"})}, {Reference({"a", "0.3"})}, "L 160 50"},
        // y may use the x of the same reference; a name bound again takes the new value.
        {{Element(1, {"w", "h"})}, {Reference({"w", "0.5"}, {"h", "w/2"})}, "L 200 75"},
        {{Element(1, {"a", "a"})}, {Reference({"a", "0.25"}), Reference({"a", "1"})}, "L 300 150"},
        // A bound name hides the constant of that name; names are case-sensitive.
        {{Element(1, {"pi", "1"})}, {Reference({"pi", "0.5"})}, "L 200 150"},
        {{Element(0, {"0", "0"}), Element(1, {"a", "0"})}, {Reference({"A", "0.3"})}, "M 100 50", false},
        // A value that uses a later reference, or a bad y value, fails before any node.
        {{Element(0, {"0", "0"})}, {Reference({"a", "b"}), Reference({"b", "0.5"})}, "", false},
        {{Element(0, {"0", "0"})}, {Reference({"a", "0.5"}, {"b", "1/"})}, "", false},
        // A failing coordinate keeps the nodes before it.
        {{Element(0, {"0", "0"}), Element(1, {"1", "1"}), Element(1, {"nope", "0"}), Element(1, {"0", "1"})}, {},
         "M 100 50 L 300 150", false},
        // Empty value texts are 0, and unnamed axes bind the empty name.
        {{Element(1, {"1", "1"})}, {Reference({}, {})}, "L 300 150"},
    };
    for (const auto& c : cases) {
        auto t = MakeTemplate("T", c.elements, c.references);
        path->AddNode(VX_NODE_LINE, 9, 9, 0, 0, 0, 0);  // the build starts from an empty path
        EXPECT_EQ(BuildPathFromTemplate(path, *t, c.frame.data()), c.built) << c.nodes;
        EXPECT_EQ(PathText(path), c.nodes);
        EXPECT_EQ(std::vector<double>(t->frame, t->frame + 4), c.frame) << c.nodes;
    }
}

TEST_F(InstantiationTest, ReferenceLimits) {
    const struct {
        std::vector<TemplateReference> references;
        int32_t index;
        std::vector<double> limits;  // minX, maxX, minY, maxY
    } cases[] = {
        {{Reference({"a", "0.5", "0.1", "0.9"})}, 0, {0.1, 0.9, 0, 0}},  // no y texts: 0 and 0
        {{Reference({"a", "0.3"}), Reference({"b", "0.5", "a/2", "1-a"}, {"c", "0", "b", "b*2"})},
         1, {0.15, 0.7, 0.5, 1.0}},
        {{Reference({"a", "0.5", "0.1", "0.9"})}, -1, {0, 1, 0, 1}},
        {{Reference({"a", "0.5", "0.1", "0.9"})}, 1, {0, 1, 0, 1}},
        {{Reference({"a", "later", "0.1", "0.9"}), Reference({"later", "1"})}, 0, {0, 1, 0, 1}},
        // The first failure stops; later limits keep their start values.
        {{Reference({"a", "0.5", "0.2", "oops"}, {"b", "0", "0.3", "0.4"})}, 0, {0.2, 1, 0, 1}},
    };
    for (const auto& c : cases) {
        auto t = MakeTemplate("T", {}, c.references);
        std::vector<double> limits(4, -99);
        GetReferenceLimits(*t, c.index, &limits[0], &limits[1], &limits[2], &limits[3]);
        for (size_t i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(limits[i], c.limits[i]) << c.index << " " << i;
    }
}

PathCreateParams Params(const std::string& name, std::vector<std::vector<double>> pairs = {},
                        const double* frame = kFrame) {
    PathCreateParams p;
    std::memset(&p, 0, sizeof p);
    p.left = frame[0], p.top = frame[1], p.right = frame[2], p.bottom = frame[3];
    const String wide = W(name);
    std::copy(wide.begin(), wide.end(), p.name);
    p.count = static_cast<int32_t>(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) p.pairs[i][0] = pairs[i][0], p.pairs[i][1] = pairs[i][1];
    return p;
}

// Releases a path at the end of a scope.
struct Held {
    IVXPath* path;
    ~Held() { EXPECT_TRUE(!path || path->Release() == 0); }
    const FigureTemplate* Copy() const { return CVXPath::FromInterface(path)->GetTemplateCopy(); }
};

TEST_F(InstantiationTest, CreatePathExSetsValuesBuildsAndAttaches) {
    StoreTemplate(MakeTemplate("Handle", {Element(0, {"0", "0"}), Element(1, {"a", "b"})},
                               {Reference({"a", "0.3", "0", "1"}, {"b", "1"}), Reference({"c", "0.5"}, {"d", "a"})}));
    // Count 0: the values of the file. Reference points are frame origin plus frame size times
    // the value; "d" = a cannot be read without bindings, so it contributes 0.
    PathCreateParams p = Params("Handle");
    Held fileValues{VX_CreatePathEx(&p)};
    ASSERT_TRUE(fileValues.path && fileValues.path->HasTemplate());
    EXPECT_EQ(PathText(fileValues.path), "M 100 50 L 160 150");
    EXPECT_EQ(CVXPath::FromInterface(fileValues.path)->ReferencePoints(), (std::vector<double>{160, 150, 200, 0}));
    EXPECT_EQ(TemplateLibrary::Instance().FindTemplate(VXTEXT("Handle"))->frame[2], 0);  // the library's is untouched

    // Pairs are narrowed to single precision and written with "%f"; beyond the count the
    // file's values stay.
    p = Params("Handle", {{0.1, 12345.678}});
    Held set{VX_CreatePathEx(&p)};
    ASSERT_NE(set.path, nullptr);
    const std::vector<TemplateReference>& refs = set.Copy()->references;
    EXPECT_EQ(U8(refs[0].x.value) + " " + U8(refs[0].y.value) + " " + U8(refs[1].x.value), "0.100000 12345.677734 0.5");
    PathCreateParams info;
    ASSERT_TRUE(set.path->GetTemplateInfo(&info));
    EXPECT_EQ(U8(info.name) + " " + std::to_string(info.count), "Handle 2");
    EXPECT_EQ(std::vector<double>({info.pairs[0][0], info.pairs[0][1], info.pairs[1][0], info.left, info.top,
                                   info.right, info.bottom}),
              (std::vector<double>{0.1, 12345.677734, 0.5, 100, 50, 300, 150}));
    Held again{VX_CreatePathEx(&info)};  // rebuilding from the record gives the same nodes
    EXPECT_EQ(PathText(again.path), PathText(set.path));

    // Surplus pairs and negative counts set nothing beyond the references.
    p = Params("Handle", {{0.5, 0.5}});
    p.count = 1000;
    Held surplus{VX_CreatePathEx(&p)};
    ASSERT_NE(surplus.path, nullptr);
    EXPECT_EQ(U8(surplus.Copy()->references[1].x.value), "0.000000");
    p.count = -3;
    Held negative{VX_CreatePathEx(&p)};
    EXPECT_EQ(PathText(negative.path), "M 100 50 L 160 150");
}

TEST_F(InstantiationTest, CreatePathExFailureRows) {
    StoreTemplate(MakeTemplate("Shape", {Element(0, {"0", "0"}), Element(1, {"1", "1"}), Element(1, {"broken(", "0"})}));
    StoreTemplate(MakeTemplate("Forward", {Element(0, {"0", "0"})},
                               {Reference({"a", "b"}, {"", "0.25"}), Reference({"b", "0.5"}, {"", "0"})}));
    EXPECT_EQ(VX_CreatePathEx(nullptr), nullptr);
    for (const char* missing : {"shape", "Shape ", ""}) {
        PathCreateParams p = Params(missing);
        EXPECT_EQ(VX_CreatePathEx(&p), nullptr) << missing;
    }
    // A coordinate that cannot be evaluated: the earlier nodes stay.
    PathCreateParams p = Params("Shape");
    Held partial{VX_CreatePathEx(&p)};
    ASSERT_TRUE(partial.path && partial.path->HasTemplate());
    EXPECT_EQ(PathText(partial.path), "M 100 50 L 300 150");
    // A reference value that cannot be evaluated: no node, but the template copy and its
    // reference points (the failing value contributes 0).
    p = Params("Forward");
    Held empty{VX_CreatePathEx(&p)};
    ASSERT_TRUE(empty.path && empty.path->HasTemplate());
    EXPECT_EQ(empty.path->GetNodes(nullptr, 0), 0);
    EXPECT_EQ(CVXPath::FromInterface(empty.path)->ReferencePoints(), (std::vector<double>{0, 75, 200, 50}));

    // After VX_Release the name is gone, and paths built before still hold their copy.
    VX_Release();
    EXPECT_EQ(VX_CreatePathEx(&p), nullptr);
    PathCreateParams info;
    ASSERT_TRUE(partial.path->GetTemplateInfo(&info));
    EXPECT_EQ(U8(info.name) + ": " + PathText(partial.path), "Shape: M 100 50 L 300 150");
}

TEST_F(InstantiationTest, NameFieldWithoutTerminatorIsReadWithinItsUnits) {
    const String full(256, VXCHAR('n'));
    StoreTemplate(MakeTemplate(U8(full), {Element(0, {"0", "0"})}));
    StoreTemplate(MakeTemplate(U8(full + VXTEXT("n")), {Element(0, {"1", "1"})}));
    PathCreateParams p = Params("");
    std::fill(p.name, p.name + 256, VXCHAR('n'));
    // The units after the field read as more "n"s: a reader that ran on would look for a
    // longer name.
    p.count = p.padding = 0x006E006E;
    Held found{VX_CreatePathEx(&p)};
    ASSERT_NE(found.path, nullptr);
    EXPECT_EQ(PathText(found.path), "M 100 50");
    PathCreateParams info;
    ASSERT_TRUE(found.path->GetTemplateInfo(&info));
    EXPECT_EQ(String(info.name, 256), full);
}

TEST_F(InstantiationTest, HostileNumbersGiveAPathAndNeverCrash) {
    StoreTemplate(MakeTemplate("Box", {Element(5, {"a", "b", "0.5", "0.5"})}, {Reference({"a", "0.25"}, {"b", "0.25"})}));
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct {
        std::vector<double> frame, pair;
        int nodes;  // 1 nodes, 0 none, -1 either (how "nan" and "inf" read is the evaluator's)
    } cases[] = {
        {{nan, 0, 1, 1}, {0.5, 0.5}, -1},
        {{0, -inf, 1, inf}, {0.5, 0.5}, -1},
        {{0, 0, 1, 1}, {nan, 0.5}, -1},
        {{0, 0, 1, 1}, {1e300, -1e300}, -1},  // narrowed to +-inf, printed "inf"
        {{-1e300, -1e300, 1e300, 1e300}, {0.5, 0.5}, 1},  // prefix far beyond 255 units
        {{1e-300, 0, 1e-300, 0}, {1e-300, 1e-40}, 1},
        {{0, 0, 1, 1}, {1e8, -1e8}, 1},  // value texts longer than 15 units
    };
    for (const auto& c : cases) {
        PathCreateParams p = Params("Box", {c.pair}, c.frame.data());
        Held made{VX_CreatePathEx(&p)};
        ASSERT_NE(made.path, nullptr);
        EXPECT_TRUE(c.nodes < 0 || (made.path->GetNodes(nullptr, 0) > 0) == (c.nodes == 1)) << c.frame[0];
        EXPECT_TRUE(made.path->HasTemplate());
    }
    // A huge frame still computes: the left edge 1e300 comes back from its printed text.
    const double big[4] = {1e300, 0, 1e300, 1};
    PathCreateParams p = Params("Box", {{0, 0}}, big);
    Held built{VX_CreatePathEx(&p)};
    ASSERT_EQ(built.path->GetNodes(nullptr, 0), 5);
    EXPECT_DOUBLE_EQ(CVXPath::FromInterface(built.path)->NodeAt(0)->x1, 1e300);
}

}  // namespace
}  // namespace vx::test
