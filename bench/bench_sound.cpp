// Sound: how many times faster than real time the engine decodes and mixes,
// on one thread. The demo's music (a 22 kHz ADPCM stream) is decoded and
// mixed as the screen saver plays it; an MP3 made by ffmpeg, when it is
// there, is decoded on its own. Each figure is the best of three passes.
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/audio/MovieSound.h"
#include "movie/audio/SoundDecoder.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

template <class F> double BestSeconds(F&& run) {
    double best = 1e9;
    for (int pass = 0; pass < 3; ++pass) {
        auto t0 = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return best;
}

std::vector<uint8_t> Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main() {
    const std::string tag = std::to_string(getpid());
    fs::path demo = fs::temp_directory_path() / ("nimbre_bench_sound_" + tag + ".s");
    std::string cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/resources/demo/make_demo.py\" \"" + demo.string() + "\"";
    if (std::system(cmd.c_str()) != 0) return 1;
    auto movie = movie::MovieReader::Load(demo.string());
    fs::remove(demo);
    const double fps = movie->header.frameRate, seconds = movie->timeline.FrameCount() / fps;

    // The whole stream decoded and brought to 44.1 kHz stereo.
    double decode = BestSeconds([&] {
        movie::audio::MovieSound sound(movie);
        sound.StreamOf(movie->timeline);
    });
    // Playing: ten loops of frame steps, each frame's samples mixed.
    const int loops = 10;
    std::vector<int16_t> out;
    double play = BestSeconds([&] {
        movie::Player player(movie);
        movie::audio::MovieSound sound(movie);
        for (int f = 0; f < loops * int(movie->timeline.FrameCount()); ++f) {
            sound.Update(player);
            size_t n = movie::audio::MixFramesBefore(f + 1, fps) - movie::audio::MixFramesBefore(f, fps);
            out.resize(2 * n);
            sound.Mix(out.data(), n);
            player.Step();
        }
    });
    std::printf("demo music (%.0f s, ADPCM 22 kHz mono): decoded %.0fx real time; played with its frames %.0fx real time "
                "(ten loops, decoding once)\n",
                seconds, seconds / decode, loops * seconds / play);

    // MP3: ten seconds of a tone and a sweep, 44.1 kHz stereo at 128 kbit/s.
    fs::path mp3 = fs::temp_directory_path() / ("nimbre_bench_sound_" + tag + ".mp3");
    std::string encode = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=10' -ac 2 -ar 44100 "
                         "-c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 '" +
                         mp3.string() + "' >/dev/null 2>&1";
    if (std::system(encode.c_str()) == 0) {
        auto data = Slurp(mp3);
        fs::remove(mp3);
        size_t frames = 0;
        double mp3Time = BestSeconds([&] {
            auto decoded = movie::audio::DecodeMp3(data, SIZE_MAX);
            frames = movie::audio::ToMixRate(decoded.pcm, SIZE_MAX).size() / 2;
        });
        std::printf("MP3 (%.0f s, 44.1 kHz stereo, 128 kbit/s): decoded %.0fx real time\n", frames / 44100.0,
                    frames / 44100.0 / mp3Time);
    } else {
        std::printf("MP3: ffmpeg is not there to make one; skipped\n");
    }
    return 0;
}
