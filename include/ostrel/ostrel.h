/* Ostrel: vector figure library, public interface for hosts.
 *
 * Everything a host needs: the node and record layouts, the interfaces that the host
 * implements (ICanvasHost, IDrawSurface, path attachment objects), the interfaces that the
 * library hands out (IVXPath, IVXSelections, IVXFigures, IGraphicCanvas) and the exports.
 *
 * Interfaces are abstract classes called by table position. Their virtual functions are
 * declared in exactly the table order; none declares a destructor (a C++ virtual
 * destructor takes two table slots with GCC and would shift every later entry).
 *
 * Conventions of the one-line notes below:
 * - Errors come back only as results (null, 0, false, hit code 0). The only exception that
 *   leaves the library is std::bad_alloc when memory runs out; the notes say "may throw"
 *   where that can happen, and every other entry throws nothing.
 * - "new reference": the caller owns one reference and gives it up with Release.
 *   "no reference": the pointer is lent; keep it only while its owner holds it.
 * - Pointers returned by the library are never to be freed or deleted by the host.
 * - Everything runs on the host's one user-interface thread; nothing is locked. A host may
 *   call back into the library from any callback.
 * docs/host-guide.md explains all of this at length.
 */
#ifndef OSTREL_OSTREL_H
#define OSTREL_OSTREL_H

/* The release this header belongs to (CHANGELOG.md). */
#define OSTREL_VERSION_MAJOR 0
#define OSTREL_VERSION_MINOR 2
#define OSTREL_VERSION_PATCH 0

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(OSTREL_BUILDING_DLL)
#define OSTREL_API __declspec(dllexport)
#elif defined(OSTREL_STATIC)
#define OSTREL_API
#else
#define OSTREL_API __declspec(dllimport)
#endif
#define OSTREL_CDECL __cdecl
/* The UTF-16 code unit of every string that crosses the boundary. */
typedef wchar_t VXCHAR;
#define VXTEXT(s) L##s
#else
#ifndef __cplusplus
#include <uchar.h>
#endif
#if defined(OSTREL_BUILDING_DLL)
#define OSTREL_API __attribute__((visibility("default")))
#else
#define OSTREL_API
#endif
#define OSTREL_CDECL
typedef char16_t VXCHAR;
#define VXTEXT(s) u##s
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
    VX_NODE_CUBIC_V =
        3, /* first control is the current point: (x1,y1) second control, (x2,y2) end */
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
    double pairs[64][2]; /* x and y value of reference i, fractions of the frame */
} PathCreateParams;

/* Description of a drawing tool: three system strings (length-prefixed, SysAllocString on
   Windows). Owned by the tool or template; the host must not free them. */
typedef struct FigureInfo {
    VXCHAR* name;
    VXCHAR* tips;
    VXCHAR* icon;
} FigureInfo;

/* ---- Numbers a host passes or reads ------------------------------------------------ */

/* Fill rules reported by a path's fill object (IVXFillObject::FillRule). */
enum {
    VX_FILL_NONE = 0,    /* the path is hit on its outline and nodes only */
    VX_FILL_NONZERO = 1, /* also inside, by the nonzero winding rule */
    VX_FILL_EVENODD = 2  /* also inside, by the even-odd rule */
};

/* Mark types of IDrawSurface::DrawMark. */
enum {
    VX_MARK_CENTER = 0,     /* centre of the box (a circle when the library draws it) */
    VX_MARK_BOX_HANDLE = 1, /* corner or edge middle of the box (a square) */
    VX_MARK_NODE = 2,       /* end point of a move, line or curve (a square) */
    VX_MARK_CONTROL = 3,    /* control point of a curve (a circle) */
    VX_MARK_REFERENCE = 4   /* reference handle of a template figure (a square) */
};

/* Indices of VX_SetParameters, with their defaults. */
enum {
    VX_PARAM_MARK_SIZE = 0,          /* side of a mark in screen units; 8 */
    VX_PARAM_FLAT_BOUNDS_MARGIN = 1, /* widening of a box without width or height; 4.0 */
    VX_PARAM_EDGE_TOLERANCE = 2,     /* outline hit distance in screen units; 2 */
    VX_PARAM_HANDLE_COLOR = 3,       /* colour of handles in DrawSelection; 0xFF0000 */
    VX_PARAM_OUTLINE_COLOR = 4       /* colour of outlines in DrawSelection; 0x0000FF */
};

/* Edit modes of IGraphicCanvas::SetEditMode, also the first argument of SetFeedback.
   A new canvas is in node mode. Any other value starts no edit on a press. */
enum {
    VX_MODE_OBJECT = 0, /* presses move, scale and rotate whole paths */
    VX_MODE_NODE = 1    /* presses drag one node or control point */
};

/* Hit codes as IGraphicCanvas::HitTest returns them and SetFeedback reports them. 1 to 10
   and 18 come only from a selected path in object mode, 16 only from a selected path in
   node mode. A path that is not selected reports 17 for its outline, inside, nodes and box
   (15 for its nodes in node mode). 11 to 14 are never reported. */
enum {
    VX_HIT_NOTHING = 0,
    VX_HIT_CENTER = 1, /* centre handle: a press moves */
    VX_HIT_LEFT = 2,   /* left-middle handle or left edge of the box: scales */
    VX_HIT_TOP_LEFT = 3,
    VX_HIT_TOP = 4, /* top-middle handle or top edge */
    VX_HIT_TOP_RIGHT = 5,
    VX_HIT_RIGHT = 6, /* right-middle handle or right edge */
    VX_HIT_BOTTOM_RIGHT = 7,
    VX_HIT_BOTTOM = 8, /* bottom-middle handle or bottom edge */
    VX_HIT_BOTTOM_LEFT = 9,
    VX_HIT_RING = 10,     /* ring just outside a box handle: a press rotates */
    VX_HIT_NODE = 15,     /* node mode: a node; a press drags it */
    VX_HIT_CONTROL = 16,  /* node mode: a control point of a curve */
    VX_HIT_FIGURE = 17,   /* the path as a whole: its outline, inside or nodes */
    VX_HIT_REFERENCE = 18 /* a template figure's reference handle */
};

/* Change kinds of ICanvasHost::ApprovePathChange and PathChanged. */
enum {
    VX_CHANGE_TRANSFORM = 2, /* the path gets a new transform: its own followed by the matrix */
    VX_CHANGE_NODES = 3      /* its nodes (and template copy) are replaced; the identity matrix */
};

/* Button codes of IGraphicCanvas::MouseDown: any code but VX_BUTTON_RIGHT is a left press. */
enum {
    VX_BUTTON_LEFT = 1,
    VX_BUTTON_RIGHT = 2 /* ignored: the canvas does nothing */
};

/* Virtual-key codes (the Windows numbers). KeyDown and KeyUp react to VX_KEY_CONTROL only;
   the modal loops read Shift and Control as held keys and end on Esc or Alt key-downs. */
enum {
    VX_KEY_SHIFT = 0x10,   /* held: square rectangles, 45-degree lines, uniform scaling */
    VX_KEY_CONTROL = 0x11, /* held at a press: toggles selection; in a node drag: handles follow */
    VX_KEY_ALT = 0x12,     /* key-down during a gesture: as Esc */
    VX_KEY_ESCAPE = 0x1B   /* key-down during a gesture: cancel (polygon and Bezier: finish) */
};

/* The window messages that the modal loops read (the Windows numbers). On Windows they come
   from the thread's queue; on portable builds the host's get_message delivers them
   (include/ostrel/platform.h). Mouse messages carry x and y in the low and high 16 bits of
   lParam, signed, in the window's client units. */
enum {
    VX_WM_ACTIVATE = 0x0006,    /* wParam 0: deactivated, cancels a gesture */
    VX_WM_QUIT = 0x0012,        /* portable builds: a quit handed back, exit code in wParam */
    VX_WM_ACTIVATEAPP = 0x001C, /* wParam 0: cancels a gesture */
    VX_WM_KEYDOWN = 0x0100,     /* wParam: VX_KEY_* */
    VX_WM_KEYUP = 0x0101,
    VX_WM_SYSKEYDOWN = 0x0104,
    VX_WM_SYSKEYUP = 0x0105,
    VX_WM_MOUSEMOVE = 0x0200, /* wParam: VX_MK_LBUTTON while the left button is held */
    VX_WM_LBUTTONDOWN = 0x0201,
    VX_WM_LBUTTONUP = 0x0202,
    VX_WM_LBUTTONDBLCLK = 0x0203,
    VX_WM_RBUTTONDOWN = 0x0204,   /* cancels a gesture */
    VX_WM_RBUTTONUP = 0x0205,     /* cancels a gesture */
    VX_WM_CAPTURECHANGED = 0x0215 /* cancels a gesture */
};
enum { VX_MK_LBUTTON = 0x0001 };

/* Flags of IGraphicCanvasEx::Destroy. */
enum { VX_DESTROY_FREE = 1 /* free the object's storage too; VX_DestroyGraphicCanvas passes it */ };

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
    virtual int32_t AddRef() = 0;  /* 1: returns the new count */
    virtual int32_t Release() = 0; /* 2: returns the new count; the object goes at 0 */
};

/* A host object attached to a path as its fill object; its third entry gives the fill rule
   (VX_FILL_NONE, VX_FILL_NONZERO, VX_FILL_EVENODD). */
class IVXFillObject : public IVXHostObject {
public:
    virtual int32_t FillRule() = 0; /* 3: read at every hit test of the path */
};

/* The host's callbacks. Never reference counted; it must outlive the canvas. Paths passed
   in are lent (no reference). The library relies only on the results noted; a callback
   must not throw. */
class ICanvasHost {
public:
    /* 1: the part under the mouse (VX_MODE_*, path or null, VX_HIT_*, busy and selected
       flags 0 or 1, angle of the box handle in radians): cursor feedback only. */
    virtual void SetFeedback(int32_t editMode, IVXPath* path, int32_t hitCode, int32_t busy,
                             int32_t selected, double angle) = 0;
    /* 2, 3: a tool gesture or tracking loop starts / ends; always paired. */
    virtual void BeginTracking() = 0;
    virtual void EndTracking() = 0;
    /* 4: a mouse position (screen units) during a gesture, one is always 1; 0 rejects it
       where the caller tests it (template figures, transform tracking, placing). */
    virtual int32_t AcceptTrackPoint(double x, double y, int32_t one) = 0;
    /* 5: maps a screen point to the canvas in place; may snap. */
    virtual void AdjustPoint(double* x, double* y) = 0;
    /* 6: maps a canvas point to the screen in place; the inverse of AdjustPoint. */
    virtual void ToScreen(double* x, double* y) = 0;
    /* 7: the turn, in radians, of the frame in which template figures are drawn. */
    virtual double GetRotation() = 0;
    /* 8: opens a bracket around additions and changes of paths; 13 closes it in the same
       call, whatever was answered inside. */
    virtual void BeginChange() = 0;
    /* 9: non-zero lets a newly drawn path join the canvas; on 0 the canvas releases it. */
    virtual int32_t ApprovePathAdd(IVXPath* path) = 0;
    /* 10: non-zero lets RemovePath take the path off the canvas (it is deselected anyway). */
    virtual int32_t ApprovePathRemove(IVXPath* path) = 0;
    /* 11: non-zero lets an edit of kind VX_CHANGE_* be applied; the matrix by value. */
    virtual int32_t ApprovePathChange(IVXPath* path, int32_t kind, PathTransform matrix) = 0;
    /* 12: an approved change has been applied to the path. */
    virtual void PathChanged(IVXPath* path, int32_t kind) = 0;
    virtual void EndChange() = 0; /* 13 */
    /* 14, 15: a bracket around changes of the selection set, closed in the same call. */
    virtual void BeginSelectionChange() = 0;
    virtual void EndSelectionChange() = 0;
    /* 16: the surface for feedback and refreshes, valid for the operation that asked;
       never released. Null: no gesture or tracking runs and nothing is refreshed. */
    virtual IDrawSurface* GetSurface() = 0;
};

/* The host's drawing surface. Coordinates are canvas coordinates. A rectangle argument is
   four doubles: least x, least y, greatest x, greatest y. Never reference counted. */
class IDrawSurface {
public:
    virtual void MoveTo(double x, double y) = 0; /* 1 */
    virtual void LineTo(double x, double y) = 0; /* 2 */
    virtual void CurveTo(double x1, double y1, double x2, double y2, double x3,
                         double y3) = 0; /* 3 */
    /* 4, 5: never called by this release (stored paths hold no shortened cubics). */
    virtual void CurveToV(double x2, double y2, double x3, double y3) = 0;
    virtual void CurveToY(double x1, double y1, double x3, double y3) = 0;
    /* 6: width and height may be negative. */
    virtual void Rectangle(double x, double y, double width, double height) = 0;
    virtual void ClosePath() = 0; /* 7 */
    /* 8, 9: bracket one figure; the path (lent) or null for feedback shapes. The end value
       is 0 from IVXPath::Draw and 1 from the canvas and the tools; it carries no meaning. */
    virtual void BeginPath(IVXPath* path) = 0;
    virtual void EndPath(IVXPath* path, int32_t endValue) = 0;
    /* 10-15: the overlay of a gesture: Begin, Save once (the token comes back unchanged),
       then per step Restore(old rect), shapes, Show(old and new rect); at the end Drop and
       End. A null rectangle means all of it. */
    virtual void BeginOverlay() = 0;
    virtual void EndOverlay() = 0;
    virtual int32_t SaveOverlay() = 0;
    virtual void RestoreOverlay(int32_t token, const double* rect) = 0;
    virtual void DropOverlay(int32_t token) = 0;
    virtual void ShowOverlay(int32_t token, const double* rect) = 0;
    /* 16: the colour (passed through unchanged) for what follows; the second is always -1. */
    virtual void SetColor(uint32_t color, int32_t minusOne) = 0;
    /* 17: non-zero to have the whole edited figure drawn as feedback, not only its box. */
    virtual int32_t WantsFullFigure(const double* rect) = 0;
    /* 18: repaint; the library always passes four zeros. */
    virtual void Refresh(double x1, double y1, double x2, double y2) = 0;
    /* 19: a mark of type VX_MARK_* centred on (x, y); non-zero when the host drew it, 0 to
       have the library draw it with Rectangle or curves. */
    virtual int32_t DrawMark(double x, double y, double width, double height, int32_t markType) = 0;
};

/* ---- Interfaces handed out by the library ------------------------------------------- */

/* A reference-counted path: nodes, transform, tag, attached host objects and, for paths
   built from a figure template, a private copy of that template. Output pointers are not
   checked. Only paths of this library can be drawn, hit or edited by a canvas. */
class IVXPath {
public:
    virtual int32_t AddRef() = 0;              /* 1: returns the new count */
    virtual int32_t Release() = 0;             /* 2: returns the new count; destroyed at 0 */
    virtual uint32_t SetTag(uint32_t tag) = 0; /* 3: stores and returns the host's tag */
    virtual uint32_t GetTag() = 0;             /* 4 */
    /* 5: appends count nodes (none below 1), rewriting kinds 3, 4, 5 in the caller's array;
       null nodes do nothing. May throw; the nodes appended before stay. */
    virtual void AddNodes(PathNode* nodes, int32_t count) = 0;
    /* 6: one node through AddNodes. May throw. */
    virtual void AddNode(int32_t kind, double x1, double y1, double x2, double y2, double x3,
                         double y3) = 0;
    virtual void ClearNodes() = 0;                 /* 7: the transform and template stay */
    virtual double* GetTransform(double* out) = 0; /* 8: six doubles a-f; returns out */
    virtual const double* SetTransform(const double* in) = 0; /* 9: not checked; returns in */
    /* 10: copies min(max, count) nodes and returns that number; null out or max 0: returns
       the node count; a negative max copies nothing and returns max. */
    virtual int32_t GetNodes(PathNode* out, int32_t max) = 0;
    /* 11: a new reference to a copy (nodes, transform, template, attached objects; not the
       tag); null for a path without nodes. May throw. */
    virtual IVXPath* Clone() = 0;
    /* 12: copies the source's nodes and transform, and its template when withTemplate is
       not 0 (else removes this one's); 0 and nothing changes for a null or empty source.
       The source must be a path of this library. May throw. */
    virtual int32_t CopyFrom(IVXPath* source, int32_t withTemplate) = 0;
    /* 13: describes the outline to the surface in canvas coordinates, BeginPath(this) to
       EndPath(this, 0). */
    virtual void Draw(IDrawSurface* surface) = 0;
    /* 14: the axis-aligned box in canvas coordinates; returns h. For a template figure it
       is the frame without the transform: GetCorners gives its place on the canvas. */
    virtual double* GetBounds(double* x, double* y, double* w, double* h) = 0;
    /* 15: corners top-left, top-right, bottom-left, bottom-right of the box squared up in
       the transform's rotation: where the handles sit. */
    virtual void GetOrientedCorners(double* x1, double* y1, double* x2, double* y2, double* x3,
                                    double* y3, double* x4, double* y4) = 0;
    /* 16: the same four corners of the local box taken through the transform. */
    virtual void GetCorners(double* x1, double* y1, double* x2, double* y2, double* x3, double* y3,
                            double* x4, double* y4) = 0;
    /* 17, 18: the path takes a reference on the new object (null allowed) and releases the
       previous one. */
    virtual void SetUserObject(IVXHostObject* object) = 0;
    virtual void SetFillObject(IVXFillObject* object) = 0;
    /* 19, 20: the attached object or null; no reference added. */
    virtual IVXHostObject* GetUserObject() = 0;
    virtual IVXFillObject* GetFillObject() = 0;
    virtual bool HasTemplate() = 0; /* 21: built from a figure template */
    /* 22: fills a record that VX_CreatePathEx turns into the same figure; false (out
       untouched) without a template. */
    virtual bool GetTemplateInfo(PathCreateParams* out) = 0;
};

/* The ordered selection set of a canvas, owned by the canvas and living as long as it.
   Holds no references: the canvas's list keeps the paths. */
class IVXSelections {
public:
    virtual void Add(IVXPath* path) = 0;         /* 1: appends unless present; may throw */
    virtual int32_t GetCount() = 0;              /* 2 */
    virtual IVXPath* GetAt(int32_t index) = 0;   /* 3: no reference; null out of range */
    virtual int32_t Contains(IVXPath* path) = 0; /* 4: 1 or 0 */
    virtual void Clear() = 0;                    /* 5 */
};

/* A drawing tool, owned by the canvas's registry (one reference per registered name).
   Draw and Place run a modal gesture on the calling thread; hosts reach them through
   IGraphicCanvas::MouseDown and PlaceFigure. */
class IVXFigures {
public:
    virtual int32_t AddRef() = 0;  /* 1 */
    virtual int32_t Release() = 0; /* 2 */
    /* 3: the tool's name, tips and icon, owned by the tool or template (do not free);
       null for a template no longer in the library. */
    virtual FigureInfo* GetInfo(const VXCHAR* name) = 0;
    /* 4: draws into the empty path; true when it wrote the figure. May throw. */
    virtual bool Draw(const VXCHAR* name, double x, double y, ICanvasHost* host,
                      IGraphicCanvas* editor, IVXPath* path) = 0;
    /* 5: places a figure of the given size at the cursor; false at once for the polygon,
       Bezier and free-hand tools. May throw. */
    virtual bool Place(const VXCHAR* name, double x, double y, double width, double height,
                       ICanvasHost* host, IGraphicCanvas* editor, IVXPath* path) = 0;
};

/* A canvas editor, one per drawing area. Points passed in are screen positions. Paths
   passed in are lent for the call; the canvas's list holds one reference per path. */
class IGraphicCanvas {
public:
    virtual void SetEditMode(int32_t mode) = 0; /* 1: VX_MODE_* */
    virtual int32_t GetEditMode() = 0;          /* 2 */
    virtual IVXSelections* GetSelections() = 0; /* 3: owned by the canvas */
    /* 4: the registry takes a reference and drops the one on a tool it replaces; null
       name or tool does nothing. May throw. */
    virtual void RegisterTool(const VXCHAR* name, IVXFigures* tool) = 0;
    /* 5: empty when no tool is active; valid until the name changes. */
    virtual const VXCHAR* GetCurrentToolName() = 0;
    /* 6: whether a tool of that name is registered (the name is kept even when not); null
       or empty: no tool, true. May throw. */
    virtual bool SetCurrentTool(const VXCHAR* name) = 0;
    /* 7: null buffer or capacity <= 0: the number of tools; otherwise fills up to capacity
       records (strings owned by the tools; null ones for a vanished template), returns 0. */
    virtual int32_t GetToolInfos(FigureInfo* buffer, int32_t capacity) = 0;
    /* 8: appends and takes a reference unless already listed or null; the host is not
       asked. May throw. */
    virtual void AddPath(IVXPath* path) = 0;
    /* 9: asks ApprovePathRemove; on consent unlists the path and the list's reference
       passes to the caller, who must Release it. Deselected either way. */
    virtual void RemovePath(IVXPath* path) = 0;
    /* 10: as RemovePath without asking; the caller gets the list's reference. */
    virtual void DetachPath(IVXPath* path) = 0;
    /* 11: rebuilds a template figure from "<Name><(x,y)...>" in its current box; with
       notify, through ApprovePathChange(VX_CHANGE_NODES). False when the name is not a
       loaded template and a tool of this canvas, or for a null path or text. May throw. */
    virtual bool ApplyTemplateText(IVXPath* path, const VXCHAR* text, bool notify) = 0;
    /* 12: the path's template text, up to capacity units without a terminator; returns the
       whole length, 0 when the path has no template. May throw. */
    virtual int32_t GetTemplateText(IVXPath* path, VXCHAR* buffer, int32_t capacity) = 0;
    /* 13: empties the selection (in a bracket when not empty) and releases every path. */
    virtual void ClearPaths() = 0;
    virtual int32_t GetPathCount() = 0; /* 14 */
    /* 15: 0 is the bottom; no reference; null out of range. */
    virtual IVXPath* GetPath(int32_t index) = 0;
    /* 16: outlines and marks of the selected paths in the edit mode's style; the flags
       bracket outlines and marks with BeginPath/EndPath. May throw. */
    virtual void DrawSelection(IDrawSurface* surface, int32_t outline, int32_t handles) = 0;
    /* 17: the VX_HIT_* code at a screen point without changing the hover state; the path
       found (no reference) or null through found when not null. May throw. */
    virtual int32_t HitTest(double x, double y, int32_t selectedOnly, IVXPath** found) = 0;
    /* 18, 19: VX_KEY_CONTROL re-runs MouseMove at the cursor; other keys do nothing.
       May throw. */
    virtual void KeyDown(int32_t key, int32_t unused1, int32_t unused2) = 0;
    virtual void KeyUp(int32_t key, int32_t unused1, int32_t unused2) = 0;
    /* 20: acts on what the last MouseMove found (VX_BUTTON_*): runs a tool gesture or an
       edit's modal loop and returns when it ends. May throw. */
    virtual void MouseDown(double x, double y, int32_t button) = 0;
    /* 21: hover test and SetFeedback; nothing hit, no feedback. May throw. */
    virtual void MouseMove(double x, double y) = 0;
    /* 22: selects what the last MouseMove found (nothing: clears); x, y ignored. May throw. */
    virtual void ClickHovered(double x, double y) = 0;
    /* 23: the current tool places a width x height figure (canvas units) at the cursor and
       runs its modal loop; true when a path was added. May throw. */
    virtual bool PlaceFigure(double width, double height, const VXCHAR* name) = 0;
};

/* The canvas object's whole table: the 23 entries above, then its destroying operation
   (24, called by VX_DestroyGraphicCanvas) and GetToolNames (25). Every IGraphicCanvas the
   library hands out is one of these, so a host may cast to reach GetToolNames. */
class IGraphicCanvasEx : public IGraphicCanvas {
public:
    /* 24: use VX_DestroyGraphicCanvas instead; VX_DESTROY_FREE frees the storage. */
    virtual void Destroy(uint32_t flags) = 0;
    /* 25: every tool name, each zero-terminated, then one more zero; returns the units this
       takes. A null buffer only counts: ask for the length first. */
    virtual int32_t GetToolNames(VXCHAR* buffer) = 0;
};

extern "C" {
#endif /* __cplusplus */

/* ---- Exports (C calling convention, undecorated names) --------------------------- */

#ifdef __cplusplus
/* A canvas bound to the host (not referenced; it must outlive the canvas), node mode, with
   the five built-in tools and one per template loaded now. Null for a null host or when
   memory runs out. */
OSTREL_API IGraphicCanvas* OSTREL_CDECL VX_CreateGraphicCanvas(ICanvasHost* host);
/* Releases the canvas's paths and tools and frees it; the host is not told. Null is
   ignored. Called during a call into the same canvas (from a callback or a window
   procedure), it waits until the outermost such call returns. */
OSTREL_API void OSTREL_CDECL VX_DestroyGraphicCanvas(IGraphicCanvas* canvas);
/* A new reference to an empty path (identity transform, tag 0); null when memory runs
   out. */
OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePath(void);
/* A new reference to a path built from the named template in the record's frame with its
   reference values; null for a null record or an unknown name (exact case). A template
   whose texts do not evaluate still gives a path, with the nodes built before the failure.
   May throw. */
OSTREL_API IVXPath* OSTREL_CDECL VX_CreatePathEx(const PathCreateParams* params);
#endif
/* Loads every *.xml template file of the folder, replacing templates of the same name;
   reports nothing and skips what does not load. Null is ignored. Throws nothing. */
OSTREL_API void OSTREL_CDECL VX_Initial(const VXCHAR* folder);
/* Empties the template library; paths keep their own template copies. */
OSTREL_API void OSTREL_CDECL VX_Release(void);
/* Sets one VX_PARAM_* value for the whole process; another index does nothing. */
OSTREL_API void OSTREL_CDECL VX_SetParameters(int32_t index, double value);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* OSTREL_OSTREL_H */
