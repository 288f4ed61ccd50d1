#include "app/FrameWatchdog.h"

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
// A movie whose current frame follows a script; it records every call in order.
class ScriptedMovie : public MovieControl {
  public:
    std::deque<std::int32_t> frames; // successive CurrentFrame answers; the last one repeats
    std::int32_t total = 100;
    std::vector<std::string> calls;
    std::string failOn; // a call that raises an error

    std::int32_t CurrentFrame() override {
        record("CurrentFrame");
        std::int32_t f = frames.front();
        if (frames.size() > 1) frames.pop_front();
        return f;
    }
    void GotoFrame(std::int32_t frame) override { record("GotoFrame " + std::to_string(frame)); }
    void Play() override { record("Play"); }
    std::int32_t TotalFrames() override {
        record("TotalFrames");
        return total;
    }
    void Rewind() override { record("Rewind"); }

  private:
    void record(const std::string& call) {
        calls.push_back(call);
        if (call == failOn) throw std::runtime_error("control failed: " + call);
    }
};

struct Fixture {
    ScriptedMovie movie;
    std::vector<bool> timer;
    FrameWatchdog dog{movie, [this](bool on) { timer.push_back(on); }};
};
} // namespace

TEST(FrameWatchdog, ProgressStoresTheSecondAnswerAndLeavesTheTimerAlone) {
    Fixture f;
    f.movie.frames = {3, 4};
    f.dog.Tick();
    EXPECT_EQ(f.dog.LastFrame(), 4);
    EXPECT_EQ(f.movie.calls, (std::vector<std::string>{"CurrentFrame", "CurrentFrame"}));
    EXPECT_TRUE(f.timer.empty());
}

TEST(FrameWatchdog, HaltedMovieIsPushedOneFramePerTick) {
    Fixture f;
    f.movie.frames = {5};
    f.dog.Tick();
    EXPECT_EQ(f.dog.LastFrame(), 5);
    f.movie.calls.clear();
    f.dog.Tick();
    EXPECT_EQ(f.movie.calls, (std::vector<std::string>{"CurrentFrame", "GotoFrame 6", "Play", "TotalFrames",
                                                       "CurrentFrame"}));
    EXPECT_EQ(f.timer, (std::vector<bool>{false, true}));
    EXPECT_EQ(f.dog.LastFrame(), 6);
    f.dog.Tick();
    EXPECT_EQ(f.dog.LastFrame(), 7);
    EXPECT_EQ(f.movie.calls[f.movie.calls.size() - 4], "GotoFrame 7");
}

TEST(FrameWatchdog, RewindsOnlyOncePastTheFrameCount) {
    Fixture f;
    // Halted on the last frame: the pushes count past it, the movie stays.
    f.movie.frames = {99, 99, 99, 99, 99, 0};
    f.dog.SetLastFrame(99);
    f.dog.Tick(); // pushed to 100: equal to the count, no rewind
    EXPECT_EQ(f.dog.LastFrame(), 100);
    EXPECT_EQ(f.movie.calls[f.movie.calls.size() - 2], "TotalFrames");
    f.movie.calls.clear();
    f.dog.Tick(); // pushed to 101: past the count
    EXPECT_EQ(f.movie.calls, (std::vector<std::string>{"CurrentFrame", "GotoFrame 101", "Play", "TotalFrames",
                                                       "Rewind", "CurrentFrame"}));
    EXPECT_EQ(f.dog.LastFrame(), -1);
    EXPECT_EQ(f.timer.back(), true);
    f.movie.calls.clear();
    f.dog.Tick(); // frame 0 > -1 counts as progress again
    EXPECT_EQ(f.dog.LastFrame(), 0);
    EXPECT_EQ(f.movie.calls.size(), 2u);
}

TEST(FrameWatchdog, LoopingWrapToTheFirstFrameIsProgress) {
    Fixture f;
    f.movie.total = 3;
    f.movie.frames = {2, 2, 0, 0, 1, 1, 2, 2, 0, 0};
    for (std::int32_t seen : {2, 0, 1, 2, 0}) {
        f.dog.Tick();
        EXPECT_EQ(f.dog.LastFrame(), seen);
    }
    EXPECT_TRUE(f.timer.empty());
    for (const std::string& call : f.movie.calls)
        EXPECT_EQ(call, "CurrentFrame");
    // Standing still after the wrap is no progress: pushed on.
    f.dog.Tick();
    EXPECT_EQ(f.dog.LastFrame(), 1);
    EXPECT_EQ(f.movie.calls[f.movie.calls.size() - 4], "GotoFrame 1");
}

TEST(FrameWatchdog, FailureAfterTheTimerWentOffLeavesItOff) {
    for (std::string failing : {"GotoFrame 6", "Play", "TotalFrames"}) {
        Fixture f;
        f.movie.frames = {5};
        f.dog.SetLastFrame(5);
        f.movie.failOn = failing;
        EXPECT_THROW(f.dog.Tick(), std::runtime_error) << failing;
        EXPECT_EQ(f.timer, (std::vector<bool>{false})) << failing;
        EXPECT_EQ(f.movie.calls.back(), failing);
    }
    Fixture f;
    f.movie.frames = {7};
    f.dog.SetLastFrame(7);
    f.movie.total = 3;
    f.movie.failOn = "Rewind";
    EXPECT_THROW(f.dog.Tick(), std::runtime_error);
    EXPECT_EQ(f.dog.LastFrame(), -1);
    EXPECT_EQ(f.timer, (std::vector<bool>{false}));
}

TEST(FrameWatchdog, FailureBeforeTheTimerWentOffLeavesItRunning) {
    Fixture f;
    f.movie.frames = {5};
    f.movie.failOn = "CurrentFrame";
    EXPECT_THROW(f.dog.Tick(), std::runtime_error);
    EXPECT_TRUE(f.timer.empty());
    EXPECT_EQ(f.dog.LastFrame(), -1);
}
