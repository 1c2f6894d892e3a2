// Loading Ostrel.dll as a third-party host does: LoadLibraryW with the DLL's full path, then
// GetProcAddress for each of the seven exports.
#pragma once

#include <windows.h>

#include <string>

#include "exports.h"

namespace sketch {

// Fills *exports and returns the module, or returns null with the reason in *error.
HMODULE LoadOstrel(const std::wstring& dllPath, OstrelExports* exports, std::wstring* error);

}  // namespace sketch
