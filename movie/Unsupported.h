// What a movie uses that the engine does not draw or play yet, so a user
// knows why a movie looks wrong.
#pragma once

#include "movie/Movie.h"

#include <string>
#include <vector>

namespace movie {

struct UnsupportedUse {
    std::string what; // "filter: drop shadow", "ActionScript 3 code", ...
    uint32_t count = 0;
    std::string unit; // what is counted: "placements", "tags", "sounds"
};

// In a fixed order: scripts, video, text, sound, blend modes, filters.
std::vector<UnsupportedUse> FindUnsupported(const Movie& movie);

// Whether the renderer draws an object placed with this blend mode or filter.
bool Draws(BlendMode mode);
bool Draws(FilterKind kind);

const char* BlendModeName(BlendMode mode);
const char* FilterName(FilterKind kind);

} // namespace movie
