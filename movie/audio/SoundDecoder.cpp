#include "movie/audio/SoundDecoder.h"

#include <mpg123.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace movie {

int SoundFormat::Rate() const {
    static constexpr std::array<int, 4> rates{5512, 11025, 22050, 44100};
    return rates[rateCode & 3];
}

std::string SoundFormat::CodecName() const {
    switch (codec) {
    case 0:
    case 3:
        return "PCM";
    case 1:
        return "ADPCM";
    case 2:
        return "MP3";
    case 4:
    case 5:
    case 6:
        return "Nellymoser";
    case 11:
        return "Speex";
    default:
        return "codec " + std::to_string(codec);
    }
}

std::string SoundFormat::Describe() const {
    static constexpr std::array<const char*, 4> rates{"5.5", "11", "22", "44"};
    std::string text = CodecName();
    if (codec == 0) text += " (machine order)";
    return text + " " + rates[rateCode & 3] + " kHz " + (sixteenBit ? "16-bit" : "8-bit") +
           (stereo ? " stereo" : " mono");
}

namespace audio {

namespace {

// Reads bits most significant first; past the end it reports exhaustion.
class BitReader {
  public:
    explicit BitReader(std::span<const uint8_t> data) : data_(data) {}
    size_t Left() const { return data_.size() * 8 - pos_; }
    uint32_t Bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
            ++pos_;
        }
        return v;
    }
    int32_t SignedBits(int n) {
        uint32_t v = Bits(n);
        return (v & (1u << (n - 1))) ? static_cast<int32_t>(v) - (1 << n) : static_cast<int32_t>(v);
    }

  private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

constexpr std::array<int, 89> kStepTable{
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes by code magnitude, one table per code size (2 to 5 bits).
constexpr int kIndex2[] = {-1, 2};
constexpr int kIndex3[] = {-1, -1, 2, 4};
constexpr int kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexTables[] = {kIndex2, kIndex3, kIndex4, kIndex5};

Pcm EmptyPcm(const SoundFormat& format) {
    Pcm pcm;
    pcm.rate = format.Rate();
    pcm.channels = format.Channels();
    return pcm;
}

} // namespace

Decoded DecodePcm(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames) {
    Decoded out{EmptyPcm(format), {}};
    size_t bytesPerSample = format.sixteenBit ? 2 : 1;
    size_t frames = std::min(data.size() / (bytesPerSample * out.pcm.channels), maxFrames);
    size_t count = frames * out.pcm.channels;
    out.pcm.samples.resize(count);
    if (!format.sixteenBit) {
        for (size_t i = 0; i < count; ++i)
            out.pcm.samples[i] = static_cast<int16_t>((data[i] - 128) * 256);
        return out;
    }
    auto little = [&](size_t i) { return static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8); };
    auto big = [&](size_t i) { return static_cast<int16_t>(data[2 * i] << 8 | data[2 * i + 1]); };
    bool bigEndian = false;
    if (format.Codec() == SoundCodec::PcmNative) {
        // A real signal changes little from one sample to the next in the
        // right byte order and jumps about in the wrong one. Little-endian,
        // as the machines that wrote nearly all files, unless the other order
        // is plainly smoother over enough samples to tell.
        int64_t jumpsLittle = 0, jumpsBig = 0;
        size_t step = out.pcm.channels, probe = std::min<size_t>(count, 16384);
        for (size_t i = step; i < probe; ++i) {
            jumpsLittle += std::abs(little(i) - little(i - step));
            jumpsBig += std::abs(big(i) - big(i - step));
        }
        bigEndian = probe >= 64 * step && jumpsBig * 2 < jumpsLittle;
    }
    for (size_t i = 0; i < count; ++i)
        out.pcm.samples[i] = bigEndian ? big(i) : little(i);
    return out;
}

Decoded DecodeAdpcm(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames) {
    Decoded out{EmptyPcm(format), {}};
    const int channels = out.pcm.channels;
    BitReader in(data);
    if (in.Left() < 2) {
        out.warning = "ADPCM data is empty";
        return out;
    }
    const int bits = static_cast<int>(in.Bits(2)) + 2;
    const int* indexTable = kIndexTables[bits - 2];
    const uint32_t signBit = 1u << (bits - 1);
    int32_t predictor[2] = {0, 0};
    int index[2] = {0, 0};
    size_t frames = 0;
    while (frames < maxFrames && in.Left() >= size_t(22 * channels)) {
        for (int c = 0; c < channels; ++c) {
            predictor[c] = in.SignedBits(16);
            index[c] = static_cast<int>(in.Bits(6));
            if (index[c] > 88) index[c] = 88;
            out.pcm.samples.push_back(static_cast<int16_t>(predictor[c]));
        }
        ++frames;
        for (int n = 1; n < 4096 && frames < maxFrames && in.Left() >= size_t(bits * channels);
             ++n, ++frames) {
            for (int c = 0; c < channels; ++c) {
                uint32_t code = in.Bits(bits);
                int step = kStepTable[index[c]];
                int diff = 0;
                for (uint32_t k = signBit >> 1; k; k >>= 1, step >>= 1)
                    if (code & k) diff += step;
                diff += step;
                predictor[c] =
                    std::clamp(code & signBit ? predictor[c] - diff : predictor[c] + diff, -32768, 32767);
                index[c] = std::clamp(index[c] + indexTable[code & (signBit - 1)], 0, 88);
                out.pcm.samples.push_back(static_cast<int16_t>(predictor[c]));
            }
        }
    }
    return out;
}

namespace {

struct Mp3Frame {
    size_t length = 0;  // bytes, header included
    size_t samples = 0; // per channel
};

// The MPEG audio layer III frame whose header starts at `p`, if it is one.
bool ReadMp3Header(std::span<const uint8_t> data, size_t p, Mp3Frame& frame) {
    if (p + 4 > data.size()) return false;
    uint32_t h =
        uint32_t(data[p]) << 24 | uint32_t(data[p + 1]) << 16 | uint32_t(data[p + 2]) << 8 | data[p + 3];
    if ((h >> 21) != 0x7FF) return false;
    int version = (h >> 19) & 3; // 0: 2.5, 2: 2, 3: 1
    int layer = (h >> 17) & 3;   // 1: layer III
    int bitrateIndex = (h >> 12) & 15;
    int rateIndex = (h >> 10) & 3;
    int padding = (h >> 9) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    static constexpr int kBitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr int kBitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static constexpr int kRates[] = {44100, 48000, 32000};
    int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    int bitrate = (version == 3 ? kBitrates1 : kBitrates2)[bitrateIndex] * 1000;
    frame.samples = version == 3 ? 1152 : 576;
    frame.length = size_t((version == 3 ? 144 : 72) * bitrate / rate + padding);
    return true;
}

std::once_flag mpg123Ready;

struct Mpg123Deleter {
    void operator()(mpg123_handle* h) const { mpg123_delete(h); }
};

} // namespace

size_t CountMp3Frames(std::span<const uint8_t> data) {
    size_t samples = 0, p = 0;
    Mp3Frame frame;
    while (p + 4 <= data.size()) {
        if (!ReadMp3Header(data, p, frame)) {
            ++p; // not a frame here: look for the next one
            continue;
        }
        if (p + frame.length > data.size()) break;
        samples += frame.samples;
        p += frame.length;
    }
    return samples;
}

Decoded DecodeMp3(std::span<const uint8_t> data, size_t maxFrames) {
    Decoded out;
    std::call_once(mpg123Ready, [] { mpg123_init(); });
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, Mpg123Deleter> h(mpg123_new(nullptr, &error));
    if (!h) {
        out.warning = "the MP3 decoder cannot start";
        return out;
    }
    mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(h.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(h.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(h.get()) != MPG123_OK ||
        (!data.empty() && mpg123_feed(h.get(), data.data(), data.size()) != MPG123_OK)) {
        out.warning = "the MP3 decoder refuses the data";
        return out;
    }
    std::vector<int16_t> buffer(8192);
    bool formatKnown = false;
    int idle = 0;
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(h.get(), buffer.data(), buffer.size() * sizeof(int16_t), &done);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(h.get(), &rate, &channels, &encoding);
            if (!formatKnown) {
                out.pcm.rate = static_cast<int>(rate);
                out.pcm.channels = std::clamp(channels, 1, 2);
                formatKnown = true;
            }
            continue;
        }
        size_t count = done / sizeof(int16_t);
        out.pcm.samples.insert(out.pcm.samples.end(), buffer.begin(),
                               buffer.begin() + static_cast<ptrdiff_t>(count));
        if (out.pcm.Frames() >= maxFrames) {
            out.pcm.samples.resize(maxFrames * out.pcm.channels);
            break;
        }
        if (result == MPG123_NEED_MORE || result == MPG123_DONE) break;
        if (result != MPG123_OK) {
            out.warning = std::string("MP3 data is corrupt (") + mpg123_plain_strerror(result) + ")";
            break;
        }
        idle = count ? 0 : idle + 1;
        if (idle > 64) break; // the decoder makes no progress
    }
    if (out.pcm.samples.size() % out.pcm.channels) out.pcm.samples.pop_back();
    return out;
}

Decoded Decode(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames) {
    switch (format.codec) {
    case 0:
    case 3:
        return DecodePcm(format, data, maxFrames);
    case 1:
        return DecodeAdpcm(format, data, maxFrames);
    case 2:
        return DecodeMp3(data, maxFrames);
    default:
        return Decoded{EmptyPcm(format), format.CodecName() + " sound is not supported"};
    }
}

std::vector<int16_t> ToMixRate(const Pcm& pcm, size_t maxFrames) {
    std::vector<int16_t> out;
    size_t frames = pcm.Frames();
    if (frames == 0 || pcm.rate <= 0) return out;
    // The 5.5 kHz code means an eighth of 44.1 kHz exactly.
    double rate = pcm.rate == 5512 ? 5512.5 : pcm.rate;
    auto at = [&](size_t frame, int channel) {
        return pcm.samples[frame * pcm.channels + std::min(channel, pcm.channels - 1)];
    };
    if (rate == 44100) {
        size_t n = std::min(frames, maxFrames);
        out.resize(n * 2);
        for (size_t i = 0; i < n; ++i) {
            out[2 * i] = at(i, 0);
            out[2 * i + 1] = at(i, 1);
        }
        return out;
    }
    size_t n = std::min<size_t>(static_cast<size_t>(std::ceil(frames * 44100.0 / rate)), maxFrames);
    out.resize(n * 2);
    // Source position in 32.32 fixed point.
    const uint64_t step = static_cast<uint64_t>(rate / 44100.0 * 4294967296.0 + 0.5);
    uint64_t pos = 0;
    for (size_t i = 0; i < n; ++i, pos += step) {
        size_t a = std::min<size_t>(pos >> 32, frames - 1);
        size_t b = std::min(a + 1, frames - 1);
        int32_t frac = static_cast<int32_t>((pos >> 16) & 0xFFFF);
        for (int c = 0; c < 2; ++c) {
            int32_t x = at(a, c), y = at(b, c);
            out[2 * i + c] = static_cast<int16_t>(x + ((int64_t(y - x) * frac) >> 16));
        }
    }
    return out;
}

} // namespace audio
} // namespace movie
