#include "session.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "options.h"
#include "text.h"

namespace ostrel_cli {

bool IsEvent(SessionOp op) {
    switch (op) {
        case SessionOp::Tool:
        case SessionOp::Mode:
        case SessionOp::Place:
        case SessionOp::Click:
        case SessionOp::Remove:
        case SessionOp::Template: return false;
        default: return true;
    }
}

namespace {

struct Token {
    std::string_view text;
    size_t begin, end;  // offsets in the line
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Token> Split(std::string_view line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        const size_t begin = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        tokens.push_back({line.substr(begin, i - begin), begin, i});
    }
    return tokens;
}

// Mouse messages carry each coordinate in 16 signed bits, so anything else cannot be
// played faithfully: whole numbers from -32768 to 32767 only.
bool ParseCoordinate(std::string_view text, int32_t* out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 6) return false;
    int32_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value < -32768 || value > 32767) return false;
    *out = value;
    return true;
}

class LineParser {
public:
    LineParser(const std::string& file, int line, std::string_view text)
        : file_(file), line_(line), text_(text), tokens_(Split(text)) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw UsageError(file_ + ":" + std::to_string(line_) + ": " + what);
    }

    // False for a line that sets something of the session instead of being a step.
    bool Parse(Session& session, SessionStep& step) {
        // Each command word: the step it makes and how its arguments are read.
        struct Command {
            const char* name;
            SessionOp op;
            void (LineParser::*read)(SessionStep&) const;
        };
        static constexpr Command kCommands[] = {
            {"hover", SessionOp::Hover, &LineParser::ReadPoint},
            {"drag", SessionOp::Drag, &LineParser::ReadPoint},
            {"press", SessionOp::Press, &LineParser::ReadPoint},
            {"release", SessionOp::Release, &LineParser::ReadPoint},
            {"dblclick", SessionOp::DoubleClick, &LineParser::ReadPoint},
            {"rpress", SessionOp::RightPress, &LineParser::ReadPoint},
            {"escape", SessionOp::Escape, &LineParser::ReadNothing},
            {"click", SessionOp::Click, &LineParser::ReadNothing},
            {"remove", SessionOp::Remove, &LineParser::ReadNothing},
            {"hold", SessionOp::Hold, &LineParser::ReadKey},
            {"free", SessionOp::Free, &LineParser::ReadKey},
            {"approve", SessionOp::Approve, &LineParser::ReadApproval},
            {"rotation", SessionOp::Rotation, &LineParser::ReadRotation},
            {"mode", SessionOp::Mode, &LineParser::ReadMode},
            {"tool", SessionOp::Tool, &LineParser::ReadTool},
            {"template", SessionOp::Template, &LineParser::ReadTemplate},
            {"place", SessionOp::Place, &LineParser::ParsePlace},
        };
        step.line = line_;
        step.text = std::string(text_);
        const std::string_view command = tokens_[0].text;
        if (command == "canvas") {
            ReadCanvas(session);
            return false;
        }
        for (const Command& c : kCommands) {
            if (command == c.name) {
                step.op = c.op;
                (this->*c.read)(step);
                return true;
            }
        }
        Fail("unknown command '" + std::string(command) + "'");
    }

private:
    void ReadPoint(SessionStep& step) const {
        Count(2, "X Y");
        step.x = Coordinate(1);
        step.y = Coordinate(2);
    }

    void ReadNothing(SessionStep&) const { Count(0, ""); }

    void ReadKey(SessionStep& step) const {
        Count(1, "shift|ctrl");
        const std::string_view key = tokens_[1].text;
        if (key == "shift") {
            step.key = SessionKey::Shift;
        } else if (key == "ctrl") {
            step.key = SessionKey::Control;
        } else {
            Fail("unknown key '" + std::string(key) + "' (shift or ctrl)");
        }
    }

    void ReadApproval(SessionStep& step) const {
        Count(2, "add|remove|change yes|no");
        const std::string_view kind = tokens_[1].text, answer = tokens_[2].text;
        if (kind == "add") {
            step.approval = SessionApproval::Add;
        } else if (kind == "remove") {
            step.approval = SessionApproval::Remove;
        } else if (kind == "change") {
            step.approval = SessionApproval::Change;
        } else {
            Fail("unknown approval '" + std::string(kind) + "' (add, remove or change)");
        }
        if (answer != "yes" && answer != "no") {
            Fail("approve answer '" + std::string(answer) + "' is not yes or no");
        }
        step.yes = answer == "yes";
    }

    void ReadRotation(SessionStep& step) const {
        Count(1, "DEGREES");
        step.degrees = Number(1, kMaxDegrees, "angle");
    }

    void ReadMode(SessionStep& step) const {
        Count(1, "object|node");
        const std::string_view mode = tokens_[1].text;
        if (mode != "object" && mode != "node") {
            Fail("unknown mode '" + std::string(mode) + "' (object or node)");
        }
        step.mode = mode == "object" ? 0 : 1;
    }

    void ReadTool(SessionStep& step) const {
        if (tokens_.size() < 2) Fail("tool needs a name (or none)");
        step.name = Rest(1);
        step.none = step.name == "none";
    }

    void ReadTemplate(SessionStep& step) const {
        if (tokens_.size() < 2) Fail("template needs a text such as <Arrow><(0.5,0.3)>");
        step.name = Rest(1);
    }

    void ReadCanvas(Session& session) const {
        Count(2, "W H");
        if (session.hasCanvas) Fail("canvas given twice");
        session.hasCanvas = true;
        session.canvasWidth = Number(1, kMaxCanvasSize, "width");
        session.canvasHeight = Number(2, kMaxCanvasSize, "height");
        if (session.canvasWidth <= 0 || session.canvasHeight <= 0) {
            Fail("canvas width and height must be above 0");
        }
    }

    void Count(size_t arguments, const char* form) const {
        if (tokens_.size() - 1 == arguments) return;
        const std::string command(tokens_[0].text);
        if (arguments == 0) Fail(command + " takes no arguments");
        Fail(command + " takes " + std::to_string(arguments) + " argument" +
             (arguments == 1 ? "" : "s") + " (" + command + " " + form + "), not " +
             std::to_string(tokens_.size() - 1));
    }

    int32_t Coordinate(size_t index) const {
        int32_t value = 0;
        if (!ParseCoordinate(tokens_[index].text, &value)) {
            Fail("bad coordinate '" + std::string(tokens_[index].text) +
                 "' (a whole number from -32768 to 32767)");
        }
        return value;
    }

    double Number(size_t index, double limit, const char* what) const {
        double value = 0;
        const std::string text(tokens_[index].text);
        if (!ParseNumber(text, &value)) Fail("bad " + std::string(what) + " '" + text + "'");
        if (std::fabs(value) > limit) {
            Fail(std::string(what) + " '" + text + "' is out of range (at most " +
                 FormatNumber(limit) + " in magnitude)");
        }
        return value;
    }

    // The text from token `index` to the end of the line, inner blanks kept.
    std::string Rest(size_t index) const { return std::string(text_.substr(tokens_[index].begin)); }

    // place [NAME] W H [at X Y]: read from the end, since names may hold blanks and digits.
    void ParsePlace(SessionStep& step) const {
        size_t last = tokens_.size();  // one past the last token still to read
        if (last >= 4 && tokens_[last - 3].text == "at") {
            step.x = Coordinate(last - 2);
            step.y = Coordinate(last - 1);
            step.hasPoint = true;
            last -= 3;
        }
        if (last < 3) Fail("place takes [NAME] W H [at X Y]");
        step.width = Number(last - 2, kMaxPlaceSize, "width");
        step.height = Number(last - 1, kMaxPlaceSize, "height");
        if (last > 3) {
            step.name = std::string(
                text_.substr(tokens_[1].begin, tokens_[last - 3].end - tokens_[1].begin));
        }
    }

    const std::string& file_;
    int line_;
    std::string_view text_;
    std::vector<Token> tokens_;
};

}  // namespace

Session ParseSession(std::string_view text, const std::string& file) {
    Session session;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (static_cast<size_t>(number) > kMaxSessionLines) {
            throw UsageError(file + ":" + std::to_string(number) + ": a session has at most " +
                             std::to_string(kMaxSessionLines) + " lines");
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\0') != std::string_view::npos) {
            throw UsageError(file + ":" + std::to_string(number) + ": the line holds a NUL byte");
        }
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
        while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        LineParser parser(file, number, line);
        SessionStep step;
        if (parser.Parse(session, step)) session.steps.push_back(std::move(step));
    }
    return session;
}

Session LoadSession(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw UsageError("session file '" + path + "' is a folder");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read session file '" + path + "'");
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxSessionBytes) {
            throw UsageError("session file '" + path + "' is larger than " +
                             std::to_string(kMaxSessionBytes >> 20) + " MiB");
        }
    }
    if (in.bad()) throw UsageError("cannot read session file '" + path + "'");
    return ParseSession(text, path);
}

}  // namespace ostrel_cli
