// The --audio output of swfrender: the mixed sound of a movie's first frames.
#pragma once

#include "movie/Movie.h"

#include <memory>
#include <string>

namespace tools {

// Plays `frames` frames of the movie and writes what they sound like as a
// 44.1 kHz 16-bit stereo WAV file; decoding problems go to standard error.
// Returns the program's exit status.
int WriteMovieWav(std::shared_ptr<const movie::Movie> movie, int frames, const std::string& path);

} // namespace tools
