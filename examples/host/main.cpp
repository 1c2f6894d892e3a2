// An example host, run by the test command: a canvas in a window zoomed by 2, driven by
// what a user does (draw a rectangle, move it, scale it, cancel a move, drag a template's
// handle, undo, quit mid-gesture), with each outcome checked. docs/host-guide.md explains
// the pieces. Prints one line per check; exits 1 if any failed.
#include <cstdio>
#include <string>

#include "events.h"
#include "host.h"
#include "ostrel/ostrel.h"
#include "surface.h"
#include "view.h"
#include "window.h"

namespace {

int failed = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failed;
}

// Strings cross the boundary as UTF-16; an ASCII text widens unit by unit.
std::basic_string<VXCHAR> Utf16(const char* text) {
    std::basic_string<VXCHAR> out;
    while (*text) out += static_cast<VXCHAR>(*text++);
    return out;
}

bool TransformIs(IVXPath* path, double a, double d, double e, double f) {
    double t[6];
    path->GetTransform(t);
    return t[0] == a && t[1] == 0 && t[2] == 0 && t[3] == d && t[4] == e && t[5] == f;
}

std::string TemplateText(IGraphicCanvas* canvas, IVXPath* path) {
    VXCHAR buffer[128];
    const int32_t n = canvas->GetTemplateText(path, buffer, 128);
    std::string text;
    for (int32_t i = 0; i < n && i < 128; ++i) text += static_cast<char>(buffer[i]);
    return text;
}

// A press, moves with the button held, and the release, as the user makes them.
void Drag(Input& input, int x0, int y0, int x1, int y1) {
    input.Move(x0, y0, false);
    input.Press(x0, y0);
    input.Move((x0 + x1) / 2, (y0 + y1) / 2, true);
    input.Move(x1, y1, true);
    input.Release(x1, y1);
}

}  // namespace

int main() {
    VX_Initial(Utf16(OSTREL_EXAMPLE_FIGURES).c_str());
    View view;
    view.zoom = 2;
    view.originX = 10, view.originY = 20;  // canvas (x, y) is at screen (2x + 10, 2y + 20)
    ExampleSurface surface(view);
    ExampleHost host(view, surface);
    IGraphicCanvas* canvas = VX_CreateGraphicCanvas(&host);
    if (!canvas) return 1;
    App app;
    app.canvas = canvas, app.host = &host, app.surface = &surface;
    Input input(app);

    // A rectangle by dragging from screen (110, 120) to (310, 220): canvas (50, 50) to
    // (150, 100). A key pressed and let go mid-drag: the tool eats the key-down and passes
    // the key-up on to the window.
    canvas->SetCurrentTool(VXTEXT("Rectangle"));
    input.Move(110, 120, false);
    input.Press(110, 120);
    input.Move(200, 170, true);
    input.Key('A');
    input.Move(310, 220, true);
    input.Release(310, 220);
    input.RunUntilIdle();
    IVXPath* rect = canvas->GetPathCount() == 1 ? canvas->GetPath(0) : nullptr;
    PathNode nodes[5] = {};
    Check(rect && rect->GetNodes(nodes, 5) == 5 && nodes[0].x1 == 50 && nodes[0].y1 == 50 &&
              nodes[2].x1 == 150 && nodes[2].y1 == 100,
          "the Rectangle tool drew canvas (50, 50) to (150, 100) from the zoomed screen drag");
    Check(app.passedOn == 1 && host.journal.Steps() == 1 && surface.OverlayBalanced(),
          "the key-up reached the window during the gesture; the add is one undo step");
    if (!rect) return 1;

    // Object mode: the new path is selected, so its box handles are live. The centre handle
    // is at canvas (100, 75), screen (210, 170): a drag there moves by canvas (20, 10).
    canvas->SetCurrentTool(nullptr);
    canvas->SetEditMode(VX_MODE_OBJECT);
    Drag(input, 210, 170, 250, 190);
    input.RunUntilIdle();
    Check(host.hit == VX_HIT_CENTER && TransformIs(rect, 1, 1, 20, 10),
          "a drag on the centre handle moved the path by (20, 10) canvas units");

    // The bottom-right handle is now at canvas (170, 110), screen (350, 240). Dragging it
    // by screen (40, 20) scales by 1.2 about the opposite corner, canvas (70, 60).
    input.Move(350, 240, false);
    input.RunUntilIdle();
    Check(host.hit == VX_HIT_BOTTOM_RIGHT && host.angle != 0,
          "hovering the bottom-right handle reports its code and the angle for the cursor");
    Drag(input, 350, 240, 390, 260);
    input.RunUntilIdle();
    Check(TransformIs(rect, 1.2, 1.2, 10, 0), "the handle drag scaled the path by 1.2");

    // Esc during a move cancels it; a locked document refuses it. Neither changes anything.
    const int changes = host.changes;
    input.Move(250, 190, false);
    input.Press(250, 190);
    input.Move(300, 300, true);
    input.Key(VX_KEY_ESCAPE);
    input.Release(300, 300);
    input.RunUntilIdle();
    host.locked = true;
    Drag(input, 250, 190, 300, 300);
    input.RunUntilIdle();
    host.locked = false;
    Check(host.changes == changes && TransformIs(rect, 1.2, 1.2, 10, 0) &&
              host.journal.Steps() == 3 && surface.OverlayBalanced(),
          "a cancelled move and a refused one leave the path and the undo steps as they were");

    // A template figure from the host: an Arrow in canvas (200, 200) to (300, 250). Its
    // handle (neck 0.6, shaft 0.3) is at canvas (260, 215), screen (530, 450).
    PathCreateParams params = {};
    params.left = 200, params.top = 200, params.right = 300, params.bottom = 250;
    const std::basic_string<VXCHAR> arrow = Utf16("Arrow");
    arrow.copy(params.name, arrow.size());
    IVXPath* figure = VX_CreatePathEx(&params);
    Check(figure != nullptr, "VX_CreatePathEx built the Arrow");
    if (!figure) return 1;
    canvas->AddPath(figure);   // the canvas takes a reference of its own
    figure->Release();         // ours is no longer needed
    canvas->GetSelections()->Clear();
    canvas->GetSelections()->Add(figure);
    Drag(input, 530, 450, 550, 450);  // neck to 0.7
    input.RunUntilIdle();
    Check(host.hit == VX_HIT_REFERENCE &&
              TemplateText(canvas, figure) == "<Arrow><(0.700000,0.300000)>",
          "dragging the reference handle changed the Arrow's template text");

    // Undo, step by step: the handle drag, the scale, the move, the rectangle itself.
    host.journal.Undo(canvas);
    Check(TemplateText(canvas, figure) == "<Arrow><(0.6,0.3)>",
          "undo gave the Arrow its handle back, with the texts of the template file");
    host.journal.Undo(canvas);
    host.journal.Undo(canvas);
    Check(TransformIs(rect, 1, 1, 0, 0), "two more undos took back the scale and the move");
    host.journal.Undo(canvas);
    Check(canvas->GetPathCount() == 1 && canvas->GetPath(0) == figure && !host.journal.Undo(canvas),
          "the last undo took the rectangle off the canvas; nothing is left to undo");

    // Painting: every path (one is left), then the selection: its outline, its box and the
    // marks of object mode, drawn by the host (DrawMark answered 1).
    Paint(app);
    Check(surface.document.size() == 3 && surface.marks[VX_MARK_BOX_HANDLE] == 8 &&
              surface.marks[VX_MARK_CENTER] == 1 && surface.marks[VX_MARK_REFERENCE] == 1,
          "a repaint drew the paths, the box handles and the Arrow's reference handle");

    // The user closes the program in the middle of a move by the Arrow's centre handle,
    // screen (510, 470): the gesture ends as a cancel and the host's loop gets the quit.
    input.Move(510, 470, false);
    input.Press(510, 470);
    input.Move(530, 480, true);
    input.Quit(3);
    Check(!input.RunUntilIdle() && app.quitCode == 3 && !host.tracking &&
              TransformIs(figure, 1, 1, 0, 0) && surface.OverlayBalanced(),
          "a quit during a gesture cancelled it and reached the host's loop with its code");

    VX_DestroyGraphicCanvas(canvas);  // releases the canvas's paths and tools
    VX_Release();
    std::printf("example_host: %s\n", failed ? "FAILED" : "all checks passed");
    return failed ? 1 : 0;
}
