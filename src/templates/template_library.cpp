#include "templates/template_library.h"

namespace vx {

namespace {
// Built during the module's static initialisation, before any export can run; nothing
// that runs at static initialisation uses it.
TemplateLibrary g_library;
}  // namespace

TemplateLibrary& TemplateLibrary::Instance() { return g_library; }

FigureTemplate* TemplateLibrary::FindTemplate(const VXCHAR* name) const {
    if (!name) return nullptr;
    return FindTemplate(StringView(name));
}

FigureTemplate* TemplateLibrary::FindTemplate(StringView name) const {
    const auto found = templates_.find(name);
    return found == templates_.end() ? nullptr : found->second.get();
}

void TemplateLibrary::EnumerateTemplateNames(IGraphicCanvas* canvas, IVXFigures* tool) const {
    if (!canvas) return;
    for (const auto& entry : templates_) canvas->RegisterTool(entry.first.c_str(), tool);
}

void TemplateLibrary::ReleaseAll() { templates_.clear(); }

void TemplateLibrary::Store(const String& name, std::unique_ptr<FigureTemplate> figure) {
    if (!figure) return;
    auto found = templates_.find(name);
    if (found != templates_.end()) {
        found->second = std::move(figure);  // the replaced template is destroyed here
    } else {
        templates_.emplace(name, std::move(figure));
    }
}

std::vector<String> TemplateLibrary::Names() const {
    std::vector<String> names;
    names.reserve(templates_.size());
    for (const auto& entry : templates_) names.push_back(entry.first);
    return names;
}

}  // namespace vx
