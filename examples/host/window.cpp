#include "window.h"

void HandleWindowMessage(App& app, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    // Portable builds: a quit that a gesture's loop took, handed back (it may come while
    // the gesture is still closing). Windows posts WM_QUIT again instead.
    if (message == VX_WM_QUIT) {
        app.quitCode = static_cast<int>(wParam);
        return;
    }
    // A gesture's modal loop passes on what it does not use itself (a key-up, a paint, a
    // timer). That is for the window, not for the canvas: the loop owns the mouse until it
    // returns, so input must not start another gesture from here.
    if (app.host->tracking) {
        ++app.passedOn;
        return;
    }
    double x = static_cast<int16_t>(lParam & 0xFFFF);
    double y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    WindowToScreen(app, &x, &y);
    switch (message) {
        case VX_WM_MOUSEMOVE:
            app.canvas->MouseMove(x, y);
            break;
        case VX_WM_LBUTTONDOWN:
            app.canvas->MouseDown(x, y, VX_BUTTON_LEFT);  // returns when the gesture ends
            break;
        case VX_WM_KEYDOWN:
            app.canvas->KeyDown(static_cast<int32_t>(wParam), 0, 0);  // Control: hover again
            break;
        case VX_WM_KEYUP:
            app.canvas->KeyUp(static_cast<int32_t>(wParam), 0, 0);
            break;
        default:
            break;
    }
}

void Paint(App& app) {
    app.surface->document.clear();
    app.surface->overlay.clear();
    for (int& count : app.surface->marks) count = 0;
    for (int32_t i = 0; i < app.canvas->GetPathCount(); ++i) {
        app.canvas->GetPath(i)->Draw(app.surface);
    }
    app.canvas->DrawSelection(app.surface, 1, 0);
}
