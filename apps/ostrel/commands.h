// The three commands. Each throws UsageError or RunError for the caller to report.
#pragma once

#include <ostream>
#include <string>

#include "options.h"

namespace ostrel_cli {

// Each loads the figures of folder into the shared library (VX_Initial) and into the
// program's private catalogue, and releases them again before it returns.
void RunFigures(const Options& options, const std::string& folder, std::ostream& out);
void RunBuild(const Options& options, const std::string& folder, std::ostream& out);
void RunGallery(const Options& options, const std::string& folder, std::ostream& out);

}  // namespace ostrel_cli
