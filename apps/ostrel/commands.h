// The commands (replay: replay.h). Each throws UsageError or RunError for the caller to
// report.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "options.h"
#include "ostrel/ostrel.h"

namespace ostrel_cli {

// Each loads the figures of folder (VX_Initial), reads them into the catalogue, and
// releases them again before it returns.
void RunFigures(const Options& options, const std::string& folder, std::ostream& out);
void RunBuild(const Options& options, const std::string& folder, std::ostream& out);
void RunGallery(const Options& options, const std::string& folder, std::ostream& out);

// One node as the program prints it: "move 10 20", "curve 0 10 10 10 10 0", "close".
std::string NodeLine(const PathNode& node);

// Writes an SVG drawing to svgPath and its PNG rendering (rsvg-convert) to pngPath; an
// empty path skips that file. Files appear complete or not at all; beforeSvg, when given,
// runs after the PNG is in place and before the SVG is, and a throw from it removes the
// PNG again.
void WriteDrawing(const std::string& svg, const std::string& svgPath, const std::string& pngPath,
                  const std::function<void()>& beforeSvg = nullptr);

}  // namespace ostrel_cli
