// The exported functions built so far. Each is a thin entry into the core.
#include "interface/global_parameters.h"
#include "ostrel/ostrel.h"
#include "path/path.h"
#include "templates/create_path.h"
#include "templates/template_library.h"
#include "templates/template_loader.h"

extern "C" {

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
