// Morph shapes (DefineMorphShape 1-2): a start and an end shape of the same
// structure, shown in between according to a placement's ratio.
#pragma once

#include "movie/Shape.h"

#include <cstdint>

namespace movie {

// `start` and `end` have the same groups (one), the same styles (differing
// only in their values) and the same paths with the same number and kind of
// segments: a straight edge that faces a curve in the other shape is stored
// as a curve with its control point at the middle of the edge. So they can
// be blended element by element.
struct MorphShape {
    Shape start;
    Shape end;

    // The shape at `ratio` (0 = start, 65535 = end), blended linearly.
    Shape At(uint16_t ratio) const;
};

} // namespace movie
