// The selection set: order, uniqueness, removal, no references, and its operation table.
#include <gtest/gtest.h>

#include <new>

#include "editor/selections.h"
#include "path/path.h"

namespace vx {
namespace {

class SelectionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (CVXPath*& p : paths) p = CVXPath::Create();
    }
    void TearDown() override {
        for (CVXPath* p : paths) EXPECT_EQ(p->Release(), 0);
    }
    std::vector<IVXPath*> Contents() {
        std::vector<IVXPath*> out;
        for (int32_t i = 0; i < set.GetCount(); ++i) out.push_back(set.GetAt(i));
        return out;
    }

    CVXPath* paths[4] = {};
    CVXSelections set;
};

TEST_F(SelectionsTest, KeepsOrderAndUniqueness) {
    IVXPath *a = paths[0], *b = paths[1], *c = paths[2], *d = paths[3];
    EXPECT_EQ(set.GetCount(), 0);
    set.Clear();  // on an empty set: nothing
    set.Add(a);
    set.Add(a);
    EXPECT_EQ(set.GetCount(), 1);
    set.Add(b);
    set.Add(c);
    set.Add(a);  // already present: keeps its place
    EXPECT_EQ(Contents(), (std::vector<IVXPath*>{a, b, c}));
    EXPECT_EQ(set.Contains(b), 1);
    EXPECT_EQ(set.Contains(d), 0);
    EXPECT_EQ(set.Contains(nullptr), 0);

    set.Remove(b);
    EXPECT_EQ(Contents(), (std::vector<IVXPath*>{a, c}));
    EXPECT_EQ(set.Contains(b), 0);
    set.Remove(d);  // absent: nothing
    set.Remove(b);
    EXPECT_EQ(Contents(), (std::vector<IVXPath*>{a, c}));
    set.Add(b);  // re-added at the end
    set.Remove(a);
    EXPECT_EQ(Contents(), (std::vector<IVXPath*>{c, b}));
    // Out-of-range positions give null rather than reading past the array.
    EXPECT_EQ(set.GetAt(2), nullptr);
    EXPECT_EQ(set.GetAt(-1), nullptr);

    set.Clear();
    EXPECT_EQ(set.GetCount(), 0);
    EXPECT_EQ(set.Contains(c), 0);
}

TEST_F(SelectionsTest, HoldsNoReferences) {
    const int32_t before = paths[0]->AddRef() - 1;
    paths[0]->Release();
    set.Add(paths[0]);
    EXPECT_EQ(paths[0]->AddRef() - 1, before);
    paths[0]->Release();
    set.Remove(paths[0]);
    set.Add(paths[0]);
    set.Clear();
    EXPECT_EQ(paths[0]->AddRef() - 1, before);
    paths[0]->Release();
}

// Hosts call the set by table position; the destroying operation is the sixth entry.
#if defined(_WIN32) && defined(__i386__)
#define MEMBER_CALL __thiscall
#else
#define MEMBER_CALL
#endif

TEST_F(SelectionsTest, TableOrderWithTheDestroyingEntrySixth) {
    auto* heap = new CVXSelections();
    IVXSelections* iface = heap;
    void** table = *reinterpret_cast<void***>(iface);
    using AddEntry = void(MEMBER_CALL*)(IVXSelections*, IVXPath*);
    using CountEntry = int32_t(MEMBER_CALL*)(IVXSelections*);
    using ContainsEntry = int32_t(MEMBER_CALL*)(IVXSelections*, IVXPath*);
    using DestroyEntry = void(MEMBER_CALL*)(IVXSelections*, uint32_t);
    reinterpret_cast<AddEntry>(table[0])(iface, paths[0]);
    reinterpret_cast<AddEntry>(table[0])(iface, paths[1]);
    EXPECT_EQ(reinterpret_cast<CountEntry>(table[1])(iface), 2);
    EXPECT_EQ(reinterpret_cast<ContainsEntry>(table[3])(iface, paths[1]), 1);
    // Frees the set and its array: the sanitizer build reports a leak or a bad free here.
    reinterpret_cast<DestroyEntry>(table[5])(iface, 1);

    // Without the flag the set is torn down but its storage stays the caller's.
    alignas(CVXSelections) unsigned char storage[sizeof(CVXSelections)];
    auto* placed = new (storage) CVXSelections();
    placed->Add(paths[2]);
    placed->Destroy(0);
}

}  // namespace
}  // namespace vx
