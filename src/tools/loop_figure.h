// A drawing-only tool whose whole gesture is one message loop that writes the path when the
// loop finishes (the polygon and Bezier tools): Loop(gesture, x, y), then Loop::Write(path).
#pragma once

#include "tools/figure_tool.h"
#include "tools/gesture.h"
#include "tools/message_loop.h"

namespace vx::tools {

template <typename Loop>
class LoopFigure final : public DrawOnlyFigure {
public:
    explicit LoopFigure(const VXCHAR* registeredName) : DrawOnlyFigure(registeredName) {}
    void Destroy(uint32_t) override { delete this; }

    bool Draw(const VXCHAR*, double x, double y, ICanvasHost* host, IGraphicCanvas*,
              IVXPath* path) override {
        Gesture g(host);
        if (!g.valid()) return false;
        Loop loop(g, x, y);
        if (RunMessageLoop(g.host(), loop) != Step::Finish) return g.Cancel();
        loop.Write(path);
        return g.Finish(true);
    }

private:
    ~LoopFigure() = default;
};

}  // namespace vx::tools
