// What the program needs to know about the loaded templates beyond what ostrel.h offers a
// host: each template's tips and icon, its reference names, value texts and drag limits,
// and the selection marks alone. A host sees tips only through a canvas's tool list, limits
// only while dragging a handle, and marks only together with the figure's outline (a
// canvas's DrawSelection), so catalogue.cpp reads the core's template library and path
// drawing directly: the same core whose VX_Initial loaded the templates, the one core of
// the program.
#pragma once

#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "text.h"

namespace ostrel_cli {

struct AxisEntry {
    std::string name;
    std::string valueText;  // as written in the file
    bool valueOk = false;   // the value text evaluated with the references bound before it
    double value = 0;
    double min = 0, max = 0;  // the drag range, as the library computes it
};

struct ReferenceEntry {
    AxisEntry x, y;
};

struct FigureEntry {
    std::string name, tips, icon;
    int elements = 0;  // template elements (an ellipse counts six)
    std::vector<ReferenceEntry> references;
};

class Catalogue {
public:
    // The templates that VX_Initial loaded.
    Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // In ascending name order (code unit by code unit), as the library keeps them.
    const std::vector<FigureEntry>& Figures() const { return figures_; }

    // Builds the named figure in the frame with the given value pairs (params as for
    // VX_CreatePathEx) and lets the path draw its object-mode selection, that is the box
    // outline, the nine box handles and one mark per reference handle, into surface.
    // False when there is no such figure.
    bool DrawSelectionMarks(const PathCreateParams& params, IDrawSurface* surface) const;

private:
    std::vector<FigureEntry> figures_;
};

}  // namespace ostrel_cli
