#include "session_host.h"

#include <filesystem>

#include "files.h"
#include "options.h"
#include "text.h"

namespace ostrel_cli {

// ---- Trace -----------------------------------------------------------------------------

Trace::Trace(const std::string& path) : path_(path) {
    if (path.empty()) return;
    temp_ = TempNameFor(path);
    file_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!file_) throw UsageError("cannot write '" + path + "'");
}

Trace::~Trace() {
    if (!temp_.empty() && !committed_) {
        file_.close();
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

void Trace::Add(const std::string& line) {
    if (!file_.is_open() || lines_ > kMaxLines) return;
    if (++lines_ > kMaxLines) {
        file_ << "... the trace stops here: more than " << kMaxLines << " lines\n";
        return;
    }
    file_ << line << '\n';
}

void Trace::Commit() {
    if (temp_.empty()) return;
    file_.close();
    if (!file_) throw UsageError("cannot write '" + path_ + "'");
    std::error_code error;
    std::filesystem::rename(temp_, path_, error);
    if (error) throw UsageError("cannot write '" + path_ + "'");
    committed_ = true;
}

// ---- SessionHost -----------------------------------------------------------------------

SessionHost::SessionHost(Trace& trace) {
    log.keepLines = false;
    if (trace.On()) log.onCall = [&trace](const std::string& line) { trace.Add(line); };
    log.nameAtFirstSight = true;
    log.number = [](double v) { return FormatNumber(v); };
    surface.countOverlays = true;
    surface.drawMarkResult = 1;
    host.logMapping = host.logGetSurface = true;
}

}  // namespace ostrel_cli
