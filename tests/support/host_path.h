// A path of the host's own: every call goes through the interface to a library path inside,
// so the library cannot recognise it as one of its own and must read and change it as a
// host's.
#pragma once

#include "path/path.h"

namespace vx::test {

class HostPath final : public IVXPath {
public:
    ~HostPath() { p->Release(); }
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override { return --refs; }
    uint32_t SetTag(uint32_t t) override { return p->SetTag(t); }
    uint32_t GetTag() override { return p->GetTag(); }
    void AddNodes(PathNode* n, int32_t c) override { p->AddNodes(n, c); }
    void AddNode(int32_t k, double a, double b, double c, double d, double e, double f) override {
        p->AddNode(k, a, b, c, d, e, f);
    }
    void ClearNodes() override { p->ClearNodes(); }
    double* GetTransform(double* o) override { return p->GetTransform(o); }
    const double* SetTransform(const double* i) override { return p->SetTransform(i); }
    int32_t GetNodes(PathNode* o, int32_t m) override { return p->GetNodes(o, m); }
    IVXPath* Clone() override { return p->Clone(); }
    int32_t CopyFrom(IVXPath* s, int32_t t) override { return p->CopyFrom(s, t); }
    void Draw(IDrawSurface* s) override { p->Draw(s); }
    double* GetBounds(double* x, double* y, double* w, double* h) override { return p->GetBounds(x, y, w, h); }
    void GetOrientedCorners(double* a, double* b, double* c, double* d, double* e, double* f, double* g,
                            double* h) override {
        p->GetOrientedCorners(a, b, c, d, e, f, g, h);
    }
    void GetCorners(double* a, double* b, double* c, double* d, double* e, double* f, double* g, double* h) override {
        p->GetCorners(a, b, c, d, e, f, g, h);
    }
    void SetUserObject(IVXHostObject* o) override { p->SetUserObject(o); }
    void SetFillObject(IVXFillObject* o) override { p->SetFillObject(o); }
    IVXHostObject* GetUserObject() override { return p->GetUserObject(); }
    IVXFillObject* GetFillObject() override { return p->GetFillObject(); }
    bool HasTemplate() override { return claims_template || p->HasTemplate(); }
    bool GetTemplateInfo(PathCreateParams* o) override { return p->GetTemplateInfo(o); }

    CVXPath* p = CVXPath::Create();
    int32_t refs = 1;
    bool claims_template = false;  // a host may say so; the library has no template to read
};

}  // namespace vx::test
