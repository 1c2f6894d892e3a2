// The variables of one template evaluation: reference names bound to their values.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <utility>

#include "templates/figure_template.h"
#include "text/string.h"

namespace vx {

// Created empty for each build or limit query and dropped afterwards. Names are
// case-sensitive; a name bound again takes the new value. Names it does not hold are left
// to the evaluator's constants ("pi", "e").
class TemplateBindings {
public:
    // Binds every reference in template order: the x value (which may use the names bound
    // before it), then the y value (which may also use the x name of the same reference).
    // False at the first value text that does not evaluate.
    bool BindReferences(const FigureTemplate& figure);

    // Evaluates a text with these bindings as its variables.
    bool Evaluate(const String& text, double* value) const;
    // The same for a text given in pieces (ExpressionEvaluator::Evaluate).
    bool Evaluate(std::initializer_list<StringView> pieces, double* value) const;

    void Bind(const String& name, double value);

private:
    static bool Resolve(const VXCHAR* name, double* value, void* context);
    double* Find(StringView name);

    // Templates bind a few names: the first ones are kept here, searched in order, without
    // an allocation per build; any beyond them in the map.
    static constexpr size_t kInline = 4;
    std::pair<String, double> first_[kInline];
    size_t firstCount_ = 0;
    std::map<String, double, std::less<>> more_;
};

}  // namespace vx
