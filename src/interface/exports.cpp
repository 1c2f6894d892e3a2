// The exported functions. Each is a thin entry into the core.
#include <new>

#include "editor/editor.h"
#include "path/parameters.h"
#include "ostrel/ostrel.h"
#include "path/path.h"
#include "templates/create_path.h"
#include "templates/template_library.h"
#include "templates/template_loader.h"

extern "C" {

// A canvas needs a host to talk to: without one there is no canvas. Out of memory gives null.
OSTREL_API IGraphicCanvas* OSTREL_CDECL VX_CreateGraphicCanvas(ICanvasHost* host) {
    if (!host) return nullptr;
    try {
        return new vx::CVXEditor(host);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Every canvas the library hands out is a CVXEditor; its table's entry 24 destroys it.
OSTREL_API void OSTREL_CDECL VX_DestroyGraphicCanvas(IGraphicCanvas* canvas) {
    if (canvas) static_cast<IGraphicCanvasEx*>(canvas)->Destroy(1);
}

OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePath(void) { return vx::CVXPath::Create(); }

OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePathEx(const PathCreateParams* params) {
    return vx::CreatePathFromParams(params);
}

OSTREL_API void OSTREL_CDECL VX_Initial(const VXCHAR* folder) { vx::LoadTemplateFolder(folder); }

OSTREL_API void OSTREL_CDECL VX_Release(void) { vx::TemplateLibrary::Instance().ReleaseAll(); }

OSTREL_API void OSTREL_CDECL VX_SetParameters(int32_t index, double value) {
    vx::SetParameter(index, value);
}

}  // extern "C"
