// The path's own operations from arbitrary bytes: each input builds two paths from hostile
// node arrays (every kind, invalid ones included, with NaN, infinities, huge and tiny
// values), transforms and templates, and runs them through the boxes and corners, drawing
// and selection marks, the hit test with and without a canvas, Clone and CopyFrom. The
// paths are released at the end of each input, so leaks show.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "build_dictionary.h"
#include "editor/editor.h"
#include "path/parameters.h"
#include "path/path.h"
#include "templates/figure_template.h"
#include "templates/template_build.h"
#include "fuzz_input.h"
#include "null_surface.h"

namespace {

// The shared reader with this target's own numbers, kinds and texts.
class PathInput : public Input {
public:
    using Input::Input;
    // Mostly small coordinates; the rest the values that break arithmetic, or any double.
    double Real() {
        static const double kHostile[] = {std::numeric_limits<double>::quiet_NaN(),
                                          HUGE_VAL,
                                          -HUGE_VAL,
                                          1e300,
                                          -1e300,
                                          1e-300,
                                          -0.0,
                                          46341,
                                          2147483648.0,
                                          -2147483649.0,
                                          std::numeric_limits<double>::denorm_min(),
                                          1e154};
        const uint8_t b = Byte();
        if (b < 200) return b - 100.0;
        if (b < 200 + sizeof kHostile / sizeof kHostile[0]) return kHostile[b - 200];
        double v = 0;
        for (size_t i = 0; i < sizeof v; ++i) reinterpret_cast<uint8_t*>(&v)[i] = Byte();
        return v;
    }
    int32_t Kind() {
        constexpr int32_t kLow = std::numeric_limits<int32_t>::min(), kHigh = std::numeric_limits<int32_t>::max();
        static const int32_t kKinds[] = {0, 1, 2, 3, 4, 5, 6, 0, 1, 2, 6, -1, 7, 9, 1000, kLow, kHigh};
        return kKinds[Byte() % (sizeof kKinds / sizeof kKinds[0])];
    }
    vx::String Text() {
        static const char* const kTexts[] = {"0",   "1", "0.5",      "a", "b",      "a*2-b", "1/0", "-1e308*10",
                                             "nan", "",  "sqrt(-1)", "(", "1e-320", "pi",    "a+",  "0x10"};
        const char* text = kTexts[Byte() % (sizeof kTexts / sizeof kTexts[0])];
        return vx::String(text, text + std::strlen(text));
    }
};

// A canvas whose screen is the canvas scaled and shifted as the input says.
class Host final : public ICanvasHost {
public:
    void SetFeedback(int32_t, IVXPath*, int32_t, int32_t, int32_t, double) override {}
    void BeginTracking() override {}
    void EndTracking() override {}
    int32_t AcceptTrackPoint(double, double, int32_t) override { return 1; }
    void AdjustPoint(double* x, double* y) override { *x = (*x - shift) / scale, *y = (*y - shift) / scale; }
    void ToScreen(double* x, double* y) override { *x = *x * scale + shift, *y = *y * scale + shift; }
    double GetRotation() override { return 0; }
    void BeginChange() override {}
    int32_t ApprovePathAdd(IVXPath*) override { return 1; }
    int32_t ApprovePathRemove(IVXPath*) override { return 1; }
    int32_t ApprovePathChange(IVXPath*, int32_t, PathTransform) override { return 1; }
    void PathChanged(IVXPath*, int32_t) override {}
    void EndChange() override {}
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return &surface; }

    NullSurface surface;
    double scale = 1, shift = 0;
};

class Fill final : public IVXFillObject {
public:
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override { return --refs; }
    int32_t FillRule() override { return rule; }
    int32_t refs = 0;
    int32_t rule = 0;
};

struct World {
    World() {
        // The nearest-point search prints a diagnostic line per call; libFuzzer reports on
        // standard error.
        if (!std::freopen("/dev/null", "w", stdout)) std::abort();
        canvas = static_cast<vx::CVXEditor*>(VX_CreateGraphicCanvas(&host));
    }
    Host host;
    vx::CVXEditor* canvas;
};

std::unique_ptr<vx::FigureTemplate> MakeTemplate(PathInput& in) {
    auto figure = std::make_unique<vx::FigureTemplate>();
    figure->SetName(VXTEXT("T"));
    for (int n = in.Byte() % 5; n > 0; --n) {
        vx::TemplateElement element;
        element.kind = static_cast<uint32_t>(in.Kind());
        for (vx::String& text : element.coords) text = in.Text();
        figure->elements.push_back(element);
    }
    for (int n = in.Byte() % 4; n > 0; --n) {
        vx::TemplateReference reference;
        reference.x = {in.Text(), false, VXTEXT("a"), in.Text(), in.Text()};
        reference.y = {in.Text(), false, VXTEXT("b"), in.Text(), in.Text()};
        figure->references.push_back(reference);
    }
    return figure;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    PathInput in(data, size);
    vx::CVXPath* paths[2] = {vx::CVXPath::Create(), vx::CVXPath::Create()};
    Fill fill;
    double v[8];
    for (int ops = 0; !in.Empty() && ops < 64; ++ops) {
        const uint8_t op = in.Byte();
        vx::CVXPath* path = paths[op & 1];
        vx::CVXPath* other = paths[~op & 1];
        switch ((op >> 1) % 16) {
            case 0: {
                PathNode nodes[8];
                const int n = in.Byte() % 9;
                for (int i = 0; i < n; ++i) {
                    nodes[i] = PathNode{in.Kind(), 0, in.Real(), in.Real(), in.Real(), in.Real(), in.Real(), in.Real()};
                }
                path->AddNodes(nodes, static_cast<int32_t>(in.Byte() % (n + 3)) - 2);  // -2 to n
                break;
            }
            case 1: path->AddNode(in.Kind(), in.Real(), in.Real(), in.Real(), in.Real(), in.Real(), in.Real()); break;
            case 2: path->ClearNodes(); break;
            case 3:
                for (int i = 0; i < 6; ++i) v[i] = in.Real();
                path->SetTransform(v);
                break;
            case 4: {
                std::unique_ptr<vx::FigureTemplate> figure = MakeTemplate(in);
                const double frame[4] = {in.Real(), in.Real(), in.Real(), in.Real()};
                if (in.Byte() & 1) vx::BuildPathFromTemplate(path, *figure, frame);
                path->AttachTemplate(in.Byte() & 1 ? figure.get() : nullptr);
                break;
            }
            case 5:
                // The boxes the path keeps must be those a fresh copy measures.
                path->GetCorners(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
                path->GetBounds(&v[0], &v[1], &v[2], &v[3]);
                path->GetLocalBounds(&v[0], &v[1], &v[2], &v[3]);
                path->GetOrientedCorners(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
                if (IVXPath* copy = path->Clone()) {
                    double fresh[8];
                    copy->GetOrientedCorners(&fresh[0], &fresh[1], &fresh[2], &fresh[3], &fresh[4], &fresh[5],
                                             &fresh[6], &fresh[7]);
                    if (std::memcmp(v, fresh, sizeof fresh) != 0) std::abort();
                    copy->Release();
                }
                break;
            case 6:
                world.host.surface.full = in.Byte() & 1;
                path->Draw(&world.host.surface);
                path->DrawTracker(&world.host.surface, in.Byte() % 3, in.Byte() & 1, in.Byte() & 1);
                break;
            case 7: {
                // Through a canvas, where the path may be selected (its box handles count then).
                int32_t part = 0;
                const double x = in.Real(), y = in.Real();
                const uint8_t how = in.Byte();
                if (how & 2) world.canvas->GetSelections()->Add(path);
                path->HitTestPath((how & 1) ? world.canvas->Gate() : nullptr, world.canvas->GetSelections(), x, y,
                                  (how >> 2) % 3, &part);
                world.canvas->GetSelections()->Clear();
                break;
            }
            case 8: path->IsInsideRect(in.Real(), in.Real(), in.Real(), in.Real()); break;
            case 9:
                if (IVXPath* copy = path->Clone()) {
                    other->Release();
                    paths[~op & 1] = vx::CVXPath::FromInterface(copy);
                }
                break;
            case 10: path->CopyFrom(in.Byte() & 1 ? other : nullptr, in.Byte() & 1); break;
            case 11:
                if (PathNode* node = path->NodeAt(static_cast<int32_t>(in.Byte() % 12) - 2)) {
                    (&node->x1)[in.Byte() % 6] = in.Real();
                }
                break;
            case 12: VX_SetParameters(static_cast<int32_t>(in.Byte() % 7) - 1, in.Real()); break;
            case 13: world.host.scale = in.Real(), world.host.shift = in.Real(); break;
            case 14:
                fill.rule = static_cast<int32_t>(in.Byte() % 5) - 1;
                path->SetFillObject(in.Byte() & 1 ? &fill : nullptr);
                break;
            default: {
                PathCreateParams params;
                path->GetTemplateInfo(&params);
                PathNode nodes[4];
                path->GetNodes(nodes, static_cast<int32_t>(in.Byte() % 7) - 2);
                break;
            }
        }
    }
    for (vx::CVXPath* path : paths) {
        path->SetFillObject(nullptr);
        if (path->Release() != 0) std::abort();  // nothing else holds the paths
    }
    if (fill.refs != 0) std::abort();
    vx::g_parameters = vx::GlobalParameters{};
    vx::g_currentPoint = {};
    world.host.scale = 1, world.host.shift = 0;
    return 0;
}
