// Hours of playing in miniature: the demo and every reference movie played
// and drawn for several loops, the heap's live bytes at their highest in a
// late loop no higher than in the second. bench_longplay runs 100,000 frames.
#include "SwfBuilder.h"

#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"
#include "movie/text/FreeTypeFonts.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NIMBRE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define NIMBRE_ASAN 1
#endif
#ifdef NIMBRE_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace fs = std::filesystem;

namespace {
std::size_t liveHeapBytes() {
#ifdef NIMBRE_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::vector<fs::path> movies(const fs::path& demo) {
    std::vector<fs::path> list{demo};
    for (const auto& entry : fs::directory_iterator(fs::path(NIMBRE_SHARED_DIR) / "swf-reference"))
        if (fs::exists(entry.path() / "test.swf")) list.push_back(entry.path() / "test.swf");
    std::sort(list.begin() + 1, list.end());
    return list;
}
} // namespace

TEST(LongPlay, MemoryStaysFlatOverManyLoops) {
    fs::path demo = fs::temp_directory_path() / ("nimbre_longplay_" + std::to_string(getpid()) + ".s");
    std::string cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/resources/demo/make_demo.py\" \"" +
                      demo.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    for (const fs::path& path : movies(demo)) {
        movie::Player player(movie::MovieReader::Load(path.string()));
        movie::render::Renderer renderer;
        // Four loops, and at least 600 frames for short movies.
        const int loop = std::max(1, player.TotalFrames());
        const int frames = std::max(4 * loop, 600 / loop * loop);
        std::size_t second = 0, last = 0;
        for (int f = 0; f < frames; ++f) {
            player.Step();
            renderer.Render(player, 96, 72);
            std::size_t bytes = liveHeapBytes();
            if (f >= loop && f < 2 * loop) second = std::max(second, bytes);
            if (f >= frames - loop) last = std::max(last, bytes);
        }
        EXPECT_LE(last, second + 16 * 1024) << path << ": " << frames << " frames, the heap grew from "
                                            << second << " to " << last << " bytes";
    }
    fs::remove(demo);
}

// What a saver's author often writes: a field made by the script, a
// TextFormat with a device font, and text that changes every other frame.
// The text is drawn, and the heap stays flat while it changes.
TEST(LongPlay, AFieldWhoseTextKeepsChangingStaysFlat) {
    using namespace swftest;
    auto var = [](const std::string& name) { return Cat({PushString(name), {0x1c}}); };
    auto set = [](const std::string& object, const std::string& member, const Bytes& value) {
        return Cat({PushString(object), {0x1c}, PushString(member), value, {0x4f}});
    };
    Bytes make = Cat({PushInt(40),
                      PushInt(180),
                      PushInt(10),
                      PushInt(10),
                      PushInt(1),
                      PushString("t"),
                      PushInt(6),
                      var("_root"),
                      PushString("createTextField"),
                      {0x52, 0x17},
                      PushString("f"),
                      PushInt(0),
                      PushString("TextFormat"),
                      {0x40, 0x1d},
                      set("f", "font", PushString("_sans")),
                      set("f", "size", PushInt(20)),
                      var("f"),
                      PushInt(1),
                      var("t"),
                      PushString("setNewTextFormat"),
                      {0x52, 0x17},
                      PushString("n"),
                      PushInt(0),
                      {0x1d}});
    Bytes count = Cat({PushString("n"),
                       var("n"),
                       PushInt(1),
                       {0x47, 0x1d},
                       set("t", "text", Cat({PushString("Frame "), var("n"), {0x47}}))});
    SwfBuilder b(8, 24, 4000, 1200);
    b.Background({255, 255, 255, 255}).Actions({make}).Frame();
    b.Actions({count}).Frame();
    b.Actions({action::GotoFrame(1), action::Play()}).Frame();
    movie::Player player(movie::MovieReader::Read(b.Build(), "counter.swf"));
    player.SetDeviceFonts(std::make_shared<movie::text::FreeTypeFonts>());
    movie::render::Renderer renderer;
    std::size_t second = 0, last = 0;
    const int frames = 1200;
    for (int f = 0; f < frames; ++f) {
        player.Step();
        renderer.Render(player, 200, 60);
        std::size_t bytes = liveHeapBytes();
        if (f >= 200 && f < 400) second = std::max(second, bytes);
        if (f >= frames - 200) last = std::max(last, bytes);
    }
    int dark = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 190; ++x)
            dark += (renderer.Frame().At(x, y) & 0xFF) < 128;
    EXPECT_GT(dark, 50) << "the counter's digits are drawn";
    EXPECT_LE(last, second + 16 * 1024) << "the heap grew from " << second << " to " << last << " bytes";
}
