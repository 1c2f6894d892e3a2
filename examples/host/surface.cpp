#include "surface.h"

#include <algorithm>
#include <cstdio>

void ExampleSurface::Add(char command, std::initializer_list<double> numbers) {
    char number[32];
    data_ += command;
    for (double v : numbers) {
        std::snprintf(number, sizeof number, " %g", v);
        data_ += number;
    }
    data_ += ' ';
}

// A figure ends at EndPath; commands outside a bracket (the box outline that DrawSelection
// draws without one) end at the next bracket, colour, mark or presentation.
void ExampleSurface::Flush() {
    if (!data_.empty()) Layer().push_back(data_);
    data_.clear();
}

void ExampleSurface::MoveTo(double x, double y) { Add('M', {x, y}); }
void ExampleSurface::LineTo(double x, double y) { Add('L', {x, y}); }
void ExampleSurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    Add('C', {x1, y1, x2, y2, x3, y3});
}
// Not called by the library today; a complete surface implements them all the same.
void ExampleSurface::CurveToV(double x2, double y2, double x3, double y3) { Add('S', {x2, y2, x3, y3}); }
void ExampleSurface::CurveToY(double x1, double y1, double x3, double y3) {
    Add('C', {x1, y1, x3, y3, x3, y3});
}
void ExampleSurface::Rectangle(double x, double y, double width, double height) {
    Add('M', {x, y});
    Add('h', {width});
    Add('v', {height});
    Add('h', {-width});
    Add('Z', {});
}
void ExampleSurface::ClosePath() { Add('Z', {}); }
void ExampleSurface::BeginPath(IVXPath*) { Flush(); }
void ExampleSurface::EndPath(IVXPath*, int32_t) { Flush(); }

// The overlay contract: between BeginOverlay and EndOverlay the library draws rubber bands.
// SaveOverlay remembers what the screen shows (a pixel host copies it); RestoreOverlay puts
// it back over a rectangle, erasing the last feedback; ShowOverlay presents a rectangle;
// DropOverlay forgets the saved copy. Rectangles are in canvas units; null means all.
void ExampleSurface::BeginOverlay() {
    Flush();
    ++overlayDepth_;
    overlay.clear();
}

void ExampleSurface::EndOverlay() {
    Flush();
    --overlayDepth_;  // the last feedback stays shown until the next repaint
}

int32_t ExampleSurface::SaveOverlay() {
    saved_.push_back(++nextToken_);
    return nextToken_;
}

void ExampleSurface::RestoreOverlay(int32_t, const double*) {
    data_.clear();
    overlay.clear();  // this host redraws its whole overlay; a pixel host copies rect back
}

void ExampleSurface::DropOverlay(int32_t token) {
    saved_.erase(std::remove(saved_.begin(), saved_.end(), token), saved_.end());
}

// Also called with token 0 outside any overlay, after a click drew the new selection
// straight onto the surface: present everything.
void ExampleSurface::ShowOverlay(int32_t, const double* rect) {
    Flush();
    if (!rect) return;
    double x1 = rect[0], y1 = rect[1], x2 = rect[2], y2 = rect[3];
    view_.ToScreen(&x1, &y1);
    view_.ToScreen(&x2, &y2);
    shown[0] = x1, shown[1] = y1, shown[2] = x2, shown[3] = y2;
}

void ExampleSurface::SetColor(uint32_t c, int32_t) {
    Flush();
    color = c;
}

// Draw the whole edited figure during a move or scale, not only its box.
int32_t ExampleSurface::WantsFullFigure(const double*) { return 1; }

void ExampleSurface::Refresh(double, double, double, double) { ++refreshes; }

int32_t ExampleSurface::DrawMark(double, double, double, double, int32_t markType) {
    Flush();
    if (markType >= VX_MARK_CENTER && markType <= VX_MARK_REFERENCE) ++marks[markType];
    return 1;  // drawn by the host: the library adds nothing
}
