// ostrel.h twice in one translation unit: the guard must make the second inclusion empty.
#include "ostrel/ostrel.h"
#include "ostrel/ostrel.h"

int HeaderTwicePathNodeSize() { return static_cast<int>(sizeof(PathNode)); }
