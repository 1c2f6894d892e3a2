#include "undo.h"

#include <utility>

namespace sketch {

namespace {

// The path's index in the canvas's list, or -1.
int32_t IndexOfPath(IGraphicCanvas* canvas, IVXPath* path) {
    const int32_t count = canvas->GetPathCount();
    for (int32_t i = 0; i < count; ++i) {
        if (canvas->GetPath(i) == path) return i;
    }
    return -1;
}

// Puts a path into the canvas's list at the index (the canvas only appends): the paths
// above it are taken off and appended again after it, keeping their selection.
void InsertPathAt(IGraphicCanvas* canvas, IVXPath* path, int32_t index) {
    IVXSelections* selection = canvas->GetSelections();
    std::vector<std::pair<IVXPath*, bool>> above;
    for (int32_t i = canvas->GetPathCount() - 1; i >= index && i >= 0; --i) {
        IVXPath* other = canvas->GetPath(i);
        above.emplace_back(other, selection->Contains(other) != 0);
        canvas->DetachPath(other);  // its list reference passes to us
    }
    canvas->AddPath(path);
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        canvas->AddPath(it->first);
        if (it->second) selection->Add(it->first);
        it->first->Release();
    }
}

}  // namespace

void UndoStack::Release(std::vector<Step>& steps) {
    for (Step& step : steps) {
        for (Edit& edit : step.edits) edit.path->Release();
    }
    steps.clear();
}

void UndoStack::Clear() {
    Release(undo_);
    Release(redo_);
    for (Edit& edit : pending_.edits) edit.path->Release();
    pending_.edits.clear();
    changing_.clear();
    serial_ = saved_ = 0;
}

void UndoStack::Record(Edit::Kind kind, IVXPath* path, int32_t index, PathState before,
                       PathState after) {
    pending_.edits.reserve(pending_.edits.size() + 1);  // so the reference below is owned
    path->AddRef();
    pending_.edits.push_back({kind, path, index, std::move(before), std::move(after)});
    if (depth_ == 0) Close();  // a change outside any bracket is a step of its own
}

void UndoStack::Close() {
    if (depth_ > 0) --depth_;
    if (depth_ > 0 || pending_.edits.empty()) return;
    pending_.serial = ++serial_;
    undo_.push_back(std::move(pending_));
    pending_ = Step{0, {}};
    Release(redo_);
}

void UndoStack::Adding(IVXPath* path) {
    if (replaying_ || !canvas_) return;
    Record(Edit::kAdd, path, canvas_->GetPathCount(), {}, CapturePath(canvas_, path));
}

void UndoStack::Removing(IVXPath* path) {
    if (replaying_ || !canvas_) return;
    const int32_t index = IndexOfPath(canvas_, path);
    if (index >= 0) Record(Edit::kRemove, path, index, CapturePath(canvas_, path), {});
}

void UndoStack::Changing(IVXPath* path) {
    if (replaying_ || !canvas_) return;
    changing_[path] = CapturePath(canvas_, path);
}

void UndoStack::Changed(IVXPath* path) {
    auto found = changing_.find(path);
    if (replaying_ || !canvas_ || found == changing_.end()) return;
    PathState before = std::move(found->second);
    changing_.erase(found);
    PathState after = CapturePath(canvas_, path);
    if (after != before) Record(Edit::kChange, path, -1, std::move(before), std::move(after));
}

void UndoStack::Play(const Step& step, bool forward) {
    replaying_ = true;
    const size_t n = step.edits.size();
    for (size_t k = 0; k < n; ++k) {
        const Edit& edit = step.edits[forward ? k : n - 1 - k];
        const bool putBack = (edit.kind == Edit::kAdd) == forward;
        switch (edit.kind) {
            case Edit::kAdd:
            case Edit::kRemove:
                if (putBack) {
                    if (IndexOfPath(canvas_, edit.path) < 0) {
                        InsertPathAt(canvas_, edit.path, edit.index);
                    }
                } else if (IndexOfPath(canvas_, edit.path) >= 0) {
                    canvas_->DetachPath(edit.path);
                    edit.path->Release();  // the list's reference, passed to us
                }
                break;
            case Edit::kChange:
                ApplyPath(library_, canvas_, edit.path, forward ? edit.after : edit.before);
                break;
        }
    }
    replaying_ = false;
}

bool UndoStack::Undo() {
    if (undo_.empty() || !canvas_ || depth_ > 0) return false;
    Play(undo_.back(), false);
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return true;
}

bool UndoStack::Redo() {
    if (redo_.empty() || !canvas_ || depth_ > 0) return false;
    Play(redo_.back(), true);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return true;
}

}  // namespace sketch
