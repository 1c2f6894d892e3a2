// The exported functions built so far. Each is a thin entry into the core.
#include "interface/global_parameters.h"
#include "ostrel/ostrel.h"
#include "path/path.h"

extern "C" {

OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePath(void) { return vx::CVXPath::Create(); }

OSTREL_API void OSTREL_CDECL VX_SetParameters(int32_t index, double value) {
    vx::SetParameter(index, value);
}

}  // extern "C"
