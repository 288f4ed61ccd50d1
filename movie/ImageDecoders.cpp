// PNG (through libpng) and GIF (decoded here: one small LZW stream) images
// found inside JPEG bitmap tags.
#include "movie/BitmapDecoder.h"

#include <png.h>

#include <array>
#include <cstring>

namespace movie {

namespace {

void Premultiply(std::vector<uint8_t>& pixels) {
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        unsigned a = pixels[i + 3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            pixels[i + c] = static_cast<uint8_t>((pixels[i + c] * a + 127) / 255);
    }
}

bool StartsWith(std::span<const uint8_t> data, const char* sig, size_t n) {
    return data.size() >= n && std::memcmp(data.data(), sig, n) == 0;
}

// Reads a GIF's bytes with every read checked against the end.
class GifStream {
  public:
    explicit GifStream(std::span<const uint8_t> d) : d_(d) {}
    uint8_t U8() {
        if (at_ >= d_.size()) throw BitmapError("GIF: data ends early");
        return d_[at_++];
    }
    uint16_t U16() {
        uint16_t lo = U8();
        return static_cast<uint16_t>(lo | U8() << 8);
    }
    std::span<const uint8_t> Bytes(size_t n) {
        if (n > d_.size() - at_) throw BitmapError("GIF: data ends early");
        auto s = d_.subspan(at_, n);
        at_ += n;
        return s;
    }
    bool AtEnd() const { return at_ >= d_.size(); }
    void SkipBlocks() {
        while (uint8_t n = U8())
            Bytes(n);
    }

  private:
    std::span<const uint8_t> d_;
    size_t at_ = 0;
};

// The LZW-coded indices of one image, its sub-blocks joined. Decodes at
// most `count` indices; a stream that ends early leaves the rest at 0xffff
// (drawn transparent).
std::vector<uint16_t> DecodeLzw(GifStream& in, int minCodeSize, size_t count) {
    if (minCodeSize < 2 || minCodeSize > 8) throw BitmapError("GIF: bad LZW code size");
    std::vector<uint8_t> bytes;
    while (uint8_t n = in.U8()) {
        auto b = in.Bytes(n);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    std::vector<uint16_t> out;
    out.reserve(count);
    const int clear = 1 << minCodeSize, stop = clear + 1;
    std::array<uint16_t, 4096> prefix{};
    std::array<uint8_t, 4096> suffix{}, first{};
    std::array<uint16_t, 4096> length{};
    for (int i = 0; i < clear; ++i)
        suffix[i] = first[i] = static_cast<uint8_t>(i), length[i] = 1;
    int codeSize = minCodeSize + 1, next = clear + 2, previous = -1;
    std::vector<uint8_t> string;
    size_t bitAt = 0;
    while (out.size() < count) {
        if (bitAt + codeSize > bytes.size() * 8) break;
        int code = 0;
        for (int i = 0; i < codeSize; ++i, ++bitAt)
            code |= ((bytes[bitAt >> 3] >> (bitAt & 7)) & 1) << i;
        if (code == clear) {
            codeSize = minCodeSize + 1, next = clear + 2, previous = -1;
            continue;
        }
        if (code == stop) break;
        if (previous < 0) {
            if (code >= clear) throw BitmapError("GIF: bad LZW code");
            out.push_back(static_cast<uint16_t>(code));
            previous = code;
            continue;
        }
        int entry;
        if (code < next) {
            if (code >= clear && code < clear + 2) throw BitmapError("GIF: bad LZW code");
            entry = code;
        } else if (code == next) {
            entry = -1; // the previous string plus its own first byte
        } else {
            throw BitmapError("GIF: bad LZW code");
        }
        uint8_t head = entry >= 0 ? first[entry] : first[previous];
        if (next < 4096) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = head;
            first[next] = first[previous];
            length[next] = static_cast<uint16_t>(length[previous] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        int c = entry >= 0 ? entry : next - 1;
        string.resize(length[c]);
        for (int i = length[c] - 1; i >= 0; --i, c = prefix[c])
            string[i] = suffix[c];
        for (uint8_t v : string) {
            if (out.size() == count) break;
            out.push_back(v);
        }
        previous = entry >= 0 ? entry : next - 1;
    }
    out.resize(count, 0xffff);
    return out;
}

} // namespace

Bitmap BitmapDecoder::DecodePng(std::span<const uint8_t> data) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        throw BitmapError(std::string("PNG: ") + image.message);
    struct Guard {
        png_image* image;
        ~Guard() { png_image_free(image); }
    } guard{&image};
    CheckSize(image.width, image.height);
    image.format = PNG_FORMAT_RGBA;
    Bitmap b;
    b.width = image.width;
    b.height = image.height;
    b.pixels.resize(size_t(b.width) * b.height * 4);
    if (!png_image_finish_read(&image, nullptr, b.pixels.data(), 0, nullptr))
        throw BitmapError(std::string("PNG: ") + image.message);
    Premultiply(b.pixels);
    return b;
}

Bitmap BitmapDecoder::DecodeGif(std::span<const uint8_t> data) {
    if (!StartsWith(data, "GIF87a", 6) && !StartsWith(data, "GIF89a", 6))
        throw BitmapError("GIF: no GIF signature");
    GifStream in(data.subspan(6));
    uint16_t screenW = in.U16(), screenH = in.U16();
    uint8_t flags = in.U8();
    in.U8(); // background colour index: the original leaves the screen transparent
    in.U8(); // aspect
    std::span<const uint8_t> globalTable;
    if (flags & 0x80) globalTable = in.Bytes(3u << ((flags & 7) + 1));
    int transparent = -1;
    for (;;) {
        uint8_t block = in.U8();
        if (block == 0x3b) throw BitmapError("GIF: no image");
        if (block == 0x21) {
            uint8_t label = in.U8();
            if (label == 0xf9) {
                uint8_t n = in.U8();
                auto gce = in.Bytes(n);
                if (n >= 4 && (gce[0] & 1)) transparent = gce[3];
                in.SkipBlocks();
            } else {
                in.SkipBlocks();
            }
            continue;
        }
        if (block != 0x2c) throw BitmapError("GIF: unknown block");
        uint16_t left = in.U16(), top = in.U16(), w = in.U16(), h = in.U16();
        uint8_t imageFlags = in.U8();
        std::span<const uint8_t> table = globalTable;
        if (imageFlags & 0x80) table = in.Bytes(3u << ((imageFlags & 7) + 1));
        if (screenW == 0 || screenH == 0) screenW = w, screenH = h;
        CheckSize(screenW, screenH);
        std::vector<uint16_t> indices = DecodeLzw(in, in.U8(), size_t(w) * h);
        Bitmap b;
        b.width = screenW;
        b.height = screenH;
        b.pixels.assign(size_t(screenW) * screenH * 4, 0);
        // Interlaced rows come in four passes.
        std::vector<uint32_t> rows;
        rows.reserve(h);
        if (imageFlags & 0x40) {
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (uint32_t y = kStart[p]; y < h; y += kStep[p])
                    rows.push_back(y);
        } else {
            for (uint32_t y = 0; y < h; ++y)
                rows.push_back(y);
        }
        size_t colours = table.size() / 3;
        for (uint32_t r = 0; r < h; ++r) {
            uint32_t y = top + rows[r];
            if (y >= screenH) continue;
            for (uint32_t x = 0; x < w; ++x) {
                uint16_t index = indices[size_t(r) * w + x];
                if (left + x >= screenW || index >= colours || index == transparent) continue;
                uint8_t* p = &b.pixels[(size_t(y) * screenW + left + x) * 4];
                std::memcpy(p, &table[index * 3], 3);
                p[3] = 255;
            }
        }
        return b;
    }
}

Bitmap BitmapDecoder::DecodeImage(std::span<const uint8_t> data, bool* isJpeg) {
    bool png = StartsWith(data, "\x89PNG\r\n\x1a\n", 8), gif = StartsWith(data, "GIF8", 4);
    if (isJpeg) *isJpeg = !png && !gif;
    if (png) return DecodePng(data);
    if (gif) return DecodeGif(data);
    return DecodeJpeg({}, data);
}

} // namespace movie
