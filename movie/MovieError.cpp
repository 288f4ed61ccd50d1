#include "movie/MovieError.h"

namespace movie {

namespace {

std::string Compose(const std::string& file, const std::string& tag, uint64_t offset, const std::string& what) {
    std::string s = file + ": ";
    if (!tag.empty()) s += tag + " ";
    s += "at byte " + std::to_string(offset) + ": " + what;
    return s;
}

} // namespace

MovieError::MovieError(const std::string& file, const std::string& tag, uint64_t offset, const std::string& what)
    : std::runtime_error(Compose(file, tag, offset, what)), file_(file), tag_(tag), offset_(offset), reason_(what) {}

} // namespace movie
