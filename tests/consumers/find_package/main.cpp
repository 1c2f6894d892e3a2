// Loads the figures of the folder given and prints the Arrow built in the frame (10, 20) to
// (210, 120) with its handle at (0.75, 0.25): neck at x 160, shaft from y 45 to 95.
#include <ostrel/ostrel.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    // An ASCII folder name widens unit by unit to UTF-16.
    const std::basic_string<VXCHAR> folder(argv[1], argv[1] + std::strlen(argv[1]));
    VX_Initial(folder.c_str());
    PathCreateParams params = {};
    params.left = 10, params.top = 20, params.right = 210, params.bottom = 120;
    const std::basic_string<VXCHAR> name = {'A', 'r', 'r', 'o', 'w'};
    name.copy(params.name, name.size());
    params.count = 1;
    params.pairs[0][0] = 0.75, params.pairs[0][1] = 0.25;
    IVXPath* arrow = VX_CreatePathEx(&params);
    if (!arrow) return 1;

    std::printf("Ostrel %d.%d.%d: Arrow", OSTREL_VERSION_MAJOR, OSTREL_VERSION_MINOR, OSTREL_VERSION_PATCH);
    PathNode nodes[16];
    for (int32_t i = 0, count = arrow->GetNodes(nodes, 16); i < count; ++i) {
        if (nodes[i].kind == VX_NODE_CLOSE) std::printf(" Z");
        else std::printf(" %s %g %g", nodes[i].kind == VX_NODE_MOVE ? "M" : "L", nodes[i].x1, nodes[i].y1);
    }
    std::printf("\n");
    arrow->Release();
    VX_Release();
}
