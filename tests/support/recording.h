// The recording host and surface of apps/recording under the tests' names (every call becomes
// one text line in a shared log, "MoveTo 96 46", "BeginPath p1", so tests compare whole call
// sequences as lists of lines), and the tests' own helpers: counted host objects and paths
// written as short texts.
#pragma once

#include <cstdint>
#include <string>

#include "ostrel/ostrel.h"
#include "recording/recording.h"

namespace vx::test {

using ostrel_recording::CallLog;
using ostrel_recording::Num;
using ostrel_recording::RecordingHost;
using ostrel_recording::RecordingSurface;

// A host attachment object that counts its references and logs its releases.
class CountedObject : public IVXFillObject {
public:
    CountedObject(CallLog* log, std::string name, int32_t fillRule = VX_FILL_NONE)
        : log_(log), name_(std::move(name)), fillRule_(fillRule) {}
    int32_t AddRef() override { return ++refs; }
    int32_t Release() override;
    int32_t FillRule() override { return fillRule_; }

    int32_t refs = 1;

private:
    CallLog* log_;
    std::string name_;
    int32_t fillRule_;
};

// Builds nodes from a short text: "M x y", "L x y", "C x1 y1 x2 y2 x3 y3", "Z", and
// "N kind x1 y1 x2 y2 x3 y3" for any raw node. Adds them to the path with AddNode.
void AddPathText(IVXPath* path, const char* text);

// The stored nodes of a path in the same notation ("M 0 0 L 10 0 Z"; other kinds as N).
std::string PathText(IVXPath* path);

}  // namespace vx::test
