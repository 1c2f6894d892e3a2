// A host program in miniature: it sees only the public header and the shared library. It
// builds a path, draws it into a surface of its own and checks every call the library made,
// then calls entries of the path's and a canvas's tables by raw position, as hosts written
// against the table layout do; and it compares what the header's other translation units
// saw (C, platform.h alone) with C++. Prints one line per check; exits 1 if any failed.
//
// ostrel.h twice in one translation unit: the guard must make the second inclusion empty.
#include "ostrel/ostrel.h"
#include "ostrel/ostrel.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

extern "C" int CFigureInfoSize(void);
int PlatformAloneHookCount();
static_assert(sizeof(PathNode) == 56, "PathNode is 56 bytes in C++ as in C");

namespace {

int g_failed = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failed;
}

// Records each call as one line, its name and numbers. Every entry records itself, so a
// call the library should not make shows up as well.
class RecordingSurface : public IDrawSurface {
public:
    std::vector<std::string> calls;
    IVXPath* path = nullptr;  // the path drawn, which the bracket must name

    void MoveTo(double x, double y) override { Add("MoveTo", {x, y}); }
    void LineTo(double x, double y) override { Add("LineTo", {x, y}); }
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override {
        Add("CurveTo", {x1, y1, x2, y2, x3, y3});
    }
    void CurveToV(double, double, double, double) override { Add("CurveToV"); }
    void CurveToY(double, double, double, double) override { Add("CurveToY"); }
    void Rectangle(double, double, double, double) override { Add("Rectangle"); }
    void ClosePath() override { Add("ClosePath"); }
    void BeginPath(IVXPath* p) override { Add(p == path ? "BeginPath path" : "BeginPath other"); }
    void EndPath(IVXPath* p, int32_t endValue) override {
        Add(p == path ? "EndPath path" : "EndPath other", {double(endValue)});
    }
    void BeginOverlay() override { Add("BeginOverlay"); }
    void EndOverlay() override { Add("EndOverlay"); }
    int32_t SaveOverlay() override { return Add("SaveOverlay"); }
    void RestoreOverlay(int32_t, const double*) override { Add("RestoreOverlay"); }
    void DropOverlay(int32_t) override { Add("DropOverlay"); }
    void ShowOverlay(int32_t, const double*) override { Add("ShowOverlay"); }
    void SetColor(uint32_t, int32_t) override { Add("SetColor"); }
    int32_t WantsFullFigure(const double*) override { return Add("WantsFullFigure"); }
    void Refresh(double, double, double, double) override { Add("Refresh"); }
    int32_t DrawMark(double, double, double, double, int32_t) override { return Add("DrawMark"); }

private:
    // Returns 0, the answer of every entry that gives one.
    int32_t Add(const char* name, std::initializer_list<double> numbers = {}) {
        std::string line = name;
        char number[32];
        for (double v : numbers) {
            std::snprintf(number, sizeof number, " %g", v);
            line += number;
        }
        calls.push_back(line);
        return 0;
    }
};

// Table entries called by position take the object as their hidden first argument, in the
// compiler's member convention (thiscall on 32-bit Windows).
#if defined(_WIN32) && defined(__i386__)
#define MEMBER_CALL __thiscall
#else
#define MEMBER_CALL
#endif
using ReleaseEntry = int32_t(MEMBER_CALL*)(IVXPath*);
using GetTagEntry = uint32_t(MEMBER_CALL*)(IVXPath*);

template <typename T>
void* TableEntry(T* object, int index) {
    return (*reinterpret_cast<void***>(object))[index];
}
using ToolNamesEntry = int32_t(MEMBER_CALL*)(IGraphicCanvas*, VXCHAR*);
using PathCountEntry = int32_t(MEMBER_CALL*)(IGraphicCanvas*);

// A host that consents to everything and maps points unchanged.
class Host : public ICanvasHost {
public:
    explicit Host(IDrawSurface* surface) : surface_(surface) {}
    void SetFeedback(int32_t, IVXPath*, int32_t, int32_t, int32_t, double) override {}
    void BeginTracking() override {}
    void EndTracking() override {}
    int32_t AcceptTrackPoint(double, double, int32_t) override { return 1; }
    void AdjustPoint(double*, double*) override {}
    void ToScreen(double*, double*) override {}
    double GetRotation() override { return 0; }
    void BeginChange() override {}
    int32_t ApprovePathAdd(IVXPath*) override { return 1; }
    int32_t ApprovePathRemove(IVXPath*) override { return 1; }
    int32_t ApprovePathChange(IVXPath*, int32_t, PathTransform) override { return 1; }
    void PathChanged(IVXPath*, int32_t) override {}
    void EndChange() override {}
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return surface_; }

private:
    IDrawSurface* surface_;
};

}  // namespace

int main() {
    Check(CFigureInfoSize() == static_cast<int>(sizeof(FigureInfo)),
          "C fills the records; FigureInfo has one size in C and C++");
    Check(PlatformAloneHookCount() == 6, "platform.h compiles alone with six hooks");
    IVXPath* path = VX_CreatePath();
    Check(path && path->GetNodes(nullptr, 0) == 0, "VX_CreatePath returns a path without nodes");
    if (!path) return 1;

    // Move, line, curve, close, drawn through a transform that doubles and shifts by (1, 1).
    path->AddNode(VX_NODE_MOVE, 10, 20, 0, 0, 0, 0);
    path->AddNode(VX_NODE_LINE, 30, 20, 0, 0, 0, 0);
    path->AddNode(VX_NODE_CUBIC, 30, 30, 20, 40, 10, 30);
    path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    const double matrix[6] = {2, 0, 0, 2, 1, 1};
    path->SetTransform(matrix);
    PathNode nodes[4] = {};
    Check(path->GetNodes(nodes, 4) == 4 && nodes[2].kind == VX_NODE_CUBIC && nodes[2].x3 == 10 && nodes[2].y3 == 30,
          "GetNodes returns the four nodes with the stored curve");

    RecordingSurface surface;
    surface.path = path;
    path->Draw(&surface);
    for (const std::string& line : surface.calls) std::printf("     Draw: %s\n", line.c_str());
    Check(surface.calls == std::vector<std::string>{"BeginPath path", "MoveTo 21 41", "LineTo 61 41",
                                                    "CurveTo 61 61 41 81 21 61", "ClosePath", "EndPath path 0"},
          "Draw emits the mapped outline in canvas coordinates inside the path's bracket");

    // Table order: entry 3 is GetTag and entry 1 is Release.
    path->SetTag(0xCAFEu);
    Check(reinterpret_cast<GetTagEntry>(TableEntry(path, 3))(path) == 0xCAFEu, "table entry 3 is GetTag");
    Check(path->AddRef() == 2, "AddRef counts up");
    Check(reinterpret_cast<ReleaseEntry>(TableEntry(path, 1))(path) == 1, "table entry 1 is Release");

    // A canvas holds its own reference on a path and gives it back when destroyed; its
    // entries 14 (GetPathCount) and 25 (GetToolNames) sit where hosts call them.
    Host host(&surface);
    IGraphicCanvas* canvas = VX_CreateGraphicCanvas(&host);
    Check(canvas != nullptr, "VX_CreateGraphicCanvas returns a canvas");
    if (!canvas) return 1;
    canvas->AddPath(path);
    Check(reinterpret_cast<PathCountEntry>(TableEntry(canvas, 13))(canvas) == 1,
          "canvas table entry 14 is GetPathCount");
    Check(reinterpret_cast<ToolNamesEntry>(TableEntry(canvas, 24))(canvas, nullptr) == 41,
          "canvas table entry 25 is GetToolNames: the five built-in tools");
    VX_DestroyGraphicCanvas(canvas);

    // The plain C export links from C++ too; an out-of-range index is ignored.
    VX_SetParameters(99, 1);
    Check(path->Release() == 0, "the last Release destroys the path");
    std::printf("consumer_host: %s\n", g_failed ? "FAILED" : "all checks passed");
    return g_failed ? 1 : 0;
}
