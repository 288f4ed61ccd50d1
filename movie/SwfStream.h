// Bounds-checked reading of the file's little-endian integers, fixed-point
// numbers, strings and bit fields. Reading past the end throws StreamError.
#pragma once

#include "movie/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace movie {

class StreamError : public std::runtime_error {
public:
    StreamError(const std::string& what, size_t offset) : std::runtime_error(what), offset_(offset) {}
    size_t Offset() const { return offset_; }

private:
    size_t offset_;
};

class SwfStream {
public:
    // `base` is the offset of data[0] in the whole file, for messages.
    SwfStream(std::span<const uint8_t> data, size_t base = 0) : data_(data), base_(base) {}

    size_t Position() const { return pos_; }        // within data
    size_t FileOffset() const { return base_ + pos_; }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    std::span<const uint8_t> Data() const { return data_; }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int16_t S16() { return static_cast<int16_t>(U16()); }
    uint32_t EncodedU32();
    float Fixed8();  // 8.8
    double Fixed16(); // 16.16
    std::string String(); // zero-terminated (or to the end of the data)
    std::span<const uint8_t> Bytes(size_t n);
    std::span<const uint8_t> Rest() { return Bytes(Remaining()); }
    void Skip(size_t n) { Bytes(n); }

    // Bit fields, most significant bit first. Byte reads realign first.
    uint32_t Bits(int n);
    int32_t SignedBits(int n);
    double FixedBits(int n) { return SignedBits(n) / 65536.0; } // 16.16 in n bits
    bool Flag() { return Bits(1) != 0; }
    void Align() { bitCount_ = 0; }

    Rect ReadRect();
    Matrix ReadMatrix();
    ColorTransform ReadColorTransform(bool withAlpha);
    RGBA ReadRGB();
    RGBA ReadRGBA();

    [[noreturn]] void Fail(const std::string& what) const { throw StreamError(what, FileOffset()); }

private:
    void Need(size_t n) const;

    std::span<const uint8_t> data_;
    size_t base_;
    size_t pos_ = 0;
    uint8_t bitBuffer_ = 0;
    int bitCount_ = 0;
};

} // namespace movie
