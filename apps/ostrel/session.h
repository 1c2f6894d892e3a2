// Session files: a drawing session written as lines of host actions, which `ostrel replay`
// plays through a canvas. The format is described in README.md ("Session files") and at
// the top of examples/demo.session.
//
// A session is parsed completely before anything is played, so a bad file is reported
// (file:line: problem) without a half-played drawing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel_cli {

enum class SessionOp {
    // Events: what the user does with the mouse and keyboard, and answers of the host.
    // They go through the message queue in order, so a tool or tracking loop that runs
    // inside a press takes the ones that follow it.
    Hover,        // hover X Y      mouse move, no button
    Drag,         // drag X Y       mouse move with the left button held
    Press,        // press X Y      left button down
    Release,      // release X Y    left button up
    DoubleClick,  // dblclick X Y   down, up, double-click, up
    RightPress,   // rpress X Y     right button down
    Escape,       // escape         Esc down and up
    Hold,         // hold shift|ctrl
    Free,         // free shift|ctrl
    Approve,      // approve add|remove|change yes|no
    Rotation,     // rotation DEGREES
    // Canvas calls: each runs when every event before it has been taken.
    Tool,      // tool NAME | tool none
    Mode,      // mode object|node
    Place,     // place [NAME] W H [at X Y]
    Click,     // click
    Remove,    // remove
    Template,  // template TEXT
};

// Whether the step goes through the message queue (see SessionOp).
bool IsEvent(SessionOp op);

enum class SessionKey { Shift, Control };
enum class SessionApproval { Add, Remove, Change };

struct SessionStep {
    SessionOp op = SessionOp::Hover;
    int line = 0;           // 1-based line number in the file
    std::string text;       // the line without surrounding blanks, for messages and the trace
    int32_t x = 0, y = 0;   // mouse position; the cursor position of `place ... at`
    bool hasPoint = false;  // place: `at X Y` was given
    double width = 0, height = 0;  // place
    double degrees = 0;            // rotation
    int32_t mode = 0;              // 0 object, 1 node
    SessionKey key = SessionKey::Shift;
    SessionApproval approval = SessionApproval::Add;
    bool yes = true;
    bool none = false;  // `tool none`
    std::string name;   // tool or figure name, template text (UTF-8)
};

struct Session {
    std::vector<SessionStep> steps;
    bool hasCanvas = false;  // `canvas W H`: the drawing's size in the SVG
    double canvasWidth = 0, canvasHeight = 0;
};

// Limits that keep a hostile file from running for hours: the library redraws a whole
// free-hand stroke at every move, so the work grows with the square of a gesture's length.
constexpr size_t kMaxSessionBytes = 1 << 20;
constexpr size_t kMaxSessionLines = 20000;
constexpr double kMaxPlaceSize = 1e6;
constexpr double kMaxCanvasSize = 1e5;
constexpr double kMaxDegrees = 1e6;

// Parses the text of a session file; `file` names it in messages. Throws UsageError
// "file:line: problem".
Session ParseSession(std::string_view text, const std::string& file);

// Reads and parses a session file. Throws UsageError when it cannot be read or is too big.
Session LoadSession(const std::string& path);

}  // namespace ostrel_cli
