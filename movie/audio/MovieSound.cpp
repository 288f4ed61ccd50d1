#include "movie/audio/MovieSound.h"

#include "movie/Limits.h"
#include "movie/audio/SoundDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace movie::audio {

namespace {

// Source frames that stay within the decoded-length limit at `rate`.
size_t MaxSourceFrames(int rate) {
    return static_cast<size_t>(Limits::kMaxSoundSamples * uint64_t(rate) / Mixer::kRate + 1);
}

// A source position in mix-rate frames.
size_t ToMixPosition(size_t position, int rate) {
    if (rate == 5512) return position * 8;
    return static_cast<size_t>(uint64_t(position) * Mixer::kRate / uint64_t(std::max(rate, 1)));
}

} // namespace

size_t MixFramesBefore(uint64_t frame, double frameRate) {
    return static_cast<size_t>(std::llround(double(frame) * Mixer::kRate / frameRate));
}

MovieSound::MovieSound(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)) {}

void MovieSound::warn(const std::string& what, const std::string& problem) {
    if (warnings_.size() < 100) warnings_.push_back(what + ": " + problem);
}

MixSamples MovieSound::toMix(const Pcm& pcm, const std::string& name) {
    size_t room = static_cast<size_t>(Limits::kMaxTotalSoundSamples - decodedTotal_);
    auto samples = std::make_shared<std::vector<int16_t>>(
        ToMixRate(pcm, std::min<size_t>(room, Limits::kMaxSoundSamples)));
    size_t frames = samples->size() / 2;
    if (frames == Limits::kMaxSoundSamples || frames == room)
        warn(name, "longer than the sound limit of " + std::to_string(Limits::kMaxSoundSamples) +
                       " samples (" + std::to_string(Limits::kMaxTotalSoundSamples) +
                       " for all sounds); cut there");
    decodedTotal_ += frames;
    return samples;
}

MixSamples MovieSound::EventSound(uint16_t id) {
    auto cached = sounds_.find(id);
    if (cached != sounds_.end()) return cached->second;
    MixSamples& result = sounds_[id];
    auto found = movie_->sounds.find(id);
    if (found == movie_->sounds.end()) return result;
    const SoundDefinition& sound = found->second;
    if (sound.format.codec > 3) return result; // the reader has told
    const std::string name = "sound " + std::to_string(id);
    size_t limit = MaxSourceFrames(sound.format.Rate());
    std::span<const uint8_t> data(sound.data);
    Decoded decoded;
    if (sound.format.Codec() == SoundCodec::Mp3) {
        decoded = DecodeMp3(data.size() >= 2 ? data.subspan(2) : data.subspan(0, 0), limit);
        // The decoder may make a few more samples than the sound holds.
        if (decoded.pcm.Frames() > sound.sampleCount && sound.sampleCount > 0)
            decoded.pcm.samples.resize(size_t(sound.sampleCount) * decoded.pcm.channels);
    } else {
        decoded = Decode(sound.format, data, std::min<size_t>(limit, sound.sampleCount));
    }
    size_t wanted = std::min<size_t>(sound.sampleCount, limit);
    if (decoded.warning.empty() && decoded.pcm.Frames() < wanted)
        decoded.warning = "cut short: " + std::to_string(decoded.pcm.Frames()) + " of " +
                          std::to_string(wanted) + " samples";
    if (!decoded.warning.empty()) warn(name, decoded.warning);
    result = toMix(decoded.pcm, name);
    return result;
}

const MovieSound::Stream& MovieSound::StreamOf(const Timeline& timeline) {
    auto cached = streams_.find(&timeline);
    if (cached != streams_.end()) return cached->second;
    Stream& stream = streams_[&timeline];
    stream.framePositions.resize(timeline.frames.size());
    if (!timeline.streamHead || timeline.streamHead->format.codec > 3) return stream;
    const SoundFormat& format = timeline.streamHead->format;
    const std::string name =
        &timeline == &movie_->timeline ? "the movie's sound stream" : "a sprite's sound stream";
    const size_t limit = MaxSourceFrames(format.Rate());
    std::string problem;
    Pcm pcm;
    pcm.rate = format.Rate();
    pcm.channels = format.Channels();
    std::vector<std::optional<size_t>> positions(timeline.frames.size()); // at the source rate

    if (format.Codec() == SoundCodec::Mp3) {
        // Each block: its sample count, the samples to skip into it, then
        // whole MPEG frames. The frames of all blocks decode as one stream.
        std::vector<uint8_t> frames;
        size_t made = 0;
        for (size_t f = 0; f < timeline.frames.size(); ++f) {
            const auto& block = timeline.frames[f].streamBlock;
            if (!block) continue;
            if (block->size() < 4) {
                if (problem.empty()) problem = "a block of frame " + std::to_string(f) + " is cut short";
                continue;
            }
            int16_t seek = static_cast<int16_t>((*block)[2] | (*block)[3] << 8);
            positions[f] = made + size_t(std::max<int16_t>(seek, 0));
            std::span<const uint8_t> data(block->begin() + 4, block->end());
            made += CountMp3Frames(data);
            frames.insert(frames.end(), data.begin(), data.end());
        }
        Decoded decoded = DecodeMp3(frames, limit);
        if (!decoded.warning.empty()) problem = decoded.warning;
        pcm = std::move(decoded.pcm);
        size_t wanted = std::min(made, limit);
        if (pcm.Frames() < wanted) {
            if (problem.empty()) problem = "cut short";
            pcm.samples.resize(wanted * pcm.channels, 0);
        }
    } else {
        // Blocks decode on their own; one that fails is silence for its
        // length. An ADPCM block holds the head's number of samples (the
        // last one may hold fewer): the padding of its last byte is no sample.
        const size_t perBlock = timeline.streamHead->samplesPerBlock;
        const size_t most = format.Codec() == SoundCodec::Adpcm && perBlock ? perBlock : SIZE_MAX;
        for (size_t f = 0; f < timeline.frames.size(); ++f) {
            const auto& block = timeline.frames[f].streamBlock;
            if (!block || pcm.Frames() >= limit) continue;
            positions[f] = pcm.Frames();
            size_t room = limit - pcm.Frames();
            Decoded decoded = Decode(format, *block, std::min(room, most));
            bool last = std::none_of(timeline.frames.begin() + long(f) + 1, timeline.frames.end(),
                                     [](const Frame& later) { return later.streamBlock.has_value(); });
            size_t wanted = std::min(std::max(decoded.pcm.Frames(), perBlock), room);
            if (!decoded.warning.empty() || (!last && decoded.pcm.Frames() < std::min(perBlock, room))) {
                if (problem.empty())
                    problem = "the block of frame " + std::to_string(f) + " is " +
                              (decoded.warning.empty() ? "cut short" : decoded.warning) +
                              "; it plays as silence";
                decoded.pcm.samples.clear();
            }
            if (!last || decoded.pcm.samples.empty()) decoded.pcm.samples.resize(wanted * pcm.channels, 0);
            pcm.samples.insert(pcm.samples.end(), decoded.pcm.samples.begin(), decoded.pcm.samples.end());
        }
    }
    if (!problem.empty()) warn(name, problem);
    stream.samples = toMix(pcm, name);
    for (size_t f = 0; f < positions.size(); ++f)
        if (positions[f]) stream.framePositions[f] = ToMixPosition(*positions[f], pcm.rate);
    return stream;
}

void MovieSound::Update(Player& player) {
    for (const SoundEvent& e : player.TakeSoundEvents()) {
        if (e.kind == SoundEvent::Kind::Start) {
            MixSamples samples = EventSound(e.start->soundId);
            if (samples || e.start->info.syncStop)
                mixer_.StartSound(e.start->soundId, std::move(samples), e.start->info);
            continue;
        }
        const Stream& stream = StreamOf(*e.timeline);
        const auto& position = stream.framePositions[e.frame];
        const bool main = e.instance == 0;
        if (!position || !stream.samples) { // no block: what plays goes on
            if (main && !e.natural) mainStreamMatches_ = false;
            continue;
        }
        std::optional<size_t> playing = mixer_.StreamPosition(e.instance);
        // Playing on from the frame before, the stream keeps its own pace.
        if (e.natural && playing) continue;
        mixer_.PlayStream(e.instance, stream.samples, *position);
        if (main) mainStreamMatches_ = true;
    }
    mixer_.KeepStreams(player.PlayingStreams());
}

int MovieSound::KeepWithStream(Player& player, size_t queued) {
    int steps = 0;
    while (steps < Limits::kMaxStepsPerAdvance && mainStreamMatches_ && player.IsPlaying()) {
        std::optional<size_t> mixed = mixer_.StreamPosition(0);
        if (!mixed || *mixed < queued) break;
        const size_t heard = *mixed - queued;
        const auto& positions = StreamOf(movie_->timeline).framePositions;
        // The next frame with a block falls due once its block is heard.
        auto next = std::find_if(
            positions.begin() + std::min<size_t>(size_t(player.CurrentFrame()) + 1, positions.size()),
            positions.end(), [](const std::optional<size_t>& p) { return p.has_value(); });
        if (next == positions.end() || heard < **next) break;
        player.Step();
        Update(player);
        ++steps;
    }
    return steps;
}

} // namespace movie::audio
