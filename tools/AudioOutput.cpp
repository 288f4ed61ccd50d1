#include "tools/AudioOutput.h"

#include "movie/Player.h"
#include "movie/audio/MovieSound.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <vector>

namespace tools {

namespace {

void Put16(std::ostream& out, uint16_t v) {
    out.put(char(v & 0xFF)).put(char(v >> 8));
}
void Put32(std::ostream& out, uint32_t v) {
    Put16(out, uint16_t(v)), Put16(out, uint16_t(v >> 16));
}

} // namespace

int WriteMovieWav(std::shared_ptr<const movie::Movie> movie, int frames, const std::string& path) {
    using movie::audio::MixFramesBefore;
    movie::Player player(movie);
    movie::audio::MovieSound sound(movie);
    std::vector<int16_t> samples;
    for (int f = 0; f < frames; ++f) {
        if (f > 0) player.Step();
        sound.Update(player);
        size_t begin = MixFramesBefore(f, player.FrameRate()),
               end = MixFramesBefore(f + 1, player.FrameRate());
        size_t at = samples.size();
        samples.resize(at + 2 * (end - begin));
        sound.Mix(samples.data() + at, end - begin);
    }
    for (const std::string& w : sound.TakeWarnings())
        std::cerr << "swfrender: warning: " << w << "\n";
    std::ofstream out(path, std::ios::binary);
    uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);                              // PCM
    Put16(out, 2);                              // channels
    Put32(out, movie::audio::Mixer::kRate);     // samples per second
    Put32(out, movie::audio::Mixer::kRate * 4); // bytes per second
    Put16(out, 4);                              // bytes per sample frame
    Put16(out, 16);                             // bits per sample
    out.write("data", 4);
    Put32(out, bytes);
    for (int16_t s : samples)
        Put16(out, static_cast<uint16_t>(s));
    out.flush();
    if (!out) {
        std::cerr << "swfrender: cannot write \"" << path << "\"\n";
        return 1;
    }
    return 0;
}

} // namespace tools
