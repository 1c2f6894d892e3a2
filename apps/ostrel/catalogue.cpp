#include "catalogue.h"

#include "path/path.h"
#include "templates/create_path.h"
#include "templates/template_bindings.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace ostrel_cli {

namespace {

std::string Utf8(const vx::String& text) { return vx::text::ToUtf8(text); }

AxisEntry MakeAxis(const vx::ReferenceAxis& axis) {
    AxisEntry entry;
    entry.name = Utf8(axis.name);
    entry.valueText = Utf8(axis.value);
    return entry;
}

}  // namespace

Catalogue::Catalogue() {
    vx::TemplateLibrary& library = vx::TemplateLibrary::Instance();
    for (const vx::String& name : library.Names()) {
        const vx::FigureTemplate* figure = library.FindTemplate(name);
        if (!figure) continue;
        FigureEntry entry;
        entry.name = Utf8(name);
        entry.tips = ToUtf8(figure->info.tips);
        entry.icon = ToUtf8(figure->info.icon);
        entry.elements = vx::GetElementCount(*figure);

        // Values in template order, each with the names bound before it, as a build does.
        vx::TemplateBindings bindings;
        for (int32_t i = 0; i < vx::GetReferenceCount(*figure); ++i) {
            const vx::TemplateReference& r = figure->references[static_cast<size_t>(i)];
            ReferenceEntry ref{MakeAxis(r.x), MakeAxis(r.y)};
            ref.x.valueOk = bindings.Evaluate(r.x.value, &ref.x.value);
            if (ref.x.valueOk) bindings.Bind(r.x.name, ref.x.value);
            ref.y.valueOk = ref.x.valueOk && bindings.Evaluate(r.y.value, &ref.y.value);
            if (ref.y.valueOk) bindings.Bind(r.y.name, ref.y.value);
            vx::GetReferenceLimits(*figure, i, &ref.x.min, &ref.x.max, &ref.y.min, &ref.y.max);
            entry.references.push_back(std::move(ref));
        }
        figures_.push_back(std::move(entry));
    }
}

bool Catalogue::DrawSelectionMarks(const PathCreateParams& params, IDrawSurface* surface) const {
    IVXPath* built = vx::CreatePathFromParams(&params);
    vx::CVXPath* path = vx::CVXPath::FromInterface(built);
    if (!path) {
        if (built) built->Release();
        return false;
    }
    path->DrawTracker(surface, 0, false, true);
    path->Release();
    return true;
}

}  // namespace ostrel_cli
