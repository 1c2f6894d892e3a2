// CFCustomFigures: template figures dragged or placed in a frame turned by the host.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "templates/template_library.h"
#include "tool_fixture.h"

namespace vx::test {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

class CustomFigures : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        TemplateLibrary::Instance().ReleaseAll();
        // A wedge over the unit frame: top edge, right edge, closed.
        auto wedge = std::make_unique<FigureTemplate>();
        const char16_t* coords[][2] = {{u"0", u"0"}, {u"1", u"0"}, {u"1", u"1"}};
        const uint32_t kinds[] = {0, 1, 1};
        for (int i = 0; i < 3; ++i) {
            TemplateElement e;
            e.kind = kinds[i];
            e.coords[0] = reinterpret_cast<const VXCHAR*>(coords[i][0]);
            e.coords[1] = reinterpret_cast<const VXCHAR*>(coords[i][1]);
            wedge->elements.push_back(e);
        }
        TemplateElement close;
        close.kind = 6;
        wedge->elements.push_back(close);
        wedge->SetName(VXTEXT("Wedge"));
        wedge->SetTips(VXTEXT("A wedge"));
        wedge->SetIcon(VXTEXT("wedge.ico"));
        TemplateLibrary::Instance().Store(String(VXTEXT("Wedge")), std::move(wedge));
        tool = CreateCustomFiguresTool();
    }
    void TearDown() override {
        ToolTest::TearDown();
        TemplateLibrary::Instance().ReleaseAll();
    }

    bool DrawFigure(double x, double y) {
        events.Play();
        return tool->Draw(VXTEXT("Wedge"), x, y, &host, nullptr, path);
    }
    bool PlaceFigure(double x, double y, double w, double h) {
        events.Play();
        return tool->Place(VXTEXT("Wedge"), x, y, w, h, &host, nullptr, path);
    }
    std::vector<double> Frame() {
        PathCreateParams params{};
        EXPECT_TRUE(path->GetTemplateInfo(&params));
        return {params.left, params.top, params.right, params.bottom};
    }
    std::vector<double> Transform() {
        std::vector<double> t(6);
        path->GetTransform(t.data());
        return t;
    }
};

TEST_F(CustomFigures, UnturnedDragBuildsTheFigureInTheDraggedBox) {
    events.Drag(50, 30).Release(50, 30);
    EXPECT_TRUE(DrawFigure(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"GetRotation", "AcceptTrackPoint 50 30 1",
                                 "RestoreOverlay 7 10 10 10 10", "BeginPath p", "MoveTo 10 10",
                                 "LineTo 50 10", "LineTo 50 30", "ClosePath", "EndPath p 1",
                                 "ShowOverlay 7 10 10 50 30"},
                                Finishing()}));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 30 Z");
    EXPECT_EQ(Transform(), (std::vector<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(Frame(), (std::vector<double>{10, 10, 50, 30}));

    // The path's copy outlives the library's template.
    TemplateLibrary::Instance().ReleaseAll();
    EXPECT_TRUE(path->HasTemplate());
}

TEST_F(CustomFigures, TurnedFrameIsTheUnturnedBoxOfTheCorners) {
    // Angle pi/2, drag (0, 0) to (40, 20): m = (20, 10), U maps the corners to (10, 30)
    // and (30, -10); the path turns back by W.
    host.rotation = kHalfPi;
    events.Drag(40, 20).Release(40, 20);
    EXPECT_TRUE(DrawFigure(0, 0));
    const std::vector<double> frame = Frame();
    const double expectedFrame[] = {10, -10, 30, 30};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(frame[i], expectedFrame[i], 1e-12) << "edge " << i;
    // The coordinates pass through six-decimal texts, which round the turn's error away.
    EXPECT_EQ(PathText(path), "M 10 -10 L 30 -10 L 30 30 Z");
    const std::vector<double> t = Transform();
    const double expected[] = {0, 1, -1, 0, 30, -10};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(t[i], expected[i], 1e-12) << "entry " << i;
    // W takes U's corners back onto the dragged ones.
    double x = 10 * t[0] + 30 * t[2] + t[4], y = 10 * t[1] + 30 * t[3] + t[5];
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 0, 1e-12);
    x = 30 * t[0] - 10 * t[2] + t[4], y = 30 * t[1] - 10 * t[3] + t[5];
    EXPECT_NEAR(x, 40, 1e-12);
    EXPECT_NEAR(y, 20, 1e-12);
    // The feedback box is the dragged one, not the turned figure's.
    EXPECT_EQ(log.Only({"ShowOverlay"}), (std::vector<std::string>{"ShowOverlay 7 0 0 40 20"}));
    EXPECT_EQ(log.Only({"GetRotation"}).size(), 1u);
}

TEST_F(CustomFigures, ShiftKeepsTheLongerSide) {
    REQUIRE_HELD_KEYS();
    events.Drag(130, 88, kShift)    // (+30, -12) -> (130, 70)
        .Drag(112, 130, kShift)     // (+12, +30) -> (130, 130)
        .Release(0, 0);
    EXPECT_TRUE(DrawFigure(100, 100));
    EXPECT_EQ(log.Only({"ShowOverlay"}),
              (std::vector<std::string>{"ShowOverlay 7 100 70 130 100", "ShowOverlay 7 100 70 130 130"}));
    EXPECT_EQ(Frame(), (std::vector<double>{100, 100, 130, 130}));
}

TEST_F(CustomFigures, ADegenerateBoxOrNoMoveCancels) {
    events.Release(10, 10);
    EXPECT_FALSE(DrawFigure(10, 10));
    EXPECT_EQ(log.lines, Lines({Opening(), {"GetRotation"}, Cancelling()}));
    EXPECT_FALSE(path->HasTemplate());

    // A flat drag builds while moving; the nodes stay, the template is not attached.
    log.Clear();
    events.Drag(50, 10).Release(50, 10);
    EXPECT_FALSE(DrawFigure(10, 10));
    EXPECT_EQ(PathText(path), "M 10 10 L 50 10 L 50 10 Z");
    EXPECT_FALSE(path->HasTemplate());
    EXPECT_EQ(std::vector<std::string>(log.lines.end() - 5, log.lines.end()), Cancelling());
}

TEST_F(CustomFigures, RefusedPointsAreIgnoredAndTheReleaseCancels) {
    host.acceptTrackPoint = 0;
    events.Drag(50, 30).Drag(50, 30).Drag(60, 40).Release(60, 40);
    EXPECT_FALSE(DrawFigure(10, 10));
    // The refused point did not become the last handled one: it is offered again.
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"GetRotation", "AcceptTrackPoint 50 30 1", "AcceptTrackPoint 50 30 1",
                                 "AcceptTrackPoint 60 40 1"},
                                Cancelling()}));
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

TEST_F(CustomFigures, UnknownNamesTouchNothing) {
    events.Drag(50, 30).Release(50, 30);
    events.Play();
    EXPECT_FALSE(tool->Draw(VXTEXT("wedge"), 10, 10, &host, nullptr, path));  // case matters
    EXPECT_FALSE(tool->Place(VXTEXT("Nothing"), 10, 10, 5, 5, &host, nullptr, path));
    EXPECT_EQ(tool->GetInfo(VXTEXT("wedge")), nullptr);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(events.Leftover(), 2u);
}

TEST_F(CustomFigures, GetInfoHandsOutTheTemplatesOwnStrings) {
    FigureInfo* info = tool->GetInfo(VXTEXT("Wedge"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info, GetInfoStrings(*TemplateLibrary::Instance().FindTemplate(VXTEXT("Wedge"))));
    EXPECT_EQ(String(info->name), String(VXTEXT("Wedge")));
    EXPECT_EQ(String(info->tips), String(VXTEXT("A wedge")));
    EXPECT_EQ(String(info->icon), String(VXTEXT("wedge.ico")));
    EXPECT_EQ(tool->AddRef(), 2);
    EXPECT_EQ(tool->Release(), 1);
}

TEST_F(CustomFigures, PlaceNeedsAShownMoveBeforeTheRelease) {
    events.Release(0, 0);
    EXPECT_FALSE(PlaceFigure(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Lines({Opening(), {"GetRotation"}, Cancelling()}));

    log.Clear();
    events.Move(110, 105).Release(0, 0);
    EXPECT_TRUE(PlaceFigure(100, 100, 40, 20));
    EXPECT_EQ(log.lines, Lines({Opening(),
                                {"GetRotation", "AcceptTrackPoint 110 105 1",
                                 "RestoreOverlay 7 80 90 120 110", "BeginPath p", "MoveTo 90 95",
                                 "LineTo 130 95", "LineTo 130 115", "ClosePath", "EndPath p 1",
                                 "ShowOverlay 7 80 90 130 115"},
                                Finishing()}));
    EXPECT_EQ(Frame(), (std::vector<double>{90, 95, 130, 115}));
}

}  // namespace
}  // namespace vx::test
