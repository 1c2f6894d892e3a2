// A host for benchmarks: screen and canvas coincide, every change is approved, and the last
// feedback code is kept so that a benchmark can check that it measured what it meant to;
// calls counts the hover test's calls (ToScreen and SetFeedback).
#pragma once

#include "ostrel/ostrel.h"

namespace bench_support {

class IdentityHost final : public ICanvasHost {
public:
    void SetFeedback(int32_t, IVXPath*, int32_t code, int32_t, int32_t, double) override {
        lastCode = code;
        ++calls;
    }
    void BeginTracking() override {}
    void EndTracking() override {}
    int32_t AcceptTrackPoint(double, double, int32_t) override { return 1; }
    void AdjustPoint(double*, double*) override {}
    void ToScreen(double*, double*) override { ++calls; }
    double GetRotation() override { return 0.0; }
    void BeginChange() override {}
    int32_t ApprovePathAdd(IVXPath*) override { return 1; }
    int32_t ApprovePathRemove(IVXPath*) override { return 1; }
    int32_t ApprovePathChange(IVXPath*, int32_t, PathTransform) override { return 1; }
    void PathChanged(IVXPath*, int32_t) override {}
    void EndChange() override {}
    void BeginSelectionChange() override {}
    void EndSelectionChange() override {}
    IDrawSurface* GetSurface() override { return nullptr; }

    int32_t lastCode = 0;
    int64_t calls = 0;
};

}  // namespace bench_support
