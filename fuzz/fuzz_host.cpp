// Hosts that call back into the canvas from anywhere. Each input is a run of host actions
// on two canvases holding random paths and template figures (the bundled figures); an
// action can also arm a trigger, so that the n-th call of one host, surface, platform-hook
// or attachment callback performs another action right there, on either canvas: MouseMove,
// HitTest, DetachPath, RemovePath, ClearPaths, AddPath, SetEditMode, SetCurrentTool,
// RegisterTool, ApplyTemplateText, a press (a tool or tracking loop inside the loop), a
// path given up or changed, the template library emptied or loaded again,
// VX_DestroyGraphicCanvas. Presses start tools and tracking loops whose messages come from
// the same input.
//
// Besides the sanitizers, the target aborts when a canvas whose destruction was asked still
// calls its host or surface, or its loop reads or dispatches messages (only the hand-back of
// a quit may follow), and when a canvas's selection holds a path that is not on it. Every
// reference the target holds is given back at the end of the input, so leaks show.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "fuzz_input.h"
#include "path/parameters.h"
#include "ostrel/platform.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace {

// Every callback the library can make into the host's code.
enum Call : uint8_t {
    // ICanvasHost
    kSetFeedback,
    kBeginTracking,
    kEndTracking,
    kAcceptTrackPoint,
    kAdjustPoint,
    kToScreen,
    kGetRotation,
    kBeginChange,
    kApprovePathAdd,
    kApprovePathRemove,
    kApprovePathChange,
    kPathChanged,
    kEndChange,
    kBeginSelectionChange,
    kEndSelectionChange,
    kGetSurface,
    // IDrawSurface
    kMoveTo,
    kLineTo,
    kCurveTo,
    kRectangle,
    kClosePath,
    kBeginPath,
    kEndPath,
    kBeginOverlay,
    kEndOverlay,
    kSaveOverlay,
    kRestoreOverlay,
    kDropOverlay,
    kShowOverlay,
    kSetColor,
    kWantsFullFigure,
    kRefresh,
    kDrawMark,
    // Platform hooks, the window procedure included
    kGetMessage,
    kDispatch,
    kClientToScreen,
    kKeyState,
    kCursorPos,
    kDebugOutput,
    // Host objects: attachments of paths and a tool of the host's own
    kObjectRelease,
    kFillRule,
    kToolDraw,
    kCallCount
};

struct Host;

struct Trigger {
    Call call;
    int countdown;
};

// One input's state.
struct Run {
    Input* in = nullptr;
    Host* live[2] = {};  // the hosts of the two canvases
    std::vector<std::unique_ptr<Host>> hosts;
    std::vector<Host*> inside;  // the canvases whose calls the host is inside, innermost last
    bool libraryChanged = false;
    std::vector<IVXPath*> owned;  // one reference each, given back at the end
    std::vector<Trigger> triggers;
    int depth = 0;
    int budget = 0;
    uint8_t held = 0;
    int32_t cursorX = 0, cursorY = 0;
} g;

const std::vector<vx::String>& Names();
void Act();

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_host: %s\n", what);
    std::abort();
}

// Fires the armed triggers of this callback.
void Fire(Call call) {
    for (size_t i = 0; i < g.triggers.size(); ++i) {
        if (g.triggers[i].call != call || --g.triggers[i].countdown > 0) continue;
        g.triggers.erase(g.triggers.begin() + static_cast<long>(i));
        Act();
        return;
    }
}

struct Host final : ICanvasHost {
    struct Surface final : IDrawSurface {
        explicit Surface(Host& h) : host(h) {}
        void MoveTo(double, double) override { host.Enter(kMoveTo); }
        void LineTo(double, double) override { host.Enter(kLineTo); }
        void CurveTo(double, double, double, double, double, double) override { host.Enter(kCurveTo); }
        void CurveToV(double, double, double, double) override { host.Enter(kCurveTo); }
        void CurveToY(double, double, double, double) override { host.Enter(kCurveTo); }
        void Rectangle(double, double, double, double) override { host.Enter(kRectangle); }
        void ClosePath() override { host.Enter(kClosePath); }
        void BeginPath(IVXPath*) override { host.Enter(kBeginPath); }
        void EndPath(IVXPath*, int32_t) override { host.Enter(kEndPath); }
        void BeginOverlay() override { host.Enter(kBeginOverlay); }
        void EndOverlay() override { host.Enter(kEndOverlay); }
        int32_t SaveOverlay() override { return host.Enter(kSaveOverlay), 3; }
        void RestoreOverlay(int32_t, const double*) override { host.Enter(kRestoreOverlay); }
        void DropOverlay(int32_t) override { host.Enter(kDropOverlay); }
        void ShowOverlay(int32_t, const double*) override { host.Enter(kShowOverlay); }
        void SetColor(uint32_t, int32_t) override { host.Enter(kSetColor); }
        int32_t WantsFullFigure(const double*) override { return host.Enter(kWantsFullFigure), host.answers >> 5 & 1; }
        void Refresh(double, double, double, double) override { host.Enter(kRefresh); }
        int32_t DrawMark(double, double, double, double, int32_t) override {
            return host.Enter(kDrawMark), host.answers >> 6 & 1;
        }
        Host& host;
    };

    void Enter(Call call) {
        if (dead) Fail("a destroyed canvas called its host or surface");
        Fire(call);
    }

    void SetFeedback(int32_t, IVXPath*, int32_t, int32_t, int32_t, double) override { Enter(kSetFeedback); }
    void BeginTracking() override { Enter(kBeginTracking); }
    void EndTracking() override { Enter(kEndTracking); }
    int32_t AcceptTrackPoint(double, double, int32_t) override { return Enter(kAcceptTrackPoint), answers & 1; }
    void AdjustPoint(double* x, double* y) override {
        Enter(kAdjustPoint);
        *x /= scale, *y /= scale;
    }
    void ToScreen(double* x, double* y) override {
        Enter(kToScreen);
        *x *= scale, *y *= scale;
    }
    double GetRotation() override { return Enter(kGetRotation), rotation; }
    void BeginChange() override { Enter(kBeginChange); }
    int32_t ApprovePathAdd(IVXPath*) override { return Enter(kApprovePathAdd), answers >> 1 & 1; }
    int32_t ApprovePathRemove(IVXPath* path) override;
    int32_t ApprovePathChange(IVXPath*, int32_t, PathTransform) override {
        return Enter(kApprovePathChange), answers >> 3 & 1;
    }
    void PathChanged(IVXPath*, int32_t) override { Enter(kPathChanged); }
    void EndChange() override { Enter(kEndChange); }
    void BeginSelectionChange() override { Enter(kBeginSelectionChange); }
    void EndSelectionChange() override { Enter(kEndSelectionChange); }
    IDrawSurface* GetSurface() override { return Enter(kGetSurface), (answers & 16) ? nullptr : &surface; }

    Surface surface{*this};
    IGraphicCanvasEx* canvas = nullptr;
    bool dead = false;  // destruction asked
    uint8_t answers = 0x0F;
    double scale = 1, rotation = 0;
};

IGraphicCanvasEx* CanvasOf(const Host* host) { return host && !host->dead ? host->canvas : nullptr; }

bool Listed(IGraphicCanvasEx* canvas, IVXPath* path) {
    for (int32_t i = 0; i < canvas->GetPathCount(); ++i) {
        if (canvas->GetPath(i) == path) return true;
    }
    return false;
}

// An approved removal takes the path off the list right after this answer, and the list's
// reference passes to the caller, this host.
int32_t Host::ApprovePathRemove(IVXPath* path) {
    Enter(kApprovePathRemove);
    const int32_t answer = answers >> 2 & 1;
    if (answer && Listed(canvas, path)) g.owned.push_back(path);
    return answer;
}

// A host object attached to paths: its release and its fill rule are callbacks too.
struct Object final : IVXFillObject {
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override {
        const int32_t left = --refs;
        if (left == 0) delete this;
        Fire(kObjectRelease);
        return left;
    }
    int32_t FillRule() override { return Fire(kFillRule), rule; }
    int32_t refs = 1;
    int32_t rule = 0;
};

// A tool of the host's own: its gesture is a callback, and it writes one line.
struct Tool final : IVXFigures {
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override {
        const int32_t left = --refs;
        if (left == 0) delete this;
        return left;
    }
    FigureInfo* GetInfo(const VXCHAR*) override { return &info; }
    bool Draw(const VXCHAR*, double x, double y, ICanvasHost*, IGraphicCanvas*, IVXPath* path) override {
        Fire(kToolDraw);
        path->AddNode(VX_NODE_MOVE, x, y, 0, 0, 0, 0);
        path->AddNode(VX_NODE_LINE, x + 10, y, 0, 0, 0, 0);
        return g.in->Byte() & 1;
    }
    bool Place(const VXCHAR* name, double x, double y, double, double, ICanvasHost* host, IGraphicCanvas* canvas,
               IVXPath* path) override {
        return Draw(name, x, y, host, canvas, path);
    }
    int32_t refs = 1;
    FigureInfo info{nullptr, nullptr, nullptr};
};

// ---- The event source: messages come from the input as the loops ask for them. -------

// A loop runs inside a call into its canvas: the innermost one the host made.
void HookEnter(Call call) {
    if (!g.inside.empty() && g.inside.back()->dead) Fail("a destroyed canvas's loop went on reading messages");
    Fire(call);
}

int32_t GetMessage(void*, VXMessage* msg) {
    HookEnter(kGetMessage);
    Input& in = *g.in;
    if (in.Empty()) return 0;
    static const uint32_t kMouse[] = {0x0200, 0x0200, 0x0200, 0x0200, 0x0202, 0x0201, 0x0203, 0x0204, 0x0205};
    const uint8_t kind = in.Byte() % 16;
    if (kind < 9) {
        msg->message = kMouse[kind];
        const uint32_t x = static_cast<uint32_t>(in.Byte() * 2 - 20), y = static_cast<uint32_t>(in.Byte() * 2 - 20);
        msg->lParam = static_cast<intptr_t>(static_cast<int32_t>((y << 16) | (x & 0xFFFF)));
        msg->wParam = in.Byte() & 1;
        g.held = in.Byte() & 3;
        return 1;
    }
    static const uintptr_t kKeys[] = {27, 18, 17, 16, 65};
    switch (kind) {
        case 9: msg->message = 0x0100, msg->wParam = kKeys[in.Byte() % 5]; return 1;
        case 10: msg->message = 0x0101, msg->wParam = kKeys[in.Byte() % 5]; return 1;
        case 11: msg->message = (in.Byte() & 1) ? 0x0006 : 0x001C, msg->wParam = in.Byte() & 1; return 1;
        case 12: msg->message = 0x0215; return 1;
        case 13: msg->message = 0x8001; return 1;    // the host's own message: dispatched
        case 14: msg->wParam = in.Byte(); return 0;  // quit with a code
        default: return -1;
    }
}

void Dispatch(void*, const VXMessage* msg) {
    if (msg->message == 0x0012) return;  // a quit handed back: the host's loop has it
    HookEnter(kDispatch);
}

void ClientToScreen(void*, void*, int32_t*, int32_t*) { Fire(kClientToScreen); }

int16_t KeyState(void*, int32_t key) {
    Fire(kKeyState);
    if (key == 0x10) return (g.held & 1) ? int16_t(-0x8000) : 0;
    if (key == 0x11) return (g.held & 2) ? int16_t(-0x8000) : 0;
    return 0;
}

void CursorPos(void*, int32_t* x, int32_t* y) {
    Fire(kCursorPos);
    *x = g.cursorX, *y = g.cursorY;
}

void DebugOutput(void*, const char*) { Fire(kDebugOutput); }

// ---- Actions --------------------------------------------------------------------------

const std::vector<vx::String>& Names() {
    static const std::vector<vx::String> names = [] {
        // The nearest-point search prints a diagnostic line per call; libFuzzer reports on
        // standard error.
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();
        VX_Initial(vx::text::FromUtf8(OSTREL_FUZZ_FIGURES).c_str());
        const VXCHAR* builtin[] = {VXTEXT("Line"),      VXTEXT("Rectangle"), VXTEXT("Polygon"),  VXTEXT("Bezier"),
                                   VXTEXT("Free Hand"), VXTEXT(""),          VXTEXT("Host tool")};
        std::vector<vx::String> all(std::begin(builtin), std::end(builtin));
        for (const vx::String& name : vx::TemplateLibrary::Instance().Names()) all.push_back(name);
        static const VXPlatformHooks hooks = {nullptr,  GetMessage, Dispatch,   ClientToScreen,
                                              KeyState, CursorPos,  DebugOutput};
        VX_SetPlatformHooks(&hooks);
        return all;
    }();
    return names;
}

const vx::String& Name() { return Names()[g.in->Byte() % Names().size()]; }

Host* NewCanvas() {
    g.hosts.push_back(std::make_unique<Host>());
    Host* host = g.hosts.back().get();
    host->canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(host));
    return host;
}

// A path of the canvas (when it has one) or one this host holds.
IVXPath* Pick(IGraphicCanvasEx* canvas) {
    const uint8_t b = g.in->Byte();
    const int32_t count = canvas ? canvas->GetPathCount() : 0;
    if ((b & 1) && count > 0) return canvas->GetPath((b >> 1) % count);
    if (g.owned.empty()) return nullptr;
    return g.owned[(b >> 1) % g.owned.size()];
}

IVXPath* MakePath() {
    Input& in = *g.in;
    if (in.Byte() & 1) {
        PathCreateParams params{};
        params.left = in.Real(), params.top = in.Real();
        params.right = params.left + in.Byte(), params.bottom = params.top + in.Byte();
        const vx::String& name = Name();
        std::copy(name.begin(), name.begin() + std::min<size_t>(name.size(), 255), params.name);
        params.count = in.Byte() % 4;
        for (int i = 0; i < params.count; ++i)
            params.pairs[i][0] = in.Byte() / 255.0, params.pairs[i][1] = in.Byte() / 255.0;
        if (IVXPath* path = VX_CreatePathEx(&params)) return path;
    }
    IVXPath* path = VX_CreatePath();
    for (int n = in.Byte() % 7; n > 0; --n) {
        const int32_t kind = static_cast<int32_t>(in.Byte() % 8) - 1;  // -1 .. 6
        const double a = in.Real(), b = in.Real();
        path->AddNode(kind, a, b, a + in.Byte(), b, a, b + in.Byte());
    }
    return path;
}

void Act() {
    if (g.budget <= 0 || g.depth >= 4) return;
    --g.budget;
    ++g.depth;
    Input& in = *g.in;
    Host* const host = g.live[in.Byte() & 1];
    g.inside.push_back(host);
    IGraphicCanvasEx* canvas = CanvasOf(host);
    const uint8_t op = in.Byte() % 22;
    switch (canvas ? op : 13 + op % 4) {  // without a canvas: the actions that need none
        case 0: {
            const double x = in.Real(), y = in.Real();
            canvas->MouseMove(x, y);
            break;
        }
        case 1: {
            const double x = in.Real(), y = in.Real();
            canvas->MouseDown(x, y, in.Byte() % 3);
            break;
        }
        case 2: canvas->SetEditMode(in.Byte() % 3); break;
        case 3: canvas->SetCurrentTool((in.Byte() & 7) == 0 ? nullptr : Name().c_str()); break;
        case 4: canvas->ClickHovered(0, 0); break;
        case 5:
            g.cursorX = in.Byte() * 2, g.cursorY = in.Byte() * 2;
            (in.Byte() & 1) ? canvas->KeyDown(17, 0, 0) : canvas->KeyUp(17, 0, 0);
            break;
        case 6: {
            g.cursorX = in.Byte() * 2, g.cursorY = in.Byte() * 2;
            const double w = in.Real(), h = in.Real();
            canvas->PlaceFigure(w, h, Name().c_str());
            break;
        }
        case 7: {
            IVXPath* path = MakePath();
            g.owned.push_back(path);
            if (IGraphicCanvasEx* c = CanvasOf(host)) c->AddPath(path);
            break;
        }
        case 8:
            if (IVXPath* path = Pick(canvas)) canvas->AddPath(path);
            break;
        case 9:
            if (IVXPath* path = Pick(canvas)) canvas->RemovePath(path);
            break;
        case 10:
            if (IVXPath* path = Pick(canvas)) {
                // No callback runs in DetachPath: the list's reference, if it had one, is ours.
                const bool listed = Listed(canvas, path);
                canvas->DetachPath(path);
                if (listed) g.owned.push_back(path);
            }
            break;
        case 11: canvas->ClearPaths(); break;
        case 12:
            if (IVXPath* path = Pick(canvas)) {
                vx::String text = VXTEXT("<") + Name() + VXTEXT(">");
                for (int n = in.Byte() % 16; n > 0; --n) text += static_cast<VXCHAR>("<>(),.-e10"[in.Byte() % 10]);
                canvas->ApplyTemplateText(path, text.c_str(), in.Byte() & 1);
            }
            break;
        case 13:
            if (g.triggers.size() < 8) {
                const Call call = static_cast<Call>(in.Byte() % kCallCount);
                g.triggers.push_back({call, 1 + in.Byte() % 6});
            }
            break;
        case 14:  // the host gives up a reference it holds
            if (!g.owned.empty()) {
                const size_t i = in.Byte() % g.owned.size();
                IVXPath* path = g.owned[i];
                g.owned.erase(g.owned.begin() + static_cast<long>(i));
                path->Release();
            }
            break;
        case 15:  // the host changes one of its paths
            if (IVXPath* path = Pick(canvas)) {
                switch (in.Byte() % 5) {
                    case 0: {
                        const double t[6] = {in.Real() / 50, in.Real() / 50, in.Real() / 50,
                                             in.Real() / 50, in.Real(),      in.Real()};
                        path->SetTransform(t);
                        break;
                    }
                    case 1: path->ClearNodes(); break;
                    case 2:
                        for (int n = in.Byte() % 40; n > 0; --n)
                            path->AddNode(VX_NODE_LINE, in.Real(), in.Real(), 0, 0, 0, 0);
                        break;
                    default: {
                        Object* object = new Object;
                        object->rule = in.Byte() % 3;
                        (in.Byte() & 1) ? path->SetUserObject(object) : path->SetFillObject(object);
                        object->Release();
                        break;
                    }
                }
            }
            break;
        case 16:
            host->answers = in.Byte();
            host->scale = (in.Byte() & 1) ? 2 : 1;
            host->rotation = in.Real();
            if (const uint8_t b = in.Byte(); b < 2) {  // now and then the library changes
                b == 0 ? VX_Release() : VX_Initial(vx::text::FromUtf8(OSTREL_FUZZ_FIGURES).c_str());
                g.libraryChanged = true;
            }
            break;
        case 17: {
            const uint8_t b = in.Byte();
            const int32_t count = canvas->GetPathCount();
            if ((b & 1) && count > 0) {
                canvas->GetSelections()->Add(canvas->GetPath((b >> 1) % count));
            } else {
                canvas->GetSelections()->Clear();
            }
            break;
        }
        case 18: canvas->DrawSelection(&host->surface, in.Byte() & 1, in.Byte() & 1); break;
        case 19: {
            IVXPath* found = nullptr;
            const double x = in.Real(), y = in.Real();
            canvas->HitTest(x, y, in.Byte() & 1, &found);
            break;
        }
        case 20: {
            Tool* tool = new Tool;
            canvas->RegisterTool(Name().c_str(), tool);
            tool->Release();
            break;
        }
        default:
            // Destroyed inside a call, the canvas goes when that call returns.
            host->dead = true;
            VX_DestroyGraphicCanvas(canvas);
            break;
    }
    g.inside.pop_back();
    --g.depth;
}

// A canvas's selection holds only paths on it.
void CheckSelection(const Host* host) {
    IGraphicCanvasEx* canvas = CanvasOf(host);
    if (!canvas) return;
    IVXSelections* selection = canvas->GetSelections();
    for (int32_t i = 0; i < selection->GetCount(); ++i) {
        if (!Listed(canvas, selection->GetAt(i))) Fail("a selected path is not on the canvas");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Names();
    Input in(data, size);
    g.in = &in;
    g.budget = 400;
    for (int step = 0; !in.Empty() && step < 64; ++step) {
        for (Host*& host : g.live) {
            if (!host || host->dead) host = NewCanvas();
        }
        Act();
        for (const Host* host : g.live) CheckSelection(host);
    }
    for (Host* host : g.live) {
        if (IGraphicCanvasEx* canvas = CanvasOf(host)) {
            host->dead = true;
            VX_DestroyGraphicCanvas(canvas);
        }
    }
    // A release may run the host's code (an attachment's release), which may act again.
    while (!g.owned.empty()) {
        IVXPath* path = g.owned.back();
        g.owned.pop_back();
        path->Release();
    }
    // The next input starts from the bundled figures again.
    if (g.libraryChanged) VX_Initial(vx::text::FromUtf8(OSTREL_FUZZ_FIGURES).c_str());
    g = Run{};
    vx::g_parameters = vx::GlobalParameters{};
    return 0;
}
