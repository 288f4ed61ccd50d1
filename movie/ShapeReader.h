// Reads shape tags (DefineShape 1-4, DefineMorphShape 1-2) and glyph
// outlines, turning the file's records into Paths.
#pragma once

#include "movie/MorphShape.h"
#include "movie/Shape.h"
#include "movie/SwfStream.h"

namespace movie {

class ShapeReader {
public:
    // DefineShape `version` (1-4): the stream stands after the character id.
    static Shape ReadShape(SwfStream& in, int version);
    // A glyph's SHAPE record (fill and line bit counts, then the records),
    // filled with one black solid fill.
    static Shape ReadGlyph(SwfStream& in);
    // DefineMorphShape `version` (1-2): the stream stands after the id.
    static MorphShape ReadMorphShape(SwfStream& in, int version);
};

} // namespace movie
