// The sketch's IDrawSurface: GDI on an off-screen back buffer of the window's client size.
//
// Every drawing call goes into the back buffer, mapped from canvas units to client pixels by
// the view. A path between BeginPath and EndPath becomes a GDI path (BeginPath, MoveToEx,
// LineTo, PolyBezierTo, CloseFigure, EndPath) that EndPath strokes and fills: a path drawing
// itself (end value 0) with its own style and fill rule, everything else (selection
// outlines, handles, the tools' and edits' feedback) as a thin outline in the colour of the
// last SetColor, feedback of no path in a fixed colour.
//
// The overlay: SaveOverlay copies the back buffer and returns a token, RestoreOverlay copies
// a rectangle (or all) of that copy back, ShowOverlay puts a rectangle (or all) of the back
// buffer on the window, DropOverlay frees the copy. Refresh asks the window to repaint.
#pragma once

#include <windows.h>

#include <map>

#include "ostrel/ostrel.h"
#include "view.h"

namespace sketch {

class GdiSurface : public IDrawSurface {
public:
    explicit GdiSurface(const View& view) : view_(view) {}
    ~GdiSurface();
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    void Attach(HWND window) { window_ = window; }
    void Resize(int width, int height);
    HDC Buffer() const { return buffer_; }
    // True while a gesture's overlay is open: a repaint then shows the buffer as it is.
    bool InOverlay() const { return overlays_ > 0; }
    // Copies the back buffer's rectangle (client pixels) to the window's DC.
    void Show(HDC target, const RECT& rect) const;

    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void CurveToV(double x2, double y2, double x3, double y3) override;
    void CurveToY(double x1, double y1, double x3, double y3) override;
    void Rectangle(double x, double y, double width, double height) override;
    void ClosePath() override;
    void BeginPath(IVXPath* path) override;
    void EndPath(IVXPath* path, int32_t endValue) override;
    void BeginOverlay() override { ++overlays_; }
    void EndOverlay() override {
        if (overlays_ > 0) --overlays_;
    }
    int32_t SaveOverlay() override;
    void RestoreOverlay(int32_t token, const double* rect) override;
    void DropOverlay(int32_t token) override;
    void ShowOverlay(int32_t token, const double* rect) override;
    void SetColor(uint32_t color, int32_t minusOne) override;
    int32_t WantsFullFigure(const double* rect) override;
    void Refresh(double x1, double y1, double x2, double y2) override;
    int32_t DrawMark(double x, double y, double width, double height, int32_t markType) override;

private:
    POINT Map(double x, double y) const;
    RECT ClientRect(const double* rect) const;  // null: the whole buffer
    void UsePen(COLORREF colour, int width);

    const View& view_;
    HWND window_ = nullptr;
    HDC buffer_ = nullptr;
    HBITMAP bitmap_ = nullptr, oldBitmap_ = nullptr;
    HPEN pen_ = nullptr;
    int width_ = 0, height_ = 0;
    int overlays_ = 0;
    int32_t nextToken_ = 1;
    std::map<int32_t, HBITMAP> saved_;
    COLORREF colour_ = RGB(0, 0, 0);
    bool inPath_ = false;
    double startX_ = 0, startY_ = 0, currentX_ = 0, currentY_ = 0;  // canvas units
};

}  // namespace sketch
