// What the template loader can tell a figure checker while it reads: every place where it
// drops or ignores something silently, and for each figure it stores, where its texts were
// written. VX_Initial passes no sink, and then none of this is built.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/xml_dom.h"
#include "templates/figure_template.h"

namespace vx {

// Where the texts of one figure were written, in the order of the figure's elements and
// references.
struct FigureSource {
    struct Element {
        const char* name = "";  // "moveto", "lineto", "bezierto", "rectangle", "ellipse"
        // The kind and texts as written: an ellipse keeps its x, y, w and h as a rectangle
        // would, not the six elements that the loader makes of them.
        TemplateElement texts;
        platform::SourcePlace places[6];  // the vertex or size that gave each text
    };
    struct Reference {
        platform::SourcePlace x, y;  // the x and y children; the reference's own place without one
    };
    std::vector<Element> elements;
    std::vector<Reference> references;
};

class LoadDiagnostics {
public:
    enum class Severity { Error, Warning, Note };

    // A file is about to be read.
    virtual void BeginFile(const std::filesystem::path& path) = 0;
    // A figure element begins; name is null when it has none.
    virtual void BeginFigure(const String* name, platform::SourcePlace place) = 0;
    // Something dropped or ignored; between BeginFigure and EndFigure it concerns that figure.
    virtual void Report(Severity severity, platform::SourcePlace place,
                        const std::string& message) = 0;
    // The figure ends: stored is the template about to be stored (it replaces one of the same
    // name), or null when the figure is dropped; source is empty then.
    virtual void EndFigure(const FigureTemplate* stored, const FigureSource& source) = 0;

protected:
    ~LoadDiagnostics() = default;
};

}  // namespace vx
