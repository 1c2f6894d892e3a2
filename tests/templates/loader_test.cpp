// The loader over real files: the fixture folder and files written to a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/file_list.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

String W(const std::string& utf8) { return text::FromUtf8(utf8); }
std::string U8(const VXCHAR* text) { return text ? text::ToUtf8(text) : "(null)"; }

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("ostrel-templates-" + std::to_string(std::random_device()()));
    TempFolder() { EXPECT_TRUE(fs::create_directory(path)) << path; }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    void Write(const std::string& utf8Name, const std::string& bytes) const {
        std::ofstream(path / fs::u8path(utf8Name), std::ios::binary) << bytes;
    }
    String Text() const { return text::FromUtf8(path.u8string()); }
};

std::string FiguresDocument(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Figures>\n" + body + "</Figures>\n";
}

std::string LineFigure(const std::string& name, const std::string& tips = "") {
    return "<figure name=\"" + name + "\" tips=\"" + tips +
           "\"><moveto><vertex x=\"0\" y=\"0\"/></moveto><lineto><vertex x=\"1\" y=\"1\"/></lineto></figure>\n";
}

std::string Names() {
    std::string names;
    for (const String& name : TemplateLibrary::Instance().Names()) names += text::ToUtf8(name) + ";";
    return names;
}

const FigureTemplate& Get(const std::string& name) {
    static const FigureTemplate empty;
    const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
    EXPECT_NE(t, nullptr) << name;
    return t ? *t : empty;
}

std::string TipsOf(const std::string& name) {
    const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
    return t ? U8(t->info.tips) : "(absent)";
}

// The elements as "kind: text; text; | kind: ..." and each reference axis as
// " name=value[min,max]", marked "var" when its type was not "constant".
std::string Dump(const std::string& name) {
    std::string out;
    for (const TemplateElement& e : Get(name).elements) {
        out += (out.empty() ? "" : " | ") + std::to_string(e.kind) + ":";
        for (const String& c : e.coords) out += c.empty() ? "" : " " + text::ToUtf8(c) + ";";
    }
    for (const TemplateReference& r : Get(name).references) {
        for (const ReferenceAxis* a : {&r.x, &r.y}) {
            out += " " + text::ToUtf8(a->name + VXTEXT("=") + a->value + VXTEXT("[") + a->min + VXTEXT(",") +
                                      a->max + VXTEXT("]")) + (a->variable ? "var" : "");
        }
    }
    return out;
}

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { VX_Release(); }
    void TearDown() override { VX_Release(); }
};

TEST_F(LoaderTest, FixtureFolderLoadsExactlyTheValidFigures) {
    // tests/data/templates; under Wine the Unix path of the source tree is on drive Z:.
    const std::string data = std::string(OSTREL_TEST_DATA) + "/templates";
    std::error_code error;
    VX_Initial(W(fs::is_directory(fs::u8path(data), error) ? data : "Z:" + data).c_str());
    // Not loaded: "Capital F" (figures are selected by the exact name), "Capital
    // attribute" and "Upper X only" (attribute names are exact), every invalid figure of
    // validity.xml, the figures under another root, in a file that is not XML, in a
    // truncated file and in readme.txt.
    EXPECT_EQ(Names(), "Bezier with four vertices;Inset ellipse;Mixed case;Moveto with two vertices;Nested;"
                       "Rectangle split;Reference only;Twice;Unit ellipse;Upper case extension;");
    const std::pair<std::string, std::string> loaded[] = {
        {"Bezier with four vertices", "2: 0; 0; 1; 0; 1; 1;"},
        {"Mixed case", "0: 0; 0; | 1: 0.5; 1; | 6:"},
        {"Moveto with two vertices", "0: 0.1; 0.2;"},
        {"Nested", "0: 0.25; 0.75;"},
        {"Rectangle split", "5: 0.1; 0.2; 0.3; 0.4;"},
        {"Reference only", " a=0.3[0.1,0.9] b=a/2[,]var"},  // "Constant" in any case
        {"Twice", "0: 1; 1;"},  // the second of three; the third is broken
        {"Upper case extension", "0: 0; 0;"},
        // An ellipse becomes a move, four cubics and a close, with texts joined exactly.
        {"Unit ellipse",
         "0: 0; 0+ (1)/2.00; | 2: 0; 0 + (1)/2.00-((1)/2.00 * 0.55228475); "
         "0 + (1)/2.00-((1)/2.00 * 0.55228475); 0; 0 + (1)/2.00; 0; | "
         "2: 0 + (1)/2.00+((1)/2.00 * 0.55228475); 0; 0 + (1); "
         "0 + (1)/2.00-((1)/2.00 * 0.55228475); 0 + (1); 0 + (1)/2.00; | "
         "2: 0 + (1); 0 + (1)/2.00+((1)/2.00 * 0.55228475); "
         "0 + (1)/2.00+((1)/2.00 * 0.55228475); 0 + (1); 0 + (1)/2.00; 0 + (1); | "
         "2: 0 + (1)/2.00-((1)/2.00 * 0.55228475); 0 + (1); 0; "
         "0 + (1)/2.00+((1)/2.00 * 0.55228475); 0; 0 + (1)/2.00; | 6:"},
    };
    for (const auto& [name, dump] : loaded) EXPECT_EQ(Dump(name), dump);
    EXPECT_EQ(text::ToUtf8(Get("Inset ellipse").elements.at(1).coords[4]), "0.1 + (0.8)/2.00");
    const FigureTemplate& mixed = Get("Mixed case");
    EXPECT_EQ(U8(mixed.info.tips) + "|" + U8(mixed.info.icon) + "|" + U8(Get("Nested").info.tips) + "|" +
                  TipsOf("Twice"), "elements in any case|mixed.ico|(null)|second");
    EXPECT_EQ(std::vector<double>(mixed.frame, mixed.frame + 4), std::vector<double>(4, 0.0));
}

TEST_F(LoaderTest, LaterLoadsAddAndReplaceByName) {
    TempFolder first, second, empty, three;
    first.Write("a.xml", FiguresDocument(LineFigure("Keep", "A") + LineFigure("Swap", "A")));
    second.Write("b.xml", FiguresDocument("<figure name=\"Keep\" tips=\"B\"><lineto><vertex x=\"1\"/>"
                                          "</lineto></figure>\n" + LineFigure("Swap", "B") + LineFigure("New", "B")));
    VX_Initial(first.Text().c_str());
    VX_Initial(second.Text().c_str());
    // A folder that does not exist, or has no matching file, loads nothing and keeps the rest.
    VX_Initial((first.Text() + VXTEXT("/does-not-exist")).c_str());
    VX_Initial(empty.Text().c_str());
    VX_Initial(nullptr);
    EXPECT_EQ(Names(), "Keep;New;Swap;");
    EXPECT_EQ(TipsOf("Keep") + TipsOf("Swap") + TipsOf("New"), "ABB");  // the broken Keep changed nothing

    // Of three files defining one name, the one the file system lists last wins.
    for (const char* file : {"one.xml", "two.xml", "three.xml"}) three.Write(file, FiguresDocument(LineFigure("Same", file)));
    std::string last;
    platform::ForEachXmlFile(three.Text().c_str(), [&](const String& path) {
        last = text::ToUtf8(path.substr(path.find_last_of(VXTEXT("/\\")) + 1));
        return true;
    });
    VX_Initial(three.Text().c_str());
    EXPECT_EQ(TipsOf("Same"), last);
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
    const std::string star = "\xC3\x89toile \xE2\x98\x85";  // "Étoile ★"
    const std::string shape = "\xE5\xBD\xA2";                  // "形"
    const std::string clef = "\xF0\x9D\x84\x9E clef";          // U+1D11E, a surrogate pair
    const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Figures>";
    TempFolder folder;
    folder.Write("utf8-bom.xml", "\xEF\xBB\xBF" + FiguresDocument(LineFigure(star, "utf-8")));
    folder.Write("utf16le.xml", Utf16Bytes(utf16 + LineFigure(shape, "le") + "</Figures>\n", false));
    folder.Write("utf16be.xml", Utf16Bytes(utf16 + LineFigure(clef, "be") + "</Figures>\n", true));
    folder.Write("latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Figures>" +
                                   LineFigure("Caf\xE9", "latin-1") + "</Figures>\n");
    folder.Write("f\xC3\xAFg\xC3\xBCr-\xE5\xBD\xA2.xml",  // "fïgür-形.xml"
                 FiguresDocument(LineFigure("From a file name outside ASCII", "ok")));
    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(TemplateLibrary::Instance().Count(), 5u);
    EXPECT_EQ(TipsOf(star) + "," + TipsOf(shape) + "," + TipsOf(clef) + "," + TipsOf("Caf\xC3\xA9") + "," +
                  TipsOf("From a file name outside ASCII"), "utf-8,le,be,latin-1,ok");
    EXPECT_EQ(W(clef).size(), 7u);  // stored as two surrogates and five letters
    EXPECT_EQ(String(Get(clef).info.name), W(clef));
}

TEST_F(LoaderTest, HostileFilesAreSkippedAndTheRestLoads) {
    std::string open, close;
    for (int i = 0; i < 50000; ++i) open += "<g>", close += "</g>";
    const std::pair<const char*, std::string> files[] = {
        {"good.xml", FiguresDocument(LineFigure("Good", "fine"))},
        {"empty.xml", ""},
        {"binary.xml", std::string("\0\x01\xFF<Figures>\0</Figures>", 21)},
        {"brackets.xml", "<Figures>" + std::string(100000, '<') + "</Figures>"},
        {"nested.xml", "<Figures>" + open + LineFigure("Too deep") + close + "</Figures>"},
        // Entities that expand a hundredfold, referenced from an attribute.
        {"entities.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE Figures [\n<!ENTITY a \"0+0+0+0+0+0+0+0+0+0\">\n"
                         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n"
                         "<Figures><figure name=\"Entities\" tips=\"&c;\"><moveto><vertex x=\"0\" y=\"0\"/>"
                         "</moveto></figure></Figures>\n"},
        // A megabyte-long expression text loads; evaluating it is another matter.
        {"huge-text.xml", FiguresDocument("<figure name=\"Huge text\"><moveto><vertex x=\"" +
                                          std::string(1 << 20, '1') + "\" y=\"0\"/></moveto></figure>")},
        {"locked.xml", FiguresDocument(LineFigure("Locked"))},
    };
    TempFolder folder;
    for (const auto& [name, bytes] : files) folder.Write(name, bytes);
    fs::create_directory(folder.path / "directory.xml");
    std::error_code ignored;
    fs::create_symlink(folder.path / "gone", folder.path / "dangling.xml", ignored);
    fs::permissions(folder.path / "locked.xml", fs::perms::none, ignored);
    const bool lockedReadable = std::ifstream(folder.path / "locked.xml").get() != EOF;  // root reads it

    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(Names(), std::string("Entities;Good;Huge text;") + (lockedReadable ? "Locked;" : ""));
    EXPECT_EQ(TipsOf("Entities").size(), 100u * 19u);
    EXPECT_EQ(Get("Huge text").elements.at(0).coords[0].size(), size_t{1} << 20);
}

TEST_F(LoaderTest, TenThousandFiguresInOneFile) {
    std::string body;
    for (int i = 0; i < 10000; ++i) {
        body += "<figure name=\"F" + std::to_string(100000 + i).substr(1) +
                "\"><reference><x name=\"a\" value=\"0.5\" min=\"0\" max=\"1\"/></reference>"
                "<moveto><vertex x=\"0\" y=\"0\"/></moveto><lineto><vertex x=\"a\" y=\"1\"/></lineto>"
                "<ellipse><vertex x=\"0\" y=\"0\"/><size w=\"a\" h=\"1\"/></ellipse></figure>\n";
    }
    TempFolder folder;
    folder.Write("many.xml", FiguresDocument(body));
    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(TemplateLibrary::Instance().Count(), 10000u);
    EXPECT_EQ(Get("F09999").elements.size() * 10 + Get("F09999").references.size(), 81u);  // 8 elements, 1 reference
}

}  // namespace
}  // namespace vx::test
