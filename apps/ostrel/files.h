// Files the program writes and the one external program it runs.
#pragma once

#include <string>
#include <vector>

namespace ostrel_cli {

// A file written beside its final name and renamed into place by Commit, so that a reader
// never sees half a file and a failure leaves nothing behind: the destructor removes the
// temporary file unless it was committed.
class PendingFile {
public:
    // Throws UsageError when the file cannot be written (missing folder, no permission).
    PendingFile(const std::string& path, const std::string& content);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& TempPath() const { return temp_; }
    void Commit();  // throws UsageError when the rename fails

private:
    std::string path_, temp_;
    bool committed_ = false;
};

// A name next to path for a temporary file (same folder, so a rename stays on one disk).
std::string TempNameFor(const std::string& path);

// Runs a program found on PATH with the arguments and waits for it: its exit status, or
// -1 when it could not be started. Implemented per build (spawn_posix.cpp, spawn_win32.cpp).
int RunProgram(const std::vector<std::string>& argv);

// The folder of bundled figures: figures/ next to the running program when it exists (in a
// build tree, a link to the source tree's), else ../share/ostrel/figures from the program's
// folder (an installed program), else figures/ in the current folder.
std::string DefaultFigureFolder(const char* argv0);

}  // namespace ostrel_cli
