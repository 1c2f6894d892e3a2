// The view of the drawing: zoom, scrolling and the snap grid, and the two mappings the
// library asks the host for.
//
// Three spaces meet here. Canvas units are the paths' own coordinates (what the file holds).
// Client pixels are the window's client area: client = canvas * zoom - scroll, so at 100 %
// and no scrolling canvas (0, 0) is the client area's top-left corner. Screen pixels are
// what the library works in (mouse positions, hit tolerances): client pixels plus the
// client area's position on the screen (its origin).
#pragma once

namespace sketch {

class View {
public:
    // The zoom levels, each twice the one before: 25 % to 800 %.
    static constexpr double kZoomLevels[] = {0.25, 0.5, 1, 2, 4, 8};
    static constexpr int kZoomCount = 6;

    double Zoom() const { return zoom_; }

    // Sets the zoom (clamped to 25 % .. 800 %) so that the canvas point under the client
    // point (cx, cy) stays where it is.
    void SetZoom(double zoom, double cx, double cy);
    // One level in or out (steps > 0 zooms in), about the client point.
    void ZoomSteps(int steps, double cx, double cy);
    void ScrollBy(double dx, double dy);  // client pixels
    void Reset();                         // 100 %, no scrolling

    // The client area's top-left corner in screen pixels.
    void SetOrigin(double x, double y) {
        originX_ = x;
        originY_ = y;
    }

    bool snap = false;
    double grid = 10;  // canvas units between snap lines

    // Canvas <-> client pixels, for drawing.
    void CanvasToClient(double* x, double* y) const;
    void ClientToCanvas(double* x, double* y) const;

    // ICanvasHost::ToScreen: canvas -> screen.
    void ToScreen(double* x, double* y) const;
    // ICanvasHost::AdjustPoint: screen -> canvas, onto the nearest grid point when snapping.
    void AdjustPoint(double* x, double* y) const;

private:
    double zoom_ = 1, scrollX_ = 0, scrollY_ = 0;
    double originX_ = 0, originY_ = 0;
};

}  // namespace sketch
