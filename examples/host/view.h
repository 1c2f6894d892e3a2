// The host's view of its drawing: a zoom and the screen position of the canvas origin.
// "Screen" is whatever unit the host's mouse events use (here the window's client area);
// the library compares mouse positions with ToScreen results, so the two must agree.
#pragma once

struct View {
    double zoom = 1.0;                 // screen units per canvas unit
    double originX = 0, originY = 0;   // where canvas (0, 0) appears on the screen
    double grid = 0;                   // snap step in canvas units; 0: no snapping

    void ToScreen(double* x, double* y) const {
        *x = *x * zoom + originX;
        *y = *y * zoom + originY;
    }
    void ToCanvas(double* x, double* y) const {
        *x = (*x - originX) / zoom;
        *y = (*y - originY) / zoom;
    }
};
