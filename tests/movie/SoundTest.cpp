// Sound: the decoders against ffmpeg's, the mixer's rules, the stream kept
// with the frames, and broken sound data.
#include "SwfBuilder.h"

#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/audio/Mixer.h"
#include "movie/audio/MovieSound.h"
#include "movie/audio/SoundDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace movie;
using namespace movie::audio;
using swftest::Bytes;
using swftest::SwfBuilder;
using swftest::Writer;

fs::path Corpus() {
    const char* env = std::getenv("NIMBRE_SHARED_DIR");
    return fs::path(env ? env : NIMBRE_SHARED_DIR) / "swf-corpus";
}

// Two tones and a sweep under a slow swell: `frames` sample frames, interleaved.
std::vector<int16_t> Signal(size_t frames, int rate, int channels) {
    std::vector<int16_t> s;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / rate, swell = 0.35 + 0.3 * std::sin(6.0 * t);
        for (int c = 0; c < channels; ++c) {
            double v = std::sin(2 * M_PI * (220 + 110 * c) * t) + 0.5 * std::sin(2 * M_PI * 660 * t) +
                       0.4 * std::sin(2 * M_PI * (100 + 800 * t) * t);
            s.push_back(static_cast<int16_t>(std::lround(9000 * swell * v)));
        }
    }
    return s;
}

Bytes Pcm16(const std::vector<int16_t>& s, bool bigEndian) {
    Bytes b;
    for (int16_t v : s) {
        uint8_t lo = uint8_t(v), hi = uint8_t(uint16_t(v) >> 8);
        b.push_back(bigEndian ? hi : lo);
        b.push_back(bigEndian ? lo : hi);
    }
    return b;
}

Bytes Pcm8(const std::vector<int16_t>& s) {
    Bytes b;
    for (int16_t v : s)
        b.push_back(uint8_t((v >> 8) + 128));
    return b;
}

// IMA ADPCM packed as movie files hold it, written here so the decoders
// have data no one else made.
Bytes EncodeAdpcm(const std::vector<int16_t>& s, int channels, int bits) {
    static constexpr int steps[89] = {
        7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
        31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
        130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
        544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
        2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
        9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    static const std::vector<std::vector<int>> moves = {
        {-1, 2},
        {-1, -1, 2, 4},
        {-1, -1, -1, -1, 2, 4, 6, 8},
        {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16}};
    Writer w;
    w.Bits(bits - 2, 2);
    size_t frames = s.size() / channels;
    int predictor[2] = {0, 0}, index[2] = {0, 0};
    const uint32_t sign = 1u << (bits - 1);
    for (size_t p = 0; p < frames; p += 4096) {
        for (int c = 0; c < channels; ++c) {
            predictor[c] = s[p * channels + c];
            w.SBits(predictor[c], 16).Bits(index[c], 6);
        }
        for (size_t n = p + 1; n < std::min(frames, p + 4096); ++n)
            for (int c = 0; c < channels; ++c) {
                int diff = s[n * channels + c] - predictor[c], step = steps[index[c]], delta = 0;
                uint32_t code = diff < 0 ? sign : 0;
                diff = std::abs(diff);
                for (uint32_t k = sign >> 1; k; k >>= 1, step >>= 1)
                    if (diff >= step) code |= k, diff -= step, delta += step;
                delta += step;
                predictor[c] =
                    std::clamp(code & sign ? predictor[c] - delta : predictor[c] + delta, -32768, 32767);
                index[c] = std::clamp(index[c] + moves[bits - 2][code & (sign - 1)], 0, 88);
                w.Bits(code, bits);
            }
    }
    return w.Data();
}

// Files for ffmpeg, in a folder of this process's own that goes when it ends.
fs::path TempPath(const std::string& name) {
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("nimbre_sound_test_" + std::to_string(getpid()));
        Folder() { fs::create_directories(path); }
        ~Folder() { fs::remove_all(path); }
    } folder;
    return folder.path / name;
}

void WriteFile(const fs::path& path, const Bytes& data) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// What ffmpeg decodes from `input`, as 16-bit samples at the sound's own rate.
std::vector<int16_t> FfmpegDecode(const fs::path& input, const std::string& options = "") {
    fs::path out = input.string() + ".raw";
    if (!RunQuietly("ffmpeg -nostdin -v error -y -i '" + input.string() + "' " + options +
                    " -f s16le -acodec pcm_s16le '" + out.string() + "'"))
        ADD_FAILURE() << "ffmpeg cannot decode " << input;
    Bytes raw = ReadFile(out);
    std::vector<int16_t> s(raw.size() / 2);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = int16_t(raw[2 * i] | raw[2 * i + 1] << 8);
    return s;
}

// MP3 frames of `s` made by ffmpeg's encoder, with no tag or info frame.
Bytes EncodeMp3(const std::vector<int16_t>& s, int rate, int channels) {
    fs::path raw = TempPath("mp3in.raw"), mp3 = TempPath("mp3out.mp3");
    WriteFile(raw, Pcm16(s, false));
    EXPECT_TRUE(RunQuietly("ffmpeg -nostdin -v error -y -f s16le -ar " + std::to_string(rate) + " -ac " +
                           std::to_string(channels) + " -i '" + raw.string() +
                           "' -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 '" +
                           mp3.string() + "'"));
    return ReadFile(mp3);
}

// Byte lengths of the MPEG layer III frames of `data`.
std::vector<size_t> Mp3FrameLengths(const Bytes& data) {
    std::vector<size_t> lengths;
    for (size_t p = 0; p + 4 <= data.size();) {
        bool mpeg1 = data[p + 1] & 0x08;
        static constexpr int rates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
        static constexpr int rates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
        int bitrate = (mpeg1 ? rates1 : rates2)[data[p + 2] >> 4] * 1000;
        static constexpr int rates[] = {44100, 48000, 32000, 44100};
        int rate = rates[data[p + 2] >> 2 & 3] >> (mpeg1 ? 0 : 1);
        size_t length = size_t((mpeg1 ? 144 : 72) * bitrate / rate + (data[p + 2] >> 1 & 1));
        lengths.push_back(length);
        p += length;
    }
    return lengths;
}

// Signal to noise of `got` against `ref` (both stereo at the mix rate) over
// the first `frames` frames of `ref`, at the offset of up to `maxLag` frames
// either way that matches best.
double AlignedSnr(const std::vector<int16_t>& ref, const std::vector<int16_t>& got, int maxLag,
                  size_t frames = SIZE_MAX) {
    auto snrAt = [&](long lag, size_t from, size_t count) {
        double signal = 0, noise = 0;
        for (size_t i = from; i < from + count; ++i) {
            long j = long(i) + lag;
            if (i * 2 + 1 >= ref.size() || j < 0 || size_t(j) * 2 + 1 >= got.size()) continue;
            for (int c = 0; c < 2; ++c) {
                double r = ref[i * 2 + c], d = r - got[size_t(j) * 2 + c];
                signal += r * r;
                noise += d * d;
            }
        }
        return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
    };
    long best = 0;
    double bestSnr = -1e9;
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        double snr = snrAt(lag, 4000, 2048);
        if (snr > bestSnr) bestSnr = snr, best = lag;
    }
    return snrAt(best, 0, std::min({frames, ref.size() / 2, got.size() / 2}));
}

Pcm MakePcm(std::vector<int16_t> samples, int rate, int channels) {
    Pcm p;
    p.rate = rate;
    p.channels = channels;
    p.samples = std::move(samples);
    return p;
}

std::shared_ptr<const Movie> Read(const Bytes& swf) {
    return MovieReader::Read(swf, "sound.swf");
}

uint8_t FormatByte(int codec, int rateCode, bool sixteen, bool stereo) {
    return uint8_t(codec << 4 | rateCode << 2 | (sixteen ? 2 : 0) | (stereo ? 1 : 0));
}

struct Case {
    const char* name;
    int codec, rateCode;
    bool sixteen, stereo;
    int adpcmBits = 0;
};

// Data of `s` in the case's codec, block by block.
Bytes Encode(const Case& c, const std::vector<int16_t>& s) {
    if (c.codec == 1) return EncodeAdpcm(s, c.stereo ? 2 : 1, c.adpcmBits);
    return c.sixteen ? Pcm16(s, false) : Pcm8(s);
}

const int kRates[] = {5512, 11025, 22050, 44100};

// The same data as an event sound and as a stream, each decoded by us and
// by ffmpeg; the table of figures goes to standard output.
TEST(SoundOracle, DecodersMatchFfmpeg) {
    if (!RunQuietly("ffmpeg -version")) GTEST_FAIL() << "ffmpeg is needed (scripts/setup.sh installs it)";
    const Case cases[] = {
        {"PCM 22 kHz 16-bit mono", 3, 2, true, false},
        {"PCM 11 kHz 8-bit stereo", 3, 1, false, true},
        {"PCM machine order 44 kHz 16-bit stereo", 0, 3, true, true},
        {"ADPCM 2-bit 22 kHz mono", 1, 2, true, false, 2},
        {"ADPCM 3-bit 44 kHz stereo", 1, 3, true, true, 3},
        {"ADPCM 4-bit 5.5 kHz stereo", 1, 0, true, true, 4},
        {"ADPCM 4-bit 22 kHz stereo", 1, 2, true, true, 4},
        {"ADPCM 5-bit 11 kHz stereo", 1, 1, true, true, 5},
        {"MP3 44 kHz stereo", 2, 3, true, true},
        {"MP3 22 kHz mono", 2, 2, true, false},
    };
    const int fps = 25;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int rate = kRates[c.rateCode], channels = c.stereo ? 2 : 1;
        const size_t frames = size_t(rate) * 3 / 5; // 0.6 s, more than one ADPCM packet
        std::vector<int16_t> signal = Signal(frames, rate, channels);
        uint8_t format = FormatByte(c.codec, c.rateCode, c.sixteen, c.stereo);

        // Event sound, alone in its movie so that ffmpeg takes it.
        SwfBuilder event(10, fps);
        Bytes mp3;
        if (c.codec == 2) {
            mp3 = EncodeMp3(signal, rate, channels);
            event.DefineSound(1, format, uint32_t(frames), Writer().S16(0).Append(mp3).Data());
        } else {
            event.DefineSound(1, format, uint32_t(frames), Encode(c, signal));
        }
        event.Frame();
        fs::path eventFile = TempPath("event.swf");
        WriteFile(eventFile, event.Build());
        if (c.codec == 2) WriteFile(eventFile = TempPath("event.mp3"), mp3); // raw MP3 for ffmpeg
        MovieSound eventSound(Read(event.Build()));
        MixSamples ours = eventSound.EventSound(1);
        ASSERT_TRUE(ours);
        std::vector<int16_t> oracle = ToMixRate(MakePcm(FfmpegDecode(eventFile), rate, channels), SIZE_MAX);
        double eventSnr = AlignedSnr(oracle, *ours, c.codec == 2 ? 1200 : 0);

        // Stream: one block per frame.
        SwfBuilder stream(10, fps);
        const size_t perFrame = size_t(std::lround(rate / double(fps)));
        stream.StreamHead(format, uint16_t(perFrame));
        size_t blocks = 0;
        // ffmpeg keeps the padding bits of an ADPCM block's last byte as
        // samples when they hold a whole code per channel; the block's
        // sample count says they are none. Dropped from its output here.
        std::vector<std::pair<size_t, size_t>> kept; // per block: samples, padding codes after them
        if (c.codec == 2) {
            // Whole MPEG frames per block, as many as keep up with the frames.
            size_t at = 0, made = 0, samplesPerMp3Frame = rate == 44100 ? 1152 : 576;
            auto lengths = Mp3FrameLengths(mp3);
            for (size_t i = 0; i < lengths.size(); ++blocks) {
                Writer block;
                size_t count = 0;
                while (i < lengths.size() && made < (blocks + 1) * perFrame) {
                    block.Append(Bytes(mp3.begin() + long(at), mp3.begin() + long(at + lengths[i])));
                    at += lengths[i++], made += samplesPerMp3Frame, count += samplesPerMp3Frame;
                }
                stream.StreamBlock(Writer().U16(uint16_t(count)).S16(0).Append(block.Data()).Data()).Frame();
            }
        } else {
            for (size_t from = 0; from < frames; from += perFrame, ++blocks) {
                size_t n = std::min(perFrame, frames - from);
                std::vector<int16_t> part(signal.begin() + long(from * channels),
                                          signal.begin() + long((from + n) * channels));
                Bytes data = Encode(c, part);
                size_t bits = c.codec == 1 ? 2 + 22 * channels + (n - 1) * c.adpcmBits * channels : 0;
                kept.push_back({n, bits ? (data.size() * 8 - bits) / (c.adpcmBits * channels) : 0});
                stream.StreamBlock(data).Frame();
            }
        }
        Bytes streamSwf = stream.Build();
        fs::path streamFile = TempPath("stream.swf");
        WriteFile(streamFile, streamSwf);
        auto movie = Read(streamSwf);
        MovieSound streamSound(movie);
        const MovieSound::Stream& s = streamSound.StreamOf(movie->timeline);
        ASSERT_TRUE(s.samples);
        std::vector<int16_t> decoded = FfmpegDecode(streamFile), trimmed;
        for (size_t b = 0, at = 0; b < kept.size() && at < decoded.size(); ++b) {
            size_t n = std::min(kept[b].first * channels, decoded.size() - at);
            trimmed.insert(trimmed.end(), decoded.begin() + long(at), decoded.begin() + long(at + n));
            at += n + kept[b].second * channels;
        }
        oracle = ToMixRate(MakePcm(c.codec == 2 ? decoded : trimmed, rate, channels), SIZE_MAX);
        // Past the signal's end a decoder may make anything of the last block's padding.
        double streamSnr = AlignedSnr(oracle, *s.samples, c.codec == 2 ? 1200 : 0, frames * 44100 / rate);
        EXPECT_TRUE(eventSound.TakeWarnings().empty());
        EXPECT_TRUE(streamSound.TakeWarnings().empty());

        double floor = c.codec == 2 ? 30 : 40;
        EXPECT_GE(eventSnr, floor);
        EXPECT_GE(streamSnr, floor);
        std::printf("| %-40s | event %6.1f dB | stream %6.1f dB (%zu blocks) |\n", c.name, eventSnr,
                    streamSnr, blocks);
    }
}

// The corpus's movies with sound: their event sounds and streams. (The
// button movie's stream head has no blocks: ffmpeg's second stream is its sound.)
TEST(SoundOracle, CorpusSoundsMatchFfmpeg) {
    const std::pair<const char*, const char*> movies[] = {{"DefineSound.swf", ""},
                                                          {"SoundStreamHead2.swf", ""},
                                                          {"DefineButtonCxformSound-MX.swf", "-map 0:a:1"}};
    for (auto [name, options] : movies) {
        SCOPED_TRACE(name);
        auto movie = MovieReader::Load((Corpus() / name).string());
        MovieSound sound(movie);
        MixSamples ours;
        int rate = 0, channels = 0;
        if (!movie->sounds.empty()) {
            const SoundDefinition& d = movie->sounds.begin()->second;
            ours = sound.EventSound(d.id);
            rate = d.format.Rate(), channels = d.format.Channels();
        } else {
            ours = sound.StreamOf(movie->timeline).samples;
            rate = movie->timeline.streamHead->format.Rate(),
            channels = movie->timeline.streamHead->format.Channels();
        }
        ASSERT_TRUE(ours);
        auto oracle = ToMixRate(MakePcm(FfmpegDecode(Corpus() / name, options), rate, channels), SIZE_MAX);
        ASSERT_EQ(oracle.size(), ours->size());
        double snr = AlignedSnr(oracle, *ours, 0);
        EXPECT_GE(snr, 40);
        std::printf("| %-40s | %6.1f dB |\n", name, snr);
    }
}

TEST(SoundDecoder, MachineOrderPcmIsReadInEitherByteOrder) {
    auto signal = Signal(3000, 22050, 2);
    SoundFormat f{0, 2, true, true};
    for (bool big : {false, true}) {
        Decoded d = DecodePcm(f, Pcm16(signal, big), SIZE_MAX);
        EXPECT_EQ(d.pcm.samples, signal) << (big ? "big-endian" : "little-endian");
    }
}

// A sound whose sample n is n + 1 (stereo, both channels alike).
MixSamples Ramp(size_t frames) {
    auto s = std::make_shared<std::vector<int16_t>>();
    for (size_t i = 0; i < frames; ++i)
        s->insert(s->end(), {int16_t(i + 1), int16_t(i + 1)});
    return s;
}

std::vector<int16_t> MixOf(Mixer& mixer, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(SoundMixer, InAndOutPointsAndLoops) {
    Mixer mixer;
    SoundInfo info;
    info.inPoint = 10;
    info.outPoint = 14;
    info.loops = 3;
    mixer.StartSound(7, Ramp(100), info);
    auto out = MixOf(mixer, 14);
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2)
        left.push_back(out[i]);
    EXPECT_EQ(left, (std::vector<int16_t>{11, 12, 13, 14, 11, 12, 13, 14, 11, 12, 13, 14, 0, 0}));
    EXPECT_EQ(mixer.Voices(), 0u);
}

TEST(SoundMixer, EnvelopeFadesEachChannel) {
    auto flat = std::make_shared<std::vector<int16_t>>(2 * 3000, int16_t(10000));
    SoundInfo info;
    info.envelope = {{1000, 0, 32768}, {2000, 32768, 0}};
    Mixer mixer;
    mixer.StartSound(1, flat, info);
    auto out = MixOf(mixer, 3000);
    EXPECT_EQ(out[2 * 500], 0); // before the first point: its level
    EXPECT_EQ(out[2 * 500 + 1], 10000);
    EXPECT_NEAR(out[2 * 1500], 5000, 2); // half way between the points
    EXPECT_NEAR(out[2 * 1500 + 1], 5000, 2);
    EXPECT_EQ(out[2 * 2500], 10000); // after the last point: its level
    EXPECT_EQ(out[2 * 2500 + 1], 0);
}

TEST(SoundMixer, SyncStopAndNoMultiple) {
    Mixer mixer;
    SoundInfo once, noMultiple, stop;
    noMultiple.noMultiple = true;
    stop.syncStop = true;
    mixer.StartSound(1, Ramp(50), once);
    mixer.StartSound(1, Ramp(50), once);
    mixer.StartSound(1, Ramp(50), noMultiple); // two play already
    mixer.StartSound(2, Ramp(50), noMultiple);
    EXPECT_EQ(mixer.Playing(1), 2u);
    EXPECT_EQ(MixOf(mixer, 1)[0], 3); // 1 + 1 + 1
    mixer.StartSound(1, nullptr, stop);
    EXPECT_EQ(mixer.Playing(1), 0u);
    EXPECT_EQ(mixer.Playing(2), 1u);
    auto loud = std::make_shared<std::vector<int16_t>>(2, int16_t(30000));
    mixer.StartSound(3, loud, once);
    mixer.StartSound(3, loud, once);
    EXPECT_EQ(MixOf(mixer, 1)[0], 32767); // clipped, not wrapped
}

// A movie at 25 fps whose main timeline streams 44.1 kHz PCM: every sample
// of frame f is f + 1, so the mix tells which frame's block plays.
SwfBuilder StreamMovie(int frames) {
    SwfBuilder b(10, 25);
    const size_t perFrame = 1764;
    b.StreamHead(FormatByte(3, 3, true, false), perFrame);
    for (int f = 0; f < frames; ++f)
        b.StreamBlock(Pcm16(std::vector<int16_t>(perFrame, int16_t(f + 1)), false)).Frame();
    return b;
}

// Plays `frames` frame steps, mixing each frame's length; the first sample of each.
std::vector<int16_t> PlayFrames(Player& player, MovieSound& sound, int frames) {
    std::vector<int16_t> firsts;
    for (int f = 0; f < frames; ++f) {
        sound.Update(player);
        std::vector<int16_t> out(2 * 1764);
        sound.Mix(out.data(), 1764);
        firsts.push_back(out[0]);
        EXPECT_EQ(out[0], out[out.size() - 1]) << "a frame's block spans the frame exactly";
        player.Step();
    }
    return firsts;
}

TEST(SoundStream, KeepsWithTheFramesThroughJumpsAndStops) {
    auto movie = Read(StreamMovie(8).Build());
    Player player(movie);
    MovieSound sound(movie);
    EXPECT_EQ(PlayFrames(player, sound, 8), (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    // Looped to frame 0: the stream starts again with it.
    EXPECT_EQ(PlayFrames(player, sound, 2), (std::vector<int16_t>{1, 2}));
    player.GotoFrame(5);
    EXPECT_EQ(PlayFrames(player, sound, 2), (std::vector<int16_t>{6, 7}));
    player.Stop();
    EXPECT_EQ(PlayFrames(player, sound, 1), (std::vector<int16_t>{0}));
    EXPECT_EQ(MixFramesBefore(25, 25.0), 44100u);
}

TEST(SoundStream, FramesTheDrawingFellBehindOnAreSkippedToKeepWithTheMusic) {
    // Frames 30-34 have no block; the samples of frame f's block are f + 1.
    SwfBuilder b(10, 25);
    b.StreamHead(FormatByte(3, 3, true, false), 1764);
    for (int f = 0; f < 60; ++f) {
        if (f < 30 || f >= 35) b.StreamBlock(Pcm16(std::vector<int16_t>(1764, int16_t(f + 1)), false));
        b.Frame();
    }
    auto movie = Read(b.Build());
    Player player(movie);
    MovieSound sound(movie);
    std::vector<int16_t> out(2 * 1764 * 20);
    // In step: the clock and the device go together, nothing to catch up.
    for (int f = 0; f < 4; ++f) {
        sound.Update(player);
        sound.Mix(out.data(), 1764);
        player.Advance(0.04);
        EXPECT_EQ(sound.KeepWithStream(player, 0), 0);
    }
    EXPECT_EQ(player.CurrentFrame(), 4);
    // The clock stalls for 20 frames while the device plays on; the tick
    // after brings one frame's time (the rest was dropped).
    sound.Mix(out.data(), 20 * 1764);
    player.Advance(0.04);
    sound.Update(player);
    // Heard: 24 frames' blocks, less the 3 still queued in the device.
    EXPECT_EQ(sound.KeepWithStream(player, 3 * 1764), 16);
    EXPECT_EQ(player.CurrentFrame(), 21);
    EXPECT_EQ(sound.KeepWithStream(player, 0), 3);
    EXPECT_EQ(player.CurrentFrame(), 24);
    // The music went on unbroken: neither restarted nor held for the picture.
    sound.Mix(out.data(), 1764);
    EXPECT_EQ(out[0], 25);
    EXPECT_EQ(out[2 * 1764 - 1], 25);
    // A jump to a frame without a block leaves the stream playing on, no
    // longer matching the frames: they go with the clock.
    player.GotoFrame(32);
    sound.Update(player);
    sound.Mix(out.data(), 10 * 1764);
    EXPECT_EQ(sound.KeepWithStream(player, 0), 0);
    EXPECT_EQ(player.CurrentFrame(), 32);
    // A block starts it from its frame again, and they keep together.
    player.GotoFrame(40);
    sound.Update(player);
    sound.Mix(out.data(), 3 * 1764);
    EXPECT_EQ(out[0], 41);
    EXPECT_EQ(sound.KeepWithStream(player, 0), 3);
    // Stopped, nothing moves it.
    player.Stop();
    sound.Mix(out.data(), 5 * 1764);
    EXPECT_EQ(sound.KeepWithStream(player, 0), 0);
    EXPECT_EQ(player.CurrentFrame(), 43);
}

TEST(SoundStream, StopsWhenItsSpriteGoes) {
    // Sprite 5 streams (every sample 100) for 4 frames; the main timeline
    // places it on frame 0 and removes it on frame 2.
    SwfBuilder inner(10, 25);
    inner.StreamHead(FormatByte(3, 3, true, false), 1764);
    for (int f = 0; f < 4; ++f)
        inner.StreamBlock(Pcm16(std::vector<int16_t>(1764, 100), false)).Frame();
    SwfBuilder b(10, 25);
    b.Sprite(5, inner).Place(1, 5).Frame().Frame().Remove(1).Frame().Frame();
    auto movie = Read(b.Build());
    Player player(movie);
    MovieSound sound(movie);
    EXPECT_EQ(PlayFrames(player, sound, 4), (std::vector<int16_t>{100, 100, 0, 0}));
}

TEST(SoundStream, EventSoundsStartFromFrames) {
    // Frame 1 starts sound 3 twice (no-multiple the second time); frame 3 stops it.
    SwfBuilder b(10, 25);
    b.DefineSound(3, FormatByte(3, 3, true, false), 20000, Pcm16(std::vector<int16_t>(20000, 50), false));
    b.Frame().StartSound(3).StartSound(3, {0x10}).Frame().Frame().StartSound(3, {0x20}).Frame();
    auto movie = Read(b.Build());
    Player player(movie);
    MovieSound sound(movie);
    EXPECT_EQ(PlayFrames(player, sound, 4), (std::vector<int16_t>{0, 50, 50, 0}));
}

TEST(SoundBadInput, BrokenDataPlaysAsSilenceWithOneWarning) {
    // An ADPCM stream whose block of frame 1 is cut to two bytes.
    auto signal = Signal(1764 * 3, 44100, 1);
    SwfBuilder b(10, 25);
    b.StreamHead(FormatByte(1, 3, true, false), 1764);
    for (int f = 0; f < 3; ++f) {
        Bytes block = EncodeAdpcm(
            std::vector<int16_t>(signal.begin() + f * 1764, signal.begin() + (f + 1) * 1764), 1, 4);
        if (f == 1) block.resize(2);
        b.StreamBlock(block).Frame();
    }
    // An MP3 sound of noise, a Nellymoser sound, and a PCM sound that says
    // it has four billion samples.
    Bytes noise;
    for (int i = 0; i < 5000; ++i)
        noise.push_back(uint8_t(i * 7919 >> 3));
    b.DefineSound(1, FormatByte(2, 3, true, true), 100000, noise);
    b.DefineSound(2, FormatByte(6, 2, true, false), 1000, Bytes(100, 1));
    b.DefineSound(3, FormatByte(3, 3, true, false), 0xFFFFFFFF, Bytes(400, 1));
    auto movie = Read(b.Build());
    ASSERT_EQ(movie->warnings.size(), 1u);
    EXPECT_NE(movie->warnings[0].find("sound 2 is Nellymoser; it is skipped"), std::string::npos);

    MovieSound sound(movie);
    const auto& stream = sound.StreamOf(movie->timeline);
    ASSERT_EQ(stream.samples->size(), 2u * 1764 * 3);
    auto frame = [&](int f) {
        return std::vector<int16_t>(stream.samples->begin() + 2 * 1764 * f,
                                    stream.samples->begin() + 2 * 1764 * (f + 1));
    };
    EXPECT_EQ(frame(1), std::vector<int16_t>(2 * 1764, 0));
    EXPECT_NE(frame(2), std::vector<int16_t>(2 * 1764, 0));
    EXPECT_EQ(stream.framePositions[2], 2u * 1764);
    EXPECT_FALSE(sound.EventSound(2));
    ASSERT_TRUE(sound.EventSound(3));
    EXPECT_EQ(sound.EventSound(3)->size(), 400u);
    sound.EventSound(1);
    auto warnings = sound.TakeWarnings();
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("the movie's sound stream: the block of frame 1"), std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[1].find("sound 3: cut short: 200 of"), std::string::npos) << warnings[1];
    EXPECT_NE(warnings[2].find("sound 1:"), std::string::npos) << warnings[2];
    sound.EventSound(1);
    EXPECT_TRUE(sound.TakeWarnings().empty()) << "each sound is told once";
}

} // namespace
