#include "tools/PngFile.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace tools {

namespace {

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    for (int s = 24; s >= 0; s -= 8)
        v.push_back(static_cast<std::uint8_t>(x >> s));
}

bool WriteChunk(FILE* f, const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> c;
    Put32(c, static_cast<std::uint32_t>(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    const uLong crc = crc32(0, c.data() + 4, static_cast<uInt>(c.size() - 4));
    Put32(c, static_cast<std::uint32_t>(crc));
    return std::fwrite(c.data(), 1, c.size(), f) == c.size();
}

} // namespace

bool WritePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width, int height) {
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4) return false;
    std::vector<std::uint8_t> ihdr;
    Put32(ihdr, static_cast<std::uint32_t>(width));
    Put32(ihdr, static_cast<std::uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    // Each row after a filter byte of 0 (none).
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<std::uint8_t> raw;
    raw.reserve((stride + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const std::uint8_t* row = rgba.data() + stride * y;
        raw.insert(raw.end(), row, row + stride);
    }
    uLongf len = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> z(len);
    if (compress2(z.data(), &len, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
    z.resize(len);
    FilePtr f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return std::fwrite(signature, 1, 8, f.get()) == 8 && WriteChunk(f.get(), "IHDR", ihdr) &&
           WriteChunk(f.get(), "IDAT", z) && WriteChunk(f.get(), "IEND", {}) && std::fflush(f.get()) == 0;
}

} // namespace tools
