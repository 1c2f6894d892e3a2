// The example host's callbacks: a zoomed view, cursor feedback, undo on the approval
// protocol, and a lock that refuses every change.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"
#include "surface.h"
#include "undo.h"
#include "view.h"

class ExampleHost : public ICanvasHost {
public:
    ExampleHost(View& view, ExampleSurface& surface) : view_(view), surface_(surface) {}

    UndoJournal journal;
    bool locked = false;      // the document is read-only: refuse adds, removals and changes
    bool tracking = false;    // between BeginTracking and EndTracking
    int32_t hit = VX_HIT_NOTHING;  // the last feedback, for the cursor
    double angle = 0;
    int changes = 0;          // PathChanged calls

    void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                     int32_t selected, double angle) override;
    void BeginTracking() override { tracking = true; }
    void EndTracking() override { tracking = false; }
    int32_t AcceptTrackPoint(double x, double y, int32_t one) override;
    void AdjustPoint(double* x, double* y) override;
    void ToScreen(double* x, double* y) override;
    double GetRotation() override { return 0; }
    void BeginChange() override { journal.Open(); }
    int32_t ApprovePathAdd(IVXPath* path) override;
    int32_t ApprovePathRemove(IVXPath* path) override;
    int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) override;
    void PathChanged(IVXPath* path, int32_t kind) override;
    void EndChange() override { journal.Close(); }
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return &surface_; }

private:
    View& view_;
    ExampleSurface& surface_;
};
