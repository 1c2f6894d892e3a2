// Runs an external program without a shell, so that no argument is ever interpreted.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "files.h"

extern char** environ;

namespace ostrel_cli {

int RunProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (!WIFEXITED(status)) return -1;
    // posix_spawnp may report an unknown program only through the child's status 127.
    return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
}

}  // namespace ostrel_cli
