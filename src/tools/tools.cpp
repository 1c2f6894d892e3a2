#include "tools/tools.h"

namespace vx {

const BuiltinTool kBuiltinTools[kBuiltinToolCount] = {
    {VXTEXT("Line"), CreateLineTool},          {VXTEXT("Rectangle"), CreateRectangleTool},
    {VXTEXT("Polygon"), CreatePolygonTool},    {VXTEXT("Bezier"), CreateBezierTool},
    {VXTEXT("Free Hand"), CreateFreeHandTool},
};

}  // namespace vx
