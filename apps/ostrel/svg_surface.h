// A drawing surface that turns the library's path commands into SVG path data.
//
// The library describes a path to a host surface as MoveTo, LineTo, CurveTo and ClosePath
// calls in canvas coordinates; this surface appends them to one "d" attribute text
// ("M 10 20 L 30 20 C ... Z"). Marks (DrawMark) are collected with their type, so that the
// caller can draw box handles and reference handles in styles of its own; the surface
// answers that it drew them, which keeps the library from emitting their outlines as
// path commands. Overlay and colour calls have no meaning in a file and are ignored.
#pragma once

#include <string>
#include <vector>

#include "ostrel/ostrel.h"

namespace ostrel_cli {

struct SurfaceMark {
    double x, y, width, height;
    int32_t type;  // VX_MARK_*
};

class SvgPathSurface : public IDrawSurface {
public:
    const std::string& PathData() const { return data_; }
    const std::vector<SurfaceMark>& Marks() const { return marks_; }
    void Clear();

    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void CurveToV(double x2, double y2, double x3, double y3) override;
    void CurveToY(double x1, double y1, double x3, double y3) override;
    void Rectangle(double x, double y, double width, double height) override;
    void ClosePath() override;
    void BeginPath(IVXPath*) override {}
    void EndPath(IVXPath*, int32_t) override {}
    void BeginOverlay() override {}
    void EndOverlay() override {}
    int32_t SaveOverlay() override { return 0; }
    void RestoreOverlay(int32_t, const double*) override {}
    void DropOverlay(int32_t) override {}
    void ShowOverlay(int32_t, const double*) override {}
    void SetColor(uint32_t, int32_t) override {}
    int32_t WantsFullFigure(const double*) override { return 0; }
    void Refresh(double, double, double, double) override {}
    int32_t DrawMark(double x, double y, double width, double height, int32_t type) override;

private:
    void Command(char letter, std::initializer_list<double> values);

    std::string data_;
    std::vector<SurfaceMark> marks_;
    double startX_ = 0, startY_ = 0;      // of the current subpath, for ClosePath
    double currentX_ = 0, currentY_ = 0;  // for CurveToV
};

// SVG elements for the marks of DrawTracker: box handles and the centre in grey, reference
// handles as orange diamonds, nodes and control points in blue.
std::string MarkElements(const std::vector<SurfaceMark>& marks);

}  // namespace ostrel_cli
