#include "editor/path_boxes.h"

#include <cstring>
#include <limits>
#include <new>

#include "path/parameters.h"
#include "path/path.h"

namespace vx {

namespace {

// Bits, as the path compares its own copy's margin: a NaN margin stays the same margin.
uint64_t MarginBits() {
    uint64_t bits;
    std::memcpy(&bits, &g_parameters.FlatBoundsMargin, sizeof bits);
    return bits;
}

}  // namespace

void PathBoxes::Update(const std::vector<IVXPath*>& paths) {
    if (Current() && margin_ == MarginBits()) return;
    valid_ = false;
    generation_ = CVXPath::BoxesGeneration();
    margin_ = MarginBits();
    try {
        boxes_.resize(paths.size());
    } catch (const std::bad_alloc&) {
        return;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (size_t i = 0; i < paths.size(); ++i) {
        CVXPath* own = CVXPath::FromInterface(paths[i]);
        boxes_[i] = own && !own->NodesLent() ? own->CornerBox() : Rect{nan, nan, nan, nan};
    }
    valid_ = true;
}

}  // namespace vx
