// Ostrel Sketch: sketch.exe [FILE.svg] [--figures DIR] [--size WIDTHxHEIGHT]
//
// Loads Ostrel.dll from the program's folder, the figure templates from --figures (default:
// figures\ beside the program), and opens a window whose client area is WIDTH by HEIGHT
// (default 1024x768) at the screen's top-left corner.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "library_win32.h"
#include "window.h"

namespace {

const wchar_t kUsage[] =
    L"Usage: sketch.exe [FILE.svg] [--figures DIR] [--size WIDTHxHEIGHT]\n\n"
    L"FILE is opened when it exists; otherwise Save writes it.\n"
    L"DIR holds the figure templates (default: figures beside the program).\n"
    L"The window's drawing area is WIDTH by HEIGHT pixels (default 1024x768).";

bool ParseSize(const std::wstring& text, int* width, int* height) {
    wchar_t* end = nullptr;
    const long w = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || (*end != L'x' && *end != L'X')) return false;
    const wchar_t* rest = end + 1;
    const long h = std::wcstol(rest, &end, 10);
    if (end == rest || *end != 0 || w < 200 || h < 150 || w > 8192 || h > 8192) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

bool ParseArguments(int argc, wchar_t** argv, sketch::Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--figures" && i + 1 < argc) {
            options->figures = argv[++i];
        } else if (argument == L"--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], &options->width, &options->height)) return false;
        } else if (argument.rfind(L"--", 0) == 0 || !options->file.empty()) {
            return false;
        } else {
            options->file = argument;
        }
    }
    return true;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    sketch::Options options;
    if (!ParseArguments(__argc, __wargv, &options)) {
        MessageBoxW(nullptr, kUsage, L"Ostrel Sketch", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    const std::wstring folder = ProgramFolder();
    if (options.figures.empty()) options.figures = folder + L"\\figures";
    if (!options.file.empty()) {
        // A relative name means the same file after a dialog changed the current folder.
        wchar_t full[MAX_PATH];
        if (GetFullPathNameW(options.file.c_str(), MAX_PATH, full, nullptr)) options.file = full;
    }

    sketch::OstrelExports library;
    std::wstring error;
    HMODULE module = sketch::LoadOstrel(folder + L"\\Ostrel.dll", &library, &error);
    if (!module) {
        MessageBoxW(nullptr, error.c_str(), L"Ostrel Sketch", MB_OK | MB_ICONERROR);
        return 1;
    }
    int status = 1;
    {
        sketch::SketchWindow window(library, options);
        if (window.Create(instance)) {
            status = window.Run();
        } else {
            MessageBoxW(nullptr, L"Cannot create the window.", L"Ostrel Sketch",
                        MB_OK | MB_ICONERROR);
        }
    }  // the window's canvas and paths go before the library does
    library.Release();
    FreeLibrary(module);
    return status;
}
