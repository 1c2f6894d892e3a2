// A drawing surface that draws nothing; WantsFullFigure and DrawMark answer `full`.
#pragma once

#include "ostrel/ostrel.h"

class NullSurface final : public IDrawSurface {
public:
    void MoveTo(double, double) override {}
    void LineTo(double, double) override {}
    void CurveTo(double, double, double, double, double, double) override {}
    void CurveToV(double, double, double, double) override {}
    void CurveToY(double, double, double, double) override {}
    void Rectangle(double, double, double, double) override {}
    void ClosePath() override {}
    void BeginPath(IVXPath*) override {}
    void EndPath(IVXPath*, int32_t) override {}
    void BeginOverlay() override {}
    void EndOverlay() override {}
    int32_t SaveOverlay() override { return 1; }
    void RestoreOverlay(int32_t, const double*) override {}
    void DropOverlay(int32_t) override {}
    void ShowOverlay(int32_t, const double*) override {}
    void SetColor(uint32_t, int32_t) override {}
    int32_t WantsFullFigure(const double*) override { return full; }
    void Refresh(double, double, double, double) override {}
    int32_t DrawMark(double, double, double, double, int32_t) override { return full; }
    int32_t full = 0;
};
