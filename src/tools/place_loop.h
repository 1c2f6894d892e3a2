// The placing loop that the line, rectangle and template tools share: a figure of a given
// size centred on the cursor, moved by the mouse's canvas displacement until the release.
// Every accepted move is shown; there is no duplicate test and no Shift constraint.
#pragma once

#include "tools/gesture.h"
#include "tools/message_loop.h"

namespace vx::tools {

class PlaceLoop : public MessageHandler {
public:
    Step MouseMove(const platform::Message& msg) final;
    Step LeftButtonUp(const platform::Message&) override { return Step::Finish; }

    // The figure's box: origin to origin + (w, h).
    CanvasPoint origin() const { return origin_; }
    CanvasPoint Far() const { return CanvasPoint{origin_.x + w_, origin_.y + h_}; }
    double width() const { return w_; }
    double height() const { return h_; }

protected:
    // (x, y) is the cursor's screen point, not truncated.
    PlaceLoop(Gesture& g, double x, double y, double w, double h);
    ~PlaceLoop() = default;

    // The tool's feedback for the current box.
    virtual void Show() = 0;

    Gesture& g_;

private:
    double w_, h_;
    CanvasPoint origin_, previous_;
};

}  // namespace vx::tools
