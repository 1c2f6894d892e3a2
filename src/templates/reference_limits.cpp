// The range within which a reference handle may be dragged.
#include "templates/template_bindings.h"
#include "templates/template_build.h"

namespace vx {

void GetReferenceLimits(const FigureTemplate& figure, int32_t index, double* minX, double* maxX,
                        double* minY, double* maxY) {
    *minX = 0.0;
    *maxX = 1.0;
    *minY = 0.0;
    *maxY = 1.0;
    if (index < 0 || static_cast<size_t>(index) >= figure.references.size()) return;

    TemplateBindings bindings;
    if (!bindings.BindReferences(figure)) return;

    const TemplateReference& r = figure.references[static_cast<size_t>(index)];
    const String* texts[4] = {&r.x.min, &r.x.max, &r.y.min, &r.y.max};
    double* limits[4] = {minX, maxX, minY, maxY};
    for (int i = 0; i < 4; ++i) {
        double value = 0.0;
        if (!bindings.Evaluate(*texts[i], &value)) return;
        *limits[i] = value;
    }
}

}  // namespace vx
