#include "library_win32.h"

namespace sketch {

namespace {

template <typename Function>
bool Find(HMODULE module, const char* name, Function* function) {
    // The exports are plain C functions; the cast goes through the generic pointer type
    // that GetProcAddress returns.
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *function != nullptr;
}

}  // namespace

HMODULE LoadOstrel(const std::wstring& dllPath, OstrelExports* exports, std::wstring* error) {
    HMODULE module = LoadLibraryW(dllPath.c_str());
    if (!module) {
        *error = L"Cannot load " + dllPath + L" (error " + std::to_wstring(GetLastError()) + L").";
        return nullptr;
    }
    OstrelExports found;
    const char* missing = nullptr;
    if (!Find(module, "VX_CreateGraphicCanvas", &found.CreateGraphicCanvas))
        missing = "VX_CreateGraphicCanvas";
    if (!Find(module, "VX_DestroyGraphicCanvas", &found.DestroyGraphicCanvas))
        missing = "VX_DestroyGraphicCanvas";
    if (!Find(module, "VX_CreatePath", &found.CreatePath)) missing = "VX_CreatePath";
    if (!Find(module, "VX_CreatePathEx", &found.CreatePathEx)) missing = "VX_CreatePathEx";
    if (!Find(module, "VX_Initial", &found.Initial)) missing = "VX_Initial";
    if (!Find(module, "VX_Release", &found.Release)) missing = "VX_Release";
    if (!Find(module, "VX_SetParameters", &found.SetParameters)) missing = "VX_SetParameters";
    if (missing) {
        *error = dllPath + L" does not export " + std::wstring(missing, missing + strlen(missing)) +
                 L".";
        FreeLibrary(module);
        return nullptr;
    }
    *exports = found;
    return module;
}

}  // namespace sketch
