// Shared set-up for tool tests: a recording host and surface on one call log, a fresh
// path, default parameters and a scripted event source.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/global_parameters.h"
#include "path/path.h"
#include "support/recording.h"
#include "support/scripted_events.h"
#include "tools/tools.h"

namespace vx::test {

#define REQUIRE_HELD_KEYS()                                                            \
    do {                                                                               \
        if (!::vx::test::ScriptedEvents::CanHoldKeys())                                \
            GTEST_SKIP() << "Shift and Control cannot be held by a script on Windows " \
                            "(the key state of Wine cannot be set)";                   \
    } while (0)

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_parameters = GlobalParameters{};
        path = CVXPath::Create();
        log.Name(path, "p");
    }
    void TearDown() override {
        if (tool) {
            EXPECT_EQ(tool->Release(), 0);
        }
        if (path) {
            EXPECT_EQ(path->Release(), 0);
        }
        g_parameters = GlobalParameters{};
    }

    bool Draw(double x, double y, ICanvasHost* h = nullptr) {
        events.Play();
        return tool->Draw(VXTEXT("tool"), x, y, h ? h : &host, nullptr, path);
    }
    bool Place(double x, double y, double w, double h) {
        events.Play();
        return tool->Place(VXTEXT("tool"), x, y, w, h, &host, nullptr, path);
    }

    std::vector<std::string> Lines(std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    CallLog log;
    RecordingSurface surface{log};
    ScriptedEvents events;
    IVXFigures* tool = nullptr;
    CVXPath* path = nullptr;
    // The recording host, with GetSurface logged too: it opens every gesture.
    class Host : public RecordingHost {
    public:
        Host(CallLog& l, IDrawSurface* s) : RecordingHost(l, s), log(l) {}
        IDrawSurface* GetSurface() override {
            log.Add("GetSurface");
            return RecordingHost::GetSurface();
        }
        CallLog& log;
    } host{log, &surface};
};

// The bracket's lines, as the surface and host receive them with token 7.
inline std::vector<std::string> Opening() {
    return {"GetSurface", "BeginOverlay", "BeginTracking", "SaveOverlay"};
}
inline std::vector<std::string> Finishing() { return {"DropOverlay 7", "EndOverlay", "EndTracking"}; }
inline std::vector<std::string> Cancelling() {
    return {"RestoreOverlay 7 null", "ShowOverlay 7 null", "DropOverlay 7", "EndOverlay",
            "EndTracking"};
}

}  // namespace vx::test
