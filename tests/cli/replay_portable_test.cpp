// `ostrel replay`: session files played through the library's canvas, checked by the summary
// and warnings it prints and the trace of the host and surface calls it writes.
#include "cli_run.h"
#include "support/golden.h"

namespace {

using namespace cli_test;
using vx::test::MatchesGolden;

const std::string kFigures = OSTREL_CLI_FIGURES;

const std::string kSessions = std::string(OSTREL_TEST_DATA) + "/replay";

// Whether got[g...] matches want[w...], where a wanted line "..." stands for any lines and a
// line ending in "..." for one line that starts with the text before it.
bool Matches(const std::vector<std::string>& got, size_t g, const std::vector<std::string>& want, size_t w = 0) {
    if (w == want.size()) return g == got.size();
    const std::string& line = want[w];
    if (line == "...") {
        for (size_t next = g; next <= got.size(); ++next) {
            if (Matches(got, next, want, w + 1)) return true;
        }
        return false;
    }
    if (g == got.size()) return false;
    const bool prefix = line.size() > 3 && line.compare(line.size() - 3, 3, "...") == 0;
    const bool same = prefix ? got[g].rfind(line.substr(0, line.size() - 3), 0) == 0 : got[g] == line;
    return same && Matches(got, g + 1, want, w + 1);
}

// Every NAME.session of tests/data/replay, replayed from that folder, against NAME.out,
// NAME.err and the golden trace replay_NAME (the folder's README.md says how).
TEST(Replay, EachSessionPrintsItsSummaryWarningsAndTrace) {
    int sessions = 0;
    for (const auto& entry : fs::directory_iterator(kSessions)) {
        if (entry.path().extension() != ".session") continue;
        const std::string name = kSessions + "/" + entry.path().stem().string();
        SCOPED_TRACE(entry.path().string());
        TempDir dir;
        const Result r =
            RunCli({"replay", entry.path().filename().string(), "--trace", dir / "t.trace", "--folder", kFigures},
                   "cd " + Quote(kSessions) + " &&");
        EXPECT_EQ(r.status, 0);
        std::vector<std::string> out = Lines(r.out);
        EXPECT_TRUE(!out.empty() && out.back() == "wrote " + dir / "t.trace") << r.out;
        if (!out.empty()) out.pop_back();
        EXPECT_TRUE(Matches(out, 0, Lines(ReadFile(name + ".out")))) << r.out;
        EXPECT_TRUE(Matches(Lines(r.err), 0, Lines(ReadFile(name + ".err")))) << r.err;
        EXPECT_TRUE(MatchesGolden(Lines(ReadFile(dir / "t.trace")), "replay_" + entry.path().stem().string()));
        ++sessions;
    }
    EXPECT_EQ(sessions, 15);
}

// A row's session text with "\n" and "\r" for its line ends.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool end = text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 'r');
        out += end ? (text[++i] == 'n' ? '\n' : '\r') : text[i];
    }
    return out;
}

TEST(Replay, BadSessionsExitTwoNamingTheLine) {
    // The sessions a table row cannot hold, then the rows of bad_sessions.txt.
    std::vector<Row> cases = {
        {"NUL", std::string("hover 1 1\nclick \0 x\n", 20), ":2: the line holds a NUL byte"},
        {"lines", std::string(20000, '\n') + "click\n", ":20001: a session has at most 20000 lines"},
        {"size", std::string((1 << 20) + 1, '#'), "is larger than 1 MiB"},
    };
    for (const Row& row : ReadRows("replay/bad_sessions.txt"))
        cases.push_back({row.where, Unescape(row.left), row.right});
    EXPECT_EQ(cases.size(), 23u);
    for (const auto& [where, session, message] : cases) {
        TempDir dir;
        std::ofstream(dir / "s.session", std::ios::binary) << session;
        const Result r = RunCli(
            {"replay", dir / "s.session", "--svg", dir / "d.svg", "--trace", dir / "t.trace", "--folder", kFigures});
        SCOPED_TRACE(where);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.rfind("ostrel: ", 0) == 0 && Count(r.err, "\n") == 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        if (message[0] == ':') {
            EXPECT_EQ(r.err.rfind("ostrel: " + dir / "s.session" + message, 0), 0u) << r.err;
        }
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"s.session"});  // nothing written
    }
}

TEST(Replay, TheDemoSessionPlaysCleanlyIntoAnSvg) {
    TempDir dir;
    const Result r = RunCli({"replay", std::string(OSTREL_CLI_EXAMPLES) + "/demo.session", "--svg", dir / "demo.svg",
                             "--folder", kFigures});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("paths 9\n"), std::string::npos);
    EXPECT_NE(r.out.find("selection p6 p7 p8 p9\nmode object\ntool none\nwrote " + dir / "demo.svg" + "\n"),
              std::string::npos)
        << r.out;
    const std::string svg = ReadFile(dir / "demo.svg");
    EXPECT_NE(svg.find("viewBox=\"0 0 880 470\""), std::string::npos);
    EXPECT_EQ(Count(svg, "class=\"reference\""), 4u);      // one handle on each selected figure
    EXPECT_EQ(Count(svg, "<rect class=\"handle\""), 32u);  // eight box handles on each
}

}  // namespace
