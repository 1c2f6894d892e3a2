#include "editor/agents.h"

#include <cmath>
#include <memory>
#include <new>

#include "editor/editor.h"
#include "path/parameters.h"
#include "path/marks.h"
#include "path/path.h"
#include "platform/platform.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"

namespace vx {

namespace {

// Below this a scale factor would flatten the figure beyond recovery.
constexpr double kSmallestScale = 0.0009;

bool IsFinite(const PathTransform& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.e) && std::isfinite(m.f);
}

struct Corners {
    double x[4], y[4];  // top-left, top-right, bottom-left, bottom-right
};

Corners OrientedCorners(IVXPath* path) {
    Corners c;
    path->GetOrientedCorners(&c.x[0], &c.y[0], &c.x[1], &c.y[1], &c.x[2], &c.y[2], &c.x[3],
                             &c.y[3]);
    return c;
}

Corners PlainCorners(IVXPath* path) {
    Corners c;
    path->GetCorners(&c.x[0], &c.y[0], &c.x[1], &c.y[1], &c.x[2], &c.y[2], &c.x[3], &c.y[3]);
    return c;
}

// The outline P1, P2, P4, P3, closed.
void DrawCornerOutline(IDrawSurface* surface, const Corners& c) {
    surface->MoveTo(c.x[0], c.y[0]);
    surface->LineTo(c.x[1], c.y[1]);
    surface->LineTo(c.x[3], c.y[3]);
    surface->LineTo(c.x[2], c.y[2]);
    surface->ClosePath();
}

PathTransform Translation(double e, double f) { return PathTransform{1, 0, 0, 1, e, f}; }

// The rotation with the given cosine and sine (y downward: (1, 0) goes to (cos, sin)) that
// keeps (ax, ay) in place.
PathTransform RotationAbout(double cosine, double sine, double ax, double ay) {
    PathTransform r{cosine, sine, -sine, cosine, 0, 0};
    double mx, my;
    MapPoint(ax, ay, r, &mx, &my);
    r.e = ax - mx;
    r.f = ay - my;
    return r;
}

PathTransform Then(const PathTransform& first, const PathTransform& second) {
    PathTransform out;
    ComposeTransforms(first, second, &out);
    return out;
}

// The scale factors of handle codes 2 to 9, from the corners and the drag (dx, dy), all
// taken in the frame where the box is upright.
void HandleScale(int32_t code, const Corners& p, double dx, double dy, double* sx, double* sy) {
    const double p1x = p.x[0], p2x = p.x[1], p1y = p.y[0], p3y = p.y[2];
    *sx = 1.0;
    *sy = 1.0;
    switch (code) {
        case 2: *sx = (p1x - p2x + dx) / (p1x - p2x); break;
        case 3:
            *sx = (p1x - p2x + dx) / (p1x - p2x);
            *sy = (p1y - p3y + dy) / (p1y - p3y);
            break;
        case 4: *sy = (p1y - p3y + dy) / (p1y - p3y); break;
        case 5:
            *sx = (p2x - p1x + dx) / (p2x - p1x);
            *sy = (p1y - p3y + dy) / (p1y - p3y);
            break;
        case 6: *sx = (p2x - p1x + dx) / (p2x - p1x); break;
        case 7:
            *sx = (p2x - p1x + dx) / (p2x - p1x);
            *sy = (p3y - p1y + dy) / (p3y - p1y);
            break;
        case 8: *sy = (p3y - p1y + dy) / (p3y - p1y); break;
        case 9:
            *sx = (p1x - p2x + dx) / (p1x - p2x);
            *sy = (p3y - p1y + dy) / (p3y - p1y);
            break;
        default: break;
    }
}

// Shift makes the scaling uniform: the smaller magnitude wins unless it is exactly 1 (the
// factor of an edge handle), in which case the other one does. Signs stay.
void MakeUniform(double* sx, double* sy) {
    const double ax = std::fabs(*sx), ay = std::fabs(*sy);
    double m = ax < ay ? ax : ay;
    if (m == 1.0) m = ax < ay ? ay : ax;
    *sx = *sx < 0 ? -m : m;
    *sy = *sy < 0 ? -m : m;
}

// The edit matrix of a box-handle drag; false when the code needs a box and there is no
// handle path or the box gives no scale factor.
bool HandleMatrix(IVXPath* handlePath, double x0, double y0, double x, double y, int32_t code,
                  PathTransform* out) {
    *out = kIdentity;
    if (code == 1 || code == 17) {
        out->e = x - x0;
        out->f = y - y0;
        return true;
    }
    if (code < 2 || code > 9) return true;
    if (!handlePath) return false;

    Corners p = OrientedCorners(handlePath);
    // The edge whose direction gives the box's turn, and the corner that stays put.
    const int from = code <= 5 ? 2 : 0, to = code <= 5 ? 3 : 1;
    const int anchor = code == 5 ? 2 : code == 9 ? 1 : code <= 5 ? 3 : 0;
    const double theta = std::atan2(p.y[to] - p.y[from], p.x[to] - p.x[from]);
    const double cosine = std::cos(theta), sine = std::sin(theta);
    const double ax = p.x[anchor], ay = p.y[anchor];
    const PathTransform upright = RotationAbout(cosine, -sine, ax, ay);
    const PathTransform back = RotationAbout(cosine, sine, ax, ay);

    double sx0, sy0, sx1, sy1;
    MapPoint(x0, y0, upright, &sx0, &sy0);
    MapPoint(x, y, upright, &sx1, &sy1);
    for (int i = 0; i < 4; ++i) MapPoint(p.x[i], p.y[i], upright, &p.x[i], &p.y[i]);

    double sx, sy;
    HandleScale(code, p, sx1 - sx0, sy1 - sy0, &sx, &sy);
    // A box without extent along an axis (no flat-box margin) gives no factor; Shift must
    // not turn that into a finite one.
    if (!std::isfinite(sx) || !std::isfinite(sy)) return false;
    if (platform::KeyHeld(VX_KEY_SHIFT)) MakeUniform(&sx, &sy);

    const double mx = p.x[anchor], my = p.y[anchor];
    PathTransform m = Then(upright, Translation(-mx, -my));
    m = Then(m, PathTransform{sx, 0, 0, sy, 0, 0});
    m = Then(m, Translation(mx, my));
    *out = Then(m, back);
    return true;
}

}  // namespace

// ---- Object edit agent -----------------------------------------------------------------

CPathAgent::~CPathAgent() { ReleaseCopies(); }

void CPathAgent::ReleaseCopies() {
    for (IVXPath* copy : copies_) copy->Release();
    copies_.clear();
    edited_.clear();
}

void CPathObjAgent::Fill(IVXSelections* selections, IVXPath* single, bool copyTemplate) {
    ReleaseCopies();
    // Fresh copies carry their edited paths' transforms: no edit stands any more.
    changeKind_ = -1;
    matrix_ = kIdentity;
    handlePath_ = nullptr;
    startBox_ = Rect{};

    std::vector<IVXPath*> paths;
    if (single) {
        paths.push_back(single);
    } else if (selections) {
        const int32_t count = selections->GetCount();
        for (int32_t i = 0; i < count; ++i) {
            if (IVXPath* p = selections->GetAt(i)) paths.push_back(p);
        }
    }
    copies_.reserve(paths.size());
    edited_.reserve(paths.size());
    for (IVXPath* edited : paths) {
        CVXPath* copy = CVXPath::Create();
        if (!copy) throw std::bad_alloc();
        copies_.push_back(copy);
        edited_.push_back(edited);
        copy->CopyFrom(edited, copyTemplate ? 1 : 0);  // an empty path leaves the copy empty

        const Corners c = OrientedCorners(edited);
        const Rect box = BoxOfPoints(c.x, c.y, 4);
        if (copies_.size() == 1) startBox_ = box;
        else UnionRect(&startBox_, startBox_, box);
    }
}

void CPathObjAgent::SetEditMatrix(const PathTransform& m) {
    matrix_ = m;
    for (size_t i = 0; i < copies_.size(); ++i) {
        PathTransform own;
        edited_[i]->GetTransform(&own.a);
        const PathTransform t = Then(own, m);
        copies_[i]->SetTransform(&t.a);
    }
}

void CPathObjAgent::Rotate(IVXPath* handlePath, double x0, double y0, double x, double y) {
    if (!handlePath) return;
    changeKind_ = 2;
    handlePath_ = handlePath;

    const Corners p = OrientedCorners(handlePath);
    const double px = (p.x[0] + p.x[1] + p.x[2] + p.x[3]) / 4;
    const double py = (p.y[0] + p.y[1] + p.y[2] + p.y[3]) / 4;
    // The angle and its sine and cosine go through single precision, as the cursor
    // feedback the host shows does.
    const float phi = NarrowToSingle(std::atan2(y - py, x - px) - std::atan2(y0 - py, x0 - px));
    const double s = static_cast<double>(NarrowToSingle(std::sin(static_cast<double>(phi))));
    const double c = static_cast<double>(NarrowToSingle(std::cos(static_cast<double>(phi))));
    const PathTransform m{c, s, -s, c, px - c * px + s * py, py - s * px - c * py};
    if (IsFinite(m)) SetEditMatrix(m);
}

void CPathObjAgent::ScaleByHandle(IVXPath* handlePath, double x0, double y0, double x, double y,
                                  int32_t code) {
    handlePath_ = handlePath;
    changeKind_ = 2;
    PathTransform m;
    if (!HandleMatrix(handlePath, x0, y0, x, y, code, &m) || !IsFinite(m)) return;
    // A degenerate scale is refused: the last good matrix and copies stay.
    if (std::fabs(m.a) < kSmallestScale || std::fabs(m.d) < kSmallestScale) return;
    SetEditMatrix(m);
}

void CPathObjAgent::DragTemplateValue(int32_t index, double x, double y) {
    if (index < 0) return;
    changeKind_ = 3;
    for (size_t i = 0; i < copies_.size(); ++i) {
        CVXPath* copy = CVXPath::FromInterface(copies_[i]);
        CVXPath* edited = CVXPath::FromInterface(edited_[i]);
        const FigureTemplate* own = TemplateOf(copy);
        if (!own || !edited || own->references.size() <= static_cast<size_t>(index)) continue;

        std::unique_ptr<FigureTemplate> work(CloneTemplate(*own));
        double left, top, width, height;
        edited->GetLocalBounds(&left, &top, &width, &height);
        PathTransform t, inverse;
        edited->GetTransform(&t.a);
        InvertTransform(t, &inverse);
        double px, py;
        MapPoint(x, y, inverse, &px, &py);
        double vx = (px - left) / width;
        double vy = (py - top) / height;

        double minX, maxX, minY, maxY;
        GetReferenceLimits(*work, index, &minX, &maxX, &minY, &maxY);
        vx = vx < minX ? minX : (maxX < vx ? maxX : vx);
        vy = vy < minY ? minY : (maxY < vy ? maxY : vy);
        // A NaN point, or 0/0 on a flat frame, gives no value: this copy keeps its last state.
        if (!std::isfinite(vx) || !std::isfinite(vy)) continue;

        SetReferenceValues(*work, index, vx, vy);
        const double frame[4] = {left, top, left + width, top + height};
        BuildPathFromTemplate(copy, *work, frame);
        copy->AdoptTemplate(std::move(work));
    }
}

Rect CPathObjAgent::FeedbackRect() const {
    const Rect& b = startBox_;
    double xs[4], ys[4];
    MapPoint(b.x1, b.y1, matrix_, &xs[0], &ys[0]);
    MapPoint(b.x2, b.y1, matrix_, &xs[1], &ys[1]);
    MapPoint(b.x1, b.y2, matrix_, &xs[2], &ys[2]);
    MapPoint(b.x2, b.y2, matrix_, &xs[3], &ys[3]);
    return BoxOfPoints(xs, ys, 4);
}

void CPathObjAgent::DrawFeedback(IDrawSurface* surface) {
    surface->BeginPath(nullptr);
    for (size_t i = 0; i < copies_.size(); ++i) {
        IVXPath* copy = copies_[i];
        const Corners c = OrientedCorners(copy);
        const Rect box = BoxOfPoints(c.x, c.y, 4);
        const double rect[4] = {box.x1, box.y1, box.x2, box.y2};
        // The dragged figure is always shown in full; the host decides for the others.
        const bool handle = edited_[i] == handlePath_;
        const bool full = handle || surface->WantsFullFigure(rect) != 0;
        if (handle || !full) DrawCornerOutline(surface, c);
        if (full) {
            if (changeKind_ == 3) DrawCornerOutline(surface, PlainCorners(copy));
            static_cast<CVXPath*>(copy)->DrawPath(surface, 1, false);
        }
    }
    surface->EndPath(nullptr, 1);
}

void CPathObjAgent::Commit(ICanvasHost* host, HeldPaths* held) {
    if (changeKind_ < 0 || !host) return;
    auto stays = [held](IVXPath* path) { return !held || held->Stays(path); };
    host->BeginChange();
    const PathTransform offered = changeKind_ == 2 ? matrix_ : kIdentity;
    for (size_t i = 0; i < copies_.size(); ++i) {
        IVXPath* edited = edited_[i];
        if (!stays(edited) || host->ApprovePathChange(edited, changeKind_, offered) == 0 ||
            !stays(edited)) {
            continue;
        }
        if (changeKind_ == 3) {
            edited->CopyFrom(copies_[i], 1);
        } else {
            double t[6];
            edited->SetTransform(copies_[i]->GetTransform(t));
        }
        host->PathChanged(edited, changeKind_);
    }
    host->EndChange();
}

// ---- Node edit agent -------------------------------------------------------------------

namespace {

struct Point {
    double* x;
    double* y;
};

// Point k of a node: 0 (x1, y1), 1 (x2, y2), 2 (x3, y3); none for any other k.
Point PointOf(PathNode& n, int32_t k) {
    switch (k) {
        case 0: return {&n.x1, &n.y1};
        case 1: return {&n.x2, &n.y2};
        case 2: return {&n.x3, &n.y3};
        default: return {nullptr, nullptr};
    }
}

// Moves points by a canvas offset: the original point is taken to the canvas, shifted and
// brought back into path space.
struct PointMover {
    PathTransform toCanvas, toPath;
    double dx, dy;

    void Move(const PathNode& from, PathNode& to, int32_t k) const {
        PathNode source = from;
        const Point s = PointOf(source, k), d = PointOf(to, k);
        if (!s.x) return;
        double cx, cy;
        MapPoint(*s.x, *s.y, toCanvas, &cx, &cy);
        MapPoint(cx + dx, cy + dy, toPath, d.x, d.y);
    }
    static void Reset(const PathNode& from, PathNode& to, int32_t k) {
        PathNode source = from;
        const Point s = PointOf(source, k), d = PointOf(to, k);
        if (!s.x) return;
        *d.x = *s.x;
        *d.y = *s.y;
    }
    // A neighbouring control point follows the move while Control is held and snaps back to
    // the original otherwise.
    void Follow(bool ctrl, const PathNode& from, PathNode& to, int32_t k) const {
        if (ctrl) Move(from, to, k);
        else Reset(from, to, k);
    }
};

bool IsPointNode(const PathNode& n) { return n.kind == VX_NODE_MOVE || n.kind == VX_NODE_LINE; }

}  // namespace

NodeEditAgent::NodeEditAgent() : copy_(CVXPath::Create()) {
    if (!copy_) throw std::bad_alloc();
}

NodeEditAgent::~NodeEditAgent() { copy_->Release(); }

void NodeEditAgent::Start(IVXPath* path, int32_t nodeIndex, int32_t pointIndex) {
    target_ = path;
    nodeIndex_ = nodeIndex;
    pointIndex_ = pointIndex;
    copy_->CopyFrom(path, 0);
    foreignNodes_.clear();
    if (path && !CVXPath::FromInterface(path)) {
        foreignNodes_.resize(static_cast<size_t>(copy_->NodeCount()));
        if (!foreignNodes_.empty()) copy_->GetNodes(foreignNodes_.data(), copy_->NodeCount());
    }
}

const PathNode* NodeEditAgent::TargetNode(int32_t i) {
    if (const CVXPath* own = CVXPath::FromInterface(target_)) return own->Node(i);
    if (i < 0 || static_cast<size_t>(i) >= foreignNodes_.size()) return nullptr;
    return &foreignNodes_[static_cast<size_t>(i)];
}

void NodeEditAgent::Move(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    // Read before the node pointers are taken: the key state may be the host's code, which
    // may change the target's nodes.
    const bool ctrl = platform::KeyHeld(VX_KEY_CONTROL);
    PathNode* node = copy_->NodeAt(nodeIndex_);
    const PathNode* original = TargetNode(nodeIndex_);
    if (!node || !original) return;
    PathNode* prev = copy_->NodeAt(nodeIndex_ - 1);
    const PathNode* prevOriginal = TargetNode(nodeIndex_ - 1);
    PathNode* next = copy_->NodeAt(nodeIndex_ + 1);
    const PathNode* nextOriginal = TargetNode(nodeIndex_ + 1);
    if (!prevOriginal) prev = nullptr;
    if (!nextOriginal) next = nullptr;

    PointMover mover;
    copy_->GetTransform(&mover.toCanvas.a);
    InvertTransform(mover.toCanvas, &mover.toPath);
    mover.dx = dx;
    mover.dy = dy;

    const int32_t k = pointIndex_;
    switch (node->kind) {
        case VX_NODE_MOVE:
        case VX_NODE_LINE: mover.Move(*original, *node, 0); break;
        case VX_NODE_CUBIC: mover.Move(*original, *node, k); break;
        case VX_NODE_CUBIC_V:
        case VX_NODE_CUBIC_Y: mover.Move(*original, *node, k); return;
        default: return;
    }

    // The control points next to the moved point follow it while Control is held (keeping
    // the joint smooth) and snap back to the original otherwise.
    const bool cubic = node->kind == VX_NODE_CUBIC;
    if (prev && cubic && prev->kind == VX_NODE_CUBIC) {
        if (ctrl) {
            prev->x2 = 2 * prev->x3 - node->x1;
            prev->y2 = 2 * prev->y3 - node->y1;
        } else {
            PointMover::Reset(*prevOriginal, *prev, 1);
        }
    }
    if (next && IsPointNode(*node) &&
        (next->kind == VX_NODE_CUBIC || next->kind == VX_NODE_CUBIC_Y)) {
        mover.Follow(ctrl, *nextOriginal, *next, 0);
    }
    if (next && cubic) {
        if (k == 2) mover.Follow(ctrl, *original, *node, 1);
        if (next->kind == VX_NODE_CUBIC) {
            if (ctrl && k == 1) {
                next->x1 = 2 * node->x3 - node->x2;
                next->y1 = 2 * node->y3 - node->y2;
            } else {
                mover.Follow(ctrl, *nextOriginal, *next, 0);
            }
        }
    }
    if (!next && k == 2) mover.Follow(ctrl, *original, *node, 1);
}

Rect NodeEditAgent::FeedbackRect() {
    double x, y, w, h;
    copy_->GetBounds(&x, &y, &w, &h);
    const double half = g_parameters.HalfMarkSize();
    return Rect{x - half, y - half, x + w + half, y + h + half};
}

void NodeEditAgent::DrawFeedback(IDrawSurface* surface) {
    surface->BeginPath(copy_);
    copy_->DrawPath(surface, 1, false);

    // The tangents at the moved point, in path space: at most a previous control and end,
    // this node's three points and the next first control.
    double xs[6], ys[6];
    int n = 0;
    auto add = [&](double x, double y) {
        xs[n] = x;
        ys[n] = y;
        ++n;
    };
    if (const PathNode* node = copy_->Node(nodeIndex_)) {
        const PathNode* prev = copy_->Node(nodeIndex_ - 1);
        const PathNode* next = copy_->Node(nodeIndex_ + 1);
        const bool nextCubic = next && next->kind == VX_NODE_CUBIC;
        if (IsPointNode(*node) && nextCubic) {
            add(node->x1, node->y1);
            add(next->x1, next->y1);
        } else if (node->kind == VX_NODE_CUBIC) {
            if (pointIndex_ == 0 && prev) {
                if (prev->kind == VX_NODE_CUBIC) {
                    add(prev->x2, prev->y2);
                    add(prev->x3, prev->y3);
                } else if (IsPointNode(*prev)) {
                    add(prev->x1, prev->y1);
                }
            }
            add(node->x1, node->y1);
            add(node->x2, node->y2);
            add(node->x3, node->y3);
            if (pointIndex_ != 0 && nextCubic) add(next->x1, next->y1);
        }
    }
    if (n > 0) {
        PathTransform t;
        copy_->GetTransform(&t.a);
        for (int i = 0; i < n; ++i) MapPoint(xs[i], ys[i], t, &xs[i], &ys[i]);
        surface->MoveTo(xs[0], ys[0]);
        for (int i = 1; i < n; ++i) surface->LineTo(xs[i], ys[i]);
        for (int i = 0; i < n; ++i) PaintMark(surface, xs[i], ys[i], VX_MARK_CONTROL);
    }
    surface->EndPath(copy_, 1);
}

bool NodeEditAgent::Commit(ICanvasHost* host, HeldPaths* held) {
    if (!host || !target_) return false;
    auto stays = [this, held] { return !held || held->Stays(target_); };
    host->BeginChange();
    const bool approved = stays() && host->ApprovePathChange(target_, 3, kIdentity) != 0 && stays();
    if (approved) {
        // Without its template: the figure no longer follows the template's outline.
        target_->CopyFrom(copy_, 0);
        host->PathChanged(target_, 3);
    }
    host->EndChange();
    return approved;
}

}  // namespace vx
