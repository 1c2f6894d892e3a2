#include "recording/recording.h"

#include <charconv>

namespace ostrel_recording {

std::string Num(double v) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, result.ptr);
}

namespace {

// " 10 20": each value after a blank, as the log prints numbers.
std::string Nums(const CallLog& log, std::initializer_list<double> values) {
    std::string text;
    for (double v : values) text += ' ' + log.number(v);
    return text;
}

std::string Ints(std::initializer_list<int64_t> values) {
    std::string text;
    for (int64_t v : values) text += ' ' + std::to_string(v);
    return text;
}

std::string Rect(const CallLog& log, const double* r) {
    return r ? Nums(log, {r[0], r[1], r[2], r[3]}) : std::string(" null");
}

}  // namespace

// ---- CallLog ---------------------------------------------------------------------------

void CallLog::Add(std::string line) {
    if (keepLines) lines.push_back(line);
    if (onCall) onCall(line);
}

std::string CallLog::NameOf(const void* object) const {
    if (!object) return "null";
    auto it = names.find(object);
    return it == names.end() ? "?" : it->second;
}

std::string CallLog::PathName(IVXPath* path) {
    if (!path || !nameAtFirstSight || names.count(path)) return NameOf(path);
    held_.reserve(held_.size() + 1);  // so that a failure cannot leave a reference unowned
    Name(path, "p" + std::to_string(held_.size() + 1));
    path->AddRef();
    held_.push_back(path);
    return names[path];
}

void CallLog::ReleaseHeld() {
    for (IVXPath* path : held_) {
        names.erase(path);
        path->Release();
    }
    held_.clear();
}

std::vector<std::string> CallLog::Only(std::initializer_list<const char*> calls) const {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const std::string call = line.substr(0, line.find(' '));
        for (const char* c : calls) {
            if (call == c) {
                out.push_back(line);
                break;
            }
        }
    }
    return out;
}

// ---- RecordingSurface ------------------------------------------------------------------

void RecordingSurface::MoveTo(double x, double y) { log_.Add("MoveTo" + Nums(log_, {x, y})); }

void RecordingSurface::LineTo(double x, double y) { log_.Add("LineTo" + Nums(log_, {x, y})); }

void RecordingSurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    log_.Add("CurveTo" + Nums(log_, {x1, y1, x2, y2, x3, y3}));
}

void RecordingSurface::CurveToV(double x2, double y2, double x3, double y3) {
    log_.Add("CurveToV" + Nums(log_, {x2, y2, x3, y3}));
}

void RecordingSurface::CurveToY(double x1, double y1, double x3, double y3) {
    log_.Add("CurveToY" + Nums(log_, {x1, y1, x3, y3}));
}

void RecordingSurface::Rectangle(double x, double y, double width, double height) {
    log_.Add("Rectangle" + Nums(log_, {x, y, width, height}));
}

void RecordingSurface::ClosePath() { log_.Add("ClosePath"); }

void RecordingSurface::BeginPath(IVXPath* path) { log_.Add("BeginPath " + log_.PathName(path)); }

void RecordingSurface::EndPath(IVXPath* path, int32_t endValue) {
    log_.Add("EndPath " + log_.PathName(path) + Ints({endValue}));
}

void RecordingSurface::BeginOverlay() { log_.Add("BeginOverlay"); }

void RecordingSurface::EndOverlay() { log_.Add("EndOverlay"); }

int32_t RecordingSurface::SaveOverlay() {
    if (!countOverlays) {
        log_.Add("SaveOverlay");
        return overlayToken;
    }
    ++overlays_;
    log_.Add("SaveOverlay" + Ints({overlays_}));
    return overlays_;
}

void RecordingSurface::RestoreOverlay(int32_t token, const double* rect) {
    log_.Add("RestoreOverlay" + Ints({token}) + Rect(log_, rect));
}

void RecordingSurface::DropOverlay(int32_t token) { log_.Add("DropOverlay" + Ints({token})); }

void RecordingSurface::ShowOverlay(int32_t token, const double* rect) {
    log_.Add("ShowOverlay" + Ints({token}) + Rect(log_, rect));
}

void RecordingSurface::SetColor(uint32_t color, int32_t minusOne) {
    log_.Add("SetColor" + Ints({color, minusOne}));
}

int32_t RecordingSurface::WantsFullFigure(const double* rect) {
    log_.Add("WantsFullFigure" + Rect(log_, rect));
    return wantsFullFigureResult;
}

void RecordingSurface::Refresh(double x1, double y1, double x2, double y2) {
    log_.Add("Refresh" + Nums(log_, {x1, y1, x2, y2}));
}

int32_t RecordingSurface::DrawMark(double x, double y, double width, double height,
                                   int32_t markType) {
    log_.Add("DrawMark" + Nums(log_, {x, y, width, height}) + Ints({markType}));
    return drawMarkResult;
}

// ---- RecordingHost ---------------------------------------------------------------------

void RecordingHost::SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                                int32_t selected, double angle) {
    log_.Add("SetFeedback" + Ints({editMode}) + " " + log_.PathName(path) +
             Ints({hitCode, busy, selected}) + Nums(log_, {angle}));
}

void RecordingHost::BeginTracking() { log_.Add("BeginTracking"); }

void RecordingHost::EndTracking() { log_.Add("EndTracking"); }

int32_t RecordingHost::AcceptTrackPoint(double x, double y, int32_t one) {
    log_.Add("AcceptTrackPoint" + Nums(log_, {x, y}) + Ints({one}));
    return acceptTrackPoint;
}

void RecordingHost::AdjustPoint(double* x, double* y) {
    const double sx = *x, sy = *y;
    *x = (sx - offsetX) / scale;
    *y = (sy - offsetY) / scale;
    if (logMapping) log_.Add("AdjustPoint" + Nums(log_, {sx, sy}));
}

void RecordingHost::ToScreen(double* x, double* y) {
    const double cx = *x, cy = *y;
    *x = cx * scale + offsetX;
    *y = cy * scale + offsetY;
    if (logMapping) log_.Add("ToScreen" + Nums(log_, {cx, cy}));
}

double RecordingHost::GetRotation() {
    log_.Add("GetRotation");
    return rotation;
}

void RecordingHost::BeginChange() { log_.Add("BeginChange"); }

int32_t RecordingHost::ApprovePathAdd(IVXPath* path) {
    log_.Add("ApprovePathAdd " + log_.PathName(path));
    return approveAdd;
}

int32_t RecordingHost::ApprovePathRemove(IVXPath* path) {
    log_.Add("ApprovePathRemove " + log_.PathName(path));
    return approveRemove;
}

int32_t RecordingHost::ApprovePathChange(IVXPath* path, int32_t kind, PathTransform m) {
    log_.Add("ApprovePathChange " + log_.PathName(path) + Ints({kind}) +
             Nums(log_, {m.a, m.b, m.c, m.d, m.e, m.f}));
    return approveChange;
}

void RecordingHost::PathChanged(IVXPath* path, int32_t kind) {
    log_.Add("PathChanged " + log_.PathName(path) + Ints({kind}));
}

void RecordingHost::EndChange() { log_.Add("EndChange"); }

void RecordingHost::BeginSelectionChange() { log_.Add("BeginSelectionChange"); }

void RecordingHost::EndSelectionChange() { log_.Add("EndSelectionChange"); }

IDrawSurface* RecordingHost::GetSurface() {
    if (logGetSurface) log_.Add("GetSurface");
    return surface_;
}

}  // namespace ostrel_recording
