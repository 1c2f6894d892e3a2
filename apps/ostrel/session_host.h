// The host side of a replayed session: the recording host and surface (apps/recording) with
// the replay's settings, and the trace file that takes every call as one line
// ("MoveTo 96 46").
//
// The screen is the canvas: AdjustPoint and ToScreen leave points unchanged. The surface
// draws nothing; the drawing is made at the end from the canvas's paths.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

#include "recording/recording.h"

namespace ostrel_cli {

// The --trace file, written beside its final name and renamed into place by Commit. Without
// a file name every call is a no-op. Long sessions are cut at kMaxLines with a last line
// saying so.
class Trace {
public:
    static constexpr size_t kMaxLines = 2000000;

    // Throws UsageError when the file cannot be written.
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool On() const { return file_.is_open(); }
    void Add(const std::string& line);
    bool Truncated() const { return lines_ > kMaxLines; }
    void Commit();  // throws UsageError when the file cannot be completed

private:
    std::string path_, temp_;
    std::ofstream file_;
    size_t lines_ = 0;
    bool committed_ = false;
};

// What the trace shows and the host answers: paths named p1, p2, ... in the order the host
// first sees them (in the trace and the summary alike), numbers with at most four decimals,
// overlay tokens 1, 2, ..., the mapping calls and GetSurface, and marks that the host draws
// (which keeps their outlines out of the trace). A session changes the approvals and the
// rotation as it plays. The log must outlive the canvas, whose paths it holds while named.
struct SessionHost {
    explicit SessionHost(Trace& trace);

    ostrel_recording::CallLog log;
    ostrel_recording::RecordingSurface surface{log};
    ostrel_recording::RecordingHost host{log, &surface};
};

}  // namespace ostrel_cli
