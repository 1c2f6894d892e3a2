#include "editor/editor.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "editor/tracking.h"
#include "interface/global_parameters.h"
#include "path/geometry.h"
#include "path/hit_test.h"
#include "path/path.h"
#include "platform/platform.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "templates/template_library.h"
#include "text/format.h"
#include "text/number.h"
#include "tools/tools.h"

namespace vx {

namespace {

constexpr int32_t kVkControl = 0x11;

bool ControlDown() { return (platform::GetAsyncKeyState(kVkControl) & 0x8000) != 0; }

// A path of another implementation has no hit test of ours: nothing of it is ever hit.
int32_t HitPath(CVXEditor* editor, IVXPath* path, double x, double y, int32_t mode,
                int32_t* part) {
    CVXPath* own = CVXPath::FromInterface(path);
    return own ? own->HitTestPath(editor, x, y, mode, part) : kHitNothing;
}

struct ToolRelease {
    void operator()(IVXFigures* tool) const { tool->Release(); }
};

void Refresh(IDrawSurface* surface) {
    if (surface) surface->Refresh(0, 0, 0, 0);
}

}  // namespace

CVXEditor::CVXEditor(ICanvasHost* host) : host_(host) {
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

CVXEditor::~CVXEditor() {
    ReleaseTools();
    for (IVXPath* path : paths_) path->Release();
}

void CVXEditor::ReleaseTools() {
    for (auto& entry : tools_) entry.second->Release();
    tools_.clear();
}

void CVXEditor::Destroy(uint32_t flags) {
    this->~CVXEditor();
    if (flags & 1) ::operator delete(this);
}

void CVXEditor::SetEditMode(int32_t mode) { editMode_ = mode; }

int32_t CVXEditor::GetEditMode() { return editMode_; }

IVXSelections* CVXEditor::GetSelections() { return &selections_; }

void CVXEditor::RegisterTool(const VXCHAR* name, IVXFigures* tool) {
    if (!name || !tool) return;
    tool->AddRef();
    IVXFigures*& slot = tools_[String(name)];
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

IVXFigures* CVXEditor::CurrentTool() const {
    if (currentTool_.empty()) return nullptr;
    auto found = tools_.find(currentTool_);
    return found == tools_.end() ? nullptr : found->second;
}

int32_t CVXEditor::GetToolInfos(FigureInfo* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return static_cast<int32_t>(tools_.size());
    int32_t i = 0;
    for (auto& entry : tools_) {
        if (i >= capacity) break;
        const FigureInfo* info = entry.second->GetInfo(entry.first.c_str());
        buffer[i++] = info ? *info : FigureInfo{nullptr, nullptr, nullptr};
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
    if (!path || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) return;
    paths_.push_back(path);
    path->AddRef();
}

void CVXEditor::ForgetPath(IVXPath* path) {
    auto found = std::find(paths_.begin(), paths_.end(), path);
    if (found != paths_.end()) paths_.erase(found);
}

void CVXEditor::RemovePath(IVXPath* path) {
    if (path == hovered_) hovered_ = nullptr;
    if (host_->ApprovePathRemove(path)) ForgetPath(path);
    selections_.Remove(path);
}

void CVXEditor::DetachPath(IVXPath* path) {
    if (path == hovered_) hovered_ = nullptr;
    ForgetPath(path);
    selections_.Remove(path);
}

void CVXEditor::ClearPaths() {
    if (selections_.GetCount() != 0) {
        host_->BeginSelectionChange();
        selections_.Clear();
        host_->EndSelectionChange();
    }
    // Emptied before the releases, so that a path's teardown never finds itself listed.
    std::vector<IVXPath*> released;
    released.swap(paths_);
    hovered_ = nullptr;
    for (IVXPath* path : released) path->Release();
}

int32_t CVXEditor::GetPathCount() { return static_cast<int32_t>(paths_.size()); }

IVXPath* CVXEditor::GetPath(int32_t index) {
    // Hosts keep the index in range; one outside gets null rather than a stray read.
    if (index < 0 || static_cast<size_t>(index) >= paths_.size()) return nullptr;
    return paths_[static_cast<size_t>(index)];
}

bool CVXEditor::AddWithApproval(IVXPath* path) {
    host_->BeginChange();
    const bool consent = host_->ApprovePathAdd(path) != 0;
    if (consent) AddPath(path);
    host_->EndChange();
    return consent;
}

void CVXEditor::SelectOnly(IVXPath* path) {
    host_->BeginSelectionChange();
    selections_.Clear();
    if (path) selections_.Add(path);
    host_->EndSelectionChange();
}

// ---- Drawing and feedback ---------------------------------------------------------------

void CVXEditor::DrawSelection(IDrawSurface* surface, int32_t outline, int32_t handles) {
    if (!surface) return;
    for (int32_t i = 0; i < selections_.GetCount(); ++i) {
        CVXPath* path = CVXPath::FromInterface(selections_.GetAt(i));
        if (!path) continue;
        surface->SetColor(g_parameters.OutlineColor, -1);
        path->DrawPath(surface, 1, outline != 0);
        surface->SetColor(g_parameters.HandleColor, -1);
        path->DrawTracker(surface, editMode_, handles != 0, true);
    }
}

void CVXEditor::SendFeedback(IVXPath* path, int32_t code, int32_t busy, int32_t selected) {
    double angle = 0.0;
    if (path && code >= kHitLeft && code <= kHitBottomLeft) {
        double x[4], y[4];  // top-left, top-right, bottom-left, bottom-right
        path->GetOrientedCorners(&x[0], &y[0], &x[1], &y[1], &x[2], &y[2], &x[3], &y[3]);
        const double along = std::atan2(y[0] - y[1], x[0] - x[1]);  // P1 - P2
        const double down = std::atan2(y[0] - y[2], x[0] - x[2]);   // P1 - P3
        switch (code) {
            case kHitLeft:
            case kHitRight:
                angle = along;
                break;
            case kHitTopLeft:
            case kHitBottomRight:
                angle = (along + down) / 2.0;
                break;
            case kHitTop:
            case kHitBottom:
                angle = down;
                break;
            default:  // top-right and bottom-left
                angle = (std::atan2(y[1] - y[0], x[1] - x[0]) +
                         std::atan2(y[1] - y[3], x[1] - x[3])) / 2.0;
                break;
        }
    }
    host_->SetFeedback(editMode_, path, code, busy, selected, angle);
}

// ---- Hit test and mouse -----------------------------------------------------------------

int32_t CVXEditor::HitTestAt(double x, double y, bool selectedOnly, IVXPath** found,
                             int32_t* part) {
    IVXPath* hit = nullptr;
    int32_t code = kHitNothing;
    if (hovered_ && IsSelected(hovered_)) {
        code = HitPath(this, hovered_, x, y, editMode_, part);
        if (code != kHitNothing) hit = hovered_;
    }
    for (int32_t i = selections_.GetCount() - 1; i >= 0 && code == kHitNothing; --i) {
        IVXPath* path = selections_.GetAt(i);
        code = HitPath(this, path, x, y, editMode_, part);
        if (code != kHitNothing) hit = path;
    }
    if (hit) {
        *found = hit;
        if (editMode_ == 0 && code == kHitNode) return kHitFigure;
        if (editMode_ == 0 && code == kHitControl) return kHitNothing;
        return code;
    }

    *found = nullptr;
    if (selectedOnly) return kHitNothing;
    if (static_cast<size_t>(selections_.GetCount()) >= paths_.size() &&
        std::all_of(paths_.begin(), paths_.end(), [this](IVXPath* p) { return IsSelected(p); })) {
        return kHitNothing;
    }
    for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
        code = HitPath(this, *it, x, y, editMode_, part);
        if (code == kHitNothing) continue;
        *found = *it;
        if (code >= kHitCenter && code <= kHitRing) return kHitFigure;
        if (code == kHitNode) return editMode_ == 0 ? kHitFigure : kHitNode;
        if (code == kHitControl) return kHitNothing;
        return code;
    }
    return kHitNothing;
}

int32_t CVXEditor::HitTest(double x, double y, int32_t selectedOnly, IVXPath** found) {
    IVXPath* path = nullptr;
    int32_t part = -1;
    const int32_t code = HitTestAt(x, y, selectedOnly != 0, &path, &part);
    if (found) *found = path;
    return code;
}

void CVXEditor::MouseMove(double x, double y) {
    if (CurrentTool()) {
        SendFeedback(hovered_, kHitNothing, 1, 0);
        return;
    }
    hoveredCode_ = HitTestAt(x, y, false, &hovered_, &hoveredPart_);
    if (hoveredCode_ != kHitNothing && hovered_) {
        SendFeedback(hovered_, hoveredCode_, 0, IsSelected(hovered_) ? 1 : 0);
    }
}

void CVXEditor::KeyDown(int32_t key, int32_t, int32_t) {
    if (key != kVkControl) return;
    int32_t x = 0, y = 0;
    platform::GetCursorPos(&x, &y);
    MouseMove(x, y);
}

void CVXEditor::KeyUp(int32_t key, int32_t unused1, int32_t unused2) { KeyDown(key, unused1, unused2); }

// The result tells whether the path is selected afterwards (a Control click on nothing
// counts as yes); *refresh whether the surface must be refreshed.
bool CVXEditor::ClickSelect(IVXPath* path, bool* refresh) {
    const bool wasSelected = IsSelected(path);
    bool selected = true;
    *refresh = true;
    if (ControlDown()) {
        host_->BeginSelectionChange();
        if (wasSelected) {
            selections_.Remove(path);
            selected = false;
        } else if (path) {
            selections_.Add(path);
        }
        host_->EndSelectionChange();
    } else if (!wasSelected) {
        SelectOnly(path);
    } else {
        *refresh = selections_.GetCount() > 1;
    }
    return selected;
}

void CVXEditor::ClickHovered(double, double) {
    SendFeedback(hovered_, hoveredCode_, 0, hovered_ && IsSelected(hovered_) ? 1 : 0);
    bool refresh;
    ClickSelect(hovered_, &refresh);
    if (refresh) Refresh(host_->GetSurface());
}

void CVXEditor::MouseDown(double x, double y, int32_t button) {
    if (button == 2) return;
    IDrawSurface* surface = host_->GetSurface();

    if (IVXFigures* tool = CurrentTool()) {
        SendFeedback(hovered_, kHitNothing, 1, 0);
        IVXPath* path = CVXPath::Create();
        if (!path) return;
        // The tool may be replaced while it runs (a host callback may register another);
        // the reference keeps this one alive until its gesture is over.
        tool->AddRef();
        const String name = currentTool_;
        const bool drawn = tool->Draw(name.c_str(), x, y, host_, this, path);
        tool->Release();
        if (drawn && AddWithApproval(path)) {
            SelectOnly(path);
            Refresh(surface);
        }
        path->Release();
        return;
    }

    if (hoveredCode_ == kHitNothing || !hovered_) {
        TrackRubberBand(*this, x, y);
        return;
    }

    const bool control = ControlDown();
    SendFeedback(hovered_, hoveredCode_, 0, IsSelected(hovered_) ? 1 : 0);
    if (!IsSelected(hovered_) || control || editMode_ == 1 || hoveredCode_ == kHitReference) {
        bool refresh;
        const bool selected = ClickSelect(hovered_, &refresh);
        if (refresh) Refresh(surface);
        if (!selected || control) return;
        if (surface) {
            DrawSelection(surface, 1, 0);
            surface->ShowOverlay(0, nullptr);
        }
    }
    if (editMode_ == 0) {
        TrackTransform(*this, x, y, hoveredCode_, hovered_, hoveredPart_);
    } else if (editMode_ == 1) {
        TrackNode(*this, x, y, hoveredCode_, hoveredPart_);
    }
}

bool CVXEditor::PlaceFigure(double width, double height, const VXCHAR* name) {
    IVXFigures* tool = CurrentTool();
    if (!tool) return false;
    int32_t cx = 0, cy = 0;
    platform::GetCursorPos(&cx, &cy);
    SendFeedback(nullptr, kHitNothing, 1, 0);
    IVXPath* path = CVXPath::Create();
    if (!path) return false;
    tool->AddRef();
    const bool placed = tool->Place(name, cx, cy, width, height, host_, this, path);
    tool->Release();
    const bool added = placed && AddWithApproval(path);
    if (added) {
        SelectOnly(path);
        Refresh(host_->GetSurface());
    }
    path->Release();
    return added;
}

// ---- Template text ----------------------------------------------------------------------

int32_t CVXEditor::GetTemplateText(IVXPath* path, VXCHAR* buffer, int32_t capacity) {
    CVXPath* own = CVXPath::FromInterface(path);
    const FigureTemplate* figure = own ? own->GetTemplateCopy() : nullptr;
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
    host_->BeginChange();
    if (host_->ApprovePathChange(path, 3, kIdentity)) {
        rebuild();
        host_->PathChanged(path, 3);
    }
    host_->EndChange();
    return true;
}

}  // namespace vx
