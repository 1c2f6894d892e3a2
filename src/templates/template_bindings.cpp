#include "templates/template_bindings.h"

#include "expr/evaluator.h"

namespace vx {

double* TemplateBindings::Find(StringView name) {
    for (size_t i = 0; i < firstCount_; ++i) {
        if (first_[i].first == name) return &first_[i].second;
    }
    const auto found = more_.find(name);
    return found == more_.end() ? nullptr : &found->second;
}

void TemplateBindings::Bind(const String& name, double value) {
    if (double* bound = Find(name)) {
        *bound = value;
    } else if (firstCount_ < kInline) {
        first_[firstCount_++] = {name, value};
    } else {
        more_.emplace(name, value);
    }
}

bool TemplateBindings::Resolve(const VXCHAR* name, double* value, void* context) {
    const double* bound = static_cast<TemplateBindings*>(context)->Find(StringView(name));
    if (!bound) return false;
    *value = *bound;
    return true;
}

bool TemplateBindings::Evaluate(const String& text, double* value) const {
    return ExpressionEvaluator::Evaluate(text.c_str(), value, &TemplateBindings::Resolve,
                                         const_cast<TemplateBindings*>(this));
}

bool TemplateBindings::Evaluate(std::initializer_list<StringView> pieces, double* value) const {
    return ExpressionEvaluator::Evaluate(pieces, value, &TemplateBindings::Resolve,
                                         const_cast<TemplateBindings*>(this));
}

bool TemplateBindings::BindReferences(const FigureTemplate& figure) {
    for (const TemplateReference& r : figure.references) {
        double value = 0.0;
        if (!Evaluate(r.x.value, &value)) return false;
        Bind(r.x.name, value);
        if (!Evaluate(r.y.value, &value)) return false;
        Bind(r.y.name, value);
    }
    return true;
}

}  // namespace vx
