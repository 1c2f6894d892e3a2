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
    AdoptTemplate(std::unique_ptr<FigureTemplate>(figureTemplate ? CloneTemplate(*figureTemplate)
                                                                 : nullptr));
}

void CVXPath::AdoptTemplate(std::unique_ptr<FigureTemplate> copy) {
    templateCopy_ = std::move(copy);
    corners_.valid = false;
    referencePoints_.clear();
    if (!templateCopy_) return;
    const double* f = templateCopy_->frame;
    templateFrame_ = Rect{f[0], f[1], f[2], f[3]};

    double x, y, w, h;
    GetLocalBounds(&x, &y, &w, &h);  // the frame of the copy
    referencePoints_.reserve(templateCopy_->references.size() * 2);
    for (const TemplateReference& r : templateCopy_->references) {
        referencePoints_.push_back(ReferenceCoordinate(x, w, r.x.value));
        referencePoints_.push_back(ReferenceCoordinate(y, h, r.y.value));
    }
}

}  // namespace vx
