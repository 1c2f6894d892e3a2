#include "commands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "catalogue.h"
#include "files.h"
#include "ostrel/ostrel.h"
#include "svg_surface.h"
#include "text.h"

namespace ostrel_cli {

// The figures of a folder, or of one file (--file), loaded into the shared library and
// into the catalogue. The library reads folders only: one file is copied alone into a
// temporary folder, removed again at the end.
class LoadedFolder {
public:
    LoadedFolder(const Options& options, const std::string& folder) {
        std::error_code error;
        std::string from = folder;
        if (!options.file.empty()) {
            source_ = "file '" + options.file + "'";
            if (std::filesystem::is_directory(options.file, error) ||
                !std::ifstream(options.file, std::ios::binary)) {
                throw UsageError("cannot read file '" + options.file + "'");
            }
            const std::filesystem::path temp =
                TempNameFor((std::filesystem::temp_directory_path(error) / "ostrel-file").string());
            if (!std::filesystem::create_directory(temp, error) ||
                !std::filesystem::copy_file(options.file, temp / "figure.xml", error)) {
                std::filesystem::remove_all(temp, error);
                throw UsageError("cannot copy '" + options.file + "' to a temporary folder");
            }
            temp_ = temp.string();
            from = temp_;
        } else {
            source_ = "folder '" + folder + "'";
            if (!std::filesystem::is_directory(folder, error)) {
                throw UsageError("folder '" + folder + "' does not exist");
            }
        }
        const VxString wide = ToVx(from);
        VX_Initial(wide.c_str());
        catalogue_ = std::make_unique<Catalogue>();
        if (catalogue_->Figures().empty()) {
            VX_Release();
            RemoveTemp();
            if (!options.file.empty()) {
                throw UsageError("no figure of file '" + options.file + "' loads; ostrel check '" +
                                 options.file + "' says why");
            }
            throw UsageError("no figures in folder '" + folder + "'");
        }
    }
    ~LoadedFolder() {
        VX_Release();
        RemoveTemp();
    }
    LoadedFolder(const LoadedFolder&) = delete;
    LoadedFolder& operator=(const LoadedFolder&) = delete;

    // "folder 'DIR'" or "file 'FILE'", for messages.
    const std::string& Source() const { return source_; }
    const Catalogue& Figures() const { return *catalogue_; }

private:
    void RemoveTemp() {
        std::error_code ignored;
        if (!temp_.empty()) std::filesystem::remove_all(temp_, ignored);
        temp_.clear();
    }

    std::string source_, temp_;
    std::unique_ptr<Catalogue> catalogue_;
};

namespace {

// Holds the one reference that VX_CreatePathEx hands out.
struct PathRef {
    IVXPath* path;
    explicit PathRef(IVXPath* p) : path(p) {}
    ~PathRef() {
        if (path) path->Release();
    }
    PathRef(const PathRef&) = delete;
    PathRef& operator=(const PathRef&) = delete;
    IVXPath* operator->() const { return path; }
};

PathCreateParams MakeParams(const std::string& name, const double frame[4]) {
    PathCreateParams params;
    std::memset(&params, 0, sizeof params);
    params.left = frame[0];
    params.top = frame[1];
    params.right = frame[2];
    params.bottom = frame[3];
    const VxString wide = ToVx(name);
    constexpr size_t kUnits = sizeof params.name / sizeof params.name[0];
    if (wide.size() >= kUnits) {
        throw UsageError("figure name '" + name.substr(0, 40) + "...' is longer than " +
                         std::to_string(kUnits - 1) + " UTF-16 units");
    }
    std::copy(wide.begin(), wide.end(), params.name);
    return params;
}

std::vector<PathNode> NodesOf(IVXPath* path) {
    const int32_t count = path->GetNodes(nullptr, 0);
    std::vector<PathNode> nodes(static_cast<size_t>(std::max(count, 0)));
    if (!nodes.empty()) path->GetNodes(nodes.data(), count);
    return nodes;
}

std::string Limits(const AxisEntry& a) {
    return "[" + FormatNumber(a.min, 6) + ", " + FormatNumber(a.max, 6) + "]";
}

std::string AxisLine(const char* axis, const AxisEntry& a) {
    std::string line = std::string(axis) + " " + (a.name.empty() ? "(unnamed)" : a.name) + " = " +
                       (a.valueOk ? FormatNumber(a.value, 6) : "(does not evaluate)");
    if (a.valueOk && a.valueText != FormatNumber(a.value, 6)) line += " (" + a.valueText + ")";
    return line + " limits " + Limits(a);
}

const char* kPathStyle =
    "fill=\"#dce9f5\" fill-rule=\"evenodd\" stroke=\"#1f4e79\" stroke-width=\"1.5\" "
    "stroke-linejoin=\"round\"";

}  // namespace

std::string NodeLine(const PathNode& n) {
    auto pts = [](std::initializer_list<double> v) {
        std::string s;
        for (double d : v) s += ' ' + FormatNumber(d);
        return s;
    };
    switch (n.kind) {
        case VX_NODE_MOVE: return "move" + pts({n.x1, n.y1});
        case VX_NODE_LINE: return "line" + pts({n.x1, n.y1});
        case VX_NODE_CUBIC: return "curve" + pts({n.x1, n.y1, n.x2, n.y2, n.x3, n.y3});
        case VX_NODE_CLOSE: return "close";
        default:
            return "kind " + std::to_string(n.kind) + pts({n.x1, n.y1, n.x2, n.y2, n.x3, n.y3});
    }
}

void WriteDrawing(const std::string& svg, const std::string& svgPath, const std::string& pngPath,
                  const std::function<void()>& beforeSvg) {
    if (svgPath.empty() && pngPath.empty()) {
        if (beforeSvg) beforeSvg();
        return;
    }
    // Without an SVG file the PNG is converted from a temporary one that is never kept.
    PendingFile svgFile(svgPath.empty() ? TempNameFor(pngPath) : svgPath, svg);
    if (!pngPath.empty()) {
        // Converted from the temporary SVG into a temporary PNG: both appear, or neither.
        const std::string pngTemp = TempNameFor(pngPath);
        const int status =
            RunProgram({"rsvg-convert", "--format=png", "-o", pngTemp, svgFile.TempPath()});
        std::error_code error;
        const bool made = std::filesystem::is_regular_file(pngTemp, error);
        if (status != 0 || !made) {
            std::filesystem::remove(pngTemp, error);
            if (status < 0) {
                throw RunError("cannot run rsvg-convert for --png (Debian package librsvg2-bin)");
            }
            throw RunError("rsvg-convert failed with status " + std::to_string(status) +
                           " writing '" + pngPath + "'");
        }
        std::filesystem::rename(pngTemp, pngPath, error);
        if (error) {
            std::filesystem::remove(pngTemp, error);
            throw UsageError("cannot write '" + pngPath + "'");
        }
    }
    try {
        if (beforeSvg) beforeSvg();
        if (!svgPath.empty()) svgFile.Commit();
    } catch (...) {
        if (!pngPath.empty()) {
            std::error_code ignored;
            std::filesystem::remove(pngPath, ignored);
        }
        throw;
    }
}

void RunFigures(const Options& options, const std::string& folder, std::ostream& out) {
    LoadedFolder loaded(options, folder);
    bool first = true;
    for (const FigureEntry& f : loaded.Figures().Figures()) {
        if (!first) out << '\n';
        first = false;
        out << f.name << '\n';
        out << "  tips: " << f.tips << '\n';
        out << "  icon: " << f.icon << '\n';
        out << "  elements: " << f.elements << '\n';
        out << "  references: " << f.references.size() << '\n';
        for (size_t i = 0; i < f.references.size(); ++i) {
            const ReferenceEntry& r = f.references[i];
            out << "    " << i + 1 << ". " << AxisLine("x", r.x) << '\n';
            out << "       " << AxisLine("y", r.y) << '\n';
        }
    }
}

namespace {

// Sets the --ref values into params, after a first build with the file's values tells how
// many references the figure has.
void SetReferences(const Options& options, const LoadedFolder& loaded, PathCreateParams* params) {
    PathRef probe(VX_CreatePathEx(params));
    if (!probe.path) {
        throw UsageError("unknown figure '" + options.name + "' in " + loaded.Source());
    }
    PathCreateParams info;
    if (!probe->GetTemplateInfo(&info)) info.count = 0;
    if (options.refs.size() > static_cast<size_t>(info.count)) {
        throw UsageError("figure '" + options.name + "' has " + std::to_string(info.count) +
                         " reference handle(s); " + std::to_string(options.refs.size()) +
                         " --ref given");
    }
    params->count = static_cast<int32_t>(options.refs.size());
    for (size_t i = 0; i < options.refs.size(); ++i) {
        params->pairs[i][0] = options.refs[i].first;
        params->pairs[i][1] = options.refs[i].second;
    }
}

// The built figure alone; the view covers the frame and every point, control points
// included, with a margin.
std::string FigureSvg(const std::string& name, const PathCreateParams& params, IVXPath* path,
                      const std::vector<PathNode>& nodes) {
    SvgPathSurface surface;
    path->Draw(&surface);
    double minX = std::min(params.left, params.right), maxX = std::max(params.left, params.right);
    double minY = std::min(params.top, params.bottom), maxY = std::max(params.top, params.bottom);
    for (const PathNode& n : nodes) {
        if (n.kind == VX_NODE_CLOSE) continue;
        const double xs[3] = {n.x1, n.x2, n.x3}, ys[3] = {n.y1, n.y2, n.y3};
        const int used = n.kind == VX_NODE_CUBIC ? 3 : 1;
        for (int k = 0; k < used; ++k) {
            if (!std::isfinite(xs[k]) || !std::isfinite(ys[k])) continue;
            minX = std::min(minX, xs[k]), maxX = std::max(maxX, xs[k]);
            minY = std::min(minY, ys[k]), maxY = std::max(maxY, ys[k]);
        }
    }
    const double margin = std::max({maxX - minX, maxY - minY, 1.0}) * 0.05;
    minX -= margin, minY -= margin, maxX += margin, maxY += margin;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" +
           FormatNumber(minX) + ' ' + FormatNumber(minY) + ' ' + FormatNumber(maxX - minX) + ' ' +
           FormatNumber(maxY - minY) + "\" width=\"" + FormatNumber(maxX - minX) + "\" height=\"" +
           FormatNumber(maxY - minY) + "\">\n<title>" + XmlEscape(name) + "</title>\n<path d=\"" +
           surface.PathData() + "\" " + kPathStyle + "/>\n</svg>\n";
}

}  // namespace

void RunBuild(const Options& options, const std::string& folder, std::ostream& out) {
    LoadedFolder loaded(options, folder);
    PathCreateParams params = MakeParams(options.name, options.frame);
    SetReferences(options, loaded, &params);
    PathRef path(VX_CreatePathEx(&params));
    if (!path.path) throw RunError("the library could not build '" + options.name + "'");
    PathCreateParams info;
    if (!path->GetTemplateInfo(&info)) info.count = 0;
    const std::vector<PathNode> nodes = NodesOf(path.path);

    // The SVG first: if it cannot be written, nothing is printed as if it had worked.
    if (!options.svg.empty()) {
        PendingFile file(options.svg, FigureSvg(options.name, params, path.path, nodes));
        file.Commit();
    }

    out << "figure " << options.name << '\n';
    out << "frame " << FormatNumber(params.left) << ' ' << FormatNumber(params.top) << ' '
        << FormatNumber(params.right) << ' ' << FormatNumber(params.bottom) << '\n';
    for (int32_t i = 0; i < info.count; ++i) {
        out << "reference " << i + 1 << ' ' << FormatNumber(info.pairs[i][0], 6) << ' '
            << FormatNumber(info.pairs[i][1], 6) << '\n';
    }
    out << "nodes " << nodes.size() << '\n';
    for (const PathNode& n : nodes) out << NodeLine(n) << '\n';
}

namespace {

// Cells of 240 by 210 units, four to a row; each figure in a 160 by 130 frame, so the
// unit frame is visibly stretched as a host would stretch it.
constexpr int kColumns = 4;
constexpr double kCellW = 240, kCellH = 210, kTitleH = 50;

// The gallery's opening up to its title line.
std::string GalleryHead(double width, double height, size_t figures, const std::string& source) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           FormatNumber(width) + "\" height=\"" + FormatNumber(height) + "\" viewBox=\"0 0 " +
           FormatNumber(width) + ' ' + FormatNumber(height) +
           "\">\n"
           "<style>\n"
           "  text { font-family: DejaVu Sans, Arial, sans-serif; fill: #222; }\n"
           "  .guide { fill: none; stroke: #9aa5b1; stroke-width: 0.8; stroke-dasharray: 4 3; }\n"
           "  .handle { fill: #fff; stroke: #6b7785; stroke-width: 1; }\n"
           "  .node { fill: #1f4e79; }\n"
           "  .control { fill: #fff; stroke: #1f4e79; }\n"
           "  .reference { fill: #f28c28; stroke: #8a4b0f; stroke-width: 1; }\n"
           "</style>\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
           "<text x=\"16\" y=\"32\" font-size=\"20\">Ostrel figures: " +
           std::to_string(figures) + " templates from " + XmlEscape(source) + "</text>\n";
}

// One figure in the cell whose top-left corner is (cx, cy): its outline, box guide, handles
// and name.
std::string GalleryCell(const LoadedFolder& loaded, const FigureEntry& f, double cx, double cy) {
    const double frame[4] = {cx + 40, cy + 25, cx + 200, cy + 155};
    // The values as the catalogue evaluated them: a value text that names another
    // reference becomes a number here, so that its handle is placed where the build
    // puts it (a path evaluates its handle positions without variables).
    PathCreateParams params = MakeParams(f.name, frame);
    params.count = static_cast<int32_t>(std::min<size_t>(f.references.size(), 64));
    for (int32_t i = 0; i < params.count; ++i) {
        const ReferenceEntry& r = f.references[static_cast<size_t>(i)];
        params.pairs[i][0] = r.x.valueOk ? r.x.value : 0.0;
        params.pairs[i][1] = r.y.valueOk ? r.y.value : 0.0;
    }

    PathRef path(VX_CreatePathEx(&params));
    if (!path.path) throw RunError("the library could not build '" + f.name + "'");
    SvgPathSurface outline;
    path->Draw(&outline);
    SvgPathSurface selection;
    loaded.Figures().DrawSelectionMarks(params, &selection);

    std::string svg = "<g>\n<rect x=\"" + FormatNumber(cx + 6) + "\" y=\"" + FormatNumber(cy + 6) +
                      "\" width=\"" + FormatNumber(kCellW - 12) + "\" height=\"" +
                      FormatNumber(kCellH - 12) +
                      "\" rx=\"6\" fill=\"#f7f9fb\" stroke=\"#e1e6eb\"/>\n";
    svg += "<title>" + XmlEscape(f.name) + ": " + XmlEscape(f.tips) + "</title>\n";
    if (!selection.PathData().empty()) {
        svg += "<path class=\"guide\" d=\"" + selection.PathData() + "\"/>\n";
    }
    svg += "<path d=\"" + outline.PathData() + "\" " + kPathStyle + "/>\n";
    svg += MarkElements(selection.Marks());
    svg += "<text x=\"" + FormatNumber(cx + kCellW / 2) + "\" y=\"" + FormatNumber(cy + 188) +
           "\" font-size=\"15\" text-anchor=\"middle\">" + XmlEscape(f.name) + "</text>\n</g>\n";
    return svg;
}

}  // namespace

void RunGallery(const Options& options, const std::string& folder, std::ostream& out) {
    LoadedFolder loaded(options, folder);
    const std::vector<FigureEntry>& figures = loaded.Figures().Figures();
    const int rows = static_cast<int>((figures.size() + kColumns - 1) / kColumns);
    const double width = kCellW * kColumns, height = kTitleH + kCellH * rows;

    std::string svg =
        GalleryHead(width, height, figures.size(), options.file.empty() ? folder : options.file);
    size_t index = 0;
    for (const FigureEntry& f : figures) {
        const double cx = kCellW * static_cast<double>(index % kColumns);
        const double cy = kTitleH + kCellH * static_cast<double>(index / kColumns);
        ++index;
        svg += GalleryCell(loaded, f, cx, cy);
    }
    svg += "</svg>\n";

    WriteDrawing(svg, options.out, options.png);
    out << "wrote " << options.out << " (" << figures.size() << " figures)\n";
    if (!options.png.empty()) out << "wrote " << options.png << '\n';
}

}  // namespace ostrel_cli
