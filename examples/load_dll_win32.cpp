// Windows: Ostrel.dll loaded at run time, as hosts that ship it as a plug-in do, with its
// seven exports looked up by their undecorated names. Builds a rectangle path through them
// and checks its nodes. Exits 0 when everything was found and worked.
#include <windows.h>

#include <cstdio>

#include "ostrel/ostrel.h"

// The exports use the C calling convention on both Windows targets (__cdecl; on x86_64
// there is only one convention and the keyword changes nothing).
typedef IGraphicCanvas*(__cdecl* CreateGraphicCanvasFn)(ICanvasHost* host);
typedef void(__cdecl* DestroyGraphicCanvasFn)(IGraphicCanvas* canvas);
typedef IVXPath*(__cdecl* CreatePathFn)(void);
typedef IVXPath*(__cdecl* CreatePathExFn)(const PathCreateParams* params);
typedef void(__cdecl* InitialFn)(const wchar_t* folder);
typedef void(__cdecl* ReleaseFn)(void);
typedef void(__cdecl* SetParametersFn)(int32_t index, double value);

struct OstrelApi {
    HMODULE module = nullptr;
    CreateGraphicCanvasFn CreateGraphicCanvas = nullptr;
    DestroyGraphicCanvasFn DestroyGraphicCanvas = nullptr;
    CreatePathFn CreatePath = nullptr;
    CreatePathExFn CreatePathEx = nullptr;
    InitialFn Initial = nullptr;
    ReleaseFn Release = nullptr;
    SetParametersFn SetParameters = nullptr;
};

// False when the DLL or one of its exports is missing; the module is then freed.
bool LoadOstrel(OstrelApi* api) {
    api->module = LoadLibraryW(L"Ostrel.dll");  // beside the program, or on the DLL path
    if (!api->module) return false;
    api->CreateGraphicCanvas = reinterpret_cast<CreateGraphicCanvasFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_CreateGraphicCanvas")));
    api->DestroyGraphicCanvas = reinterpret_cast<DestroyGraphicCanvasFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_DestroyGraphicCanvas")));
    api->CreatePath = reinterpret_cast<CreatePathFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_CreatePath")));
    api->CreatePathEx = reinterpret_cast<CreatePathExFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_CreatePathEx")));
    api->Initial = reinterpret_cast<InitialFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_Initial")));
    api->Release = reinterpret_cast<ReleaseFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_Release")));
    api->SetParameters = reinterpret_cast<SetParametersFn>(
        reinterpret_cast<void*>(GetProcAddress(api->module, "VX_SetParameters")));
    if (api->CreateGraphicCanvas && api->DestroyGraphicCanvas && api->CreatePath &&
        api->CreatePathEx && api->Initial && api->Release && api->SetParameters) {
        return true;
    }
    FreeLibrary(api->module);
    api->module = nullptr;
    return false;
}

int main() {
    OstrelApi ostrel;
    if (!LoadOstrel(&ostrel)) {
        std::printf("FAIL Ostrel.dll or one of its seven exports not found\n");
        return 1;
    }
    ostrel.SetParameters(VX_PARAM_MARK_SIZE, 10);
    IVXPath* path = ostrel.CreatePath();  // one reference, ours
    if (path) {
        path->AddNode(VX_NODE_RECT, 10, 20, 30, 40, 0, 0);  // move, three lines, close
    }
    const bool ok = path && path->GetNodes(nullptr, 0) == 5;
    if (path) path->Release();  // the last reference: the path is destroyed
    FreeLibrary(ostrel.module);  // only after every object of the DLL is gone
    std::printf("%s load_dll: seven exports found; a path made through them\n",
                ok ? "ok  " : "FAIL");
    return ok ? 0 : 1;
}
