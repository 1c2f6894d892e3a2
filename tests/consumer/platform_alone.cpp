// platform.h as the first and only header: it must bring everything it needs.
#include "ostrel/platform.h"

// Six hooks behind the context pointer, all of them pointers.
int PlatformAloneHookCount() {
    return static_cast<int>((sizeof(VXPlatformHooks) - sizeof(void*)) / sizeof(void (*)()));
}
