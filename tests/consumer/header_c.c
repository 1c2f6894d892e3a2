// ostrel.h from C: the records and the C-declared exports must compile as C.
#include "ostrel/ostrel.h"

_Static_assert(sizeof(PathNode) == 56, "PathNode is 56 bytes in C");
_Static_assert(sizeof(PathCreateParams) == 1576, "PathCreateParams is 1576 bytes in C");
_Static_assert(OSTREL_VERSION_MAJOR == OSTREL_PROJECT_VERSION_MAJOR &&
                   OSTREL_VERSION_MINOR == OSTREL_PROJECT_VERSION_MINOR &&
                   OSTREL_VERSION_PATCH == OSTREL_PROJECT_VERSION_PATCH,
               "OSTREL_VERSION_* in ostrel.h differ from project() in CMakeLists.txt");
// The exports' types, checked without referencing them (the controlling expression of
// _Generic is not evaluated), so exports built by later work need not exist yet.
_Static_assert(_Generic(&VX_Initial, void(OSTREL_CDECL*)(const VXCHAR*) : 1, default : 0), "VX_Initial(const VXCHAR*)");
_Static_assert(_Generic(&VX_Release, void(OSTREL_CDECL*)(void) : 1, default : 0), "VX_Release(void)");
_Static_assert(_Generic(&VX_SetParameters, void(OSTREL_CDECL*)(int32_t, double) : 1, default : 0),
               "VX_SetParameters(int32_t, double)");

// FigureInfo's size as C lays it out, or -1 if the records do not fill as C.
int CFigureInfoSize(void) {
    PathNode n = {VX_NODE_LINE, 0, 1.0, 2.0, 0.0, 0.0, 0.0, 0.0};
    PathCreateParams p;
    FigureInfo f = {0, 0, 0};
    p.count = 0;
    VX_SetParameters(5, 0.0);  // an export called from C; an index above 4 changes nothing
    return n.kind == 1 && p.count == 0 && f.name == 0 && VXTEXT("a")[0] == 'a' ? (int)sizeof f : -1;
}
