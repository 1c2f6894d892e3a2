// Shared set-up for canvas tests: a canvas on a recording host and surface that share one
// call log (GetSurface logged too), a scripted event source, and paths built from text.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "path/parameters.h"
#include "path/path.h"
#include "support/recording.h"
#include "support/scripted_events.h"
#include "templates/template_library.h"
#include "text/utf.h"

namespace vx::test {

using Lines = std::vector<std::string>;

// Loads the editor's test templates (one figure, "Tab") for the fixture's lifetime.
struct TestTemplates {
    TestTemplates() {
        std::string folder = std::string(OSTREL_TEST_DATA) + "/editor";
#if defined(_WIN32)
        folder = "Z:" + folder;  // under Wine a path from the root needs the drive
#endif
        VX_Initial(text::FromUtf8(folder).c_str());
    }
    ~TestTemplates() { VX_Release(); }
};

class CanvasTest : public ::testing::Test {
protected:
    CanvasTest() {
        host.logGetSurface = true;
        events.onDispatch = [this](uint32_t) { log.onCall ? log.onCall("dispatch") : void(); };
    }
    void SetUp() override { g_parameters = GlobalParameters{}; }
    void TearDown() override {
        if (canvas) VX_DestroyGraphicCanvas(canvas);
        g_parameters = GlobalParameters{};
    }
    // A new canvas on the same host: it knows the templates loaded before it.
    void Renew() {
        if (canvas) VX_DestroyGraphicCanvas(canvas);
        canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
    }
    // A path on the canvas from text ("M 0 0 L 10 0 Z"), logged under name; the canvas holds
    // the only reference.
    IVXPath* Add(const char* text, const std::string& name) {
        IVXPath* path = VX_CreatePath();
        AddPathText(path, text);
        canvas->AddPath(path);
        path->Release();
        log.Name(path, name);
        return path;
    }
    void Select(std::initializer_list<IVXPath*> paths) {
        canvas->GetSelections()->Clear();
        for (IVXPath* p : paths) canvas->GetSelections()->Add(p);
    }
    std::vector<IVXPath*> Selected() {
        std::vector<IVXPath*> out;
        for (int32_t i = 0; i < canvas->GetSelections()->GetCount(); ++i)
            out.push_back(canvas->GetSelections()->GetAt(i));
        return out;
    }
    // Plays what is scripted into a press at (x, y).
    void Press(double x, double y) {
        events.Play();
        canvas->MouseDown(x, y, 1);
    }

    // The host does `act` once, inside its next call whose line starts with `call`
    // ("PathChanged a"), or inside the window procedure of the next message a loop
    // dispatches ("dispatch").
    void During(const std::string& call, const std::function<void()>& act) {
        log.onCall = [call, act, armed = true](const std::string& line) mutable {
            if (armed && line.compare(0, call.size(), call) == 0) armed = false, act();
        };
    }
    // VX_DestroyGraphicCanvas as a host calls it; the log's length at that moment is kept.
    void DestroyCanvas() {
        IGraphicCanvasEx* doomed = canvas;
        canvas = nullptr;
        linesAtDestroy = log.lines.size();
        VX_DestroyGraphicCanvas(doomed);
    }

    CallLog log;
    size_t linesAtDestroy = 0;
    RecordingSurface surface{log};
    RecordingHost host{log, &surface};  // GetSurface logged too
    ScriptedEvents events;
    IGraphicCanvasEx* canvas = static_cast<IGraphicCanvasEx*>(VX_CreateGraphicCanvas(&host));
};

// A canvas that knows the editor's test templates.
class TemplateCanvasTest : public CanvasTest {
protected:
    TemplateCanvasTest() { Renew(); }
    TestTemplates templates;
};

}  // namespace vx::test
