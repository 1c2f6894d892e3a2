// The recording host and surface: every call the library makes on them becomes one text line
// ("MoveTo 96 46", "BeginPath p1", "ApprovePathChange p1 2 1 0 0 1 5 5") in a call log. Tests
// keep the lines and compare whole call sequences; `ostrel replay --trace` hands each line to
// its trace file. What the host answers, how it maps points and how it prints numbers and
// names are settings; the defaults are the tests', and the replay sets its own.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"

namespace ostrel_recording {

// Shortest text that reads back as the same double ("96", "0.5", "-4", "1e+20").
std::string Num(double v);

class CallLog {
public:
    CallLog() = default;
    ~CallLog() { ReleaseHeld(); }
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    // Keeps the line (unless keepLines is off), then runs onCall with it.
    void Add(std::string line);
    // Objects print under the names given here; unnamed ones as "?", null as "null".
    void Name(const void* object, std::string name) { names[object] = std::move(name); }
    std::string NameOf(const void* object) const;
    // A path's name in a line. With nameAtFirstSight an unnamed path is named p1, p2, ...
    // in the order it is first seen, and held by a reference so that its address cannot
    // be reused by a later path while the names are in use; ReleaseHeld gives them back
    // (once the canvas is gone) and forgets those names.
    std::string PathName(IVXPath* path);
    void ReleaseHeld();
    void Clear() { lines.clear(); }
    // Only the lines that start with one of the given call names.
    std::vector<std::string> Only(std::initializer_list<const char*> calls) const;

    std::vector<std::string> lines;
    std::map<const void*, std::string> names;
    // Runs inside every logged call, after its line: where a test's host calls back, or
    // where a trace file takes the line.
    std::function<void(const std::string& line)> onCall;
    bool keepLines = true;
    bool nameAtFirstSight = false;
    std::string (*number)(double) = Num;  // how numbers are printed in the lines

private:
    std::vector<IVXPath*> held_;
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

    // Answers the surface gives. SaveOverlay answers overlayToken, or with countOverlays
    // 1, 2, ... in turn, each named in its line so that a reader can pair the restores.
    int32_t drawMarkResult = 0;
    int32_t wantsFullFigureResult = 0;
    int32_t overlayToken = 7;
    bool countOverlays = false;

private:
    CallLog& log_;
    int32_t overlays_ = 0;
};

// A host whose screen is the canvas scaled by `scale` and shifted by (offsetX, offsetY).
class RecordingHost : public ICanvasHost {
public:
    RecordingHost(CallLog& log, IDrawSurface* surface) : log_(log), surface_(surface) {}

    void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                     int32_t selected, double angle) override;
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
    double rotation = 0.0;  // radians
    double scale = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
    // Mapping calls are frequent and GetSurface opens most gestures: both are logged only
    // when asked.
    bool logMapping = false;
    bool logGetSurface = false;

private:
    CallLog& log_;
    IDrawSurface* surface_;
};

}  // namespace ostrel_recording
