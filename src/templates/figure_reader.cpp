// One "figure" element of a template file to one FigureTemplate.
#include <memory>

#include "templates/ellipse.h"
#include "templates/template_loader.h"

namespace vx {

namespace {

using platform::XmlElement;

enum class Read { Counted, Failed, NotCounted };

// Replaces text with the attribute's value when the attribute is present.
bool TakeAttribute(const XmlElement& element, const char* name, String& text) {
    return element.Attribute(name, &text);
}

Read ReadPoint(const XmlElement& element, uint32_t kind, TemplateElement* out) {
    bool found = false;
    element.ForEachChild([&](const XmlElement& child) {
        if (found || !EqualsIgnoringCase(child.Name(), "vertex")) return;
        found = true;
        TakeAttribute(child, "x", out->coords[0]);
        TakeAttribute(child, "y", out->coords[1]);
    });
    if (out->coords[0].empty() || out->coords[1].empty()) return Read::Failed;
    out->kind = kind;
    return Read::Counted;
}

// Vertices beyond the third are ignored.
Read ReadBezier(const XmlElement& element, TemplateElement* out) {
    size_t next = 0;
    element.ForEachChild([&](const XmlElement& child) {
        if (next >= 3 || !EqualsIgnoringCase(child.Name(), "vertex")) return;
        TakeAttribute(child, "x", out->coords[2 * next]);
        TakeAttribute(child, "y", out->coords[2 * next + 1]);
        ++next;
    });
    for (const String& c : out->coords) {
        if (c.empty()) return Read::Failed;
    }
    out->kind = VX_NODE_CUBIC;
    return Read::Counted;
}

// x, y, w, h; a later child overrides only the attributes it has.
Read ReadBox(const XmlElement& element, TemplateElement* out) {
    element.ForEachChild([&](const XmlElement& child) {
        const String name = child.Name();
        if (EqualsIgnoringCase(name, "vertex")) {
            TakeAttribute(child, "x", out->coords[0]);
            TakeAttribute(child, "y", out->coords[1]);
        } else if (EqualsIgnoringCase(name, "size")) {
            TakeAttribute(child, "w", out->coords[2]);
            TakeAttribute(child, "h", out->coords[3]);
        }
    });
    for (int k = 0; k < 4; ++k) {
        if (out->coords[k].empty()) return Read::Failed;
    }
    out->kind = VX_NODE_RECT;
    return Read::Counted;
}

void ReadAxis(const XmlElement& child, ReferenceAxis& axis) {
    TakeAttribute(child, "name", axis.name);
    TakeAttribute(child, "value", axis.value);
    TakeAttribute(child, "min", axis.min);
    TakeAttribute(child, "max", axis.max);
    String type;
    if (child.Attribute("type", &type)) axis.variable = !EqualsIgnoringCase(type, "constant");
}

TemplateReference ReadReference(const XmlElement& element) {
    TemplateReference reference;
    element.ForEachChild([&](const XmlElement& child) {
        const String name = child.Name();
        if (EqualsIgnoringCase(name, "x")) {
            ReadAxis(child, reference.x);
        } else if (EqualsIgnoringCase(name, "y")) {
            ReadAxis(child, reference.y);
        }
    });
    return reference;
}

// Reads one child of a figure into figure; closepath and unknown elements do not count.
Read ReadChild(const XmlElement& child, FigureTemplate& figure) {
    const String name = child.Name();
    TemplateElement element;
    Read result = Read::NotCounted;
    if (EqualsIgnoringCase(name, "moveto")) {
        result = ReadPoint(child, VX_NODE_MOVE, &element);
    } else if (EqualsIgnoringCase(name, "lineto")) {
        result = ReadPoint(child, VX_NODE_LINE, &element);
    } else if (EqualsIgnoringCase(name, "bezierto")) {
        result = ReadBezier(child, &element);
    } else if (EqualsIgnoringCase(name, "rectangle")) {
        result = ReadBox(child, &element);
    } else if (EqualsIgnoringCase(name, "ellipse")) {
        if (ReadBox(child, &element) == Read::Failed) return Read::Failed;
        const String* c = element.coords;
        AppendEllipseElements(figure.elements, c[0], c[1], c[2], c[3]);
        return Read::Counted;
    } else if (EqualsIgnoringCase(name, "closepath")) {
        element.kind = VX_NODE_CLOSE;
        figure.elements.push_back(element);
        return Read::NotCounted;
    } else if (EqualsIgnoringCase(name, "reference")) {
        figure.references.push_back(ReadReference(child));
        return Read::Counted;
    } else {
        return Read::NotCounted;
    }
    if (result == Read::Counted) figure.elements.push_back(std::move(element));
    return result;
}

}  // namespace

void LoadFigure(const XmlElement& element, TemplateLibrary& library) {
    if (!EqualsIgnoringCase(element.Name(), "figure")) return;
    String name;
    // An empty name could not be told apart from an absent one on every parser: skip both.
    if (!element.Attribute("name", &name) || name.empty()) return;

    auto figure = std::make_unique<FigureTemplate>();
    figure->SetName(name.c_str());
    String text;
    if (element.Attribute("tips", &text)) figure->SetTips(text.c_str());
    if (element.Attribute("icon", &text)) figure->SetIcon(text.c_str());

    bool counted = false;
    bool failed = false;
    element.ForEachChild([&](const XmlElement& child) {
        if (failed) return;
        switch (ReadChild(child, *figure)) {
            case Read::Counted: counted = true; break;
            case Read::Failed: failed = true; break;
            case Read::NotCounted: break;
        }
    });
    if (failed || !counted) return;
    library.Store(name, std::move(figure));
}

bool EqualsIgnoringCase(StringView text, const char* ascii) {
    size_t i = 0;
    for (; ascii[i]; ++i) {
        if (i >= text.size()) return false;
        VXCHAR a = text[i];
        VXCHAR b = static_cast<unsigned char>(ascii[i]);
        if (a >= 'A' && a <= 'Z') a = static_cast<VXCHAR>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<VXCHAR>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return i == text.size();
}

}  // namespace vx
