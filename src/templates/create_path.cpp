#include "templates/create_path.h"

#include <algorithm>
#include <memory>

#include "path/path.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx {

IVXPath* CreatePathFromParams(const PathCreateParams* params) {
    if (!params) return nullptr;
    constexpr size_t kNameUnits = sizeof params->name / sizeof params->name[0];
    const StringView name(params->name, text::BoundedLength(params->name, kNameUnits));
    const FigureTemplate* found = TemplateLibrary::Instance().FindTemplate(name);
    if (!found) return nullptr;

    std::unique_ptr<FigureTemplate> copy(CloneTemplate(*found));
    const double frame[4] = {params->left, params->top, params->right, params->bottom};
    SetFrame(*copy, frame[0], frame[1], frame[2], frame[3]);
    constexpr int32_t kMaxPairs = sizeof params->pairs / sizeof params->pairs[0];
    const int32_t count = std::min({params->count, GetReferenceCount(*copy), kMaxPairs});
    for (int32_t i = 0; i < count; ++i) {
        SetReferenceValues(*copy, i, params->pairs[i][0], params->pairs[i][1]);
    }

    CVXPath* path = CVXPath::Create();
    if (!path) return nullptr;
    try {
        BuildPathFromTemplate(path, *copy, frame);  // a partial build still gives the path
        path->AdoptTemplate(std::move(copy));       // the working copy is already a clone
    } catch (...) {
        path->Release();
        throw;
    }
    return path;
}

}  // namespace vx
