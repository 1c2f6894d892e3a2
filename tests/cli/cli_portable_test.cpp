// The command-line program run as a user runs it: arguments in, exit status, standard
// output, standard error and files out. Portable builds only (the program is started
// through the shell); the Windows build of the program is built but not run by tests.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

#ifndef OSTREL_CLI_PROGRAM
#error "apps/ostrel/CMakeLists.txt defines OSTREL_CLI_PROGRAM for this test"
#endif

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ostrel-cli-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(path_)) names.insert(e.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs the program with args; prefix is put before it on the shell line (for example a
// PATH setting).
Result RunCli(const std::vector<std::string>& args, const std::string& prefix = "") {
    TempDir io;
    std::string line = prefix + " " + Quote(OSTREL_CLI_PROGRAM);
    for (const std::string& a : args) line += " " + Quote(a);
    line += " >" + Quote(io / "out") + " 2>" + Quote(io / "err") + " </dev/null";
    const int raw = std::system(line.c_str());
    Result r;
    r.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(io / "out");
    r.err = ReadFile(io / "err");
    return r;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

const std::string kFigures = OSTREL_CLI_FIGURES;

// Two references; the second value and the first maximum use names bound before them.
const char* kWedgeFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Figures>
  <figure name="Wedge" tips="A wedge" icon="wedge-icon">
    <reference>
      <x name="a" value="0.25" min="0.1" max="a + 0.5"/>
      <y name="b" value="a*2" min="0" max="1"/>
    </reference>
    <reference>
      <x name="c" value="b + 0.1"/>
      <y value="0.5" min="1/4" max="3/4"/>
    </reference>
    <moveto><vertex x="a" y="0"/></moveto>
    <lineto><vertex x="1" y="b"/></lineto>
    <lineto><vertex x="c" y="1"/></lineto>
    <closepath/>
  </figure>
</Figures>
)";

TEST(Cli, WrongArgumentsExitTwoWithOneLineNamingTheProblem) {
    TempDir empty;
    TempDir broken;
    WriteFile(broken / "bad.xml", "<Figures><figure name='x'><lineto/></figure>");  // not well-formed
    WriteFile(broken / "other.xml", "<Shapes><figure name='y'><moveto><vertex x='0' y='0'/></moveto></figure></Shapes>");
    const std::string longName(300, 'n');
    struct Case {
        std::vector<std::string> args;
        std::string message;  // expected in the one line on stderr
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"draw"}, "unknown command 'draw'"},
        {{"build"}, "build needs a figure name"},
        {{"build", "Arrow"}, "build needs --frame L,T,R,B"},
        {{"build", "Arrow", "--frame"}, "option --frame needs a value"},
        {{"build", "Arrow", "--frame", "1,2,3"}, "--frame '1,2,3' is not four numbers L,T,R,B"},
        {{"build", "Arrow", "--frame", "1,2,3,4,5"}, "--frame '1,2,3,4,5' is not four numbers"},
        {{"build", "Arrow", "--frame", "0,0,1,nan"}, "--frame '0,0,1,nan' is not four numbers"},
        {{"build", "Arrow", "--frame", "0,0, 1,1"}, "--frame '0,0, 1,1' is not four numbers"},
        {{"build", "Arrow", "--frame", "0,0,1e300,1"}, "--frame '0,0,1e300,1' has a value out of range"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--frame=0,0,2,2"}, "option --frame given twice"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--ref", "0.5"}, "--ref '0.5' is not two numbers X,Y"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--ref", "1e7,0"}, "--ref '1e7,0' has a value out of range"},
        {{"build", "Arrow", "Star", "--frame", "0,0,1,1"}, "unexpected argument 'Star' for build"},
        {{"figures", "--svg", "x.svg"}, "unknown option '--svg' for figures"},
        {{"figures", "extra"}, "unexpected argument 'extra' for figures"},
        {{"gallery"}, "gallery needs --out FILE.svg"},
        {{"gallery", "--out", "a.svg", "--png", "a.svg"}, "--png and --out name the same file"},
        {{"build", "Nope", "--frame", "0,0,1,1"}, "unknown figure 'Nope' in folder '" + kFigures + "'"},
        {{"build", "arrow", "--frame", "0,0,1,1"}, "unknown figure 'arrow'"},
        {{"build", longName, "--frame", "0,0,1,1"}, "is longer than 255 UTF-16 units"},
        {{"build", "Arrow", "--frame", "0,0,1,1", "--ref", "0.5,0.5", "--ref", "0.1,0.1"},
         "figure 'Arrow' has 1 reference handle(s); 2 --ref given"},
        {{"figures", "--folder", "/nonexistent/ostrel"}, "folder '/nonexistent/ostrel' does not exist"},
        {{"figures", "--folder", empty.path().string()}, "no figures in folder '" + empty.path().string() + "'"},
        {{"gallery", "--folder", broken.path().string(), "--out", empty / "g.svg"}, "no figures in folder"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) shown += " " + a.substr(0, 30);
        SCOPED_TRACE("ostrel" + shown);
        // Without --folder: the bundled figures are the default.
        const Result r = RunCli(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("ostrel: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(Count(r.err, "\n"), 1u) << r.err;
    }
    EXPECT_TRUE(empty.Entries().empty());
}

TEST(Cli, BuildPrintsTheNodesOfHandWorkedFrames) {
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    };
    const Case cases[] = {
        // neck 0.6 and shaft 0.3 of a 200 by 100 frame at (100, 50).
        {{"Arrow", "--frame", "100,50,300,150"},
         "figure Arrow\nframe 100 50 300 150\nreference 1 0.6 0.3\nnodes 8\n"
         "move 100 80\nline 220 80\nline 220 50\nline 300 100\nline 220 150\n"
         "line 220 120\nline 100 120\nclose\n"},
        // A mirrored frame: unit x 0 is at 300 and 1 at 100; inset 0.1 gives 280 and 120.
        {{"Trapezoid", "--frame", "300,50,100,150", "--ref", "0.1,0"},
         "figure Trapezoid\nframe 300 50 100 150\nreference 1 0.1 0\nnodes 5\n"
         "move 280 50\nline 120 50\nline 100 150\nline 300 150\nclose\n"},
        // Rectangle elements become a move, three lines and a close; the opening is inset
        // 0.1 of 200 at the sides and 0.2 of 100 at the top and bottom.
        {{"Picture Frame", "--frame", "0,0,200,100", "--ref", "0.1,0.2"},
         "figure Picture Frame\nframe 0 0 200 100\nreference 1 0.1 0.2\nnodes 10\n"
         "move 0 0\nline 200 0\nline 200 100\nline 0 100\nclose\n"
         "move 20 20\nline 180 20\nline 180 80\nline 20 80\nclose\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<std::string> args = {"build"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--folder", kFigures});
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, c.expected);
    }

    // An ellipse is four cubics from the middle of its left edge: with the factor
    // 0.55228475, half of 100 gives control offsets of 27.614 from the middle.
    const Result ring = RunCli({"build", "Ring", "--frame", "0,0,100,100", "--folder", kFigures});
    EXPECT_EQ(ring.status, 0) << ring.err;
    EXPECT_NE(ring.out.find("nodes 12\nmove 0 50\ncurve 0 22.3858 22.3858 0 50 0\n"
                            "curve 77.6142 0 100 22.3858 100 50\n"),
              std::string::npos)
        << ring.out;
    // The inner ellipse, inset by t = 0.2: 60 across, so offsets of 16.5685.
    EXPECT_NE(ring.out.find("close\nmove 20 50\ncurve 20 33.4315 33.4315 20 50 20\n"),
              std::string::npos)
        << ring.out;
}

TEST(Cli, ReferenceValuesUseTheNamesBoundBeforeThem) {
    TempDir folder;
    WriteFile(folder / "wedge.xml", kWedgeFile);
    const Result list = RunCli({"figures", "--folder", folder.path().string()});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "Wedge\n"
              "  tips: A wedge\n"
              "  icon: wedge-icon\n"
              "  elements: 4\n"
              "  references: 2\n"
              "    1. x a = 0.25 limits [0.1, 0.75]\n"
              "       y b = 0.5 (a*2) limits [0, 1]\n"
              "    2. x c = 0.6 (b + 0.1) limits [0, 0]\n"
              "       y (unnamed) = 0.5 limits [0.25, 0.75]\n");

    // The first pair replaces a and b; c = b + 0.1 follows the new b. The path reports
    // value texts that are not plain numbers as 0.
    const Result build = RunCli({"build", "Wedge", "--frame", "0,0,200,100", "--ref", "0.5,0.25",
                                 "--folder", folder.path().string()});
    EXPECT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out,
              "figure Wedge\nframe 0 0 200 100\nreference 1 0.5 0.25\nreference 2 0 0.5\n"
              "nodes 4\nmove 100 0\nline 200 25\nline 70 100\nclose\n");
}

TEST(Cli, BuildWritesTheSvgOfThePath) {
    TempDir out;
    const Result r = RunCli({"build", "Arrow", "--frame", "100,50,300,150", "--svg", out / "arrow.svg",
                             "--folder", kFigures});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadFile(out / "arrow.svg");
    EXPECT_NE(svg.find("d=\"M 100 80 L 220 80 L 220 50 L 300 100 L 220 150 L 220 120 L 100 120 Z\""),
              std::string::npos)
        << svg;
    // The frame plus a margin of 5% of its larger side.
    EXPECT_NE(svg.find("viewBox=\"90 40 220 120\""), std::string::npos) << svg;
    EXPECT_EQ(out.Entries(), std::set<std::string>{"arrow.svg"});
}

TEST(Cli, FailuresLeaveNoFilesBehind) {
    TempDir out;
    // Too many --ref values: rejected before anything is written.
    Result r = RunCli({"build", "Star", "--frame", "0,0,10,10", "--ref", "0,0", "--ref", "1,1",
                       "--svg", out / "star.svg", "--folder", kFigures});
    EXPECT_EQ(r.status, 2);
    // A folder that does not exist.
    r = RunCli({"gallery", "--out", out / "missing/g.svg", "--folder", kFigures});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write '" + out / "missing/g.svg" + "'"), std::string::npos) << r.err;
    EXPECT_TRUE(out.Entries().empty());

    // The PNG converter cannot be found: status 1, and the SVG that was already there
    // is neither replaced nor joined by a PNG or a temporary file.
    WriteFile(out / "g.svg", "old");
    TempDir noTools;
    r = RunCli({"gallery", "--out", out / "g.svg", "--png", out / "g.png", "--folder", kFigures},
               "PATH=" + Quote(noTools.path().string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot run rsvg-convert"), std::string::npos) << r.err;
    EXPECT_EQ(out.Entries(), std::set<std::string>{"g.svg"});
    EXPECT_EQ(ReadFile(out / "g.svg"), "old");
}

TEST(Cli, GalleryDrawsEachFigureWithItsReferenceHandles) {
    TempDir folder;
    WriteFile(folder / "wedge.xml", kWedgeFile);
    const Result r = RunCli({"gallery", "--folder", folder.path().string(), "--out", folder / "g.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadFile(folder / "g.svg");
    // The first cell's frame is (40, 75) to (200, 205): a = 0.25, b = 0.5, c = 0.6.
    EXPECT_NE(svg.find("d=\"M 80 75 L 200 140 L 136 205 Z\""), std::string::npos) << svg;
    // Guide box from corner 1 down, across, up and back, as the selection draws it.
    EXPECT_NE(svg.find("d=\"M 40 75 L 40 205 L 200 205 L 200 75 L 40 75\""), std::string::npos);
    // Reference handles at (a, b) = (80, 140) and (c, 0.5) = (136, 140), diamonds of
    // half-diagonal 1.4 times half the mark size 8.
    EXPECT_NE(svg.find("d=\"M 80 134.4 L 85.6 140 L 80 145.6 L 74.4 140 Z\""), std::string::npos);
    EXPECT_NE(svg.find("d=\"M 136 134.4 L 141.6 140 L 136 145.6 L 130.4 140 Z\""), std::string::npos);
    EXPECT_EQ(Count(svg, "class=\"reference\""), 2u);
    EXPECT_EQ(Count(svg, "<rect class=\"handle\""), 8u);  // four corners, four edge middles
    EXPECT_NE(svg.find(">Wedge</text>"), std::string::npos);
}

// The bundled figures: at least twelve, each with tips and an icon, and each builds
// completely at its file values and at both ends of its handles' ranges (a coordinate
// that fails to evaluate would cut the node list short).
TEST(Cli, EveryBundledFigureBuildsCompletely) {
    const Result list = RunCli({"figures", "--folder", kFigures});
    ASSERT_EQ(list.status, 0) << list.err;
    std::istringstream lines(list.out);
    std::string line, name;
    struct Figure {
        std::string name;
        int elements = 0;
        std::vector<double> limits;  // minX, maxX, minY, maxY per reference
    };
    std::vector<Figure> figures;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != ' ') {
            figures.push_back({line, 0, {}});
        } else if (line.rfind("  tips: ", 0) == 0) {
            EXPECT_GT(line.size(), 8u) << figures.back().name;
        } else if (line.rfind("  icon: ", 0) == 0) {
            EXPECT_GT(line.size(), 8u) << figures.back().name;
        } else if (line.rfind("  elements: ", 0) == 0) {
            figures.back().elements = std::stoi(line.substr(12));
        } else if (line.find(" limits [") != std::string::npos) {
            const std::string range = line.substr(line.find(" limits [") + 9);
            figures.back().limits.push_back(std::stod(range));
            figures.back().limits.push_back(std::stod(range.substr(range.find(", ") + 2)));
        }
    }
    EXPECT_GE(figures.size(), 12u);
    for (const Figure& f : figures) {
        SCOPED_TRACE(f.name);
        // Only the picture frame holds rectangle elements, each of which becomes 5 nodes.
        const size_t expected = static_cast<size_t>(f.elements) + (f.name == "Picture Frame" ? 8 : 0);
        for (int end = -1; end <= 1; ++end) {
            std::vector<std::string> args = {"build", f.name, "--frame", "0,0,100,100", "--folder", kFigures};
            for (size_t i = 0; end >= 0 && i + 3 < f.limits.size(); i += 4) {
                args.push_back("--ref");
                std::ostringstream pair;
                pair << f.limits[i + static_cast<size_t>(end)] << ',' << f.limits[i + 2 + static_cast<size_t>(end)];
                args.push_back(pair.str());
            }
            const Result r = RunCli(args);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out.find("\nnodes " + std::to_string(expected) + "\n"), std::string::npos)
                << "limits end " << end << "\n" << r.out;
            EXPECT_EQ(r.out.find("nan"), std::string::npos) << r.out;
            EXPECT_EQ(r.out.find("inf"), std::string::npos) << r.out;
        }
    }
}

TEST(Cli, GalleryPngOfTheBundledFigures) {
    if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "rsvg-convert is not installed (Debian package librsvg2-bin)";
    }
    TempDir out;
    const Result r = RunCli({"gallery", "--out", out / "g.svg", "--png", out / "g.png", "--folder", kFigures});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("wrote " + out / "g.svg" + " (", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" figures)\nwrote " + out / "g.png" + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(ReadFile(out / "g.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(out.Entries(), (std::set<std::string>{"g.png", "g.svg"}));
}

}  // namespace
