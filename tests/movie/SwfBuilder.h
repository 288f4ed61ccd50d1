// Writes small movie files for tests: a bit/byte writer, tag lists for the
// main timeline and sprites, shape and action helpers, and the three
// containers. Header-only; no dependency on the engine beyond its geometry
// types. Everything is written as the file format lays it out, so a test
// can also build deliberately broken files with Raw().
#pragma once

#include "movie/Geometry.h"

#include <lzma.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace swftest {

using Bytes = std::vector<uint8_t>;

// Little-endian bytes and most-significant-first bit fields.
class Writer {
public:
    Writer& U8(uint32_t v) {
        Flush();
        bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Writer& U16(uint32_t v) { return U8(v & 0xff).U8((v >> 8) & 0xff); }
    Writer& U32(uint32_t v) { return U16(v & 0xffff).U16(v >> 16); }
    Writer& S16(int32_t v) { return U16(static_cast<uint16_t>(v)); }
    Writer& Append(const Bytes& b) {
        Flush();
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    Writer& String(const std::string& s) {
        Flush();
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return U8(0);
    }
    Writer& Bits(uint32_t v, int n) {
        for (int i = n - 1; i >= 0; --i) {
            acc_ = static_cast<uint8_t>(acc_ << 1 | ((v >> i) & 1));
            if (++count_ == 8) {
                bytes_.push_back(acc_);
                acc_ = 0;
                count_ = 0;
            }
        }
        return *this;
    }
    Writer& SBits(int32_t v, int n) { return Bits(static_cast<uint32_t>(v) & (n == 32 ? ~0u : (1u << n) - 1), n); }
    // Bits a signed value needs (at least 1).
    static int SBitsFor(std::initializer_list<int32_t> values) {
        int n = 1;
        for (int32_t v : values) {
            int need = 1;
            while (need < 32 && (v < -(1 << (need - 1)) || v >= (1 << (need - 1)))) ++need;
            n = std::max(n, need);
        }
        return n;
    }
    Writer& Flush() {
        if (count_) {
            bytes_.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
            acc_ = 0;
            count_ = 0;
        }
        return *this;
    }
    Writer& Rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
        int n = SBitsFor({xMin, xMax, yMin, yMax});
        Bits(n, 5).SBits(xMin, n).SBits(xMax, n).SBits(yMin, n).SBits(yMax, n);
        return Flush();
    }
    // Scale and rotate parts as 16.16; translation in twips.
    Writer& Matrix(const movie::Matrix& m) {
        auto fx = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
        bool scale = m.a != 1 || m.d != 1;
        Bits(scale, 1);
        if (scale) {
            int n = SBitsFor({fx(m.a), fx(m.d)});
            Bits(n, 5).SBits(fx(m.a), n).SBits(fx(m.d), n);
        }
        bool rotate = m.b != 0 || m.c != 0;
        Bits(rotate, 1);
        if (rotate) {
            int n = SBitsFor({fx(m.b), fx(m.c)});
            Bits(n, 5).SBits(fx(m.b), n).SBits(fx(m.c), n);
        }
        int32_t tx = static_cast<int32_t>(m.tx), ty = static_cast<int32_t>(m.ty);
        int n = (tx || ty) ? SBitsFor({tx, ty}) : 0;
        Bits(n, 5);
        if (n) SBits(tx, n).SBits(ty, n);
        return Flush();
    }
    // Multipliers in 8.8 (256 = 1), additions as they are; with alpha.
    Writer& ColorTransform(int mr, int mg, int mb, int ma, int ar, int ag, int ab, int aa) {
        int n = SBitsFor({mr, mg, mb, ma, ar, ag, ab, aa});
        Bits(1, 1).Bits(1, 1).Bits(n, 4);
        for (int v : {mr, mg, mb, ma, ar, ag, ab, aa}) SBits(v, n);
        return Flush();
    }
    Writer& RGB(movie::RGBA c) { return U8(c.r).U8(c.g).U8(c.b); }
    Writer& RGBA(movie::RGBA c) { return RGB(c).U8(c.a); }

    const Bytes& Data() {
        Flush();
        return bytes_;
    }

private:
    Bytes bytes_;
    uint8_t acc_ = 0;
    int count_ = 0;
};

// Bytes one after another.
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
// Push of a string, and of a 32-bit integer.
inline Bytes PushString(const std::string& s) {
    Bytes b{0x96, uint8_t((s.size() + 2) & 0xff), uint8_t((s.size() + 2) >> 8), 0};
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
    return b;
}
inline Bytes PushInt(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    return {0x96, 5, 0, 7, uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

// Action bytes for DoAction.
namespace action {
inline Bytes Stop() { return {0x07}; }
inline Bytes Play() { return {0x06}; }
inline Bytes NextFrame() { return {0x04}; }
inline Bytes PreviousFrame() { return {0x05}; }
inline Bytes GotoFrame(uint16_t frame) { return {0x81, 2, 0, uint8_t(frame), uint8_t(frame >> 8)}; } // 0-based
inline Bytes GotoLabel(const std::string& label) {
    Bytes b{0x8c, uint8_t((label.size() + 1) & 0xff), uint8_t((label.size() + 1) >> 8)};
    b.insert(b.end(), label.begin(), label.end());
    b.push_back(0);
    return b;
}
// Push of an integer, then GotoFrame2: `frame` is 1-based as scripts write it.
inline Bytes GotoFrame2(int32_t frame, bool play) {
    uint32_t v = static_cast<uint32_t>(frame);
    return {0x96, 5, 0, 7, uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24), 0x9f, 1, 0, uint8_t(play ? 1 : 0)};
}
// Push of a string, then GotoFrame2.
inline Bytes GotoLabel2(const std::string& label, bool play) {
    Bytes b{0x96, uint8_t((label.size() + 2) & 0xff), uint8_t((label.size() + 2) >> 8), 0};
    b.insert(b.end(), label.begin(), label.end());
    b.push_back(0);
    Bytes g{0x9f, 1, 0, uint8_t(play ? 1 : 0)};
    b.insert(b.end(), g.begin(), g.end());
    return b;
}
} // namespace action

enum class Container { Fws, Cws, Zws };

// What a PlaceObject2 says; what is not set is left out of the tag.
//   Placement(2).Character(11).At(m).Name("two")
struct Placement {
    uint16_t depth = 1;
    int characterId = -1; // -1: none
    bool move = false;
    std::optional<movie::Matrix> matrix;
    std::optional<std::array<int, 8>> colorTransform; // multipliers r g b a (8.8), additions r g b a
    int ratio = -1;
    std::string name;
    int clipDepth = -1;

    explicit Placement(uint16_t d) : depth(d) {}
    Placement& Character(uint16_t id) { characterId = id; return *this; }
    Placement& Move() { move = true; return *this; }
    Placement& At(const movie::Matrix& m) { matrix = m; return *this; }
    Placement& Tint(std::array<int, 8> cx) { colorTransform = cx; return *this; }
    Placement& Ratio(uint16_t r) { ratio = r; return *this; }
    Placement& Name(const std::string& n) { name = n; return *this; }
    Placement& Clip(uint16_t upTo) { clipDepth = upTo; return *this; }
};

// A list of tags: the main timeline's or a sprite's.
class TagList {
public:
    TagList& Raw(uint16_t code, const Bytes& body) {
        Writer w;
        if (body.size() < 0x3f && code != 6 && code != 20 && code != 21 && code != 35 && code != 36) {
            w.U16(code << 6 | static_cast<uint16_t>(body.size()));
        } else {
            w.U16(code << 6 | 0x3f).U32(static_cast<uint32_t>(body.size()));
        }
        w.Append(body);
        tags_.Append(w.Data());
        return *this;
    }
    TagList& ShowFrame() { return Raw(1, {}); }
    TagList& End() { return Raw(0, {}); }
    TagList& Background(movie::RGBA c) { return Raw(9, Writer().RGB(c).Data()); }
    TagList& Label(const std::string& name) { return Raw(43, Writer().String(name).Data()); }
    TagList& Actions(std::initializer_list<Bytes> actions) {
        Writer w;
        for (const Bytes& a : actions) w.Append(a);
        return Raw(12, w.U8(0).Data());
    }
    TagList& Remove(uint16_t depth) { return Raw(28, Writer().U16(depth).Data()); }
    TagList& PlaceObject(const Placement& p) {
        Writer w;
        uint8_t flags = (p.move ? 0x01 : 0) | (p.characterId >= 0 ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                        (p.colorTransform ? 0x08 : 0) | (p.ratio >= 0 ? 0x10 : 0) | (!p.name.empty() ? 0x20 : 0) |
                        (p.clipDepth >= 0 ? 0x40 : 0);
        w.U8(flags).U16(p.depth);
        if (p.characterId >= 0) w.U16(p.characterId);
        if (p.matrix) w.Matrix(*p.matrix);
        if (p.colorTransform) {
            const auto& c = *p.colorTransform;
            w.ColorTransform(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
        }
        if (p.ratio >= 0) w.U16(p.ratio);
        if (!p.name.empty()) w.String(p.name);
        if (p.clipDepth >= 0) w.U16(p.clipDepth);
        return Raw(26, w.Data());
    }
    TagList& Place(uint16_t depth, uint16_t id) { return PlaceObject(Placement(depth).Character(id)); }
    TagList& Move(uint16_t depth, const movie::Matrix& m) { return PlaceObject(Placement(depth).Move().At(m)); }
    TagList& Replace(uint16_t depth, uint16_t id) { return PlaceObject(Placement(depth).Character(id).Move()); }

    // DefineShape3: one solid-filled rectangle drawn clockwise (on screen)
    // with its fill on the right side (fill1), optionally outlined.
    TagList& Rectangle(uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1, movie::RGBA color,
                       uint16_t lineWidth = 0) {
        Writer w;
        w.U16(id).Rect(x0, x1, y0, y1);
        w.U8(1).U8(0x00).RGBA(color);                      // one solid fill
        if (lineWidth) w.U8(1).U16(lineWidth).RGBA({0, 0, 0, 255});
        else w.U8(0);
        w.Bits(1, 4).Bits(lineWidth ? 1 : 0, 4);           // fill and line index bits
        int n = Writer::SBitsFor({x0, y0});
        // Style change: move to (x0, y0), fill1 = 1 [, line = 1].
        w.Bits(0, 1).Bits(0, 1).Bits(lineWidth ? 1 : 0, 1).Bits(1, 1).Bits(0, 1).Bits(1, 1);
        w.Bits(n, 5).SBits(x0, n).SBits(y0, n);
        w.Bits(1, 1);
        if (lineWidth) w.Bits(1, 1);
        Line(w, x1 - x0, 0);
        Line(w, 0, y1 - y0);
        Line(w, x0 - x1, 0);
        Line(w, 0, y0 - y1);
        w.Bits(0, 6); // end
        return Raw(32, w.Data());
    }
    // A straight edge record.
    static void Line(Writer& w, int32_t dx, int32_t dy) {
        int n = std::max(2, Writer::SBitsFor({dx, dy}));
        w.Bits(1, 1).Bits(1, 1).Bits(n - 2, 4);
        if (dx && dy) w.Bits(1, 1).SBits(dx, n).SBits(dy, n);
        else if (dx) w.Bits(0, 1).Bits(0, 1).SBits(dx, n);
        else w.Bits(0, 1).Bits(1, 1).SBits(dy, n);
    }
    // A curved edge record.
    static void Curve(Writer& w, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
        int n = std::max(2, Writer::SBitsFor({cdx, cdy, adx, ady}));
        w.Bits(1, 1).Bits(0, 1).Bits(n - 2, 4).SBits(cdx, n).SBits(cdy, n).SBits(adx, n).SBits(ady, n);
    }

    // Sounds. A format byte is codec << 4 | rate code << 2 | 16-bit << 1 | stereo.
    TagList& DefineSound(uint16_t id, uint8_t format, uint32_t samples, const Bytes& data) {
        return Raw(14, Writer().U16(id).U8(format).U32(samples).Append(data).Data());
    }
    // `info` is the sound info record; {0} plays the sound once.
    TagList& StartSound(uint16_t id, const Bytes& info = {0}) { return Raw(15, Writer().U16(id).Append(info).Data()); }
    TagList& StreamHead(uint8_t format, uint16_t samplesPerBlock, int16_t latency = 0) {
        Writer w;
        w.U8(format & 0x0f).U8(format).U16(samplesPerBlock);
        if (format >> 4 == 2) w.S16(latency);
        return Raw(45, w.Data());
    }
    TagList& StreamBlock(const Bytes& data) { return Raw(19, data); }

    TagList& Sprite(uint16_t id, const TagList& inner) {
        Writer w;
        w.U16(id).U16(inner.frames_).Append(inner.tags_.Data() /* copy */);
        return Raw(39, w.U16(0).Data()); // End
    }

    TagList& CountFrame() {
        ++frames_;
        return *this;
    }
    // ShowFrame that also counts toward the header's frame count.
    TagList& Frame() { return ShowFrame().CountFrame(); }

    Bytes TagBytes() const {
        Writer copy = tags_;
        return copy.Data();
    }

protected:
    mutable Writer tags_;
    uint16_t frames_ = 0;
};

class SwfBuilder : public TagList {
public:
    explicit SwfBuilder(uint8_t version = 10, double frameRate = 24, int32_t width = 11000, int32_t height = 8000)
        : version_(version), frameRate_(frameRate), width_(width), height_(height) {}

    Bytes Build(Container container = Container::Fws) const {
        Writer body;
        body.Rect(0, width_, 0, height_).U16(static_cast<uint16_t>(std::lround(frameRate_ * 256))).U16(frames_);
        body.Append(tags_.Data()).U16(0);
        const Bytes& plain = body.Data();
        uint32_t length = static_cast<uint32_t>(plain.size() + 8);
        Writer file;
        switch (container) {
        case Container::Fws: file.U8('F'); break;
        case Container::Cws: file.U8('C'); break;
        case Container::Zws: file.U8('Z'); break;
        }
        file.U8('W').U8('S').U8(version_).U32(length);
        if (container == Container::Fws) return file.Append(plain).Data();
        if (container == Container::Cws) return file.Append(Deflate(plain)).Data();
        auto [props, data] = LzmaRaw(plain);
        return file.U32(static_cast<uint32_t>(data.size())).Append(props).Append(data).Data();
    }

    static Bytes Deflate(const Bytes& in) {
        uLongf size = compressBound(static_cast<uLong>(in.size()));
        Bytes out(size);
        if (compress(out.data(), &size, in.data(), static_cast<uLong>(in.size())) != Z_OK)
            throw std::runtime_error("compress failed");
        out.resize(size);
        return out;
    }

    // LZMA1 data without a header, and its 5 property bytes.
    static std::pair<Bytes, Bytes> LzmaRaw(const Bytes& in) {
        lzma_options_lzma opt;
        lzma_lzma_preset(&opt, 6);
        opt.dict_size = 1 << 16;
        lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
        lzma_stream s = LZMA_STREAM_INIT;
        if (lzma_raw_encoder(&s, filters) != LZMA_OK) throw std::runtime_error("lzma encoder");
        Bytes out(in.size() + in.size() / 2 + 1024);
        s.next_in = in.data();
        s.avail_in = in.size();
        s.next_out = out.data();
        s.avail_out = out.size();
        lzma_ret rc = lzma_code(&s, LZMA_FINISH);
        out.resize(out.size() - s.avail_out);
        lzma_end(&s);
        if (rc != LZMA_STREAM_END) throw std::runtime_error("lzma encode");
        Bytes props(5);
        uint32_t dict = opt.dict_size;
        props[0] = static_cast<uint8_t>((opt.pb * 5 + opt.lp) * 9 + opt.lc);
        std::memcpy(&props[1], &dict, 4);
        return {props, out};
    }

private:
    uint8_t version_;
    double frameRate_;
    int32_t width_, height_;
};

} // namespace swftest
