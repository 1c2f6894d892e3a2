// CVXSelections: the ordered set of selected paths of one canvas.
//
// Invariants: paths_ holds each pointer at most once, in the order of addition. The set
// holds no references; the canvas removes a path from it before the path leaves the canvas.
// The editor adds no null pointer (the set does not check). The set is embedded in the
// editor and dies with it; Destroy exists for the operation table, where hosts expect the
// destroying entry behind the interface's five.
#pragma once

#include <cstdint>
#include <vector>

#include "ostrel/ostrel.h"

namespace vx {

class CVXSelections final : public IVXSelections {
public:
    CVXSelections() = default;
    ~CVXSelections() = default;
    CVXSelections(const CVXSelections&) = delete;
    CVXSelections& operator=(const CVXSelections&) = delete;

    // IVXSelections, in table order.
    void Add(IVXPath* path) override;
    int32_t GetCount() override;
    // Null for an index outside 0..GetCount()-1.
    IVXPath* GetAt(int32_t index) override;
    int32_t Contains(IVXPath* path) override;
    void Clear() override;

    // Entry 6: tears the set down and, when bit 0 of flags is set, frees its storage, which
    // must then come from a plain new.
    virtual void Destroy(uint32_t flags);

    // Editor only: GetCount and Contains without a call, as the hover test asks them at
    // every mouse move.
    int32_t Count() const { return static_cast<int32_t>(paths_.size()); }
    bool Has(const IVXPath* path) const {
        for (const IVXPath* p : paths_) {
            if (p == path) return true;
        }
        return false;
    }
    // Editor only: drops the path, keeping the order of the others; absent paths are ignored.
    void Remove(IVXPath* path);

private:
    std::vector<IVXPath*> paths_;
};

}  // namespace vx
