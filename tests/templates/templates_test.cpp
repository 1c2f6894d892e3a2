// Figure templates: the loader over real files, the records, the library and instantiation.
#include <gtest/gtest.h>

#ifdef _WIN32
#define PSAPI_VERSION 2  // GetProcessMemoryInfo from kernel32
#include <windows.h>
#include <psapi.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "support/rows.h"
#include "path/path.h"
#include "platform/file_list.h"
#include "support/golden.h"
#include "support/recording.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

String W(const std::string& utf8) { return text::FromUtf8(utf8); }
std::string U8(const VXCHAR* text) { return text ? text::ToUtf8(text) : "(null)"; }
std::string U8(const String& text) { return text::ToUtf8(text); }

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

// A folder under tests/data as the library is given it; under Wine the Unix path of the
// source tree is on drive Z:.
String DataFolder(const std::string& name) {
    const std::string path = std::string(OSTREL_TEST_DATA) + "/" + name;
    return W(fs::is_directory(fs::u8path(path)) ? path : "Z:" + path);
}

std::string FiguresDocument(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<Figures>" + body + "</Figures>\n";
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

std::string TipsOf(const std::string& name) {
    const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
    return t ? U8(t->info.tips) : "(absent)";
}

// The first elements as "kind: text; text; | kind: ..." and each reference axis as
// " name=value[min,max]", marked "var" when its type was not "constant".
std::string Dump(const std::string& name, size_t elements = 99) {
    const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(name));
    if (!t) return "(absent)";
    std::string out;
    for (size_t i = 0; i < t->elements.size() && i < elements; ++i) {
        out += (out.empty() ? "" : " | ") + std::to_string(t->elements[i].kind) + ":";
        for (const String& c : t->elements[i].coords) out += c.empty() ? "" : " " + text::ToUtf8(c) + ";";
    }
    for (const TemplateReference& r : t->references) {
        for (const ReferenceAxis* a : {&r.x, &r.y}) {
            out += " " +
                   text::ToUtf8(a->name + VXTEXT("=") + a->value + VXTEXT("[") + a->min + VXTEXT(",") + a->max +
                                VXTEXT("]")) +
                   (a->variable ? "var" : "");
        }
    }
    return out;
}

TemplateElement Element(uint32_t kind, std::vector<std::string> coords) {
    TemplateElement e{kind, {}};
    for (size_t k = 0; k < coords.size(); ++k) e.coords[k] = W(coords[k]);
    return e;
}

// Stores a template of these elements in the process-wide library.
void StoreTemplate(const std::string& name, std::vector<TemplateElement> elements) {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(W(name).c_str());
    t->elements = std::move(elements);
    TemplateLibrary::Instance().Store(W(name), std::move(t));
}

const double kFrame[4] = {100, 50, 300, 150};

// Releases a path at the end of a scope.
struct Held {
    IVXPath* path;
    ~Held() { EXPECT_TRUE(!path || path->Release() == 0); }
    CVXPath* operator->() const { return CVXPath::FromInterface(path); }
};

// Every test starts and ends with an empty library.
class Templates : public ::testing::Test {
protected:
    void SetUp() override { VX_Release(); }
    void TearDown() override { VX_Release(); }
};

TEST_F(Templates, AccessorsCloneAndReferenceValues) {
    VX_Initial(DataFolder("templates/records").c_str());
    FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(VXTEXT("Arrow"));
    ASSERT_TRUE(t && U8(t->info.tips) == "An arrow" && U8(t->info.icon) == "arrow.ico");
    SetFrame(*t, 1, 2, 3, 4);

    // Out of range answers false and leaves out alone.
    TemplateElement e = Element(99, {"keep"});
    EXPECT_FALSE(GetElement(*t, -1, &e) || GetElement(*t, 2, &e));
    EXPECT_EQ(std::to_string(e.kind) + U8(e.coords[0]), "99keep");
    EXPECT_TRUE(GetElement(*t, 1, &e) && e.kind == 5 && U8(e.coords[2]) == "w");

    // A clone has the elements, references, name and frame, and no tips or icon.
    std::unique_ptr<FigureTemplate> copy(CloneTemplate(*t));
    ASSERT_TRUE(copy->elements.size() == 2 && copy->references.size() == 1 && copy->references[0].x.variable);
    EXPECT_EQ(U8(copy->info.name) + U8(copy->info.tips) + U8(copy->info.icon) + "|" + U8(copy->elements[1].coords[2]) +
                  "|" + U8(copy->references[0].y.value),
              "Arrow(null)(null)|w|w/2");
    EXPECT_EQ(std::vector<double>(copy->frame, copy->frame + 4), (std::vector<double>{1, 2, 3, 4}));

    // Values are narrowed to single precision and printed with six decimals; the original
    // keeps its own texts.
    const TemplateReference& r = copy->references[0];
    SetReferenceValues(*copy, 0, 0.25, 1.0);
    EXPECT_EQ(U8(r.x.value) + " " + U8(r.y.value), "0.250000 1.000000");
    SetReferenceValues(*copy, 0, std::numeric_limits<double>::quiet_NaN(), -1e300);
    SetReferenceValues(*copy, -1, 1, 1);  // out of range: nothing changes
    SetReferenceValues(*copy, 1, 1, 1);
    EXPECT_EQ(U8(r.x.value) + " " + U8(r.y.value) + " " + U8(t->references[0].x.value), "nan -inf 0.3");
}

TEST_F(Templates, FixtureFolderLoadsExactlyTheValidFigures) {
    VX_Initial(DataFolder("templates").c_str());
    // Not loaded: "Capital F" (figures are selected by the exact name), "Capital
    // attribute" and "Upper X only" (attribute names are exact), every invalid figure of
    // validity.xml, the figures under another root, in a file that is not XML, in a
    // truncated file and in readme.txt.
    // One line a loaded figure: its name, elements and references (Dump), tips and icon.
    // "Reference only" reads "Constant" in any case; "Twice" is the second of three (the
    // third is broken); an ellipse becomes a move, four cubics and a close, its texts joined
    // exactly.
    std::vector<std::string> loaded;
    for (const String& name : TemplateLibrary::Instance().Names()) {
        const FigureInfo& info = TemplateLibrary::Instance().FindTemplate(name)->info;
        loaded.push_back(U8(name) + " =" + Dump(U8(name)) + " | " + U8(info.tips) + " | " + U8(info.icon));
    }
    EXPECT_TRUE(MatchesGolden(loaded, "templates_FixtureFolderLoadsExactlyTheValidFigures_1"));
}

TEST_F(Templates, LaterLoadsAddAndReplaceByName) {
    VX_Initial(DataFolder("templates/later/first").c_str());
    VX_Initial(DataFolder("templates/later/second").c_str());
    // A folder that does not exist loads nothing and keeps the rest.
    VX_Initial(DataFolder("templates/later/does-not-exist").c_str());
    VX_Initial(nullptr);
    EXPECT_EQ(Names(), "Keep;New;Swap;");
    EXPECT_EQ(TipsOf("Keep") + TipsOf("Swap") + TipsOf("New"), "ABB");  // the broken Keep changed nothing

    // Of three files defining one name, the one the file system lists last wins.
    TempFolder three;
    for (const char* f : {"one.xml", "two.xml", "three.xml"}) three.Write(f, FiguresDocument(LineFigure("Same", f)));
    std::string last;
    platform::ForEachXmlFile(three.Text().c_str(),
                             [&](const fs::path& path) { return last = path.filename().u8string(), true; });
    VX_Initial(three.Text().c_str());
    EXPECT_EQ(TipsOf("Same"), last);
}

TEST_F(Templates, EncodingsNamesOutsideAsciiHostileAndHugeFiles) {
    const std::string star = "\xC3\x89toile \xE2\x98\x85";  // "Étoile ★"
    const std::string shape = "\xE5\xBD\xA2";               // "形"
    const std::string clef = "\xF0\x9D\x84\x9E clef";       // U+1D11E, a surrogate pair
    std::string many;
    for (int i = 0; i < 10000; ++i) many += LineFigure("F" + std::to_string(100000 + i).substr(1));
    TempFolder folder, big;
    // The files of encodings/ (its README says what each holds), then those a checkout cannot carry.
    fs::copy(fs::u8path(U8(DataFolder("templates/encodings"))), folder.path);
    folder.Write("locked.xml", FiguresDocument(LineFigure("Locked")));
    fs::create_directory(folder.path / "directory.xml");
    std::error_code ignored;
    fs::permissions(folder.path / "locked.xml", fs::perms::none, ignored);
    const bool lockedReadable = std::ifstream(folder.path / "locked.xml").get() != EOF;  // root reads it
    std::string native;
#ifndef _WIN32
    // A name that is not UTF-8 is opened as the file system spells it; a link is followed.
    folder.Write("bad-\xFF\xFE.xml", FiguresDocument(LineFigure("File name not UTF-8")));
    folder.Write("linked.txt", FiguresDocument(LineFigure("File name of a link")));
    fs::create_symlink("linked.txt", folder.path / "link.xml");
    native = "File name not UTF-8;File name of a link;";
#endif
    VX_Initial(folder.Text().c_str());
    EXPECT_EQ(Names(), native + "File name outside ASCII;" + (lockedReadable ? "Locked;" : "") + star + ";" + shape +
                           ";" + clef + ";");  // in UTF-16 code-unit order
    EXPECT_EQ(TipsOf(star) + "," + TipsOf(shape) + "," + TipsOf(clef), "utf-8,utf-16,pair");

    VX_Release();
    big.Write("many.xml", FiguresDocument(many));
    VX_Initial(big.Text().c_str());
    EXPECT_EQ(TemplateLibrary::Instance().Count(), 10000u);
    EXPECT_EQ(Dump("F00000") + Dump("F09999"), "0: 0; 0; | 1: 1; 1;0: 0; 0; | 1: 1; 1;");
}

// Loads folder in this process, a child, within bounds: 20 s, a peak resident size of 400 MB
// and, where a process can limit itself, 1 GiB (an address-space limit, but not under
// AddressSanitizer, whose shadow alone is larger; a job object on Windows, which Wine accepts
// without enforcing). Prints the time and peak; exits 0 when the names loaded are one of the
// `accepted` lists (split by "|") and no text holds SECRET or FETCHED, which only files the
// loader must not read contain.
[[noreturn]] void LoadWithinBounds(const char* label, const fs::path& folder, const std::string& accepted) {
    constexpr double kSeconds = 20, kPeakMB = 400;
    [[maybe_unused]] constexpr size_t kMemory = size_t{1} << 30;
#ifdef _WIN32
    CreateThread(
        nullptr, 0, [](void*) -> DWORD { return Sleep(DWORD(kSeconds * 1000)), ExitProcess(124), 0; }, nullptr, 0,
        nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limit.ProcessMemoryLimit = kMemory;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit);
    AssignProcessToJobObject(job, GetCurrentProcess());
    auto peakMB = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return counters.PeakWorkingSetSize / 1048576.0;
    };
#else
    alarm(unsigned(kSeconds));
#ifndef __SANITIZE_ADDRESS__
    const rlimit memory{kMemory, kMemory};
    setrlimit(RLIMIT_AS, &memory);
#endif
    auto peakMB = [] {
        std::ifstream status("/proc/self/status");
        std::string word;
        double kilobytes = 0;
        while (status >> word && word != "VmHWM:") {}
        return status >> kilobytes, kilobytes / 1024;
    };
#endif
    const double before = peakMB();
    const auto start = std::chrono::steady_clock::now();
    VX_Initial(text::FromUtf8(folder.u8string()).c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double peak = peakMB();
    std::string texts;
    for (const String& name : TemplateLibrary::Instance().Names()) texts += Dump(U8(name)) + TipsOf(U8(name));
    std::printf("hostile file %s: %.3f s, peak %.1f MB (%.1f before the load)\n", label, seconds, peak, before);
    const bool ok = ("|" + accepted + "|").find("|" + Names() + "|") != std::string::npos && seconds < kSeconds &&
                    peak < kPeakMB && texts.find("SECRET") == texts.npos && texts.find("FETCHED") == texts.npos;
    if (!ok) std::fprintf(stderr, "loaded %s (texts %.200s)\n", Names().c_str(), texts.c_str());
    std::error_code ignored;
    fs::remove_all(folder, ignored);  // a child started anew made a folder of its own
    std::fflush(nullptr);
    std::_Exit(ok ? 0 : 1);
}

#ifndef _WIN32
// The address of a server on listener that accepts and never answers, so that a load that
// fetched from it would wait past the bound; "" when none could be made.
std::string SilentServer(int listener) {
    sockaddr_in address{};
    address.sin_family = AF_INET, address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) || listen(listener, 4) ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size)) {
        return "";
    }
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}
#endif

// Ten levels of ten references each: 10^10 times "ha" if all were expanded.
std::string BillionLaughs() {
    std::string laughs = "<!ENTITY a0 \"ha\">";
    for (int level = 1; level <= 10; ++level) {
        laughs += "<!ENTITY a" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i) laughs += "&a" + std::to_string(level - 1) + ";";
        laughs += "\">";
    }
    return laughs;
}

// The files of tests/data/templates/hostile (a good figure, a secret and a DTD); and
// hostile.xml as head, count times chunk, and tail (FOLDER in head standing for the folder),
// or a FIFO when there is no head.
bool WriteHostileFolder(const TempFolder& folder, std::string head, const std::string& chunk, int count,
                        const std::string& tail) {
    fs::copy(fs::u8path(U8(DataFolder("templates/hostile"))), folder.path);
    if (const size_t at = head.find("FOLDER"); at != head.npos) head.replace(at, 6, folder.path.generic_u8string());
#ifndef _WIN32
    if (head.empty()) return mkfifo((folder.path / "hostile.xml").c_str(), 0600) == 0;
#endif
    std::ofstream out(folder.path / "hostile.xml", std::ios::binary);
    out << head;
    for (int i = 0; i < count; ++i) out << chunk;
    out << tail << std::flush;
    return static_cast<bool>(out);
}

TEST_F(Templates, HostileFilesLoadWithinBoundsBesideAGoodOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // each child starts afresh, as on Windows
    std::string server = "http://127.0.0.1:9", laughs = BillionLaughs(), open;
#ifndef _WIN32
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    server = SilentServer(listener);
    ASSERT_FALSE(server.empty());
#endif
    for (int i = 0; i < 100000; ++i) open += "<g>";
    const std::string move = "<moveto><vertex x=\"0\" y=\"0\"/></moveto></figure></Figures>";
    // Texts that only a fetched DTD defines, in an attribute and in the content.
    const std::string fetches = "<Figures><figure name=\"Fetched\" tips=\"&fetched;\">&outside;" + move;
    // Each file is head, count times chunk, and tail; FOLDER stands for the folder. No head:
    // a FIFO.
    const struct {
        const char* label;
        std::string head, chunk;
        int count;
        std::string tail;
        const char* loaded;
        const char* loadedByMsxml;  // which refuses document types; depth is its parser's choice
    } cases[] = {
        {"entities 11x10", "<!DOCTYPE Figures [" + laughs + "]><Figures><figure name=\"Laughs\" tips=\"&a10;\">", "", 0,
         move, "Good;", "Good;"},
        // Over the limit the tips read as absent; the name, from a small entity, is read.
        {"one entity 100,000 times",
         "<!DOCTYPE Figures [<!ENTITY e \"" + std::string(20000, 'x') +
             "\"><!ENTITY q \"Quadratic\">]><Figures><figure name=\"&q;\" tips=\"",
         "&e;", 100000, "\">" + move, "Good;Quadratic;", "Good;"},
        {"external entity",
         "<!DOCTYPE Figures [<!ENTITY secret SYSTEM \"FOLDER/secret.txt\">]><Figures><figure "
         "name=\"External\">&secret;<lineto><vertex x=\"1\" y=\"1\"/></lineto></figure></Figures>",
         "", 0, "", "External;Good;", "Good;"},
        {"external DTD", "<!DOCTYPE Figures SYSTEM \"FOLDER/figures.dtd\">" + fetches, "", 0, "", "Fetched;Good;",
         "Good;"},
        {"network DTD",
         "<!DOCTYPE Figures SYSTEM \"" + server + "/a.dtd\" [<!ENTITY o SYSTEM \"" + server + "/o\">]>" + fetches, "",
         0, "", "Fetched;Good;", "Good;"},
        {"100,000 deep", "<Figures>" + open + LineFigure("Deep"), "</g>", 100000, "</Figures>", "Deep;Good;",
         "Good;|Deep;Good;"},
        {"FIFO", "", "", 0, "", "Good;", "Good;"},
        {"50 MB attribute", "<Figures><figure name=\"Huge\" tips=\"", std::string(1 << 20, 'y'), 50, "\">" + move,
         "Good;", "Good;"},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        const std::string accepted = c.loadedByMsxml;
        if (c.head.empty()) continue;  // no FIFO in a Windows folder
#else
        const std::string accepted = c.loaded;
#endif
        TempFolder folder;
        ASSERT_TRUE(WriteHostileFolder(folder, c.head, c.chunk, c.count, c.tail)) << c.label;
        EXPECT_EXIT(LoadWithinBounds(c.label, folder.path, accepted), ::testing::ExitedWithCode(0), "") << c.label;
    }
#ifndef _WIN32
    close(listener);
#endif
}

// At least twelve bundled figures, each with tips and an icon; each builds completely at its
// file values and at both ends of its handles' ranges.
TEST_F(Templates, EveryBundledFigureBuildsCompletelyAtItsLimits) {
    VX_Initial(DataFolder("../../figures").c_str());
    ASSERT_GE(TemplateLibrary::Instance().Count(), 12u);
    for (const String& name : TemplateLibrary::Instance().Names()) {
        const FigureTemplate& figure = *TemplateLibrary::Instance().FindTemplate(name);
        EXPECT_TRUE(figure.info.tips && *figure.info.tips && figure.info.icon && *figure.info.icon) << U8(name);
        for (int end = 0; end <= 2; ++end) {  // the file's values, then all minima, then all maxima
            std::unique_ptr<FigureTemplate> t(CloneTemplate(figure));
            for (int32_t i = 0; end > 0 && i < GetReferenceCount(figure); ++i) {
                double limits[4];
                GetReferenceLimits(figure, i, &limits[0], &limits[1], &limits[2], &limits[3]);
                SetReferenceValues(*t, i, limits[end - 1], limits[end + 1]);
            }
            EXPECT_TRUE(BuildPathFromTemplate(Held{CVXPath::Create()}.path, *t, kFrame)) << U8(name) << " " << end;
        }
    }
}

TEST_F(Templates, LibraryNamesAreExactAndInCodeUnitOrder) {
    TemplateLibrary& library = TemplateLibrary::Instance();
    for (const char* name : {"b", "a", "B", "\xC3\xA9toile"}) StoreTemplate(name, {Element(0, {"0", "0"})});
    EXPECT_EQ(Names(), "B;a;b;\xC3\xA9toile;");  // "étoile" sorts last
    // A canvas registers each name with the template tool, whose infos name the templates.
    CallLog log;
    RecordingSurface surface{log};
    RecordingHost host{log, &surface};
    IGraphicCanvas* canvas = VX_CreateGraphicCanvas(&host);
    FigureInfo infos[9];
    ASSERT_EQ(canvas->GetToolInfos(infos, 9), 0);
    std::string listed;
    for (const FigureInfo& info : infos) listed += U8(info.name) + ";";
    EXPECT_EQ(listed, "B;Bezier;Free Hand;Line;Polygon;Rectangle;a;b;\xC3\xA9toile;");
    VX_DestroyGraphicCanvas(canvas);
    library.EnumerateTemplateNames(nullptr, nullptr);  // no canvas: nothing to call
    for (const char* absent : {"A", "a ", ""}) EXPECT_EQ(library.FindTemplate(W(absent)), nullptr) << absent;
    EXPECT_EQ(library.FindTemplate(static_cast<const VXCHAR*>(nullptr)), nullptr);
    VX_Release();
    EXPECT_TRUE(library.FindTemplate(VXTEXT("a")) == nullptr && library.Names().empty());  // TearDown releases again
}

TEST_F(Templates, BuildMapsTheUnitFrameAndBindsReferencesInOrder) {
    VX_Initial(DataFolder("templates/build").c_str());
    std::vector<Row> rows = ReadRows("templates/build/build.txt", Split::kBars);
    // The first empty text ends the coordinates: the rest stay 0, even a bad text. The
    // loader drops such an element, so this figure is made here.
    StoreTemplate("Empty text", {Element(1, {"0.5", "", "not evaluated"}), Element(2, {"1", "1"})});
    rows.push_back({"Empty text", {"Empty text", "100 50 300 150", "built", "L 200 0 C 300 150 0 0 0 0"}});
    Held path{CVXPath::Create()};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 4u);
        const FigureTemplate* figure = TemplateLibrary::Instance().FindTemplate(W(row.fields[0]));
        ASSERT_NE(figure, nullptr);
        std::unique_ptr<FigureTemplate> t(CloneTemplate(*figure));
        std::vector<double> frame(4);
        std::istringstream(row.fields[1]) >> frame[0] >> frame[1] >> frame[2] >> frame[3];
        path->AddNode(VX_NODE_LINE, 9, 9, 0, 0, 0, 0);  // the build starts from an empty path
        EXPECT_EQ(BuildPathFromTemplate(path.path, *t, frame.data()), row.fields[2] == "built");
        EXPECT_EQ(PathText(path.path), row.fields[3] == "(no nodes)" ? "" : row.fields[3]);
        EXPECT_EQ(std::vector<double>(t->frame, t->frame + 4), frame);
    }
}

TEST_F(Templates, ReferenceLimits) {
    VX_Initial(DataFolder("templates/records").c_str());
    for (const Row& row : ReadRows("templates/records/limits.txt", Split::kBars)) {
        SCOPED_TRACE(row.where);
        ASSERT_EQ(row.fields.size(), 3u);
        const FigureTemplate* t = TemplateLibrary::Instance().FindTemplate(W(row.fields[0]));
        ASSERT_NE(t, nullptr);
        std::vector<double> limits(4, -99), want(4);
        GetReferenceLimits(*t, std::stoi(row.fields[1]), &limits[0], &limits[1], &limits[2], &limits[3]);
        std::istringstream(row.fields[2]) >> want[0] >> want[1] >> want[2] >> want[3];
        for (size_t i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(limits[i], want[i]) << i;
    }
}

PathCreateParams Params(const std::string& name, std::vector<double> pairs = {}, const double* frame = kFrame) {
    PathCreateParams p{};
    p.left = frame[0], p.top = frame[1], p.right = frame[2], p.bottom = frame[3];
    const String wide = W(name);
    std::copy(wide.begin(), wide.end(), p.name);
    p.count = static_cast<int32_t>(pairs.size() / 2);
    std::copy(pairs.begin(), pairs.end(), &p.pairs[0][0]);
    return p;
}

TEST_F(Templates, CreatePathExSetsValuesBuildsAndAttaches) {
    VX_Initial(DataFolder("templates/records").c_str());  // Handle
    // Count 0: the values of the file. Reference points are frame origin plus frame size times
    // the value; "d" = a cannot be read without bindings, so it contributes 0.
    PathCreateParams p = Params("Handle");
    Held fileValues{VX_CreatePathEx(&p)};
    ASSERT_TRUE(fileValues.path && fileValues.path->HasTemplate());
    EXPECT_EQ(PathText(fileValues.path), "M 100 50 L 160 150");
    EXPECT_EQ(fileValues->ReferencePoints(), (std::vector<double>{160, 150, 200, 0}));

    // Pairs are narrowed to single precision and written with "%f"; beyond the count the
    // file's values stay.
    p = Params("Handle", {0.1, 12345.678});
    Held set{VX_CreatePathEx(&p)};
    ASSERT_NE(set.path, nullptr);
    const std::vector<TemplateReference>& refs = TemplateOf(set.path)->references;
    EXPECT_EQ(U8(refs[0].x.value) + " " + U8(refs[0].y.value) + " " + U8(refs[1].x.value), "0.100000 12345.677734 0.5");
    ASSERT_TRUE(set.path->GetTemplateInfo(&p));  // read back for building again
    EXPECT_EQ(std::vector<double>({p.pairs[0][0], p.pairs[0][1], p.pairs[1][0], static_cast<double>(p.count)}),
              (std::vector<double>{0.1, 12345.677734, 0.5, 2}));

    // Surplus pairs and negative counts set nothing beyond the references.
    p = Params("Handle", {0.5, 0.5});
    p.count = 1000;
    Held surplus{VX_CreatePathEx(&p)};
    ASSERT_TRUE(surplus.path && U8(TemplateOf(surplus.path)->references[1].x.value) == "0.000000");
    p.count = -3;
    Held negative{VX_CreatePathEx(&p)};
    EXPECT_EQ(PathText(negative.path), "M 100 50 L 160 150");
}

TEST_F(Templates, CreatePathExFailureRowsNameFieldAndHostileNumbers) {
    VX_Initial(DataFolder("templates/records").c_str());  // Shape, Forward and Box
    EXPECT_EQ(VX_CreatePathEx(nullptr), nullptr);
    PathCreateParams p;
    for (const char* name : {"shape", "Shape ", ""}) EXPECT_EQ(VX_CreatePathEx(&(p = Params(name))), nullptr) << name;
    // A coordinate that cannot be evaluated: the earlier nodes stay.
    p = Params("Shape");
    Held partial{VX_CreatePathEx(&p)};
    ASSERT_TRUE(partial.path && partial.path->HasTemplate());
    EXPECT_EQ(PathText(partial.path), "M 100 50 L 300 150");
    // A reference value that cannot be evaluated: no node, but the template copy and its
    // reference points (the failing value contributes 0).
    p = Params("Forward");
    Held empty{VX_CreatePathEx(&p)};
    ASSERT_TRUE(empty.path && empty.path->HasTemplate() && empty.path->GetNodes(nullptr, 0) == 0);
    EXPECT_EQ(empty->ReferencePoints(), (std::vector<double>{0, 75, 200, 50}));

    // After VX_Release the name is gone, and paths built before still hold their copy.
    VX_Release();
    EXPECT_EQ(VX_CreatePathEx(&p), nullptr);
    EXPECT_EQ(U8(TemplateOf(partial.path)->info.name) + ": " + PathText(partial.path), "Shape: M 100 50 L 300 150");
    VX_Initial(DataFolder("templates/records").c_str());

    // A name field without a terminator is read within its 256 units: the units after it
    // read as more "n"s, so a reader that ran on would look for a longer name.
    const String full(256, VXCHAR('n'));
    StoreTemplate(U8(full), {Element(0, {"0", "0"})});
    StoreTemplate(U8(full + VXTEXT("n")), {Element(0, {"1", "1"})});
    p = Params("");
    std::fill(p.name, p.name + 256, VXCHAR('n'));
    p.count = p.padding = 0x006E006E;
    Held found{VX_CreatePathEx(&p)};
    ASSERT_NE(found.path, nullptr);
    EXPECT_EQ(PathText(found.path), "M 100 50");

    // NaN and infinite edges and values give a path; whether "nan" and "inf" texts evaluate is
    // the evaluator's business. -1e8 prints longer than 15 units.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double hostile[4] = {nan, -inf, 1, inf};
    p = Params("Box", {nan, -1e8}, hostile);
    Held made{VX_CreatePathEx(&p)};
    ASSERT_TRUE(made.path && made.path->HasTemplate());
    // Edges far beyond 10^72 make a prefix longer than 255 units, and still compute.
    const double huge[4] = {-1e300, 0, 1e300, 1};
    p = Params("Box", {0, 0}, huge);
    Held built{VX_CreatePathEx(&p)};
    ASSERT_EQ(built.path->GetNodes(nullptr, 0), 5);
    EXPECT_DOUBLE_EQ(built->NodeAt(0)->x1, -1e300);
}

}  // namespace
}  // namespace vx::test
