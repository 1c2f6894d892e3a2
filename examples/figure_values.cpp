// figure_values FOLDER: what expression texts give in a figure. Reads one text per line
// from standard input, writes a template file into FOLDER with two figures per text, loads
// it with VX_Initial and builds each figure with VX_CreatePathEx in the frame (0, 0, 1, 1),
// where a unit coordinate is its own value. Prints one line per text:
//   VALUE<tab>COORDINATE
// VALUE is what the text gives as a reference value (the "value" attribute of an x or y
// element), COORDINATE what it gives as a vertex coordinate. Each is the shortest number
// that reads back exactly, nan, inf, -inf, "error" (the text does not evaluate: the figure
// is built without nodes) or "not loaded" (the loader drops the figure). scripts/lib/
// check_docs.sh runs it over the tables of docs/figures.md.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ostrel/ostrel.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c; break;
        }
    }
    return out;
}

// The shortest text of at most 17 digits that reads back as v; plain decimals where %g
// would use an exponent for a number of ordinary size (2000, not 2e+03).
std::string Shortest(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    char text[64];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v) break;
    }
    if (std::strchr(text, 'e') && std::fabs(v) >= 1e-4 && std::fabs(v) < 1e15) {
        for (int decimals = 0; decimals <= 17; ++decimals) {
            std::snprintf(text, sizeof text, "%.*f", decimals, v);
            if (std::strtod(text, nullptr) == v) break;
        }
    }
    return text;
}

// The x of the figure's first node in the unit frame.
std::string Built(const std::string& name) {
    PathCreateParams params = {};
    params.right = 1, params.bottom = 1;
    for (size_t i = 0; i < name.size(); ++i) params.name[i] = static_cast<VXCHAR>(name[i]);
    IVXPath* path = VX_CreatePathEx(&params);
    if (!path) return "not loaded";
    PathNode node = {};
    const std::string result = path->GetNodes(&node, 1) == 1 ? Shortest(node.x1) : "error";
    path->Release();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: figure_values FOLDER < texts\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<std::string> texts;
    for (std::string line; std::getline(std::cin, line);) texts.push_back(line);

    std::ofstream file(folder + "/values.xml");
    file << "<Figures>\n";
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string text = Escaped(texts[i]);
        file << "<figure name=\"v" << i << "\"><reference><x name=\"v\" value=\"" << text
             << "\"/><y name=\"w\" value=\"0\"/></reference>"
             << "<moveto><vertex x=\"v\" y=\"0\"/></moveto></figure>\n"
             << "<figure name=\"c" << i << "\"><moveto><vertex x=\"" << text
             << "\" y=\"0\"/></moveto></figure>\n";
    }
    file << "</Figures>\n";
    file.close();
    if (!file) {
        std::fprintf(stderr, "figure_values: cannot write %s/values.xml\n", folder.c_str());
        return 2;
    }

    std::basic_string<VXCHAR> path;
    for (char c : folder) path += static_cast<VXCHAR>(static_cast<unsigned char>(c));
    VX_Initial(path.c_str());
    for (size_t i = 0; i < texts.size(); ++i) {
        std::printf("%s\t%s\n", Built("v" + std::to_string(i)).c_str(),
                    Built("c" + std::to_string(i)).c_str());
    }
    VX_Release();
    return 0;
}
