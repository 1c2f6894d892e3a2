// CFCustomFigures: the template's figure in the dragged box, turned by the host, refused
// points and unknown names; and the gestures of every drawing tool, dragging and placing,
// written as rows of tests/data/tools/gestures.txt.
#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "support/rows.h"
#include "support/golden.h"
#include "templates/template_library.h"
#include "tool_fixture.h"

namespace vx::test {
namespace {

class CustomFigures : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        // A wedge over the unit frame: top edge, right edge, closed.
        auto wedge = std::make_unique<FigureTemplate>();
        const String o(VXTEXT("0")), l(VXTEXT("1"));
        wedge->elements = {{0, {o, o}}, {1, {l, o}}, {1, {l, l}}, {6, {}}};
        wedge->SetName(VXTEXT("Wedge"));
        wedge->SetTips(VXTEXT("A wedge"));
        wedge->SetIcon(VXTEXT("wedge.ico"));
        TemplateLibrary::Instance().Store(String(VXTEXT("Wedge")), std::move(wedge));
        name = VXTEXT("Wedge");
    }
    // The library is global: each test leaves it empty.
    void TearDown() override {
        ToolTest::TearDown();
        TemplateLibrary::Instance().ReleaseAll();
    }
    // The template frame, then the transform.
    std::vector<double> FrameAndTransform() {
        PathCreateParams p{};
        EXPECT_TRUE(path->GetTemplateInfo(&p));
        std::vector<double> all = {p.left, p.top, p.right, p.bottom, 0, 0, 0, 0, 0, 0};
        path->GetTransform(&all[4]);
        return all;
    }
};

TEST_F(CustomFigures, DragBuildsTheFigureInTheDraggedBox) {
    events.Drag(50, 30).Release(50, 30);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 10, 10)), "M 10 10 L 50 10 L 50 30 Z");
    EXPECT_TRUE(MatchesGolden(log.lines, "drag_tools_DragBuildsTheFigureInTheDraggedBox_1"));
    EXPECT_EQ(FrameAndTransform(), (std::vector<double>{10, 10, 50, 30, 1, 0, 0, 1, 0, 0}));

    // Angle pi/2, drag (0, 0) to (40, 20): m = (20, 10), U maps the corners to (10, 30)
    // and (30, -10); the path's transform W turns them back onto the dragged corners. The
    // coordinates pass through six-decimal texts, which round the turn's error away.
    host.rotation = 1.5707963267948966;
    events.Drag(40, 20).Release(40, 20);
    EXPECT_EQ(Got(DrawWith(CreateCustomFiguresTool, 0, 0)), "M 10 -10 L 30 -10 L 30 30 Z");
    const std::vector<double> all = FrameAndTransform(), expected = {10, -10, 30, 30, 0, 1, -1, 0, 30, -10};
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(all[i], expected[i], 1e-12) << "entry " << i;
    // The feedback box is the dragged one, not the turned figure's.
    EXPECT_EQ(log.Only({"ShowOverlay", "GetRotation"}), (Lines{"GetRotation", "ShowOverlay 7 0 0 40 20"}));
    TemplateLibrary::Instance().ReleaseAll();
    EXPECT_TRUE(path->HasTemplate());  // the path's copy outlives the library's template
}

// Unmoved and refused drags and places without a move are rows of tests/data/tools/gestures.txt.
TEST_F(CustomFigures, UnknownNamesCancelAndAMovePlaces) {
    // Unknown names (case matters) touch nothing; a known one gives the template's strings.
    Use(CreateCustomFiguresTool);
    events.Drag(50, 30).Release(50, 30);
    events.Play();
    EXPECT_FALSE(tool->Draw(VXTEXT("wedge"), 10, 10, &host, nullptr, path));
    EXPECT_FALSE(tool->Place(VXTEXT("Nothing"), 10, 10, 5, 5, &host, nullptr, path));
    EXPECT_EQ(tool->GetInfo(VXTEXT("wedge")), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(events.Leftover(), 2u);
    const FigureInfo* info = tool->GetInfo(VXTEXT("Wedge"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(String(info->name) + VXTEXT("|") + String(info->tips) + VXTEXT("|") + String(info->icon),
              String(VXTEXT("Wedge|A wedge|wedge.ico")));

    Reset();
    events.Move(110, 105).Release(0, 0);
    EXPECT_EQ(Got(Place(100, 100, 40, 20)), "M 90 95 L 130 95 L 130 115 Z");
    EXPECT_EQ(FrameAndTransform(), (std::vector<double>{90, 95, 130, 115, 1, 0, 0, 1, 0, 0}));
}

// A key or message of a data row: the name of its VX_KEY_ or VX_WM_ constant without the
// prefix, or a number in hex for one the library has no name for.
unsigned Code(std::istream& in) {
    static const std::map<std::string, unsigned> kNames = {
        {"ALT", VX_KEY_ALT},
        {"ESCAPE", VX_KEY_ESCAPE},
        {"ACTIVATE", VX_WM_ACTIVATE},
        {"ACTIVATEAPP", VX_WM_ACTIVATEAPP},
        {"KEYDOWN", VX_WM_KEYDOWN},
        {"SYSKEYDOWN", VX_WM_SYSKEYDOWN},
        {"SYSKEYUP", VX_WM_SYSKEYUP},
        {"RBUTTONDOWN", VX_WM_RBUTTONDOWN},
        {"RBUTTONUP", VX_WM_RBUTTONUP},
        {"CAPTURECHANGED", VX_WM_CAPTURECHANGED},
    };
    std::string word;
    if (!(in >> word)) return 0;
    const auto named = kNames.find(word);
    return named != kNames.end() ? named->second : static_cast<unsigned>(std::stoul(word, nullptr, 16));
}

// Scripts the events of a data row, "release 50 10, move 13 14 shift, key ESCAPE,
// post RBUTTONDOWN 2"; false when a step holds Shift and this build cannot hold keys.
bool Script(ScriptedEvents& events, const std::string& text) {
    std::istringstream steps(text);
    for (std::string step; std::getline(steps, step, ',');) {
        std::istringstream in(step);
        std::string kind, held;
        intptr_t lParam = 0;
        int x = 0, y = 0;
        in >> kind;
        if (kind == "key" || kind == "syskey" || kind == "keyup") {
            const unsigned vk = Code(in);
            kind == "key" ? events.KeyDown(vk) : kind == "syskey" ? events.SysKeyDown(vk) : events.KeyUp(vk);
            continue;
        }
        if (kind == "post") {
            const unsigned message = Code(in), wParam = Code(in);
            in >> std::hex >> lParam;  // wParam and lParam may be left out: 0
            events.Post(message, wParam, lParam);
            continue;
        }
        if (!(in >> x >> y)) ADD_FAILURE() << "no point in '" << step << "'";
        in >> held;
        const uint32_t keys = held == "shift" ? kShift : kNoKeys;
        if (keys != kNoKeys && !ScriptedEvents::CanHoldKeys()) return false;
        if (kind == "move") events.Move(x, y, keys);
        else if (kind == "drag") events.Drag(x, y, keys);
        else if (kind == "press") events.Press(x, y, keys);
        else if (kind == "release") events.Release(x, y, keys);
        else if (kind == "double") events.DoubleClick(x, y);
        else ADD_FAILURE() << "unknown event '" << step << "'";
    }
    return true;
}

// "a; b; c" as its lines; "(none)" as none.
Lines Split(const std::string& text, const char* end = "") {
    Lines lines;
    for (size_t at = 0; text != "(none)" && at <= text.size();) {
        const size_t semicolon = std::min(text.find("; ", at), text.size());
        lines.push_back(text.substr(at, semicolon - at) + end);
        at = semicolon + 2;
    }
    return lines;
}

TEST_F(CustomFigures, GesturesOfTheDataFile) {
    const std::vector<Row> rows = ReadRows("tools/gestures.txt", Split::kBars);
    const std::pair<std::string, IVXFigures* (*)()> tools[] = {
        {"Line", CreateLineTool},     {"Rectangle", CreateRectangleTool}, {"Polygon", CreatePolygonTool},
        {"Bezier", CreateBezierTool}, {"FreeHand", CreateFreeHandTool},   {"Wedge", CreateCustomFiguresTool}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.where);
        ASSERT_GE(row.fields.size(), 3u);
        std::istringstream press(row.fields[0]);
        std::string tool;
        double x = 0, y = 0, width = -1, height = -1;
        press >> tool >> x >> y;
        g_parameters = GlobalParameters{};
        host.scale = 1;
        host.offsetX = host.offsetY = 0;
        host.acceptTrackPoint = 1;
        for (std::string setting; press >> setting;) {
            if (setting == "mark") press >> g_parameters.MarkSize;
            else if (setting == "scale") press >> host.scale >> host.offsetX >> host.offsetY;
            else if (setting == "place") press >> width >> height;
            else if (setting == "refuse") host.acceptTrackPoint = 0;
            else ADD_FAILURE() << "unknown setting " << setting;
            ASSERT_TRUE(press) << setting;
        }
        const auto named = std::find_if(std::begin(tools), std::end(tools), [&](auto& t) { return t.first == tool; });
        ASSERT_NE(named, std::end(tools));
        events.debugOutput.clear();
        if (!Script(events, row.fields[1])) {
            events.Leftover();
            continue;
        }
        Reset();
        Use(named->second);
        const std::string written = Got(width < 0 ? Draw(x, y) : Place(x, y, width, height));
        EXPECT_EQ(written + (written.empty() || written.back() == ' ' ? "(no nodes)" : ""), row.fields[2]);
        Lines trace;
        for (size_t i = 3; i < row.fields.size(); ++i) {
            const std::string& check = row.fields[i];
            const size_t colon = check.find(": ");
            if (check.rfind("left ", 0) == 0) {
                EXPECT_EQ(events.Leftover(), std::stoul(check.substr(5)));
            } else if (check.rfind("only ", 0) == 0 && colon != check.npos) {
                const std::string calls = " " + check.substr(5, colon - 5) + " ";
                Lines only;
                for (const std::string& line : log.lines) {
                    if (calls.find(" " + line.substr(0, line.find(' ')) + " ") != calls.npos) only.push_back(line);
                }
                EXPECT_EQ(only, Split(check.substr(colon + 2)));
            } else if (check.rfind("trace: ", 0) == 0) {
                trace = Split(check.substr(7), "\n");
            } else if (check.rfind("tail: ", 0) == 0) {
                const Lines tail = Split(check.substr(6));
                EXPECT_EQ(Tail(tail.size()), tail);
            } else if (check.rfind("golden ", 0) == 0) {
                EXPECT_TRUE(MatchesGolden(log.lines, check.substr(7)));
            } else if (check == "no template") {
                EXPECT_FALSE(path->HasTemplate());
            } else if (check.rfind("log: ", 0) == 0) {
                EXPECT_EQ(log.lines, Split(check.substr(5)));
            } else if (check.rfind("dispatched: ", 0) == 0) {
                EXPECT_EQ(events.dispatched, Split(check.substr(12)));
            } else {
                ADD_FAILURE() << "unknown check '" << check << "'";
            }
        }
        EXPECT_EQ(events.debugOutput, trace);
        events.Leftover();
    }
}

}  // namespace
}  // namespace vx::test
