#include "path/marks.h"

#include "path/parameters.h"

namespace vx {

void PaintMark(IDrawSurface* surface, double x, double y, int32_t type) {
    const double s = g_parameters.MarkSizeValue();
    if (surface->DrawMark(x, y, s, s, type) != 0) return;
    const double half = g_parameters.HalfMarkSize();
    if (type == VX_MARK_CENTER || type == VX_MARK_CONTROL)
        PaintEllipse(surface, x - half, y - half, s, s);
    else surface->Rectangle(x - half, y - half, s, s);
}

void PaintEllipse(IDrawSurface* surface, double x, double y, double w, double h) {
    const double rx = w * 0.5, ry = h * 0.5;
    const double cx = x + rx, cy = y + ry;
    const double kx = rx * kMarkEllipseK, ky = ry * kMarkEllipseK;
    surface->MoveTo(x, cy);
    surface->CurveTo(x, cy - ky, cx - kx, y, cx, y);
    surface->CurveTo(cx + kx, y, x + w, cy - ky, x + w, cy);
    surface->CurveTo(x + w, cy + ky, cx + kx, y + h, cx, y + h);
    surface->CurveTo(cx - kx, y + h, x, cy + ky, x, cy);
}

}  // namespace vx
