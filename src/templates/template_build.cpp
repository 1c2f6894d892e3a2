#include "templates/template_build.h"

#include "templates/template_bindings.h"
#include "text/format.h"

namespace vx {

namespace {

// The four frame prefixes: "%f + (%f - %f)" for x and y coordinates, "(%f - %f)" for a
// rectangle's width and height. The frame enters every coordinate through these texts, so
// its edges act as if rounded to the nearest millionth.
struct FramePrefixes {
    explicit FramePrefixes(const double* f)
        : x(text::Format("%f + (%f - %f)*(", {f[0], f[2], f[0]})),
          y(text::Format("%f + (%f - %f)*(", {f[1], f[3], f[1]})),
          w(text::Format("(%f - %f)*(", {f[2], f[0]})),
          h(text::Format("(%f - %f)*(", {f[3], f[1]})) {}

    const String& For(uint32_t kind, int k) const {
        if (kind == VX_NODE_RECT && k == 2) return w;
        if (kind == VX_NODE_RECT && k == 3) return h;
        return k % 2 == 0 ? x : y;
    }

    String x, y, w, h;
};

}  // namespace

bool BuildPathFromTemplate(IVXPath* path, FigureTemplate& figure, const double* frame) {
    path->ClearNodes();
    SetFrame(figure, frame[0], frame[1], frame[2], frame[3]);

    TemplateBindings bindings;
    if (!bindings.BindReferences(figure)) return false;

    const FramePrefixes prefixes(figure.frame);
    String text;
    for (const TemplateElement& element : figure.elements) {
        PathNode node{static_cast<int32_t>(element.kind), 0, 0, 0, 0, 0, 0, 0};
        double* coords[6] = {&node.x1, &node.y1, &node.x2, &node.y2, &node.x3, &node.y3};
        for (int k = 0; k < 6 && !element.coords[k].empty(); ++k) {
            text = prefixes.For(element.kind, k);
            text += element.coords[k];
            text += VXCHAR(')');
            if (!bindings.Evaluate(text, coords[k])) return false;
        }
        path->AddNodes(&node, 1);
    }
    return true;
}

}  // namespace vx
