// Undo built on the approval protocol. Every change of a canvas's paths reaches the host
// inside BeginChange ... EndChange, first as a question (ApprovePathAdd,
// ApprovePathChange) and, for a change, then as a fact (PathChanged). The journal clones a
// path when the host consents to its change, keeps the clone when the change is applied,
// and closes one undo step per bracket.
#pragma once

#include <vector>

#include "ostrel/ostrel.h"

class UndoJournal {
public:
    UndoJournal() = default;
    ~UndoJournal();
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    void Open();                      // BeginChange
    void Adding(IVXPath* path);       // ApprovePathAdd answered yes
    void Changing(IVXPath* path);     // ApprovePathChange answered yes
    void Changed(IVXPath* path);      // PathChanged
    void Close();                     // EndChange

    size_t Steps() const { return steps_.size(); }
    // Takes back the last step: changed paths get their earlier state back, added paths
    // leave the canvas. False when there is nothing to undo.
    bool Undo(IGraphicCanvas* canvas);

private:
    // One path of a step. The journal holds a reference on path and owns before (the path's
    // state before the change), which is null for a path that was added.
    struct Entry {
        IVXPath* path;
        IVXPath* before;
    };
    static void Drop(const Entry& e);

    std::vector<Entry> pending_;  // consented, not yet applied
    std::vector<Entry> step_;     // applied in the open bracket
    std::vector<std::vector<Entry>> steps_;
};
