// A host program in miniature: it sees only the public header and the shared library (and
// the recording host of apps/recording, itself built on the public header alone). It builds
// a path, draws it into a recording surface and checks every call the library made,
// then calls entries of the path's and a canvas's tables by raw position, as hosts written
// against the table layout do; and it compares what the header's other translation units
// saw (C, platform.h alone) with C++. Prints one line per check; exits 1 if any failed.
//
// ostrel.h twice in one translation unit: the guard must make the second inclusion empty.
#include "ostrel/ostrel.h"
#include "ostrel/ostrel.h"

#include <cstdio>
#include <string>
#include <vector>

#include "recording/recording.h"

extern "C" int CFigureInfoSize(void);
int PlatformAloneHookCount();
static_assert(sizeof(PathNode) == 56, "PathNode is 56 bytes in C++ as in C");

namespace {

int g_failed = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failed;
}

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

    // Every entry of the surface records itself, so a call the library should not make shows
    // up as well.
    ostrel_recording::CallLog log;
    log.Name(path, "path");
    ostrel_recording::RecordingSurface surface(log);
    path->Draw(&surface);
    for (const std::string& line : log.lines) std::printf("     Draw: %s\n", line.c_str());
    Check(log.lines == std::vector<std::string>{"BeginPath path", "MoveTo 21 41", "LineTo 61 41",
                                                "CurveTo 61 61 41 81 21 61", "ClosePath", "EndPath path 0"},
          "Draw emits the mapped outline in canvas coordinates inside the path's bracket");

    // Table order: entry 3 is GetTag and entry 1 is Release.
    path->SetTag(0xCAFEu);
    Check(reinterpret_cast<GetTagEntry>(TableEntry(path, 3))(path) == 0xCAFEu, "table entry 3 is GetTag");
    Check(path->AddRef() == 2, "AddRef counts up");
    Check(reinterpret_cast<ReleaseEntry>(TableEntry(path, 1))(path) == 1, "table entry 1 is Release");

    // A canvas holds its own reference on a path and gives it back when destroyed; its
    // entries 14 (GetPathCount) and 25 (GetToolNames) sit where hosts call them.
    ostrel_recording::RecordingHost host(log, &surface);  // consents to everything, maps unchanged
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
