#include "view.h"

#include <algorithm>
#include <cmath>

namespace sketch {

void View::SetZoom(double zoom, double cx, double cy) {
    if (!std::isfinite(zoom)) return;
    zoom = std::clamp(zoom, kZoomLevels[0], kZoomLevels[kZoomCount - 1]);
    double x = cx, y = cy;
    ClientToCanvas(&x, &y);
    zoom_ = zoom;
    scrollX_ = x * zoom_ - cx;
    scrollY_ = y * zoom_ - cy;
}

void View::ZoomSteps(int steps, double cx, double cy) {
    int level = 0;
    while (level + 1 < kZoomCount && kZoomLevels[level] < zoom_) ++level;
    level = std::clamp(level + steps, 0, kZoomCount - 1);
    SetZoom(kZoomLevels[level], cx, cy);
}

void View::ScrollBy(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    scrollX_ += dx;
    scrollY_ += dy;
}

void View::Reset() { zoom_ = 1, scrollX_ = 0, scrollY_ = 0; }

void View::CanvasToClient(double* x, double* y) const {
    *x = *x * zoom_ - scrollX_;
    *y = *y * zoom_ - scrollY_;
}

void View::ClientToCanvas(double* x, double* y) const {
    *x = (*x + scrollX_) / zoom_;
    *y = (*y + scrollY_) / zoom_;
}

void View::ToScreen(double* x, double* y) const {
    CanvasToClient(x, y);
    *x += originX_;
    *y += originY_;
}

void View::AdjustPoint(double* x, double* y) const {
    *x -= originX_;
    *y -= originY_;
    ClientToCanvas(x, y);
    if (snap && grid > 0) {
        *x = std::round(*x / grid) * grid;
        *y = std::round(*y / grid) * grid;
    }
}

}  // namespace sketch
