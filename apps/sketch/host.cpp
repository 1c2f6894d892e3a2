#include "host.h"

#include <vector>

namespace sketch {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kStroke = 0x1F3A93, kFill = 0xFFE27A;

// The style a new path gets: filled when it is closed (a close node or a template figure).
PathStyle* NewDefaultStyle(IVXPath* path) {
    bool closed = path->HasTemplate();
    std::vector<PathNode> nodes(path->GetNodes(nullptr, 0));
    if (!nodes.empty()) path->GetNodes(nodes.data(), static_cast<int32_t>(nodes.size()));
    for (const PathNode& node : nodes) closed = closed || node.kind == VX_NODE_CLOSE;
    return new PathStyle(kStroke, kFill, closed);
}

}  // namespace

int32_t PathStyle::Release() {
    const int32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

const PathStyle& PathStyle::Of(IVXPath* path) {
    static const PathStyle plain(kStroke, kFill, false);
    // Every fill object on the sketch's paths is one of ours.
    IVXFillObject* object = path ? path->GetFillObject() : nullptr;
    return object ? *static_cast<PathStyle*>(object) : plain;
}

void SketchHost::SetFeedback(int32_t, IVXPath*, int32_t hitCode, int32_t busy, int32_t selected,
                             double angle) {
    feedback = {hitCode, busy, selected, angle};
}

double SketchHost::GetRotation() { return rotationDegrees * kPi / 180; }

int32_t SketchHost::ApprovePathAdd(IVXPath* path) {
    if (!path->GetFillObject()) {
        PathStyle* style = NewDefaultStyle(path);
        path->SetFillObject(style);  // the path takes its own reference
        style->Release();
    }
    undo_.Adding(path);
    return 1;
}

int32_t SketchHost::ApprovePathRemove(IVXPath* path) {
    undo_.Removing(path);
    ++approvedRemovals;
    return 1;
}

int32_t SketchHost::ApprovePathChange(IVXPath* path, int32_t, PathTransform) {
    undo_.Changing(path);
    return 1;
}

}  // namespace sketch
