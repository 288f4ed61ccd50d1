#include "movie/render/FilterRecords.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace movie::render {

namespace {

class Bytes {
  public:
    explicit Bytes(const std::vector<uint8_t>& data) : data_(data) {}
    bool Ok() const { return ok_; }
    size_t Left() const { return data_.size() - std::min(pos_, data_.size()); }
    void Fail() { ok_ = false; }
    uint8_t U8() {
        if (pos_ >= data_.size()) {
            ok_ = false;
            return 0;
        }
        return data_[pos_++];
    }
    uint32_t U32() {
        uint32_t v = U8();
        v |= uint32_t(U8()) << 8;
        v |= uint32_t(U8()) << 16;
        return v | uint32_t(U8()) << 24;
    }
    // RGBA in the file, 0xAARRGGBB here.
    raster::Argb Color() {
        uint32_t r = U8(), g = U8(), b = U8(), a = U8();
        return a << 24 | r << 16 | g << 8 | b;
    }
    float Fixed() { return static_cast<float>(static_cast<int32_t>(U32()) / 65536.0); }
    float Fixed8() {
        uint32_t v = U8();
        v |= uint32_t(U8()) << 8;
        return static_cast<float>(static_cast<int16_t>(v) / 256.0);
    }
    float Float() {
        float f = std::bit_cast<float>(U32());
        return std::isfinite(f) ? f : 0.0f;
    }

  private:
    const std::vector<uint8_t>& data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutColor(std::vector<uint8_t>& out, raster::Argb c) {
    out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
}
int32_t ToFixed(float v, double one) {
    double x = std::isfinite(v) ? std::round(v * one) : 0;
    return static_cast<int32_t>(std::clamp(x, -2147483648.0, 2147483647.0));
}
void PutFixed(std::vector<uint8_t>& out, float v) {
    PutU32(out, static_cast<uint32_t>(ToFixed(v, 65536)));
}
void PutFixed8(std::vector<uint8_t>& out, float v) {
    int32_t f = std::clamp(ToFixed(v, 256), -32768, 32767);
    out.push_back(static_cast<uint8_t>(f));
    out.push_back(static_cast<uint8_t>(f >> 8));
}
void PutFloat(std::vector<uint8_t>& out, float v) {
    PutU32(out, std::bit_cast<uint32_t>(v));
}

} // namespace

std::optional<raster::FilterSpec> DecodeFilter(const Filter& record) {
    raster::FilterSpec f;
    f.type = record.kind;
    Bytes in(record.data);
    auto shadowFlags = [&](bool bevel) {
        uint8_t flags = in.U8();
        f.inner = flags & 0x80;
        f.knockout = flags & 0x40;
        f.hideObject = !(flags & 0x20);
        if (bevel) f.hideObject = false;
        f.onTop = bevel && (flags & 0x10);
        f.passes = bevel ? flags & 0x0F : flags & 0x1F;
    };
    switch (record.kind) {
    case FilterKind::DropShadow:
        f.color = in.Color();
        f.blurX = in.Fixed();
        f.blurY = in.Fixed();
        f.angle = in.Fixed();
        f.distance = in.Fixed();
        f.strength = in.Fixed8();
        shadowFlags(false);
        break;
    case FilterKind::Blur:
        f.blurX = in.Fixed();
        f.blurY = in.Fixed();
        f.passes = in.U8() >> 3;
        break;
    case FilterKind::Glow:
        f.color = in.Color();
        f.blurX = in.Fixed();
        f.blurY = in.Fixed();
        f.strength = in.Fixed8();
        shadowFlags(false);
        f.hideObject = false;
        break;
    case FilterKind::Bevel:
        f.highlight = in.Color();
        f.color = in.Color();
        f.blurX = in.Fixed();
        f.blurY = in.Fixed();
        f.angle = in.Fixed();
        f.distance = in.Fixed();
        f.strength = in.Fixed8();
        shadowFlags(true);
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        const uint8_t n = in.U8();
        std::vector<raster::Argb> colors(n);
        for (auto& c : colors)
            c = in.Color();
        for (uint8_t i = 0; i < n; ++i) {
            raster::Argb c = colors[i];
            f.stops.push_back({in.U8(), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
        }
        f.blurX = in.Fixed();
        f.blurY = in.Fixed();
        f.angle = in.Fixed();
        f.distance = in.Fixed();
        f.strength = in.Fixed8();
        shadowFlags(true);
        break;
    }
    case FilterKind::Convolution: {
        f.matrixX = in.U8();
        f.matrixY = in.U8();
        f.divisor = in.Float();
        f.bias = in.Float();
        // The cells, the default colour and the flags.
        const size_t cells = static_cast<size_t>(f.matrixX) * f.matrixY;
        if (in.Left() < cells * 4 + 5) {
            in.Fail();
            break;
        }
        f.matrix.resize(cells);
        for (float& v : f.matrix)
            v = in.Float();
        f.defaultColor = in.Color();
        const uint8_t flags = in.U8();
        f.clamp = flags & 0x02;
        f.preserveAlpha = flags & 0x01;
        break;
    }
    case FilterKind::ColorMatrix:
        for (float& v : f.colorMatrix)
            v = in.Float();
        break;
    }
    if (!in.Ok()) return std::nullopt;
    return f;
}

raster::FilterList DecodeFilters(const std::vector<Filter>& records) {
    std::vector<raster::FilterSpec> specs;
    for (const Filter& r : records)
        if (auto spec = DecodeFilter(r)) specs.push_back(std::move(*spec));
    return raster::FilterList(std::move(specs));
}

Filter EncodeFilter(const raster::FilterSpec& f) {
    Filter r;
    r.kind = f.type;
    auto& out = r.data;
    const uint8_t passes = static_cast<uint8_t>(std::clamp(f.passes, 0, 31));
    auto flags = [&](bool bevel) {
        uint8_t v = (f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.hideObject && !bevel ? 0 : 0x20);
        if (bevel) return static_cast<uint8_t>(v | (f.onTop ? 0x10 : 0) | std::min<uint8_t>(passes, 15));
        return static_cast<uint8_t>(v | passes);
    };
    switch (f.type) {
    case FilterKind::DropShadow:
        PutColor(out, f.color);
        for (float v : {f.blurX, f.blurY, f.angle, f.distance})
            PutFixed(out, v);
        PutFixed8(out, f.strength);
        out.push_back(flags(false));
        break;
    case FilterKind::Blur:
        PutFixed(out, f.blurX);
        PutFixed(out, f.blurY);
        out.push_back(static_cast<uint8_t>(passes << 3));
        break;
    case FilterKind::Glow:
        PutColor(out, f.color);
        PutFixed(out, f.blurX);
        PutFixed(out, f.blurY);
        PutFixed8(out, f.strength);
        out.push_back(flags(false));
        break;
    case FilterKind::Bevel:
        PutColor(out, f.highlight);
        PutColor(out, f.color);
        for (float v : {f.blurX, f.blurY, f.angle, f.distance})
            PutFixed(out, v);
        PutFixed8(out, f.strength);
        out.push_back(flags(true));
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        const size_t n = std::min<size_t>(f.stops.size(), 255);
        out.push_back(static_cast<uint8_t>(n));
        for (size_t i = 0; i < n; ++i) {
            const auto& s = f.stops[i];
            out.insert(out.end(), {s.r, s.g, s.b, s.a});
        }
        for (size_t i = 0; i < n; ++i)
            out.push_back(static_cast<uint8_t>(std::clamp(f.stops[i].ratio, 0, 255)));
        for (float v : {f.blurX, f.blurY, f.angle, f.distance})
            PutFixed(out, v);
        PutFixed8(out, f.strength);
        out.push_back(flags(true));
        break;
    }
    case FilterKind::Convolution: {
        const int x = std::clamp(f.matrixX, 0, 255), y = std::clamp(f.matrixY, 0, 255);
        const bool fits = f.matrix.size() == static_cast<size_t>(x) * y;
        out.push_back(static_cast<uint8_t>(fits ? x : 0));
        out.push_back(static_cast<uint8_t>(fits ? y : 0));
        PutFloat(out, f.divisor);
        PutFloat(out, f.bias);
        if (fits)
            for (float v : f.matrix)
                PutFloat(out, v);
        PutColor(out, f.defaultColor);
        out.push_back(static_cast<uint8_t>((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0)));
        break;
    }
    case FilterKind::ColorMatrix:
        for (float v : f.colorMatrix)
            PutFloat(out, v);
        break;
    }
    return r;
}

} // namespace movie::render
