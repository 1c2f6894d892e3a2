// HitTestPath, IsInsideRect and the outline test they build on.
#include "path/hit_test.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/nearest_point.h"
#include "path/hit_test_steps.h"
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
    const ScreenMap toScreen(host);
    if (!WidenedBoxHolds(corners, toScreen, sizes.mark, x, y)) return kHitNothing;
    return HitTestNearPath(
        toScreen, [selection](CVXPath* path) { return selection && selection->Contains(path); }, x,
        y, mode, part, sizes);
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
