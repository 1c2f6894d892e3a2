// An ellipse element of a template file becomes a move, four cubic quarters and a close,
// whose coordinate texts are built from the corner and size texts at load time.
#pragma once

#include <vector>

#include "templates/figure_template.h"

namespace vx {

// Appends the six elements for the ellipse with top-left corner (x, y) and size (w, h).
// The outline starts at the middle of the left edge and runs through the middles of the
// top, right and bottom edges; the control points lie 0.55228475 half-extents along the
// tangents.
void AppendEllipseElements(std::vector<TemplateElement>& elements, const String& x, const String& y,
                           const String& w, const String& h);

}  // namespace vx
