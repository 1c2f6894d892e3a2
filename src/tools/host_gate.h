// The one way out of a canvas to its host: every call that a canvas, its tracking loops,
// its agents, its hit test and its own tools make on the host or on a surface the host
// handed out goes through the canvas's gate.
//
// While the gate is open it passes each call through unchanged. A canvas being destroyed
// inside one of its own calls (a host callback or a window procedure of a loop called
// VX_DestroyGraphicCanvas) shuts its gate: from then on every call ends at the gate with a
// neutral answer (nothing approved, no point accepted, no surface, points unchanged), so
// the code still on its way out of the canvas reaches the host no more, and the loops end
// as a cancel at their next message (TakeMessage asks IsShut).
//
// The surfaces seen through a gate are doors the gate owns, one per surface the host has
// handed out; the canvas drops them when no call into it is running (none holds a door
// then), so a host that makes a surface per operation does not pile them up.
#pragma once

#include <memory>
#include <vector>

#include "ostrel/ostrel.h"

namespace vx {

class HostGate final : public ICanvasHost {
public:
    explicit HostGate(ICanvasHost* host);
    ~HostGate();
    HostGate(const HostGate&) = delete;
    HostGate& operator=(const HostGate&) = delete;

    ICanvasHost* host() const { return host_; }
    void Shut() { shut_ = true; }
    bool shut() const { return shut_; }
    // Whether host is a gate that has been shut; any other host answers false.
    static bool IsShut(const ICanvasHost* host);
    // The door to a surface (null stays null; a door is its own door).
    IDrawSurface* Door(IDrawSurface* surface);
    // Inline for the common case of no door, as every canvas call ends here.
    void DropDoors() {
        if (!doors_.empty()) ClearDoors();
    }

    // Here too: the hover feedback comes at every mouse move.
    void SetFeedback(int32_t mode, IVXPath* path, int32_t code, int32_t busy, int32_t selected,
                     double angle) override {
        if (!shut_) host_->SetFeedback(mode, path, code, busy, selected, angle);
    }
    void BeginTracking() override;
    void EndTracking() override;
    int32_t AcceptTrackPoint(double x, double y, int32_t one) override;
    void AdjustPoint(double* x, double* y) override;
    // Here, so that the hit test's many calls go without a call of their own.
    void ToScreen(double* x, double* y) override {
        if (!shut_) host_->ToScreen(x, y);
    }
    double GetRotation() override;
    void BeginChange() override;
    int32_t ApprovePathAdd(IVXPath* path) override;
    int32_t ApprovePathRemove(IVXPath* path) override;
    int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) override;
    void PathChanged(IVXPath* path, int32_t kind) override;
    void EndChange() override;
    void BeginSelectionChange() override;
    void EndSelectionChange() override;
    IDrawSurface* GetSurface() override;

private:
    class SurfaceDoor;
    void ClearDoors();

    ICanvasHost* host_;
    bool shut_ = false;
    std::vector<std::unique_ptr<SurfaceDoor>> doors_;
};

}  // namespace vx
