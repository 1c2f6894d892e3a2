#include "templates/template_bindings.h"

#include "expr/evaluator.h"

namespace vx {

bool TemplateBindings::Resolve(const VXCHAR* name, double* value, void* context) {
    const auto* self = static_cast<const TemplateBindings*>(context);
    const auto found = self->values_.find(StringView(name));
    if (found == self->values_.end()) return false;
    *value = found->second;
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
