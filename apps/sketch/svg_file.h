// The sketch's file: SVG 1.1 that any viewer shows, and that the sketch reads back.
//
// One <path> per library path, bottom to top: "d" in canvas units with the path's transform
// applied (what the library's Draw describes), its fill and stroke colours. On the same
// element, in the sketch's own namespace (kSketchNamespace), what reopening needs: the nodes
// in path space (ostrel:nodes, "M x y L x y C x1 y1 x2 y2 x3 y3 Z"), the transform
// (ostrel:transform, "a b c d e f") and, for a template figure, its template text
// (ostrel:template) and frame (ostrel:frame, "left top right bottom").
//
// Reading accepts only such a drawing: an <svg> root that declares the namespace, whose
// every <path> carries the nodes and the transform. Anything else is refused with a reason.
#pragma once

#include <string>
#include <vector>

#include "path_state.h"

namespace sketch {

extern const char kSketchNamespace[];

struct SvgPath {
    std::string d;                  // written only; reading leaves it empty
    uint32_t stroke = 0, fill = 0;  // 0xRRGGBB
    bool filled = false;
    PathState state;
};

struct SvgDrawing {
    double box[4] = {0, 0, 0, 0};  // the viewBox: left, top, right, bottom
    std::vector<SvgPath> paths;
};

std::string WriteSvg(const SvgDrawing& drawing);
// False, with the reason in *error, for a text that is not a sketch drawing.
bool ReadSvg(const std::string& text, SvgDrawing* drawing, std::string* error);

// The path's outline as SVG path data, from the library's own Draw.
std::string PathData(IVXPath* path);

// The canvas's paths as a drawing whose box covers them and (0, 0, width, height).
SvgDrawing DrawingOf(IGraphicCanvas* canvas, double width, double height);
// Appends the drawing's paths to the canvas (no approvals asked: this is not an edit).
// Returns how many could be made.
int LoadDrawing(const OstrelExports& library, IGraphicCanvas* canvas, const SvgDrawing& drawing);

}  // namespace sketch
