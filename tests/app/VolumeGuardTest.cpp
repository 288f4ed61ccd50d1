#include "app/VolumeGuard.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace {
// Devices that answer with a scripted volume or not at all, and remember every set.
class ScriptedWaveOut : public WaveOut {
  public:
    std::map<unsigned, std::uint32_t> answers;
    std::vector<std::pair<unsigned, std::uint32_t>> sets;
    std::vector<unsigned> asked;

    bool GetVolume(unsigned device, std::uint32_t& volume) override {
        asked.push_back(device);
        auto it = answers.find(device);
        if (it == answers.end()) return false;
        volume = it->second;
        return true;
    }
    void SetVolume(unsigned device, std::uint32_t volume) override { sets.emplace_back(device, volume); }

    // The volume given to each of the devices 0..8 by the last round of sets.
    std::vector<std::uint32_t> lastRound() const {
        std::vector<std::uint32_t> round(9, 0xDEADBEEF);
        EXPECT_GE(sets.size(), 9u);
        for (std::size_t i = sets.size() - 9; i < sets.size(); ++i)
            round[sets[i].first] = sets[i].second;
        return round;
    }
};

std::vector<std::uint32_t> all(std::uint32_t v) {
    return std::vector<std::uint32_t>(9, v);
}
} // namespace

TEST(VolumeGuard, NoDeviceAnsweringMeansFullVolumeForEveryDevice) {
    ScriptedWaveOut devices;
    VolumeGuard guard(devices);
    guard.SaveVolume();
    EXPECT_EQ(devices.asked, (std::vector<unsigned>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_EQ(devices.sets.size(), 9u);
    for (unsigned d = 0; d < 9; ++d)
        EXPECT_EQ(devices.sets[d], std::make_pair(d, 0xFFFFFFFFu));
    EXPECT_EQ(guard.SavedVolumePercent(), 100);
    guard.Restore();
    EXPECT_EQ(devices.lastRound(), all(0xFFFFFFFFu));
}

TEST(VolumeGuard, LevelsToLowestLeftChannelOnBothChannels) {
    ScriptedWaveOut devices;
    devices.answers[0] = 0x8000C000; // left 0xC000, right 0x8000
    devices.answers[3] = 0x1000A000; // left 0xA000: the lowest left channel
    devices.answers[8] = 0x0000FFFF;
    VolumeGuard guard(devices);
    guard.SaveVolume();
    EXPECT_EQ(devices.lastRound(), all(0xA000A000u));
    // 0xA000 = 40960 is 62 % (truncated); the devices get the level itself back.
    EXPECT_EQ(guard.SavedVolumePercent(), 62);
    guard.Restore();
    EXPECT_EQ(devices.lastRound(), all(0xA000A000u));
}

TEST(VolumeGuard, PercentTruncatesWhileTheLevelComesBackExactly) {
    struct Case {
        std::uint32_t lowest;
        std::int32_t percent;
    };
    for (Case c :
         {Case{0, 0}, Case{655, 0}, Case{656, 1}, Case{32768, 50}, Case{65534, 99}, Case{65535, 100}}) {
        ScriptedWaveOut devices;
        devices.answers[5] = c.lowest | 0xFFFF0000u;
        VolumeGuard guard(devices);
        guard.SaveVolume();
        EXPECT_EQ(guard.SavedVolumePercent(), c.percent) << c.lowest;
        guard.ApplySoundSetting(false);
        EXPECT_EQ(devices.lastRound(), all(c.lowest * 0x10001u)) << c.lowest;
        guard.Restore();
        EXPECT_EQ(devices.lastRound(), all(c.lowest * 0x10001u)) << c.lowest;
    }
}

TEST(VolumeGuard, RunAfterRunLeavesTheVolumeWhereItWas) {
    // Devices that keep what they are set to, as real ones do between runs.
    class KeepingWaveOut : public ScriptedWaveOut {
      public:
        void SetVolume(unsigned device, std::uint32_t volume) override {
            ScriptedWaveOut::SetVolume(device, volume);
            answers[device] = volume;
        }
    } devices;
    devices.answers[0] = 0x9C409C40; // 40000: 61 %, which alone would come back as 39976
    for (int run = 0; run < 50; ++run) {
        VolumeGuard guard(devices);
        guard.SaveVolume();
        guard.ApplySoundSetting(run % 2 == 0);
        guard.Restore();
    }
    EXPECT_EQ(devices.answers[0], 0x9C409C40u);
}

TEST(VolumeGuard, SoundOffSilencesAndSoundOnPlaysAtTheSavedLevel) {
    ScriptedWaveOut devices;
    devices.answers[1] = 32768;
    VolumeGuard guard(devices);
    guard.SaveVolume();
    guard.ApplySoundSetting(true);
    EXPECT_EQ(devices.lastRound(), all(0u));
    guard.Restore();
    EXPECT_EQ(devices.lastRound(), all(32768u * 0x10001u));
    guard.ApplySoundSetting(false);
    EXPECT_EQ(devices.lastRound(), all(32768u * 0x10001u));
    EXPECT_EQ(devices.sets.size(), 36u);
}
