// The modal message loop that every tool runs while its gesture lasts, with the message
// table common to all tools. A tool supplies the steps that differ.
//
// Common table: a mouse move and a left-button release go to the tool and are never
// dispatched; a left press or double-click goes to the tool when it takes it and is
// dispatched otherwise; a right button or a lost capture cancels; Esc or Alt goes to the
// tool (a cancel unless it says otherwise); any other key-down is swallowed; deactivation
// cancels and activation is swallowed; everything else is translated and dispatched, so
// that the host's windows keep working. A quit or a failed retrieval ends the gesture as a
// cancel at once; the quit is handed back for the host's own loop. So does a canvas being
// destroyed: a loop whose host is a shut gate (tools/host_gate.h) takes no more messages.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vx::tools {

// A point in screen units. Wider than the platform's 32 bits so that constraints and
// differences never overflow, whatever position a host passes in.
struct ScreenPoint {
    int64_t x = 0;
    int64_t y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const ScreenPoint& o) const { return !(*this == o); }
};

// The screen position of a mouse message: signed 16-bit x and y from lParam, converted by
// the client-to-screen mapping of the message's own window.
ScreenPoint MessagePoint(const platform::Message& msg);

// x truncated toward zero; NaN gives 0 and values beyond 32 bits saturate.
int64_t TruncateToInt(double v);
ScreenPoint TruncatePoint(double x, double y);

// Takes the thread's next message for a loop that talks to `host`. False on a quit or a
// failed retrieval, which end a gesture as a cancel (a quit is handed back for the host's
// own loop), and when host is a shut gate, before and after the retrieval.
bool TakeMessage(const ICanvasHost* host, platform::Message* msg);

enum class Step { Continue, Finish, Cancel };

class MessageHandler {
public:
    virtual Step MouseMove(const platform::Message& msg) = 0;
    virtual Step LeftButtonUp(const platform::Message& msg) = 0;
    // Return false to leave the message to the common table, which dispatches it.
    virtual bool LeftButtonDown(const platform::Message&, Step*) { return false; }
    virtual bool LeftButtonDoubleClick(const platform::Message&, Step*) { return false; }
    virtual Step EscapeOrAlt() { return Step::Cancel; }

protected:
    ~MessageHandler() = default;
};

// Pumps the thread's messages until the handler finishes or cancels the gesture; returns
// Finish or Cancel, never Continue.
Step RunMessageLoop(const ICanvasHost* host, MessageHandler& handler);

}  // namespace vx::tools
