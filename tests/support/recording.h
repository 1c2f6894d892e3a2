// Recording host objects for tests: every call on the host or its surface becomes one text
// line in a shared log ("MoveTo 96 46", "BeginPath p1"), so tests compare whole call
// sequences as lists of lines.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"

namespace vx::test {

// Shortest text that reads back as the same double ("96", "0.5", "-4", "1e+20").
std::string Num(double v);

class CallLog {
public:
    void Add(std::string line) {
        lines.push_back(line);
        if (onCall) onCall(line);
    }
    // Objects print under the names given here; unnamed ones as "?", null as "null".
    void Name(const void* object, std::string name) { names[object] = std::move(name); }
    std::string NameOf(const void* object) const;
    void Clear() { lines.clear(); }
    // Only the lines that start with one of the given call names.
    std::vector<std::string> Only(std::initializer_list<const char*> calls) const;

    std::vector<std::string> lines;
    std::map<const void*, std::string> names;
    // Runs inside every logged call, after its line: where a test's host calls back.
    std::function<void(const std::string& line)> onCall;
};

class RecordingSurface : public IDrawSurface {
public:
    explicit RecordingSurface(CallLog& log) : log_(log) {}

    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void CurveToV(double x2, double y2, double x3, double y3) override;
    void CurveToY(double x1, double y1, double x3, double y3) override;
    void Rectangle(double x, double y, double width, double height) override;
    void ClosePath() override;
    void BeginPath(IVXPath* path) override;
    void EndPath(IVXPath* path, int32_t endValue) override;
    void BeginOverlay() override;
    void EndOverlay() override;
    int32_t SaveOverlay() override;
    void RestoreOverlay(int32_t token, const double* rect) override;
    void DropOverlay(int32_t token) override;
    void ShowOverlay(int32_t token, const double* rect) override;
    void SetColor(uint32_t color, int32_t minusOne) override;
    int32_t WantsFullFigure(const double* rect) override;
    void Refresh(double x1, double y1, double x2, double y2) override;
    int32_t DrawMark(double x, double y, double width, double height, int32_t markType) override;

    // Answers the surface gives.
    int32_t drawMarkResult = 0;
    int32_t wantsFullFigureResult = 0;
    int32_t overlayToken = 7;

private:
    CallLog& log_;
};

// A host whose screen is the canvas scaled by `scale` and shifted by (offsetX, offsetY).
class RecordingHost : public ICanvasHost {
public:
    RecordingHost(CallLog& log, IDrawSurface* surface) : log_(log), surface_(surface) {}

    void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy, int32_t selected,
                     double angle) override;
    void BeginTracking() override;
    void EndTracking() override;
    int32_t AcceptTrackPoint(double x, double y, int32_t one) override;
    void AdjustPoint(double* x, double* y) override;
    void ToScreen(double* x, double* y) override;
    double GetRotation() override;
    void BeginChange() override;
    int32_t ApprovePathAdd(IVXPath* path) override;
    int32_t ApprovePathRemove(IVXPath* path) override;
    int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) override;
    void PathChanged(IVXPath* path, int32_t kind) override;
    void EndChange() override;
    void BeginSelectionChange() override;
    void EndSelectionChange() override;
    IDrawSurface* GetSurface() override;

    // Answers and mapping the host gives.
    int32_t acceptTrackPoint = 1;
    int32_t approveAdd = 1;
    int32_t approveRemove = 1;
    int32_t approveChange = 1;
    double rotation = 0.0;
    double scale = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
    // Mapping calls are frequent; they are logged only when asked.
    bool logMapping = false;

private:
    CallLog& log_;
    IDrawSurface* surface_;
};

// A host attachment object that counts its references and logs its releases.
class CountedObject : public IVXFillObject {
public:
    CountedObject(CallLog* log, std::string name, int32_t fillRule = VX_FILL_NONE)
        : log_(log), name_(std::move(name)), fillRule_(fillRule) {}
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override;
    int32_t FillRule() override { return fillRule_; }

    int32_t refs = 1;

private:
    CallLog* log_;
    std::string name_;
    int32_t fillRule_;
};

// Builds nodes from a short text: "M x y", "L x y", "C x1 y1 x2 y2 x3 y3", "Z", and
// "N kind x1 y1 x2 y2 x3 y3" for any raw node. Adds them to the path with AddNode.
void AddPathText(IVXPath* path, const char* text);

// The stored nodes of a path in the same notation ("M 0 0 L 10 0 Z"; other kinds as N).
std::string PathText(IVXPath* path);

}  // namespace vx::test
