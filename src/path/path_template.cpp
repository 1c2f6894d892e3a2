// The template side of a path: its private template copy and the reference handle points.
#include "expr/evaluator.h"
#include "path/path.h"
#include "text/format.h"

namespace vx {

namespace {

// origin + size * (value text), evaluated without variables. A value text that names a
// variable fails here and contributes what the evaluator leaves after the failure.
double ReferenceCoordinate(double origin, double size, const String& valueText) {
    String text = text::Format("%f + %f", {origin, size});
    text += VXTEXT(" * (");
    text += valueText;
    text += VXTEXT(")");
    double value = 0.0;
    ExpressionEvaluator::Evaluate(text.c_str(), &value, nullptr, nullptr);
    return value;
}

}  // namespace

void CVXPath::AttachTemplate(const FigureTemplate* figureTemplate) {
    // Copy before dropping the old copy: the argument may be this path's own template.
    std::unique_ptr<FigureTemplate> copy(figureTemplate ? CloneTemplate(*figureTemplate) : nullptr);
    templateCopy_.reset();
    referencePoints_.clear();
    if (!copy) return;
    templateCopy_ = std::move(copy);

    double x, y, w, h;
    GetLocalBounds(&x, &y, &w, &h);  // the frame of the copy
    referencePoints_.reserve(templateCopy_->references.size() * 2);
    for (const TemplateReference& r : templateCopy_->references) {
        referencePoints_.push_back(ReferenceCoordinate(x, w, r.x.value));
        referencePoints_.push_back(ReferenceCoordinate(y, h, r.y.value));
    }
}

}  // namespace vx
