#include "svg_surface.h"

#include "text.h"

namespace ostrel_cli {

void SvgPathSurface::Clear() {
    data_.clear();
    marks_.clear();
    startX_ = startY_ = currentX_ = currentY_ = 0;
}

void SvgPathSurface::Command(char letter, std::initializer_list<double> values) {
    if (!data_.empty()) data_ += ' ';
    data_ += letter;
    for (double v : values) {
        data_ += ' ';
        data_ += FormatNumber(v);
    }
}

void SvgPathSurface::MoveTo(double x, double y) {
    Command('M', {x, y});
    startX_ = currentX_ = x;
    startY_ = currentY_ = y;
}

void SvgPathSurface::LineTo(double x, double y) {
    Command('L', {x, y});
    currentX_ = x;
    currentY_ = y;
}

void SvgPathSurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    Command('C', {x1, y1, x2, y2, x3, y3});
    currentX_ = x3;
    currentY_ = y3;
}

// The two shortened cubics: the first control is the current point, or the second control
// is the end point.
void SvgPathSurface::CurveToV(double x2, double y2, double x3, double y3) {
    CurveTo(currentX_, currentY_, x2, y2, x3, y3);
}

void SvgPathSurface::CurveToY(double x1, double y1, double x3, double y3) {
    CurveTo(x1, y1, x3, y3, x3, y3);
}

void SvgPathSurface::Rectangle(double x, double y, double width, double height) {
    MoveTo(x, y);
    LineTo(x + width, y);
    LineTo(x + width, y + height);
    LineTo(x, y + height);
    ClosePath();
}

void SvgPathSurface::ClosePath() {
    Command('Z', {});
    currentX_ = startX_;
    currentY_ = startY_;
}

int32_t SvgPathSurface::DrawMark(double x, double y, double width, double height, int32_t type) {
    marks_.push_back({x, y, width, height, type});
    return 1;
}

std::string MarkElements(const std::vector<SurfaceMark>& marks) {
    std::string out;
    for (const SurfaceMark& m : marks) {
        const double hw = m.width / 2, hh = m.height / 2;
        const std::string cx = FormatNumber(m.x), cy = FormatNumber(m.y);
        switch (m.type) {
            case VX_MARK_REFERENCE: {
                // A diamond a little larger than the square handles, so it stands out.
                const double r = hw * 1.4;
                out += "<path class=\"reference\" d=\"M " + cx + ' ' + FormatNumber(m.y - r) +
                       " L " + FormatNumber(m.x + r) + ' ' + cy + " L " + cx + ' ' +
                       FormatNumber(m.y + r) + " L " + FormatNumber(m.x - r) + ' ' + cy +
                       " Z\"/>\n";
                break;
            }
            case VX_MARK_CENTER:
            case VX_MARK_CONTROL:
                out += std::string("<ellipse class=\"") +
                       (m.type == VX_MARK_CENTER ? "handle" : "control") + "\" cx=\"" + cx +
                       "\" cy=\"" + cy + "\" rx=\"" + FormatNumber(hw) + "\" ry=\"" +
                       FormatNumber(hh) + "\"/>\n";
                break;
            default:
                out += std::string("<rect class=\"") +
                       (m.type == VX_MARK_NODE ? "node" : "handle") + "\" x=\"" +
                       FormatNumber(m.x - hw) + "\" y=\"" + FormatNumber(m.y - hh) + "\" width=\"" +
                       FormatNumber(m.width) + "\" height=\"" + FormatNumber(m.height) + "\"/>\n";
                break;
        }
    }
    return out;
}

}  // namespace ostrel_cli
