// The library as the sketch reaches it: the seven exports, one function pointer each.
//
// The program never links Ostrel.dll. It loads it with LoadLibraryW and fills this table with
// GetProcAddress (library_win32.cpp), exactly as any third-party host would; the tests fill
// it from the linked library instead. Everything else the sketch does with the library goes
// through the interfaces of ostrel/ostrel.h that these functions hand out.
#pragma once

#include "ostrel/ostrel.h"

namespace sketch {

struct OstrelExports {
    decltype(&VX_CreateGraphicCanvas) CreateGraphicCanvas = nullptr;
    decltype(&VX_DestroyGraphicCanvas) DestroyGraphicCanvas = nullptr;
    decltype(&VX_CreatePath) CreatePath = nullptr;
    decltype(&VX_CreatePathEx) CreatePathEx = nullptr;
    decltype(&VX_Initial) Initial = nullptr;
    decltype(&VX_Release) Release = nullptr;
    decltype(&VX_SetParameters) SetParameters = nullptr;

    bool Complete() const {
        return CreateGraphicCanvas && DestroyGraphicCanvas && CreatePath && CreatePathEx &&
               Initial && Release && SetParameters;
    }
};

}  // namespace sketch
