// The host side of a replayed session: the ICanvasHost and IDrawSurface that the canvas
// calls, the names under which paths appear (p1, p2, ... in the order the host first sees
// them), and the trace file that records every call as one line ("MoveTo 96 46").
//
// The screen is the canvas: AdjustPoint and ToScreen leave points unchanged. The surface
// draws nothing; the drawing is made at the end from the canvas's paths.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "ostrel/ostrel.h"

namespace ostrel_cli {

// Names paths by first sight. Each named path gets one reference from here, so that its
// address cannot be reused by a later path while the names are in use; ReleaseAll gives
// them back once the canvas is gone.
class PathNames {
public:
    PathNames() = default;
    ~PathNames() { ReleaseAll(); }
    PathNames(const PathNames&) = delete;
    PathNames& operator=(const PathNames&) = delete;

    const std::string& Of(IVXPath* path);  // "null" for a null path
    void ReleaseAll();

private:
    std::unordered_map<IVXPath*, std::string> names_;
    std::vector<IVXPath*> held_;
};

// The --trace file, written beside its final name and renamed into place by Commit. Without
// a file name every call is a no-op. Long sessions are cut at kMaxLines with a last line
// saying so.
class Trace {
public:
    static constexpr size_t kMaxLines = 2000000;

    // Throws UsageError when the file cannot be written.
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool On() const { return file_.is_open(); }
    void Add(const std::string& line);
    bool Truncated() const { return lines_ > kMaxLines; }
    void Commit();  // throws UsageError when the file cannot be completed

private:
    std::string path_, temp_;
    std::ofstream file_;
    size_t lines_ = 0;
    bool committed_ = false;
};

class ReplaySurface : public IDrawSurface {
public:
    ReplaySurface(Trace& trace, PathNames& names) : trace_(trace), names_(names) {}

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

private:
    Trace& trace_;
    PathNames& names_;
    int32_t tokens_ = 0;  // overlay tokens handed out: 1, 2, ...
};

class ReplayHost : public ICanvasHost {
public:
    ReplayHost(Trace& trace, PathNames& names, IDrawSurface* surface)
        : trace_(trace), names_(names), surface_(surface) {}

    // What the host answers; a session changes them with `approve` and `rotation`.
    bool approveAdd = true, approveRemove = true, approveChange = true;
    double rotation = 0;  // radians

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

private:
    Trace& trace_;
    PathNames& names_;
    IDrawSurface* surface_;
};

}  // namespace ostrel_cli
