// A path built from a named template, a frame and reference values: VX_CreatePathEx.
#pragma once

#include "ostrel/ostrel.h"

namespace vx {

// Null when params is null, when no template has the name (exact, case-sensitive; the
// name field is read within its 256 units even without a terminator) or when no path can
// be created. Otherwise a new path with one reference: the nodes built up to the first
// evaluation that failed, and its own copy of the template with the record's frame and
// the first min(count, references, 64) value pairs, each narrowed to single precision.
IVXPath* CreatePathFromParams(const PathCreateParams* params);

}  // namespace vx
