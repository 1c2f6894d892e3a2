// The sketch's main window: menus, keys, mouse, zoom and scrolling, files and undo around
// one canvas of the library. Everything the library needs from the host is in SketchHost
// (host.h) and GdiSurface (gdi_surface.h); this file turns window messages into canvas calls
// and menu commands into host actions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gdi_surface.h"
#include "host.h"

namespace sketch {

struct Options {
    std::wstring file;               // opened when it exists, else where Save writes
    std::wstring figures;            // the template folder
    int width = 1024, height = 768;  // the client area
};

class SketchWindow {
public:
    SketchWindow(const OstrelExports& library, const Options& options);
    ~SketchWindow();
    SketchWindow(const SketchWindow&) = delete;
    SketchWindow& operator=(const SketchWindow&) = delete;

    bool Create(HINSTANCE instance);
    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HMENU BuildMenu();
    void UpdateUi();  // title, check marks, greyed items
    void Command(int id);
    bool KeyDown(WPARAM key);
    void MouseDown(LPARAM lParam);
    void MouseMove(LPARAM lParam);
    void Wheel(WPARAM wParam, LPARAM lParam);
    void Paint();
    void Render();  // the drawing and the selection into the back buffer
    void UpdateOrigin();
    POINT ScreenPoint(LPARAM lParam) const;

    void SetTool(const std::wstring& name);  // empty: no tool
    void SelectAll();
    void DeleteSelection();
    void EditTemplateText();

    bool ConfirmDiscard();  // asks to save unsaved changes; false: the user cancelled
    void NewDrawing();
    bool OpenFile(const std::wstring& file);  // false: refused with a message
    void OpenWithDialog();
    bool Save(bool askName);
    bool WriteFile(const std::wstring& file);

    const OstrelExports& library_;
    Options options_;
    View view_;
    UndoStack undo_;
    SketchHost host_;
    GdiSurface surface_;
    IGraphicCanvas* canvas_ = nullptr;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    std::vector<std::wstring> tools_;  // menu order
    std::wstring fileName_;
    HCURSOR cursor_ = nullptr;
};

}  // namespace sketch
