#include "templates/template_build.h"

#include "path/path.h"
#include "templates/template_bindings.h"
#include "text/format.h"

namespace vx {

// The edges first, each printed once; then x is the left edge and " + " in front of w, y
// likewise of h.
CoordinatePrefixes::CoordinatePrefixes(const double* f) {
    all_.reserve(256);
    size_t at[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        text::AppendFixed(all_, f[i]);
        at[i + 1] = all_.size();
    }
    const auto edge = [&](int i) { all_.append(all_, at[i], at[i + 1] - at[i]); };
    const auto bracket = [&](int a, int b) {
        all_ += VXTEXT("(");
        edge(a);
        all_ += VXTEXT(" - ");
        edge(b);
        all_ += VXTEXT(")*(");
    };
    const size_t xAt = all_.size();
    edge(0);
    all_ += VXTEXT(" + ");
    const size_t wAt = all_.size();
    bracket(2, 0);
    const size_t yAt = all_.size();
    edge(1);
    all_ += VXTEXT(" + ");
    const size_t hAt = all_.size();
    bracket(3, 1);
    const StringView view(all_);
    x_ = view.substr(xAt, yAt - xAt);
    w_ = view.substr(wAt, yAt - wAt);
    y_ = view.substr(yAt);
    h_ = view.substr(hAt);
}

StringView CoordinatePrefixes::For(uint32_t kind, int k) const {
    if (kind == VX_NODE_RECT && k == 2) return w_;
    if (kind == VX_NODE_RECT && k == 3) return h_;
    return k % 2 == 0 ? x_ : y_;
}

bool BuildPathFromTemplate(IVXPath* path, FigureTemplate& figure, const double* frame) {
    path->ClearNodes();
    SetFrame(figure, frame[0], frame[1], frame[2], frame[3]);

    TemplateBindings bindings;
    if (!bindings.BindReferences(figure)) return false;

    // A path of ours takes the nodes in batches, into room made for all of them; any other
    // sees one AddNodes call per element, as always.
    CVXPath* own = CVXPath::FromInterface(path);
    if (own) {
        size_t count = 0;
        for (const TemplateElement& element : figure.elements)
            count += element.kind == VX_NODE_RECT ? 5 : 1;
        own->ReserveNodes(count);
    }
    PathNode batch[16];
    int32_t pending = 0;
    const auto flush = [&] {
        if (pending > 0) own->AddNodes(batch, pending);
        pending = 0;
    };
    const CoordinatePrefixes prefixes(figure.frame);
    for (const TemplateElement& element : figure.elements) {
        PathNode& node = batch[pending];
        node = PathNode{static_cast<int32_t>(element.kind), 0, 0, 0, 0, 0, 0, 0};
        double* coords[6] = {&node.x1, &node.y1, &node.x2, &node.y2, &node.x3, &node.y3};
        for (int k = 0; k < 6 && !element.coords[k].empty(); ++k) {
            // The coordinate text is prefix + the element's text + ")", read in place.
            if (!bindings.Evaluate({prefixes.For(element.kind, k), element.coords[k], VXTEXT(")")},
                                   coords[k])) {
                if (own) flush();  // the elements before this one stay
                return false;
            }
        }
        if (!own) {
            path->AddNodes(&node, 1);
        } else if (++pending == 16) {
            flush();
        }
    }
    if (own) flush();
    return true;
}

}  // namespace vx
