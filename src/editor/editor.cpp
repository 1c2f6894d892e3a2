#include "editor/editor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_set>

#include "editor/tracking.h"
#include "path/parameters.h"
#include "geometry/transform.h"
#include "path/hit_test.h"
#include "path/hit_test_steps.h"
#include "path/path.h"
#include "platform/platform.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/format.h"
#include "text/number.h"
#include "tools/figure_tool.h"
#include "tools/tools.h"

namespace vx {

namespace {

struct ToolRelease {
    void operator()(IVXFigures* tool) const { tool->Release(); }
};

// The tool found for a gesture is held from the moment it is found: a host callback may
// register another under its name, which releases it, before or while it runs.
std::unique_ptr<IVXFigures, ToolRelease> HoldTool(IVXFigures* tool) {
    tool->AddRef();
    return std::unique_ptr<IVXFigures, ToolRelease>(tool);
}

void Refresh(IDrawSurface* surface) {
    if (surface) surface->Refresh(0, 0, 0, 0);
}

}  // namespace

// Held by every operation that may call out of the library: a canvas destroyed meanwhile is
// torn down when the outermost of them returns. It must be the operation's first local, so
// that it goes last.
class CVXEditor::Entry {
public:
    explicit Entry(CVXEditor* editor) : editor_(editor) { ++editor_->depth_; }
    ~Entry() {
        if (--editor_->depth_ != 0) return;
        if (editor_->doomed_) {
            editor_->TearDown();
        } else {
            editor_->gate_.DropDoors();
        }
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    CVXEditor* editor_;
};

CVXEditor::CVXEditor(ICanvasHost* host) : host_(host), gate_(host) {
    try {
        for (const BuiltinTool& builtin : kBuiltinTools) {
            std::unique_ptr<IVXFigures, ToolRelease> tool(builtin.create());
            RegisterTool(builtin.name, tool.get());
        }
        std::unique_ptr<IVXFigures, ToolRelease> figures(CreateCustomFiguresTool());
        TemplateLibrary::Instance().EnumerateTemplateNames(this, figures.get());
    } catch (...) {
        ReleaseTools();  // no destructor runs for a constructor that throws
        throw;
    }
}

// The containers are emptied before anything is released: a host called back from a release
// finds an empty canvas.
CVXEditor::~CVXEditor() {
    ReleaseTools();
    std::vector<IVXPath*> paths;
    paths.swap(paths_);
    boxes_.Drop();
    selections_.Clear();
    hovered_ = nullptr;
    for (IVXPath* path : paths) path->Release();
}

void CVXEditor::ReleaseTools() {
    std::map<String, IVXFigures*> tools;
    tools.swap(tools_);
    for (auto& entry : tools) entry.second->Release();
}

void CVXEditor::Destroy(uint32_t flags) {
    if (doomed_) return;  // asked again while going: the first request stands
    doomed_ = true;
    boxes_.Drop();  // a walk under way asks no more
    freeStorage_ = (flags & 1) != 0;
    gate_.Shut();
    if (depth_ == 0) TearDown();
}

void CVXEditor::TearDown() {
    ++depth_;  // calls made from the releases below must not tear down again
    const bool free = freeStorage_;
    this->~CVXEditor();
    if (free) ::operator delete(this);
}

void CVXEditor::SetEditMode(int32_t mode) { editMode_ = mode; }

int32_t CVXEditor::GetEditMode() { return editMode_; }

IVXSelections* CVXEditor::GetSelections() { return &selections_; }

void CVXEditor::RegisterTool(const VXCHAR* name, IVXFigures* tool) {
    if (!name || !tool) return;
    Entry entry(this);
    const String key(name);  // a host's tool runs its own code in AddRef
    tool->AddRef();
    IVXFigures*& slot = tools_[key];
    IVXFigures* replaced = slot;
    slot = tool;
    if (replaced) replaced->Release();
}

const VXCHAR* CVXEditor::GetCurrentToolName() { return currentTool_.c_str(); }

bool CVXEditor::SetCurrentTool(const VXCHAR* name) {
    if (!name || !*name) {
        currentTool_.clear();
        return true;
    }
    currentTool_ = name;
    return tools_.count(currentTool_) != 0;
}

IVXFigures* CVXEditor::FindCurrentTool() const {
    auto found = tools_.find(currentTool_);
    return found == tools_.end() ? nullptr : found->second;
}

ICanvasHost* CVXEditor::HostFor(IVXFigures* tool) {
    return FigureTool::IsOwn(tool) ? &gate_ : host_;
}

int32_t CVXEditor::GetToolInfos(FigureInfo* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return static_cast<int32_t>(tools_.size());
    Entry entry(this);
    // A host's tool answers with its own code, which may register tools meanwhile: the
    // map's nodes stay put, and the tool asked is held.
    int32_t i = 0;
    for (auto it = tools_.begin(); it != tools_.end() && i < capacity; ++it) {
        IVXFigures* tool = it->second;
        tool->AddRef();
        const FigureInfo* info = tool->GetInfo(it->first.c_str());
        buffer[i++] = info ? *info : FigureInfo{nullptr, nullptr, nullptr};
        tool->Release();
    }
    return 0;
}

int32_t CVXEditor::GetToolNames(VXCHAR* buffer) {
    size_t length = 1;
    for (const auto& entry : tools_) length += entry.first.size() + 1;
    if (buffer) {
        VXCHAR* out = buffer;
        for (const auto& entry : tools_) {
            out = std::copy(entry.first.begin(), entry.first.end(), out);
            *out++ = 0;
        }
        *out = 0;
    }
    return static_cast<int32_t>(length);
}

// ---- The path list ----------------------------------------------------------------------

void CVXEditor::AddPath(IVXPath* path) {
    if (!path || Holds(path)) return;
    Entry entry(this);
    paths_.push_back(path);
    boxes_.Drop();
    path->AddRef();
}

bool CVXEditor::Holds(IVXPath* path) const {
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

void CVXEditor::ForgetPath(IVXPath* path) {
    auto found = std::find(paths_.begin(), paths_.end(), path);
    if (found == paths_.end()) return;
    HoldIfAsked(path);
    paths_.erase(found);
    boxes_.Drop();
    ++departures_;
    if (path == hovered_) hovered_ = nullptr;
}

void CVXEditor::RemovePath(IVXPath* path) {
    Entry entry(this);
    if (path == hovered_) hovered_ = nullptr;
    if (gate_.ApprovePathRemove(path)) ForgetPath(path);
    selections_.Remove(path);
}

void CVXEditor::DetachPath(IVXPath* path) {
    if (path == hovered_) hovered_ = nullptr;
    ForgetPath(path);
    selections_.Remove(path);
}

void CVXEditor::ClearPaths() {
    Entry entry(this);
    if (selections_.GetCount() != 0) {
        gate_.BeginSelectionChange();
        selections_.Clear();
        gate_.EndSelectionChange();
    }
    // Emptied before the releases, so that a path's teardown never finds itself listed;
    // the selection again, in case the host selected something inside its bracket.
    std::vector<IVXPath*> released;
    released.swap(paths_);
    boxes_.Drop();
    for (IVXPath* path : released) HoldIfAsked(path);
    selections_.Clear();
    hovered_ = nullptr;
    if (!released.empty()) ++departures_;
    for (IVXPath* path : released) path->Release();
}

int32_t CVXEditor::GetPathCount() { return static_cast<int32_t>(paths_.size()); }

IVXPath* CVXEditor::GetPath(int32_t index) {
    // Hosts keep the index in range; one outside gets null rather than a stray read.
    if (index < 0 || static_cast<size_t>(index) >= paths_.size()) return nullptr;
    return paths_[static_cast<size_t>(index)];
}

bool CVXEditor::AddWithApproval(IVXPath* path) {
    gate_.BeginChange();
    const bool consent = gate_.ApprovePathAdd(path) != 0;
    if (consent) AddPath(path);
    gate_.EndChange();
    return consent;
}

// Only a path on the canvas is selected: the host's callbacks may have taken it off.
void CVXEditor::SelectOnly(IVXPath* path) {
    gate_.BeginSelectionChange();
    selections_.Clear();
    if (path && Holds(path)) selections_.Add(path);
    gate_.EndSelectionChange();
}

// ---- Drawing and feedback ---------------------------------------------------------------

void CVXEditor::DrawSelection(IDrawSurface* surface, int32_t outline, int32_t handles) {
    if (!surface) return;
    Entry entry(this);
    IDrawSurface* door = gate_.Door(surface);
    // The surface's callbacks may change the selection: the count is read at each step,
    // and the path being drawn is held.
    for (int32_t i = 0; i < selections_.GetCount() && !doomed_; ++i) {
        CVXPath* path = CVXPath::FromInterface(selections_.GetAt(i));
        if (!path) continue;
        const PathRef held(path);
        door->SetColor(g_parameters.OutlineColor, -1);
        path->DrawPath(door, 1, outline != 0);
        door->SetColor(g_parameters.HandleColor, -1);
        path->DrawTracker(door, editMode_, handles != 0, true);
    }
}

void CVXEditor::SendFeedback(IVXPath* path, int32_t code, int32_t busy, int32_t selected) {
    Feedback(path, code, busy, selected);
}

// In line in MouseMove, which sends it at every move.
[[gnu::always_inline]] inline void CVXEditor::Feedback(IVXPath* path, int32_t code, int32_t busy,
                                                       int32_t selected) {
    double angle = 0.0;
    if (path && code >= kHitLeft && code <= kHitBottomLeft) {
        // A pointer resting on a handle is sent the same angle at every move: the last one
        // is kept for an own path whose corners are cached (another path's corners are
        // asked of the host). A path lending its nodes advanced the generation.
        const double margin = g_parameters.FlatBoundsMargin;
        const bool kept = path == lastAngle_.path && code == lastAngle_.code &&
                          CVXPath::BoxesGeneration() == lastAngle_.generation &&
                          std::memcmp(&margin, &lastAngle_.margin, sizeof margin) == 0;
        angle = kept ? lastAngle_.angle : HandleAngle(path, code);
    }
    gate_.SetFeedback(editMode_, path, code, busy, selected, angle);
}

double CVXEditor::HandleAngle(IVXPath* path, int32_t code) {
    const double margin = g_parameters.FlatBoundsMargin;
    const CVXPath* own = CVXPath::FromInterface(path);
    const bool keep = own && !own->NodesLent();
    double angle = 0.0;
    double x[4], y[4];  // top-left, top-right, bottom-left, bottom-right
    path->GetOrientedCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
    const double along = std::atan2(y[0] - y[1], x[0] - x[1]);  // P1 - P2
    const double down = std::atan2(y[0] - y[2], x[0] - x[2]);   // P1 - P3
    switch (code) {
        case kHitLeft:
        case kHitRight: angle = along; break;
        case kHitTopLeft:
        case kHitBottomRight: angle = (along + down) / 2.0; break;
        case kHitTop:
        case kHitBottom: angle = down; break;
        default:  // top-right and bottom-left
            angle =
                (std::atan2(y[1] - y[0], x[1] - x[0]) + std::atan2(y[1] - y[3], x[1] - x[3])) / 2.0;
            break;
    }
    lastAngle_ = {keep ? path : nullptr, code, CVXPath::BoxesGeneration(), margin, angle};
    return angle;
}

// ---- Hit test and mouse -----------------------------------------------------------------

// Each path is asked holding a reference, the walks check their index at each step, and a
// path that left the canvas while it was asked is no answer: the host's ToScreen may take
// paths off the canvas, empty it or destroy it.
// A path of another implementation has no hit test of ours: nothing of it is ever hit.
// The first step of HitTestPath is taken here, on the path's own box, as AskKept takes it
// on a kept one.
int32_t CVXEditor::Ask(IVXPath* path, double x, double y, int32_t* part) {
    return AskInLine(path, x, y, part);
}

// Ask's body, in line where the hovered path is asked: a pointer resting on a selected path
// asks nothing else at each move.
[[gnu::always_inline]] inline int32_t CVXEditor::AskInLine(IVXPath* path, double x, double y,
                                                           int32_t* part) {
    CVXPath* own = CVXPath::FromInterface(path);
    if (!own || doomed_) return kHitNothing;
    *part = -1;
    const HitSizes sizes;
    const int32_t mode = editMode_;
    const uint64_t since = departures_;
    const Rect box = own->CornerBox();
    own->AddRef();
    const int32_t code =
        WidenedBoxHolds(box, ScreenMap(), sizes.mark, x, y)
            ? own->HitTestNearPath(ScreenMap(), Selected(), x, y, mode, part, sizes)
            : kHitNothing;
    own->Release();  // the last reference when the host gave the path up meanwhile
    return Stays(path, since) ? code : kHitNothing;
}

// Ask for a listed path whose box is kept, while the kept boxes are current (so the canvas
// is not doomed and the sizes are the parameters' now): the first step on the kept box,
// the rest on the path itself (AskNear), with the calls Ask would make. Ask's reference is
// taken only once the point is near; a path that leaves the canvas during the two calls
// before is held by its departure (HoldIfAsked). Inline in the walk: most paths end here.
inline int32_t CVXEditor::AskKept(IVXPath* path, const Rect& box, double x, double y,
                                  const HitSizes& sizes, int32_t* part) {
    *part = -1;
    Asking asking{path, false, asking_, editMode_, departures_};
    bool near;
    {
        struct Pop {
            CVXEditor* editor;
            ~Pop() { editor->asking_ = editor->asking_->outer; }
        } pop{this};
        asking_ = &asking;
        near = WidenedBoxHolds(box, ScreenMap(), sizes.mark, x, y);
    }
    if (near) return AskNear(asking, x, y, sizes, part);
    if (asking.held) path->Release();  // the last reference when the host gave it up
    return kHitNothing;
}

int32_t CVXEditor::AskNear(const Asking& asked, double x, double y, const HitSizes& sizes,
                           int32_t* part) {
    CVXPath* own = static_cast<CVXPath*>(asked.path);  // a kept box is an own path's
    if (!asked.held) own->AddRef();
    const int32_t code =
        own->HitTestNearPath(ScreenMap(), Selected(), x, y, asked.mode, part, sizes);
    own->Release();
    return Stays(asked.path, asked.since) ? code : kHitNothing;
}

void CVXEditor::HoldIfAsked(IVXPath* path) {
    for (Asking* asking = asking_; asking; asking = asking->outer) {
        if (asking->path == path && !asking->held) {
            path->AddRef();
            asking->held = true;
        }
    }
}

// In line in MouseMove and HitTest: the hovered path, when it is selected, is asked first.
[[gnu::always_inline]] inline int32_t CVXEditor::HitTestAt(double x, double y, bool selectedOnly,
                                                           IVXPath** found, int32_t* part) {
    *found = nullptr;
    if (IVXPath* first = hovered_; first && IsSelected(first)) {
        const int32_t code = AskInLine(first, x, y, part);
        if (code != kHitNothing) return SelectedAnswer(first, code, found);
    }
    return HitTestOthers(x, y, selectedOnly, found, part);
}

int32_t CVXEditor::SelectedAnswer(IVXPath* path, int32_t code, IVXPath** found) {
    *found = path;
    if (editMode_ == 0 && code == kHitNode) return kHitFigure;
    if (editMode_ == 0 && code == kHitControl) return kHitNothing;
    return code;
}

int32_t CVXEditor::HitTestOthers(double x, double y, bool selectedOnly, IVXPath** found,
                                 int32_t* part) {
    for (int32_t i = selections_.Count() - 1; i >= 0; --i) {
        if (i >= selections_.Count()) continue;
        IVXPath* path = selections_.GetAt(i);
        const int32_t code = Ask(path, x, y, part);
        if (code != kHitNothing) return SelectedAnswer(path, code, found);
    }

    if (selectedOnly) return kHitNothing;
    if (static_cast<size_t>(selections_.GetCount()) >= paths_.size() &&
        std::all_of(paths_.begin(), paths_.end(), [this](IVXPath* p) { return IsSelected(p); })) {
        return kHitNothing;
    }
    // The kept boxes serve for as long as nothing the host does in its calls changes the
    // list, a path's boxes or the margin; from then on the paths are asked themselves.
    boxes_.Update(paths_);
    const HitSizes sizes;
    for (size_t i = paths_.size(); i-- > 0;) {
        if (i >= paths_.size()) continue;
        IVXPath* path = paths_[i];
        const Rect* kept = boxes_.Current() ? boxes_.Kept(i) : nullptr;
        const int32_t code = kept ? AskKept(path, *kept, x, y, sizes, part) : Ask(path, x, y, part);
        if (code == kHitNothing) continue;
        *found = path;
        if (code >= kHitCenter && code <= kHitRing) return kHitFigure;
        if (code == kHitNode) return editMode_ == 0 ? kHitFigure : kHitNode;
        if (code == kHitControl) return kHitNothing;
        return code;
    }
    return kHitNothing;
}

int32_t CVXEditor::HitTest(double x, double y, int32_t selectedOnly, IVXPath** found) {
    Entry entry(this);
    IVXPath* path = nullptr;
    int32_t part = -1;
    const int32_t code = HitTestAt(x, y, selectedOnly != 0, &path, &part);
    if (found) *found = path;
    return code;
}

void CVXEditor::MouseMove(double x, double y) {
    Entry entry(this);
    if (CurrentTool()) {
        SendFeedback(hovered_, kHitNothing, 1, 0);
        return;
    }
    IVXPath* found = nullptr;
    int32_t part = -1;
    const int32_t code = HitTestAt(x, y, false, &found, &part);
    hovered_ = found;
    hoveredPart_ = part;
    hoveredCode_ = code;
    if (code != kHitNothing && found) Feedback(found, code, 0, IsSelected(found) ? 1 : 0);
}

void CVXEditor::KeyDown(int32_t key, int32_t, int32_t) {
    if (key != VX_KEY_CONTROL) return;
    Entry entry(this);
    int32_t x = 0, y = 0;
    platform::GetCursorPos(&x, &y);
    MouseMove(x, y);
}

void CVXEditor::KeyUp(int32_t key, int32_t unused1, int32_t unused2) {
    KeyDown(key, unused1, unused2);
}

// The result tells whether the path is selected afterwards (a Control click on nothing
// counts as yes); *refresh whether the surface must be refreshed.
bool CVXEditor::ClickSelect(IVXPath* path, bool* refresh) {
    const bool wasSelected = IsSelected(path);
    bool selected = true;
    *refresh = true;
    if (platform::KeyHeld(VX_KEY_CONTROL)) {
        gate_.BeginSelectionChange();
        if (wasSelected) {
            selections_.Remove(path);
            selected = false;
        } else if (path && Holds(path)) {
            selections_.Add(path);
        }
        gate_.EndSelectionChange();
    } else if (!wasSelected) {
        SelectOnly(path);
    } else {
        *refresh = selections_.GetCount() > 1;
    }
    return selected;
}

void CVXEditor::ClickHovered(double, double) {
    Entry entry(this);
    IVXPath* const path = hovered_;
    HeldPaths held(*this);
    held.Hold(path);
    SendFeedback(path, hoveredCode_, 0, path && IsSelected(path) ? 1 : 0);
    if (path && !held.Stays(path)) return;
    bool refresh;
    ClickSelect(path, &refresh);
    if (refresh) Refresh(gate_.GetSurface());
}

void CVXEditor::MouseDown(double x, double y, int32_t button) {
    if (button == 2) return;
    Entry entry(this);
    IDrawSurface* surface = gate_.GetSurface();

    if (IVXFigures* current = CurrentTool()) {
        const std::unique_ptr<IVXFigures, ToolRelease> tool = HoldTool(current);
        const String name = currentTool_;
        SendFeedback(hovered_, kHitNothing, 1, 0);
        IVXPath* path = CVXPath::Create();
        if (!path) return;
        const bool drawn = tool->Draw(name.c_str(), x, y, HostFor(tool.get()), this, path);
        if (drawn && AddWithApproval(path)) {
            SelectOnly(path);
            Refresh(surface);
        }
        path->Release();
        return;
    }

    // The press acts on the hover state it starts with, whatever the host's callbacks
    // below do to it, and ends when its path leaves the canvas on the way.
    IVXPath* const path = hovered_;
    const int32_t code = hoveredCode_, part = hoveredPart_, mode = editMode_;
    if (code == kHitNothing || !path) {
        TrackRubberBand(*this, x, y);
        return;
    }
    HeldPaths held(*this);
    held.Hold(path);
    const bool control = platform::KeyHeld(VX_KEY_CONTROL);
    SendFeedback(path, code, 0, IsSelected(path) ? 1 : 0);
    if (!held.Stays(path)) return;
    if (!IsSelected(path) || control || mode == 1 || code == kHitReference) {
        bool refresh;
        const bool selected = ClickSelect(path, &refresh);
        if (refresh) Refresh(surface);
        if (!selected || control) return;
        if (surface) {
            DrawSelection(surface, 1, 0);
            surface->ShowOverlay(0, nullptr);
        }
        if (!held.Stays(path)) return;
    }
    if (mode == 0) {
        TrackTransform(*this, held, x, y, code, path, part);
    } else if (mode == 1) {
        TrackNode(*this, held, x, y, code, path, part);
    }
}

bool CVXEditor::PlaceFigure(double width, double height, const VXCHAR* name) {
    Entry entry(this);
    IVXFigures* current = CurrentTool();
    if (!current) return false;
    const std::unique_ptr<IVXFigures, ToolRelease> tool = HoldTool(current);
    int32_t cx = 0, cy = 0;
    platform::GetCursorPos(&cx, &cy);
    SendFeedback(nullptr, kHitNothing, 1, 0);
    IVXPath* path = CVXPath::Create();
    if (!path) return false;
    const bool placed = tool->Place(name, cx, cy, width, height, HostFor(tool.get()), this, path);
    const bool added = placed && AddWithApproval(path);
    if (added) {
        SelectOnly(path);
        Refresh(gate_.GetSurface());
    }
    path->Release();
    return added;
}

// ---- Template text ----------------------------------------------------------------------

int32_t CVXEditor::GetTemplateText(IVXPath* path, VXCHAR* buffer, int32_t capacity) {
    const FigureTemplate* figure = TemplateOf(path);
    if (!figure || !figure->info.name || !*figure->info.name) return 0;
    String text = text::Format("<%s><", {figure->info.name});
    for (const TemplateReference& ref : figure->references) {
        text::AppendFormat(text, "(%s,%s)", {ref.x.value, ref.y.value});
    }
    text += VXTEXT('>');
    if (buffer && capacity > 0) {
        std::copy_n(text.begin(), std::min(text.size(), static_cast<size_t>(capacity)), buffer);
    }
    return static_cast<int32_t>(text.size());
}

bool CVXEditor::ApplyTemplateText(IVXPath* path, const VXCHAR* text, bool notify) {
    if (!path || !text) return false;
    Entry entry(this);
    const StringView all(text);
    String name;
    StringView rest;
    const size_t open = all.find(VXTEXT('<'));
    const size_t close = open == StringView::npos ? open : all.find(VXTEXT('>'), open + 1);
    if (close != StringView::npos) {
        name = String(all.substr(open + 1, close - open - 1));
        rest = all.substr(close + 1);
    }
    const FigureTemplate* library = TemplateLibrary::Instance().FindTemplate(StringView(name));
    if (!tools_.count(name) || !library) return false;

    std::unique_ptr<FigureTemplate> copy(CloneTemplate(*library));
    for (int32_t index = 0; !rest.empty(); ++index) {
        const size_t left = rest.find(VXTEXT('('));
        const size_t right = rest.find(VXTEXT(')'));
        if (left == StringView::npos || right == StringView::npos) break;
        // Only the text between the brackets holds numbers; a ")" before the "(" leaves none.
        StringView numbers = right > left ? rest.substr(left + 1, right - left - 1) : StringView();
        size_t used = 0;
        const double x = text::ReadNumber(numbers, &used);
        numbers.remove_prefix(std::min(used + 1, numbers.size()));
        const double y = text::ReadNumber(numbers, nullptr);
        SetReferenceValues(*copy, index, x, y);
        rest.remove_prefix(right + 1);
    }

    const PathRef held(path);  // the host may give up the path inside its approval
    double x[4], y[4];
    path->GetCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
    PathTransform transform, inverse;
    path->GetTransform(&transform.a);
    InvertTransform(transform, &inverse);
    for (int i = 0; i < 4; ++i) MapPoint(x[i], y[i], inverse, &x[i], &y[i]);
    const Rect box = BoxOfPoints(x, y, 4);
    const double frame[4] = {box.x1, box.y1, box.x2, box.y2};

    auto rebuild = [&] {
        BuildPathFromTemplate(path, *copy, frame);
        if (CVXPath* own = CVXPath::FromInterface(path)) own->AdoptTemplate(std::move(copy));
    };
    if (!notify) {
        rebuild();
        return true;
    }
    gate_.BeginChange();
    if (gate_.ApprovePathChange(path, 3, kIdentity)) {
        rebuild();
        gate_.PathChanged(path, 3);
    }
    gate_.EndChange();
    return true;
}

// ---- Paths held across host calls -------------------------------------------------------

HeldPaths::~HeldPaths() {
    for (IVXPath* path : paths_) path->Release();
}

void HeldPaths::Hold(IVXPath* path) {
    if (!path) return;
    path->AddRef();
    paths_.push_back(path);
}

bool HeldPaths::AllStay() {
    const uint64_t now = canvas_.Departures();
    if (now == checked_) return true;
    const std::vector<IVXPath*>& listed = canvas_.Paths();
    const std::unordered_set<IVXPath*> on(listed.begin(), listed.end());
    for (IVXPath* path : paths_) {
        if (!on.count(path)) return false;
    }
    checked_ = now;
    return true;
}

}  // namespace vx
