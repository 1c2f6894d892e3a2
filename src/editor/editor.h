// CVXEditor: the canvas editor behind IGraphicCanvas, one per drawing area.
//
// Data model and invariants:
// - paths_ holds each path at most once, bottom first, with one reference on each.
// - selections_ holds no references; a path leaving paths_ leaves the selection too.
// - tools_ maps each name (ordered by UTF-16 code units) to a tool and holds one reference
//   per name, so a tool under several names is referenced once per name.
// - hovered_ is not a reference: it is only a key for the next press, and it is cleared
//   whenever a path leaves the canvas. hoveredPart_ and hoveredCode_ come from the same
//   hover test.
// - host_ is neither owned nor referenced; it must outlive the editor. The editor and
//   everything it runs (tracking loops, agents, hit test, its own tools) reach the host and
//   its surfaces only through gate_.
//
// Re-entry: the host may call back into the canvas from any callback, and the loops run
// its window procedures. So every path used across a host call is held by a reference and
// asked again whether it is still on the canvas (HeldPaths, departures_), every walk over
// the list or the selection checks its index at each step, and a canvas destroyed inside
// one of its own calls shuts its gate at once (no further call reaches the host) and is
// torn down when the outermost call into it returns (depth_).
//
// The host sees the object only through IGraphicCanvas (table entries 1-23) and reaches the
// destroying operation (24) and GetToolNames (25) through IGraphicCanvasEx.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "editor/path_boxes.h"
#include "editor/selections.h"
#include "path/hit_test.h"
#include "ostrel/ostrel.h"
#include "text/string.h"
#include "tools/host_gate.h"

namespace vx {

class CVXEditor final : public IGraphicCanvasEx {
public:
    // Registers the built-in tools and the template-figure tool under every template name
    // the library holds now. Out of memory propagates as std::bad_alloc.
    explicit CVXEditor(ICanvasHost* host);

    // IGraphicCanvas, in table order.
    void SetEditMode(int32_t mode) override;
    int32_t GetEditMode() override;
    IVXSelections* GetSelections() override;
    void RegisterTool(const VXCHAR* name, IVXFigures* tool) override;
    const VXCHAR* GetCurrentToolName() override;
    bool SetCurrentTool(const VXCHAR* name) override;
    int32_t GetToolInfos(FigureInfo* buffer, int32_t capacity) override;
    void AddPath(IVXPath* path) override;
    void RemovePath(IVXPath* path) override;
    void DetachPath(IVXPath* path) override;
    bool ApplyTemplateText(IVXPath* path, const VXCHAR* text, bool notify) override;
    int32_t GetTemplateText(IVXPath* path, VXCHAR* buffer, int32_t capacity) override;
    void ClearPaths() override;
    int32_t GetPathCount() override;
    IVXPath* GetPath(int32_t index) override;
    void DrawSelection(IDrawSurface* surface, int32_t outline, int32_t handles) override;
    int32_t HitTest(double x, double y, int32_t selectedOnly, IVXPath** found) override;
    void KeyDown(int32_t key, int32_t unused1, int32_t unused2) override;
    void KeyUp(int32_t key, int32_t unused1, int32_t unused2) override;
    void MouseDown(double x, double y, int32_t button) override;
    void MouseMove(double x, double y) override;
    void ClickHovered(double x, double y) override;
    bool PlaceFigure(double width, double height, const VXCHAR* name) override;
    // Entries 24 and 25. Destroy frees the storage (which must come from a plain new) when
    // bit 0 of flags is set.
    void Destroy(uint32_t flags) override;
    int32_t GetToolNames(VXCHAR* buffer) override;

    // What the hit test, the tracking loops and the agents need of the editor.
    ICanvasHost* Host() { return &gate_; }
    HostGate* Gate() { return &gate_; }
    CVXSelections& Selections() { return selections_; }
    bool IsSelected(IVXPath* path) const { return selections_.Has(path); }
    const std::vector<IVXPath*>& Paths() const { return paths_; }
    IVXPath* HoveredPath() const { return hovered_; }
    // SetFeedback with the edit mode and the angle of the box handle under the mouse.
    void SendFeedback(IVXPath* path, int32_t code, int32_t busy, int32_t selected);
    // The angle SendFeedback sends for a box handle's code (2 to 9).
    double HandleAngle(IVXPath* path, int32_t code);

    // Paths leave the list only through RemovePath, DetachPath and ClearPaths, and each
    // departure is counted: code that kept a path across host calls can tell cheaply
    // whether it may have left.
    uint64_t Departures() const { return departures_; }
    bool Holds(IVXPath* path) const;
    // Whether path, on the canvas when `since` was read, is still there.
    bool Stays(IVXPath* path, uint64_t since) const { return since == departures_ || Holds(path); }

private:
    class Entry;

    ~CVXEditor();
    CVXEditor(const CVXEditor&) = delete;
    CVXEditor& operator=(const CVXEditor&) = delete;

    void TearDown();
    // In line: MouseMove asks it at every move, and mostly no tool is current.
    IVXFigures* CurrentTool() const { return currentTool_.empty() ? nullptr : FindCurrentTool(); }
    IVXFigures* FindCurrentTool() const;
    // The host a tool is given: ours see it through the gate, a host's own tool the host itself.
    ICanvasHost* HostFor(IVXFigures* tool);
    int32_t HitTestAt(double x, double y, bool selectedOnly, IVXPath** found, int32_t* part);
    // HitTestAt after the hovered path: the selection, then the list, from the top.
    int32_t HitTestOthers(double x, double y, bool selectedOnly, IVXPath** found, int32_t* part);
    // A selected path's code as the hit test answers it; sets *found.
    int32_t SelectedAnswer(IVXPath* path, int32_t code, IVXPath** found);
    int32_t Ask(IVXPath* path, double x, double y, int32_t* part);
    int32_t AskInLine(IVXPath* path, double x, double y, int32_t* part);
    int32_t AskKept(IVXPath* path, const Rect& box, double x, double y, const HitSizes& sizes,
                    int32_t* part);
    struct Asking;
    int32_t AskNear(const Asking& asked, double x, double y, const HitSizes& sizes, int32_t* part);
    void HoldIfAsked(IVXPath* path);
    // The hit test's ToScreen, through the gate without a call of its own.
    auto ScreenMap() {
        return [this](double* x, double* y) { gate_.ToScreen(x, y); };
    }
    // The hit test's selection question, without a call.
    auto Selected() {
        return [this](const IVXPath* path) { return selections_.Has(path); };
    }
    void Feedback(IVXPath* path, int32_t code, int32_t busy, int32_t selected);
    bool ClickSelect(IVXPath* path, bool* refresh);
    bool AddWithApproval(IVXPath* path);
    // Empties the selection and selects path, inside one selection bracket.
    void SelectOnly(IVXPath* path);
    void ForgetPath(IVXPath* path);
    void ReleaseTools();

    int32_t editMode_ = 1;
    ICanvasHost* host_;
    HostGate gate_;
    int32_t depth_ = 0;         // calls into this canvas now running
    bool doomed_ = false;       // destruction asked while a call ran
    bool freeStorage_ = false;  // ... with the flag that frees the storage
    uint64_t departures_ = 0;
    std::vector<IVXPath*> paths_;
    PathBoxes boxes_;  // the corner boxes of paths_, for the hover walk
    // The listed paths whose kept boxes the walk is having mapped now, innermost first (a
    // host's ToScreen may start another walk). The walk holds no reference on them: one
    // that leaves the canvas meanwhile is held from its departure until the walk lets go.
    struct Asking {
        IVXPath* path;
        bool held;
        Asking* outer;
        int32_t mode;  // the edit mode and the departures when it was asked
        uint64_t since;
    };
    Asking* asking_ = nullptr;
    struct {
        IVXPath* path;  // null: none kept
        int32_t code;
        uint64_t generation;
        double margin;
        double angle;
    } lastAngle_{};
    CVXSelections selections_;
    String currentTool_;
    std::map<String, IVXFigures*> tools_;
    IVXPath* hovered_ = nullptr;
    int32_t hoveredPart_ = -1;
    int32_t hoveredCode_ = 0;
};

// Paths that the canvas goes on using across calls into the host: each is held by a
// reference, so it outlives whatever the host does meanwhile, and can be asked whether it
// is still on the canvas.
class HeldPaths {
public:
    explicit HeldPaths(const CVXEditor& canvas) : canvas_(canvas), checked_(canvas.Departures()) {}
    ~HeldPaths();
    HeldPaths(const HeldPaths&) = delete;
    HeldPaths& operator=(const HeldPaths&) = delete;

    // Holds a path that is on the canvas now (null is ignored).
    void Hold(IVXPath* path);
    bool Stays(IVXPath* path) const { return canvas_.Stays(path, checked_); }
    // Whether every held path is still on the canvas.
    bool AllStay();

private:
    const CVXEditor& canvas_;
    std::vector<IVXPath*> paths_;
    uint64_t checked_;  // departures when every held path was last seen on the canvas
};

}  // namespace vx
