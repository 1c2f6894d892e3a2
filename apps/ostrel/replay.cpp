#include "replay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <vector>

#include "commands.h"
#include "events/events.h"
#include "session.h"
#include "session_host.h"
#include "svg_surface.h"
#include "text.h"

namespace ostrel_cli {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The right button's bit in the wParam of mouse messages.
constexpr uintptr_t kMkRButton = 0x0002;

class LibraryFolder {
public:
    explicit LibraryFolder(const std::string& folder) {
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            throw UsageError("folder '" + folder + "' does not exist");
        }
        VX_Initial(ToVx(folder).c_str());
    }
    ~LibraryFolder() { VX_Release(); }
    LibraryFolder(const LibraryFolder&) = delete;
    LibraryFolder& operator=(const LibraryFolder&) = delete;
};

class Canvas {
public:
    explicit Canvas(ICanvasHost* host) : canvas_(VX_CreateGraphicCanvas(host)) {
        if (!canvas_) throw RunError("the library could not create a canvas");
    }
    ~Canvas() { Destroy(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    IGraphicCanvas* operator->() const { return canvas_; }
    IGraphicCanvas* get() const { return canvas_; }
    void Destroy() {
        VX_DestroyGraphicCanvas(canvas_);
        canvas_ = nullptr;
    }

private:
    IGraphicCanvas* canvas_;
};

std::vector<std::string> ToolNames(IGraphicCanvas* canvas) {
    // Every canvas the library hands out has the extended table (see ostrel.h).
    auto* extended = static_cast<IGraphicCanvasEx*>(canvas);
    const int32_t length = extended->GetToolNames(nullptr);
    std::vector<std::string> names;
    if (length <= 0) return names;
    std::vector<VXCHAR> buffer(static_cast<size_t>(length) + 1, 0);
    extended->GetToolNames(buffer.data());
    for (size_t i = 0; i < static_cast<size_t>(length) && buffer[i] != 0;) {
        names.push_back(ToUtf8(&buffer[i]));
        while (i < static_cast<size_t>(length) && buffer[i] != 0) ++i;
        ++i;
    }
    return names;
}

std::vector<IVXPath*> Selected(IGraphicCanvas* canvas) {
    IVXSelections* selections = canvas->GetSelections();
    std::vector<IVXPath*> paths;
    const int32_t count = selections->GetCount();
    for (int32_t i = 0; i < count; ++i) paths.push_back(selections->GetAt(i));
    return paths;
}

bool Listed(IGraphicCanvas* canvas, IVXPath* path) {
    const int32_t count = canvas->GetPathCount();
    for (int32_t i = 0; i < count; ++i) {
        if (canvas->GetPath(i) == path) return true;
    }
    return false;
}

std::vector<PathNode> NodesOf(IVXPath* path) {
    const int32_t count = path->GetNodes(nullptr, 0);
    std::vector<PathNode> nodes(static_cast<size_t>(std::max(count, 0)));
    if (!nodes.empty()) path->GetNodes(nodes.data(), count);
    return nodes;
}

std::string TemplateText(IGraphicCanvas* canvas, IVXPath* path) {
    const int32_t length = canvas->GetTemplateText(path, nullptr, 0);
    if (length <= 0) return std::string();
    VxString text(static_cast<size_t>(length), 0);
    canvas->GetTemplateText(path, text.data(), length);
    return ToUtf8(text.c_str());
}

// Plays the steps of a session: canvas calls directly, events through the script, whose
// window procedure is the program's. What a loop of the library leaves is taken by the
// program's own loop (Pump), as a host's message loop would.
class Player final : public ostrel_events::Script {
public:
    Player(IGraphicCanvas* canvas, ostrel_recording::RecordingHost& host, Trace& trace,
           const std::string& file, std::ostream& err)
        : canvas_(canvas), host_(host), trace_(trace), file_(file), err_(err) {
        // As a pointing device would, on builds where the script is the only one.
        cursorFollowsMouse = true;
    }

    void Replay(const Session& session) {
        const std::vector<SessionStep>& steps = session.steps;
        size_t i = 0;
        while (i < steps.size()) {
            // A canvas call starts a batch; the events after it are queued first, since a
            // call such as `place` runs a loop that takes them.
            const SessionStep* call = IsEvent(steps[i].op) ? nullptr : &steps[i++];
            if (call) OnStepTaken(*call);
            warnedOpen_ = false;
            for (; i < steps.size() && IsEvent(steps[i].op); ++i) Queue(steps[i]);
            // The batch ends in a quit: a gesture that the session leaves open ends as a
            // cancel, and the library hands the quit on to Pump.
            Quit(0).Play();
            if (call) Run(*call);
            Pump();
        }
    }

private:
    bool OnMessage(void*, uint32_t id, uintptr_t wParam, intptr_t lParam) override {
        switch (id) {
            case VX_WM_KEYDOWN:
            case VX_WM_KEYUP:
            case VX_WM_MOUSEMOVE:
            case VX_WM_LBUTTONDOWN:
            case VX_WM_LBUTTONUP:
            case VX_WM_LBUTTONDBLCLK:
            case VX_WM_RBUTTONDOWN: break;
            default: return false;  // the system's own (Windows)
        }
        if (busy_ > 0) {
            // A loop of the library passed the message on: the host's window gets it, and
            // must not call the canvas while the loop runs.
            if (trace_.On()) {
                char line[96];
                std::snprintf(line, sizeof line, "DispatchMessage 0x%04x %llu %lld",
                              static_cast<unsigned>(id), static_cast<unsigned long long>(wParam),
                              static_cast<long long>(lParam));
                trace_.Add(line);
            }
            return true;
        }
        const double x = ostrel_events::PointX(lParam), y = ostrel_events::PointY(lParam);
        Busy busy(*this);
        switch (id) {
            case VX_WM_MOUSEMOVE:
                lastX_ = x, lastY_ = y;
                canvas_->MouseMove(x, y);
                break;
            case VX_WM_LBUTTONDOWN: canvas_->MouseDown(x, y, VX_BUTTON_LEFT); break;
            case VX_WM_RBUTTONDOWN: canvas_->MouseDown(x, y, VX_BUTTON_RIGHT); break;
            case VX_WM_KEYDOWN: canvas_->KeyDown(static_cast<int32_t>(wParam), 0, 0); break;
            case VX_WM_KEYUP: canvas_->KeyUp(static_cast<int32_t>(wParam), 0, 0); break;
            default: break;  // releases and double-clicks outside a gesture mean nothing
        }
        return true;
    }

    void OnHostStep(const SessionStep& step) {
        if (step.op == SessionOp::Rotation) {
            host_.rotation = step.degrees * kPi / 180.0;
            return;
        }
        switch (step.approval) {
            case SessionApproval::Add: host_.approveAdd = step.yes; break;
            case SessionApproval::Remove: host_.approveRemove = step.yes; break;
            case SessionApproval::Change: host_.approveChange = step.yes; break;
        }
    }

    void OnStepTaken(const SessionStep& step) {
        lastStep_ = &step;
        if (trace_.On()) trace_.Add("# " + std::to_string(step.line) + " " + step.text);
    }

    void OnLoopQuit() override {
        if (warnedOpen_) return;
        warnedOpen_ = true;
        Warn(lastStep_, "a gesture is still open after this line; it ends as a cancel");
    }

    void OnDebugOutput(const char* text) override {
        if (!trace_.On() || !text) return;
        std::string line = text;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        trace_.Add("OutputDebugString " + line);
    }

    struct Busy {
        explicit Busy(Player& p) : player(p) { ++player.busy_; }
        ~Busy() { --player.busy_; }
        Player& player;
    };

    void Warn(const SessionStep* step, const std::string& what) {
        err_ << "ostrel: " << file_;
        if (step) err_ << ':' << step->line;
        err_ << ": warning: " << what << '\n';
    }

    // Every entry carries the keys held after it, which a loop reads while it handles it.
    void Queue(const SessionStep& step) {
        Note([this, &step] { OnStepTaken(step); });
        const int32_t x = step.x, y = step.y;
        switch (step.op) {
            case SessionOp::Hover: Mouse(VX_WM_MOUSEMOVE, 0, x, y, held_); break;
            case SessionOp::Drag: Mouse(VX_WM_MOUSEMOVE, VX_MK_LBUTTON, x, y, held_); break;
            case SessionOp::Press: Mouse(VX_WM_LBUTTONDOWN, VX_MK_LBUTTON, x, y, held_); break;
            case SessionOp::Release: Mouse(VX_WM_LBUTTONUP, 0, x, y, held_); break;
            case SessionOp::DoubleClick:
                // As the system sends it: the second press comes as the double-click.
                Mouse(VX_WM_LBUTTONDOWN, VX_MK_LBUTTON, x, y, held_);
                Mouse(VX_WM_LBUTTONUP, 0, x, y, held_);
                Mouse(VX_WM_LBUTTONDBLCLK, VX_MK_LBUTTON, x, y, held_);
                Mouse(VX_WM_LBUTTONUP, 0, x, y, held_);
                break;
            case SessionOp::RightPress: Mouse(VX_WM_RBUTTONDOWN, kMkRButton, x, y, held_); break;
            case SessionOp::Escape:
                Key(VX_WM_KEYDOWN, VX_KEY_ESCAPE, held_).Key(VX_WM_KEYUP, VX_KEY_ESCAPE, held_);
                break;
            case SessionOp::Hold:
            case SessionOp::Free: {
                if (!CanHoldKeys() && !warnedKeys_) {
                    warnedKeys_ = true;
                    Warn(&step,
                         "this build cannot hold Shift or Ctrl for the library (it reads "
                         "the real keyboard); they count as released");
                }
                const bool shift = step.key == SessionKey::Shift;
                const uint32_t bit =
                    shift ? ostrel_events::kHeldShift : ostrel_events::kHeldControl;
                held_ = step.op == SessionOp::Hold ? held_ | bit : held_ & ~bit;
                Key(step.op == SessionOp::Hold ? VX_WM_KEYDOWN : VX_WM_KEYUP,
                    shift ? VX_KEY_SHIFT : VX_KEY_CONTROL, held_);
                break;
            }
            case SessionOp::Approve:
            case SessionOp::Rotation: Host([this, &step] { OnHostStep(step); }); break;
            default: break;
        }
    }

    void Run(const SessionStep& step) {
        Busy busy(*this);
        switch (step.op) {
            case SessionOp::Tool: {
                if (step.none) {
                    canvas_->SetCurrentTool(nullptr);
                } else if (!canvas_->SetCurrentTool(ToVx(step.name).c_str())) {
                    std::string known;
                    for (const std::string& name : ToolNames(canvas_)) {
                        known += (known.empty() ? "" : ", ") + name;
                    }
                    Warn(&step, "the canvas has no tool '" + step.name + "' (it has " + known +
                                    "); presses select and edit as with no tool");
                }
                break;
            }
            case SessionOp::Mode: canvas_->SetEditMode(step.mode); break;
            case SessionOp::Place: {
                if (step.hasPoint && !SetCursor(step.x, step.y)) {
                    throw UsageError(file_ + ":" + std::to_string(step.line) +
                                     ": place: the system would not move the cursor to (" +
                                     std::to_string(step.x) + ", " + std::to_string(step.y) + ")");
                }
                if (step.hasPoint) lastX_ = step.x, lastY_ = step.y;
                const VXCHAR* current = canvas_->GetCurrentToolName();
                const VxString name = !step.name.empty() ? ToVx(step.name)
                                      : current          ? VxString(current)
                                                         : VxString();
                if (!canvas_->PlaceFigure(step.width, step.height, name.c_str())) {
                    Warn(&step,
                         "place made no figure (no current tool, a tool that cannot "
                         "place, or a template figure released before any move)");
                }
                break;
            }
            case SessionOp::Click: canvas_->ClickHovered(lastX_, lastY_); break;
            case SessionOp::Remove: {
                const std::vector<IVXPath*> selected = Selected(canvas_);
                if (selected.empty()) Warn(&step, "remove: nothing is selected");
                for (IVXPath* path : selected) {
                    canvas_->RemovePath(path);
                    // A removed path's list reference passes to the caller.
                    if (!Listed(canvas_, path)) path->Release();
                }
                break;
            }
            case SessionOp::Template: {
                const std::vector<IVXPath*> selected = Selected(canvas_);
                if (selected.empty()) {
                    Warn(&step, "template: nothing is selected");
                } else if (!canvas_->ApplyTemplateText(selected[0], ToVx(step.name).c_str(),
                                                       true)) {
                    Warn(&step, "template: the canvas did not apply '" + step.name +
                                    "' (no tool of that figure name)");
                }
                break;
            }
            default: break;
        }
    }

    IGraphicCanvas* canvas_;
    ostrel_recording::RecordingHost& host_;
    Trace& trace_;
    const std::string& file_;
    std::ostream& err_;
    int busy_ = 0;
    uint32_t held_ = 0;  // keys held after the last queued event
    double lastX_ = 0, lastY_ = 0;
    const SessionStep* lastStep_ = nullptr;
    bool warnedOpen_ = false, warnedKeys_ = false;
};

std::string Summary(IGraphicCanvas* canvas, ostrel_recording::CallLog& names) {
    std::string out;
    const int32_t count = canvas->GetPathCount();
    out += "paths " + std::to_string(count) + "\n";
    for (int32_t i = 0; i < count; ++i) {
        IVXPath* path = canvas->GetPath(i);
        out += "path " + names.PathName(path) + "\n";
        double m[6] = {1, 0, 0, 1, 0, 0};
        path->GetTransform(m);
        out += "  transform";
        for (double v : m) out += " " + FormatNumber(v);
        out += "\n";
        const std::string text = TemplateText(canvas, path);
        if (!text.empty()) out += "  template " + text + "\n";
        const std::vector<PathNode> nodes = NodesOf(path);
        out += "  nodes " + std::to_string(nodes.size()) + "\n";
        for (const PathNode& n : nodes) out += "    " + NodeLine(n) + "\n";
    }
    out += "selection";
    const std::vector<IVXPath*> selected = Selected(canvas);
    for (IVXPath* path : selected) out += " " + names.PathName(path);
    if (selected.empty()) out += " none";
    out += "\n";
    const int32_t mode = canvas->GetEditMode();
    out += "mode " + (mode == 0   ? std::string("object")
                      : mode == 1 ? "node"
                                  : std::to_string(mode));
    const std::string tool = ToUtf8(canvas->GetCurrentToolName());
    out += "\ntool " + (tool.empty() ? std::string("none") : tool) + "\n";
    return out;
}

// The extent of everything drawn, for the SVG's view box.
struct Extent {
    double minX = std::numeric_limits<double>::infinity(), minY = minX;
    double maxX = -minX, maxY = -minX;
    void Add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    bool Empty() const { return minX > maxX; }
};

class MeasuredSvgSurface : public SvgPathSurface {
public:
    explicit MeasuredSvgSurface(Extent& extent) : extent_(extent) {}
    void MoveTo(double x, double y) override {
        extent_.Add(x, y);
        SvgPathSurface::MoveTo(x, y);
    }
    void LineTo(double x, double y) override {
        extent_.Add(x, y);
        SvgPathSurface::LineTo(x, y);
    }
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override {
        extent_.Add(x1, y1), extent_.Add(x2, y2), extent_.Add(x3, y3);
        SvgPathSurface::CurveTo(x1, y1, x2, y2, x3, y3);
    }
    int32_t DrawMark(double x, double y, double w, double h, int32_t type) override {
        extent_.Add(x - w / 2, y - h / 2), extent_.Add(x + w / 2, y + h / 2);
        return SvgPathSurface::DrawMark(x, y, w, h, type);
    }

private:
    Extent& extent_;
};

// Fill and stroke pairs, one per path in turn.
const char* const kPalette[][2] = {
    {"#dce9f5", "#1f4e79"}, {"#fde2c8", "#b45309"}, {"#d9f2e3", "#1e7d4f"}, {"#f6d5e5", "#a3346b"},
    {"#e6defa", "#5b3fa8"}, {"#fff1b8", "#8a6d00"}, {"#fbd5d5", "#b42318"}, {"#d3f1f1", "#0f6e6e"},
};

std::string Drawing(IGraphicCanvas* canvas, const Session& session, const std::string& title) {
    Extent extent;
    std::string body;
    const int32_t count = canvas->GetPathCount();
    for (int32_t i = 0; i < count; ++i) {
        IVXPath* path = canvas->GetPath(i);
        MeasuredSvgSurface surface(extent);
        path->Draw(&surface);
        if (surface.PathData().empty()) continue;
        const std::vector<PathNode> nodes = NodesOf(path);
        const bool closed = std::any_of(nodes.begin(), nodes.end(),
                                        [](const PathNode& n) { return n.kind == VX_NODE_CLOSE; });
        const auto& colours =
            kPalette[static_cast<size_t>(i) % (sizeof kPalette / sizeof kPalette[0])];
        // Open figures (lines, polylines, strokes) are not filled.
        body += "<path d=\"" + surface.PathData() + "\" fill=\"" + (closed ? colours[0] : "none") +
                "\" stroke=\"" + colours[1] + "\" stroke-width=\"" + (closed ? "1.5" : "2.5") +
                "\"/>\n";
    }
    MeasuredSvgSurface selection(extent);
    canvas->DrawSelection(&selection, 1, 1);
    if (!selection.PathData().empty()) {
        body += "<path class=\"selection\" d=\"" + selection.PathData() + "\"/>\n";
    }
    body += MarkElements(selection.Marks());

    double x = 0, y = 0, w = 100, h = 100;
    if (session.hasCanvas) {
        w = session.canvasWidth, h = session.canvasHeight;
    } else if (!extent.Empty()) {
        constexpr double kMargin = 20;
        x = extent.minX - kMargin, y = extent.minY - kMargin;
        w = extent.maxX - extent.minX + 2 * kMargin, h = extent.maxY - extent.minY + 2 * kMargin;
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           FormatNumber(w) + "\" height=\"" + FormatNumber(h) + "\" viewBox=\"" + FormatNumber(x) +
           ' ' + FormatNumber(y) + ' ' + FormatNumber(w) + ' ' + FormatNumber(h) +
           "\">\n"
           "<title>" +
           XmlEscape(title) +
           "</title>\n"
           "<style>\n"
           "  path { stroke-linejoin: round; stroke-linecap: round; fill-rule: evenodd; }\n"
           "  .selection { fill: none; stroke: #2f6fde; stroke-width: 1; }\n"
           "  .handle { fill: #fff; stroke: #2f6fde; stroke-width: 1; }\n"
           "  .node { fill: #2f6fde; }\n"
           "  .control { fill: #fff; stroke: #2f6fde; }\n"
           "  .reference { fill: #f28c28; stroke: #8a4b0f; stroke-width: 1; }\n"
           "</style>\n"
           "<rect x=\"" +
           FormatNumber(x) + "\" y=\"" + FormatNumber(y) + "\" width=\"" + FormatNumber(w) +
           "\" height=\"" + FormatNumber(h) + "\" fill=\"#ffffff\"/>\n" + body + "</svg>\n";
}

}  // namespace

void RunReplay(const Options& options, const std::string& folder, std::ostream& out,
               std::ostream& err) {
    const Session session = LoadSession(options.session);
    Trace trace(options.trace);
    SessionHost sessionHost(trace);
    LibraryFolder library(folder);
    Canvas canvas(&sessionHost.host);
    {
        Player player(canvas.get(), sessionHost.host, trace, options.session, err);
        player.Replay(session);
    }
    const std::string summary = Summary(canvas.get(), sessionHost.log);
    std::string svg;
    if (!options.svg.empty() || !options.png.empty()) {
        svg = Drawing(canvas.get(), session, options.session);
    }
    canvas.Destroy();
    sessionHost.log.ReleaseHeld();
    if (trace.Truncated()) {
        err << "ostrel: warning: the trace '" << options.trace << "' stops after "
            << Trace::kMaxLines << " lines\n";
    }
    WriteDrawing(svg, options.svg, options.png, [&] { trace.Commit(); });
    out << summary;
    for (const std::string* file : {&options.svg, &options.png, &options.trace}) {
        if (!file->empty()) out << "wrote " << *file << '\n';
    }
}

}  // namespace ostrel_cli
