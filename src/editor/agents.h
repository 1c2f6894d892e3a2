// Edit agents: an interactive edit never touches the canvas's paths while the mouse moves.
// An agent holds working copies, recomputes them from the untouched edited paths at every
// move, draws them as feedback and, on release, commits them through the host's approval
// brackets (or is simply destroyed on a cancel).
//
// Object agent invariants: copies_[i] is owned (one reference) and derived from edited_[i],
// which is not referenced (the tracking loop holds the edited paths); changeKind_ is -1 (nothing to commit), 2 (new transforms: each
// copy's transform is its edited path's followed by matrix_) or 3 (the copies' nodes and
// templates replace the edited paths'). matrix_ is always finite.
#pragma once

#include <cstdint>
#include <vector>

#include "ostrel/ostrel.h"
#include "geometry/rect.h"
#include "geometry/transform.h"

namespace vx {

class CVXPath;
class HeldPaths;

class CPathAgent {
public:
    CPathAgent() = default;
    virtual ~CPathAgent();  // releases the copies
    CPathAgent(const CPathAgent&) = delete;
    CPathAgent& operator=(const CPathAgent&) = delete;

    int32_t ChangeKind() const { return changeKind_; }
    const PathTransform& EditMatrix() const { return matrix_; }
    int32_t Count() const { return static_cast<int32_t>(copies_.size()); }
    IVXPath* CopyAt(int32_t i) const { return copies_[static_cast<size_t>(i)]; }
    IVXPath* EditedAt(int32_t i) const { return edited_[static_cast<size_t>(i)]; }

protected:
    void ReleaseCopies();

    std::vector<IVXPath*> copies_;
    std::vector<IVXPath*> edited_;
    int32_t changeKind_ = -1;
    PathTransform matrix_ = {1, 0, 0, 1, 0, 0};
    Rect startBox_;  // left, top, right, bottom
};

class CPathObjAgent final : public CPathAgent {
public:
    // Copies `single` when it is not null, else every selected path in selection order, and
    // starts over: no edit, the identity matrix, no handle path.
    void Fill(IVXSelections* selections, IVXPath* single, bool copyTemplate);
    // Hit code 10: rotation about the centre of handlePath's oriented corners.
    void Rotate(IVXPath* handlePath, double x0, double y0, double x, double y);
    // Every other hit code: moving (1, 17) or scaling by the box handle (2..9).
    void ScaleByHandle(IVXPath* handlePath, double x0, double y0, double x, double y, int32_t code);
    // Hit code 18: the template reference `index` follows the canvas point (x, y).
    void DragTemplateValue(int32_t index, double x, double y);
    Rect FeedbackRect() const;  // left, top, right, bottom
    void DrawFeedback(IDrawSurface* surface);
    // With `held`, a pair whose edited path has left the canvas (the host may take paths
    // off it while it is told of another) is not offered.
    void Commit(ICanvasHost* host, HeldPaths* held = nullptr);

private:
    // Stores m and sets every copy's transform to its edited path's followed by m.
    void SetEditMatrix(const PathTransform& m);

    IVXPath* handlePath_ = nullptr;
};

// Moves one point of one node of one path.
class NodeEditAgent {
public:
    NodeEditAgent();
    ~NodeEditAgent();
    NodeEditAgent(const NodeEditAgent&) = delete;
    NodeEditAgent& operator=(const NodeEditAgent&) = delete;

    void Start(IVXPath* path, int32_t nodeIndex, int32_t pointIndex);
    // (dx, dy): the current canvas point minus the start point.
    void Move(double dx, double dy);
    Rect FeedbackRect();  // left, top, right, bottom
    void DrawFeedback(IDrawSurface* surface);
    // With `held`, nothing is offered or applied once the target has left the canvas.
    bool Commit(ICanvasHost* host, HeldPaths* held = nullptr);

    CVXPath* WorkingCopy() const { return copy_; }

private:
    // Node i of the target as it was at Start (null outside the list).
    const PathNode* TargetNode(int32_t i);

    IVXPath* target_ = nullptr;
    CVXPath* copy_;  // owned
    // A target that is not one of our paths cannot lend its nodes by pointer; its nodes as
    // the working copy first stored them stand in for it.
    std::vector<PathNode> foreignNodes_;
    int32_t nodeIndex_ = 0;
    int32_t pointIndex_ = 0;
};

}  // namespace vx
