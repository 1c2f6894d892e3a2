#include "templates/figure_template.h"

#include <memory>

#include "platform/platform.h"

namespace vx {

namespace {
void Replace(VXCHAR*& field, const VXCHAR* text) {
    VXCHAR* fresh = platform::AllocSysString(text);
    platform::FreeSysString(field);
    field = fresh;
}
}  // namespace

FigureTemplate::~FigureTemplate() {
    platform::FreeSysString(info.name);
    platform::FreeSysString(info.tips);
    platform::FreeSysString(info.icon);
}

void FigureTemplate::SetName(const VXCHAR* text) { Replace(info.name, text); }
void FigureTemplate::SetTips(const VXCHAR* text) { Replace(info.tips, text); }
void FigureTemplate::SetIcon(const VXCHAR* text) { Replace(info.icon, text); }

FigureTemplate* CloneTemplate(const FigureTemplate& source) {
    auto copy = std::make_unique<FigureTemplate>();
    copy->elements = source.elements;
    copy->references = source.references;
    copy->SetName(source.info.name);
    for (int i = 0; i < 4; ++i) copy->frame[i] = source.frame[i];
    return copy.release();
}

}  // namespace vx
