#include "options.h"

#include <cmath>

#include "text.h"

namespace ostrel_cli {

namespace {

// Splits "a,b,c" into exactly count numbers; false otherwise.
bool ParseList(const std::string& text, size_t count, double* out) {
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t comma = text.find(',', start);
        const bool last = i + 1 == count;
        if (last != (comma == std::string::npos)) return false;
        const std::string part = text.substr(start, last ? std::string::npos : comma - start);
        if (!ParseNumber(part, &out[i])) return false;
        start = comma + 1;
    }
    return true;
}

void CheckMagnitude(const std::string& option, const std::string& text, const double* values,
                    size_t count, const char* limitText, double limit) {
    for (size_t i = 0; i < count; ++i) {
        if (std::fabs(values[i]) > limit) {
            throw UsageError(option + " '" + text + "' has a value out of range (at most " +
                             limitText + " in magnitude)");
        }
    }
}

struct Reader {
    const std::vector<std::string>& args;
    size_t next = 1;  // args[0] is the command
    std::string command;

    bool Done() const { return next >= args.size(); }

    // For "--opt value" and "--opt=value"; option holds the part before '='.
    std::string Value(const std::string& option, const std::string& arg) {
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) return arg.substr(eq + 1);
        if (next >= args.size()) throw UsageError("option " + option + " needs a value");
        return args[next++];
    }
};

void SetOnce(std::string& field, const std::string& option, const std::string& value) {
    if (!field.empty()) throw UsageError("option " + option + " given twice");
    if (value.empty()) throw UsageError("option " + option + " needs a non-empty value");
    field = value;
}

// Which commands take an option: one bit per command.
constexpr unsigned Bit(Command c) { return 1u << static_cast<unsigned>(c); }

const std::pair<const char*, Command> kCommands[] = {
    {"figures", Command::Figures}, {"build", Command::Build}, {"gallery", Command::Gallery},
    {"replay", Command::Replay},   {"check", Command::Check},
};

// The options that name one file or folder, each given at most once.
struct TextOption {
    const char* name;
    unsigned commands;
    std::string Options::*field;
};
constexpr TextOption kTextOptions[] = {
    {"--folder",
     Bit(Command::Figures) | Bit(Command::Build) | Bit(Command::Gallery) | Bit(Command::Replay),
     &Options::folder},
    {"--file", Bit(Command::Build) | Bit(Command::Gallery), &Options::file},
    {"--svg", Bit(Command::Build) | Bit(Command::Replay), &Options::svg},
    {"--out", Bit(Command::Gallery), &Options::out},
    {"--png", Bit(Command::Gallery) | Bit(Command::Replay), &Options::png},
    {"--trace", Bit(Command::Replay), &Options::trace},
};

Command ReadCommand(const std::string& command) {
    for (const auto& [name, value] : kCommands) {
        if (command == name) return value;
    }
    throw UsageError("unknown command '" + command +
                     "' (figures, build, gallery, replay or check); see ostrel --help");
}

void ReadFrame(Reader& in, const std::string& option, const std::string& arg, Options& o) {
    if (o.haveFrame) throw UsageError("option --frame given twice");
    const std::string value = in.Value(option, arg);
    if (!ParseList(value, 4, o.frame)) {
        throw UsageError("--frame '" + value + "' is not four numbers L,T,R,B");
    }
    CheckMagnitude(option, value, o.frame, 4, "1e9", kMaxFrameMagnitude);
    o.haveFrame = true;
}

void ReadRef(Reader& in, const std::string& option, const std::string& arg, Options& o) {
    const std::string value = in.Value(option, arg);
    double pair[2];
    if (!ParseList(value, 2, pair)) {
        throw UsageError("--ref '" + value + "' is not two numbers X,Y");
    }
    CheckMagnitude(option, value, pair, 2, "1e6", kMaxRefMagnitude);
    if (o.refs.size() == kMaxRefs) {
        throw UsageError("more than " + std::to_string(kMaxRefs) + " --ref options");
    }
    o.refs.emplace_back(pair[0], pair[1]);
}

// One option with its value, or one positional argument.
void ReadArgument(Reader& in, Options& o) {
    const std::string arg = in.args[in.next++];
    const std::string option = arg.substr(0, arg.find('='));
    for (const TextOption& text : kTextOptions) {
        if (option == text.name && (text.commands & Bit(o.command))) {
            SetOnce(o.*text.field, option, in.Value(option, arg));
            return;
        }
    }
    const bool build = o.command == Command::Build;
    if (build && option == "--frame") {
        ReadFrame(in, option, arg, o);
    } else if (build && option == "--ref") {
        ReadRef(in, option, arg, o);
    } else if (arg.size() > 1 && arg[0] == '-') {
        throw UsageError("unknown option '" + option + "' for " + in.command);
    } else if (build && o.name.empty()) {
        o.name = arg;
    } else if (o.command == Command::Replay && o.session.empty() && !arg.empty()) {
        o.session = arg;
    } else if (o.command == Command::Check && !arg.empty()) {
        o.paths.push_back(arg);
    } else {
        throw UsageError("unexpected argument '" + arg + "' for " + in.command);
    }
}

// No two of replay's outputs, nor any of them and the session, may name the same file.
void CheckReplayFiles(const Options& o) {
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--svg", &o.svg}, {"--png", &o.png}, {"--trace", &o.trace}};
    for (size_t i = 0; i < 3; ++i) {
        for (size_t j = i + 1; j < 3; ++j) {
            if (!outputs[i].second->empty() && *outputs[i].second == *outputs[j].second) {
                throw UsageError(std::string(outputs[i].first) + " and " + outputs[j].first +
                                 " name the same file '" + *outputs[i].second + "'");
            }
        }
        if (*outputs[i].second == o.session) {
            throw UsageError(std::string(outputs[i].first) + " names the session file '" +
                             o.session + "'");
        }
    }
}

// What the options must hold together once all are read.
void CheckComplete(const Options& o) {
    if (!o.file.empty() && !o.folder.empty())
        throw UsageError("--file and --folder cannot be given together");
    if (o.command == Command::Check && o.paths.empty())
        throw UsageError("check needs a file or a folder");
    if (o.command == Command::Build) {
        if (o.name.empty()) throw UsageError("build needs a figure name");
        if (!o.haveFrame) throw UsageError("build needs --frame L,T,R,B");
    }
    if (o.command == Command::Gallery && o.out.empty()) {
        throw UsageError("gallery needs --out FILE.svg");
    }
    if (!o.png.empty() && o.png == o.out) {
        throw UsageError("--png and --out name the same file '" + o.out + "'");
    }
    if (o.command == Command::Replay) {
        if (o.session.empty()) throw UsageError("replay needs a session file");
        CheckReplayFiles(o);
    }
}

}  // namespace

Options ParseArguments(const std::vector<std::string>& args) {
    Options o;
    if (args.empty()) {
        throw UsageError(
            "no command given (figures, build, gallery, replay or check); see ostrel --help");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        if (args.size() > 1) throw UsageError("unexpected argument '" + args[1] + "' after help");
        o.command = Command::Help;
        return o;
    }
    o.command = ReadCommand(command);
    Reader in{args, 1, command};
    while (!in.Done()) ReadArgument(in, o);
    CheckComplete(o);
    return o;
}

const char* UsageText() {
    return "usage:\n"
           "  ostrel figures [--folder DIR]\n"
           "      one block per figure template: name, tips, icon and every reference\n"
           "      handle with its names, values and drag limits\n"
           "  ostrel build NAME --frame L,T,R,B [--ref X,Y]... [--svg FILE] [--folder DIR | --file "
           "XML]\n"
           "      builds figure NAME in the frame (edges, not sizes) with VX_CreatePathEx and\n"
           "      prints its nodes; each --ref sets the next reference handle's values as\n"
           "      fractions of the frame (default: the values of the file); --svg also\n"
           "      writes the path as an SVG file\n"
           "  ostrel gallery --out FILE.svg [--png FILE.png] [--folder DIR | --file XML]\n"
           "      draws every figure in a grid with its name, its box handles and its\n"
           "      reference handles (orange diamonds); --png converts the drawing with\n"
           "      rsvg-convert (Debian package librsvg2-bin)\n"
           "  ostrel replay SESSION [--svg FILE] [--png FILE] [--trace FILE] [--folder DIR]\n"
           "      plays the session file (mouse, keys, tool choices; see README.md) through a\n"
           "      canvas and prints each path's transform and nodes and the selection; --svg\n"
           "      and --png draw the paths and the selection marks, --trace writes every\n"
           "      call the library made on the host and its surface, one per line\n"
           "  ostrel check FILE_OR_DIR...\n"
           "      reads template files (a folder: its *.xml files) as the library loads them\n"
           "      and prints one line per problem, FILE:LINE:COLUMN: figure \"NAME\": error,\n"
           "      warning or note: what; every value, limit and coordinate is evaluated with\n"
           "      the file's values and with each handle at the ends of its range. Exit\n"
           "      status 1 when a figure is dropped or an expression does not evaluate\n"
           "\n"
           "DIR defaults to the figures/ folder next to the program, else the figures/ folder\n"
           "of the source tree it was built from; --file XML loads that one file instead\n"
           "(say, the figure being written). Errors: one line on stderr and exit status\n"
           "2 for a wrong argument, an unknown figure, a folder without figures or a bad\n"
           "session (FILE:LINE: problem), 1 when rsvg-convert fails. Output files appear\n"
           "complete or not at all.\n";
}

}  // namespace ostrel_cli
