// The command-line program run as a user runs it: arguments in, exit status, standard
// output, standard error and files out. Portable builds only (the program is started
// through the shell); the Windows build of the program is built but not run by tests.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string ReadFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ostrel-cli-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        path = pattern;
    }
    ~TempDir() { std::error_code ignored; fs::remove_all(path, ignored); }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(path)) names.insert(e.path().filename().string());
        return names;
    }
};

struct Result { int status; std::string out, err; };

// Runs the program with args; prefix goes before it on the shell line (a PATH setting).
Result RunCli(const std::vector<std::string>& args, const std::string& prefix = "") {
    TempDir io;
    std::string line = prefix + " " + Quote(OSTREL_CLI_PROGRAM);
    for (const std::string& a : args) line += " " + Quote(a);
    const int raw = std::system((line + " >" + Quote(io / "out") + " 2>" + Quote(io / "err") + " </dev/null").c_str());
    return {raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(io / "out"), ReadFile(io / "err")};
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

const std::string kFigures = OSTREL_CLI_FIGURES;

// Two references; the second value and the first maximum use names bound before them.
const char* kWedgeFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Figures><figure name="Wedge" tips="A wedge" icon="wedge-icon">
  <reference><x name="a" value="0.25" min="0.1" max="a + 0.5"/><y name="b" value="a*2" min="0" max="1"/></reference>
  <reference><x name="c" value="b + 0.1"/><y value="0.5" min="1/4" max="3/4"/></reference>
  <moveto><vertex x="a" y="0"/></moveto><lineto><vertex x="1" y="b"/></lineto>
  <lineto><vertex x="c" y="1"/></lineto><closepath/>
</figure></Figures>)";

TEST(Cli, WrongArgumentsExitTwoWithOneLineNamingTheProblem) {
    TempDir empty, broken;
    std::ofstream(broken / "bad.xml") << "<Figures><figure name='x'><lineto/></figure>";  // not well-formed
    std::ofstream(broken / "other.xml") << "<Shapes><figure name='y'><moveto><vertex x='0' y='0'/></moveto></figure></Shapes>";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given"},
        {{"draw"}, "unknown command 'draw'"},
        {{"build"}, "build needs a figure name"},
        {{"build", "Arrow"}, "build needs --frame L,T,R,B"},
        {{"build", "Arrow", "--frame", "1,2,3"}, "--frame '1,2,3' is not four numbers L,T,R,B"},
        {{"build", "Arrow", "--frame", "0,0,1e300,1"}, "--frame '0,0,1e300,1' has a value out of range"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--frame=0,0,2,2"}, "option --frame given twice"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--ref", "0.5"}, "--ref '0.5' is not two numbers X,Y"},
        {{"build", "Arrow", "Star", "--frame", "0,0,1,1"}, "unexpected argument 'Star' for build"},
        {{"figures", "--svg", "x.svg"}, "unknown option '--svg' for figures"},
        {{"gallery"}, "gallery needs --out FILE.svg"},
        {{"gallery", "--out", "a.svg", "--png", "a.svg"}, "--png and --out name the same file"},
        {{"build", "Nope", "--frame", "0,0,1,1"}, "unknown figure 'Nope' in folder '" + kFigures + "'"},
        {{"build", "arrow", "--frame", "0,0,1,1"}, "unknown figure 'arrow'"},
        {{"build", std::string(300, 'n'), "--frame", "0,0,1,1"}, "is longer than 255 UTF-16 units"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--ref", "0.5,0.5", "--ref", "0.1,0.1"},
         "figure 'Arrow' has 1 reference handle(s); 2 --ref given"},
        {{"figures", "--folder", "/nonexistent/ostrel"}, "folder '/nonexistent/ostrel' does not exist"},
        {{"figures", "--folder", empty.path.string()}, "no figures in folder '" + empty.path.string() + "'"},
        {{"gallery", "--folder", broken.path.string(), "--out", empty / "g.svg"}, "no figures in folder"},
    };
    for (const auto& [args, message] : cases) {
        const Result r = RunCli(args);  // without --folder the bundled figures are the default
        SCOPED_TRACE(r.err);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("ostrel: ", 0), 0u);
        EXPECT_NE(r.err.find(message), std::string::npos);
        EXPECT_EQ(Count(r.err, "\n"), 1u);
    }
    EXPECT_TRUE(empty.Entries().empty());
}

TEST(Cli, BuildPrintsTheNodesOfHandWorkedFramesAndWritesSvg) {
    TempDir out;
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // neck 0.6 and shaft 0.3 of a 200 by 100 frame at (100, 50).
        {{"Arrow", "--frame", "100,50,300,150", "--svg", out / "arrow.svg"},
         "figure Arrow\nframe 100 50 300 150\nreference 1 0.6 0.3\nnodes 8\nmove 100 80\nline 220 80\n"
         "line 220 50\nline 300 100\nline 220 150\nline 220 120\nline 100 120\nclose\n"},
        // Rectangle elements become a move, three lines and a close; the opening is inset
        // 0.1 of 200 at the sides and 0.2 of 100 at the top and bottom.
        {{"Picture Frame", "--frame", "0,0,200,100", "--ref", "0.1,0.2"},
         "figure Picture Frame\nframe 0 0 200 100\nreference 1 0.1 0.2\nnodes 10\n"
         "move 0 0\nline 200 0\nline 200 100\nline 0 100\nclose\n"
         "move 20 20\nline 180 20\nline 180 80\nline 20 80\nclose\n"},
    };
    for (auto [args, expected] : cases) {
        args.insert(args.begin(), "build");
        args.insert(args.end(), {"--folder", kFigures});
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, expected);
    }
    const std::string svg = ReadFile(out / "arrow.svg");
    EXPECT_NE(svg.find("d=\"M 100 80 L 220 80 L 220 50 L 300 100 L 220 150 L 220 120 L 100 120 Z\""),
              std::string::npos) << svg;
    EXPECT_NE(svg.find("viewBox=\"90 40 220 120\""), std::string::npos);  // margin: 5% of the larger side
    EXPECT_EQ(out.Entries(), std::set<std::string>{"arrow.svg"});

    // An ellipse is four cubics from the middle of its left edge: with the factor
    // 0.55228475, half of 100 gives control offsets of 27.614 from the middle; the inner
    // one, inset by t = 0.2, is 60 across, so offsets of 16.5685.
    const Result ring = RunCli({"build", "Ring", "--frame", "0,0,100,100", "--folder", kFigures});
    EXPECT_NE(ring.out.find("nodes 12\nmove 0 50\ncurve 0 22.3858 22.3858 0 50 0\n"
                            "curve 77.6142 0 100 22.3858 100 50\n"), std::string::npos) << ring.out;
    EXPECT_NE(ring.out.find("close\nmove 20 50\ncurve 20 33.4315 33.4315 20 50 20\n"), std::string::npos);
}

TEST(Cli, ReferenceValuesUseTheNamesBoundBeforeThemInListingBuildAndGallery) {
    TempDir folder;
    std::ofstream(folder / "wedge.xml") << kWedgeFile;
    const Result list = RunCli({"figures", "--folder", folder.path.string()});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "Wedge\n  tips: A wedge\n  icon: wedge-icon\n  elements: 4\n  references: 2\n"
                        "    1. x a = 0.25 limits [0.1, 0.75]\n       y b = 0.5 (a*2) limits [0, 1]\n"
                        "    2. x c = 0.6 (b + 0.1) limits [0, 0]\n       y (unnamed) = 0.5 limits [0.25, 0.75]\n");

    // The first pair replaces a and b; c = b + 0.1 follows the new b. The path reports
    // value texts that are not plain numbers as 0.
    const Result build = RunCli({"build", "Wedge", "--frame", "0,0,200,100", "--ref", "0.5,0.25", "--folder",
                                 folder.path.string()});
    EXPECT_EQ(build.out, "figure Wedge\nframe 0 0 200 100\nreference 1 0.5 0.25\nreference 2 0 0.5\n"
                         "nodes 4\nmove 100 0\nline 200 25\nline 70 100\nclose\n") << build.err;

    const Result r = RunCli({"gallery", "--folder", folder.path.string(), "--out", folder / "g.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadFile(folder / "g.svg");
    // The first cell's frame is (40, 75) to (200, 205): a = 0.25, b = 0.5, c = 0.6. The guide
    // box runs from corner 1 down, across, up and back, as the selection draws it. Reference
    // handles at (80, 140) and (136, 140) are diamonds of half-diagonal 1.4 times half the
    // mark size 8.
    for (const char* path : {"M 80 75 L 200 140 L 136 205 Z", "M 40 75 L 40 205 L 200 205 L 200 75 L 40 75",
                             "M 80 134.4 L 85.6 140 L 80 145.6 L 74.4 140 Z",
                             "M 136 134.4 L 141.6 140 L 136 145.6 L 130.4 140 Z"}) {
        EXPECT_NE(svg.find("d=\"" + std::string(path) + "\""), std::string::npos) << path;
    }
    EXPECT_EQ(Count(svg, "class=\"reference\""), 2u);
    EXPECT_EQ(Count(svg, "<rect class=\"handle\""), 8u);  // four corners, four edge middles
    EXPECT_NE(svg.find(">Wedge</text>"), std::string::npos);
}

TEST(Cli, FailuresLeaveNoFilesBehind) {
    TempDir out;
    // Too many --ref values: rejected before anything is written.
    EXPECT_EQ(RunCli({"build", "Star", "--frame", "0,0,10,10", "--ref", "0,0", "--ref", "1,1", "--svg",
                      out / "star.svg", "--folder", kFigures}).status, 2);
    Result r = RunCli({"gallery", "--out", out / "missing/g.svg", "--folder", kFigures});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write '" + out / "missing/g.svg" + "'"), std::string::npos) << r.err;
    EXPECT_TRUE(out.Entries().empty());

    // The PNG converter cannot be found: status 1, and the SVG that was already there
    // is neither replaced nor joined by a PNG or a temporary file.
    std::ofstream(out / "g.svg") << "old";
    TempDir noTools;
    r = RunCli({"gallery", "--out", out / "g.svg", "--png", out / "g.png", "--folder", kFigures},
               "PATH=" + Quote(noTools.path.string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot run rsvg-convert"), std::string::npos) << r.err;
    EXPECT_EQ(out.Entries(), std::set<std::string>{"g.svg"});
    EXPECT_EQ(ReadFile(out / "g.svg"), "old");
}

TEST(Cli, GalleryPngOfTheBundledFigures) {
    if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "no rsvg-convert (librsvg2-bin)";
    TempDir out;
    const Result r = RunCli({"gallery", "--out", out / "g.svg", "--png", out / "g.png", "--folder", kFigures});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("wrote " + out / "g.svg" + " (", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" figures)\nwrote " + out / "g.png" + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(ReadFile(out / "g.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(out.Entries(), (std::set<std::string>{"g.png", "g.svg"}));
}

// At least twelve bundled figures, each with tips and an icon, and each builds completely at
// its file values and at both ends of its handles' ranges (a coordinate that fails to
// evaluate would cut the node list short).
TEST(Cli, EveryBundledFigureBuildsCompletely) {
    const Result list = RunCli({"figures", "--folder", kFigures});
    ASSERT_EQ(list.status, 0) << list.err;
    std::istringstream lines(list.out);
    std::vector<std::pair<std::vector<std::string>, std::vector<double>>> figures;  // args, limits
    for (std::string line; std::getline(lines, line);) {
        const size_t limits = line.find(" limits [");
        if (!line.empty() && line[0] != ' ') {
            figures.push_back({{"build", line, "--frame", "0,0,100,100", "--folder", kFigures}, {}});
        } else if (line.rfind("  tips: ", 0) == 0 || line.rfind("  icon: ", 0) == 0) {
            EXPECT_GT(line.size(), 8u) << figures.back().first[1];
        } else if (line.rfind("  elements: ", 0) == 0) {
            // Only the picture frame holds rectangle elements, each of which becomes 5 nodes.
            const int nodes = std::stoi(line.substr(12)) + (figures.back().first[1] == "Picture Frame" ? 8 : 0);
            figures.back().first.push_back("\nnodes " + std::to_string(nodes) + "\n");
        } else if (limits != std::string::npos) {
            figures.back().second.push_back(std::stod(line.substr(limits + 9)));
            figures.back().second.push_back(std::stod(line.substr(line.find(", ", limits) + 2)));
        }
    }
    EXPECT_GE(figures.size(), 12u);
    for (auto& [args, limits] : figures) {
        const std::string nodes = args.back();
        args.pop_back();
        for (size_t end = 0; end <= 2; ++end) {  // file values, then all minima, then all maxima
            std::vector<std::string> withRefs = args;
            for (size_t i = 0; end > 0 && i + 3 < limits.size(); i += 4) {
                std::ostringstream pair;
                pair << limits[i + end - 1] << ',' << limits[i + end + 1];
                withRefs.insert(withRefs.end(), {"--ref", pair.str()});
            }
            const Result r = RunCli(withRefs);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out.find(nodes), std::string::npos) << r.out;
            EXPECT_TRUE(r.out.find("nan") == std::string::npos && r.out.find("inf") == std::string::npos) << r.out;
        }
    }
}

}  // namespace
