// Runs the checks of the header translation units and compares what C saw with C++.
#include "ostrel/ostrel.h"

#include <cstdio>

#include "headers.h"

int main() {
    int failed = 0;
    auto check = [&failed](bool ok, const char* what) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
        if (!ok) ++failed;
    };
    int node = 0, params = 0, info = 0;
    check(CRecordSizes(&node, &params, &info) == 1, "C fills the records");
    check(node == 56 && node == static_cast<int>(sizeof(PathNode)), "PathNode is 56 bytes in C");
    check(params == 1576 && params == static_cast<int>(sizeof(PathCreateParams)),
          "PathCreateParams is 1576 bytes in C");
    check(info == static_cast<int>(sizeof(FigureInfo)), "FigureInfo has one size in C and C++");
    check(HeaderTwicePathNodeSize() == 56, "ostrel.h included twice");
    check(PlatformAloneHookCount() == 6, "platform.h compiles alone with six hooks");
    std::printf("consumer_headers: %s\n", failed ? "FAILED" : "all checks passed");
    return failed ? 1 : 0;
}
