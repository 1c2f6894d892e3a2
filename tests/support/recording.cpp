#include "support/recording.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace vx::test {

std::string Num(double v) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, result.ptr);
}

namespace {
std::string Join(std::initializer_list<std::string> parts) {
    std::string line;
    for (const std::string& p : parts) {
        if (!line.empty()) line += ' ';
        line += p;
    }
    return line;
}
std::string Rect(const double* r) {
    if (!r) return "null";
    return Num(r[0]) + " " + Num(r[1]) + " " + Num(r[2]) + " " + Num(r[3]);
}
}  // namespace

std::string CallLog::NameOf(const void* object) const {
    if (!object) return "null";
    auto it = names.find(object);
    return it == names.end() ? "?" : it->second;
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

void RecordingSurface::MoveTo(double x, double y) { log_.Add(Join({"MoveTo", Num(x), Num(y)})); }
void RecordingSurface::LineTo(double x, double y) { log_.Add(Join({"LineTo", Num(x), Num(y)})); }
void RecordingSurface::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    log_.Add(Join({"CurveTo", Num(x1), Num(y1), Num(x2), Num(y2), Num(x3), Num(y3)}));
}
void RecordingSurface::CurveToV(double x2, double y2, double x3, double y3) {
    log_.Add(Join({"CurveToV", Num(x2), Num(y2), Num(x3), Num(y3)}));
}
void RecordingSurface::CurveToY(double x1, double y1, double x3, double y3) {
    log_.Add(Join({"CurveToY", Num(x1), Num(y1), Num(x3), Num(y3)}));
}
void RecordingSurface::Rectangle(double x, double y, double width, double height) {
    log_.Add(Join({"Rectangle", Num(x), Num(y), Num(width), Num(height)}));
}
void RecordingSurface::ClosePath() { log_.Add("ClosePath"); }
void RecordingSurface::BeginPath(IVXPath* path) { log_.Add("BeginPath " + log_.NameOf(path)); }
void RecordingSurface::EndPath(IVXPath* path, int32_t endValue) {
    log_.Add(Join({"EndPath", log_.NameOf(path), std::to_string(endValue)}));
}
void RecordingSurface::BeginOverlay() { log_.Add("BeginOverlay"); }
void RecordingSurface::EndOverlay() { log_.Add("EndOverlay"); }
int32_t RecordingSurface::SaveOverlay() {
    log_.Add("SaveOverlay");
    return overlayToken;
}
void RecordingSurface::RestoreOverlay(int32_t token, const double* rect) {
    log_.Add(Join({"RestoreOverlay", std::to_string(token), Rect(rect)}));
}
void RecordingSurface::DropOverlay(int32_t token) { log_.Add("DropOverlay " + std::to_string(token)); }
void RecordingSurface::ShowOverlay(int32_t token, const double* rect) {
    log_.Add(Join({"ShowOverlay", std::to_string(token), Rect(rect)}));
}
void RecordingSurface::SetColor(uint32_t color, int32_t minusOne) {
    log_.Add(Join({"SetColor", std::to_string(color), std::to_string(minusOne)}));
}
int32_t RecordingSurface::WantsFullFigure(const double* rect) {
    log_.Add("WantsFullFigure " + Rect(rect));
    return wantsFullFigureResult;
}
void RecordingSurface::Refresh(double x1, double y1, double x2, double y2) {
    log_.Add(Join({"Refresh", Num(x1), Num(y1), Num(x2), Num(y2)}));
}
int32_t RecordingSurface::DrawMark(double x, double y, double width, double height, int32_t markType) {
    log_.Add(Join({"DrawMark", Num(x), Num(y), Num(width), Num(height), std::to_string(markType)}));
    return drawMarkResult;
}

void RecordingHost::SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy, int32_t selected,
                                double angle) {
    log_.Add(Join({"SetFeedback", std::to_string(editMode), log_.NameOf(path), std::to_string(hitCode),
                   std::to_string(busy), std::to_string(selected), Num(angle)}));
}
void RecordingHost::BeginTracking() { log_.Add("BeginTracking"); }
void RecordingHost::EndTracking() { log_.Add("EndTracking"); }
int32_t RecordingHost::AcceptTrackPoint(double x, double y, int32_t one) {
    log_.Add(Join({"AcceptTrackPoint", Num(x), Num(y), std::to_string(one)}));
    return acceptTrackPoint;
}
void RecordingHost::AdjustPoint(double* x, double* y) {
    const double sx = *x, sy = *y;
    *x = (sx - offsetX) / scale;
    *y = (sy - offsetY) / scale;
    if (logMapping) log_.Add(Join({"AdjustPoint", Num(sx), Num(sy)}));
}
void RecordingHost::ToScreen(double* x, double* y) {
    const double cx = *x, cy = *y;
    *x = cx * scale + offsetX;
    *y = cy * scale + offsetY;
    if (logMapping) log_.Add(Join({"ToScreen", Num(cx), Num(cy)}));
}
double RecordingHost::GetRotation() {
    log_.Add("GetRotation");
    return rotation;
}
void RecordingHost::BeginChange() { log_.Add("BeginChange"); }
int32_t RecordingHost::ApprovePathAdd(IVXPath* path) {
    log_.Add("ApprovePathAdd " + log_.NameOf(path));
    return approveAdd;
}
int32_t RecordingHost::ApprovePathRemove(IVXPath* path) {
    log_.Add("ApprovePathRemove " + log_.NameOf(path));
    return approveRemove;
}
int32_t RecordingHost::ApprovePathChange(IVXPath* path, int32_t kind, PathTransform m) {
    log_.Add(Join({"ApprovePathChange", log_.NameOf(path), std::to_string(kind), Num(m.a), Num(m.b), Num(m.c), Num(m.d),
                   Num(m.e), Num(m.f)}));
    return approveChange;
}
void RecordingHost::PathChanged(IVXPath* path, int32_t kind) {
    log_.Add(Join({"PathChanged", log_.NameOf(path), std::to_string(kind)}));
}
void RecordingHost::EndChange() { log_.Add("EndChange"); }
void RecordingHost::BeginSelectionChange() { log_.Add("BeginSelectionChange"); }
void RecordingHost::EndSelectionChange() { log_.Add("EndSelectionChange"); }
IDrawSurface* RecordingHost::GetSurface() { return surface_; }

int32_t CountedObject::Release() {
    --refs;
    if (log_) log_->Add("Release " + name_ + " " + std::to_string(refs));
    return refs;
}

void AddPathText(IVXPath* path, const char* text) {
    std::istringstream in(text);
    std::string op;
    while (in >> op) {
        double v[6] = {0, 0, 0, 0, 0, 0};
        int kind = 0, count = 0;
        if (op == "M") kind = VX_NODE_MOVE, count = 2;
        else if (op == "L") kind = VX_NODE_LINE, count = 2;
        else if (op == "C") kind = VX_NODE_CUBIC, count = 6;
        else if (op == "Z") kind = VX_NODE_CLOSE, count = 0;
        else if (op == "N") {
            in >> kind;
            count = 6;
        } else {
            throw std::invalid_argument("path text: unknown command " + op);
        }
        for (int i = 0; i < count; ++i) {
            if (!(in >> v[i])) throw std::invalid_argument("path text: missing number after " + op);
        }
        path->AddNode(kind, v[0], v[1], v[2], v[3], v[4], v[5]);
    }
}

std::string PathText(IVXPath* path) {
    std::vector<PathNode> nodes(static_cast<size_t>(path->GetNodes(nullptr, 0)));
    if (!nodes.empty()) path->GetNodes(nodes.data(), static_cast<int32_t>(nodes.size()));
    std::string out;
    for (const PathNode& n : nodes) {
        if (!out.empty()) out += ' ';
        switch (n.kind) {
            case VX_NODE_MOVE: out += "M " + Num(n.x1) + " " + Num(n.y1); break;
            case VX_NODE_LINE: out += "L " + Num(n.x1) + " " + Num(n.y1); break;
            case VX_NODE_CUBIC:
                out += "C " + Num(n.x1) + " " + Num(n.y1) + " " + Num(n.x2) + " " + Num(n.y2) + " " + Num(n.x3) + " " +
                       Num(n.y3);
                break;
            case VX_NODE_CLOSE: out += "Z"; break;
            default:
                out += "N " + std::to_string(n.kind) + " " + Num(n.x1) + " " + Num(n.y1) + " " + Num(n.x2) + " " +
                       Num(n.y2) + " " + Num(n.x3) + " " + Num(n.y3);
                break;
        }
    }
    return out;
}

}  // namespace vx::test
