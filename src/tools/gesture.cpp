#include "tools/gesture.h"

namespace vx::tools {

Rect BoxOf(CanvasPoint a, CanvasPoint b) { return NormalizeRect(Rect{a.x, a.y, b.x, b.y}); }

Gesture::Gesture(ICanvasHost* host) : host_(host), surface_(host->GetSurface()) {
    if (!surface_) {
        open_ = false;
        return;
    }
    surface_->BeginOverlay();
    host_->BeginTracking();
    token_ = surface_->SaveOverlay();
}

Gesture::~Gesture() {
    if (open_) Cancel();
}

CanvasPoint Gesture::Adjust(double x, double y) const {
    CanvasPoint p{x, y};
    host_->AdjustPoint(&p.x, &p.y);
    return p;
}

void Gesture::Restore(const Rect* rect) {
    surface_->RestoreOverlay(token_, rect ? &rect->x1 : nullptr);
}

void Gesture::ShowUnion(const Rect& fresh) {
    Rect shown;
    UnionRect(&shown, fresh, old);
    surface_->ShowOverlay(token_, &shown.x1);
    old = fresh;
}

void Gesture::Close() {
    open_ = false;
    surface_->DropOverlay(token_);
    surface_->EndOverlay();
    host_->EndTracking();
}

bool Gesture::Finish(bool result) {
    Close();
    return result;
}

bool Gesture::Cancel() {
    surface_->RestoreOverlay(token_, nullptr);
    surface_->ShowOverlay(token_, nullptr);
    Close();
    return false;
}

}  // namespace vx::tools
