#include "support/recording.h"

#include <sstream>
#include <stdexcept>

namespace vx::test {

int32_t CountedObject::Release() {
    --refs;
    if (log_) log_->Add("Release " + name_ + " " + std::to_string(refs));
    return refs;
}

void AddPathText(IVXPath* path, const char* text) {
    std::istringstream in(text);
    std::string op;
    while (in >> op) {
        double v[6] = {0, 0, 0, 0, 0, 0};
        int kind = 0, count = 0;
        if (op == "M") kind = VX_NODE_MOVE, count = 2;
        else if (op == "L") kind = VX_NODE_LINE, count = 2;
        else if (op == "C") kind = VX_NODE_CUBIC, count = 6;
        else if (op == "Z") kind = VX_NODE_CLOSE, count = 0;
        else if (op == "N") {
            in >> kind;
            count = 6;
        } else {
            throw std::invalid_argument("path text: unknown command " + op);
        }
        for (int i = 0; i < count; ++i) {
            if (!(in >> v[i])) throw std::invalid_argument("path text: missing number after " + op);
        }
        path->AddNode(kind, v[0], v[1], v[2], v[3], v[4], v[5]);
    }
}

std::string PathText(IVXPath* path) {
    std::vector<PathNode> nodes(static_cast<size_t>(path->GetNodes(nullptr, 0)));
    if (!nodes.empty()) path->GetNodes(nodes.data(), static_cast<int32_t>(nodes.size()));
    std::string out;
    for (const PathNode& n : nodes) {
        if (!out.empty()) out += ' ';
        const std::string xy = Num(n.x1) + " " + Num(n.y1);
        const std::string six = xy + " " + Num(n.x2) + " " + Num(n.y2) + " " + Num(n.x3) + " " + Num(n.y3);
        switch (n.kind) {
            case VX_NODE_MOVE: out += "M " + xy; break;
            case VX_NODE_LINE: out += "L " + xy; break;
            case VX_NODE_CUBIC: out += "C " + six; break;
            case VX_NODE_CLOSE: out += "Z"; break;
            default: out += "N " + std::to_string(n.kind) + " " + six; break;
        }
    }
    return out;
}

}  // namespace vx::test
