// Undo and redo, built on the library's approval protocol.
//
// The canvas asks the host before every change it makes to its paths: ApprovePathAdd for a
// path a tool drew, ApprovePathRemove for RemovePath, ApprovePathChange before an edit and
// PathChanged after it, the additions and changes inside BeginChange/EndChange. The host
// answers yes and notes the path's state at each of these moments; what one bracket (or one
// command of the host, such as Delete, around its own calls) changed becomes one step.
// Undoing a step puts every path back as it was before, in reverse order; redoing puts the
// states after back, in order. The paths keep their identity: a removed path is held here
// and goes back to the same place in the canvas's list.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "path_state.h"

namespace sketch {

class UndoStack {
public:
    explicit UndoStack(const OstrelExports& library) : library_(library) {}
    ~UndoStack() { Clear(); }
    UndoStack(const UndoStack&) = delete;
    UndoStack& operator=(const UndoStack&) = delete;

    void SetCanvas(IGraphicCanvas* canvas) { canvas_ = canvas; }
    // Forgets every step (a new or opened drawing) and releases the paths held.
    void Clear();

    // The host's brackets; the outermost Close files what was recorded since the outermost
    // Open as one step.
    void Open() { ++depth_; }
    void Close();

    // From the approval callbacks, each after the host said yes. Nothing is recorded while
    // a step is being undone or redone.
    void Adding(IVXPath* path);    // ApprovePathAdd: the path is appended next
    void Removing(IVXPath* path);  // ApprovePathRemove: the path is still listed
    void Changing(IVXPath* path);  // ApprovePathChange
    void Changed(IVXPath* path);   // PathChanged

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    bool Undo();
    bool Redo();

    // Whether the drawing is as it was at the last MarkSaved (or Clear).
    bool AtSavePoint() const { return Top() == saved_; }
    void MarkSaved() { saved_ = Top(); }

private:
    struct Edit {
        enum Kind { kAdd, kRemove, kChange } kind;
        IVXPath* path;  // one reference of this record
        int32_t index;  // where in the canvas's list the path was added or removed
        PathState before, after;
    };
    struct Step {
        uint64_t serial;
        std::vector<Edit> edits;
    };

    uint64_t Top() const { return undo_.empty() ? 0 : undo_.back().serial; }
    void Record(Edit::Kind kind, IVXPath* path, int32_t index, PathState before, PathState after);
    void Play(const Step& step, bool forward);
    static void Release(std::vector<Step>& steps);

    const OstrelExports& library_;
    IGraphicCanvas* canvas_ = nullptr;
    std::vector<Step> undo_, redo_;
    Step pending_{0, {}};
    std::map<IVXPath*, PathState> changing_;  // states before the changes under way
    int depth_ = 0;
    bool replaying_ = false;
    uint64_t serial_ = 0, saved_ = 0;
};

}  // namespace sketch
