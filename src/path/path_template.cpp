// The template side of a path: its private template copy and the reference handle points.
#include "path/path.h"

namespace vx {

void CVXPath::AttachTemplate(const FigureTemplate* figureTemplate) {
    // Copy before dropping the old copy: the argument may be this path's own template.
    std::unique_ptr<FigureTemplate> copy(figureTemplate ? CloneTemplate(*figureTemplate) : nullptr);
    templateCopy_.reset();
    referencePoints_.clear();
    if (!copy) return;
    templateCopy_ = std::move(copy);
}

}  // namespace vx
