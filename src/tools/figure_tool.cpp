#include "tools/figure_tool.h"

#include "platform/platform.h"
#include "tools/live_set.h"

namespace vx {

FigureTool::FigureTool() { LiveSet<FigureTool>::Add(this); }

FigureTool::~FigureTool() { LiveSet<FigureTool>::Remove(this); }

bool FigureTool::IsOwn(const IVXFigures* tool) {
    return LiveSet<FigureTool>::Find(tool) != nullptr;
}

int32_t FigureTool::AddRef() { return ++refCount_; }

int32_t FigureTool::Release() {
    const int32_t count = --refCount_;
    if (count == 0) Destroy(1);
    return count;
}

BuiltinFigure::BuiltinFigure(const VXCHAR* registeredName) {
    info_.name = platform::AllocSysString(registeredName);
}

BuiltinFigure::~BuiltinFigure() {
    if (info_.name) platform::FreeSysString(info_.name);
    if (info_.tips) platform::FreeSysString(info_.tips);
    if (info_.icon) platform::FreeSysString(info_.icon);
}

FigureInfo* BuiltinFigure::GetInfo(const VXCHAR*) { return &info_; }

}  // namespace vx
