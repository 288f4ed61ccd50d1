// Reads a movie file into a Movie. All input is treated as untrusted: see
// movie/Limits.h for what a file may ask for.
#pragma once

#include "movie/Movie.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace movie {

class MovieReader {
  public:
    // Reads the file at `path`; throws MovieError (also for a file that
    // cannot be opened).
    static std::shared_ptr<const Movie> Load(const std::string& path);
    // Reads a movie held in memory; `name` names it in messages.
    static std::shared_ptr<const Movie> Read(std::span<const uint8_t> data, const std::string& name);
    // Refuses (MovieError) a file of `size` bytes, larger than any movie the
    // engine reads, before anything is read from it.
    static void CheckFileSize(const std::string& path, uint64_t size);
};

} // namespace movie
