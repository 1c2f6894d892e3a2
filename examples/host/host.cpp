#include "host.h"

#include <cmath>

// The cursor follows the hit code: a hand over a figure, arrows turned by the handle's
// angle over a box handle, a rotation cursor over the ring. This host only remembers them.
void ExampleHost::SetFeedback(int32_t, IVXPath*, int32_t hitCode, int32_t, int32_t,
                              double handleAngle) {
    hit = hitCode;
    angle = handleAngle;
}

// Keeps gestures inside the screen's 16-bit range; 0 makes the tracking skip the point.
int32_t ExampleHost::AcceptTrackPoint(double x, double y, int32_t) {
    return std::fabs(x) < 32768 && std::fabs(y) < 32768;
}

// Screen to canvas, then onto the grid when one is set. Snapping here moves what the tools
// and edits produce; hit tests use ToScreen and are not affected.
void ExampleHost::AdjustPoint(double* x, double* y) {
    view_.ToCanvas(x, y);
    if (view_.grid > 0) {
        *x = std::round(*x / view_.grid) * view_.grid;
        *y = std::round(*y / view_.grid) * view_.grid;
    }
}

void ExampleHost::ToScreen(double* x, double* y) { view_.ToScreen(x, y); }

int32_t ExampleHost::ApprovePathAdd(IVXPath* path) {
    if (locked) return 0;
    journal.Adding(path);
    return 1;
}

int32_t ExampleHost::ApprovePathRemove(IVXPath*) { return locked ? 0 : 1; }

// kind is VX_CHANGE_TRANSFORM (the matrix follows the path's transform) or VX_CHANGE_NODES
// (the identity matrix; nodes and template are replaced). A host may also judge the matrix,
// for example refuse a mirroring one: matrix.a * matrix.d - matrix.b * matrix.c < 0.
int32_t ExampleHost::ApprovePathChange(IVXPath* path, int32_t, PathTransform) {
    if (locked) return 0;
    journal.Changing(path);
    return 1;
}

void ExampleHost::PathChanged(IVXPath* path, int32_t) {
    journal.Changed(path);
    ++changes;
}
