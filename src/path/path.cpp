#include "path/path.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "text/number.h"

namespace vx {

CurrentPointState g_currentPoint;

CVXPath* CVXPath::Create() {
    CVXPath* path = new (std::nothrow) CVXPath();
    if (path && !table_) table_ = *reinterpret_cast<const void* const*>(path);
    ++boxesGeneration_;  // it may take the address of one gone
    return path;
}

CVXPath::~CVXPath() {
    ++boxesGeneration_;
    templateCopy_.reset();
    if (fillObject_) fillObject_->Release();
    if (userObject_) userObject_->Release();
    referencePoints_ = std::vector<double>();
    nodes_ = std::vector<PathNode>();
}

void CVXPath::Destroy(uint32_t flags) {
    this->~CVXPath();
    if (flags & 1) ::operator delete(this);
}

uint32_t CVXPath::SetTag(uint32_t tag) { return tag_ = tag; }
uint32_t CVXPath::GetTag() { return tag_; }

void CVXPath::AddNodes(PathNode* nodes, int32_t count) {
    if (!nodes || count < 1) return;
    BoundsChanged();
    CurrentPointState& current = g_currentPoint;
    for (int32_t i = 0; i < count; ++i) {
        PathNode& n = nodes[i];
        switch (n.kind) {
            case VX_NODE_MOVE:
            case VX_NODE_LINE:
                nodes_.push_back(n);
                current = {n.x1, n.y1};
                break;
            case VX_NODE_CUBIC:
                nodes_.push_back(n);
                current = {n.x3, n.y3};
                break;
            case VX_NODE_CUBIC_V: {
                const double c2x = n.x1, c2y = n.y1, ex = n.x2, ey = n.y2;
                n.kind = VX_NODE_CUBIC;
                n.x1 = current.x;
                n.y1 = current.y;
                n.x2 = c2x;
                n.y2 = c2y;
                n.x3 = ex;
                n.y3 = ey;
                nodes_.push_back(n);
                current = {ex, ey};
                break;
            }
            case VX_NODE_CUBIC_Y:
                n.kind = VX_NODE_CUBIC;
                n.x3 = n.x2;
                n.y3 = n.y2;
                nodes_.push_back(n);
                current = {n.x3, n.y3};
                break;
            case VX_NODE_RECT: {
                const double x = n.x1, y = n.y1, w = n.x2, h = n.y2;
                n.kind = VX_NODE_MOVE;
                nodes_.push_back(n);
                const PathNode corners[4] = {
                    {VX_NODE_LINE, 0, x + w, y, 0, 0, 0, 0},
                    {VX_NODE_LINE, 0, x + w, y + h, 0, 0, 0, 0},
                    {VX_NODE_LINE, 0, x, y + h, 0, 0, 0, 0},
                    {VX_NODE_CLOSE, 0, 0, 0, 0, 0, 0, 0},
                };
                nodes_.insert(nodes_.end(), corners, corners + 4);
                break;
            }
            default: nodes_.push_back(n); break;
        }
    }
}

void CVXPath::AddNode(int32_t kind, double x1, double y1, double x2, double y2, double x3,
                      double y3) {
    PathNode node{kind, 0, x1, y1, x2, y2, x3, y3};
    AddNodes(&node, 1);
}

void CVXPath::ClearNodes() {
    nodes_.clear();
    BoundsChanged();
}

double* CVXPath::GetTransform(double* out) {
    std::memcpy(out, &transform_, sizeof transform_);
    return out;
}

const double* CVXPath::SetTransform(const double* in) {
    std::memcpy(&transform_, in, sizeof transform_);
    CornersChanged();
    return in;
}

int32_t CVXPath::GetNodes(PathNode* out, int32_t max) {
    const int32_t count = NodeCount();
    if (!out || max == 0) return count;
    if (max < 0) return max;
    const int32_t n = std::min(max, count);
    std::copy(nodes_.begin(), nodes_.begin() + n, out);
    return n;
}

PathNode* CVXPath::NodeAt(int32_t i) {
    if (i < 0 || i >= NodeCount()) return nullptr;
    nodesLent_ = true;
    ++boxesGeneration_;
    return &nodes_[static_cast<size_t>(i)];
}

const PathNode* CVXPath::Node(int32_t i) const {
    if (i < 0 || i >= NodeCount()) return nullptr;
    return &nodes_[static_cast<size_t>(i)];
}

IVXPath* CVXPath::Clone() {
    CVXPath* copy = Create();
    if (!copy) return nullptr;
    int32_t copied = 0;
    try {
        copied = copy->CopyFrom(this, 1);
    } catch (...) {
        copy->Release();
        throw;
    }
    if (copied == 0) {
        copy->Release();
        return nullptr;
    }
    copy->SetFillObject(fillObject_);
    copy->SetUserObject(userObject_);
    return copy;
}

int32_t CVXPath::CopyFrom(IVXPath* source, int32_t withTemplate) {
    if (!source) return 0;
    const int32_t n = source->GetNodes(nullptr, 0);
    if (n <= 0) return 0;
    std::vector<PathNode> nodes(static_cast<size_t>(n), PathNode{});
    source->GetNodes(nodes.data(), n);
    ClearNodes();
    AddNodes(nodes.data(), n);
    double transform[6];
    SetTransform(source->GetTransform(transform));
    // Only a path of this library carries a template copy that can be read.
    const CVXPath* own = FromInterface(source);
    AttachTemplate(withTemplate && own ? own->GetTemplateCopy() : nullptr);
    return 1;
}

void CVXPath::Draw(IDrawSurface* surface) {
    const PathRef self(this);  // the host may give the path up while it is described
    DrawPath(surface, 0, true);
}

void CVXPath::SetUserObject(IVXHostObject* object) {
    if (object) object->AddRef();
    IVXHostObject* previous = userObject_;
    userObject_ = object;
    if (previous) previous->Release();
}

void CVXPath::SetFillObject(IVXFillObject* object) {
    if (object) object->AddRef();
    IVXFillObject* previous = fillObject_;
    fillObject_ = object;
    if (previous) previous->Release();
}

IVXHostObject* CVXPath::GetUserObject() { return userObject_; }
IVXFillObject* CVXPath::GetFillObject() { return fillObject_; }

bool CVXPath::HasTemplate() { return templateCopy_ != nullptr; }

bool CVXPath::GetTemplateInfo(PathCreateParams* out) {
    if (!templateCopy_ || !out) return false;
    templateCopy_->GetInfo(out);
    return true;
}

}  // namespace vx
