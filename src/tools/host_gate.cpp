#include "tools/host_gate.h"

#include "tools/live_set.h"

namespace vx {

class HostGate::SurfaceDoor final : public IDrawSurface {
public:
    SurfaceDoor(const HostGate& gate, IDrawSurface* surface) : gate_(gate), s_(surface) {}
    IDrawSurface* surface() const { return s_; }

    void MoveTo(double x, double y) override {
        if (open()) s_->MoveTo(x, y);
    }
    void LineTo(double x, double y) override {
        if (open()) s_->LineTo(x, y);
    }
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override {
        if (open()) s_->CurveTo(x1, y1, x2, y2, x3, y3);
    }
    void CurveToV(double x2, double y2, double x3, double y3) override {
        if (open()) s_->CurveToV(x2, y2, x3, y3);
    }
    void CurveToY(double x1, double y1, double x3, double y3) override {
        if (open()) s_->CurveToY(x1, y1, x3, y3);
    }
    void Rectangle(double x, double y, double w, double h) override {
        if (open()) s_->Rectangle(x, y, w, h);
    }
    void ClosePath() override {
        if (open()) s_->ClosePath();
    }
    void BeginPath(IVXPath* path) override {
        if (open()) s_->BeginPath(path);
    }
    void EndPath(IVXPath* path, int32_t endValue) override {
        if (open()) s_->EndPath(path, endValue);
    }
    void BeginOverlay() override {
        if (open()) s_->BeginOverlay();
    }
    void EndOverlay() override {
        if (open()) s_->EndOverlay();
    }
    int32_t SaveOverlay() override { return open() ? s_->SaveOverlay() : 0; }
    void RestoreOverlay(int32_t token, const double* rect) override {
        if (open()) s_->RestoreOverlay(token, rect);
    }
    void DropOverlay(int32_t token) override {
        if (open()) s_->DropOverlay(token);
    }
    void ShowOverlay(int32_t token, const double* rect) override {
        if (open()) s_->ShowOverlay(token, rect);
    }
    void SetColor(uint32_t color, int32_t minusOne) override {
        if (open()) s_->SetColor(color, minusOne);
    }
    int32_t WantsFullFigure(const double* rect) override {
        return open() ? s_->WantsFullFigure(rect) : 0;
    }
    void Refresh(double x1, double y1, double x2, double y2) override {
        if (open()) s_->Refresh(x1, y1, x2, y2);
    }
    // Shut, a mark counts as drawn: nothing is drawn in its place.
    int32_t DrawMark(double x, double y, double w, double h, int32_t type) override {
        return open() ? s_->DrawMark(x, y, w, h, type) : 1;
    }

private:
    bool open() const { return !gate_.shut(); }

    const HostGate& gate_;
    IDrawSurface* s_;
};

// A loop holding only an ICanvasHost tells by the live gates whether it holds one.
HostGate::HostGate(ICanvasHost* host) : host_(host) { LiveSet<HostGate>::Add(this); }

HostGate::~HostGate() { LiveSet<HostGate>::Remove(this); }

bool HostGate::IsShut(const ICanvasHost* host) {
    const HostGate* gate = LiveSet<HostGate>::Find(host);
    return gate && gate->shut();
}

void HostGate::ClearDoors() { doors_.clear(); }

IDrawSurface* HostGate::Door(IDrawSurface* surface) {
    if (!surface) return nullptr;
    for (const auto& door : doors_) {
        if (door->surface() == surface || door.get() == surface) return door.get();
    }
    doors_.push_back(std::make_unique<SurfaceDoor>(*this, surface));
    return doors_.back().get();
}

void HostGate::BeginTracking() {
    if (!shut_) host_->BeginTracking();
}
void HostGate::EndTracking() {
    if (!shut_) host_->EndTracking();
}
int32_t HostGate::AcceptTrackPoint(double x, double y, int32_t one) {
    return shut_ ? 0 : host_->AcceptTrackPoint(x, y, one);
}
void HostGate::AdjustPoint(double* x, double* y) {
    if (!shut_) host_->AdjustPoint(x, y);
}
double HostGate::GetRotation() { return shut_ ? 0.0 : host_->GetRotation(); }
void HostGate::BeginChange() {
    if (!shut_) host_->BeginChange();
}
int32_t HostGate::ApprovePathAdd(IVXPath* path) { return shut_ ? 0 : host_->ApprovePathAdd(path); }
int32_t HostGate::ApprovePathRemove(IVXPath* path) {
    return shut_ ? 0 : host_->ApprovePathRemove(path);
}
int32_t HostGate::ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) {
    return shut_ ? 0 : host_->ApprovePathChange(path, kind, matrix);
}
void HostGate::PathChanged(IVXPath* path, int32_t kind) {
    if (!shut_) host_->PathChanged(path, kind);
}
void HostGate::EndChange() {
    if (!shut_) host_->EndChange();
}
void HostGate::BeginSelectionChange() {
    if (!shut_) host_->BeginSelectionChange();
}
void HostGate::EndSelectionChange() {
    if (!shut_) host_->EndSelectionChange();
}
IDrawSurface* HostGate::GetSurface() { return shut_ ? nullptr : Door(host_->GetSurface()); }

}  // namespace vx
