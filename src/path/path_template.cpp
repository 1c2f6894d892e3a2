// The template side of a path: its private template copy and the reference handle points.
#include "path/path.h"

namespace vx {

void CVXPath::AttachTemplate(const PathTemplate* figureTemplate) {
    // Copy before dropping the old copy: the argument may be this path's own template.
    AdoptTemplate(figureTemplate ? figureTemplate->Clone() : nullptr);
}

void CVXPath::AdoptTemplate(std::unique_ptr<PathTemplate> copy) {
    templateCopy_ = std::move(copy);
    CornersChanged();
    referencePoints_.clear();
    if (!templateCopy_) return;
    templateFrame_ = templateCopy_->Frame();

    double x, y, w, h;
    GetLocalBounds(&x, &y, &w, &h);  // the frame of the copy
    templateCopy_->ReferencePoints(x, y, w, h, &referencePoints_);
}

}  // namespace vx
