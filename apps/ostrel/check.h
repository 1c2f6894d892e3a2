// ostrel check: template files read as the loader reads them, with every problem reported.
// Like the catalogue (catalogue.h) it works on the program's private copy of the core: the
// loader's diagnostics and the evaluator's error texts have no public entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ostrel_cli {

// Checks each file or folder (its *.xml files, in the loader's order) as one load, as
// VX_Initial would read them one after the other, and writes one line per problem to out,
// then a summary line. Returns the exit status: 0 when every figure loads and every
// expression evaluates (warnings and notes allowed), 1 otherwise. Throws UsageError for a
// path that does not exist or cannot be read, before anything is checked.
int RunCheck(const std::vector<std::string>& paths, std::ostream& out);

}  // namespace ostrel_cli
