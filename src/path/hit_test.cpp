// HitTestPath, IsInsideRect and the outline test they build on.
#include "path/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/nearest_point.h"
#include "path/parameters.h"
#include "path/path.h"
#include "platform/debug_output.h"
#include "text/saturate.h"

namespace vx {

namespace {

// A sum of squares as the outline test measures it: truncated toward zero where it fits in
// 32 bits, so that small distances compare as they always have, and exact beyond (a
// segment longer than about 46,341 screen units at high zoom). NaN stays NaN: never near.
double SquareMeasure(double v) { return v < 2147483648.0 ? std::trunc(v) : v; }

bool InMarkBox(double px, double py, double x, double y, double mark, double half) {
    return PointInRect(Rect{px - half, py - half, px - half + mark, py - half + mark}, x, y);
}

bool InRingBox(double px, double py, double x, double y, double mark) {
    return PointInRect(Rect{px - mark, py - mark, px + mark, py + mark}, x, y);
}

// A box handle in canvas space: corner a when a == b, the midpoint of corners a and b
// otherwise, and the mean of all four corners when a < 0.
void HandlePoint(const double cx[4], const double cy[4], int a, int b, double* hx, double* hy) {
    if (a < 0) {
        *hx = (cx[0] + cx[1] + cx[2] + cx[3]) / 4.0;
        *hy = (cy[0] + cy[1] + cy[2] + cy[3]) / 4.0;
    } else if (a == b) {
        *hx = cx[a];
        *hy = cy[a];
    } else {
        *hx = (cx[a] + cx[b]) / 2.0;
        *hy = (cy[a] + cy[b]) / 2.0;
    }
}

// Canvas to screen through the host; without a host the two coincide.
class ScreenMap {
public:
    explicit ScreenMap(ICanvasHost* host) : host_(host) {}
    void operator()(double* x, double* y) const {
        if (host_) host_->ToScreen(x, y);
    }

private:
    ICanvasHost* host_;
};

}  // namespace

int32_t SegmentHit(double x1, double y1, double x2, double y2, double px, double py,
                   double tolerance, int32_t* crossings, int32_t* winding) {
    const double ymin = y1 < y2 ? y1 : y2;
    const double ymax = y1 > y2 ? y1 : y2;
    if (ymin - tolerance > py || py > ymax + tolerance) return 0;
    const double dx = px - x1;
    const double dy = py - y1;
    const double d1 = SquareMeasure(dx * dx + dy * dy);
    if (x1 == x2 && y1 == y2) return d1 < SquareMeasure(tolerance * tolerance) ? 1 : 0;

    const double ex = x2 - x1;
    const double ey = y2 - y1;
    const double cross = ex * dy - ey * dx;
    const double dot = ex * dx + ey * dy;
    double squared;
    if (dot < 0.0) {
        squared = d1;  // before the start
    } else if ((x2 - px) * ex + (y2 - py) * ey < 0.0) {
        squared = (px - x2) * (px - x2) + (py - y2) * (py - y2);  // beyond the end
    } else {
        // A length that truncates to 0 divides into infinity or NaN: never a hit.
        squared = cross * cross / SquareMeasure(ex * ex + ey * ey);
    }
    if (tolerance * tolerance > squared) return 1;

    // The ray from the point toward smaller x crosses the segment when the segment spans
    // the point's y (half-open) and meets that line left of the point.
    if (ymin <= py && py < ymax && ey * cross < 0.0) {
        if (crossings) *crossings += 1;
        if (winding) *winding += ey <= 0.0 ? 1 : -1;
    }
    return 0;
}

int32_t PathOutlineHit(const double* list, int32_t nodeCount, int32_t fillRule, double px,
                       double py, double tolerance) {
    double curX = 0.0, curY = 0.0;
    double startX = 0.0, startY = 0.0;
    int32_t crossings = 0;
    int32_t winding = 0;
    const double* p = list;
    bool reading = list != nullptr;
    for (int32_t number = 1; reading && number <= nodeCount; ++number) {
        // NaN reads as the largest kind, so an unreadable kind ends the outline.
        switch (SaturateToInt32(*p++, INT32_MAX)) {
            case VX_NODE_MOVE:
                curX = startX = p[0];
                curY = startY = p[1];
                p += 2;
                break;
            case VX_NODE_LINE:
                if (SegmentHit(curX, curY, p[0], p[1], px, py, tolerance, &crossings, &winding) ==
                    1)
                    return number;
                curX = p[0];
                curY = p[1];
                p += 2;
                break;
            case VX_NODE_CUBIC: {
                const geom::Point2 v[4] = {{curX, curY}, {p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]}};
                std::optional<double> t;
                const int32_t hit =
                    geom::CurveSegmentHit(v, px, py, tolerance, &crossings, &winding, &t);
                if (t) platform::PrintCurveParameter(*t);
                if (hit == 1) return number;
                curX = p[4];
                curY = p[5];
                p += 6;
                break;
            }
            case VX_NODE_CLOSE:
                if (SegmentHit(curX, curY, startX, startY, px, py, tolerance, &crossings,
                               &winding) == 1)
                    return number;
                // The next subpath starts where this one's last point was, not at its start.
                startX = curX;
                startY = curY;
                break;
            case VX_NODE_CUBIC_V:
            case VX_NODE_CUBIC_Y:
            case VX_NODE_RECT: break;  // input forms carry no points in a flattened outline
            default: reading = false; break;
        }
    }
    if (fillRule == VX_FILL_NONZERO) return winding != 0 ? 1 : 0;
    if (fillRule == VX_FILL_EVENODD) return crossings & 1;
    return 0;
}

int32_t CVXPath::HitTestPath(ICanvasHost* host, IVXSelections* selection, double x, double y,
                             int32_t mode, int32_t* part) {
    int32_t unused;
    if (!part) part = &unused;
    *part = -1;
    const HitSizes sizes;
    // Most paths are far from the mouse: their box, widened enough to hold every handle
    // and ring, rejects the point before anything else is looked at.
    const Rect corners = CornerBox();
    if (!WidenedBoxHolds(corners, ScreenMap(host), sizes.mark, x, y)) return kHitNothing;
    return HitTestNearPath(host, selection, x, y, mode, part, sizes);
}

int32_t CVXPath::HitTestNearPath(ICanvasHost* host, IVXSelections* selection, double x, double y,
                                 int32_t mode, int32_t* part, const HitSizes& sizes) {
    int32_t unused;
    if (!part) part = &unused;
    *part = -1;
    if (mode == 0 && selection && selection->Contains(this)) {
        const int32_t code = HitTestHandles(host, x, y, part, sizes);
        if (code != kHitNothing) return code;
    }
    return HitTestNodes(host, x, y, part, sizes);
}

// ToScreen is the host's code, which may change this path meanwhile: its lists are read by
// index at each step, and the nodes copied.
int32_t CVXPath::HitTestHandles(ICanvasHost* host, double x, double y, int32_t* part,
                                const HitSizes& sizes) {
    const ScreenMap toScreen(host);
    const double mark = sizes.mark;
    const double half = sizes.half;
    const double tolerance = sizes.tolerance;

    // Corners P1 top-left, P2 top-right, P3 bottom-left, P4 bottom-right, canvas space.
    double cx[4], cy[4];
    const Corners& corners = OrientedCorners();
    std::copy(corners.x, corners.x + 4, cx);
    std::copy(corners.y, corners.y + 4, cy);
    for (size_t i = 0; i + 1 < referencePoints_.size(); i += 2) {
        double sx, sy;
        MapPoint(referencePoints_[i], referencePoints_[i + 1], transform_, &sx, &sy);
        toScreen(&sx, &sy);
        *part = static_cast<int32_t>((i / 2) & 0xFF);
        if (InMarkBox(sx, sy, x, y, mark, half)) return kHitReference;
    }

    // The nine box handles in the order they are tried: a corner, the midpoint of two
    // (a != b), or the mean of all four; each placed only when its turn comes, as most
    // moves end at the first one tried.
    struct Handle {
        int a, b;
        int32_t code;
    };
    static constexpr Handle kHandles[9] = {
        {0, 0, kHitTopLeft},    {0, 1, kHitTop},         {1, 1, kHitTopRight},
        {1, 3, kHitRight},      {3, 3, kHitBottomRight}, {2, 3, kHitBottom},
        {2, 2, kHitBottomLeft}, {0, 2, kHitLeft},        {-1, -1, kHitCenter},
    };
    for (const Handle& h : kHandles) {
        double hx, hy;
        HandlePoint(cx, cy, h.a, h.b, &hx, &hy);
        toScreen(&hx, &hy);
        if (InMarkBox(hx, hy, x, y, mark, half)) return h.code;
        *part = h.code;
        if (InRingBox(hx, hy, x, y, mark)) return kHitRing;
    }

    // The box's edges, each pair of corners mapped to the screen as it is tested.
    struct Edge {
        int a, b;
        int32_t code;
    };
    const Edge edges[4] = {
        {0, 1, kHitTop}, {1, 3, kHitRight}, {2, 3, kHitBottom}, {0, 2, kHitLeft}};
    for (const Edge& e : edges) {
        double ax = cx[e.a], ay = cy[e.a], bx = cx[e.b], by = cy[e.b];
        toScreen(&ax, &ay);
        toScreen(&bx, &by);
        if (SegmentHit(ax, ay, bx, by, x, y, tolerance, nullptr, nullptr)) return e.code;
    }
    return kHitNothing;
}

int32_t CVXPath::HitTestNodes(ICanvasHost* host, double x, double y, int32_t* part,
                              const HitSizes& sizes) {
    const ScreenMap toScreen(host);
    const double mark = sizes.mark;
    const double half = sizes.half;
    const double tolerance = sizes.tolerance;

    // Node marks take precedence over every segment, so the outline is collected while the
    // marks are tested and examined only when no mark is hit.
    std::vector<double> outline;
    outline.reserve(nodes_.size() * 7);
    uint32_t base = 0;  // node index * 256; wraps rather than overflowing
    int32_t collected = 0;
    for (size_t i = 0; i < nodes_.size(); ++i, ++collected) {
        const PathNode n = nodes_[i];
        outline.push_back(static_cast<double>(n.kind));
        if (n.kind == VX_NODE_MOVE || n.kind == VX_NODE_LINE) {
            double sx, sy;
            MapPoint(n.x1, n.y1, transform_, &sx, &sy);
            toScreen(&sx, &sy);
            *part = static_cast<int32_t>(base);
            if (InMarkBox(sx, sy, x, y, mark, half)) return kHitNode;
            outline.push_back(sx);
            outline.push_back(sy);
        } else if (n.kind == VX_NODE_CUBIC) {
            const double points[3][2] = {{n.x1, n.y1}, {n.x2, n.y2}, {n.x3, n.y3}};
            for (uint32_t j = 0; j < 3; ++j) {
                double sx, sy;
                MapPoint(points[j][0], points[j][1], transform_, &sx, &sy);
                toScreen(&sx, &sy);
                *part = static_cast<int32_t>(base + j);
                if (InMarkBox(sx, sy, x, y, mark, half)) return j < 2 ? kHitControl : kHitNode;
                outline.push_back(sx);
                outline.push_back(sy);
            }
        }
        base += 256;
    }

    *part = -1;
    if (collected == 0) return kHitNothing;
    const int32_t rule = fillObject_ ? fillObject_->FillRule() : VX_FILL_NONE;
    return PathOutlineHit(outline.data(), collected, rule, x, y, tolerance) > 0 ? kHitFigure
                                                                                : kHitNothing;
}

bool CVXPath::IsInsideRect(double x1, double y1, double x2, double y2) {
    const Rect rect = NormalizeRect(Rect{x1, y1, x2, y2});
    auto inside = [&](double px, double py) {
        double cx, cy;
        MapPoint(px, py, transform_, &cx, &cy);
        return PointInRect(rect, cx, cy);
    };
    for (const PathNode& n : nodes_) {
        if (n.kind == VX_NODE_MOVE || n.kind == VX_NODE_LINE) {
            if (!inside(n.x1, n.y1)) return false;
        } else if (n.kind == VX_NODE_CUBIC) {
            if (!inside(n.x1, n.y1) || !inside(n.x2, n.y2) || !inside(n.x3, n.y3)) return false;
        }
    }
    return true;
}

}  // namespace vx
