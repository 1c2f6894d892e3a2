// What the host keeps of a path to put it back later (undo, redo, reopening a file): its
// nodes, its transform and, for a path made from a figure template, its template text and
// the template's frame.
//
// The library lets a host read all of this (GetNodes, GetTransform, GetTemplateText,
// GetTemplateInfo) but gives a path its template back only through a path it builds itself:
// Apply builds a scratch path from the template (VX_CreatePathEx in the saved frame, the
// reference values set with ApplyTemplateText), gives it the saved nodes and transform and
// copies it into the target with CopyFrom. The target keeps its identity, so the canvas's
// list and selection stay valid.
#pragma once

#include <vector>

#include "exports.h"
#include "text.h"

namespace sketch {

struct PathState {
    std::vector<PathNode> nodes;
    PathTransform transform = {1, 0, 0, 1, 0, 0};
    VXString templateText;           // "<Star><(0.5,0.3)>"; empty without a template
    double frame[4] = {0, 0, 0, 0};  // left, top, right, bottom of the template

    bool HasTemplate() const { return !templateText.empty(); }
    // The template's name: the text between the first "<" and the ">" after it.
    VXString TemplateName() const;
};

bool operator==(const PathState& a, const PathState& b);
inline bool operator!=(const PathState& a, const PathState& b) { return !(a == b); }

PathState CapturePath(IGraphicCanvas* canvas, IVXPath* path);

// Puts the state into the path. A template the library no longer knows leaves the path a
// plain one with the saved nodes. False when nothing could be copied (no nodes).
bool ApplyPath(const OstrelExports& library, IGraphicCanvas* canvas, IVXPath* path,
               const PathState& state);

// A new path (one reference, the caller's) in the given state; null without nodes.
IVXPath* MakePath(const OstrelExports& library, IGraphicCanvas* canvas, const PathState& state);

}  // namespace sketch
