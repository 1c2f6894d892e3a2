// The command line: one command and its options, checked completely before anything runs.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace ostrel_cli {

// Something the user can fix by changing the arguments (a bad option, an unknown figure,
// a folder without figures, an output path that cannot be written): exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Something that failed around the program (an external converter): exit status 1.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Command { Help, Figures, Build, Gallery, Replay, Check };

struct Options {
    Command command = Command::Help;
    std::string folder;  // empty: the default folder
    std::string file;    // build, gallery: one template file instead of a folder
    // build
    std::string name;
    bool haveFrame = false;
    double frame[4] = {0, 0, 0, 0};  // left, top, right, bottom
    std::vector<std::pair<double, double>> refs;
    std::string svg;  // also replay
    // gallery
    std::string out, png;  // png also replay
    // replay
    std::string session, trace;
    // check
    std::vector<std::string> paths;
};

// Largest magnitudes accepted: frame edges and reference values stay far inside what the
// library prints into its expression texts.
constexpr double kMaxFrameMagnitude = 1e9;
constexpr double kMaxRefMagnitude = 1e6;
constexpr size_t kMaxRefs = 64;

// args excludes the program name. Throws UsageError naming the first problem.
Options ParseArguments(const std::vector<std::string>& args);

const char* UsageText();

}  // namespace ostrel_cli
