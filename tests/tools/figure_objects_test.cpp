// The tool objects: reference counts, their descriptions and the tools without Place.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tool_fixture.h"

namespace vx::test {
namespace {

std::u16string Text(const VXCHAR* s) {
    std::u16string out;
    for (; s && *s; ++s) out += static_cast<char16_t>(*s);
    return out;
}

TEST(FigureObjects, BuiltinToolsAreNamedSystemStringsWithoutTipsOrIcon) {
    const std::u16string names[] = {u"Line", u"Rectangle", u"Polygon", u"Bezier", u"Free Hand"};
    ASSERT_EQ(kBuiltinToolCount, 5);
    for (int i = 0; i < kBuiltinToolCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Text(kBuiltinTools[i].name), names[i]);
        IVXFigures* tool = kBuiltinTools[i].create();
        // The name asked with does not matter to a built-in tool.
        FigureInfo* info = tool->GetInfo(VXTEXT("something else"));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info, tool->GetInfo(nullptr));
        EXPECT_EQ(Text(info->name), names[i]);
        EXPECT_EQ(platform::SysStringLength(info->name), names[i].size());
        EXPECT_EQ(info->tips, nullptr);
        EXPECT_EQ(info->icon, nullptr);
        EXPECT_EQ(tool->AddRef(), 2);
        EXPECT_EQ(tool->AddRef(), 3);
        EXPECT_EQ(tool->Release(), 2);
        EXPECT_EQ(tool->Release(), 1);
        EXPECT_EQ(tool->Release(), 0);  // destroyed, strings freed (the sanitizer build checks)
    }
}

TEST(FigureObjects, FactoriesMatchTheTable) {
    IVXFigures* (*const factories[])() = {CreateLineTool, CreateRectangleTool, CreatePolygonTool,
                                          CreateBezierTool, CreateFreeHandTool};
    for (int i = 0; i < kBuiltinToolCount; ++i) EXPECT_EQ(kBuiltinTools[i].create, factories[i]);
}

// Polygon, Bezier and Free Hand have no placing gesture: no host call, no message taken.
class PlaceRefused : public ToolTest {};

TEST_F(PlaceRefused, PolygonBezierAndFreeHandReturnFalseAtOnce) {
    for (IVXFigures* (*create)() : {CreatePolygonTool, CreateBezierTool, CreateFreeHandTool}) {
        IVXFigures* t = create();
        events.Drag(20, 20).Release(20, 20);
        events.Play();
        EXPECT_FALSE(t->Place(VXTEXT("x"), 10, 10, 40, 20, &host, nullptr, path));
        EXPECT_EQ(events.Leftover(), 2u);
        EXPECT_EQ(t->Release(), 0);
    }
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

// A host without a surface gets no bracket and no gesture.
class NoSurface : public ToolTest {};

TEST_F(NoSurface, EveryToolReturnsFalseWithoutOpeningTheBracket) {
    RecordingHost bare(log, nullptr);
    for (const BuiltinTool& entry : kBuiltinTools) {
        IVXFigures* t = entry.create();
        events.Drag(20, 20).Release(20, 20);
        events.Play();
        EXPECT_FALSE(t->Draw(entry.name, 10, 10, &bare, nullptr, path));
        EXPECT_EQ(events.Leftover(), 2u);
        EXPECT_EQ(t->Release(), 0);
    }
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(path->GetNodes(nullptr, 0), 0);
}

}  // namespace
}  // namespace vx::test
