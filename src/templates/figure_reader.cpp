// One "figure" element of a template file to one FigureTemplate.
#include <memory>
#include <string>

#include "templates/ellipse.h"
#include "templates/template_loader.h"
#include "text/utf.h"

namespace vx {

namespace {

using platform::SourcePlace;
using platform::XmlElement;
using Severity = LoadDiagnostics::Severity;

enum class Read { Counted, Failed, NotCounted };

// What the readers tell a checker; without one (the normal load) nothing is looked up or
// composed.
struct Notes {
    LoadDiagnostics* sink;

    void Report(Severity severity, const XmlElement& at, const std::string& message) const {
        if (sink) sink->Report(severity, at.Place(), message);
    }
    void Ignored(const XmlElement& child, const char* inside) const {
        if (!sink) return;
        const std::string where = inside ? std::string(inside) + ": " : std::string();
        Report(Severity::Note, child,
               where + "element \"" + text::ToUtf8(child.Name()) + "\" is ignored");
    }
    void Dropped(const XmlElement& at, const std::string& why) const {
        Report(Severity::Error, at, why + "; the figure is dropped");
    }
};

// The texts that an element reader takes from the element's children.
struct Taken {
    explicit Taken(const Notes& n) : notes(n) {}
    Notes notes;
    TemplateElement element;
    bool given[6] = {};
    SourcePlace places[6];  // looked up for a checker only

    // Replaces text k with the attribute's value when the attribute is present.
    void Take(const XmlElement& child, const char* name, int k) {
        if (!child.Attribute(name, &element.coords[k])) return;
        given[k] = true;
        if (notes.sink) places[k] = child.Place();
    }

    // Why the first empty text of the slots [first, first + count) is empty.
    std::string Missing(const char* what, const char* child, int first, int count,
                        const char* const* names) const {
        for (int k = first; k < first + count; ++k) {
            if (!element.coords[k].empty()) continue;
            const std::string name = names[k - first];
            return std::string(what) + ": " +
                   (given[k] ? name + " is empty" : std::string(child) + " has no " + name);
        }
        return what;
    }
};

const char* const kPointNames[2] = {"x", "y"};
const char* const kBoxNames[4] = {"x", "y", "w", "h"};

Read ReadPoint(const XmlElement& element, const char* what, Taken& t) {
    bool found = false;
    element.ForEachChild([&](const XmlElement& child) {
        if (!EqualsIgnoringCase(child.Name(), "vertex")) return t.notes.Ignored(child, what);
        if (found) {
            t.notes.Report(Severity::Note, child,
                           std::string(what) + ": only the first vertex is read");
            return;
        }
        found = true;
        t.Take(child, "x", 0);
        t.Take(child, "y", 1);
    });
    if (!t.element.coords[0].empty() && !t.element.coords[1].empty()) return Read::Counted;
    if (t.notes.sink) {
        t.notes.Dropped(element, found ? t.Missing(what, "the vertex", 0, 2, kPointNames)
                                       : std::string(what) + " has no vertex");
    }
    return Read::Failed;
}

Read ReadBezier(const XmlElement& element, Taken& t) {
    int next = 0;
    element.ForEachChild([&](const XmlElement& child) {
        if (!EqualsIgnoringCase(child.Name(), "vertex")) return t.notes.Ignored(child, "bezierto");
        if (next >= 3) {
            t.notes.Report(Severity::Note, child, "bezierto: a vertex after the third is ignored");
            return;
        }
        t.Take(child, "x", 2 * next);
        t.Take(child, "y", 2 * next + 1);
        ++next;
    });
    for (int k = 0; k < 6; ++k) {
        if (!t.element.coords[k].empty()) continue;
        if (!t.notes.sink) return Read::Failed;
        if (next < 3) {
            const std::string count = std::to_string(next) + (next == 1 ? " vertex" : " vertices");
            t.notes.Dropped(element, "bezierto has " + count + ", it needs 3");
        } else {
            const std::string vertex = "vertex " + std::to_string(k / 2 + 1),
                              name = kPointNames[k % 2];
            t.notes.Dropped(element, t.given[k]
                                         ? "bezierto: " + name + " of " + vertex + " is empty"
                                         : "bezierto: " + vertex + " has no " + name);
        }
        return Read::Failed;
    }
    return Read::Counted;
}

// x, y, w, h; a later child overrides only the attributes it has.
Read ReadBox(const XmlElement& element, const char* what, Taken& t) {
    bool vertex = false, size = false;
    element.ForEachChild([&](const XmlElement& child) {
        const String name = child.Name();
        if (EqualsIgnoringCase(name, "vertex")) {
            vertex = true;
            t.Take(child, "x", 0);
            t.Take(child, "y", 1);
        } else if (EqualsIgnoringCase(name, "size")) {
            size = true;
            t.Take(child, "w", 2);
            t.Take(child, "h", 3);
        } else {
            t.notes.Ignored(child, what);
        }
    });
    for (int k = 0; k < 4; ++k) {
        if (!t.element.coords[k].empty()) continue;
        if (!t.notes.sink) return Read::Failed;
        if (!vertex || !size) {
            t.notes.Dropped(element, std::string(what) + " has no " + (vertex ? "size" : "vertex"));
        } else {
            t.notes.Dropped(element, k < 2 ? t.Missing(what, "the vertex", 0, 2, kBoxNames)
                                           : t.Missing(what, "the size", 2, 2, kBoxNames + 2));
        }
        return Read::Failed;
    }
    return Read::Counted;
}

void ReadAxis(const XmlElement& child, ReferenceAxis& axis) {
    child.Attribute("name", &axis.name);
    child.Attribute("value", &axis.value);
    child.Attribute("min", &axis.min);
    child.Attribute("max", &axis.max);
    String type;
    if (child.Attribute("type", &type)) axis.variable = !EqualsIgnoringCase(type, "constant");
}

TemplateReference ReadReference(const XmlElement& element, const Notes& notes,
                                FigureSource::Reference* source) {
    TemplateReference reference;
    if (source) source->x = source->y = element.Place();
    element.ForEachChild([&](const XmlElement& child) {
        const String name = child.Name();
        if (EqualsIgnoringCase(name, "x")) {
            ReadAxis(child, reference.x);
            if (source) source->x = child.Place();
        } else if (EqualsIgnoringCase(name, "y")) {
            ReadAxis(child, reference.y);
            if (source) source->y = child.Place();
        } else {
            notes.Ignored(child, "reference");
        }
    });
    return reference;
}

// Reads one child of a figure into figure; closepath and unknown elements do not count.
// source, for a checker, receives where the texts of what is read came from.
Read ReadChild(const XmlElement& child, FigureTemplate& figure, const Notes& notes,
               FigureSource* source) {
    const String name = child.Name();
    Taken t(notes);
    const char* what = nullptr;
    Read result = Read::NotCounted;
    if (EqualsIgnoringCase(name, "moveto")) {
        what = "moveto";
        t.element.kind = VX_NODE_MOVE;
        result = ReadPoint(child, what, t);
    } else if (EqualsIgnoringCase(name, "lineto")) {
        what = "lineto";
        t.element.kind = VX_NODE_LINE;
        result = ReadPoint(child, what, t);
    } else if (EqualsIgnoringCase(name, "bezierto")) {
        what = "bezierto";
        t.element.kind = VX_NODE_CUBIC;
        result = ReadBezier(child, t);
    } else if (EqualsIgnoringCase(name, "rectangle") || EqualsIgnoringCase(name, "ellipse")) {
        what = EqualsIgnoringCase(name, "ellipse") ? "ellipse" : "rectangle";
        t.element.kind = VX_NODE_RECT;
        result = ReadBox(child, what, t);
    } else if (EqualsIgnoringCase(name, "closepath")) {
        TemplateElement close;
        close.kind = VX_NODE_CLOSE;
        figure.elements.push_back(close);
        return Read::NotCounted;
    } else if (EqualsIgnoringCase(name, "reference")) {
        FigureSource::Reference* place = nullptr;
        if (source) place = &source->references.emplace_back();
        figure.references.push_back(ReadReference(child, notes, place));
        return Read::Counted;
    } else {
        notes.Ignored(child, nullptr);
        return Read::NotCounted;
    }
    if (result != Read::Counted) return result;
    if (source) {
        FigureSource::Element& written = source->elements.emplace_back();
        written.name = what;
        written.texts = t.element;
        std::copy(std::begin(t.places), std::end(t.places), std::begin(written.places));
    }
    if (what[0] == 'e') {
        const String* c = t.element.coords;
        AppendEllipseElements(figure.elements, c[0], c[1], c[2], c[3]);
    } else {
        figure.elements.push_back(std::move(t.element));
    }
    return Read::Counted;
}

}  // namespace

void LoadFigure(const XmlElement& element, TemplateLibrary& library, LoadDiagnostics* sink) {
    if (!EqualsIgnoringCase(element.Name(), "figure")) return;
    const Notes notes{sink};
    String name;
    // An empty name could not be told apart from an absent one on every parser: skip both.
    const bool present = element.Attribute("name", &name);
    if (sink) sink->BeginFigure(present && !name.empty() ? &name : nullptr, element.Place());
    if (!present || name.empty()) {
        if (sink) {
            notes.Dropped(element, present ? "the name is empty" : "no name");
            sink->EndFigure(nullptr, FigureSource());
        }
        return;
    }

    auto figure = std::make_unique<FigureTemplate>();
    figure->SetName(name.c_str());
    String text;
    if (element.Attribute("tips", &text)) figure->SetTips(text.c_str());
    if (element.Attribute("icon", &text)) figure->SetIcon(text.c_str());

    FigureSource source;
    bool counted = false;
    bool failed = false;
    element.ForEachChild([&](const XmlElement& child) {
        if (failed) return;
        switch (ReadChild(child, *figure, notes, sink ? &source : nullptr)) {
            case Read::Counted: counted = true; break;
            case Read::Failed: failed = true; break;
            case Read::NotCounted: break;
        }
    });
    if (failed || !counted) {
        if (sink) {
            if (!failed) notes.Dropped(element, "no drawing element and no reference");
            sink->EndFigure(nullptr, FigureSource());
        }
        return;
    }
    if (sink) sink->EndFigure(figure.get(), source);
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
