#include "tools/figure_tool.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"

namespace vx {

namespace {

// Never destroyed: a tool may go in a host's static destructor.
std::vector<const FigureTool*>& LiveTools() {
    static auto* const tools = new std::vector<const FigureTool*>;
    return *tools;
}

}  // namespace

FigureTool::FigureTool() { LiveTools().push_back(this); }

FigureTool::~FigureTool() {
    auto& tools = LiveTools();
    tools.erase(std::find(tools.begin(), tools.end(), this));
}

bool FigureTool::IsOwn(const IVXFigures* tool) {
    const auto& tools = LiveTools();
    return std::find(tools.begin(), tools.end(), tool) != tools.end();
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
