// The in-memory form of a figure template: elements whose coordinates are expression
// texts over a unit frame, and reference handles whose values are named variables.
//
// A template fresh from the loader has a zero frame; whoever builds from it sets the frame
// first. Paths and tools never keep a library template beyond a call: they keep a clone.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ostrel/ostrel.h"
#include "path/path_template.h"
#include "text/string.h"

namespace vx {

struct TemplateElement {
    uint32_t kind = 0;  // 0 move, 1 line, 2 cubic, 5 rectangle, 6 close
    String coords[6];   // expression texts; the unused ones are empty
};

// One half of a reference: the x or the y axis.
struct ReferenceAxis {
    String value;           // fraction of the frame, a number or an expression
    bool variable = false;  // the file's "type" was something other than "constant"
    String name;            // the variable bound to the value
    String min, max;        // expression texts of the limits
};

struct TemplateReference {
    ReferenceAxis x, y;
};

// Owns its name, tips and icon as system strings, laid out as a FigureInfo so that the
// template-figure tool can hand that record to the host as it is. A path keeps its copy
// as a PathTemplate (template_copy.cpp).
class FigureTemplate final : public PathTemplate {
public:
    FigureTemplate() = default;
    FigureTemplate(const FigureTemplate&) = delete;
    FigureTemplate& operator=(const FigureTemplate&) = delete;
    ~FigureTemplate() override;

    // PathTemplate.
    std::unique_ptr<PathTemplate> Clone() const override;
    Rect Frame() const override;
    void GetInfo(PathCreateParams* out) const override;
    void ReferencePoints(double x, double y, double w, double h,
                         std::vector<double>* out) const override;

    std::vector<TemplateElement> elements;
    std::vector<TemplateReference> references;
    FigureInfo info{nullptr, nullptr, nullptr};  // name, tips, icon (system strings or null)
    double frame[4] = {0, 0, 0, 0};              // left, top, right, bottom

    // Replaces one of the owned strings with a new system string (null clears it).
    void SetName(const VXCHAR* text);
    void SetTips(const VXCHAR* text);
    void SetIcon(const VXCHAR* text);
};

// A copy owned by the caller: elements, references, name and frame; no tips or icon.
FigureTemplate* CloneTemplate(const FigureTemplate& source);

int32_t GetElementCount(const FigureTemplate& figure);
// False for an index below 0 or not below the count, leaving *out unchanged.
bool GetElement(const FigureTemplate& figure, int32_t index, TemplateElement* out);
int32_t GetReferenceCount(const FigureTemplate& figure);
bool GetReference(const FigureTemplate& figure, int32_t index, TemplateReference* out);

// Left, top, right, bottom.
double* GetFrame(const FigureTemplate& figure, double* out);
void SetFrame(FigureTemplate& figure, double left, double top, double right, double bottom);

// Rounds a double to the nearest single-precision value; beyond the float range the result
// is the infinity that IEEE rounding gives (a plain cast would be undefined there).
float NarrowToSingle(double value);

// Writes the value texts of reference index as "%f" of each number after narrowing it to
// single precision (0.1 gives "0.100000", 12345.678 gives "12345.677734"). Texts longer
// than six decimals need are written in full. An index out of range changes nothing.
void SetReferenceValues(FigureTemplate& figure, int32_t index, double x, double y);

// The name, tips and icon fields in this order: the template's FigureInfo, owned by it.
FigureInfo* GetInfoStrings(FigureTemplate& figure);

// The template copy of a path of this library, or null (no template, or another
// implementation's path).
const FigureTemplate* TemplateOf(IVXPath* path);

}  // namespace vx
