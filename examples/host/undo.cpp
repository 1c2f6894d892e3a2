#include "undo.h"

UndoJournal::~UndoJournal() {
    for (const Entry& e : pending_) Drop(e);
    for (const Entry& e : step_) Drop(e);
    for (const auto& step : steps_) {
        for (const Entry& e : step) Drop(e);
    }
}

void UndoJournal::Drop(const Entry& e) {
    if (e.before) e.before->Release();
    e.path->Release();
}

void UndoJournal::Open() { step_.clear(); }

// An added path is on the canvas as soon as the host agrees; no PathChanged follows.
void UndoJournal::Adding(IVXPath* path) {
    path->AddRef();
    step_.push_back({path, nullptr});
}

// Called from inside ApprovePathChange: the path still has its old state. Clone copies the
// nodes, the transform and the template; it is null only for a path without nodes.
void UndoJournal::Changing(IVXPath* path) {
    IVXPath* before = path->Clone();
    if (!before) return;
    path->AddRef();
    pending_.push_back({path, before});
}

void UndoJournal::Changed(IVXPath* path) {
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->path == path) {
            step_.push_back(*it);
            pending_.erase(it);
            return;
        }
    }
}

// A consented change that was never applied leaves nothing to undo.
void UndoJournal::Close() {
    for (const Entry& e : pending_) Drop(e);
    pending_.clear();
    if (!step_.empty()) steps_.push_back(step_);
    step_.clear();
}

namespace {

bool Listed(IGraphicCanvas* canvas, IVXPath* path) {
    for (int32_t i = 0; i < canvas->GetPathCount(); ++i) {
        if (canvas->GetPath(i) == path) return true;
    }
    return false;
}

}  // namespace

bool UndoJournal::Undo(IGraphicCanvas* canvas) {
    if (steps_.empty()) return false;
    const std::vector<Entry> step = steps_.back();
    steps_.pop_back();
    for (auto it = step.rbegin(); it != step.rend(); ++it) {
        if (it->before) {
            it->path->CopyFrom(it->before, 1);  // nodes, transform and template as they were
        } else if (Listed(canvas, it->path)) {
            canvas->DetachPath(it->path);  // the canvas's reference passes to us
            it->path->Release();
        }
        Drop(*it);
    }
    return true;
}
