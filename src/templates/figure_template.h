// The in-memory form of a figure template: elements whose coordinates are expression
// texts over a unit frame, and reference handles whose values are named variables.
#pragma once

#include <cstdint>
#include <vector>

#include "ostrel/ostrel.h"
#include "text/string.h"

namespace vx {

struct TemplateElement {
    uint32_t kind = 0;   // 0 move, 1 line, 2 cubic, 5 rectangle, 6 close
    String coords[6];    // expression texts; the unused ones are empty
};

// One half of a reference: the x or the y axis.
struct ReferenceAxis {
    String value;      // fraction of the frame, a number or an expression
    bool variable = false;  // the file's "type" was something other than "constant"
    String name;       // the variable bound to the value
    String min, max;   // expression texts of the limits
};

struct TemplateReference {
    ReferenceAxis x, y;
};

// Owns its name, tips and icon as system strings, laid out as a FigureInfo so that the
// template-figure tool can hand that record to the host as it is.
class FigureTemplate {
public:
    FigureTemplate() = default;
    FigureTemplate(const FigureTemplate&) = delete;
    FigureTemplate& operator=(const FigureTemplate&) = delete;
    ~FigureTemplate();

    std::vector<TemplateElement> elements;
    std::vector<TemplateReference> references;
    FigureInfo info{nullptr, nullptr, nullptr};  // name, tips, icon (system strings or null)
    double frame[4] = {0, 0, 0, 0};              // left, top, right, bottom

    // Replaces one of the owned strings with a new system string (null clears it).
    void SetName(const VXCHAR* text);
    void SetTips(const VXCHAR* text);
    void SetIcon(const VXCHAR* text);
};

// A copy owned by the caller: elements, references, name and frame; no tips or icon.
FigureTemplate* CloneTemplate(const FigureTemplate& source);

}  // namespace vx
