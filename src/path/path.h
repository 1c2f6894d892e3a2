// CVXPath: the library's unit of geometry.
//
// Data model and invariants:
// - nodes_ holds path commands in order. AddNodes converts the input forms (kinds 3, 4 and
//   5), so the stored list holds kinds 0 move, 1 line, 2 cubic, 6 close, and any other
//   value the caller gave (7 and above, negatives), which drawing, bounds and hit testing
//   skip. Nothing in the library changes a stored kind.
// - transform_ maps path space to canvas space; it is never checked, so it may hold NaN.
// - templateCopy_ is owned (deleted with the path) and is null for a path not built from
//   a template; referencePoints_ holds one (x, y) pair in path space per reference of the
//   template copy and is empty exactly when templateCopy_ is null.
// - The path holds one reference on each attached host object. Holders that keep a
//   pointer to the path hold one reference each; Release at zero destroys it.
// - "Empty" means no nodes: such a path has the box of its template frame, or a point at
//   the origin widened by the flat-box margin.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "path/parameters.h"
#include "ostrel/ostrel.h"
#include "geometry/rect.h"
#include "geometry/transform.h"
#include "path/path_template.h"

namespace vx {

struct HitSizes;

class CVXPath final : public IVXPath {
public:
    // Null when out of memory; the caller owns the one reference.
    static CVXPath* Create();

    // IVXPath, in table order.
    int32_t AddRef() override { return ++refCount_; }
    int32_t Release() override {
        if (--refCount_ != 0) return refCount_;
        Destroy(1);
        return 0;
    }
    uint32_t SetTag(uint32_t tag) override;
    uint32_t GetTag() override;
    void AddNodes(PathNode* nodes, int32_t count) override;
    void AddNode(int32_t kind, double x1, double y1, double x2, double y2, double x3,
                 double y3) override;
    void ClearNodes() override;
    double* GetTransform(double* out) override;
    const double* SetTransform(const double* in) override;
    int32_t GetNodes(PathNode* out, int32_t max) override;
    IVXPath* Clone() override;
    int32_t CopyFrom(IVXPath* source, int32_t withTemplate) override;
    void Draw(IDrawSurface* surface) override;
    double* GetBounds(double* x, double* y, double* w, double* h) override;
    void GetOrientedCorners(double* x1, double* y1, double* x2, double* y2, double* x3, double* y3,
                            double* x4, double* y4) override;
    void GetCorners(double* x1, double* y1, double* x2, double* y2, double* x3, double* y3,
                    double* x4, double* y4) override;
    void SetUserObject(IVXHostObject* object) override;
    void SetFillObject(IVXFillObject* object) override;
    IVXHostObject* GetUserObject() override;
    IVXFillObject* GetFillObject() override;
    bool HasTemplate() override;
    bool GetTemplateInfo(PathCreateParams* out) override;

    // Entries 23 and 24 of the table, behind the interface's.
    virtual void Destroy(uint32_t flags);
    virtual double* GetLocalBounds(double* x, double* y, double* w, double* h);

    // Library-internal members.
    // A writable node, or null out of range. The pointer stays valid until the node list is
    // next changed through the path; until then every box is measured afresh, so a write
    // through it shows however late it comes.
    PathNode* NodeAt(int32_t i);
    // A node to read, or null out of range; the boxes stay cached.
    const PathNode* Node(int32_t i) const;
    // Room for count nodes in all, so that adding them does not reallocate on the way.
    void ReserveNodes(size_t count) { nodes_.reserve(count); }
    int32_t NodeCount() const { return static_cast<int32_t>(nodes_.size()); }
    // Read-only: the copy changes only as a whole, through AttachTemplate and AdoptTemplate.
    // Upper layers read the template's content through templates/'s TemplateOf.
    const PathTemplate* GetTemplateCopy() const { return templateCopy_.get(); }
    const std::vector<double>& ReferencePoints() const { return referencePoints_; }
    void AttachTemplate(const PathTemplate* figureTemplate);
    // The same for a copy the caller made and gives away: it becomes the path's template
    // copy as it is, which saves cloning it a second time.
    void AdoptTemplate(std::unique_ptr<PathTemplate> copy);

    void DrawPath(IDrawSurface* surface, int32_t endValue, bool bracket);
    void DrawTracker(IDrawSurface* surface, int32_t mode, bool bracket, bool drawMarks);

    // What lies under the screen point (x, y) in edit mode `mode`: a HitCode, with the part
    // index written to *part (path/hit_test.h). The host (may be null: the screen is the
    // canvas) maps canvas points to the screen. In object mode a path that the selection
    // (may be null) contains also has its box handles, edges and reference handles; the
    // selection is asked only once the point is near the path, since a canvas may hold
    // many paths.
    int32_t HitTestPath(ICanvasHost* host, IVXSelections* selection, double x, double y,
                        int32_t mode, int32_t* part);
    // HitTestPath after its first step, for a caller that took that step itself on a copy
    // of CornerBox with the sizes given (the editor, over the boxes it keeps), with its own
    // way to the screen and its own selection (path/hit_test_steps.h).
    template <typename Screen, typename Selected>
    int32_t HitTestNearPath(const Screen& toScreen, const Selected& selected, double x, double y,
                            int32_t mode, int32_t* part, const HitSizes& sizes);
    // Whether every point of the path, controls included, lies in the canvas rectangle.
    bool IsInsideRect(double x1, double y1, double x2, double y2);

    // The path's own local box (left, top, right, bottom) in path space.
    Rect LocalBox() const;
    // The axis-aligned box of the oriented corners (left, top, right, bottom), canvas space.
    const Rect& CornerBox() { return OrientedCorners().box; }
    // Advances at every change of any path's boxes (nodes, transform, template, a node
    // pointer lent, a path made or destroyed) and of the parameters that size them and the
    // hit test (BoxesChanged). Boxes copied out of paths stay true for as long as it holds
    // the value read when they were copied.
    static uint64_t BoxesGeneration() { return boxesGeneration_; }
    static void BoxesChanged() { ++boxesGeneration_; }
    // Whether a pointer from NodeAt is out: the boxes are then measured at every question,
    // and a copy of them may be wrong at any time.
    bool NodesLent() const { return nodesLent_; }

    // Identifies paths of this library among IVXPath pointers a host hands back. Inline, as
    // the hover test asks it at every mouse move.
    static CVXPath* FromInterface(IVXPath* path) {
        const bool own = path && table_ && *reinterpret_cast<const void* const*>(path) == table_;
        return own ? static_cast<CVXPath*>(path) : nullptr;
    }

private:
    CVXPath() = default;
    ~CVXPath();
    CVXPath(const CVXPath&) = delete;
    CVXPath& operator=(const CVXPath&) = delete;

    // The two modes of DrawTracker (path_draw.cpp).
    struct Mark;
    void TrackNodes(IDrawSurface* surface, std::vector<Mark>* marks);
    void TrackBox(IDrawSurface* surface, std::vector<Mark>* marks);

    int32_t refCount_ = 1;
    uint32_t tag_ = 0;
    IVXHostObject* userObject_ = nullptr;
    IVXFillObject* fillObject_ = nullptr;
    PathTransform transform_ = kIdentity;
    std::vector<PathNode> nodes_;
    std::unique_ptr<PathTemplate> templateCopy_;
    std::vector<double> referencePoints_;
    // The copy's frame, where the bounds read it without touching the copy.
    Rect templateFrame_;
    // Boxes kept because the hit test asks every path of a canvas for them at each mouse
    // move. Any change of the nodes drops both, and neither is used while a pointer from
    // NodeAt is out; a new transform or template drops the corners, which also remember
    // the flat-box margin they were made with.
    struct Corners {
        double x[4], y[4];  // oriented corners, canvas space
        Rect box;           // their axis-aligned box
        double margin;
        bool valid = false;
    };
    void CornersChanged() {
        corners_.valid = false;
        ++boxesGeneration_;
    }
    void BoundsChanged() {
        nodeBoxValid_ = false;
        nodesLent_ = false;
        CornersChanged();
    }
    const Corners& OrientedCorners() {
        const double margin = g_parameters.FlatBoundsMargin;
        const bool current = corners_.valid && !nodesLent_ &&
                             std::memcmp(&corners_.margin, &margin, sizeof margin) == 0;
        return current ? corners_ : MeasureCorners();
    }
    const Corners& MeasureCorners();
    // HitTestNearPath's parts: the reference and box handles and the box's edges of a
    // selected path in object mode, then the nodes and the outline.
    template <typename Screen>
    int32_t HitTestHandles(const Screen& toScreen, double x, double y, int32_t* part,
                           const HitSizes& sizes);
    template <typename Screen>
    int32_t HitTestNodes(const Screen& toScreen, double x, double y, int32_t* part,
                         const HitSizes& sizes);
    mutable Rect nodeBox_;
    mutable bool nodeBoxValid_ = false;
    Corners corners_;
    bool nodesLent_ = false;  // NodeAt handed out a writable pointer
    static inline uint64_t boxesGeneration_ = 0;
    // The table pointer shared by every CVXPath (the class is final), recorded at the first
    // creation; no CVXPath can exist before it is set.
    static inline const void* table_ = nullptr;
};

// One reference on a path for as long as the holder lives (null holds nothing): a path that
// is used across a call into the host outlives whatever the host does meanwhile.
class PathRef {
public:
    explicit PathRef(IVXPath* path) : path_(path) {
        if (path_) path_->AddRef();
    }
    ~PathRef() {
        if (path_) path_->Release();
    }
    PathRef(const PathRef&) = delete;
    PathRef& operator=(const PathRef&) = delete;

private:
    IVXPath* path_;
};

// The one current point shared by every path: AddNodes reads it for kind 3 and moves it.
struct CurrentPointState {
    double x = 0.0;
    double y = 0.0;
};
extern CurrentPointState g_currentPoint;

}  // namespace vx
