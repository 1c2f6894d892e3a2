// `ostrel replay`: plays a session file through a canvas of the library and writes what
// the canvas holds at the end (summary, SVG, PNG) and, on request, the trace of every call
// the library made on the host and its surface.
#pragma once

#include <ostream>
#include <string>

#include "options.h"

namespace ostrel_cli {

// Loads the figures of folder (VX_Initial), creates a canvas, plays options.session, prints
// the summary to out and writes the files that options name. Warnings (a tool name that
// the canvas does not know, a gesture left open) go to err. Throws UsageError for a bad
// session or an output that cannot be written, RunError when rsvg-convert fails.
void RunReplay(const Options& options, const std::string& folder, std::ostream& out,
               std::ostream& err);

}  // namespace ostrel_cli
