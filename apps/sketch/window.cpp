#include "window.h"

#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "svg_file.h"

namespace sketch {

namespace {

const wchar_t kClassName[] = L"OstrelSketch";
const wchar_t kPromptClass[] = L"OstrelSketchPrompt";
const wchar_t kAppName[] = L"Ostrel Sketch";

enum : int {
    kNew = 100,
    kOpen,
    kSave,
    kSaveAs,
    kExit,
    kUndo = 200,
    kRedo,
    kDelete,
    kSelectAll,
    kTemplateText,
    kToolNone = 300,
    kToolFirst,  // then one per tool name
    kModeObject = 600,
    kModeNode,
    kZoomIn = 700,
    kZoomOut,
    kZoomLevel,  // then one per zoom level
    kSnap = 800,
    kRotation = 900,  // then one per angle
};
const double kRotations[] = {0, 15, 30, 45, 90};
const wchar_t* const kBuiltInTools[] = {L"Line", L"Rectangle", L"Polygon", L"Bezier", L"Free Hand"};
const wchar_t* const kToolKeys[] = {L"L", L"R", L"P", L"B", L"F"};

bool IsBuiltIn(const std::wstring& name) {
    return std::find_if(std::begin(kBuiltInTools), std::end(kBuiltInTools),
                        [&](const wchar_t* n) { return name == n; }) != std::end(kBuiltInTools);
}

std::wstring BaseName(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? file : file.substr(slash + 1);
}

// ---- A one-line text prompt (Template Text...) -----------------------------------------

struct Prompt {
    HWND edit = nullptr;
    bool done = false, accepted = false;
    std::wstring text;
};

LRESULT CALLBACK PromptProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* prompt = reinterpret_cast<Prompt*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (prompt && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
                prompt->accepted = LOWORD(wParam) == IDOK;
                if (prompt->accepted) {
                    const int length = GetWindowTextLengthW(prompt->edit);
                    std::wstring text(length + 1, L'\0');
                    GetWindowTextW(prompt->edit, &text[0], length + 1);
                    text.resize(length);
                    prompt->text = text;
                }
                prompt->done = true;
            }
            return 0;
        case WM_CLOSE:
            if (prompt) prompt->done = true;
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool PromptText(HWND owner, const std::wstring& title, std::wstring* text) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PromptProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kPromptClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    RECT r = {0, 0, 460, 84};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kPromptClass, title.c_str(), style,
                                  ownerRect.left + 40, ownerRect.top + 80, r.right - r.left,
                                  r.bottom - r.top, owner, nullptr, instance, nullptr);
    if (!window) return false;
    Prompt prompt;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&prompt));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    prompt.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text->c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 440,
                                  24, window, nullptr, instance, nullptr);
    HWND ok =
        CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        280, 46, 80, 28, window, reinterpret_cast<HMENU>(IDOK), instance, nullptr);
    HWND cancel =
        CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 370, 46, 80,
                        28, window, reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
    for (HWND control : {prompt.edit, ok, cancel})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner, FALSE);
    SetFocus(prompt.edit);
    SendMessageW(prompt.edit, EM_SETSEL, 0, -1);
    MSG msg;
    while (!prompt.done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // Enter and Esc in the edit box answer the prompt.
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
            prompt.accepted = msg.wParam == VK_RETURN;
            SendMessageW(window, WM_COMMAND, prompt.accepted ? IDOK : IDCANCEL, 0);
            continue;
        }
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    EnableWindow(owner, TRUE);
    DestroyWindow(window);
    SetActiveWindow(owner);
    if (prompt.accepted) *text = prompt.text;
    return prompt.accepted;
}

// Every tool the canvas has: the five built-in ones first, then the figures.
std::vector<std::wstring> ToolsOf(IGraphicCanvas* graphicCanvas) {
    auto* canvas = static_cast<IGraphicCanvasEx*>(graphicCanvas);
    std::wstring names(canvas->GetToolNames(nullptr), L'\0');
    canvas->GetToolNames(&names[0]);
    std::vector<std::wstring> tools(std::begin(kBuiltInTools), std::end(kBuiltInTools));
    for (size_t start = 0; start < names.size() && names[start];) {
        const std::wstring name = names.c_str() + start;
        start += name.size() + 1;
        if (!IsBuiltIn(name)) tools.push_back(name);
    }
    return tools;
}

// Resizes the window until its client area is width by height: a menu bar that wraps takes
// more height than AdjustWindowRectEx allowed for.
void FitClientArea(HWND window, int width, int height) {
    for (int tries = 0; tries < 2; ++tries) {
        RECT client, outer;
        GetClientRect(window, &client);
        if (client.right == width && client.bottom == height) break;
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
}

}  // namespace

// ---- The window -------------------------------------------------------------------------

SketchWindow::SketchWindow(const OstrelExports& library, const Options& options)
    : library_(library), options_(options), undo_(library), host_(view_, undo_), surface_(view_) {
    host_.surface = &surface_;
}

SketchWindow::~SketchWindow() {
    // Paths held for undo go first, then the canvas with its own.
    undo_.Clear();
    if (canvas_) library_.DestroyGraphicCanvas(canvas_);
}

bool SketchWindow::Create(HINSTANCE instance) {
    // The library's marks are eight pixels; its colours go to SetColor as COLORREF values.
    library_.SetParameters(VX_PARAM_OUTLINE_COLOR, RGB(0x1A, 0x73, 0xE8));
    library_.SetParameters(VX_PARAM_HANDLE_COLOR, RGB(0xD9, 0x30, 0x25));
    library_.Initial(options_.figures.c_str());
    canvas_ = library_.CreateGraphicCanvas(&host_);
    if (!canvas_) return false;
    canvas_->SetEditMode(0);
    undo_.SetCanvas(canvas_);

    tools_ = ToolsOf(canvas_);

    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;  // the polygon and Bezier tools end on a double-click
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) return false;
    menu_ = BuildMenu();
    // The window's top-left corner at the screen's: the client area, exactly the size
    // asked for, then starts right below the title and the menu bar.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT r = {0, 0, options_.width, options_.height};
    AdjustWindowRectEx(&r, style, TRUE, 0);
    window_ = CreateWindowExW(0, kClassName, kAppName, style, 0, 0, r.right - r.left,
                              r.bottom - r.top, nullptr, menu_, instance, this);
    if (!window_) return false;
    FitClientArea(window_, options_.width, options_.height);
    surface_.Attach(window_);
    surface_.Resize(options_.width, options_.height);
    if (!options_.file.empty()) {
        if (GetFileAttributesW(options_.file.c_str()) != INVALID_FILE_ATTRIBUTES) {
            OpenFile(options_.file);
        } else {
            fileName_ = options_.file;
        }
    }
    UpdateUi();
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    SetFocus(window_);
    return true;
}

int SketchWindow::Run() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

HMENU SketchWindow::BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kNew, L"&New\tCtrl+N");
    AppendMenuW(file, MF_STRING, kOpen, L"&Open...\tCtrl+O");
    AppendMenuW(file, MF_STRING, kSave, L"&Save\tCtrl+S");
    AppendMenuW(file, MF_STRING, kSaveAs, L"Save &As...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kExit, L"E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kUndo, L"&Undo\tCtrl+Z");
    AppendMenuW(edit, MF_STRING, kRedo, L"&Redo\tCtrl+Y");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, kDelete, L"&Delete\tDel");
    AppendMenuW(edit, MF_STRING, kSelectAll, L"Select &All\tCtrl+A");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, kTemplateText, L"&Template Text...");
    HMENU tools = CreatePopupMenu();
    AppendMenuW(tools, MF_STRING, kToolNone, L"&None\tEsc");
    for (size_t i = 0; i < tools_.size(); ++i) {
        if (i == std::size(kBuiltInTools)) AppendMenuW(tools, MF_SEPARATOR, 0, nullptr);
        std::wstring label = tools_[i];
        if (i < std::size(kToolKeys)) label += std::wstring(L"\t") + kToolKeys[i];
        // Long lists of figures break into columns instead of running off the screen.
        const UINT breakFlag =
            i > std::size(kBuiltInTools) && (i - std::size(kBuiltInTools)) % 20 == 0
                ? MF_MENUBARBREAK
                : 0;
        AppendMenuW(tools, MF_STRING | breakFlag, kToolFirst + static_cast<int>(i), label.c_str());
    }
    HMENU mode = CreatePopupMenu();
    AppendMenuW(mode, MF_STRING, kModeObject, L"&Object\tO");
    AppendMenuW(mode, MF_STRING, kModeNode, L"&Node\tN");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, kZoomIn, L"Zoom &In\tCtrl+Wheel");
    AppendMenuW(view, MF_STRING, kZoomOut, L"Zoom &Out\tCtrl+Wheel");
    for (int i = 0; i < View::kZoomCount; ++i) {
        const std::wstring label =
            std::to_wstring(static_cast<int>(View::kZoomLevels[i] * 100)) + L" %";
        AppendMenuW(view, MF_STRING, kZoomLevel + i, label.c_str());
    }
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(view, MF_STRING, kSnap, L"&Snap to Grid");
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    for (size_t i = 0; i < std::size(kRotations); ++i) {
        const std::wstring label =
            L"Rotation " + std::to_wstring(static_cast<int>(kRotations[i])) + L"\u00B0";
        AppendMenuW(view, MF_STRING, kRotation + static_cast<int>(i), label.c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"&Tools");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(mode), L"&Mode");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    return bar;
}

void SketchWindow::UpdateUi() {
    const std::wstring tool = canvas_->GetCurrentToolName();
    const bool objectMode = canvas_->GetEditMode() == 0;
    const int zoom = static_cast<int>(std::lround(view_.Zoom() * 100));
    std::wstring title =
        std::wstring(kAppName) + L" - " + (fileName_.empty() ? L"Untitled" : BaseName(fileName_)) +
        (undo_.AtSavePoint() ? L"" : L"*") + L" - " + (tool.empty() ? L"no tool" : tool) + L" - " +
        (objectMode ? L"object mode" : L"node mode") + L" - " + std::to_wstring(zoom) + L"%";
    SetWindowTextW(window_, title.c_str());

    auto check = [&](int id, bool on) {
        CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    auto enable = [&](int id, bool on) {
        EnableMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    check(kToolNone, tool.empty());
    for (size_t i = 0; i < tools_.size(); ++i)
        check(kToolFirst + static_cast<int>(i), tools_[i] == tool);
    check(kModeObject, objectMode);
    check(kModeNode, canvas_->GetEditMode() == 1);
    for (int i = 0; i < View::kZoomCount; ++i)
        check(kZoomLevel + i, View::kZoomLevels[i] == view_.Zoom());
    check(kSnap, view_.snap);
    for (size_t i = 0; i < std::size(kRotations); ++i)
        check(kRotation + static_cast<int>(i), kRotations[i] == host_.rotationDegrees);
    enable(kUndo, undo_.CanUndo());
    enable(kRedo, undo_.CanRedo());
    IVXSelections* selection = canvas_->GetSelections();
    enable(kDelete, selection->GetCount() > 0);
    enable(kTemplateText, selection->GetCount() > 0 && selection->GetAt(0)->HasTemplate());
    DrawMenuBar(window_);
}

LRESULT CALLBACK SketchWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<SketchWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SketchWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SketchWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // the back buffer covers everything
        case WM_SIZE:
            if (LOWORD(lParam) > 0 && HIWORD(lParam) > 0) {
                surface_.Resize(LOWORD(lParam), HIWORD(lParam));
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_MOVE: UpdateOrigin(); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // outside a gesture a quick second click is a click
            MouseDown(lParam);
            return 0;
        case WM_MOUSEMOVE: MouseMove(lParam); return 0;
        case WM_MOUSEWHEEL: Wheel(wParam, lParam); return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && cursor_) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            if (KeyDown(wParam)) return 0;
            break;
        case WM_KEYUP:
            if (wParam == VK_CONTROL && !host_.tracking) canvas_->KeyUp(VK_CONTROL, 0, 0);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0) Command(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            // Not in the middle of a gesture: the canvas's loop is still on the stack.
            if (!host_.tracking && ConfirmDiscard()) DestroyWindow(window_);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void SketchWindow::UpdateOrigin() {
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    view_.SetOrigin(origin.x, origin.y);
}

POINT SketchWindow::ScreenPoint(LPARAM lParam) const {
    POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window_, &p);
    return p;
}

void SketchWindow::MouseDown(LPARAM lParam) {
    if (host_.tracking) return;
    SetFocus(window_);
    UpdateOrigin();
    const POINT p = ScreenPoint(lParam);
    // The press goes to the canvas at the hover state of the last move: move there first
    // in case no move reached the window since.
    canvas_->MouseMove(p.x, p.y);
    // The gesture's loop reads the messages itself until the button is up (or, for the
    // polygon and the Bezier, until the figure ends); the window holds the mouse meanwhile.
    SetCapture(window_);
    canvas_->MouseDown(p.x, p.y, 1);
    if (GetCapture() == window_) ReleaseCapture();
    UpdateUi();
}

void SketchWindow::MouseMove(LPARAM lParam) {
    if (host_.tracking) return;
    UpdateOrigin();
    const POINT p = ScreenPoint(lParam);
    host_.feedback = Feedback();
    canvas_->MouseMove(p.x, p.y);
    // The cursor tells what a press would do.
    const Feedback& f = host_.feedback;
    const bool drawing = canvas_->GetCurrentToolName()[0] != 0;
    LPCWSTR shape = IDC_ARROW;
    if (drawing) {
        shape = IDC_CROSS;
    } else if (f.hitCode == 17) {
        shape = IDC_SIZEALL;
    } else if (f.hitCode >= 1 && f.hitCode <= 9) {
        // The handle's direction, folded into half a turn, picks one of the four arrows.
        double degrees = std::fmod(f.angle * 180 / 3.14159265358979 + 360.0, 180.0);
        const LPCWSTR arrows[] = {IDC_SIZEWE, IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW};
        shape =
            f.hitCode == 1 ? IDC_SIZEALL : arrows[static_cast<int>(std::lround(degrees / 45)) % 4];
    } else if (f.hitCode == 10) {
        shape = IDC_CROSS;
    } else if (f.hitCode == 15 || f.hitCode == 16 || f.hitCode == 18) {
        shape = IDC_HAND;
    }
    cursor_ = LoadCursorW(nullptr, shape);
    SetCursor(cursor_);
}

void SketchWindow::Wheel(WPARAM wParam, LPARAM lParam) {
    if (host_.tracking) return;
    POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(window_, &p);
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    const WORD keys = GET_KEYSTATE_WPARAM(wParam);
    if (keys & MK_CONTROL) {
        view_.ZoomSteps(notches, p.x, p.y);  // about the point under the cursor
    } else if (keys & MK_SHIFT) {
        view_.ScrollBy(-notches * 60.0, 0);
    } else {
        view_.ScrollBy(0, -notches * 60.0);
    }
    InvalidateRect(window_, nullptr, FALSE);
    UpdateUi();
}

void SketchWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    // During a gesture the buffer holds the gesture's feedback over the drawing as it was.
    if (!surface_.InOverlay()) Render();
    surface_.Show(dc, ps.rcPaint);
    EndPaint(window_, &ps);
}

void SketchWindow::Render() {
    HDC dc = surface_.Buffer();
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (view_.snap && view_.grid * view_.Zoom() >= 4) {
        // The snap grid as dots.
        double left = 0, top = 0, right = client.right, bottom = client.bottom;
        view_.ClientToCanvas(&left, &top);
        view_.ClientToCanvas(&right, &bottom);
        const double g = view_.grid;
        for (double y = std::ceil(top / g) * g; y <= bottom; y += g) {
            for (double x = std::ceil(left / g) * g; x <= right; x += g) {
                double cx = x, cy = y;
                view_.CanvasToClient(&cx, &cy);
                SetPixel(dc, static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy)),
                         RGB(0xB0, 0xB0, 0xB0));
            }
        }
    }
    const int32_t count = canvas_->GetPathCount();
    for (int32_t i = 0; i < count; ++i) canvas_->GetPath(i)->Draw(&surface_);
    canvas_->DrawSelection(&surface_, 1, 1);
}

bool SketchWindow::KeyDown(WPARAM key) {
    if (host_.tracking) return true;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_CONTROL) {
        canvas_->KeyDown(VK_CONTROL, 0, 0);  // the hover feedback follows the key
        return true;
    }
    if (control) {
        switch (key) {
            case 'Z': Command(kUndo); return true;
            case 'Y': Command(kRedo); return true;
            case 'A': Command(kSelectAll); return true;
            case 'S': Command(kSave); return true;
            case 'O': Command(kOpen); return true;
            case 'N': Command(kNew); return true;
        }
        return false;
    }
    switch (key) {
        case 'L': SetTool(L"Line"); return true;
        case 'R': SetTool(L"Rectangle"); return true;
        case 'P': SetTool(L"Polygon"); return true;
        case 'B': SetTool(L"Bezier"); return true;
        case 'F': SetTool(L"Free Hand"); return true;
        case 'V':
        case VK_ESCAPE: SetTool(L""); return true;
        case 'N': Command(kModeNode); return true;
        case 'O': Command(kModeObject); return true;
        case VK_DELETE: Command(kDelete); return true;
    }
    return false;
}

void SketchWindow::SetTool(const std::wstring& name) {
    canvas_->SetCurrentTool(name.empty() ? nullptr : name.c_str());
    UpdateUi();
}

void SketchWindow::Command(int id) {
    if (host_.tracking) return;
    switch (id) {
        case kNew:
            if (ConfirmDiscard()) NewDrawing();
            break;
        case kOpen: OpenWithDialog(); break;
        case kSave: Save(false); break;
        case kSaveAs: Save(true); break;
        case kExit: PostMessageW(window_, WM_CLOSE, 0, 0); break;
        case kUndo: undo_.Undo(); break;
        case kRedo: undo_.Redo(); break;
        case kDelete: DeleteSelection(); break;
        case kSelectAll: SelectAll(); break;
        case kTemplateText: EditTemplateText(); break;
        case kModeObject: canvas_->SetEditMode(0); break;
        case kModeNode: canvas_->SetEditMode(1); break;
        case kToolNone: SetTool(L""); break;
        case kZoomIn: view_.ZoomSteps(1, 0, 0); break;
        case kZoomOut: view_.ZoomSteps(-1, 0, 0); break;
        case kSnap: view_.snap = !view_.snap; break;
        default:
            if (id >= kToolFirst && id < kToolFirst + static_cast<int>(tools_.size())) {
                SetTool(tools_[id - kToolFirst]);
            } else if (id >= kZoomLevel && id < kZoomLevel + View::kZoomCount) {
                // The menu keeps the canvas point at the window's top-left corner in place.
                view_.SetZoom(View::kZoomLevels[id - kZoomLevel], 0, 0);
            } else if (id >= kRotation &&
                       id < kRotation + static_cast<int>(std::size(kRotations))) {
                host_.rotationDegrees = kRotations[id - kRotation];
            }
            break;
    }
    InvalidateRect(window_, nullptr, FALSE);
    UpdateUi();
}

void SketchWindow::SelectAll() {
    IVXSelections* selection = canvas_->GetSelections();
    selection->Clear();
    const int32_t count = canvas_->GetPathCount();
    for (int32_t i = 0; i < count; ++i) selection->Add(canvas_->GetPath(i));
}

void SketchWindow::DeleteSelection() {
    IVXSelections* selection = canvas_->GetSelections();
    std::vector<IVXPath*> paths;
    for (int32_t i = 0; i < selection->GetCount(); ++i) paths.push_back(selection->GetAt(i));
    // One undo step for the whole selection.
    undo_.Open();
    for (IVXPath* path : paths) {
        const int32_t approved = host_.approvedRemovals;
        canvas_->RemovePath(path);
        // A removed path's list reference passes to the caller; the undo step holds its own.
        if (host_.approvedRemovals != approved) path->Release();
    }
    undo_.Close();
}

void SketchWindow::EditTemplateText() {
    IVXSelections* selection = canvas_->GetSelections();
    if (selection->GetCount() == 0) return;
    IVXPath* path = selection->GetAt(0);
    const int32_t length = canvas_->GetTemplateText(path, nullptr, 0);
    if (length <= 0) return;
    std::wstring text(length, L'\0');
    canvas_->GetTemplateText(path, &text[0], length);
    if (!PromptText(window_, L"Template Text", &text)) return;
    // Told: the change comes back through ApprovePathChange and PathChanged, so it is undone
    // like any other.
    if (!canvas_->ApplyTemplateText(path, text.c_str(), true)) {
        MessageBoxW(
            window_,
            (L"The template text \"" + text + L"\" names no figure of this canvas.").c_str(),
            kAppName, MB_OK | MB_ICONWARNING);
    }
}

// ---- Files ------------------------------------------------------------------------------

bool SketchWindow::ConfirmDiscard() {
    if (undo_.AtSavePoint()) return true;
    const std::wstring question =
        L"Save the changes to " +
        (fileName_.empty() ? std::wstring(L"Untitled") : BaseName(fileName_)) + L"?";
    switch (MessageBoxW(window_, question.c_str(), kAppName, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return Save(false);
        case IDNO: return true;
        default: return false;
    }
}

void SketchWindow::NewDrawing() {
    undo_.Clear();
    canvas_->ClearPaths();
    fileName_.clear();
    view_.Reset();
}

bool SketchWindow::OpenFile(const std::wstring& file) {
    std::string text, error;
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size = {};
    if (handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle, &size) ||
        size.QuadPart > (64 << 20)) {
        error = handle == INVALID_HANDLE_VALUE ? "it cannot be read" : "it is too large";
    } else {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!text.empty() &&
            (!ReadFile(handle, &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
             read != text.size())) {
            error = "it cannot be read";
        }
    }
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    SvgDrawing drawing;
    if (error.empty()) ReadSvg(text, &drawing, &error);
    if (!error.empty()) {
        // The drawing that is open stays as it is.
        const std::wstring message =
            BaseName(file) + L" is not an Ostrel Sketch drawing: " + FromUtf8(error) + L".";
        MessageBoxW(window_, message.c_str(), kAppName, MB_OK | MB_ICONWARNING);
        return false;
    }
    undo_.Clear();
    canvas_->ClearPaths();
    LoadDrawing(library_, canvas_, drawing);
    fileName_ = file;
    view_.Reset();
    InvalidateRect(window_, nullptr, FALSE);
    return true;
}

void SketchWindow::OpenWithDialog() {
    if (!ConfirmDiscard()) return;
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = L"Ostrel Sketch drawings (*.svg)\0*.svg\0All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameW(&ofn)) OpenFile(file);
}

bool SketchWindow::Save(bool askName) {
    std::wstring file = fileName_;
    if (askName || file.empty()) {
        wchar_t name[MAX_PATH] = L"";
        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = window_;
        ofn.lpstrFilter = L"Ostrel Sketch drawings (*.svg)\0*.svg\0";
        ofn.lpstrDefExt = L"svg";
        ofn.lpstrFile = name;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetSaveFileNameW(&ofn)) return false;
        file = name;
    }
    if (!WriteFile(file)) {
        MessageBoxW(window_, (L"Cannot write " + file + L".").c_str(), kAppName,
                    MB_OK | MB_ICONWARNING);
        return false;
    }
    fileName_ = file;
    undo_.MarkSaved();
    UpdateUi();
    return true;
}

// Written beside the file and moved over it, so that a failed save leaves the old file.
bool SketchWindow::WriteFile(const std::wstring& file) {
    const std::string text = WriteSvg(DrawingOf(canvas_, options_.width, options_.height));
    const std::wstring temp = file + L".saving";
    HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(handle);
    if (!ok || !MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace sketch
