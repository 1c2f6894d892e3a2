// The process-wide template library: one template per name, from VX_Initial to VX_Release.
//
// Names are compared code unit by code unit (case-sensitive) and kept in ascending order.
// The library owns its templates; a pointer from FindTemplate stays valid until the next
// ReleaseAll or until a later load replaces that name. Only the loader and VX_Release
// change the library; everything else reads it or clones from it. One thread, no lock.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "ostrel/ostrel.h"
#include "templates/figure_template.h"
#include "text/string.h"

namespace vx {

class TemplateLibrary {
public:
    // The one library. Built while the module loads, emptied when it unloads.
    static TemplateLibrary& Instance();

    // Exact match of the whole name; null when none is stored (or name is null).
    FigureTemplate* FindTemplate(const VXCHAR* name) const;
    FigureTemplate* FindTemplate(StringView name) const;

    // Registers tool with the canvas under every stored name, in ascending order.
    void EnumerateTemplateNames(IGraphicCanvas* canvas, IVXFigures* tool) const;

    // Destroys every template.
    void ReleaseAll();

    // Stores figure under name, destroying a template stored under it before (loader only).
    void Store(const String& name, std::unique_ptr<FigureTemplate> figure);

    size_t Count() const { return templates_.size(); }
    // The stored names in ascending order (for listings such as the command-line program).
    std::vector<String> Names() const;

    TemplateLibrary() = default;
    TemplateLibrary(const TemplateLibrary&) = delete;
    TemplateLibrary& operator=(const TemplateLibrary&) = delete;

private:
    std::map<String, std::unique_ptr<FigureTemplate>, std::less<>> templates_;
};

}  // namespace vx
