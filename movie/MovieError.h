// The error a movie that cannot be read raises.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace movie {

// what() reads like: "movie.swf: DefineShape3 at byte 1234: fill style count
// beyond the end of the tag". `tag` is empty for errors of the container or
// header; the offset counts bytes of the uncompressed movie (header included).
class MovieError : public std::runtime_error {
public:
    MovieError(const std::string& file, const std::string& tag, uint64_t offset, const std::string& what);

    const std::string& File() const { return file_; }
    const std::string& Tag() const { return tag_; }
    uint64_t Offset() const { return offset_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string file_;
    std::string tag_;
    uint64_t offset_;
    std::string reason_;
};

} // namespace movie
