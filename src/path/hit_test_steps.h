// The steps of CVXPath::HitTestPath after the box test, as templates over the way to the
// screen and the selection: HitTestPath gives them the host's table and the selection's, the
// editor its own gate and selection, so that its hover test at every mouse move makes the
// host's calls without a call layer of its own between them.
//
// toScreen(double* x, double* y) maps a canvas point to the screen; selected(CVXPath*) tells
// whether the path is selected. Either may run host code, which may change this path: its
// lists are read by index at each step, and the nodes and corners copied.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/rect.h"
#include "geometry/transform.h"
#include "ostrel/ostrel.h"
#include "path/hit_test.h"
#include "path/path.h"

namespace vx {

namespace hit_detail {

inline bool InMarkBox(double px, double py, double x, double y, double mark, double half) {
    return PointInRect(Rect{px - half, py - half, px - half + mark, py - half + mark}, x, y);
}

inline bool InRingBox(double px, double py, double x, double y, double mark) {
    return PointInRect(Rect{px - mark, py - mark, px + mark, py + mark}, x, y);
}

// A box handle in canvas space: corner a when a == b, the midpoint of corners a and b
// otherwise, and the mean of all four corners when a < 0. In line, so that the unrolled
// handle loop knows a and b at compile time.
[[gnu::always_inline]] inline void HandlePoint(const double cx[4], const double cy[4], int a, int b,
                                               double* hx, double* hy) {
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

}  // namespace hit_detail

template <typename Screen, typename Selected>
[[gnu::always_inline]] inline int32_t CVXPath::HitTestNearPath(const Screen& toScreen,
                                                               const Selected& selected, double x,
                                                               double y, int32_t mode,
                                                               int32_t* part,
                                                               const HitSizes& sizes) {
    int32_t unused;
    if (!part) part = &unused;
    *part = -1;
    if (mode == 0 && selected(this)) {
        const int32_t code = HitTestHandles(toScreen, x, y, part, sizes);
        if (code != kHitNothing) return code;
    }
    return HitTestNodes(toScreen, x, y, part, sizes);
}

template <typename Screen>
[[gnu::always_inline]] inline int32_t CVXPath::HitTestHandles(const Screen& toScreen, double x,
                                                              double y, int32_t* part,
                                                              const HitSizes& sizes) {
    using hit_detail::HandlePoint;
    using hit_detail::InMarkBox;
    using hit_detail::InRingBox;
    const double mark = sizes.mark;
    const double half = sizes.half;
    const double tolerance = sizes.tolerance;

    // Corners P1 top-left, P2 top-right, P3 bottom-left, P4 bottom-right, canvas space.
    double cx[4], cy[4];
    const Corners& corners = OrientedCorners();
    for (int i = 0; i < 4; ++i) cx[i] = corners.x[i], cy[i] = corners.y[i];
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
#pragma GCC unroll 9
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

template <typename Screen>
int32_t CVXPath::HitTestNodes(const Screen& toScreen, double x, double y, int32_t* part,
                              const HitSizes& sizes) {
    using hit_detail::InMarkBox;
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

}  // namespace vx
