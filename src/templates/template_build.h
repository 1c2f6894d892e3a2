// Placing a template in a frame: the operations that turn a template into path nodes and
// that the editor, the template-figure tool and VX_CreatePathEx share.
#pragma once

#include <cstdint>

#include "ostrel/ostrel.h"
#include "templates/figure_template.h"
#include "text/string.h"

namespace vx {

// The four frame prefixes of coordinate texts: "%f + (%f - %f)*(" for x and y coordinates,
// "(%f - %f)*(" for a rectangle's width and height, made from the frame's four edges
// (left, top, right, bottom) printed once each. A coordinate is evaluated as its prefix,
// its text and ")". The frame enters every coordinate through these texts, so its edges
// act as if rounded to the nearest millionth.
class CoordinatePrefixes {
public:
    explicit CoordinatePrefixes(const double* frame);
    CoordinatePrefixes(const CoordinatePrefixes&) = delete;
    CoordinatePrefixes& operator=(const CoordinatePrefixes&) = delete;

    // The prefix of coordinate k (0 to 5) of an element of this kind.
    StringView For(uint32_t kind, int k) const;

private:
    String all_;
    StringView x_, y_, w_, h_;
};

// Empties path, sets the template's frame (left, top, right, bottom) and appends one node
// per element: each coordinate text is evaluated as the frame edge printed with "%f" plus
// the frame extent times the text, with the references bound as variables. False when a
// reference value or a coordinate does not evaluate: no node is added for a failing
// reference; for a failing coordinate the nodes of the elements before it stay.
bool BuildPathFromTemplate(IVXPath* path, FigureTemplate& figure, const double* frame);

// The drag range of reference index: 0, 1, 0, 1 for an index out of range or when the
// references cannot be bound; otherwise the evaluated min and max texts of the x and of
// the y axis, in that order, up to the first that fails (an empty text is 0).
void GetReferenceLimits(const FigureTemplate& figure, int32_t index, double* minX, double* maxX,
                        double* minY, double* maxY);

}  // namespace vx
