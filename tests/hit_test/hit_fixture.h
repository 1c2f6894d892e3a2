// Shared set-up for hit tests: a path, a host whose ToScreen scales and shifts, a selection
// set and the context that hands both to HitTestPath.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/selections.h"
#include "interface/global_parameters.h"
#include "path/hit_test.h"
#include "path/path.h"
#include "support/recording.h"

namespace vx::test {

// Counts the ToScreen calls, which shows whether a hit test got past its box test.
class CountingHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;
    void ToScreen(double* x, double* y) override {
        ++toScreenCalls;
        RecordingHost::ToScreen(x, y);
    }
    int toScreenCalls = 0;
};

// Sends standard output (the curve code's diagnostic lines) to a capture that is dropped.
class CaptureOutput {
public:
    CaptureOutput() { ::testing::internal::CaptureStdout(); }
    ~CaptureOutput() { ::testing::internal::GetCapturedStdout(); }
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;
};

// The flattened outline of a path in path space: kind, then its points.
inline std::vector<double> Outline(const char* text, int32_t* count) {
    CVXPath* p = CVXPath::Create();
    AddPathText(p, text);
    std::vector<double> list;
    for (int32_t i = 0; i < p->NodeCount(); ++i) {
        const PathNode& n = *p->NodeAt(i);
        list.push_back(n.kind);
        if (n.kind == VX_NODE_MOVE || n.kind == VX_NODE_LINE) {
            list.insert(list.end(), {n.x1, n.y1});
        } else if (n.kind == VX_NODE_CUBIC) {
            list.insert(list.end(), {n.x1, n.y1, n.x2, n.y2, n.x3, n.y3});
        }
    }
    *count = p->NodeCount();
    p->Release();
    return list;
}

// A hit code and the part index written beside it.
struct Answer {
    int32_t code;
    int32_t part;
    bool operator==(const Answer& o) const { return code == o.code && part == o.part; }
};

inline std::ostream& operator<<(std::ostream& out, const Answer& a) {
    return out << "{code " << a.code << ", part " << a.part << "}";
}

class HitTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_parameters = GlobalParameters{};
        path = CVXPath::Create();
        ::testing::internal::CaptureStdout();  // the curve code's diagnostic lines
    }
    void TearDown() override {
        ::testing::internal::GetCapturedStdout();
        path->SetFillObject(nullptr);
        EXPECT_EQ(path->Release(), 0);
        g_parameters = GlobalParameters{};
    }

    Answer Hit(double x, double y, int32_t mode = 1) {
        Answer a{0, 12345};
        a.code = path->HitTestPath(&context, x, y, mode, &a.part);
        return a;
    }
    void Select() { selections.Add(path); }
    void SetTransform(PathTransform t) { path->SetTransform(&t.a); }
    void Fill(int32_t rule) {
        fill = CountedObject(nullptr, "fill", rule);
        path->SetFillObject(&fill);
    }

    CVXPath* path = nullptr;
    CallLog log;
    RecordingSurface surface{log};
    CountingHost host{log, &surface};
    CVXSelections selections;
    HostSelectionContext context{&host, &selections};
    CountedObject fill{nullptr, "fill"};
};

}  // namespace vx::test
