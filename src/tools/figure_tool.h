// The object side of every drawing tool: a reference count and, for the built-in tools, a
// FigureInfo of system strings.
//
// Invariants: the count is 1 after construction and the object destroys itself when
// Release brings it to 0. A built-in tool's name is a system string made from its
// registered name; its tips and icon are null. The template-figure tool owns no strings:
// its descriptions belong to the templates. A tool keeps nothing between gestures.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"

namespace vx {

class FigureTool : public IVXFigures {
public:
    int32_t AddRef() override;
    int32_t Release() override;
    // Entry 6 of the table, behind the interface's: frees the object.
    virtual void Destroy(uint32_t flags) = 0;

    // Whether tool is a live tool object of this library (a host may register its own).
    static bool IsOwn(const IVXFigures* tool);

protected:
    FigureTool();
    ~FigureTool();
    FigureTool(const FigureTool&) = delete;
    FigureTool& operator=(const FigureTool&) = delete;

private:
    int32_t refCount_ = 1;
};

class BuiltinFigure : public FigureTool {
public:
    // Built-in tools describe themselves whatever name they are asked with.
    FigureInfo* GetInfo(const VXCHAR* name) override;

protected:
    explicit BuiltinFigure(const VXCHAR* registeredName);
    ~BuiltinFigure();

private:
    FigureInfo info_{nullptr, nullptr, nullptr};
};

// The built-in tools without a placing gesture (polygon, Bezier, free hand).
class DrawOnlyFigure : public BuiltinFigure {
public:
    bool Place(const VXCHAR*, double, double, double, double, ICanvasHost*, IGraphicCanvas*,
               IVXPath*) override {
        return false;
    }

protected:
    using BuiltinFigure::BuiltinFigure;
    ~DrawOnlyFigure() = default;
};

}  // namespace vx
