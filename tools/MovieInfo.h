// The --info report of swfrender.
#pragma once

#include "movie/Movie.h"

#include <ostream>

namespace tools {

// Header, counts of characters by kind, frames, and the skipped tags.
void PrintMovieInfo(const movie::Movie& movie, std::ostream& out);

} // namespace tools
