#include "svg_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "host.h"

namespace sketch {

const char kSketchNamespace[] = "urn:ostrel:sketch:1";

namespace {

// ---- Writing ----------------------------------------------------------------------------

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Colour(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string Numbers(std::initializer_list<double> values) {
    std::string text;
    for (double v : values) {
        if (!text.empty()) text += ' ';
        text += ExactNumber(v);
    }
    return text;
}

std::string NodeText(const std::vector<PathNode>& nodes) {
    std::string text;
    for (const PathNode& n : nodes) {
        std::string one;
        switch (n.kind) {
            case VX_NODE_MOVE: one = "M " + Numbers({n.x1, n.y1}); break;
            case VX_NODE_LINE: one = "L " + Numbers({n.x1, n.y1}); break;
            case VX_NODE_CUBIC: one = "C " + Numbers({n.x1, n.y1, n.x2, n.y2, n.x3, n.y3}); break;
            case VX_NODE_CLOSE: one = "Z"; break;
            default: continue;  // kinds the library neither draws nor hits
        }
        if (!text.empty()) text += ' ';
        text += one;
    }
    return text;
}

// A surface that writes what the path describes as path data.
class DataSurface : public IDrawSurface {
public:
    std::string data;

    void MoveTo(double x, double y) override { Add('M', {x, y}); }
    void LineTo(double x, double y) override { Add('L', {x, y}); }
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override {
        Add('C', {x1, y1, x2, y2, x3, y3});
    }
    void CurveToV(double, double, double, double) override {}  // never sent for a path
    void CurveToY(double, double, double, double) override {}
    void Rectangle(double x, double y, double w, double h) override {
        MoveTo(x, y), LineTo(x + w, y), LineTo(x + w, y + h), LineTo(x, y + h), ClosePath();
    }
    void ClosePath() override { Add('Z', {}); }
    void BeginPath(IVXPath*) override {}
    void EndPath(IVXPath*, int32_t) override {}
    void BeginOverlay() override {}
    void EndOverlay() override {}
    int32_t SaveOverlay() override { return 0; }
    void RestoreOverlay(int32_t, const double*) override {}
    void DropOverlay(int32_t) override {}
    void ShowOverlay(int32_t, const double*) override {}
    void SetColor(uint32_t, int32_t) override {}
    int32_t WantsFullFigure(const double*) override { return 0; }
    void Refresh(double, double, double, double) override {}
    int32_t DrawMark(double, double, double, double, int32_t) override { return 1; }

private:
    void Add(char letter, std::initializer_list<double> values) {
        if (!data.empty()) data += ' ';
        data += letter;
        for (double v : values) data += ' ' + ShortNumber(v);
    }
};

// ---- Reading ----------------------------------------------------------------------------

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    int depth;  // 0 for the root
};

bool Unescape(const std::string& raw, std::string* out) {
    out->clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            *out += raw[i];
            continue;
        }
        const size_t end = raw.find(';', i);
        if (end == std::string::npos || end - i > 10) return false;
        const std::string name = raw.substr(i + 1, end - i - 1);
        if (name == "lt") *out += '<';
        else if (name == "gt") *out += '>';
        else if (name == "amp") *out += '&';
        else if (name == "quot") *out += '"';
        else if (name == "apos") *out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string digits = name.substr(hex ? 2 : 1);
            if (digits.empty() ||
                digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                    std::string::npos) {
                return false;
            }
            const unsigned long code = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
            if (code == 0 || code > 0x10FFFF || digits.size() > 7) return false;
            VXString one;
            if (code >= 0x10000) {
                one += static_cast<VXCHAR>(0xD800 + ((code - 0x10000) >> 10));
                one += static_cast<VXCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                one += static_cast<VXCHAR>(code);
            }
            *out += ToUtf8(one);
        } else {
            return false;
        }
        i = end;
    }
    return true;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-' ||
           c == '.' || (c & 0x80);
}

size_t SkipSpace(const std::string& text, size_t n) {
    while (n < text.size() && std::isspace(static_cast<unsigned char>(text[n]))) ++n;
    return n;
}

size_t SkipName(const std::string& text, size_t n) {
    while (n < text.size() && IsNameChar(text[n])) ++n;
    return n;
}

// Past the comment, declaration or processing instruction at i (npos when it does not end);
// i itself when there is none.
size_t SkipMarkup(const std::string& text, size_t i) {
    if (text.compare(i, 4, "<!--") == 0) {
        const size_t end = text.find("-->", i + 4);
        return end == std::string::npos ? end : end + 3;
    }
    if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
        const size_t end = text.find('>', i);
        return end == std::string::npos ? end : end + 1;
    }
    return i;
}

// The end tag at *i, which must close the innermost open element; *i moves past it.
bool ReadEndTag(const std::string& text, size_t* i, std::vector<std::string>* open,
                std::string* error) {
    size_t n = SkipName(text, *i + 2);
    const std::string name = text.substr(*i + 2, n - *i - 2);
    n = SkipSpace(text, n);
    if (open->empty() || open->back() != name || n >= text.size() || text[n] != '>') {
        *error = "the XML tags do not match";
        return false;
    }
    open->pop_back();
    *i = n + 1;
    return true;
}

// The attributes of a start tag from *n up to its '>' or "/>" (*closed), and *n past it.
bool ReadAttributes(const std::string& text, size_t* at, Element* element, bool* closed,
                    std::string* error) {
    size_t n = *at;
    for (;;) {
        n = SkipSpace(text, n);
        if (n >= text.size()) {
            *error = "it ends inside a tag";
            return false;
        }
        if (text[n] == '>' || text.compare(n, 2, "/>") == 0) {
            *closed = text[n] == '/';
            *at = n + (*closed ? 2 : 1);
            return true;
        }
        const size_t start = n;
        n = SkipName(text, n);
        const std::string name = text.substr(start, n - start);
        n = SkipSpace(text, n);
        if (name.empty() || n + 1 >= text.size() || text[n] != '=') {
            *error = "it is not well-formed XML";
            return false;
        }
        n = SkipSpace(text, n + 1);
        const char quote = n < text.size() ? text[n] : 0;
        const size_t end =
            quote == '"' || quote == '\'' ? text.find(quote, n + 1) : std::string::npos;
        std::string value;
        if (end == std::string::npos || text.find('<', n + 1) < end ||
            !Unescape(text.substr(n + 1, end - n - 1), &value)) {
            *error = "it is not well-formed XML";
            return false;
        }
        if (!element->attributes.emplace(name, value).second) {
            *error = "an element repeats an attribute";
            return false;
        }
        n = end + 1;
    }
}

// The elements of an XML text in document order, with their depth. Declarations, comments,
// processing instructions and text are skipped; tags must nest.
bool ScanElements(const std::string& text, std::vector<Element>* elements, std::string* error) {
    std::vector<std::string> open;
    size_t i = 0;
    bool rootSeen = false;
    while ((i = text.find('<', i)) != std::string::npos) {
        const size_t after = SkipMarkup(text, i);
        if (after != i) {
            i = after;  // npos ends the scan
            continue;
        }
        if (text.compare(i, 2, "</") == 0) {
            if (!ReadEndTag(text, &i, &open, error)) return false;
            continue;
        }
        if (rootSeen && open.empty()) {
            *error = "there is more than one root element";
            return false;
        }
        Element element;
        element.depth = static_cast<int>(open.size());
        size_t n = SkipName(text, i + 1);
        element.name = text.substr(i + 1, n - i - 1);
        if (element.name.empty()) {
            *error = "it is not well-formed XML";
            return false;
        }
        bool closed = false;
        if (!ReadAttributes(text, &n, &element, &closed, error)) return false;
        rootSeen = true;
        if (!closed) open.push_back(element.name);
        elements->push_back(std::move(element));
        i = n;
    }
    if (!rootSeen || !open.empty()) {
        *error = rootSeen ? "it ends before its elements are closed" : "it has no XML element";
        return false;
    }
    return true;
}

bool ReadNumbers(const std::string& text, double* out, int count) {
    const char* p = text.c_str();
    for (int k = 0; k < count; ++k) {
        if (!ReadNumber(&p, out + k)) return false;
    }
    while (*p == ' ') ++p;
    return *p == 0;
}

bool ReadNodes(const std::string& text, std::vector<PathNode>* nodes) {
    const char* p = text.c_str();
    for (;;) {
        while (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r') ++p;
        if (!*p) return true;
        PathNode node;
        std::memset(&node, 0, sizeof node);
        double v[6] = {0, 0, 0, 0, 0, 0};
        int count = 0;
        switch (*p++) {
            case 'M': node.kind = VX_NODE_MOVE, count = 2; break;
            case 'L': node.kind = VX_NODE_LINE, count = 2; break;
            case 'C': node.kind = VX_NODE_CUBIC, count = 6; break;
            case 'Z': node.kind = VX_NODE_CLOSE, count = 0; break;
            default: return false;
        }
        for (int k = 0; k < count; ++k) {
            if (!ReadNumber(&p, v + k)) return false;
        }
        node.x1 = v[0], node.y1 = v[1], node.x2 = v[2], node.y2 = v[3], node.x3 = v[4],
        node.y3 = v[5];
        nodes->push_back(node);
    }
}

bool ReadColour(const std::string& text, uint32_t* rgb) {
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        return false;
    }
    *rgb = static_cast<uint32_t>(std::strtoul(text.c_str() + 1, nullptr, 16));
    return true;
}

// One path element with the sketch's data in the attributes of namespace `prefix`. False
// when something cannot be read, with *problem to follow "path N".
bool ReadPath(const Element& e, const std::string& prefix, SvgPath* path, const char** problem) {
    auto attribute = [&](const char* name) -> const std::string* {
        auto found = e.attributes.find(prefix + ":" + name);
        return found == e.attributes.end() ? nullptr : &found->second;
    };
    const std::string *nodes = attribute("nodes"), *transform = attribute("transform");
    double m[6];
    if (!nodes || !transform) {
        *problem = " has no sketch data";
        return false;
    }
    if (!ReadNodes(*nodes, &path->state.nodes) || path->state.nodes.empty() ||
        !ReadNumbers(*transform, m, 6)) {
        *problem = " has unreadable nodes or transform";
        return false;
    }
    path->state.transform = {m[0], m[1], m[2], m[3], m[4], m[5]};
    if (const std::string* templateText = attribute("template")) {
        const std::string* frame = attribute("frame");
        path->state.templateText = FromUtf8(*templateText);
        if (!frame || !ReadNumbers(*frame, path->state.frame, 4) || !path->state.HasTemplate() ||
            path->state.TemplateName().empty()) {
            *problem = " has an unreadable template";
            return false;
        }
    }
    auto stroke = e.attributes.find("stroke");
    if (stroke == e.attributes.end() || !ReadColour(stroke->second, &path->stroke)) {
        *problem = " has no stroke colour";
        return false;
    }
    auto fill = e.attributes.find("fill");
    path->filled = fill != e.attributes.end() && fill->second != "none";
    if (path->filled && !ReadColour(fill->second, &path->fill)) {
        *problem = " has an unreadable fill colour";
        return false;
    }
    return true;
}

}  // namespace

// ---- Public -------------------------------------------------------------------------------

std::string WriteSvg(const SvgDrawing& drawing) {
    const double* b = drawing.box;
    const double w = b[2] - b[0], h = b[3] - b[1];
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:ostrel=\"" +
           std::string(kSketchNamespace) + "\" version=\"1.1\" width=\"" + ShortNumber(w) +
           "\" height=\"" + ShortNumber(h) + "\" viewBox=\"" + ShortNumber(b[0]) + ' ' +
           ShortNumber(b[1]) + ' ' + ShortNumber(w) + ' ' + ShortNumber(h) + "\">\n";
    for (const SvgPath& p : drawing.paths) {
        const PathTransform& t = p.state.transform;
        out += "<path d=\"" + p.d + "\" fill=\"" + (p.filled ? Colour(p.fill) : "none") + "\"";
        out += " stroke=\"" + Colour(p.stroke) + "\" stroke-width=\"2\" stroke-linejoin=\"round\"";
        out += "\n      ostrel:nodes=\"" + NodeText(p.state.nodes) + "\"";
        out += "\n      ostrel:transform=\"" + Numbers({t.a, t.b, t.c, t.d, t.e, t.f}) + "\"";
        if (p.state.HasTemplate()) {
            const double* f = p.state.frame;
            out += "\n      ostrel:template=\"" + Escape(ToUtf8(p.state.templateText)) + "\"";
            out += " ostrel:frame=\"" + Numbers({f[0], f[1], f[2], f[3]}) + "\"";
        }
        out += "/>\n";
    }
    out += "</svg>\n";
    return out;
}

bool ReadSvg(const std::string& text, SvgDrawing* drawing, std::string* error) {
    *drawing = SvgDrawing();
    std::vector<Element> elements;
    if (text.find('\0') != std::string::npos) {
        *error = "it is not a text file";
        return false;
    }
    if (!ScanElements(text, &elements, error)) return false;
    const Element& root = elements.front();
    std::string prefix;
    for (const auto& [name, value] : root.attributes) {
        if (name.compare(0, 6, "xmlns:") == 0 && value == kSketchNamespace) prefix = name.substr(6);
    }
    if (root.name != "svg" || prefix.empty()) {
        *error = root.name != "svg" ? "it is not an SVG file"
                                    : "it is an SVG file without the sketch's data";
        return false;
    }
    double view[4];
    auto box = root.attributes.find("viewBox");
    if (box != root.attributes.end() && ReadNumbers(box->second, view, 4)) {
        drawing->box[0] = view[0], drawing->box[1] = view[1];
        drawing->box[2] = view[0] + view[2], drawing->box[3] = view[1] + view[3];
    }
    int number = 0;
    for (const Element& e : elements) {
        if (e.name != "path") continue;
        ++number;
        SvgPath path;
        const char* problem = nullptr;
        if (!ReadPath(e, prefix, &path, &problem)) {
            *error = "path " + std::to_string(number) + problem;
            return false;
        }
        drawing->paths.push_back(std::move(path));
    }
    return true;
}

std::string PathData(IVXPath* path) {
    DataSurface surface;
    path->Draw(&surface);
    return surface.data;
}

SvgDrawing DrawingOf(IGraphicCanvas* canvas, double width, double height) {
    SvgDrawing drawing;
    double* b = drawing.box;
    b[0] = 0, b[1] = 0, b[2] = width, b[3] = height;
    const int32_t count = canvas->GetPathCount();
    for (int32_t i = 0; i < count; ++i) {
        IVXPath* path = canvas->GetPath(i);
        const PathStyle& style = PathStyle::Of(path);
        SvgPath item;
        item.d = PathData(path);
        item.stroke = style.stroke, item.fill = style.fill, item.filled = style.filled;
        item.state = CapturePath(canvas, path);
        drawing.paths.push_back(std::move(item));
        double x[4], y[4];
        path->GetCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
        for (int k = 0; k < 4; ++k) {
            if (!std::isfinite(x[k]) || !std::isfinite(y[k])) continue;
            b[0] = std::min(b[0], std::floor(x[k]) - 10),
            b[1] = std::min(b[1], std::floor(y[k]) - 10);
            b[2] = std::max(b[2], std::ceil(x[k]) + 10),
            b[3] = std::max(b[3], std::ceil(y[k]) + 10);
        }
    }
    return drawing;
}

int LoadDrawing(const OstrelExports& library, IGraphicCanvas* canvas, const SvgDrawing& drawing) {
    int made = 0;
    for (const SvgPath& item : drawing.paths) {
        IVXPath* path = MakePath(library, canvas, item.state);
        if (!path) continue;
        PathStyle* style = new PathStyle(item.stroke, item.fill, item.filled);
        path->SetFillObject(style);
        style->Release();
        canvas->AddPath(path);
        path->Release();
        ++made;
    }
    return made;
}

}  // namespace sketch
