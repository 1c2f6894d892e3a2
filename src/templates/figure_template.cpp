#include "templates/figure_template.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

#include "platform/platform.h"
#include "text/format.h"

namespace vx {

namespace {
void Replace(VXCHAR*& field, const VXCHAR* text) {
    VXCHAR* fresh = platform::AllocSysString(text);
    platform::FreeSysString(field);
    field = fresh;
}

bool InRange(int32_t index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count;
}

int32_t CountOf(size_t count) {
    return count > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(count);
}
}  // namespace

FigureTemplate::~FigureTemplate() {
    platform::FreeSysString(info.name);
    platform::FreeSysString(info.tips);
    platform::FreeSysString(info.icon);
}

void FigureTemplate::SetName(const VXCHAR* text) { Replace(info.name, text); }
void FigureTemplate::SetTips(const VXCHAR* text) { Replace(info.tips, text); }
void FigureTemplate::SetIcon(const VXCHAR* text) { Replace(info.icon, text); }

FigureTemplate* CloneTemplate(const FigureTemplate& source) {
    auto copy = std::make_unique<FigureTemplate>();
    copy->elements = source.elements;
    copy->references = source.references;
    copy->SetName(source.info.name);
    for (int i = 0; i < 4; ++i) copy->frame[i] = source.frame[i];
    return copy.release();
}

int32_t GetElementCount(const FigureTemplate& figure) { return CountOf(figure.elements.size()); }

bool GetElement(const FigureTemplate& figure, int32_t index, TemplateElement* out) {
    if (!out || !InRange(index, figure.elements.size())) return false;
    *out = figure.elements[static_cast<size_t>(index)];
    return true;
}

int32_t GetReferenceCount(const FigureTemplate& figure) {
    return CountOf(figure.references.size());
}

bool GetReference(const FigureTemplate& figure, int32_t index, TemplateReference* out) {
    if (!out || !InRange(index, figure.references.size())) return false;
    *out = figure.references[static_cast<size_t>(index)];
    return true;
}

double* GetFrame(const FigureTemplate& figure, double* out) {
    for (int i = 0; i < 4; ++i) out[i] = figure.frame[i];
    return out;
}

void SetFrame(FigureTemplate& figure, double left, double top, double right, double bottom) {
    figure.frame[0] = left;
    figure.frame[1] = top;
    figure.frame[2] = right;
    figure.frame[3] = bottom;
}

float NarrowToSingle(double value) {
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    const double magnitude = std::fabs(value);
    if (magnitude > static_cast<double>(FLT_MAX)) {
        // Halfway between FLT_MAX and the next power of two rounds (to even) up to infinity.
        const double halfway = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
        const float big = magnitude >= halfway ? std::numeric_limits<float>::infinity() : FLT_MAX;
        return value < 0 ? -big : big;
    }
    return static_cast<float>(value);
}

void SetReferenceValues(FigureTemplate& figure, int32_t index, double x, double y) {
    if (!InRange(index, figure.references.size())) return;
    TemplateReference& r = figure.references[static_cast<size_t>(index)];
    r.x.value = text::FormatFixed(static_cast<double>(NarrowToSingle(x)));
    r.y.value = text::FormatFixed(static_cast<double>(NarrowToSingle(y)));
}

FigureInfo* GetInfoStrings(FigureTemplate& figure) { return &figure.info; }

}  // namespace vx
