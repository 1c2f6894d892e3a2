#include "path_state.h"

#include <algorithm>
#include <cstring>

namespace sketch {

VXString PathState::TemplateName() const {
    const size_t open = templateText.find(VXCHAR('<'));
    if (open == VXString::npos) return {};
    const size_t close = templateText.find(VXCHAR('>'), open + 1);
    if (close == VXString::npos) return {};
    return templateText.substr(open + 1, close - open - 1);
}

bool operator==(const PathState& a, const PathState& b) {
    if (a.nodes.size() != b.nodes.size() || a.templateText != b.templateText) return false;
    for (size_t i = 0; i < a.nodes.size(); ++i) {
        // Only the coordinates a kind uses: a move made from a rectangle keeps the width
        // and height in its unused fields, which nothing reads (nor the file keeps).
        const PathNode &m = a.nodes[i], &n = b.nodes[i];
        const int used = m.kind == VX_NODE_CLOSE                            ? 0
                         : m.kind == VX_NODE_MOVE || m.kind == VX_NODE_LINE ? 2
                                                                            : 6;
        const double u[6] = {m.x1, m.y1, m.x2, m.y2, m.x3, m.y3},
                     v[6] = {n.x1, n.y1, n.x2, n.y2, n.x3, n.y3};
        if (m.kind != n.kind || !std::equal(u, u + used, v)) return false;
    }
    const PathTransform &s = a.transform, &t = b.transform;
    if (s.a != t.a || s.b != t.b || s.c != t.c || s.d != t.d || s.e != t.e || s.f != t.f)
        return false;
    return !a.HasTemplate() || std::memcmp(a.frame, b.frame, sizeof a.frame) == 0;
}

PathState CapturePath(IGraphicCanvas* canvas, IVXPath* path) {
    PathState state;
    const int32_t count = path->GetNodes(nullptr, 0);
    if (count > 0) {
        state.nodes.resize(count);
        state.nodes.resize(path->GetNodes(state.nodes.data(), count));
    }
    double m[6];
    path->GetTransform(m);
    state.transform = {m[0], m[1], m[2], m[3], m[4], m[5]};
    const int32_t length = canvas->GetTemplateText(path, nullptr, 0);
    PathCreateParams info;
    if (length > 0 && path->GetTemplateInfo(&info)) {
        state.templateText.resize(length);
        canvas->GetTemplateText(path, &state.templateText[0], length);
        state.frame[0] = info.left, state.frame[1] = info.top;
        state.frame[2] = info.right, state.frame[3] = info.bottom;
    }
    return state;
}

namespace {

// A scratch path holding the state, with its template when the library still has it.
IVXPath* ScratchPath(const OstrelExports& library, IGraphicCanvas* canvas, const PathState& state) {
    IVXPath* scratch = nullptr;
    const VXString name = state.TemplateName();
    if (state.HasTemplate() && !name.empty() && name.size() < 256) {
        PathCreateParams params;
        std::memset(&params, 0, sizeof params);
        params.left = state.frame[0], params.top = state.frame[1];
        params.right = state.frame[2], params.bottom = state.frame[3];
        std::memcpy(params.name, name.data(), name.size() * sizeof(VXCHAR));
        scratch = library.CreatePathEx(&params);
        // The text sets the reference values, unless the template's own are the same text.
        // The identity transform of a new path makes the box it is applied in the saved
        // frame itself.
        if (scratch && CapturePath(canvas, scratch).templateText != state.templateText) {
            canvas->ApplyTemplateText(scratch, state.templateText.c_str(), false);
        }
    }
    if (!scratch) scratch = library.CreatePath();
    if (!scratch) return nullptr;
    scratch->ClearNodes();
    if (!state.nodes.empty()) {
        std::vector<PathNode> nodes = state.nodes;  // AddNodes rewrites its input
        scratch->AddNodes(nodes.data(), static_cast<int32_t>(nodes.size()));
    }
    const PathTransform& t = state.transform;
    const double m[6] = {t.a, t.b, t.c, t.d, t.e, t.f};
    scratch->SetTransform(m);
    return scratch;
}

}  // namespace

bool ApplyPath(const OstrelExports& library, IGraphicCanvas* canvas, IVXPath* path,
               const PathState& state) {
    IVXPath* scratch = ScratchPath(library, canvas, state);
    if (!scratch) return false;
    const bool copied = path->CopyFrom(scratch, 1) != 0;
    scratch->Release();
    return copied;
}

IVXPath* MakePath(const OstrelExports& library, IGraphicCanvas* canvas, const PathState& state) {
    if (state.nodes.empty()) return nullptr;
    return ScratchPath(library, canvas, state);
}

}  // namespace sketch
