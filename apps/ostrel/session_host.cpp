#include "session_host.h"

#include <cstdio>
#include <filesystem>
#include <initializer_list>

#include "files.h"
#include "options.h"
#include "text.h"

namespace ostrel_cli {

namespace {

std::string Numbers(std::initializer_list<double> values) {
    std::string text;
    for (double v : values) {
        text += ' ';
        text += FormatNumber(v);
    }
    return text;
}

std::string Rect(const double* rect) {
    return rect ? Numbers({rect[0], rect[1], rect[2], rect[3]}) : std::string(" null");
}

}  // namespace

// ---- PathNames -------------------------------------------------------------------------

const std::string& PathNames::Of(IVXPath* path) {
    static const std::string null = "null";
    if (!path) return null;
    auto found = names_.find(path);
    if (found != names_.end()) return found->second;
    held_.reserve(held_.size() + 1);  // so that a failure cannot leave a reference unowned
    auto added = names_.emplace(path, "p" + std::to_string(names_.size() + 1)).first;
    path->AddRef();
    held_.push_back(path);
    return added->second;
}

void PathNames::ReleaseAll() {
    for (IVXPath* path : held_) path->Release();
    held_.clear();
    names_.clear();
}

// ---- Trace -----------------------------------------------------------------------------

Trace::Trace(const std::string& path) : path_(path) {
    if (path.empty()) return;
    temp_ = TempNameFor(path);
    file_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!file_) throw UsageError("cannot write '" + path + "'");
}

Trace::~Trace() {
    if (!temp_.empty() && !committed_) {
        file_.close();
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

void Trace::Add(const std::string& line) {
    if (!file_.is_open() || lines_ > kMaxLines) return;
    if (++lines_ > kMaxLines) {
        file_ << "... the trace stops here: more than " << kMaxLines << " lines\n";
        return;
    }
    file_ << line << '\n';
}

void Trace::Commit() {
    if (temp_.empty()) return;
    file_.close();
    if (!file_) throw UsageError("cannot write '" + path_ + "'");
    std::error_code error;
    std::filesystem::rename(temp_, path_, error);
    if (error) throw UsageError("cannot write '" + path_ + "'");
    committed_ = true;
}

// ---- ReplaySurface ---------------------------------------------------------------------

void ReplaySurface::MoveTo(double x, double y) {
    if (trace_.On()) trace_.Add("MoveTo" + Numbers({x, y}));
}

void ReplaySurface::LineTo(double x, double y) {
    if (trace_.On()) trace_.Add("LineTo" + Numbers({x, y}));
}

void ReplaySurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (trace_.On()) trace_.Add("CurveTo" + Numbers({x1, y1, x2, y2, x3, y3}));
}

void ReplaySurface::CurveToV(double x2, double y2, double x3, double y3) {
    if (trace_.On()) trace_.Add("CurveToV" + Numbers({x2, y2, x3, y3}));
}

void ReplaySurface::CurveToY(double x1, double y1, double x3, double y3) {
    if (trace_.On()) trace_.Add("CurveToY" + Numbers({x1, y1, x3, y3}));
}

void ReplaySurface::Rectangle(double x, double y, double width, double height) {
    if (trace_.On()) trace_.Add("Rectangle" + Numbers({x, y, width, height}));
}

void ReplaySurface::ClosePath() { trace_.Add("ClosePath"); }

void ReplaySurface::BeginPath(IVXPath* path) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) trace_.Add("BeginPath " + name);
}

void ReplaySurface::EndPath(IVXPath* path, int32_t endValue) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) trace_.Add("EndPath " + name + " " + std::to_string(endValue));
}

void ReplaySurface::BeginOverlay() { trace_.Add("BeginOverlay"); }

void ReplaySurface::EndOverlay() { trace_.Add("EndOverlay"); }

int32_t ReplaySurface::SaveOverlay() {
    ++tokens_;
    if (trace_.On()) trace_.Add("SaveOverlay " + std::to_string(tokens_));
    return tokens_;
}

void ReplaySurface::RestoreOverlay(int32_t token, const double* rect) {
    if (trace_.On()) trace_.Add("RestoreOverlay " + std::to_string(token) + Rect(rect));
}

void ReplaySurface::DropOverlay(int32_t token) {
    if (trace_.On()) trace_.Add("DropOverlay " + std::to_string(token));
}

void ReplaySurface::ShowOverlay(int32_t token, const double* rect) {
    if (trace_.On()) trace_.Add("ShowOverlay " + std::to_string(token) + Rect(rect));
}

void ReplaySurface::SetColor(uint32_t color, int32_t minusOne) {
    if (trace_.On()) {
        trace_.Add("SetColor " + std::to_string(color) + " " + std::to_string(minusOne));
    }
}

// Feedback of an edit shows only the box of a path that is not the one under the mouse.
int32_t ReplaySurface::WantsFullFigure(const double* rect) {
    if (trace_.On()) trace_.Add("WantsFullFigure" + Rect(rect));
    return 0;
}

void ReplaySurface::Refresh(double x1, double y1, double x2, double y2) {
    if (trace_.On()) trace_.Add("Refresh" + Numbers({x1, y1, x2, y2}));
}

// Marks are the host's to draw, which keeps their outlines out of the trace.
int32_t ReplaySurface::DrawMark(double x, double y, double width, double height, int32_t markType) {
    if (trace_.On()) {
        trace_.Add("DrawMark" + Numbers({x, y, width, height}) + " " + std::to_string(markType));
    }
    return 1;
}

// ---- ReplayHost ------------------------------------------------------------------------

void ReplayHost::SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                             int32_t selected, double angle) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) {
        trace_.Add("SetFeedback " + std::to_string(editMode) + " " + name + " " +
                   std::to_string(hitCode) + " " + std::to_string(busy) + " " +
                   std::to_string(selected) + Numbers({angle}));
    }
}

void ReplayHost::BeginTracking() { trace_.Add("BeginTracking"); }

void ReplayHost::EndTracking() { trace_.Add("EndTracking"); }

int32_t ReplayHost::AcceptTrackPoint(double x, double y, int32_t one) {
    if (trace_.On()) trace_.Add("AcceptTrackPoint" + Numbers({x, y}) + " " + std::to_string(one));
    return 1;
}

void ReplayHost::AdjustPoint(double* x, double* y) {
    if (trace_.On()) trace_.Add("AdjustPoint" + Numbers({*x, *y}));
}

void ReplayHost::ToScreen(double* x, double* y) {
    if (trace_.On()) trace_.Add("ToScreen" + Numbers({*x, *y}));
}

double ReplayHost::GetRotation() {
    trace_.Add("GetRotation");
    return rotation;
}

void ReplayHost::BeginChange() { trace_.Add("BeginChange"); }

int32_t ReplayHost::ApprovePathAdd(IVXPath* path) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) trace_.Add("ApprovePathAdd " + name);
    return approveAdd ? 1 : 0;
}

int32_t ReplayHost::ApprovePathRemove(IVXPath* path) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) trace_.Add("ApprovePathRemove " + name);
    return approveRemove ? 1 : 0;
}

int32_t ReplayHost::ApprovePathChange(IVXPath* path, int32_t kind, PathTransform m) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) {
        trace_.Add("ApprovePathChange " + name + " " + std::to_string(kind) +
                   Numbers({m.a, m.b, m.c, m.d, m.e, m.f}));
    }
    return approveChange ? 1 : 0;
}

void ReplayHost::PathChanged(IVXPath* path, int32_t kind) {
    const std::string& name = names_.Of(path);
    if (trace_.On()) trace_.Add("PathChanged " + name + " " + std::to_string(kind));
}

void ReplayHost::EndChange() { trace_.Add("EndChange"); }

void ReplayHost::BeginSelectionChange() { trace_.Add("BeginSelectionChange"); }

void ReplayHost::EndSelectionChange() { trace_.Add("EndSelectionChange"); }

IDrawSurface* ReplayHost::GetSurface() {
    trace_.Add("GetSurface");
    return surface_;
}

}  // namespace ostrel_cli
