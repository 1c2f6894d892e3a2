// `ostrel replay`: session files played through the library's canvas, checked by
// the summary it prints and the trace of the host and surface calls it writes.
#include <sstream>

#include "cli_run.h"
#include "support/golden.h"

namespace {

using namespace cli_test;
using vx::test::MatchesGolden;

const std::string kFigures = OSTREL_CLI_FIGURES;

struct Replayed {
    Result result;
    std::vector<std::string> trace;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Writes the session to dir/s.session and replays it with a trace.
Replayed Replay(const TempDir& dir, const std::string& session, std::vector<std::string> extra = {}) {
    std::ofstream(dir / "s.session", std::ios::binary) << session;
    std::vector<std::string> args = {"replay", dir / "s.session", "--trace", dir / "t.trace", "--folder", kFigures};
    args.insert(args.end(), extra.begin(), extra.end());
    Replayed r{RunCli(args), {}};
    r.trace = Lines(ReadFile(dir / "t.trace"));
    return r;
}

TEST(Replay, DrawsARectangleAndMovesItByItsCentreHandle) {
    TempDir dir;
    const Replayed r = Replay(dir,
                              "# a 40 by 30 rectangle, then moved by (5, 5)\n"
                              "tool Rectangle\n"  // 2
                              "press 10 10\n"     // 3
                              "drag 50 40\n"      // 4
                              "release 50 40\n"   // 5
                              "tool none\n"
                              "mode object\n"
                              "hover 30 25\n"      // 8: the centre mark
                              "press 30 25\n"      // 9
                              "drag 35 30\n"       // 10
                              "release 35 30\n");  // 11
    ASSERT_EQ(r.result.status, 0) << r.result.err;
    EXPECT_EQ(r.result.err, "");
    EXPECT_EQ(r.result.out,
              "paths 1\npath p1\n  transform 1 0 0 1 5 5\n  nodes 5\n    move 10 10\n    line 50 10\n"
              "    line 50 40\n    line 10 40\n    close\nselection p1\nmode object\ntool none\n"
              "wrote " +
                  dir / "t.trace" + "\n");

    // The whole trace. Line 3, the press, hands the gesture to the tool (the canvas's
    // surface, feedback "busy" for no path, the tool's bracket); 4, the drag, is rubber band
    // feedback; 5, the release, adds the path with the host's consent and selects it.
    // Hovering the centre of the selected box (8) reports code 1 (no angle); the release
    // (11) offers the translation and applies it.
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_DrawsARectangleAndMovesItByItsCentreHandle"));
}

TEST(Replay, RefusedApprovalsLeaveTheCanvasAsItWas) {
    TempDir dir;
    const Replayed r = Replay(dir,
                              "tool Rectangle\n"
                              "approve add no\n"
                              "press 10 10\ndrag 50 40\nrelease 50 40\n"  // 3-5: refused
                              "approve add yes\n"
                              "press 60 10\ndrag 100 40\nrelease 100 40\n"  // 7-9
                              "approve remove no\n"
                              "remove\n"  // 11
                              "tool none\nmode object\n"
                              "approve change no\n"
                              "hover 100 25\n"                                 // 15: on the right edge
                              "press 100 25\ndrag 110 25\nrelease 110 25\n");  // 16-18
    ASSERT_EQ(r.result.status, 0) << r.result.err;
    // The refused rectangle is gone; the other stays where it was drawn. The refused removal
    // still deselects it; the press that started the refused move selected it again.
    EXPECT_EQ(r.result.out.substr(0, r.result.out.find("wrote")),
              "paths 1\npath p2\n  transform 1 0 0 1 0 0\n  nodes 5\n    move 60 10\n    line 100 10\n"
              "    line 100 40\n    line 60 40\n    close\nselection p2\nmode object\ntool none\n");
    // The trace: the refused add (5), the refused removal (11), the refused move (18).
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_RefusedApprovalsLeaveTheCanvasAsItWas"));
}

TEST(Replay, GesturesThatDoNotEndChangeNothing) {
    TempDir dir;
    const Replayed r = Replay(dir,
                              "tool Line\n"
                              "press 10 10\ndrag 40 10\n"
                              "escape\n"  // 4
                              "press 10 20\n"
                              "drag 40 20\n");  // 6: left open
    EXPECT_EQ(r.result.status, 0);
    EXPECT_EQ(r.result.err, "ostrel: " + dir / "s.session" +
                                ":6: warning: a gesture is still open after this line; it ends as a cancel\n");
    EXPECT_EQ(r.result.out.substr(0, r.result.out.find("wrote")), "paths 0\nselection none\nmode node\ntool Line\n");
    // A cancel (4) restores and shows the whole overlay before dropping it. After line 6 the
    // empty queue is a quit: it ends the gesture and goes back to the program's own loop,
    // not to its window.
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_GesturesThatDoNotEndChangeNothing"));
}

TEST(Replay, HeldKeysPlacingAndTheHostsRotationReachTheTools) {
    TempDir dir;
    const Replayed r = Replay(dir,
                              "tool Line\nhold shift\n"
                              "press 10 10\ndrag 40 12\nrelease 40 12\n"  // 3-5: kept horizontal
                              "tool Rectangle\n"
                              "press 100 100\ndrag 130 88\nrelease 130 88\n"  // 7-9: kept square
                              "free shift\n"
                              "tool none\nmode object\n"
                              "hold ctrl\nhover 10 10\npress 10 10\nrelease 10 10\nfree ctrl\n"  // adds p1
                              "tool Line\n"
                              "place 40 20 at 100 200\n"  // 19
                              "release 0 0\n"
                              "rotation 90\n"
                              "tool Rounded Rectangle\n"
                              "press 0 0\ndrag 40 20\nrelease 40 20\n");
    ASSERT_EQ(r.result.status, 0) << r.result.err;
    const std::string out = r.result.out;
    EXPECT_NE(out.find("path p1\n  transform 1 0 0 1 0 0\n  nodes 2\n    move 10 10\n    line 40 10\n"),
              std::string::npos)
        << out;
    // Shift squares the rectangle on the longer side: (30, -12) from the start gives
    // (130, 70), which the rectangle tool also writes to the debugger.
    EXPECT_NE(out.find("path p2\n  transform 1 0 0 1 0 0\n  nodes 5\n    move 100 100\n    line 130 100\n"
                       "    line 130 70\n    line 100 70\n    close\n"),
              std::string::npos)
        << out;
    // A placed 40 by 20 line is centred on the cursor and written on release.
    EXPECT_NE(out.find("    move 80 190\n    line 120 210\n"), std::string::npos) << out;
    // Turned by 90 degrees about the middle (20, 10) of the dragged box.
    EXPECT_NE(out.find("  transform 0 1 -1 0 30 -10\n  template <Rounded Rectangle>"), std::string::npos) << out;
    EXPECT_NE(out.find("selection p4\n"), std::string::npos) << out;
    // The trace: the drag of line 8 writes the rectangle's debugger line once
    // ("OutputDebugString w=30, ptOrg.x=100, ptOrg.y=100, xScr=130, yScr=70"); the Ctrl+click
    // (15) adds the line to the selection and starts no edit; each new figure then replaces
    // the selection (five selection changes in all).
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_HeldKeysPlacingAndTheHostsRotationReachTheTools"));
}

TEST(Replay, ReferenceHandleDragAndTemplateTextRebuildAFigure) {
    TempDir dir;
    // A star in (100, 100)-(200, 200): its handle sits at (150, 176.395). Dragged to y 300,
    // the value 2 is held at the figure's limit 1; the template text then sets 0.8.
    const Replayed r = Replay(dir,
                              "tool Star\npress 100 100\ndrag 200 200\nrelease 200 200\n"
                              "tool none\nmode object\n"
                              "hover 150 176\npress 150 176\ndrag 150 300\nrelease 150 300\n"  // 7-10
                              "template <Star><(0.5,0.8)>\n"                                   // 11
                              "template <Spiral><(0.5,0.5)>\n");                               // 12
    ASSERT_EQ(r.result.status, 0) << r.result.err;
    // The hover (7) finds the handle, code 18; the release (10) and the template text (11)
    // each change the figure once; the unknown template (12) calls nothing.
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_ReferenceHandleDragAndTemplateTextRebuildAFigure"));
    EXPECT_NE(r.result.out.find("  template <Star><(0.500000,0.800000)>\n"), std::string::npos) << r.result.out;
    EXPECT_NE(r.result.err.find(":12: warning: template: the canvas did not apply '<Spiral><(0.5,0.5)>'"),
              std::string::npos)
        << r.result.err;
}

TEST(Replay, BadSessionsExitTwoNamingTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"jump 1 2\n", ":1: unknown command 'jump'"},
        {"\n# comment\npress 1\n", ":3: press takes 2 arguments (press X Y), not 1"},
        {"hover 1.5 2\n", ":1: bad coordinate '1.5' (a whole number from -32768 to 32767)"},
        {"hover -32768 32768\n", ":1: bad coordinate '32768'"},
        {"drag nan 0\n", ":1: bad coordinate 'nan'"},
        {"drag 0 -inf\n", ":1: bad coordinate '-inf'"},
        {"release 0 99999999999999999999\n", ":1: bad coordinate '99999999999999999999'"},
        {"place 1e300 5\n", ":1: width '1e300' is out of range (at most 1000000 in magnitude)"},
        {"place Star nan 5 at 1 1\n", ":1: bad width 'nan'"},
        {"place 5 at 1 1\n", ":1: place takes [NAME] W H [at X Y]"},
        {"rotation 1e7\n", ":1: angle '1e7' is out of range"},
        {"hold alt\n", ":1: unknown key 'alt' (shift or ctrl)"},
        {"approve add maybe\n", ":1: approve answer 'maybe' is not yes or no"},
        {"approve undo yes\n", ":1: unknown approval 'undo'"},
        {"mode edit\n", ":1: unknown mode 'edit' (object or node)"},
        {"escape now\n", ":1: escape takes no arguments"},
        {"tool\n", ":1: tool needs a name (or none)"},
        {"canvas 0 10\n", ":1: canvas width and height must be above 0"},
        {"canvas 10 10\ncanvas 20 20\n", ":2: canvas given twice"},
        {"hover 1 1\r\nclick\r\npress\r\n", ":3: press takes 2 arguments"},
        {std::string("hover 1 1\nclick \0 x\n", 20), ":2: the line holds a NUL byte"},
        {std::string(20000, '\n') + "click\n", ":20001: a session has at most 20000 lines"},
        {std::string((1 << 20) + 1, '#'), "is larger than 1 MiB"},
    };
    for (const auto& [session, message] : cases) {
        TempDir dir;
        std::ofstream(dir / "s.session", std::ios::binary) << session;
        const Result r = RunCli(
            {"replay", dir / "s.session", "--svg", dir / "d.svg", "--trace", dir / "t.trace", "--folder", kFigures});
        SCOPED_TRACE(message);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.rfind("ostrel: ", 0) == 0 && Count(r.err, "\n") == 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        if (message[0] == ':') {
            EXPECT_EQ(r.err.rfind("ostrel: " + dir / "s.session" + message, 0), 0u) << r.err;
        }
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"s.session"});  // nothing written
    }

    TempDir dir;
    const std::pair<std::vector<std::string>, std::string> arguments[] = {
        {{"replay"}, "replay needs a session file"},
        {{"replay", dir / "none.session"}, "cannot read session file '" + dir / "none.session" + "'"},
        {{"replay", dir.path.string()}, "session file '" + dir.path.string() + "' is a folder"},
        {{"replay", "a", "--svg", "x", "--trace", "x"}, "--svg and --trace name the same file 'x'"},
        {{"replay", "a", "--png", "a"}, "--png names the session file 'a'"},
        {{"replay", "a", "b"}, "unexpected argument 'b' for replay"},
        {{"replay", "a", "--out", "b"}, "unknown option '--out' for replay"},
    };
    for (const auto& [args, message] : arguments) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

TEST(Replay, UnknownToolIsAWarningAndPressesThenSelect) {
    TempDir dir;
    const Replayed r = Replay(dir, "tool Spiral\npress 10 10\ndrag 40 40\nrelease 40 40\n");
    EXPECT_EQ(r.result.status, 0);
    EXPECT_EQ(Count(r.result.err, "\n"), 1u);
    EXPECT_NE(r.result.err.find(":1: warning: the canvas has no tool 'Spiral' (it has Arrow, Bezier,"),
              std::string::npos)
        << r.result.err;
    // No tool: the press on empty canvas is a rubber band, and it selects nothing.
    EXPECT_EQ(r.result.out.substr(0, r.result.out.find("wrote")), "paths 0\nselection none\nmode node\ntool Spiral\n");
    EXPECT_TRUE(MatchesGolden(r.trace, "replay_UnknownToolIsAWarningAndPressesThenSelect"));
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
