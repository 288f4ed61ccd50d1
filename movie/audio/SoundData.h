// A movie's sounds as the file holds them: event sounds (DefineSound), the
// way a frame starts one (StartSound), and a timeline's sound stream
// (SoundStreamHead and one SoundStreamBlock per frame).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace movie {

enum class SoundCodec : uint8_t {
    PcmNative = 0, // byte order of the machine that wrote it
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormat {
    uint8_t codec = 0;    // SoundCodec, or an unknown code as the file has it
    uint8_t rateCode = 0; // 0: 5.5 kHz, 1: 11 kHz, 2: 22 kHz, 3: 44 kHz
    bool sixteenBit = true;
    bool stereo = false;

    SoundCodec Codec() const { return static_cast<SoundCodec>(codec); }
    // Samples per second per channel (5512 for the 5.5 kHz code).
    int Rate() const;
    int Channels() const { return stereo ? 2 : 1; }
    // PCM, ADPCM and MP3 are decoded; other codecs are skipped.
    bool Playable() const { return codec <= 3; }
    // "ADPCM", "MP3", "PCM", "Nellymoser", ...
    std::string CodecName() const;
    // "ADPCM 22 kHz 16-bit stereo"
    std::string Describe() const;
};

// DefineSound.
struct SoundDefinition {
    uint16_t id = 0;
    SoundFormat format;
    uint32_t sampleCount = 0;  // per channel, as the file says
    std::vector<uint8_t> data; // as the file has it (for MP3: the seek samples, then frames)
};

// A point of a volume envelope: levels 0 to 32768 at a position counted in
// samples at 44.1 kHz from the start of the sound.
struct SoundEnvelopePoint {
    uint32_t position44 = 0;
    uint16_t left = 32768;
    uint16_t right = 32768;
    friend bool operator==(const SoundEnvelopePoint&, const SoundEnvelopePoint&) = default;
};

// How a StartSound plays its sound. Points count samples at 44.1 kHz.
struct SoundInfo {
    bool syncStop = false;   // stop every instance of the sound instead
    bool noMultiple = false; // do not start while it is already playing
    std::optional<uint32_t> inPoint;
    std::optional<uint32_t> outPoint;
    uint16_t loops = 1; // times played in all; 0 as the file has it plays once too
    std::vector<SoundEnvelopePoint> envelope;
};

// StartSound: a frame starts (or stops) an event sound.
struct StartSound {
    uint16_t soundId = 0;
    SoundInfo info;
};

// SoundStreamHead 1-2: the format of a timeline's stream blocks.
struct SoundStreamHead {
    SoundFormat format;
    uint16_t samplesPerBlock = 0; // per frame, as the file says
};

} // namespace movie
