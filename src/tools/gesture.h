// The bracket of host and surface calls around every tool gesture, and the feedback step
// that redraws the rubber band inside it.
//
// Opening: GetSurface, BeginOverlay, BeginTracking, SaveOverlay (the token is kept).
// Finish: DropOverlay, EndOverlay, EndTracking; the last feedback stays on the surface.
// Cancel: RestoreOverlay(token, null) and ShowOverlay(token, null) first, then as Finish.
// A gesture left open (an exception on its way out) is closed as a cancel by the
// destructor, so the host's brackets are always balanced. A host without a surface gets
// no bracket at all: the gesture is not valid and the tool returns false.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"
#include "geometry/rect.h"

namespace vx::tools {

struct CanvasPoint {
    double x = 0.0;
    double y = 0.0;
};

// The normalised box of two points (left, top, right, bottom).
Rect BoxOf(CanvasPoint a, CanvasPoint b);

class Gesture {
public:
    explicit Gesture(ICanvasHost* host);
    ~Gesture();
    Gesture(const Gesture&) = delete;
    Gesture& operator=(const Gesture&) = delete;

    bool valid() const { return surface_ != nullptr; }
    ICanvasHost* host() const { return host_; }
    IDrawSurface* surface() const { return surface_; }
    int32_t token() const { return token_; }

    // The host's mapping of a screen point to the canvas.
    CanvasPoint Adjust(double x, double y) const;

    // Feedback step: RestoreOverlay of the old rectangle (null restores everything) ...
    void Restore(const Rect* rect);
    void RestoreOld() { Restore(&old); }
    // ... the shapes, then ShowOverlay of the union of the new and the old rectangle;
    // the new one becomes the old one.
    void ShowUnion(const Rect& fresh);

    // Both return the tool's result: Finish(result) passes it through, Cancel gives false.
    bool Finish(bool result);
    bool Cancel();

    // The feedback rectangle of the last step (canvas, normalised).
    Rect old;

private:
    void Close();

    ICanvasHost* host_;
    IDrawSurface* surface_;
    int32_t token_ = 0;
    bool open_ = true;
};

}  // namespace vx::tools
