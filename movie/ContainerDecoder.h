// Unpacks a movie file's container ("FWS", "CWS" zlib, "ZWS" LZMA) into the
// plain movie bytes: the 8-byte file header followed by the uncompressed body.
#pragma once

#include "movie/Movie.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace movie {

class ContainerDecoder {
public:
    // Fills header.compression, version and fileLength; throws MovieError
    // naming `name`. A compressed body that ends before the declared length
    // gives the bytes there are (and a warning in `warnings`).
    static std::vector<uint8_t> Decode(std::span<const uint8_t> file, const std::string& name, Header& header,
                                       std::vector<std::string>& warnings);
};

} // namespace movie
