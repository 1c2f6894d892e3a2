#include "editor/tracking.h"

#include <cstdlib>

#include "editor/agents.h"
#include "editor/editor.h"
#include "geometry/transform.h"
#include "path/hit_test.h"
#include "path/path.h"
#include "platform/platform.h"
#include "tools/message_loop.h"

namespace vx {

namespace {

using tools::ScreenPoint;

enum class End { Commit, Cancel };

// The message table the three loops share. Only the treatment of key-up messages differs:
// the node tracking lets them through, so that the host sees Control released. Before each
// message the loop makes sure that the paths it works on are still on the canvas.
class Tracker {
public:
    virtual void Track(const platform::Message& msg) = 0;

    End Run(CVXEditor& editor, HeldPaths* held, bool dispatchKeyUp) {
        for (;;) {
            platform::Message msg;
            if (held && !held->AllStay()) return End::Cancel;
            if (!tools::TakeMessage(editor.Host(), &msg)) return End::Cancel;
            switch (msg.message) {
                case VX_WM_ACTIVATE:
                case VX_WM_ACTIVATEAPP:
                    if (msg.wParam == 0) return End::Cancel;
                    break;
                case VX_WM_KEYDOWN:
                case VX_WM_SYSKEYDOWN:
                    if (msg.wParam == VX_KEY_ALT || msg.wParam == VX_KEY_ESCAPE) return End::Cancel;
                    break;
                case VX_WM_KEYUP:
                case VX_WM_SYSKEYUP:
                    if (dispatchKeyUp) platform::DispatchUnconsumed(msg);
                    break;
                case VX_WM_MOUSEMOVE: Track(msg); break;
                case VX_WM_LBUTTONUP: return End::Commit;
                case VX_WM_RBUTTONDOWN:
                case VX_WM_RBUTTONUP:
                case VX_WM_CAPTURECHANGED: return End::Cancel;
                default: platform::DispatchUnconsumed(msg); break;
            }
        }
    }

protected:
    ~Tracker() = default;
};

struct CanvasPoint {
    double x, y;
};

CanvasPoint Adjusted(ICanvasHost* host, double x, double y) {
    host->AdjustPoint(&x, &y);
    return {x, y};
}

Rect Union(const Rect& a, const Rect& b) {
    Rect out;
    UnionRect(&out, a, b);
    return out;
}

// One feedback step: the old rectangle restored, the agent's copies drawn, and the union of
// the old and the new rectangle shown; the new one becomes the old one.
template <typename Agent>
void ShowAgent(IDrawSurface* surface, int32_t token, Agent& agent, Rect* previous) {
    surface->RestoreOverlay(token, &previous->x1);
    agent.DrawFeedback(surface);
    const Rect fresh = agent.FeedbackRect();
    const Rect shown = Union(*previous, fresh);
    surface->ShowOverlay(token, &shown.x1);
    *previous = fresh;
}

class TransformTracker final : public Tracker {
public:
    TransformTracker(CVXEditor& editor, IDrawSurface* surface, int32_t token, CanvasPoint start,
                     ScreenPoint last, int32_t code, IVXPath* hovered, int32_t part,
                     CPathObjAgent& agent)
        : editor_(editor),
          host_(editor.Host()),
          surface_(surface),
          token_(token),
          start_(start),
          last_(last),
          code_(code),
          hovered_(hovered),
          part_(part),
          agent_(agent),
          previous_(agent.FeedbackRect()) {}

    void Track(const platform::Message& msg) override {
        const ScreenPoint at = tools::MessagePoint(msg);
        if (at == last_) return;
        last_ = at;
        const double sx = static_cast<double>(at.x), sy = static_cast<double>(at.y);
        if (!host_->AcceptTrackPoint(sx, sy, 1)) return;
        const CanvasPoint p = Adjusted(host_, sx, sy);
        if (code_ == kHitRing) {
            agent_.Rotate(hovered_, start_.x, start_.y, p.x, p.y);
        } else if (code_ == kHitReference) {
            agent_.DragTemplateValue(part_, p.x, p.y);
        } else {
            agent_.ScaleByHandle(hovered_, start_.x, start_.y, p.x, p.y, code_);
            // The handle's angle follows the scaled box: the hovered path wears the edit
            // for the length of one feedback call.
            PathTransform own, edited;
            hovered_->GetTransform(&own.a);
            ComposeTransforms(own, agent_.EditMatrix(), &edited);
            hovered_->SetTransform(&edited.a);
            editor_.SendFeedback(hovered_, code_, 1, 1);
            hovered_->SetTransform(&own.a);
        }
        ShowAgent(surface_, token_, agent_, &previous_);
    }

private:
    CVXEditor& editor_;
    ICanvasHost* host_;
    IDrawSurface* surface_;
    int32_t token_;
    CanvasPoint start_;
    ScreenPoint last_;
    int32_t code_;
    IVXPath* hovered_;
    int32_t part_;
    CPathObjAgent& agent_;
    Rect previous_;
};

class NodeTracker final : public Tracker {
public:
    NodeTracker(ICanvasHost* host, IDrawSurface* surface, int32_t token, CanvasPoint start,
                CanvasPoint last, NodeEditAgent& agent)
        : host_(host),
          surface_(surface),
          token_(token),
          start_(start),
          last_(last),
          agent_(agent),
          previous_(agent.FeedbackRect()) {}

    void Track(const platform::Message& msg) override {
        const ScreenPoint at = tools::MessagePoint(msg);
        const CanvasPoint screen{static_cast<double>(at.x), static_cast<double>(at.y)};
        if (screen.x == last_.x && screen.y == last_.y) return;
        host_->AcceptTrackPoint(screen.x, screen.y, 1);  // the node follows regardless
        last_ = screen;
        const CanvasPoint p = Adjusted(host_, screen.x, screen.y);
        agent_.Move(p.x - start_.x, p.y - start_.y);
        ShowAgent(surface_, token_, agent_, &previous_);
    }

private:
    ICanvasHost* host_;
    IDrawSurface* surface_;
    int32_t token_;
    CanvasPoint start_;
    CanvasPoint last_;
    NodeEditAgent& agent_;
    Rect previous_;
};

class BandTracker final : public Tracker {
public:
    BandTracker(ICanvasHost* host, IDrawSurface* surface, int32_t token, CanvasPoint anchor,
                ScreenPoint start)
        : host_(host),
          surface_(surface),
          token_(token),
          anchor_(anchor),
          moving_(anchor),
          start_(start),
          last_(start) {}

    void Track(const platform::Message& msg) override {
        ScreenPoint at = tools::MessagePoint(msg);
        if (at == last_) return;
        if (platform::KeyHeld(VX_KEY_SHIFT)) {
            const int64_t ax = std::llabs(at.x - start_.x), ay = std::llabs(at.y - start_.y);
            const int64_t d = ax > ay ? ax : ay;
            if (ax >= ay) {
                at.y = at.y > start_.y ? start_.y + d : start_.y - d;
            } else {
                at.x = at.x > start_.x ? start_.x + d : start_.x - d;
            }
        }
        const Rect old = Band();
        surface_->RestoreOverlay(token_, &old.x1);
        const double sx = static_cast<double>(at.x), sy = static_cast<double>(at.y);
        host_->AcceptTrackPoint(sx, sy, 1);
        moving_ = Adjusted(host_, sx, sy);
        surface_->BeginPath(nullptr);
        surface_->Rectangle(anchor_.x, anchor_.y, moving_.x - anchor_.x, moving_.y - anchor_.y);
        surface_->EndPath(nullptr, 1);
        const Rect shown = Union(old, Band());
        surface_->ShowOverlay(token_, &shown.x1);
        last_ = at;
    }

    // The band ordered into least and greatest x and y.
    Rect Band() const { return NormalizeRect(Rect{anchor_.x, anchor_.y, moving_.x, moving_.y}); }
    bool Empty() const { return moving_.x == anchor_.x && moving_.y == anchor_.y; }
    CanvasPoint Anchor() const { return anchor_; }
    CanvasPoint Moving() const { return moving_; }

private:
    ICanvasHost* host_;
    IDrawSurface* surface_;
    int32_t token_;
    CanvasPoint anchor_;
    CanvasPoint moving_;
    ScreenPoint start_;
    ScreenPoint last_;
};

// The closing calls of the node and band loops: the overlay is wiped before it is dropped.
void CloseWiped(ICanvasHost* host, IDrawSurface* surface, int32_t token) {
    surface->RestoreOverlay(token, nullptr);
    surface->ShowOverlay(token, nullptr);
    surface->DropOverlay(token);
    surface->EndOverlay();
    host->EndTracking();
}

}  // namespace

void TrackTransform(CVXEditor& editor, HeldPaths& held, double x, double y, int32_t code,
                    IVXPath* hovered, int32_t part) {
    ICanvasHost* host = editor.Host();
    CPathObjAgent agent;
    agent.Fill(&editor.Selections(), code == kHitReference ? hovered : nullptr, true);
    for (int32_t i = 0; i < agent.Count(); ++i) held.Hold(agent.EditedAt(i));
    editor.SendFeedback(hovered, code, 1, 1);

    IDrawSurface* surface = host->GetSurface();
    if (!surface) return;  // nowhere to show the edit: nothing can be tracked
    surface->BeginOverlay();
    host->BeginTracking();
    const int32_t token = surface->SaveOverlay();
    const ScreenPoint last = tools::TruncatePoint(x, y);
    const CanvasPoint start = Adjusted(host, x, y);

    TransformTracker tracker(editor, surface, token, start, last, code, hovered, part, agent);
    const End end = tracker.Run(editor, &held, false);

    surface->DropOverlay(token);
    surface->Refresh(0, 0, 0, 0);
    surface->EndOverlay();
    host->EndTracking();
    if (end == End::Commit) agent.Commit(host, &held);
}

void TrackNode(CVXEditor& editor, HeldPaths& held, double x, double y, int32_t code,
               IVXPath* hovered, int32_t part) {
    if (code != kHitNode && code != kHitControl) return;
    ICanvasHost* host = editor.Host();
    editor.SendFeedback(hovered, code, 1, 1);
    NodeEditAgent agent;
    // The part carries the node index above its lowest eight bits and the point below.
    agent.Start(hovered, part >> 8, part & 0xFF);

    IDrawSurface* surface = host->GetSurface();
    if (!surface) return;
    surface->BeginOverlay();
    host->BeginTracking();
    const int32_t token = surface->SaveOverlay();

    NodeTracker tracker(host, surface, token, Adjusted(host, x, y), CanvasPoint{x, y}, agent);
    const End end = tracker.Run(editor, &held, true);

    CloseWiped(host, surface, token);
    if (end == End::Commit) agent.Commit(host, &held);
}

void TrackRubberBand(CVXEditor& editor, double x, double y) {
    ICanvasHost* host = editor.Host();
    IDrawSurface* surface = host->GetSurface();
    if (!surface) return;
    surface->BeginOverlay();
    host->BeginTracking();
    const int32_t token = surface->SaveOverlay();
    editor.SendFeedback(editor.HoveredPath(), kHitNothing, 1, 0);

    BandTracker band(host, surface, token, Adjusted(host, x, y), tools::TruncatePoint(x, y));
    bool changed = false;
    if (band.Run(editor, nullptr, false) == End::Commit) {
        host->BeginSelectionChange();
        CVXSelections& selections = editor.Selections();
        changed = selections.GetCount() != 0;
        selections.Clear();
        if (!band.Empty()) {
            const CanvasPoint a = band.Anchor(), m = band.Moving();
            for (IVXPath* path : editor.Paths()) {
                CVXPath* own = CVXPath::FromInterface(path);
                if (own && own->IsInsideRect(a.x, a.y, m.x, m.y)) {
                    selections.Add(path);
                    changed = true;
                }
            }
        }
        host->EndSelectionChange();
    }
    CloseWiped(host, surface, token);
    if (changed) surface->Refresh(0, 0, 0, 0);
}

}  // namespace vx
