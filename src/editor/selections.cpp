#include "editor/selections.h"

#include <algorithm>
#include <new>

namespace vx {

void CVXSelections::Add(IVXPath* path) {
    if (Contains(path)) return;
    paths_.push_back(path);
}

int32_t CVXSelections::GetCount() { return static_cast<int32_t>(paths_.size()); }

IVXPath* CVXSelections::GetAt(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= paths_.size()) return nullptr;
    return paths_[static_cast<size_t>(index)];
}

int32_t CVXSelections::Contains(IVXPath* path) {
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end() ? 1 : 0;
}

void CVXSelections::Clear() { paths_.clear(); }

void CVXSelections::Destroy(uint32_t flags) {
    this->~CVXSelections();
    if (flags & 1) ::operator delete(this);
}

void CVXSelections::Remove(IVXPath* path) {
    const auto it = std::find(paths_.begin(), paths_.end(), path);
    if (it != paths_.end()) paths_.erase(it);
}

}  // namespace vx
