// Shared set-up for tool tests: a recording host and surface on one call log, a fresh
// path, default parameters and a scripted event source.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "path/parameters.h"
#include "path/path.h"
#include "support/recording.h"
#include "support/scripted_events.h"
#include "tools/tools.h"

namespace vx::test {

using Lines = std::vector<std::string>;

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_parameters = GlobalParameters{};
        log.Name(path, "p");
        host.logGetSurface = true;  // it opens every gesture
    }
    void TearDown() override {
        Use(nullptr);
        EXPECT_EQ(path->Release(), 0);
        g_parameters = GlobalParameters{};
    }
    // Replaces the tool under test (the old one must go with its last reference).
    void Use(IVXFigures* (*create)()) {
        if (tool) {
            EXPECT_EQ(tool->Release(), 0);
        }
        tool = create ? create() : nullptr;
    }
    bool Draw(double x, double y, ICanvasHost* h = nullptr) {
        events.Play();
        return tool->Draw(name, x, y, h ? h : &host, nullptr, path);
    }
    bool Place(double x, double y, double w, double h) {
        events.Play();
        return tool->Place(name, x, y, w, h, &host, nullptr, path);
    }
    // A fresh gesture of a new tool on what is scripted.
    bool DrawWith(IVXFigures* (*create)(), double x, double y, ICanvasHost* h = nullptr) {
        Reset();
        Use(create);
        return Draw(x, y, h);
    }
    // What a gesture wrote, after "refused: " when it returned false.
    std::string Got(bool ok) const { return (ok ? "" : "refused: ") + PathText(path); }
    // Starts the next gesture on an empty path and log.
    void Reset() {
        path->ClearNodes();
        log.Clear();
        events.dispatched.clear();
    }
    Lines Tail(size_t n) const { return Lines(log.lines.end() - long(std::min(n, log.lines.size())), log.lines.end()); }

    CallLog log;
    RecordingSurface surface{log};
    ScriptedEvents events;
    IVXFigures* tool = nullptr;
    CVXPath* path = CVXPath::Create();
    const VXCHAR* name = VXTEXT("tool");
    RecordingHost host{log, &surface};
};

// The end of the bracket, as the surface and host receive it with token 7.
inline const Lines kFinishing = {"DropOverlay 7", "EndOverlay", "EndTracking"};

}  // namespace vx::test
