// The command-line program run as a user runs it: arguments in, exit status, standard
// output, standard error and files out. Portable builds only (the program is started
// through the shell); the Windows build of the program is built but not run by tests.
#include "cli_run.h"

namespace {

using namespace cli_test;

const std::string kFigures = OSTREL_CLI_FIGURES;
// Without --folder: the figures/ beside the program (in the build tree, a link to kFigures).
const std::string kDefaultFigures = (std::filesystem::path(OSTREL_CLI_PROGRAM).parent_path() / "figures").string();

// A figure with two references; the second value and the first maximum use names bound before them.
const std::string kWedge = std::string(OSTREL_TEST_DATA) + "/cli/wedge";

// The table's text with its folder names put in.
std::string Fill(std::string text, const std::vector<std::pair<std::string, std::string>>& names) {
    for (const auto& [name, value] : names) {
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    }
    return text;
}

TEST(Cli, WrongArgumentsExitTwoWithOneLineNamingTheProblem) {
    TempDir empty, broken;  // broken holds only a file that is not well-formed
    std::ofstream(broken / "bad.xml") << "<Figures><figure name='x'><lineto/></figure>";
    const std::vector<std::pair<std::string, std::string>> names = {
        {"{empty}", empty.path.string()}, {"{broken}", broken.path.string()}, {"{default}", kDefaultFigures}};
    const std::vector<Row> cases = ReadRows("cli/wrong_arguments.txt");
    EXPECT_EQ(cases.size(), 31u);
    for (const auto& [where, args, message] : cases) {
        std::istringstream words(Fill(args, names));
        const Result r = RunCli({std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()});
        SCOPED_TRACE(where + ": " + r.err);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.rfind("ostrel: ", 0) == 0 && Count(r.err, "\n") == 1);  // one line
        EXPECT_NE(r.err.find(Fill(message, names)), std::string::npos);
    }
    EXPECT_TRUE(empty.Entries().empty());
}

// What build and figures print is in tests/data/cli/commands.txt.
TEST(Cli, BuildWritesTheSvgOfAHandWorkedFrame) {
    TempDir out;  // neck 0.6 and shaft 0.3 of a 200 by 100 frame at (100, 50)
    const Result r =
        RunCli({"build", "Arrow", "--frame", "100,50,300,150", "--svg", out / "arrow.svg", "--folder", kFigures});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadFile(out / "arrow.svg");
    EXPECT_NE(svg.find("d=\"M 100 80 L 220 80 L 220 50 L 300 100 L 220 150 L 220 120 L 100 120 Z\""),
              std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"90 40 220 120\""), std::string::npos);  // margin: 5% of the larger side
    EXPECT_EQ(out.Entries(), std::set<std::string>{"arrow.svg"});
}

TEST(Cli, GalleryDrawsReferencesWhoseValuesUseTheNamesBoundBeforeThem) {
    TempDir folder;
    const Result r = RunCli({"gallery", "--folder", kWedge, "--out", folder / "g.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = ReadFile(folder / "g.svg");
    // The first cell's frame is (40, 75) to (200, 205): a = 0.25, b = 0.5, c = 0.6. The guide
    // box runs from corner 1 down, across, up and back, as the selection draws it. Reference
    // handles at (80, 140) and (136, 140) are diamonds of half-diagonal 1.4 times half the
    // mark size 8.
    for (const char* path :
         {"M 80 75 L 200 140 L 136 205 Z", "M 40 75 L 40 205 L 200 205 L 200 75 L 40 75",
          "M 80 134.4 L 85.6 140 L 80 145.6 L 74.4 140 Z", "M 136 134.4 L 141.6 140 L 136 145.6 L 130.4 140 Z"}) {
        EXPECT_NE(svg.find("d=\"" + std::string(path) + "\""), std::string::npos) << path;
    }
    EXPECT_EQ(Count(svg, "class=\"reference\""), 2u);
    EXPECT_EQ(Count(svg, "<rect class=\"handle\""), 8u);  // four corners, four edge middles
    EXPECT_NE(svg.find(">Wedge</text>"), std::string::npos);
}

TEST(Cli, FailuresLeaveNoFilesBehind) {
    // Arguments refused and a gallery that cannot be written: rows of cli/wrong_arguments.txt.
    TempDir out;
    // The PNG converter cannot be found: status 1, and the SVG that was already there
    // is neither replaced nor joined by a PNG or a temporary file.
    std::ofstream(out / "g.svg") << "old";
    TempDir noTools;
    const Result r = RunCli({"gallery", "--out", out / "g.svg", "--png", out / "g.png", "--folder", kFigures},
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
    EXPECT_TRUE(r.out.rfind("wrote " + out / "g.svg" + " (", 0) == 0 &&
                r.out.find(" figures)\nwrote " + out / "g.png" + "\n") != std::string::npos)
        << r.out;
    EXPECT_EQ(ReadFile(out / "g.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(out.Entries(), (std::set<std::string>{"g.png", "g.svg"}));
}

}  // namespace
