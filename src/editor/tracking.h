// The modal tracking loops that MouseDown runs when no drawing tool is active. Each one
// pumps the thread's messages until its gesture ends, draws live feedback on the host's
// surface and changes the canvas only when the left button is released.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"

namespace vx {

class CVXEditor;
class HeldPaths;

// The press's paths are in `held`; the edited ones join them. A loop ends as a cancel when
// one of them leaves the canvas, and at its next message when the canvas is being
// destroyed.

// Object mode: moves, scales or rotates the selected paths, or drags one reference of the
// hovered template figure (code 18). (x, y) is the press position on the screen.
void TrackTransform(CVXEditor& editor, HeldPaths& held, double x, double y, int32_t code,
                    IVXPath* hovered, int32_t part);
// Node mode: drags one point of the hovered path. Codes other than 15 and 16 do nothing.
void TrackNode(CVXEditor& editor, HeldPaths& held, double x, double y, int32_t code,
               IVXPath* hovered, int32_t part);
// A press on empty canvas: selects the paths that lie wholly inside the band.
void TrackRubberBand(CVXEditor& editor, double x, double y);

}  // namespace vx
