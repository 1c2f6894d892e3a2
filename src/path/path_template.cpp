// The template side of a path: its private template copy and the reference handle points.
#include "expr/evaluator.h"
#include "path/path.h"
#include "text/format.h"

namespace vx {

namespace {

// origin + size * (value text), evaluated without variables, where prefix is origin and
// size printed as "%f + %f * (". A value text that names a variable fails here and
// contributes what the evaluator leaves after the failure.
double ReferenceCoordinate(StringView prefix, const String& valueText) {
    double value = 0.0;
    ExpressionEvaluator::Evaluate({prefix, valueText, VXTEXT(")")}, &value, nullptr, nullptr);
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
    CornersChanged();
    referencePoints_.clear();
    if (!templateCopy_) return;
    const double* f = templateCopy_->frame;
    templateFrame_ = Rect{f[0], f[1], f[2], f[3]};

    double x, y, w, h;
    GetLocalBounds(&x, &y, &w, &h);  // the frame of the copy
    if (templateCopy_->references.empty()) return;
    // The frame enters every handle through two texts, "%f + %f * (" of x and w and of y
    // and h, formatted once into one buffer.
    String prefixes;
    text::AppendFixed(prefixes, x);
    prefixes += VXTEXT(" + ");
    text::AppendFixed(prefixes, w);
    prefixes += VXTEXT(" * (");
    const size_t yAt = prefixes.size();
    text::AppendFixed(prefixes, y);
    prefixes += VXTEXT(" + ");
    text::AppendFixed(prefixes, h);
    prefixes += VXTEXT(" * (");
    const StringView prefixX = StringView(prefixes).substr(0, yAt);
    const StringView prefixY = StringView(prefixes).substr(yAt);
    referencePoints_.reserve(templateCopy_->references.size() * 2);
    for (const TemplateReference& r : templateCopy_->references) {
        referencePoints_.push_back(ReferenceCoordinate(prefixX, r.x.value));
        referencePoints_.push_back(ReferenceCoordinate(prefixY, r.y.value));
    }
}

}  // namespace vx
