// Mixes the sounds of a movie into 44.1 kHz 16-bit stereo: event sounds with
// their in and out points, loops and volume envelopes, and the sound streams
// of the timelines. Commands come from the thread that plays the movie, Mix()
// from the one that feeds the sound device: every call takes the lock.
#pragma once

#include "movie/audio/SoundData.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace movie::audio {

// Interleaved stereo at the mix rate.
using MixSamples = std::shared_ptr<const std::vector<int16_t>>;

class Mixer {
  public:
    static constexpr int kRate = 44100;

    // Starts the event sound `id` as `info` says: a sync stop stops every
    // instance of it instead; with no-multiple it does not start while one plays.
    void StartSound(uint16_t id, MixSamples samples, const SoundInfo& info);
    void StopSound(uint16_t id);
    // Instances of the sound `id` playing.
    size_t Playing(uint16_t id) const;

    // Plays the stream of timeline `instance` from sample frame `position`
    // on, in place of what that timeline played before.
    void PlayStream(uint32_t instance, MixSamples samples, size_t position);
    void StopStream(uint32_t instance);
    // Where the stream of `instance` stands, if it plays.
    std::optional<size_t> StreamPosition(uint32_t instance) const;
    // Stops the streams of every timeline not in `playing`.
    void KeepStreams(const std::vector<uint32_t>& playing);

    void StopAll();
    // Sounds and streams playing.
    size_t Voices() const;

    // Adds `frames` sample frames of the mix to nothing: `out` holds
    // 2 * frames samples afterwards.
    void Mix(int16_t* out, size_t frames);

  private:
    struct Voice {
        bool stream = false;
        uint16_t soundId = 0;  // event sounds
        uint32_t instance = 0; // streams
        MixSamples samples;
        size_t begin = 0, end = 0; // sample frames played of the buffer
        size_t position = 0;       // next frame
        uint32_t loopsLeft = 0;    // further passes after this one
        std::vector<SoundEnvelopePoint> envelope;
    };

    void mixVoice(Voice& voice, int32_t* acc, size_t frames);

    mutable std::mutex lock_;
    std::vector<Voice> voices_;
    std::vector<int32_t> accumulator_;
};

} // namespace movie::audio
