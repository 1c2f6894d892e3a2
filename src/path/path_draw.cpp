// How a path describes its outline and its selection marks to the host's surface.
#include <vector>

#include "path/marks.h"
#include "path/path.h"

namespace vx {

// One selection mark, canvas space, with its VX_MARK_* type.
struct CVXPath::Mark {
    double x, y;
    int32_t type;
};

// The surface is the host's code, which may change this path while it is described: the
// nodes are read by index and copied before each call, and the transform is read at each
// node.
void CVXPath::DrawPath(IDrawSurface* surface, int32_t endValue, bool bracket) {
    if (bracket) surface->BeginPath(this);
    const PathTransform& t = transform_;
    for (size_t i = 0; i < nodes_.size(); ++i) {
        const PathNode n = nodes_[i];
        double x1, y1, x2, y2, x3, y3;
        switch (n.kind) {
            case VX_NODE_MOVE:
                MapPoint(n.x1, n.y1, t, &x1, &y1);
                surface->MoveTo(x1, y1);
                break;
            case VX_NODE_LINE:
                MapPoint(n.x1, n.y1, t, &x1, &y1);
                surface->LineTo(x1, y1);
                break;
            case VX_NODE_CUBIC:
                MapPoint(n.x1, n.y1, t, &x1, &y1);
                MapPoint(n.x2, n.y2, t, &x2, &y2);
                MapPoint(n.x3, n.y3, t, &x3, &y3);
                surface->CurveTo(x1, y1, x2, y2, x3, y3);
                break;
            case VX_NODE_CLOSE: surface->ClosePath(); break;
            default: break;
        }
    }
    if (bracket) surface->EndPath(this, endValue);
}

// Node mode: a mark on every node and control point, and the arms from each curve's
// controls to its anchors.
void CVXPath::TrackNodes(IDrawSurface* surface, std::vector<Mark>* out) {
    std::vector<Mark>& marks = *out;
    const PathTransform& t = transform_;
    marks.reserve(nodes_.size() + nodes_.size() / 2);
    double ax = 0.0, ay = 0.0;  // last anchor
    for (size_t i = 0; i < nodes_.size(); ++i) {
        const PathNode n = nodes_[i];
        double x1, y1, x2, y2, x3, y3;
        switch (n.kind) {
            case VX_NODE_MOVE:
            case VX_NODE_LINE:
                MapPoint(n.x1, n.y1, t, &x1, &y1);
                marks.push_back({x1, y1, VX_MARK_NODE});
                ax = x1;
                ay = y1;
                break;
            case VX_NODE_CUBIC:
                MapPoint(n.x1, n.y1, t, &x1, &y1);
                MapPoint(n.x2, n.y2, t, &x2, &y2);
                MapPoint(n.x3, n.y3, t, &x3, &y3);
                surface->MoveTo(ax, ay);
                surface->LineTo(x1, y1);
                surface->MoveTo(x2, y2);
                surface->LineTo(x3, y3);
                marks.push_back({x1, y1, VX_MARK_CONTROL});
                marks.push_back({x2, y2, VX_MARK_CONTROL});
                marks.push_back({x3, y3, VX_MARK_NODE});
                ax = x3;
                ay = y3;
                break;
            case VX_NODE_CLOSE: surface->ClosePath(); break;
            default: break;
        }
    }
}

// Object mode: the oriented box with its nine handles and the reference handles.
void CVXPath::TrackBox(IDrawSurface* surface, std::vector<Mark>* out) {
    std::vector<Mark>& marks = *out;
    const PathTransform& t = transform_;
    double p[8];  // P1 top-left, P2 top-right, P3 bottom-left, P4 bottom-right
    GetOrientedCorners(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6], &p[7]);
    const double x1 = p[0], y1 = p[1], x2 = p[2], y2 = p[3];
    const double x3 = p[4], y3 = p[5], x4 = p[6], y4 = p[7];
    marks.reserve(9 + referencePoints_.size() / 2);
    marks.push_back({x1, y1, VX_MARK_BOX_HANDLE});
    marks.push_back({(x1 + x3) / 2.0, (y1 + y3) / 2.0, VX_MARK_BOX_HANDLE});
    marks.push_back({x3, y3, VX_MARK_BOX_HANDLE});
    marks.push_back({(x1 + x2) / 2.0, (y1 + y2) / 2.0, VX_MARK_BOX_HANDLE});
    marks.push_back({x2, y2, VX_MARK_BOX_HANDLE});
    marks.push_back({(x2 + x4) / 2.0, (y2 + y4) / 2.0, VX_MARK_BOX_HANDLE});
    marks.push_back({x4, y4, VX_MARK_BOX_HANDLE});
    marks.push_back({(x3 + x4) / 2.0, (y3 + y4) / 2.0, VX_MARK_BOX_HANDLE});
    marks.push_back({(x1 + x2 + x3 + x4) / 4.0, (y1 + y2 + y3 + y4) / 4.0, VX_MARK_CENTER});
    surface->MoveTo(x1, y1);
    surface->LineTo(x3, y3);
    surface->LineTo(x4, y4);
    surface->LineTo(x2, y2);
    surface->LineTo(x1, y1);
    for (size_t i = 0; i + 1 < referencePoints_.size(); i += 2) {
        double rx, ry;
        MapPoint(referencePoints_[i], referencePoints_[i + 1], t, &rx, &ry);
        marks.push_back({rx, ry, VX_MARK_REFERENCE});
    }
}

void CVXPath::DrawTracker(IDrawSurface* surface, int32_t mode, bool bracket, bool drawMarks) {
    if (bracket) surface->BeginPath(this);
    std::vector<Mark> marks;
    if (mode == 1) {
        TrackNodes(surface, &marks);
    } else if (mode == 0) {
        TrackBox(surface, &marks);
    }
    if (drawMarks) {
        for (const Mark& m : marks) PaintMark(surface, m.x, m.y, m.type);
    }
    if (bracket) surface->EndPath(this, 1);
}

}  // namespace vx
