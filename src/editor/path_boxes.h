// The corner boxes of a canvas's paths, kept contiguously beside its list: the hover walk
// reads them instead of each path object, which lies wherever it was allocated, so that a
// pointer over empty space costs little more than the host's own calls.
//
// The copies are true while no path's boxes changed (CVXPath::BoxesGeneration, which
// also covers the parameters set through VX_SetParameters), the flat-box margin they were
// made with holds, and the list they were made for is unchanged (the canvas drops them at
// each change of its list and when it is destroyed).
#pragma once

#include <cstdint>
#include <vector>

#include "ostrel/ostrel.h"
#include "geometry/rect.h"
#include "path/path.h"

namespace vx {

class PathBoxes {
public:
    // Copies the boxes of paths unless the copies are still true. Out of memory leaves
    // none, and the walk asks the paths themselves.
    void Update(const std::vector<IVXPath*>& paths);
    // Whether the copies are still true, the margin taken as it was at Update (it changes
    // through VX_SetParameters, which advances the generation, or between walks).
    bool Current() const { return valid_ && generation_ == CVXPath::BoxesGeneration(); }
    void Drop() { valid_ = false; }
    // The box of the path at index i of the list given to Update, while Current; null for
    // a path to be asked itself: not ours, its nodes lent out, or a box that is not a
    // number (which the walk's shortcut need not serve).
    const Rect* Kept(size_t i) const {
        const Rect& box = boxes_[i];
        return box.x1 == box.x1 ? &box : nullptr;
    }

private:
    std::vector<Rect> boxes_;
    uint64_t generation_ = 0;
    uint64_t margin_ = 0;  // the flat-box margin's bits
    bool valid_ = false;
};

}  // namespace vx
