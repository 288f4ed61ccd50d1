// The bundled demo movie: generated the same byte for byte every time, read
// without complaint, 10-20 s long, and a seamless loop.
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path Generate(const std::string& name) {
    // The process id keeps two runs on one machine apart.
    fs::path out = fs::temp_directory_path() /
                   ("nimbre_demo_test_" + std::to_string(getpid()) + "_" + name + ".s");
    std::string cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/resources/demo/make_demo.py\" \"" +
                      out.string() + "\"";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return out;
}

} // namespace

TEST(RenderDemo, GeneratedMovieIsReproducibleLoopsAndMoves) {
    fs::path a = Generate("a"), b = Generate("b");
    std::vector<char> bytesA = Slurp(a);
    ASSERT_FALSE(bytesA.empty());
    EXPECT_EQ(bytesA, Slurp(b));

    auto movie = movie::MovieReader::Load(a.string());
    fs::remove(a);
    fs::remove(b);
    EXPECT_TRUE(movie->warnings.empty());
    EXPECT_EQ(movie->SkippedCount(), 0u);
    movie::Player player(movie);
    double seconds = player.TotalFrames() / player.FrameRate();
    EXPECT_GE(seconds, 10.0);
    EXPECT_LE(seconds, 20.0);
    EXPECT_GE(player.FrameRate(), 25.0);
    EXPECT_LE(player.FrameRate(), 30.0);

    movie::render::Renderer r;
    ASSERT_TRUE(r.Render(player, 192, 108));
    std::vector<uint32_t> first = r.Frame().Pixels();
    player.Step();
    EXPECT_TRUE(r.Render(player, 192, 108)); // something moves every frame
    EXPECT_NE(r.Frame().Pixels(), first);
    for (int f = 1; f < player.TotalFrames(); ++f) player.Step();
    EXPECT_EQ(player.CurrentFrame(), 0);
    r.Render(player, 192, 108);
    size_t differing = 0;
    for (size_t i = 0; i < first.size(); ++i) differing += r.Frame().Pixels()[i] != first[i];
    EXPECT_LT(differing, first.size() / 100); // back where it started: the loop has no jump
}
