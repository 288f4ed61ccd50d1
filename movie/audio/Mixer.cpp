#include "movie/audio/Mixer.h"

#include <algorithm>

namespace movie::audio {

namespace {

size_t FrameCount(const MixSamples& s) {
    return s ? s->size() / 2 : 0;
}

// The envelope's levels (0 to 32768) at `position`: linear between points,
// the first point's before it, the last one's after.
void EnvelopeAt(const std::vector<SoundEnvelopePoint>& envelope, size_t position, int32_t& left,
                int32_t& right) {
    if (position <= envelope.front().position44) {
        left = envelope.front().left;
        right = envelope.front().right;
        return;
    }
    for (size_t i = 1; i < envelope.size(); ++i) {
        const SoundEnvelopePoint &a = envelope[i - 1], &b = envelope[i];
        if (position >= b.position44) continue;
        int64_t span = int64_t(b.position44) - a.position44, into = int64_t(position) - a.position44;
        left = static_cast<int32_t>(a.left + (int64_t(b.left) - a.left) * into / span);
        right = static_cast<int32_t>(a.right + (int64_t(b.right) - a.right) * into / span);
        return;
    }
    left = envelope.back().left;
    right = envelope.back().right;
}

} // namespace

void Mixer::StartSound(uint16_t id, MixSamples samples, const SoundInfo& info) {
    std::lock_guard guard(lock_);
    if (info.syncStop) {
        std::erase_if(voices_, [&](const Voice& v) { return !v.stream && v.soundId == id; });
        return;
    }
    if (info.noMultiple && std::any_of(voices_.begin(), voices_.end(),
                                       [&](const Voice& v) { return !v.stream && v.soundId == id; }))
        return;
    Voice v;
    v.soundId = id;
    size_t frames = FrameCount(samples);
    v.end = std::min<size_t>(info.outPoint.value_or(frames), frames);
    v.begin = std::min<size_t>(info.inPoint.value_or(0), v.end);
    if (v.begin == v.end) return;
    v.samples = std::move(samples);
    v.position = v.begin;
    v.loopsLeft = info.loops > 1 ? info.loops - 1u : 0u;
    v.envelope = info.envelope;
    voices_.push_back(std::move(v));
}

void Mixer::StopSound(uint16_t id) {
    std::lock_guard guard(lock_);
    std::erase_if(voices_, [&](const Voice& v) { return !v.stream && v.soundId == id; });
}

size_t Mixer::Playing(uint16_t id) const {
    std::lock_guard guard(lock_);
    return static_cast<size_t>(std::count_if(voices_.begin(), voices_.end(),
                                             [&](const Voice& v) { return !v.stream && v.soundId == id; }));
}

void Mixer::PlayStream(uint32_t instance, MixSamples samples, size_t position) {
    std::lock_guard guard(lock_);
    std::erase_if(voices_, [&](const Voice& v) { return v.stream && v.instance == instance; });
    size_t frames = FrameCount(samples);
    if (position >= frames) return;
    Voice v;
    v.stream = true;
    v.instance = instance;
    v.samples = std::move(samples);
    v.begin = v.position = position;
    v.end = frames;
    voices_.push_back(std::move(v));
}

void Mixer::StopStream(uint32_t instance) {
    std::lock_guard guard(lock_);
    std::erase_if(voices_, [&](const Voice& v) { return v.stream && v.instance == instance; });
}

std::optional<size_t> Mixer::StreamPosition(uint32_t instance) const {
    std::lock_guard guard(lock_);
    for (const Voice& v : voices_)
        if (v.stream && v.instance == instance) return v.position;
    return std::nullopt;
}

void Mixer::KeepStreams(const std::vector<uint32_t>& playing) {
    std::lock_guard guard(lock_);
    std::erase_if(voices_, [&](const Voice& v) {
        return v.stream && std::find(playing.begin(), playing.end(), v.instance) == playing.end();
    });
}

void Mixer::StopAll() {
    std::lock_guard guard(lock_);
    voices_.clear();
}

size_t Mixer::Voices() const {
    std::lock_guard guard(lock_);
    return voices_.size();
}

void Mixer::mixVoice(Voice& v, int32_t* acc, size_t frames) {
    const int16_t* s = v.samples->data();
    size_t done = 0;
    while (done < frames) {
        if (v.position >= v.end) {
            if (v.loopsLeft == 0) return;
            --v.loopsLeft;
            v.position = v.begin;
        }
        size_t run = std::min(frames - done, v.end - v.position);
        if (v.envelope.empty()) {
            for (size_t i = 0; i < run; ++i) {
                acc[2 * (done + i)] += s[2 * (v.position + i)];
                acc[2 * (done + i) + 1] += s[2 * (v.position + i) + 1];
            }
        } else {
            for (size_t i = 0; i < run; ++i) {
                int32_t left, right;
                EnvelopeAt(v.envelope, v.position + i, left, right);
                acc[2 * (done + i)] += (s[2 * (v.position + i)] * left) >> 15;
                acc[2 * (done + i) + 1] += (s[2 * (v.position + i) + 1] * right) >> 15;
            }
        }
        v.position += run;
        done += run;
    }
}

void Mixer::Mix(int16_t* out, size_t frames) {
    std::lock_guard guard(lock_);
    accumulator_.assign(frames * 2, 0);
    for (Voice& v : voices_)
        mixVoice(v, accumulator_.data(), frames);
    std::erase_if(voices_, [](const Voice& v) { return v.position >= v.end && v.loopsLeft == 0; });
    for (size_t i = 0; i < frames * 2; ++i)
        out[i] = static_cast<int16_t>(std::clamp(accumulator_[i], -32768, 32767));
}

} // namespace movie::audio
