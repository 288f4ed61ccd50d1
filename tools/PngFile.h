// Writes pictures as PNG files: 8-bit RGBA, one IDAT, no ancillary chunks, so the same pixels
// always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// rgba: width x height pixels, top row first, 4 bytes each (R, G, B, A). False when the file
// cannot be written or the buffer does not match the size.
bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width, int height);

} // namespace tools
