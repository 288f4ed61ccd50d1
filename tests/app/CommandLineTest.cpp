#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {
ScreenSaverMode modeOf(std::vector<std::string> args) { return ParseCommandLine(args).mode; }
} // namespace

TEST(CommandLine, NoArgumentOpensTheSettings) {
    EXPECT_EQ(modeOf({}), ScreenSaverMode::Config);
    EXPECT_EQ(ParseCommandLine({}).previewParent, 0);
}

TEST(CommandLine, OnlyTheFirstLetterAfterOneDroppedNonLetterCounts) {
    for (const char* play : {"/s", "/S", "-s", "s", "/screen", "S", "/Sx"}) EXPECT_EQ(modeOf({play}), ScreenSaverMode::Screen) << play;
    for (const char* config : {"/c", "/C", "/c:1234", "-c", "c", "Config", "#c"})
        EXPECT_EQ(modeOf({config}), ScreenSaverMode::Config) << config;
    // The second hyphen of --c is the first character once the first is gone.
    EXPECT_EQ(modeOf({"--c"}), ScreenSaverMode::Screen);
    EXPECT_EQ(modeOf({"//c"}), ScreenSaverMode::Screen);
}

TEST(CommandLine, UnknownAndEmptyFirstArgumentsPlay) {
    for (const char* other : {"A", "/a", "x", "/", "-", "", "1", "/1c"}) EXPECT_EQ(modeOf({other}), ScreenSaverMode::Screen) << other;
    // The arguments after the first do not matter for S and C.
    EXPECT_EQ(modeOf({"/c", "/s"}), ScreenSaverMode::Config);
    EXPECT_EQ(modeOf({"/a", "/c"}), ScreenSaverMode::Screen);
}

TEST(CommandLine, NonAsciiLeadingCharacterIsDroppedWhole) {
    EXPECT_EQ(modeOf({"\xC3\xA9" "c"}), ScreenSaverMode::Config);        // é then c
    EXPECT_EQ(modeOf({"\xE2\x80\x94" "c"}), ScreenSaverMode::Config);    // em dash then c
    EXPECT_EQ(modeOf({"\xF0\x9F\x98\x80" "c"}), ScreenSaverMode::Config); // a four-byte character
    // Only ASCII letters are upper-cased: a non-ASCII letter after the drop picks nothing.
    EXPECT_EQ(modeOf({"/\xC3\xA7"}), ScreenSaverMode::Screen);
}

TEST(CommandLine, PreviewNeedsAnIntegerSecondArgument) {
    auto choice = ParseCommandLine({"/p", "1234"});
    EXPECT_EQ(choice.mode, ScreenSaverMode::Preview);
    EXPECT_EQ(choice.previewParent, 1234);
    choice = ParseCommandLine({"P", " -77"});
    EXPECT_EQ(choice.mode, ScreenSaverMode::Preview);
    EXPECT_EQ(choice.previewParent, -77);
    EXPECT_EQ(ParseCommandLine({"-p", "$1F"}).previewParent, 31);
    EXPECT_EQ(ParseCommandLine({"/preview", "0x10"}).previewParent, 16);
    EXPECT_EQ(ParseCommandLine({"/p", "+5"}).previewParent, 5);

    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"/p"}, {"/p:1234"}, {"/p", "abc"}, {"/p", ""}, {"/p", "12 "}, {"/p", "12abc"}, {"/p", "99999999999"}}) {
        choice = ParseCommandLine(bad);
        EXPECT_EQ(choice.mode, ScreenSaverMode::Screen) << bad.size();
        EXPECT_EQ(choice.previewParent, 0);
    }
}
