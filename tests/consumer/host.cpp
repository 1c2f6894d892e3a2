// A host program in miniature: it sees only the public header and the shared library. It
// builds a path, draws it into a surface of its own and checks every call the library made,
// then calls two entries of the path's table by raw position, as hosts written against the
// table layout do. Prints one line per check; exits 1 if any failed.
#include "ostrel/ostrel.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int g_failed = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failed;
}

std::string Num(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

// Records each call as one text line; every drawing entry the library may call is here.
class RecordingSurface : public IDrawSurface {
public:
    std::vector<std::string> calls;
    IVXPath* lastPath = nullptr;

    void MoveTo(double x, double y) override { Add("MoveTo " + Num(x) + " " + Num(y)); }
    void LineTo(double x, double y) override { Add("LineTo " + Num(x) + " " + Num(y)); }
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override {
        Add("CurveTo " + Num(x1) + " " + Num(y1) + " " + Num(x2) + " " + Num(y2) + " " +
            Num(x3) + " " + Num(y3));
    }
    void CurveToV(double, double, double, double) override { Add("CurveToV"); }
    void CurveToY(double, double, double, double) override { Add("CurveToY"); }
    void Rectangle(double x, double y, double w, double h) override {
        Add("Rectangle " + Num(x) + " " + Num(y) + " " + Num(w) + " " + Num(h));
    }
    void ClosePath() override { Add("ClosePath"); }
    void BeginPath(IVXPath* path) override {
        lastPath = path;
        Add("BeginPath");
    }
    void EndPath(IVXPath* path, int32_t endValue) override {
        Add(std::string(path == lastPath ? "EndPath " : "EndPath(other path) ") +
            std::to_string(endValue));
    }
    void BeginOverlay() override { Add("BeginOverlay"); }
    void EndOverlay() override { Add("EndOverlay"); }
    int32_t SaveOverlay() override {
        Add("SaveOverlay");
        return 0;
    }
    void RestoreOverlay(int32_t, const double*) override { Add("RestoreOverlay"); }
    void DropOverlay(int32_t) override { Add("DropOverlay"); }
    void ShowOverlay(int32_t, const double*) override { Add("ShowOverlay"); }
    void SetColor(uint32_t, int32_t) override { Add("SetColor"); }
    int32_t WantsFullFigure(const double*) override {
        Add("WantsFullFigure");
        return 0;
    }
    void Refresh(double, double, double, double) override { Add("Refresh"); }
    int32_t DrawMark(double, double, double, double, int32_t) override {
        Add("DrawMark");
        return 1;
    }

private:
    void Add(const std::string& line) { calls.push_back(line); }
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

void* TableEntry(IVXPath* path, int index) {
    void** table = *reinterpret_cast<void***>(path);
    return table[index];
}

}  // namespace

int main() {
    IVXPath* path = VX_CreatePath();
    Check(path != nullptr, "VX_CreatePath returns a path");
    if (!path) return 1;
    Check(path->GetNodes(nullptr, 0) == 0, "a new path has no nodes");

    // A triangle-ish outline: move, line, curve, close; drawn through a transform that
    // doubles and shifts by (1, 1).
    path->AddNode(VX_NODE_MOVE, 10, 20, 0, 0, 0, 0);
    path->AddNode(VX_NODE_LINE, 30, 20, 0, 0, 0, 0);
    path->AddNode(VX_NODE_CUBIC, 30, 30, 20, 40, 10, 30);
    path->AddNode(VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0);
    const double matrix[6] = {2, 0, 0, 2, 1, 1};
    path->SetTransform(matrix);
    Check(path->GetNodes(nullptr, 0) == 4, "four nodes stored");

    PathNode nodes[4] = {};
    Check(path->GetNodes(nodes, 4) == 4 && nodes[2].kind == VX_NODE_CUBIC &&
              nodes[2].x3 == 10 && nodes[2].y3 == 30,
          "GetNodes returns the stored curve");

    RecordingSurface surface;
    path->Draw(&surface);
    std::printf("Draw made these calls on the host's surface:\n");
    for (const std::string& line : surface.calls) std::printf("     %s\n", line.c_str());
    const std::vector<std::string> expected = {
        "BeginPath",
        "MoveTo 21 41",
        "LineTo 61 41",
        "CurveTo 61 61 41 81 21 61",
        "ClosePath",
        "EndPath 0",
    };
    Check(surface.lastPath == path, "BeginPath receives the path drawn");
    Check(surface.calls == expected, "Draw emits the mapped outline in canvas coordinates");

    // Table order: entry 3 is GetTag and entry 1 is Release.
    path->SetTag(0xCAFEu);
    auto getTag = reinterpret_cast<GetTagEntry>(TableEntry(path, 3));
    Check(getTag(path) == 0xCAFEu, "table entry 3 is GetTag");
    Check(path->AddRef() == 2, "AddRef counts up");
    auto release = reinterpret_cast<ReleaseEntry>(TableEntry(path, 1));
    Check(release(path) == 1, "table entry 1 is Release");

    // Parameters are set through the plain C export; out-of-range indices are ignored.
    VX_SetParameters(VX_PARAM_MARK_SIZE, 8);
    VX_SetParameters(99, 1);
    Check(path->Release() == 0, "the last Release destroys the path");

    std::printf("consumer_host: %s\n", g_failed ? "FAILED" : "all checks passed");
    return g_failed ? 1 : 0;
}
