// The example's window: what its window procedure does with input, and how it paints.
// The same code serves both builds; only the source of the messages differs (events.h).
#pragma once

#include <cstdint>

#include "host.h"
#include "ostrel/ostrel.h"
#include "surface.h"

struct App {
    IGraphicCanvas* canvas = nullptr;
    ExampleHost* host = nullptr;
    ExampleSurface* surface = nullptr;
    void* window = nullptr;  // the HWND on Windows; any token on portable builds
    int quitCode = -1;       // set when a quit reached the window
    int passedOn = 0;        // messages the window got while a gesture ran
};

// The window procedure's work. message, wParam and lParam are a Windows message (the
// VX_WM_* numbers); mouse positions are in the window's client units.
void HandleWindowMessage(App& app, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The window's client point on the screen, the unit of every position the canvas gets: the
// modal loops map the positions of their messages the same way (ClientToScreen on
// Windows, the client_to_screen hook elsewhere). Defined per build in events_*.cpp.
void WindowToScreen(App& app, double* x, double* y);

// Draws every path and the selection into the surface's document layer.
void Paint(App& app);
