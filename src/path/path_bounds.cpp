// Boxes and corners of a path.
#include <cmath>
#include <cstring>

#include "path/parameters.h"
#include "path/path.h"

namespace vx {

Rect CVXPath::LocalBox() const {
    if (templateCopy_) return templateFrame_;
    if (nodes_.empty()) return Rect{};
    if (nodeBoxValid_ && !nodesLent_) return nodeBox_;
    Rect box{nodes_[0].x1, nodes_[0].y1, nodes_[0].x1, nodes_[0].y1};
    auto cover = [&box](double x, double y) {
        if (x < box.x1) box.x1 = x;
        if (x > box.x2) box.x2 = x;
        if (y < box.y1) box.y1 = y;
        if (y > box.y2) box.y2 = y;
    };
    for (const PathNode& n : nodes_) {
        switch (n.kind) {
            case VX_NODE_MOVE:
            case VX_NODE_LINE: cover(n.x1, n.y1); break;
            case VX_NODE_CUBIC:
                // The control polygon, not the curve: cheap and always enclosing.
                cover(n.x1, n.y1);
                cover(n.x2, n.y2);
                cover(n.x3, n.y3);
                break;
            default: break;
        }
    }
    nodeBox_ = box;
    nodeBoxValid_ = true;
    return box;
}

double* CVXPath::GetLocalBounds(double* x, double* y, double* w, double* h) {
    const Rect box = LocalBox();
    *x = box.x1;
    *y = box.y1;
    *w = box.x2 - box.x1;
    *h = box.y2 - box.y1;
    return h;
}

void CVXPath::GetCorners(double* x1, double* y1, double* x2, double* y2, double* x3, double* y3,
                         double* x4, double* y4) {
    Rect box = LocalBox();
    const double margin = g_parameters.FlatBoundsMargin;
    if (box.x1 == box.x2) {
        box.x1 -= margin;
        box.x2 += margin;
    }
    if (box.y1 == box.y2) {
        box.y1 -= margin;
        box.y2 += margin;
    }
    MapPoint(box.x1, box.y1, transform_, x1, y1);
    MapPoint(box.x2, box.y1, transform_, x2, y2);
    MapPoint(box.x1, box.y2, transform_, x3, y3);
    MapPoint(box.x2, box.y2, transform_, x4, y4);
}

double* CVXPath::GetBounds(double* x, double* y, double* w, double* h) {
    if (templateCopy_) {
        *x = templateFrame_.x1;
        *y = templateFrame_.y1;
        *w = templateFrame_.x2 - templateFrame_.x1;
        *h = templateFrame_.y2 - templateFrame_.y1;
        return h;
    }
    double cx[4], cy[4];
    GetCorners(&cx[0], &cy[0], &cx[1], &cy[1], &cx[2], &cy[2], &cx[3], &cy[3]);
    const Rect box = BoxOfPoints(cx, cy, 4);
    *x = box.x1;
    *y = box.y1;
    *w = box.x2 - box.x1;
    *h = box.y2 - box.y1;
    return h;
}

const CVXPath::Corners& CVXPath::MeasureCorners() {
    const double margin = g_parameters.FlatBoundsMargin;
    double* px = corners_.x;
    double* py = corners_.y;
    GetCorners(&px[0], &py[0], &px[1], &py[1], &px[2], &py[2], &px[3], &py[3]);
    if (transform_.b != 0.0) {
        const double cx = (px[0] + px[1] + px[2] + px[3]) / 4.0;
        const double cy = (py[0] + py[1] + py[2] + py[3]) / 4.0;
        const double lx = (px[0] + px[2]) / 2.0;
        const double ly = (py[0] + py[2]) / 2.0;
        const double alpha = -std::atan2(ly - cy, lx - cx);
        const double cosA = std::cos(alpha), sinA = std::sin(alpha);
        const PathTransform r{
            cosA, sinA, -sinA, cosA, (1.0 - cosA) * cx + sinA * cy, (1.0 - cosA) * cy - sinA * cx};
        for (int i = 0; i < 4; ++i) MapPoint(px[i], py[i], r, &px[i], &py[i]);

        // Each pair takes the member farther from the centre; on a tie the later one.
        auto squareUp = [](double& first, double& second, double centre) {
            const double v =
                std::fabs(first - centre) > std::fabs(second - centre) ? first : second;
            first = second = v;
        };
        squareUp(px[0], px[2], cx);
        squareUp(px[1], px[3], cx);
        squareUp(py[0], py[1], cy);
        squareUp(py[2], py[3], cy);

        PathTransform back;
        InvertTransform(r, &back);
        for (int i = 0; i < 4; ++i) MapPoint(px[i], py[i], back, &px[i], &py[i]);
    }
    corners_.box = BoxOfPoints(px, py, 4);
    corners_.margin = margin;
    corners_.valid = true;
    return corners_;
}

void CVXPath::GetOrientedCorners(double* x1, double* y1, double* x2, double* y2, double* x3,
                                 double* y3, double* x4, double* y4) {
    const Corners& c = OrientedCorners();
    *x1 = c.x[0];
    *y1 = c.y[0];
    *x2 = c.x[1];
    *y2 = c.y[1];
    *x3 = c.x[2];
    *y3 = c.y[2];
    *x4 = c.x[3];
    *y4 = c.y[3];
}

}  // namespace vx
