// Canvas sessions from arbitrary bytes: each input is a sequence of host actions on one
// canvas (mouse moves and presses with the window messages that the tool or tracking loop
// then reads, tool and mode choices, placing, paths with hostile nodes and transforms,
// removals, template texts, parameters, host answers). The bundled figures are loaded once,
// so the template tool and reference drags are reached too. The canvas is destroyed at the
// end of each input and every path given back, so leaks show.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "fuzz_input.h"
#include "path/parameters.h"
#include "ostrel/platform.h"
#include "templates/template_library.h"
#include "text/utf.h"
#include "null_surface.h"

namespace {

// The event source of the modal loops: queued messages, each with the keys held while it
// is handled. An empty queue reads as a quit, so every gesture ends.
struct Events {
    struct Entry {
        VXMessage msg;
        uint8_t held;
    };
    std::deque<Entry> queue;
    uint8_t held = 0;
    int32_t cursorX = 0, cursorY = 0;
} g_events;

int32_t GetMessage(void*, VXMessage* msg) {
    if (g_events.queue.empty()) return 0;
    *msg = g_events.queue.front().msg;
    g_events.held = g_events.queue.front().held;
    g_events.queue.pop_front();
    return 1;
}

int16_t KeyState(void*, int32_t key) {
    if (key == 0x10) return (g_events.held & 1) ? int16_t(0x8000) : 0;
    if (key == 0x11) return (g_events.held & 2) ? int16_t(0x8000) : 0;
    return 0;
}

void CursorPos(void*, int32_t* x, int32_t* y) { *x = g_events.cursorX, *y = g_events.cursorY; }

void Queue(Input& in) {
    static const uint32_t kMessages[] = {0x0200, 0x0200, 0x0200, 0x0202, 0x0201, 0x0203,
                                         0x0100, 0x0101, 0x0204, 0x0006, 0x0104, 0x0215};
    static const uintptr_t kKeys[] = {27, 18, 17, 16, 65};
    for (int n = in.Byte() % 10; n > 0; --n) {
        VXMessage msg{};
        msg.message = kMessages[in.Byte() % (sizeof kMessages / sizeof kMessages[0])];
        const int32_t x = in.Byte() * 2 - 20, y = in.Byte() * 2 - 20;
        msg.lParam = static_cast<intptr_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF));
        msg.wParam = msg.message == 0x0100 || msg.message == 0x0101 || msg.message == 0x0104 ? kKeys[in.Byte() % 5]
                                                                                             : in.Byte() & 1;
        g_events.queue.push_back({msg, static_cast<uint8_t>(in.Byte() & 3)});
    }
}

// Answers as the input says; the screen is the canvas scaled by 1 or 2.
class Host final : public ICanvasHost {
public:
    void SetFeedback(int32_t, IVXPath*, int32_t, int32_t, int32_t, double) override {}
    void BeginTracking() override {}
    void EndTracking() override {}
    int32_t AcceptTrackPoint(double, double, int32_t) override { return answers & 1; }
    void AdjustPoint(double* x, double* y) override { *x /= scale, *y /= scale; }
    void ToScreen(double* x, double* y) override { *x *= scale, *y *= scale; }
    double GetRotation() override { return rotation; }
    void BeginChange() override {}
    int32_t ApprovePathAdd(IVXPath*) override { return (answers >> 1) & 1; }
    int32_t ApprovePathRemove(IVXPath*) override { return (answers >> 2) & 1; }
    int32_t ApprovePathChange(IVXPath*, int32_t, PathTransform) override { return (answers >> 3) & 1; }
    void PathChanged(IVXPath*, int32_t) override {}
    void EndChange() override {}
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return (answers & 16) ? nullptr : &surface; }

    NullSurface surface;
    uint8_t answers = 0x0F;
    double scale = 1;
    double rotation = 0;
};

const std::vector<vx::String>& ToolNames() {
    static const std::vector<vx::String> names = [] {
        // The nearest-point search prints a diagnostic line per call; libFuzzer reports on
        // standard error.
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();
        VX_Initial(vx::text::FromUtf8(OSTREL_FUZZ_FIGURES).c_str());
        const VXCHAR* builtin[] = {VXTEXT("Line"),      VXTEXT("Rectangle"), VXTEXT("Polygon"), VXTEXT("Bezier"),
                                   VXTEXT("Free Hand"), VXTEXT(""),          VXTEXT("Nope")};
        std::vector<vx::String> all(std::begin(builtin), std::end(builtin));
        for (const vx::String& name : vx::TemplateLibrary::Instance().Names()) all.push_back(name);
        static const VXPlatformHooks hooks = {nullptr, GetMessage, nullptr, nullptr, KeyState, CursorPos, nullptr};
        VX_SetPlatformHooks(&hooks);
        return all;
    }();
    return names;
}

IVXPath* MakePath(Input& in) {
    IVXPath* path = VX_CreatePath();
    for (int n = in.Byte() % 7; n > 0; --n) {
        const int32_t kind = static_cast<int32_t>(in.Byte() % 9) - 1;  // -1 .. 7
        const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
        path->AddNode(kind, a, b, c, d, a + 10, b + 10);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<vx::String>& names = ToolNames();
    Input in(data, size);
    Host host;
    IGraphicCanvasEx* canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
    std::vector<IVXPath*> owned;  // one reference each, given back at the end
    auto pathAt = [&](uint8_t b) -> IVXPath* {
        const int32_t count = canvas->GetPathCount();
        if (count == 0) return nullptr;
        return canvas->GetPath(b % count);
    };

    for (int ops = 0; !in.Empty() && ops < 64; ++ops) {
        switch (in.Byte() % 18) {
            case 0: canvas->MouseMove(in.Real(), in.Real()); break;
            case 1: {
                const double x = in.Real(), y = in.Real();
                const int32_t button = in.Byte() % 3;
                Queue(in);
                canvas->MouseDown(x, y, button);
                break;
            }
            case 2: canvas->SetEditMode(static_cast<int32_t>(in.Byte() % 3)); break;
            case 3: {
                const uint8_t b = in.Byte();
                canvas->SetCurrentTool(b == 255 ? nullptr : names[b % names.size()].c_str());
                break;
            }
            case 4: canvas->ClickHovered(0, 0); break;
            case 5:
                g_events.cursorX = in.Byte() * 2, g_events.cursorY = in.Byte() * 2;
                g_events.held = in.Byte() & 3;
                (in.Byte() & 1) ? canvas->KeyDown(17, 0, 0) : canvas->KeyUp(in.Byte(), 0, 0);
                break;
            case 6: {
                g_events.cursorX = in.Byte() * 2, g_events.cursorY = in.Byte() * 2;
                const double w = in.Real(), h = in.Real();
                const vx::String& name = names[in.Byte() % names.size()];
                Queue(in);
                canvas->PlaceFigure(w, h, name.c_str());
                break;
            }
            case 7: {
                IVXPath* path = MakePath(in);
                canvas->AddPath(path);
                owned.push_back(path);
                break;
            }
            case 8: {
                IVXPath* path = pathAt(in.Byte());
                if (!path) break;
                const int32_t before = canvas->GetPathCount();
                (in.Byte() & 1) ? canvas->RemovePath(path) : canvas->DetachPath(path);
                // A path that left the list hands the list's reference to the caller.
                if (canvas->GetPathCount() < before) owned.push_back(path);
                break;
            }
            case 9:
                if (in.Byte() == 0) canvas->ClearPaths();
                break;
            case 10: {
                IVXPath* path = pathAt(in.Byte());
                vx::String text = VXTEXT("<") + names[in.Byte() % names.size()] + VXTEXT(">");
                for (int n = in.Byte() % 24; n > 0; --n) text += static_cast<VXCHAR>("<>(),.-e1T"[in.Byte() % 10]);
                if (path) canvas->ApplyTemplateText(path, text.c_str(), in.Byte() & 1);
                break;
            }
            case 11: {
                VXCHAR buffer[64];
                if (IVXPath* path = pathAt(in.Byte())) canvas->GetTemplateText(path, buffer, in.Byte() % 80 - 8);
                break;
            }
            case 12: VX_SetParameters(static_cast<int32_t>(in.Byte() % 6), in.Real()); break;
            case 13:
                host.answers = in.Byte();
                host.scale = (in.Byte() & 1) ? 2 : 1;
                host.rotation = in.Real();
                host.surface.full = in.Byte() & 1;
                break;
            case 14:
                if (IVXPath* path = pathAt(in.Byte())) {
                    (in.Byte() & 1) ? canvas->GetSelections()->Add(path) : canvas->GetSelections()->Clear();
                }
                break;
            case 15: canvas->DrawSelection(&host.surface, in.Byte() & 1, in.Byte() & 1); break;
            case 16: {
                IVXPath* found = nullptr;
                canvas->HitTest(in.Real(), in.Real(), in.Byte() & 1, &found);
                break;
            }
            default:
                if (IVXPath* path = pathAt(in.Byte())) {
                    const double t[6] = {in.Real() / 100, in.Real() / 100, in.Real() / 100,
                                         in.Real() / 100, in.Real(),       in.Real()};
                    path->SetTransform(t);
                }
                break;
        }
    }

    VX_DestroyGraphicCanvas(canvas);
    for (IVXPath* path : owned) path->Release();
    g_events.queue.clear();
    g_events.held = 0;
    vx::g_parameters = vx::GlobalParameters{};
    return 0;
}
