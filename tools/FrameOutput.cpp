// Draws the player's current frame with the engine's renderer and writes it
// as a PNG: through libpng natively, through a small zlib-based encoder in
// the Windows build (which has zlib but not libpng).
#include "tools/FrameOutput.h"

#include "movie/render/Renderer.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

#if NIMBRE_HAVE_LIBPNG
#include <png.h>
#else
#include <zlib.h>
#endif

namespace tools {

namespace {

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

#if NIMBRE_HAVE_LIBPNG
bool WritePng(FILE* f, const std::vector<uint8_t>& rgba, int w, int h) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, rgba.data() + static_cast<size_t>(y) * w * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
#else
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

bool WriteChunk(FILE* f, const char* type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> c;
    Put32(c, static_cast<uint32_t>(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    uLong crc = crc32(0, c.data() + 4, static_cast<uInt>(c.size() - 4));
    Put32(c, static_cast<uint32_t>(crc));
    return std::fwrite(c.data(), 1, c.size(), f) == c.size();
}

bool WritePng(FILE* f, const std::vector<uint8_t>& rgba, int w, int h) {
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::fwrite(sig, 1, 8, f) != 8) return false;
    std::vector<uint8_t> ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(w * 4 + 1) * h);
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const uint8_t* row = rgba.data() + static_cast<size_t>(y) * w * 4;
        raw.insert(raw.end(), row, row + static_cast<size_t>(w) * 4);
    }
    uLongf len = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(len);
    if (compress2(z.data(), &len, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return false;
    z.resize(len);
    return WriteChunk(f, "IHDR", ihdr) && WriteChunk(f, "IDAT", z) && WriteChunk(f, "IEND", {});
}
#endif

} // namespace

int WriteFramePng(const movie::Player& player, const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) {
        movie::Rect stage = player.Stage();
        width = std::max(1, (stage.Width() + movie::kTwipsPerPixel / 2) / movie::kTwipsPerPixel);
        height = std::max(1, (stage.Height() + movie::kTwipsPerPixel / 2) / movie::kTwipsPerPixel);
    }
    movie::render::Renderer renderer;
    renderer.SetThreads(2);
    renderer.Render(player, width, height);
    std::vector<uint8_t> rgba = renderer.FrameRGBA();
    FilePtr f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) {
        std::cerr << "swfrender: cannot create " << path << "\n";
        return 1;
    }
    if (!WritePng(f.get(), rgba, width, height)) {
        std::cerr << "swfrender: writing " << path << " failed\n";
        return 1;
    }
    return 0;
}

} // namespace tools
