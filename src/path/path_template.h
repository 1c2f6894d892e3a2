// A path's own copy of the template it was built from, as the path sees it: something it
// owns whole, clones with itself, and asks for its frame, its record and its reference
// handles. What a template holds (elements, expressions, names) belongs to templates/,
// which implements this; a path never reads it.
#pragma once

#include <memory>
#include <vector>

#include "geometry/rect.h"
#include "ostrel/ostrel.h"

namespace vx {

class PathTemplate {
public:
    virtual ~PathTemplate() = default;

    virtual std::unique_ptr<PathTemplate> Clone() const = 0;
    // Left, top, right, bottom.
    virtual Rect Frame() const = 0;
    // The record of GetTemplateInfo: name, frame and the first 64 reference value pairs.
    virtual void GetInfo(PathCreateParams* out) const = 0;
    // Appends one (x, y) pair in path space per reference handle, placed in the box
    // (x, y, w, h) of the path's frame.
    virtual void ReferencePoints(double x, double y, double w, double h,
                                 std::vector<double>* out) const = 0;
};

}  // namespace vx
