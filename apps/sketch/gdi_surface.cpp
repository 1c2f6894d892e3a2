#include "gdi_surface.h"

#include <algorithm>
#include <cmath>

#include "host.h"

namespace sketch {

namespace {

// Outlines of paths are two canvas units wide; feedback of no path is drawn in this colour.
constexpr double kStrokeWidth = 2;
constexpr COLORREF kFeedback = RGB(0x60, 0x60, 0x60);

COLORREF FromRgb(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

LONG Pixel(double value) {
    // GDI takes 32-bit integers and draws only within 2^27: keep any double in that range.
    if (!std::isfinite(value)) return 0;
    return static_cast<LONG>(std::lround(std::clamp(value, -1e7, 1e7)));
}

}  // namespace

GdiSurface::~GdiSurface() {
    for (auto& entry : saved_) DeleteObject(entry.second);
    if (buffer_) {
        SelectObject(buffer_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(buffer_);
    }
    if (pen_) DeleteObject(pen_);
}

void GdiSurface::Resize(int width, int height) {
    width = std::max(width, 1), height = std::max(height, 1);
    if (buffer_ && width == width_ && height == height_) return;
    HDC screen = GetDC(window_);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(window_, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    if (buffer_) {
        BitBlt(dc, 0, 0, std::min(width, width_), std::min(height, height_), buffer_, 0, 0,
               SRCCOPY);
        SelectObject(buffer_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(buffer_);
    }
    buffer_ = dc, bitmap_ = bitmap, oldBitmap_ = static_cast<HBITMAP>(old);
    width_ = width, height_ = height;
    SetBkMode(buffer_, TRANSPARENT);
}

void GdiSurface::Show(HDC target, const RECT& r) const {
    BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_, r.left, r.top,
           SRCCOPY);
}

POINT GdiSurface::Map(double x, double y) const {
    view_.CanvasToClient(&x, &y);
    return {Pixel(x), Pixel(y)};
}

RECT GdiSurface::ClientRect(const double* rect) const {
    RECT all = {0, 0, width_, height_};
    if (!rect) return all;
    POINT a = Map(rect[0], rect[1]), b = Map(rect[2], rect[3]);
    // Wide enough for the stroke and for the marks, which stand out of the boxes the
    // library reports by half a mark.
    const LONG margin = Pixel(std::ceil((8 + kStrokeWidth) * view_.Zoom())) + 4;
    RECT r = {std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin,
              std::max(a.x, b.x) + margin + 1, std::max(a.y, b.y) + margin + 1};
    RECT clipped;
    return IntersectRect(&clipped, &r, &all) ? clipped : RECT{0, 0, 0, 0};
}

void GdiSurface::UsePen(COLORREF colour, int width) {
    HPEN pen = CreatePen(PS_SOLID, std::max(width, 1), colour);
    SelectObject(buffer_, pen);
    if (pen_) DeleteObject(pen_);
    pen_ = pen;
}

void GdiSurface::MoveTo(double x, double y) {
    const POINT p = Map(x, y);
    MoveToEx(buffer_, p.x, p.y, nullptr);
    startX_ = currentX_ = x, startY_ = currentY_ = y;
}

void GdiSurface::LineTo(double x, double y) {
    if (!inPath_) UsePen(colour_, 1);
    const POINT p = Map(x, y);
    ::LineTo(buffer_, p.x, p.y);
    currentX_ = x, currentY_ = y;
}

void GdiSurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (!inPath_) UsePen(colour_, 1);
    const POINT points[3] = {Map(x1, y1), Map(x2, y2), Map(x3, y3)};
    PolyBezierTo(buffer_, points, 3);
    currentX_ = x3, currentY_ = y3;
}

void GdiSurface::CurveToV(double x2, double y2, double x3, double y3) {
    CurveTo(currentX_, currentY_, x2, y2, x3, y3);
}

void GdiSurface::CurveToY(double x1, double y1, double x3, double y3) {
    CurveTo(x1, y1, x3, y3, x3, y3);
}

void GdiSurface::Rectangle(double x, double y, double width, double height) {
    MoveTo(x, y);
    LineTo(x + width, y);
    LineTo(x + width, y + height);
    LineTo(x, y + height);
    ClosePath();
}

void GdiSurface::ClosePath() {
    if (inPath_) {
        CloseFigure(buffer_);
    } else {
        LineTo(startX_, startY_);
    }
    currentX_ = startX_, currentY_ = startY_;
}

void GdiSurface::BeginPath(IVXPath*) {
    if (inPath_) AbortPath(buffer_);
    ::BeginPath(buffer_);
    inPath_ = true;
}

void GdiSurface::EndPath(IVXPath* path, int32_t endValue) {
    if (!inPath_) return;
    inPath_ = false;
    ::EndPath(buffer_);
    if (path && endValue == 0) {
        // The path itself: its style, two canvas units wide, filled by the rule the
        // library's hit test uses for it.
        const PathStyle& style = PathStyle::Of(path);
        UsePen(FromRgb(style.stroke), Pixel(kStrokeWidth * view_.Zoom()));
        SetPolyFillMode(buffer_, WINDING);
        if (style.filled) {
            HBRUSH brush = CreateSolidBrush(FromRgb(style.fill));
            HGDIOBJ old = SelectObject(buffer_, brush);
            StrokeAndFillPath(buffer_);
            SelectObject(buffer_, old);
            DeleteObject(brush);
        } else {
            StrokePath(buffer_);
        }
        return;
    }
    UsePen(path ? colour_ : kFeedback, 1);
    StrokePath(buffer_);
}

int32_t GdiSurface::SaveOverlay() {
    HDC copy = CreateCompatibleDC(buffer_);
    HBITMAP bitmap = CreateCompatibleBitmap(buffer_, width_, height_);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width_, height_, buffer_, 0, 0, SRCCOPY);
    SelectObject(copy, old);
    DeleteDC(copy);
    const int32_t token = nextToken_++;
    saved_[token] = bitmap;
    return token;
}

void GdiSurface::RestoreOverlay(int32_t token, const double* rect) {
    auto found = saved_.find(token);
    if (found == saved_.end()) return;
    const RECT r = ClientRect(rect);
    HDC copy = CreateCompatibleDC(buffer_);
    HGDIOBJ old = SelectObject(copy, found->second);
    BitBlt(buffer_, r.left, r.top, r.right - r.left, r.bottom - r.top, copy, r.left, r.top,
           SRCCOPY);
    SelectObject(copy, old);
    DeleteDC(copy);
}

void GdiSurface::DropOverlay(int32_t token) {
    auto found = saved_.find(token);
    if (found == saved_.end()) return;
    DeleteObject(found->second);
    saved_.erase(found);
}

void GdiSurface::ShowOverlay(int32_t, const double* rect) {
    if (!window_) return;
    const RECT r = ClientRect(rect);
    HDC dc = GetDC(window_);
    Show(dc, r);
    ReleaseDC(window_, dc);
}

// The library's colours are handed through as they are: the sketch sets them as COLORREF
// values (0x00BBGGRR) with VX_SetParameters.
void GdiSurface::SetColor(uint32_t color, int32_t) {
    colour_ = static_cast<COLORREF>(color & 0xFFFFFF);
}

// An edit of many paths shows the whole figures of those that look small enough on the
// screen to draw at every mouse move, and the boxes of the others.
int32_t GdiSurface::WantsFullFigure(const double* rect) {
    if (!rect) return 0;
    const double w = std::fabs(rect[2] - rect[0]) * view_.Zoom();
    const double h = std::fabs(rect[3] - rect[1]) * view_.Zoom();
    return w * h <= 600.0 * 600.0 ? 1 : 0;
}

void GdiSurface::Refresh(double, double, double, double) {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

// The library paints the marks itself (squares and circles of the path commands above).
int32_t GdiSurface::DrawMark(double, double, double, double, int32_t) { return 0; }

}  // namespace sketch
