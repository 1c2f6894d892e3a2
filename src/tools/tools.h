// The drawing tools that the canvas editor registers: five built-in tools and the one
// template-figure tool that serves every template name.
//
// Each factory returns a new tool holding one reference, which the caller owns (the
// editor's registry keeps it). Out of memory propagates as std::bad_alloc.
#pragma once

#include "ostrel/ostrel.h"

namespace vx {

IVXFigures* CreateLineTool();
IVXFigures* CreateRectangleTool();
IVXFigures* CreatePolygonTool();
IVXFigures* CreateBezierTool();
IVXFigures* CreateFreeHandTool();
IVXFigures* CreateCustomFiguresTool();

// The built-in tools in the order the editor creates and registers them.
struct BuiltinTool {
    const VXCHAR* name;
    IVXFigures* (*create)();
};
constexpr int kBuiltinToolCount = 5;
extern const BuiltinTool kBuiltinTools[kBuiltinToolCount];

}  // namespace vx
