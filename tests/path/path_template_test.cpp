#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "path_fixture.h"
#include "templates/figure_template.h"

// Every allocation of this program is counted while it lives, and the one numbered g_failAt
// from when it is set fails. The nothrow and sized forms take the same way, so that under
// AddressSanitizer every block is given back the way it was taken.
static long g_failAt = -1;
static long g_live = 0;
[[gnu::noinline]] void* operator new(size_t size) {
    void* block = g_failAt >= 0 && g_failAt-- == 0 ? nullptr : std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return ++g_live, block;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
[[gnu::noinline]] void operator delete(void* block) noexcept { g_live -= block != nullptr, std::free(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }

namespace vx::test {
namespace {

// The frame (10, 10, 50, 30) and `references` references whose values read as 0.25 and,
// alternately, as 0.1 (leading blanks, trailing text) and as not a number.
std::unique_ptr<FigureTemplate> MakeTemplate(const VXCHAR* name, size_t references) {
    auto t = std::make_unique<FigureTemplate>();
    t->SetName(name);
    const double frame[4] = {10, 10, 50, 30};
    std::copy(frame, frame + 4, t->frame);
    TemplateReference r;
    r.x.value = VXTEXT("0.25");
    for (size_t i = 0; i < references; ++i) {
        r.y.value = i % 2 ? VXTEXT("not a number") : VXTEXT("  1e-1xyz");
        t->references.push_back(r);
    }
    return t;
}

TEST_F(PathTest, TemplateCopyGivesTheBoxAndTheReferenceHandles) {
    AddPathText(path, "M 0 0 L 1000 1000");
    auto t = MakeTemplate(VXTEXT("Frame"), 2);
    t->references[0].y.value = VXTEXT("1");
    t->references[1].x.value = VXTEXT("a");  // a variable, which cannot be resolved here
    t->references[1].y.value = VXTEXT("0.5*2");
    path->AttachTemplate(t.get());
    t.reset();  // the path keeps its own copy
    SetTransform(path, {1, 0, 0, 1, 100, 0});
    EXPECT_EQ(Box(path, true), (V{10, 10, 40, 20}));
    EXPECT_EQ(Box(path), (V{10, 10, 40, 20}));  // the frame, not transformed
    EXPECT_EQ(Corners(path), (V{110, 10, 150, 10, 110, 30, 150, 30}));
    EXPECT_EQ(path->ReferencePoints(), (V{20, 30, 0, 30}));  // frame origin + size * value

    // In object mode each reference adds a handle, transformed, after the nine box handles.
    surface.drawMarkResult = 1;
    path->DrawTracker(&surface, 0, false, true);
    const Lines marks = log.Only({"DrawMark"});
    ASSERT_EQ(marks.size(), 11u);
    EXPECT_EQ(Lines(marks.begin() + 8, marks.end()),
              (Lines{"DrawMark 130 20 8 8 0", "DrawMark 120 30 8 8 4", "DrawMark 100 30 8 8 4"}));

    // Whichever allocation of a clone fails, nothing it took stays behind.
    for (long fail = 0; fail < 100; ++fail) {
        const long live = g_live;
        g_failAt = fail;
        IVXPath* made = nullptr;
        try {
            made = path->Clone();
        } catch (const std::bad_alloc&) {}
        g_failAt = -1;
        if (made) {
            EXPECT_GT(fail, 2);  // the path, its nodes and its template copy at least
            EXPECT_EQ(made->Release(), 0);
            break;
        }
        EXPECT_EQ(g_live, live) << "allocation " << fail << " failed";
    }

    // A clone carries a template copy of its own; CopyFrom without template drops it.
    IVXPath* clone = path->Clone();
    ASSERT_TRUE(clone->HasTemplate());
    EXPECT_EQ(path->CopyFrom(clone, 0), 1);
    EXPECT_FALSE(path->HasTemplate());
    EXPECT_TRUE(path->ReferencePoints().empty());
    EXPECT_EQ(clone->Release(), 0);
}

TEST_F(PathTest, TemplateInfoDescribesTheCopyForRebuilding) {
    auto t = MakeTemplate(VXTEXT("Star"), 70);
    path->AttachTemplate(t.get());
    PathCreateParams out;
    std::fill(reinterpret_cast<char*>(&out), reinterpret_cast<char*>(&out + 1), '\x55');
    ASSERT_TRUE(path->GetTemplateInfo(&out));
    EXPECT_EQ(String(out.name, 256), VXTEXT("Star") + String(252, 0));  // zero-filled
    EXPECT_EQ(out.count, 64);
    EXPECT_EQ((V{out.pairs[0][0], out.pairs[0][1], out.pairs[1][1], out.pairs[63][0]}), (V{0.25, 0.1, 0, 0.25}));
    EXPECT_EQ((V{out.left, out.top, out.right, out.bottom}), (V{10, 10, 50, 30}));

    // A name of 256 units or more fills the field with no terminator.
    String name(300, VXCHAR('n'));
    name[255] = VXCHAR('z');
    t->SetName(name.c_str());
    path->AttachTemplate(t.get());
    ASSERT_TRUE(path->GetTemplateInfo(&out));
    EXPECT_EQ(String(out.name, 256), String(255, VXCHAR('n')) + VXCHAR('z'));
}

}  // namespace
}  // namespace vx::test
