// swfrender MOVIE --info
// swfrender MOVIE --frames N --out FILE.png [--size WxH]
// swfrender MOVIE --frames N --audio FILE.wav
// swfrender MOVIE --trace [--frames N | --ticks N]
#include "tools/AudioOutput.h"
#include "tools/FrameOutput.h"
#include "tools/MovieInfo.h"

#include "movie/Limits.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"
#ifndef _WIN32
#include "movie/text/FreeTypeFonts.h"
#endif

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: swfrender MOVIE --info\n"
                 "       swfrender MOVIE --frames N --out FILE.png [--size WxH]\n"
                 "       swfrender MOVIE --frames N --audio FILE.wav\n"
                 "       swfrender MOVIE --trace [--frames N | --ticks N]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string path = argv[1];
    bool info = false, trace = false;
    int frames = 1, width = 0, height = 0;
    std::string out, audio;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--info") {
            info = true;
        } else if (a == "--trace") {
            trace = true;
        } else if ((a == "--frames" || a == "--ticks") && more) {
            frames = std::atoi(argv[++i]);
            if (frames < 1) return Usage();
        } else if (a == "--out" && more) {
            out = argv[++i];
        } else if (a == "--audio" && more) {
            audio = argv[++i];
        } else if (a == "--size" && more) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1)
                return Usage();
        } else {
            return Usage();
        }
    }
    if (!info && !trace && out.empty() && audio.empty()) return Usage();
    try {
        auto movie = movie::MovieReader::Load(path);
        if (info) tools::PrintMovieInfo(*movie, std::cout);
        if (trace) {
            // Runs the movie headless: only what its scripts trace is printed.
            // Scripts get a longer time budget than in the saver: a checking
            // build runs them several times slower, and the original player
            // lets a script run far longer before it stops it.
            // Dates read a fixed clock so that runs repeat: 3 February 2001,
            // 04:05:06 in a zone 5 3/4 hours ahead of UTC.
            movie::Player player(
                movie, [](const std::string& line) { std::cout << line << '\n'; },
                5 * movie::Limits::kScriptTimePerFrame, movie::WallClock::Fixed(981152406000.0, 345));
            // Each frame is followed by its time, as the timers see it.
            for (int f = 1; f < frames; ++f)
                player.Step();
            player.PassFrameTime();
            std::cout.flush();
            return 0;
        }
        if (!audio.empty()) {
            int result = tools::WriteMovieWav(movie, frames, audio);
            if (result != 0 || out.empty()) return result;
        }
        if (out.empty()) return 0;
        movie::Player player(movie);
#ifndef _WIN32
        player.SetDeviceFonts(std::make_shared<movie::text::FreeTypeFonts>());
#endif
        for (int f = 1; f < frames; ++f)
            player.Step();
        return tools::WriteFramePng(player, out, width, height);
    } catch (const std::exception& e) {
        std::cerr << "swfrender: " << e.what() << "\n";
        return 1;
    }
}
