// The selection set: order, uniqueness, removal, no references, and its operation table.
#include <gtest/gtest.h>

#include <vector>

#include "editor/selections.h"
#include "path/path.h"

// Hosts call the set by table position, with the destroying operation sixth.
#if defined(_WIN32) && defined(__i386__)
#define MEMBER_CALL __thiscall
#else
#define MEMBER_CALL
#endif

namespace vx {
namespace {

std::vector<IVXPath*> Contents(CVXSelections& set) {
    std::vector<IVXPath*> out;
    for (int32_t i = 0; i < set.GetCount(); ++i) out.push_back(set.GetAt(i));
    return out;
}

TEST(Selections, OrderUniquenessRemovalNoReferencesAndTheTable) {
    CVXPath *a = CVXPath::Create(), *b = CVXPath::Create(), *c = CVXPath::Create();
    CVXSelections set;
    set.Clear();  // on an empty set: nothing
    set.Add(a);
    set.Add(a);
    EXPECT_EQ(set.GetCount(), 1);
    set.Add(b);
    set.Add(c);
    set.Add(a);  // already present: keeps its place
    EXPECT_EQ(Contents(set), (std::vector<IVXPath*>{a, b, c}));
    EXPECT_EQ(set.Contains(b), 1);
    EXPECT_EQ(set.Contains(nullptr), 0);
    set.Remove(b);
    set.Remove(b);  // absent: nothing
    EXPECT_EQ(Contents(set), (std::vector<IVXPath*>{a, c}));
    set.Add(b);  // re-added at the end
    set.Remove(a);
    EXPECT_EQ(Contents(set), (std::vector<IVXPath*>{c, b}));
    set.Clear();
    EXPECT_EQ(set.GetCount(), 0);

    IVXSelections* heap = new CVXSelections();
    void** table = *reinterpret_cast<void***>(heap);
    reinterpret_cast<void(MEMBER_CALL*)(IVXSelections*, IVXPath*)>(table[0])(heap, a);  // Add
    // GetCount, then Contains.
    EXPECT_EQ(reinterpret_cast<int32_t(MEMBER_CALL*)(IVXSelections*)>(table[1])(heap), 1);
    using ContainsEntry = int32_t(MEMBER_CALL*)(IVXSelections*, IVXPath*);
    EXPECT_EQ(reinterpret_cast<ContainsEntry>(table[3])(heap, a), 1);
    // Frees the set and its array: the sanitizer build reports a leak or a bad free here.
    reinterpret_cast<void(MEMBER_CALL*)(IVXSelections*, uint32_t)>(table[5])(heap, 1);
    for (CVXPath* p : {a, b, c}) EXPECT_EQ(p->Release(), 0);  // the set took no reference
}

}  // namespace
}  // namespace vx
