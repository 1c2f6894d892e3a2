// The shared library's own translation unit. The exports live in the core, which is linked
// in whole; the module's load and unload need nothing beyond the constructors and
// destructors of the process-wide objects.
#include "ostrel/ostrel.h"
