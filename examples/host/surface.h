// The example host's drawing surface. It turns the library's path commands into SVG path
// data, as a host turns them into calls of its own graphics API, and keeps two layers: the
// document, which a repaint draws, and the overlay, in which gestures draw their rubber
// bands. Marks are drawn by the host itself (DrawMark answers 1).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"
#include "view.h"

class ExampleSurface : public IDrawSurface {
public:
    explicit ExampleSurface(const View& view) : view_(view) {}

    // The layers, one SVG path data string per figure.
    std::vector<std::string> document, overlay;
    uint32_t color = 0;    // the colour of what is drawn next (SetColor)
    int marks[5] = {};     // DrawMark calls by VX_MARK_* type
    int refreshes = 0;     // Refresh calls: the host repaints everything
    double shown[4] = {};  // the last rectangle ShowOverlay presented, in screen units

    // True when every BeginOverlay was ended and every saved token dropped.
    bool OverlayBalanced() const { return overlayDepth_ == 0 && saved_.empty(); }

    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void CurveToV(double x2, double y2, double x3, double y3) override;
    void CurveToY(double x1, double y1, double x3, double y3) override;
    void Rectangle(double x, double y, double width, double height) override;
    void ClosePath() override;
    void BeginPath(IVXPath* path) override;
    void EndPath(IVXPath* path, int32_t endValue) override;
    void BeginOverlay() override;
    void EndOverlay() override;
    int32_t SaveOverlay() override;
    void RestoreOverlay(int32_t token, const double* rect) override;
    void DropOverlay(int32_t token) override;
    void ShowOverlay(int32_t token, const double* rect) override;
    void SetColor(uint32_t color, int32_t minusOne) override;
    int32_t WantsFullFigure(const double* rect) override;
    void Refresh(double x1, double y1, double x2, double y2) override;
    int32_t DrawMark(double x, double y, double width, double height, int32_t markType) override;

private:
    void Add(char command, std::initializer_list<double> numbers);
    void Flush();
    std::vector<std::string>& Layer() { return overlayDepth_ > 0 ? overlay : document; }

    const View& view_;
    std::string data_;        // the figure being described
    int overlayDepth_ = 0;
    int32_t nextToken_ = 0;
    std::vector<int32_t> saved_;
};
