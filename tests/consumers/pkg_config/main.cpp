// Makes a path through the exports: the rectangle (10, 20) 30 by 40 turned a quarter about
// the origin and moved by (100, 100), which maps (x, y) to (100 - y, 100 + x). Its box on the
// canvas runs from (40, 110) to (80, 140).
#include <ostrel/ostrel.h>

#include <cstdio>

int main() {
    IVXPath* path = VX_CreatePath();
    path->AddNode(VX_NODE_RECT, 10, 20, 30, 40, 0, 0);
    const double turn[6] = {0, 1, -1, 0, 100, 100};
    path->SetTransform(turn);
    double x = 0, y = 0, w = 0, h = 0;
    path->GetBounds(&x, &y, &w, &h);
    std::printf("Ostrel %d.%d.%d: %d nodes, box %g %g %g %g\n", OSTREL_VERSION_MAJOR, OSTREL_VERSION_MINOR,
                OSTREL_VERSION_PATCH, path->GetNodes(nullptr, 0), x, y, w, h);
    path->Release();
    return 0;
}
