// The sketch's ICanvasHost, without any window: the library asks it for approvals (all
// given, each recorded on the undo stack), for the mappings between screen pixels and
// canvas units (the view's), for the rotation of new template figures, and for the surface
// to draw on. What the cursor should show (SetFeedback) is kept for the window to read.
//
// Each new path gets a PathStyle as its fill object: the colours the sketch paints and
// saves it with, and the fill rule the library's hit test reads.
#pragma once

#include <cstdint>

#include "undo.h"
#include "view.h"

namespace sketch {

// Colours are 0xRRGGBB.
class PathStyle final : public IVXFillObject {
public:
    PathStyle(uint32_t stroke, uint32_t fill, bool filled)
        : stroke(stroke), fill(fill), filled(filled) {}

    int32_t AddRef() override { return ++references_; }
    int32_t Release() override;
    int32_t FillRule() override { return filled ? VX_FILL_NONZERO : VX_FILL_NONE; }

    uint32_t stroke, fill;
    bool filled;

    // The style of a path, or the default one for a path without a style.
    static const PathStyle& Of(IVXPath* path);

private:
    ~PathStyle() = default;
    int32_t references_ = 1;
};

struct Feedback {
    int32_t hitCode = 0, busy = 0, selected = 0;
    double angle = 0;
};

class SketchHost : public ICanvasHost {
public:
    SketchHost(View& view, UndoStack& undo) : view_(view), undo_(undo) {}

    IDrawSurface* surface = nullptr;
    double rotationDegrees = 0;    // for new template figures
    Feedback feedback;             // the last SetFeedback
    bool tracking = false;         // a gesture is under way
    int32_t approvedRemovals = 0;  // ApprovePathRemove calls answered yes

    void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                     int32_t selected, double angle) override;
    void BeginTracking() override { tracking = true; }
    void EndTracking() override { tracking = false; }
    int32_t AcceptTrackPoint(double, double, int32_t) override { return 1; }
    void AdjustPoint(double* x, double* y) override { view_.AdjustPoint(x, y); }
    void ToScreen(double* x, double* y) override { view_.ToScreen(x, y); }
    double GetRotation() override;
    void BeginChange() override { undo_.Open(); }
    int32_t ApprovePathAdd(IVXPath* path) override;
    int32_t ApprovePathRemove(IVXPath* path) override;
    int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) override;
    void PathChanged(IVXPath* path, int32_t) override { undo_.Changed(path); }
    void EndChange() override { undo_.Close(); }
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return surface; }

private:
    View& view_;
    UndoStack& undo_;
};

}  // namespace sketch
