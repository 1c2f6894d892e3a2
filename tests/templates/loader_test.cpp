#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "path/path.h"
#include "platform/file_list.h"
#include "support/recording.h"
#include "template_test_support.h"
#include "templates/template_loader.h"

namespace vx::test {
namespace {

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { VX_Release(); }
    void TearDown() override { VX_Release(); }

    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const String& name : TemplateLibrary::Instance().Names()) names.push_back(U8(name));
        return names;
    }
    static const FigureTemplate& Get(const std::string& name) {
        static const FigureTemplate empty;
        const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
        EXPECT_NE(t, nullptr) << name;
        return t ? *t : empty;
    }
    // "kind: text, text, ..." for each element.
    static std::vector<std::string> ElementTexts(const FigureTemplate& t) {
        std::vector<std::string> out;
        for (const TemplateElement& e : t.elements) {
            std::string line = std::to_string(e.kind) + ":";
            for (const String& c : e.coords) {
                if (!c.empty()) line += " " + U8(c) + ";";
            }
            out.push_back(line);
        }
        return out;
    }
};

TEST_F(LoaderTest, FixtureFolderLoadsExactlyTheValidFigures) {
    VX_Initial(DataFolder("templates").c_str());
    // Not loaded: "Capital F" (figures are selected by the exact name), "Capital
    // attribute" and "Upper X only" (attribute names are exact), every invalid figure of
    // validity.xml, the figures under another root, in a file that is not XML, in a
    // truncated file and in readme.txt.
    EXPECT_EQ(Names(), (std::vector<std::string>{
                           "Bezier with four vertices", "Inset ellipse", "Mixed case",
                           "Moveto with two vertices", "Nested", "Rectangle split",
                           "Reference only", "Twice", "Unit ellipse", "Upper case extension"}));

    const FigureTemplate& mixed = Get("Mixed case");
    EXPECT_EQ(ElementTexts(mixed), (std::vector<std::string>{"0: 0; 0;", "1: 0.5; 1;", "6:"}));
    EXPECT_EQ(U8(mixed.info.tips), "elements in any case");
    EXPECT_EQ(U8(mixed.info.icon), "mixed.ico");
    EXPECT_EQ(std::vector<double>(mixed.frame, mixed.frame + 4), std::vector<double>(4, 0.0));

    EXPECT_EQ(ElementTexts(Get("Nested")), (std::vector<std::string>{"0: 0.25; 0.75;"}));
    EXPECT_EQ(Get("Nested").info.tips, nullptr);
    EXPECT_EQ(ElementTexts(Get("Bezier with four vertices")),
              (std::vector<std::string>{"2: 0; 0; 1; 0; 1; 1;"}));
    EXPECT_EQ(ElementTexts(Get("Moveto with two vertices")),
              (std::vector<std::string>{"0: 0.1; 0.2;"}));
    EXPECT_EQ(ElementTexts(Get("Rectangle split")),
              (std::vector<std::string>{"5: 0.1; 0.2; 0.3; 0.4;"}));
    // The later of two figures of one name wins; a broken third one changes nothing.
    EXPECT_EQ(U8(Get("Twice").info.tips), "second");
    EXPECT_EQ(ElementTexts(Get("Twice")), (std::vector<std::string>{"0: 1; 1;"}));

    const FigureTemplate& reference = Get("Reference only");
    EXPECT_TRUE(reference.elements.empty());
    ASSERT_EQ(reference.references.size(), 1u);
    const TemplateReference& r = reference.references[0];
    EXPECT_EQ(U8(r.x.name + VXTEXT("|") + r.x.value + VXTEXT("|") + r.x.min + VXTEXT("|") + r.x.max),
              "a|0.3|0.1|0.9");
    EXPECT_FALSE(r.x.variable);  // "Constant" in any case
    EXPECT_EQ(U8(r.y.name + VXTEXT("|") + r.y.value + VXTEXT("|") + r.y.min + VXTEXT("|") + r.y.max),
              "b|a/2||");
    EXPECT_TRUE(r.y.variable);
}

TEST_F(LoaderTest, EllipseBecomesSixElementsWithExactTexts) {
    VX_Initial(DataFolder("templates").c_str());
    EXPECT_EQ(ElementTexts(Get("Unit ellipse")),
              (std::vector<std::string>{
                  "0: 0; 0+ (1)/2.00;",
                  "2: 0; 0 + (1)/2.00-((1)/2.00 * 0.55228475); "
                  "0 + (1)/2.00-((1)/2.00 * 0.55228475); 0; 0 + (1)/2.00; 0;",
                  "2: 0 + (1)/2.00+((1)/2.00 * 0.55228475); 0; 0 + (1); "
                  "0 + (1)/2.00-((1)/2.00 * 0.55228475); 0 + (1); 0 + (1)/2.00;",
                  "2: 0 + (1); 0 + (1)/2.00+((1)/2.00 * 0.55228475); "
                  "0 + (1)/2.00+((1)/2.00 * 0.55228475); 0 + (1); 0 + (1)/2.00; 0 + (1);",
                  "2: 0 + (1)/2.00-((1)/2.00 * 0.55228475); 0 + (1); 0; "
                  "0 + (1)/2.00+((1)/2.00 * 0.55228475); 0; 0 + (1)/2.00;",
                  "6:",
              }));
    const FigureTemplate& inset = Get("Inset ellipse");
    ASSERT_EQ(inset.elements.size(), 6u);
    EXPECT_EQ(U8(inset.elements[1].coords[4]), "0.1 + (0.8)/2.00");

    // Built in (0, 0, 100, 100) with y0 = 0.2: x from 10 to 90, y from 20 to 80; the
    // controls lie 0.55228475 of the half extents (40 and 30) along the tangents.
    PathCreateParams p{};
    p.right = 100;
    p.bottom = 100;
    const String name = VXTEXT("Inset ellipse");
    std::copy(name.begin(), name.end(), p.name);
    IVXPath* path = VX_CreatePathEx(&p);
    ASSERT_NE(path, nullptr);
    std::vector<PathNode> nodes(6);
    ASSERT_EQ(path->GetNodes(nodes.data(), 6), 6);
    const double kx = 40 * 0.55228475, ky = 30 * 0.55228475;
    const std::vector<std::vector<double>> expected = {
        {10, 50, 0, 0, 0, 0},
        {10, 50 - ky, 50 - kx, 20, 50, 20},
        {50 + kx, 20, 90, 50 - ky, 90, 50},
        {90, 50 + ky, 50 + kx, 80, 50, 80},
        {50 - kx, 80, 10, 50 + ky, 10, 50},
        {0, 0, 0, 0, 0, 0},
    };
    for (size_t i = 0; i < 6; ++i) {
        const double got[6] = {nodes[i].x1, nodes[i].y1, nodes[i].x2,
                               nodes[i].y2, nodes[i].x3, nodes[i].y3};
        for (size_t k = 0; k < 6; ++k) {
            EXPECT_NEAR(got[k], expected[i][k], 1e-9) << "node " << i << " coordinate " << k;
        }
    }
    EXPECT_EQ(nodes[0].kind, VX_NODE_MOVE);
    EXPECT_EQ(nodes[5].kind, VX_NODE_CLOSE);
    EXPECT_EQ(path->Release(), 0);
}

TEST_F(LoaderTest, SecondLoadAddsAndReplacesByName) {
    TempFolder first, second;
    first.Write("a.xml", FiguresDocument(LineFigure("Keep", "A") + LineFigure("Swap", "A")));
    second.Write("b.xml", FiguresDocument(
                              "<figure name=\"Keep\" tips=\"B\"><lineto><vertex x=\"1\"/></lineto>"
                              "</figure>\n" +
                              LineFigure("Swap", "B") + LineFigure("New", "B")));
    VX_Initial(first.Text().c_str());
    VX_Initial(second.Text().c_str());
    EXPECT_EQ(Names(), (std::vector<std::string>{"Keep", "New", "Swap"}));
    EXPECT_EQ(TipsOf("Keep"), "A");  // the broken figure of the second folder changed nothing
    EXPECT_EQ(TipsOf("Swap"), "B");
    EXPECT_EQ(TipsOf("New"), "B");

    // A folder that does not exist, or has no matching file, loads nothing and keeps what
    // is there.
    VX_Initial((first.Text() + VXTEXT("/does-not-exist")).c_str());
    TempFolder emptyFolder;
    VX_Initial(emptyFolder.Text().c_str());
    VX_Initial(nullptr);
    EXPECT_EQ(Names().size(), 3u);
}

TEST_F(LoaderTest, OfTwoFilesTheOneListedLaterWins) {
    TempFolder folder;
    for (const char* file : {"one.xml", "two.xml", "three.xml"}) {
        folder.Write(file, FiguresDocument(LineFigure("Same", file)));
    }
    std::vector<std::string> order;
    platform::ForEachXmlFile(folder.Text().c_str(), [&](const String& path) {
        order.push_back(U8(path.substr(path.find_last_of(VXTEXT("/\\")) + 1)));
        return true;
    });
    ASSERT_EQ(order.size(), 3u);
    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(TipsOf("Same"), order.back());
}

// UTF-16 code units of a UTF-8 text, little- or big-endian, after a byte-order mark.
std::string Utf16Bytes(const std::string& utf8, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (VXCHAR unit : W(utf8)) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST_F(LoaderTest, EncodingsAndNamesOutsideAscii) {
    TempFolder folder;
    const std::string star = "\xC3\x89toile \xE2\x98\x85";  // "Étoile ★"
    const std::string shape = "\xE5\xBD\xA2";                  // "形"
    const std::string clef = "\xF0\x9D\x84\x9E clef";          // U+1D11E, a surrogate pair
    const auto utf16Document = [](const std::string& figure) {
        return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Figures>" + figure + "</Figures>\n";
    };
    folder.Write("utf8-bom.xml", "\xEF\xBB\xBF" + FiguresDocument(LineFigure(star, "utf-8")));
    folder.Write("utf16le.xml", Utf16Bytes(utf16Document(LineFigure(shape, "le")), false));
    folder.Write("utf16be.xml", Utf16Bytes(utf16Document(LineFigure(clef, "be")), true));
    folder.Write("latin1.xml",
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Figures>" +
                     LineFigure("Caf\xE9", "latin-1") + "</Figures>\n");
    folder.Write("f\xC3\xAFg\xC3\xBCr-\xE5\xBD\xA2.xml",  // "fïgür-形.xml"
                 FiguresDocument(LineFigure("From a file name outside ASCII", "ok")));
    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(TipsOf(star), "utf-8");
    EXPECT_EQ(TipsOf(shape), "le");
    EXPECT_EQ(TipsOf(clef), "be");
    EXPECT_EQ(TipsOf("Caf\xC3\xA9"), "latin-1");
    EXPECT_EQ(TipsOf("From a file name outside ASCII"), "ok");
    EXPECT_EQ(Names().size(), 5u);
    EXPECT_EQ(W(clef).size(), 7u);  // the name is stored as two surrogates and five letters
    EXPECT_EQ(String(Get(clef).info.name), W(clef));
}

TEST_F(LoaderTest, HostileFilesAreSkippedAndTheRestLoads) {
    TempFolder folder;
    folder.Write("good.xml", FiguresDocument(LineFigure("Good", "fine")));
    folder.Write("empty.xml", "");
    folder.Write("bom-only.xml", "\xEF\xBB\xBF");
    folder.Write("binary.xml", std::string("\0\x01\xFF<Figures>\0</Figures>", 21));
    folder.Write("brackets.xml", "<Figures>" + std::string(100000, '<') + "</Figures>");
    std::string nested = "<Figures>";
    for (int i = 0; i < 50000; ++i) nested += "<g>";
    nested += LineFigure("Too deep");
    for (int i = 0; i < 50000; ++i) nested += "</g>";
    folder.Write("nested.xml", nested + "</Figures>");
    // Entities that expand a hundredfold, referenced from an attribute.
    folder.Write("entities.xml",
                 "<?xml version=\"1.0\"?>\n<!DOCTYPE Figures [\n"
                 "<!ENTITY a \"0+0+0+0+0+0+0+0+0+0\">\n"
                 "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                 "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n"
                 "<Figures><figure name=\"Entities\" tips=\"&c;\"><moveto><vertex x=\"0\" y=\"0\"/>"
                 "</moveto></figure></Figures>\n");
    // A figure whose expression text is a megabyte long loads; evaluating it is another
    // matter.
    folder.Write("huge-text.xml",
                 FiguresDocument("<figure name=\"Huge text\"><moveto><vertex x=\"" +
                                 std::string(1 << 20, '1') + "\" y=\"0\"/></moveto></figure>"));
    std::filesystem::create_directory(folder.Child("directory.xml"));
    std::error_code ignored;
    std::filesystem::create_symlink(folder.Child("gone"), folder.Child("dangling.xml"), ignored);
    folder.Write("locked.xml", FiguresDocument(LineFigure("Locked")));
    std::filesystem::permissions(folder.Child("locked.xml"), std::filesystem::perms::none, ignored);
    const bool lockedReadable = std::ifstream(folder.Child("locked.xml")).get() != EOF;

    VX_Initial(folder.Text().c_str());
    std::vector<std::string> expected = {"Entities", "Good", "Huge text"};
    if (lockedReadable) expected.insert(expected.begin() + 3, "Locked");
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(TipsOf("Entities").size(), 100u * 19u);
    EXPECT_EQ(Get("Huge text").elements.at(0).coords[0].size(), size_t{1} << 20);
}

TEST_F(LoaderTest, TenThousandFiguresInOneFile) {
    TempFolder folder;
    std::string body;
    body.reserve(10000 * 240);
    char name[16];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(name, sizeof name, "F%05d", i);
        body += std::string("<figure name=\"") + name +
                "\"><reference><x name=\"a\" value=\"0.5\" min=\"0\" max=\"1\"/></reference>"
                "<moveto><vertex x=\"0\" y=\"0\"/></moveto><lineto><vertex x=\"a\" y=\"1\"/>"
                "</lineto><ellipse><vertex x=\"0\" y=\"0\"/><size w=\"a\" h=\"1\"/></ellipse>"
                "</figure>\n";
    }
    folder.Write("many.xml", FiguresDocument(body));
    const auto start = std::chrono::steady_clock::now();
    VX_Initial(folder.Text().c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(TemplateLibrary::Instance().Count(), 10000u);
    const FigureTemplate& last = Get("F09999");
    EXPECT_EQ(last.elements.size(), 8u);
    EXPECT_EQ(last.references.size(), 1u);
    RecordProperty("load_seconds", std::to_string(seconds));
    std::printf("10000 figures loaded in %.3f s\n", seconds);
}

}  // namespace
}  // namespace vx::test
