// Runs an external program through the C runtime's spawn, which waits for it.
#include <process.h>

#include "files.h"

namespace ostrel_cli {

int RunProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    // The runtime joins the arguments into one command line: quote each one.
    std::vector<std::string> quoted;
    for (const std::string& a : argv) quoted.push_back("\"" + a + "\"");
    std::vector<const char*> args;
    for (const std::string& a : quoted) args.push_back(a.c_str());
    args.push_back(nullptr);
    const intptr_t status = _spawnvp(_P_WAIT, argv[0].c_str(), args.data());
    return status < 0 ? -1 : static_cast<int>(status);
}

}  // namespace ostrel_cli
