// Single marks drawn onto the host's surface: the host may draw them itself (DrawMark),
// otherwise they become a square or a circle of MarkSize.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"

namespace vx {

// Single-precision 0.5566 widened to double: the arc constant of mark circles.
constexpr double kMarkEllipseK = static_cast<double>(0.5566f);

void PaintMark(IDrawSurface* surface, double x, double y, int32_t type);
// Four cubic quarter arcs inscribed in the box (x, y, w, h), starting at its left middle.
void PaintEllipse(IDrawSurface* surface, double x, double y, double w, double h);

}  // namespace vx
