#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "path/path.h"
#include "support/recording.h"
#include "template_test_support.h"
#include "templates/template_build.h"

namespace vx::test {
namespace {

const double kFrame[4] = {100, 50, 300, 150};

class InstantiationTest : public ::testing::Test {
protected:
    void SetUp() override {
        TemplateLibrary::Instance().ReleaseAll();
        path = CVXPath::Create();
    }
    void TearDown() override {
        EXPECT_EQ(path->Release(), 0);
        TemplateLibrary::Instance().ReleaseAll();
    }
    // Builds t in frame and returns the nodes as text ("M 100 50 L 200 150").
    std::string Build(FigureTemplate& t, const double* frame, bool expected = true) {
        EXPECT_EQ(BuildPathFromTemplate(path, t, frame), expected);
        return PathText(path);
    }
    CVXPath* path = nullptr;
};

TEST_F(InstantiationTest, ElementsMapTheUnitFrameOntoTheGivenFrame) {
    struct Case {
        const char* what;
        std::vector<TemplateElement> elements;
        std::vector<double> frame;
        std::string nodes;
    };
    const Case cases[] = {
        {"line to the middle of the bottom edge",
         {Element(1, {"0.5", "1"})}, {100, 50, 300, 150}, "L 200 150"},
        // The rectangle's width and height scale without the frame origin; AddNodes then
        // makes its move, three lines and close.
        {"rectangle", {Element(5, {"0.25", "0.25", "0.5", "0.5"})}, {100, 50, 300, 150},
         "M 150 75 L 250 75 L 250 125 L 150 125 Z"},
        {"mirrored frame runs from right to left",
         {Element(0, {"0", "0"}), Element(1, {"0.25", "0.5"}), Element(1, {"1", "1"})},
         {300, 50, 100, 150}, "M 300 50 L 250 100 L 100 150"},
        {"cubic: every coordinate by its axis",
         {Element(2, {"0", "0", "1", "0", "1", "1"}), Element(6, {})}, {100, 50, 300, 150},
         "C 100 50 300 50 300 150 Z"},
        // The first empty text ends the coordinates: the rest stay 0, even a bad text.
        {"empty text ends the coordinates",
         {Element(1, {"0.5", "", "not evaluated"}), Element(2, {"1", "1"})},
         {100, 50, 300, 150}, "L 200 0 C 300 150 0 0 0 0"},
        // The frame enters through "%f": edges act as rounded to six decimals.
        {"frame edges rounded to millionths",
         {Element(0, {"0", "0"}), Element(1, {"1", "1"})},
         {0.0000004, 0.1234567, 2.0000006, 1}, "M 0 0.123457 L 2.000001 1"},
        {"functions and constants of the evaluator",
         {Element(1, {"sqrt(0.25)", "pi/pi"})}, {100, 50, 300, 150}, "L 200 150"},
    };
    for (const Case& c : cases) {
        auto t = MakeTemplate("T", c.elements);
        EXPECT_EQ(Build(*t, c.frame.data()), c.nodes) << c.what;
        EXPECT_EQ(std::vector<double>(t->frame, t->frame + 4), c.frame) << c.what;
    }
    // The rectangle's move keeps the width and height in x2, y2.
    auto t = MakeTemplate("R", {Element(5, {"0.25", "0.25", "0.5", "0.5"})});
    Build(*t, kFrame);
    ASSERT_NE(path->NodeAt(0), nullptr);
    EXPECT_EQ(path->NodeAt(0)->x2, 100);
    EXPECT_EQ(path->NodeAt(0)->y2, 50);
    EXPECT_EQ(path->NodeAt(0)->reserved, 0);
}

TEST_F(InstantiationTest, ReferencesBindTheirNamesInOrder) {
    struct Case {
        const char* what;
        std::vector<TemplateReference> references;
        std::vector<TemplateElement> elements;
        bool built;
        std::string nodes;
    };
    const Case cases[] = {
        {"x named a at 0.3", {Reference({"a", "0.3"})}, {Element(1, {"a", "0"})}, true,
         "L 160 50"},
        {"y may use the x of the same reference", {Reference({"w", "0.5"}, {"h", "w/2"})},
         {Element(1, {"w", "h"})}, true, "L 200 75"},
        {"a later reference may use an earlier one",
         {Reference({"a", "0.25"}), Reference({"b", "a*3"})}, {Element(1, {"b", "a"})}, true,
         "L 250 75"},
        {"a name bound again takes the new value",
         {Reference({"a", "0.25"}), Reference({"a", "1"})}, {Element(1, {"a", "a"})}, true,
         "L 300 150"},
        {"a bound name hides the constant of that name", {Reference({"pi", "0.5"})},
         {Element(1, {"pi", "1"})}, true, "L 200 150"},
        {"names are case-sensitive", {Reference({"A", "0.3"})},
         {Element(0, {"0", "0"}), Element(1, {"a", "0"})}, false, "M 100 50"},
        {"a value that uses a later reference fails before any node",
         {Reference({"a", "b"}), Reference({"b", "0.5"})}, {Element(0, {"0", "0"})}, false, ""},
        {"a failing y value fails as well", {Reference({"a", "0.5"}, {"b", "1/"})},
         {Element(0, {"0", "0"})}, false, ""},
        {"a failing coordinate keeps the nodes before it", {},
         {Element(0, {"0", "0"}), Element(1, {"1", "1"}), Element(1, {"nope", "0"}),
          Element(1, {"0", "1"})},
         false, "M 100 50 L 300 150"},
        {"empty value texts are 0 and unnamed axes bind the empty name", {Reference({}, {})},
         {Element(1, {"1", "1"})}, true, "L 300 150"},
    };
    for (const Case& c : cases) {
        auto t = MakeTemplate("T", c.elements, c.references);
        path->AddNode(VX_NODE_LINE, 9, 9, 0, 0, 0, 0);  // the build starts from an empty path
        EXPECT_EQ(Build(*t, kFrame, c.built), c.nodes) << c.what;
    }
}

TEST_F(InstantiationTest, ReferenceLimits) {
    struct Case {
        const char* what;
        std::vector<TemplateReference> references;
        int32_t index;
        std::vector<double> limits;  // minX, maxX, minY, maxY
    };
    const Case cases[] = {
        {"min and max given", {Reference({"a", "0.5", "0.1", "0.9"})}, 0, {0.1, 0.9, 0, 0}},
        {"texts use the bindings",
         {Reference({"a", "0.3"}), Reference({"b", "0.5", "a/2", "1-a"}, {"c", "0", "b", "b*2"})},
         1, {0.15, 0.7, 0.5, 1.0}},
        {"index below 0", {Reference({"a", "0.5", "0.1", "0.9"})}, -1, {0, 1, 0, 1}},
        {"index at the count", {Reference({"a", "0.5", "0.1", "0.9"})}, 1, {0, 1, 0, 1}},
        {"no references", {}, 0, {0, 1, 0, 1}},
        {"references that cannot be bound",
         {Reference({"a", "later", "0.1", "0.9"}), Reference({"later", "1"})}, 0, {0, 1, 0, 1}},
        {"the first failure stops, later limits keep their start",
         {Reference({"a", "0.5", "0.2", "oops"}, {"b", "0", "0.3", "0.4"})}, 0, {0.2, 1, 0, 1}},
    };
    for (const Case& c : cases) {
        auto t = MakeTemplate("T", {}, c.references);
        std::vector<double> limits(4, -99);
        GetReferenceLimits(*t, c.index, &limits[0], &limits[1], &limits[2], &limits[3]);
        ASSERT_EQ(limits.size(), c.limits.size());
        for (size_t i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(limits[i], c.limits[i]) << c.what << " " << i;
    }
}

PathCreateParams Params(const std::string& name, std::vector<std::vector<double>> pairs = {},
                        const double* frame = kFrame) {
    PathCreateParams p;
    std::memset(&p, 0, sizeof p);
    p.left = frame[0];
    p.top = frame[1];
    p.right = frame[2];
    p.bottom = frame[3];
    const String wide = W(name);
    std::copy(wide.begin(), wide.end(), p.name);
    p.count = static_cast<int32_t>(pairs.size());
    for (size_t i = 0; i < pairs.size() && i < 64; ++i) {
        p.pairs[i][0] = pairs[i][0];
        p.pairs[i][1] = pairs[i][1];
    }
    return p;
}

// Releases a path at the end of a scope.
struct Held {
    IVXPath* path;
    ~Held() {
        if (path) {
            EXPECT_EQ(path->Release(), 0);
        }
    }
};

TEST_F(InstantiationTest, CreatePathExSetsValuesBuildsAndAttaches) {
    StoreTemplate(MakeTemplate("Handle", {Element(0, {"0", "0"}), Element(1, {"a", "b"})},
                               {Reference({"a", "0.3", "0", "1"}, {"b", "1"}),
                                Reference({"c", "0.5"}, {"d", "a"})}));

    // Count 0: the values of the file.
    PathCreateParams p = Params("Handle");
    Held fileValues{VX_CreatePathEx(&p)};
    ASSERT_NE(fileValues.path, nullptr);
    EXPECT_EQ(PathText(fileValues.path), "M 100 50 L 160 150");
    CVXPath* built = CVXPath::FromInterface(fileValues.path);
    ASSERT_TRUE(built->HasTemplate());
    EXPECT_EQ(U8(built->GetTemplateCopy()->references[0].x.value), "0.3");
    // Reference points: frame origin plus frame size times the value; "a" is a variable and
    // cannot be read without bindings, so it contributes 0.
    EXPECT_EQ(built->ReferencePoints(), (std::vector<double>{160, 150, 200, 0}));
    EXPECT_EQ(TemplateLibrary::Instance().FindTemplate(VXTEXT("Handle"))->frame[2], 0);

    // Pairs are narrowed to single precision and written with "%f".
    p = Params("Handle", {{0.1, 12345.678}});
    Held set{VX_CreatePathEx(&p)};
    ASSERT_NE(set.path, nullptr);
    const FigureTemplate* copy = CVXPath::FromInterface(set.path)->GetTemplateCopy();
    EXPECT_EQ(U8(copy->references[0].x.value), "0.100000");
    EXPECT_EQ(U8(copy->references[0].y.value), "12345.677734");
    EXPECT_EQ(U8(copy->references[1].x.value), "0.5");  // beyond the count: from the file
    PathCreateParams info;
    ASSERT_TRUE(set.path->GetTemplateInfo(&info));
    EXPECT_EQ(U8(info.name), "Handle");
    EXPECT_EQ(info.count, 2);
    EXPECT_EQ(info.pairs[0][0], 0.1);
    EXPECT_EQ(info.pairs[0][1], 12345.677734);
    EXPECT_EQ(info.pairs[1][0], 0.5);
    EXPECT_EQ(std::vector<double>({info.left, info.top, info.right, info.bottom}),
              std::vector<double>(kFrame, kFrame + 4));
    // Rebuilding from the record gives the same nodes.
    Held again{VX_CreatePathEx(&info)};
    ASSERT_NE(again.path, nullptr);
    EXPECT_EQ(PathText(again.path), PathText(set.path));

    // Surplus pairs and negative counts set nothing beyond the references.
    p = Params("Handle", {{0.5, 0.5}});
    p.count = 1000;
    Held surplus{VX_CreatePathEx(&p)};
    ASSERT_NE(surplus.path, nullptr);
    EXPECT_EQ(U8(CVXPath::FromInterface(surplus.path)->GetTemplateCopy()->references[1].x.value),
              "0.000000");
    p.count = -3;
    Held negative{VX_CreatePathEx(&p)};
    EXPECT_EQ(PathText(negative.path), "M 100 50 L 160 150");
}

TEST_F(InstantiationTest, CreatePathExFailureRows) {
    StoreTemplate(MakeTemplate("Shape", {Element(0, {"0", "0"}), Element(1, {"1", "1"}),
                                         Element(1, {"broken(", "0"})}));
    StoreTemplate(MakeTemplate("Forward", {Element(0, {"0", "0"})},
                               {Reference({"a", "b"}, {"", "0.25"}), Reference({"b", "0.5"}, {"", "0"})}));

    EXPECT_EQ(VX_CreatePathEx(nullptr), nullptr);
    for (const char* missing : {"shape", "SHAPE", "Shape ", "", "Sha"}) {
        PathCreateParams p = Params(missing);
        EXPECT_EQ(VX_CreatePathEx(&p), nullptr) << missing;
    }

    // A coordinate that cannot be evaluated: the earlier nodes stay.
    PathCreateParams p = Params("Shape");
    Held partial{VX_CreatePathEx(&p)};
    ASSERT_NE(partial.path, nullptr);
    EXPECT_EQ(PathText(partial.path), "M 100 50 L 300 150");
    EXPECT_TRUE(partial.path->HasTemplate());

    // A reference value that cannot be evaluated: no node, but the template copy and its
    // reference points (the failing value contributes 0).
    p = Params("Forward");
    Held empty{VX_CreatePathEx(&p)};
    ASSERT_NE(empty.path, nullptr);
    EXPECT_EQ(empty.path->GetNodes(nullptr, 0), 0);
    ASSERT_TRUE(empty.path->HasTemplate());
    EXPECT_EQ(CVXPath::FromInterface(empty.path)->ReferencePoints(),
              (std::vector<double>{0, 75, 200, 50}));

    // After VX_Release the name is gone, and paths built before still hold their copy.
    VX_Release();
    EXPECT_EQ(VX_CreatePathEx(&p), nullptr);
    PathCreateParams info;
    ASSERT_TRUE(partial.path->GetTemplateInfo(&info));
    EXPECT_EQ(U8(info.name), "Shape");
    EXPECT_EQ(PathText(partial.path), "M 100 50 L 300 150");
}

TEST_F(InstantiationTest, NameFieldWithoutTerminatorIsReadWithinItsUnits) {
    const String full(256, VXCHAR('n'));
    StoreTemplate(MakeTemplate(U8(full), {Element(0, {"0", "0"})}));
    StoreTemplate(MakeTemplate(U8(full + VXTEXT("n")), {Element(0, {"1", "1"})}));

    PathCreateParams p = Params("");
    std::fill(p.name, p.name + 256, VXCHAR('n'));
    // The units after the field read as more "n"s: a reader that ran on would look for a
    // longer name.
    p.count = static_cast<int32_t>(0x006E006E);
    p.padding = 0x006E006E;
    Held found{VX_CreatePathEx(&p)};
    ASSERT_NE(found.path, nullptr);
    EXPECT_EQ(PathText(found.path), "M 100 50");
    PathCreateParams info;
    ASSERT_TRUE(found.path->GetTemplateInfo(&info));
    EXPECT_EQ(String(info.name, 256), full);
}

TEST_F(InstantiationTest, HostileNumbersGiveAPathAndNeverCrash) {
    StoreTemplate(MakeTemplate("Box", {Element(5, {"a", "b", "0.5", "0.5"})},
                               {Reference({"a", "0.25"}, {"b", "0.25"})}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<double> frame;
        std::vector<double> pair;
        int nodes;  // 1 nodes, 0 none, -1 either (how "nan" and "inf" read is the evaluator's)
    };
    const Case cases[] = {
        {{nan, 0, 1, 1}, {0.5, 0.5}, -1},
        {{0, -inf, 1, inf}, {0.5, 0.5}, -1},
        {{0, 0, 1, 1}, {nan, 0.5}, -1},
        {{0, 0, 1, 1}, {1e300, -1e300}, -1},  // narrowed to +-inf, printed "inf"
        {{-1e300, -1e300, 1e300, 1e300}, {0.5, 0.5}, 1},  // prefix far beyond 255 units
        {{1e-300, 0, 1e-300, 0}, {1e-300, 1e-40}, 1},
        {{0, 0, 1, 1}, {1e8, -1e8}, 1},  // value texts longer than 15 units
    };
    for (const Case& c : cases) {
        PathCreateParams p = Params("Box", {c.pair}, c.frame.data());
        Held made{VX_CreatePathEx(&p)};
        ASSERT_NE(made.path, nullptr);
        if (c.nodes >= 0) {
            EXPECT_EQ(made.path->GetNodes(nullptr, 0) > 0, c.nodes == 1)
                << c.frame[0] << " " << c.pair[0];
        }
        EXPECT_TRUE(made.path->HasTemplate());
    }
    // A huge frame still computes: the left edge 1e300 comes back from its printed text.
    PathCreateParams p = Params("Box", {{0, 0}}, std::vector<double>{1e300, 0, 1e300, 1}.data());
    Held big{VX_CreatePathEx(&p)};
    ASSERT_EQ(big.path->GetNodes(nullptr, 0), 5);
    EXPECT_DOUBLE_EQ(CVXPath::FromInterface(big.path)->NodeAt(0)->x1, 1e300);
}

}  // namespace
}  // namespace vx::test
