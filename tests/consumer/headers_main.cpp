// Runs the checks of the header translation units and compares what C saw with C++.
#include "ostrel/ostrel.h"

#include <cstdio>

extern "C" int CFigureInfoSize(void);
int HeaderTwicePathNodeSize();
int PlatformAloneHookCount();

int main() {
    int failed = 0;
    auto check = [&failed](bool ok, const char* what) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
        if (!ok) ++failed;
    };
    check(CFigureInfoSize() == static_cast<int>(sizeof(FigureInfo)),
          "C fills the records; FigureInfo has one size in C and C++");
    check(HeaderTwicePathNodeSize() == 56, "ostrel.h included twice");
    check(PlatformAloneHookCount() == 6, "platform.h compiles alone with six hooks");
    std::printf("consumer_headers: %s\n", failed ? "FAILED" : "all checks passed");
    return failed ? 1 : 0;
}
