#include "templates/ellipse.h"

namespace vx {

namespace {

String Join(std::initializer_list<StringView> pieces) {
    String text;
    size_t length = 0;
    for (StringView piece : pieces) length += piece.size();
    text.reserve(length);
    for (StringView piece : pieces) text += piece;
    return text;
}

TemplateElement Element(uint32_t kind, std::initializer_list<String> coords) {
    TemplateElement element;
    element.kind = kind;
    size_t k = 0;
    for (const String& c : coords) element.coords[k++] = c;
    return element;
}

}  // namespace

void AppendEllipseElements(std::vector<TemplateElement>& elements, const String& x, const String& y,
                           const String& w, const String& h) {
    // The texts are joined exactly so, spaces included: templates and the paths built from
    // them are compared by these texts.
    const String kx = Join({VXTEXT("("), w, VXTEXT(")/2.00 * 0.55228475")});
    const String ky = Join({VXTEXT("("), h, VXTEXT(")/2.00 * 0.55228475")});
    const String mx = Join({x, VXTEXT(" + ("), w, VXTEXT(")/2.00")});
    const String rx = Join({x, VXTEXT(" + ("), w, VXTEXT(")")});
    const String my = Join({y, VXTEXT(" + ("), h, VXTEXT(")/2.00")});
    const String by = Join({y, VXTEXT(" + ("), h, VXTEXT(")")});
    const String m0 = Join({y, VXTEXT("+ ("), h, VXTEXT(")/2.00")});

    const String mxMinus = Join({mx, VXTEXT("-("), kx, VXTEXT(")")});
    const String mxPlus = Join({mx, VXTEXT("+("), kx, VXTEXT(")")});
    const String myMinus = Join({my, VXTEXT("-("), ky, VXTEXT(")")});
    const String myPlus = Join({my, VXTEXT("+("), ky, VXTEXT(")")});

    elements.reserve(elements.size() + 6);
    elements.push_back(Element(VX_NODE_MOVE, {x, m0}));
    elements.push_back(Element(VX_NODE_CUBIC, {x, myMinus, mxMinus, y, mx, y}));
    elements.push_back(Element(VX_NODE_CUBIC, {mxPlus, y, rx, myMinus, rx, my}));
    elements.push_back(Element(VX_NODE_CUBIC, {rx, myPlus, mxPlus, by, mx, by}));
    elements.push_back(Element(VX_NODE_CUBIC, {mxMinus, by, x, myPlus, x, my}));
    elements.push_back(Element(VX_NODE_CLOSE, {}));
}

}  // namespace vx
