// Decodes the pixel data of bitmap tags into premultiplied RGBA Bitmaps.
#pragma once

#include "movie/Bitmap.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace movie {

// Image data that cannot be decoded. Exceeding a limit of movie/Limits.h is
// a LimitError instead.
class BitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class BitmapLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class BitmapDecoder {
public:
    // A JPEG stream, optionally preceded by separate tables (DefineBits with
    // JPEGTables). Handles the erroneous FF D9 FF D8 markers old writers put
    // in. Opaque.
    static Bitmap DecodeJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data);
    // A PNG file (DefineBitsJPEG2/3 may hold one instead of a JPEG), through
    // libpng; its own transparency holds.
    static Bitmap DecodePng(std::span<const uint8_t> data);
    // A GIF87a/89a file's first image on its logical screen, transparent
    // where the image does not reach or its transparent index is.
    static Bitmap DecodeGif(std::span<const uint8_t> data);
    // Whichever of JPEG, PNG and GIF the data's signature says; `isJpeg`
    // tells whether an alpha plane may follow it.
    static Bitmap DecodeImage(std::span<const uint8_t> data, bool* isJpeg = nullptr);
    // Applies a zlib-compressed alpha plane (DefineBitsJPEG3/4) to an opaque
    // bitmap. Missing alpha bytes leave pixels opaque.
    static void ApplyAlpha(Bitmap& bitmap, std::span<const uint8_t> zlibAlpha);
    // DefineBitsLossless (`withAlpha` false) or DefineBitsLossless2 (true):
    // `format` 3 (colour-mapped, `colorTableSize` entries), 4 (15 bit) or 5
    // (32 bit), the zlib data after the header.
    static Bitmap DecodeLossless(int format, uint32_t width, uint32_t height, uint32_t colorTableSize,
                                 bool withAlpha, std::span<const uint8_t> zlibData);
    // Refuses dimensions beyond the limits (BitmapLimitError).
    static void CheckSize(uint64_t width, uint64_t height);
    // Inflates at most `limit` bytes; a stream that ends early gives fewer.
    static std::vector<uint8_t> Inflate(std::span<const uint8_t> data, size_t limit);
};

} // namespace movie
