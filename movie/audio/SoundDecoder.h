// Decodes a movie's sound data into 16-bit samples at the sound's own rate,
// and brings them to the mixer's 44.1 kHz stereo. Data that is cut short or
// corrupt decodes as far as it goes: what is missing is left to the caller
// to fill with silence, and `warning` says what went wrong.
#pragma once

#include "movie/audio/SoundData.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace movie::audio {

// Interleaved 16-bit samples.
struct Pcm {
    int rate = 44100;
    int channels = 1;
    std::vector<int16_t> samples;

    size_t Frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

struct Decoded {
    Pcm pcm;
    std::string warning; // empty when the data decoded cleanly
};

// Uncompressed PCM: 8-bit unsigned or 16-bit signed. 16-bit data of the
// machine-order code is little-endian unless big-endian makes a plainly
// smoother signal (the writer's machine is not recorded).
Decoded DecodePcm(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames);
// ADPCM as the file format packs it: 2-bit code size, then packets of up
// to 4096 samples per channel, each with its own start sample and index.
Decoded DecodeAdpcm(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames);
// MPEG audio frames (no seek-sample prefix), through libmpg123.
Decoded DecodeMp3(std::span<const uint8_t> data, size_t maxFrames);
// The sample frames of the MPEG audio frames that `data` holds, read from
// their headers; a partial last frame does not count.
size_t CountMp3Frames(std::span<const uint8_t> data);

// Any codec of the three; Nellymoser, Speex and unknown codes give nothing
// and a warning that names the codec.
Decoded Decode(const SoundFormat& format, std::span<const uint8_t> data, size_t maxFrames);

// Stereo at 44.1 kHz (mono is doubled), by linear interpolation.
std::vector<int16_t> ToMixRate(const Pcm& pcm, size_t maxFrames);

} // namespace movie::audio
