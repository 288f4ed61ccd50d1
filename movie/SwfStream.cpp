#include "movie/SwfStream.h"

namespace movie {

void SwfStream::Need(size_t n) const {
    if (n > data_.size() - pos_) throw StreamError("data runs past the end of the tag", base_ + pos_);
}

uint8_t SwfStream::U8() {
    Align();
    Need(1);
    return data_[pos_++];
}

uint16_t SwfStream::U16() {
    Align();
    Need(2);
    uint16_t v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
}

uint32_t SwfStream::U32() {
    Align();
    Need(4);
    uint32_t v = uint32_t(data_[pos_]) | uint32_t(data_[pos_ + 1]) << 8 | uint32_t(data_[pos_ + 2]) << 16 |
                 uint32_t(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return v;
}

uint32_t SwfStream::EncodedU32() {
    uint32_t v = 0;
    for (int i = 0; i < 5; ++i) {
        uint8_t b = U8();
        v |= uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return v;
}

float SwfStream::Fixed8() { return S16() / 256.0f; }

double SwfStream::Fixed16() { return static_cast<int32_t>(U32()) / 65536.0; }

std::string SwfStream::String() {
    Align();
    size_t start = pos_;
    while (pos_ < data_.size() && data_[pos_] != 0) ++pos_;
    std::string s(reinterpret_cast<const char*>(data_.data() + start), pos_ - start);
    if (pos_ < data_.size()) ++pos_; // the terminator
    return s;
}

std::span<const uint8_t> SwfStream::Bytes(size_t n) {
    Align();
    Need(n);
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

uint32_t SwfStream::Bits(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
        if (bitCount_ == 0) {
            Need(1);
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        --bitCount_;
        v = (v << 1) | ((bitBuffer_ >> bitCount_) & 1);
    }
    return v;
}

int32_t SwfStream::SignedBits(int n) {
    if (n == 0) return 0;
    uint32_t v = Bits(n);
    if (n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n; // sign extension
    return static_cast<int32_t>(v);
}

Rect SwfStream::ReadRect() {
    Align();
    int n = static_cast<int>(Bits(5));
    Rect r;
    r.xMin = SignedBits(n);
    r.xMax = SignedBits(n);
    r.yMin = SignedBits(n);
    r.yMax = SignedBits(n);
    Align();
    return r;
}

Matrix SwfStream::ReadMatrix() {
    Align();
    Matrix m;
    if (Flag()) {
        int n = static_cast<int>(Bits(5));
        m.a = FixedBits(n);
        m.d = FixedBits(n);
    }
    if (Flag()) {
        int n = static_cast<int>(Bits(5));
        m.b = FixedBits(n);
        m.c = FixedBits(n);
    }
    int n = static_cast<int>(Bits(5));
    m.tx = SignedBits(n);
    m.ty = SignedBits(n);
    Align();
    return m;
}

ColorTransform SwfStream::ReadColorTransform(bool withAlpha) {
    Align();
    ColorTransform cx;
    bool hasAdd = Flag();
    bool hasMult = Flag();
    int n = static_cast<int>(Bits(4));
    auto clampAdd = [](int32_t v) { return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); };
    if (hasMult) {
        cx.multR = SignedBits(n) / 256.0f;
        cx.multG = SignedBits(n) / 256.0f;
        cx.multB = SignedBits(n) / 256.0f;
        if (withAlpha) cx.multA = SignedBits(n) / 256.0f;
    }
    if (hasAdd) {
        cx.addR = clampAdd(SignedBits(n));
        cx.addG = clampAdd(SignedBits(n));
        cx.addB = clampAdd(SignedBits(n));
        if (withAlpha) cx.addA = clampAdd(SignedBits(n));
    }
    Align();
    return cx;
}

RGBA SwfStream::ReadRGB() {
    RGBA c;
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = 255;
    return c;
}

RGBA SwfStream::ReadRGBA() {
    RGBA c = ReadRGB();
    c.a = U8();
    return c;
}

} // namespace movie
