/* Ostrel: vector figure library, public interface for hosts.
 *
 * Everything a host needs: the node and record layouts, the interfaces that the host
 * implements (ICanvasHost, IDrawSurface, path attachment objects), the interfaces that the
 * library hands out (IVXPath, IVXSelections, IVXFigures, IGraphicCanvas) and the exports.
 *
 * Interfaces are abstract classes called by table position. Their virtual functions are
 * declared in exactly the table order; none declares a destructor (a C++ virtual
 * destructor takes two table slots with GCC and would shift every later entry).
 */
#ifndef OSTREL_OSTREL_H
#define OSTREL_OSTREL_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  if defined(OSTREL_BUILDING_DLL)
#    define OSTREL_API __declspec(dllexport)
#  elif defined(OSTREL_STATIC)
#    define OSTREL_API
#  else
#    define OSTREL_API __declspec(dllimport)
#  endif
#  define OSTREL_CDECL __cdecl
/* The UTF-16 code unit of every string that crosses the boundary. */
typedef wchar_t VXCHAR;
#  define VXTEXT(s) L##s
#else
#  ifndef __cplusplus
#    include <uchar.h>
#  endif
#  if defined(OSTREL_BUILDING_DLL)
#    define OSTREL_API __attribute__((visibility("default")))
#  else
#    define OSTREL_API
#  endif
#  define OSTREL_CDECL
typedef char16_t VXCHAR;
#  define VXTEXT(s) u##s
#endif

#ifdef __cplusplus
#define OSTREL_STATIC_ASSERT(c, m) static_assert(c, m)
#else
#define OSTREL_STATIC_ASSERT(c, m) _Static_assert(c, m)
#endif

/* ---- Records ---------------------------------------------------------------------- */

/* Node kinds. 0, 1, 2 and 6 are stored; 3, 4 and 5 are input forms that AddNodes converts.
   Any other value is stored unchanged and skipped by drawing, bounds and hit testing. */
enum {
    VX_NODE_MOVE = 0,
    VX_NODE_LINE = 1,
    VX_NODE_CUBIC = 2,
    VX_NODE_CUBIC_V = 3, /* first control is the current point: (x1,y1) second control, (x2,y2) end */
    VX_NODE_CUBIC_Y = 4, /* second control is the end: (x1,y1) first control, (x2,y2) end */
    VX_NODE_RECT = 5,    /* corner (x1,y1), width x2, height y2 */
    VX_NODE_CLOSE = 6
};

/* One path command; 56 bytes, little-endian. */
typedef struct PathNode {
    int32_t kind;
    int32_t reserved; /* copied through unchanged; 0 in nodes the library builds */
    double x1, y1;
    double x2, y2;
    double x3, y3;
} PathNode;

/* Maps (x, y) to (a*x + c*y + e, b*x + d*y + f). */
typedef struct PathTransform {
    double a, b, c, d, e, f;
} PathTransform;

/* The record of VX_CreatePathEx and IVXPath::GetTemplateInfo; 1576 bytes. */
typedef struct PathCreateParams {
    double left, top, right, bottom; /* frame edges (right and bottom are edges, not sizes) */
    VXCHAR name[256];                /* zero-terminated when shorter than 256 units */
    int32_t count;                   /* number of value pairs that follow */
    int32_t padding;
    double pairs[64][2];             /* x and y value of reference i, fractions of the frame */
} PathCreateParams;

/* Description of a drawing tool: three system strings (length-prefixed, SysAllocString on
   Windows). Owned by the tool or template; the host must not free them. */
typedef struct FigureInfo {
    VXCHAR* name;
    VXCHAR* tips;
    VXCHAR* icon;
} FigureInfo;

/* Fill rules reported by a path's fill object. */
enum { VX_FILL_NONE = 0, VX_FILL_NONZERO = 1, VX_FILL_EVENODD = 2 };

/* Marks drawn by the library (IDrawSurface::DrawMark). */
enum {
    VX_MARK_CENTER = 0,
    VX_MARK_BOX_HANDLE = 1,
    VX_MARK_NODE = 2,
    VX_MARK_CONTROL = 3,
    VX_MARK_REFERENCE = 4
};

/* Indices of VX_SetParameters. */
enum {
    VX_PARAM_MARK_SIZE = 0,
    VX_PARAM_FLAT_BOUNDS_MARGIN = 1,
    VX_PARAM_EDGE_TOLERANCE = 2,
    VX_PARAM_HANDLE_COLOR = 3,
    VX_PARAM_OUTLINE_COLOR = 4
};

OSTREL_STATIC_ASSERT(sizeof(PathNode) == 56, "PathNode is 56 bytes");
OSTREL_STATIC_ASSERT(offsetof(PathNode, kind) == 0, "PathNode.kind");
OSTREL_STATIC_ASSERT(offsetof(PathNode, reserved) == 4, "PathNode.reserved");
OSTREL_STATIC_ASSERT(offsetof(PathNode, x1) == 8, "PathNode.x1");
OSTREL_STATIC_ASSERT(offsetof(PathNode, y1) == 16, "PathNode.y1");
OSTREL_STATIC_ASSERT(offsetof(PathNode, x2) == 24, "PathNode.x2");
OSTREL_STATIC_ASSERT(offsetof(PathNode, y2) == 32, "PathNode.y2");
OSTREL_STATIC_ASSERT(offsetof(PathNode, x3) == 40, "PathNode.x3");
OSTREL_STATIC_ASSERT(offsetof(PathNode, y3) == 48, "PathNode.y3");
OSTREL_STATIC_ASSERT(sizeof(PathTransform) == 48, "PathTransform is six doubles");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, a) == 0, "PathTransform.a");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, b) == 8, "PathTransform.b");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, c) == 16, "PathTransform.c");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, d) == 24, "PathTransform.d");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, e) == 32, "PathTransform.e");
OSTREL_STATIC_ASSERT(offsetof(PathTransform, f) == 40, "PathTransform.f");
OSTREL_STATIC_ASSERT(offsetof(FigureInfo, name) == 0, "FigureInfo.name");
OSTREL_STATIC_ASSERT(sizeof(VXCHAR) == 2, "VXCHAR is one UTF-16 code unit");
OSTREL_STATIC_ASSERT(sizeof(PathCreateParams) == 1576, "PathCreateParams is 1576 bytes");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, left) == 0, "PathCreateParams.left");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, top) == 8, "PathCreateParams.top");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, right) == 16, "PathCreateParams.right");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, bottom) == 24, "PathCreateParams.bottom");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, name) == 32, "PathCreateParams.name");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, count) == 544, "PathCreateParams.count");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, padding) == 548, "PathCreateParams.padding");
OSTREL_STATIC_ASSERT(offsetof(PathCreateParams, pairs) == 552, "PathCreateParams.pairs");
OSTREL_STATIC_ASSERT(sizeof(FigureInfo) == 3 * sizeof(void*), "FigureInfo is three pointers");
OSTREL_STATIC_ASSERT(offsetof(FigureInfo, tips) == sizeof(void*), "FigureInfo.tips");
OSTREL_STATIC_ASSERT(offsetof(FigureInfo, icon) == 2 * sizeof(void*), "FigureInfo.icon");

#ifdef __cplusplus

/* ---- Interfaces implemented by the host --------------------------------------------- */

class IVXPath;
class IVXFigures;
class IGraphicCanvas;
class IDrawSurface;

/* A host object attached to a path as its user object. The path holds one reference and
   calls nothing else on it. */
class IVXHostObject {
public:
    virtual int32_t AddRef() = 0;  /* 1 */
    virtual int32_t Release() = 0; /* 2 */
};

/* A host object attached to a path as its fill object; its third entry gives the fill rule
   (VX_FILL_NONE, VX_FILL_NONZERO, VX_FILL_EVENODD). */
class IVXFillObject : public IVXHostObject {
public:
    virtual int32_t FillRule() = 0; /* 3 */
};

/* The host's callbacks. Never reference counted; it must outlive the canvas. */
class ICanvasHost {
public:
    virtual void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                             int32_t selected, double angle) = 0;                      /* 1 */
    virtual void BeginTracking() = 0;                                                  /* 2 */
    virtual void EndTracking() = 0;                                                    /* 3 */
    virtual int32_t AcceptTrackPoint(double x, double y, int32_t one) = 0;            /* 4 */
    virtual void AdjustPoint(double* x, double* y) = 0;                                /* 5 */
    virtual void ToScreen(double* x, double* y) = 0;                                   /* 6 */
    virtual double GetRotation() = 0;                                                  /* 7 */
    virtual void BeginChange() = 0;                                                    /* 8 */
    virtual int32_t ApprovePathAdd(IVXPath* path) = 0;                                 /* 9 */
    virtual int32_t ApprovePathRemove(IVXPath* path) = 0;                              /* 10 */
    virtual int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) = 0; /* 11 */
    virtual void PathChanged(IVXPath* path, int32_t kind) = 0;                         /* 12 */
    virtual void EndChange() = 0;                                                      /* 13 */
    virtual void BeginSelectionChange() = 0;                                           /* 14 */
    virtual void EndSelectionChange() = 0;                                             /* 15 */
    virtual IDrawSurface* GetSurface() = 0;                                            /* 16 */
};

/* The host's drawing surface. Coordinates are canvas coordinates. A rectangle argument is
   four doubles: least x, least y, greatest x, greatest y. */
class IDrawSurface {
public:
    virtual void MoveTo(double x, double y) = 0;                                       /* 1 */
    virtual void LineTo(double x, double y) = 0;                                       /* 2 */
    virtual void CurveTo(double x1, double y1, double x2, double y2, double x3,
                         double y3) = 0;                                               /* 3 */
    virtual void CurveToV(double x2, double y2, double x3, double y3) = 0;             /* 4 */
    virtual void CurveToY(double x1, double y1, double x3, double y3) = 0;             /* 5 */
    virtual void Rectangle(double x, double y, double width, double height) = 0;       /* 6 */
    virtual void ClosePath() = 0;                                                      /* 7 */
    virtual void BeginPath(IVXPath* path) = 0;                                         /* 8 */
    virtual void EndPath(IVXPath* path, int32_t endValue) = 0;                         /* 9 */
    virtual void BeginOverlay() = 0;                                                   /* 10 */
    virtual void EndOverlay() = 0;                                                     /* 11 */
    virtual int32_t SaveOverlay() = 0;                                                 /* 12 */
    virtual void RestoreOverlay(int32_t token, const double* rect) = 0;                /* 13 */
    virtual void DropOverlay(int32_t token) = 0;                                       /* 14 */
    virtual void ShowOverlay(int32_t token, const double* rect) = 0;                   /* 15 */
    virtual void SetColor(uint32_t color, int32_t minusOne) = 0;                       /* 16 */
    virtual int32_t WantsFullFigure(const double* rect) = 0;                           /* 17 */
    virtual void Refresh(double x1, double y1, double x2, double y2) = 0;               /* 18 */
    virtual int32_t DrawMark(double x, double y, double width, double height,
                             int32_t markType) = 0;                                    /* 19 */
};

/* ---- Interfaces handed out by the library ------------------------------------------- */

/* A reference-counted path: nodes, transform, tag, attached host objects and, for paths
   built from a figure template, a private copy of that template. Output pointers are not
   checked. */
class IVXPath {
public:
    virtual int32_t AddRef() = 0;                                                      /* 1 */
    virtual int32_t Release() = 0;                                                     /* 2 */
    virtual uint32_t SetTag(uint32_t tag) = 0;                                         /* 3 */
    virtual uint32_t GetTag() = 0;                                                     /* 4 */
    virtual void AddNodes(PathNode* nodes, int32_t count) = 0;                         /* 5: rewrites nodes in place */
    virtual void AddNode(int32_t kind, double x1, double y1, double x2, double y2,
                         double x3, double y3) = 0;                                    /* 6 */
    virtual void ClearNodes() = 0;                                                     /* 7 */
    virtual double* GetTransform(double* out) = 0;                                     /* 8 */
    virtual const double* SetTransform(const double* in) = 0;                          /* 9 */
    virtual int32_t GetNodes(PathNode* out, int32_t max) = 0;                          /* 10 */
    virtual IVXPath* Clone() = 0;                                                      /* 11 */
    virtual int32_t CopyFrom(IVXPath* source, int32_t withTemplate) = 0;               /* 12 */
    virtual void Draw(IDrawSurface* surface) = 0;                                      /* 13 */
    virtual double* GetBounds(double* x, double* y, double* w, double* h) = 0;         /* 14 */
    virtual void GetOrientedCorners(double* x1, double* y1, double* x2, double* y2,
                                    double* x3, double* y3, double* x4,
                                    double* y4) = 0;                                   /* 15 */
    virtual void GetCorners(double* x1, double* y1, double* x2, double* y2, double* x3,
                            double* y3, double* x4, double* y4) = 0;                   /* 16 */
    virtual void SetUserObject(IVXHostObject* object) = 0;                             /* 17 */
    virtual void SetFillObject(IVXFillObject* object) = 0;                             /* 18 */
    virtual IVXHostObject* GetUserObject() = 0;                                        /* 19 */
    virtual IVXFillObject* GetFillObject() = 0;                                        /* 20 */
    virtual bool HasTemplate() = 0;                                                    /* 21 */
    virtual bool GetTemplateInfo(PathCreateParams* out) = 0;                           /* 22 */
};

/* The ordered selection set of a canvas. Holds no references. */
class IVXSelections {
public:
    virtual void Add(IVXPath* path) = 0;           /* 1 */
    virtual int32_t GetCount() = 0;                /* 2 */
    virtual IVXPath* GetAt(int32_t index) = 0;     /* 3: index not validated */
    virtual int32_t Contains(IVXPath* path) = 0;   /* 4 */
    virtual void Clear() = 0;                      /* 5 */
};

/* A drawing tool. Draw and Place run a modal gesture on the calling thread. */
class IVXFigures {
public:
    virtual int32_t AddRef() = 0;                                                      /* 1 */
    virtual int32_t Release() = 0;                                                     /* 2 */
    virtual FigureInfo* GetInfo(const VXCHAR* name) = 0;                               /* 3 */
    virtual bool Draw(const VXCHAR* name, double x, double y, ICanvasHost* host,
                      IGraphicCanvas* editor, IVXPath* path) = 0;                      /* 4 */
    virtual bool Place(const VXCHAR* name, double x, double y, double width,
                       double height, ICanvasHost* host, IGraphicCanvas* editor,
                       IVXPath* path) = 0;                                             /* 5 */
};

/* A canvas editor, one per drawing area. Points passed in are screen positions. */
class IGraphicCanvas {
public:
    virtual void SetEditMode(int32_t mode) = 0;                                        /* 1 */
    virtual int32_t GetEditMode() = 0;                                                 /* 2 */
    virtual IVXSelections* GetSelections() = 0;                                        /* 3 */
    virtual void RegisterTool(const VXCHAR* name, IVXFigures* tool) = 0;               /* 4 */
    virtual const VXCHAR* GetCurrentToolName() = 0;                                    /* 5 */
    virtual bool SetCurrentTool(const VXCHAR* name) = 0;                               /* 6 */
    virtual int32_t GetToolInfos(FigureInfo* buffer, int32_t capacity) = 0;            /* 7 */
    virtual void AddPath(IVXPath* path) = 0;                                           /* 8 */
    virtual void RemovePath(IVXPath* path) = 0;                                        /* 9 */
    virtual void DetachPath(IVXPath* path) = 0;                                        /* 10 */
    virtual bool ApplyTemplateText(IVXPath* path, const VXCHAR* text, bool notify) = 0; /* 11 */
    virtual int32_t GetTemplateText(IVXPath* path, VXCHAR* buffer, int32_t capacity) = 0; /* 12 */
    virtual void ClearPaths() = 0;                                                     /* 13 */
    virtual int32_t GetPathCount() = 0;                                                /* 14 */
    virtual IVXPath* GetPath(int32_t index) = 0;                                       /* 15 */
    virtual void DrawSelection(IDrawSurface* surface, int32_t outline, int32_t handles) = 0; /* 16 */
    virtual int32_t HitTest(double x, double y, int32_t selectedOnly, IVXPath** found) = 0; /* 17 */
    virtual void KeyDown(int32_t key, int32_t unused1, int32_t unused2) = 0;          /* 18 */
    virtual void KeyUp(int32_t key, int32_t unused1, int32_t unused2) = 0;            /* 19 */
    virtual void MouseDown(double x, double y, int32_t button) = 0;                   /* 20 */
    virtual void MouseMove(double x, double y) = 0;                                    /* 21 */
    virtual void ClickHovered(double x, double y) = 0;                                 /* 22 */
    virtual bool PlaceFigure(double width, double height, const VXCHAR* name) = 0;    /* 23 */
};

/* The canvas object's whole table: the 23 entries above, then its destroying operation
   (24, called by VX_DestroyGraphicCanvas) and GetToolNames (25). Every IGraphicCanvas the
   library hands out is one of these, so a host may cast to reach GetToolNames. */
class IGraphicCanvasEx : public IGraphicCanvas {
public:
    virtual void Destroy(uint32_t flags) = 0;                                          /* 24 */
    virtual int32_t GetToolNames(VXCHAR* buffer) = 0;                                  /* 25 */
};

extern "C" {
#endif /* __cplusplus */

/* ---- Exports (C calling convention, undecorated names) --------------------------- */

#ifdef __cplusplus
OSTREL_API IGraphicCanvas* OSTREL_CDECL VX_CreateGraphicCanvas(ICanvasHost* host);
OSTREL_API void OSTREL_CDECL VX_DestroyGraphicCanvas(IGraphicCanvas* canvas);
OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePath(void);
OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePathEx(const PathCreateParams* params);
#endif
OSTREL_API void OSTREL_CDECL VX_Initial(const VXCHAR* folder);
OSTREL_API void OSTREL_CDECL VX_Release(void);
OSTREL_API void OSTREL_CDECL VX_SetParameters(int32_t index, double value);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* OSTREL_OSTREL_H */
