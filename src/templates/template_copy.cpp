// A figure template as a path's own copy (PathTemplate): what the path asks of it.
#include <algorithm>

#include "expr/evaluator.h"
#include "path/path.h"
#include "templates/figure_template.h"
#include "text/format.h"
#include "text/number.h"

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

std::unique_ptr<PathTemplate> FigureTemplate::Clone() const {
    return std::unique_ptr<PathTemplate>(CloneTemplate(*this));
}

Rect FigureTemplate::Frame() const { return Rect{frame[0], frame[1], frame[2], frame[3]}; }

void FigureTemplate::GetInfo(PathCreateParams* out) const {
    constexpr size_t kNameUnits = sizeof out->name / sizeof out->name[0];
    size_t length = 0;
    if (const VXCHAR* name = info.name) {
        while (length < kNameUnits && name[length]) ++length;
        std::copy(name, name + length, out->name);
    }
    std::fill(out->name + length, out->name + kNameUnits, VXCHAR(0));
    const size_t count = std::min<size_t>(references.size(), 64);
    out->count = static_cast<int32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        const TemplateReference& r = references[i];
        out->pairs[i][0] = text::ReadNumber(r.x.value.c_str(), nullptr);
        out->pairs[i][1] = text::ReadNumber(r.y.value.c_str(), nullptr);
    }
    out->left = frame[0];
    out->top = frame[1];
    out->right = frame[2];
    out->bottom = frame[3];
}

void FigureTemplate::ReferencePoints(double x, double y, double w, double h,
                                     std::vector<double>* out) const {
    if (references.empty()) return;
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
    out->reserve(out->size() + references.size() * 2);
    for (const TemplateReference& r : references) {
        out->push_back(ReferenceCoordinate(prefixX, r.x.value));
        out->push_back(ReferenceCoordinate(prefixY, r.y.value));
    }
}

// Every template copy a path holds comes from here, so the cast finds a FigureTemplate
// whenever there is a copy at all.
const FigureTemplate* TemplateOf(IVXPath* path) {
    const CVXPath* own = CVXPath::FromInterface(path);
    return own ? dynamic_cast<const FigureTemplate*>(own->GetTemplateCopy()) : nullptr;
}

}  // namespace vx
