#include "files.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "options.h"

#ifndef OSTREL_INSTALLED_FIGURES
#define OSTREL_INSTALLED_FIGURES "../share/ostrel/figures"
#endif

namespace fs = std::filesystem;

namespace ostrel_cli {

std::string TempNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path p(path);
    const std::string name =
        "." + p.filename().string() + ".tmp" +
        std::to_string(static_cast<unsigned long long>(stamp) % 1000000007ULL) + "-" +
        std::to_string(counter++);
    return (p.parent_path() / name).string();
}

PendingFile::PendingFile(const std::string& path, const std::string& content)
    : path_(path), temp_(TempNameFor(path)) {
    if (fs::is_directory(fs::path(path))) {
        throw UsageError("cannot write '" + path + "': it is a folder");
    }
    {
        std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
        if (out) out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (out) out.flush();
        if (out) return;
    }
    std::error_code ignored;
    fs::remove(temp_, ignored);
    throw UsageError("cannot write '" + path + "'");
}

PendingFile::~PendingFile() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove(temp_, ignored);
    }
}

void PendingFile::Commit() {
    std::error_code error;
    fs::rename(temp_, path_, error);
    if (error) throw UsageError("cannot write '" + path_ + "': " + error.message());
    committed_ = true;
}

std::string DefaultFigureFolder(const char* argv0) {
    std::error_code error;
    std::vector<fs::path> folders;
    // Linux names the running program here whatever argv[0] says; elsewhere the lookup
    // fails and argv[0] serves.
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) folders.push_back(self.parent_path());
    if (argv0 && *argv0) folders.push_back(fs::path(argv0).parent_path());
    for (const fs::path& folder : folders) {
        for (const fs::path& c : {folder / "figures", folder / OSTREL_INSTALLED_FIGURES}) {
            if (fs::is_directory(c, error)) return c.string();
        }
    }
    return "figures";
}

}  // namespace ostrel_cli
