#include "gui/Text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "gui/Exception.h"

namespace {

TEST(StrToInt, ReadsDecimalWithLeadingBlanksAndSign) {
  EXPECT_EQ(gui::StrToInt("600"), 600);
  EXPECT_EQ(gui::StrToInt(" 600"), 600);
  EXPECT_EQ(gui::StrToInt("   -42"), -42);
  EXPECT_EQ(gui::StrToInt("+7"), 7);
  EXPECT_EQ(gui::StrToInt("0"), 0);
}

TEST(StrToInt, ReadsHexadecimalAfterDollarOrZeroX) {
  EXPECT_EQ(gui::StrToInt("$FF"), 255);
  EXPECT_EQ(gui::StrToInt("0x1a"), 26);
  EXPECT_EQ(gui::StrToInt("0X10"), 16);
  EXPECT_EQ(gui::StrToInt(" -$10"), -16);
  EXPECT_EQ(gui::StrToInt("$7FFFFFFF"), 2147483647);
}

TEST(StrToInt, CoversTheSigned32BitRangeExactly) {
  EXPECT_EQ(gui::StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(gui::StrToInt("-2147483648"), -2147483647 - 1);
  int value = 0;
  EXPECT_FALSE(gui::TryStrToInt("2147483648", value));
  EXPECT_FALSE(gui::TryStrToInt("-2147483649", value));
  EXPECT_FALSE(gui::TryStrToInt("99999999999999999999999", value));
  EXPECT_FALSE(gui::TryStrToInt("$100000000", value));
}

TEST(StrToInt, RejectsAnythingAfterTheDigitsAndEmptyNumbers) {
  for (const char* text : {"600 ", "10m", "", " ", "-", "$", "0x", "1 2", "abc", "12.5", "\t5", "--1"}) {
    int value = 1234;
    EXPECT_FALSE(gui::TryStrToInt(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, 1234) << "a failed conversion stores nothing";
  }
}

TEST(StrToInt, FailsWithTheConversionMessage) {
  try {
    gui::StrToInt("10m");
    FAIL() << "no exception";
  } catch (const gui::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'10m' is not a valid integer value");
  }
  try {
    gui::StrToInt("");
    FAIL() << "no exception";
  } catch (const gui::Exception& e) {
    EXPECT_EQ(e.Message(), "'' is not a valid integer value");
  }
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(gui::Round(90 / 60.0), 2);
  EXPECT_EQ(gui::Round(150 / 60.0), 2);
  EXPECT_EQ(gui::Round(30 / 60.0), 0);
  EXPECT_EQ(gui::Round(3.5), 4);
  EXPECT_EQ(gui::Round(-2.5), -2);
  EXPECT_EQ(gui::Round(2.6), 3);
  EXPECT_EQ(gui::Round(-2.6), -3);
  EXPECT_EQ(gui::IntToStr(-900), "-900");
}

TEST(TextHelpers, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(gui::Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(gui::Trim(" "), "");
  EXPECT_EQ(gui::Trim("\x01x\x1f"), "x");
  EXPECT_EQ(gui::UpperCase("/s-\xc3\xa4z"), "/S-\xc3\xa4Z") << "only a to z change";
}

TEST(TextHelpers, Utf8AndUtf16RoundTrip) {
  const std::string text = "K\xc3\xa4se \xe2\x82\xac \xf0\x9f\x98\x80";  // Käse € and an emoji
  const std::wstring wide = gui::Utf8ToWide(text);
  EXPECT_EQ(wide, std::wstring(L"K\u00e4se \u20ac \xd83d\xde00"));
  EXPECT_EQ(gui::WideToUtf8(wide), text);
  EXPECT_EQ(gui::Utf8ToWide(""), L"");
}

TEST(CommandLine, BlanksSeparateAndQuotesGroup) {
  using V = std::vector<std::string>;
  EXPECT_EQ(gui::SplitCommandLine(L"prog.scr /p 1234"), (V{"prog.scr", "/p", "1234"}));
  EXPECT_EQ(gui::SplitCommandLine(L"\"C:\\My Folder\\prog.scr\"   /c:99  "),
            (V{"C:\\My Folder\\prog.scr", "/c:99"}));
  EXPECT_EQ(gui::SplitCommandLine(L"a\"b c\"d\te"), (V{"ab cd", "e"}));
  EXPECT_EQ(gui::SplitCommandLine(L"prog"), (V{"prog"}));
  EXPECT_EQ(gui::SplitCommandLine(L"   "), V{});
}

TEST(CommandLine, ParamStrZeroIsTheRunningProgram) {
  const std::string program = gui::ParamStr(0);
  EXPECT_TRUE(gui::FileExists(program)) << program;
  EXPECT_EQ(gui::ExtractFilePath(program), gui::ProgramFolder());
  EXPECT_EQ(gui::ParamStr(gui::ParamCount() + 1), "");
  EXPECT_EQ(gui::ParamStr(-1), "");
}

TEST(Paths, ExtractFilePathKeepsTheTrailingSeparator) {
  EXPECT_EQ(gui::ExtractFilePath("C:\\a\\b.exe"), "C:\\a\\");
  EXPECT_EQ(gui::ExtractFilePath("C:b.exe"), "C:");
  EXPECT_EQ(gui::ExtractFilePath("b.exe"), "");
  const std::string folder = gui::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
}

TEST(Paths, FileExistsOnlyForFiles) {
  EXPECT_FALSE(gui::FileExists(gui::ProgramFolder()));
  EXPECT_FALSE(gui::FileExists(gui::ProgramFolder() + "no such file.xyz"));
  EXPECT_FALSE(gui::FileExists(""));
}

}  // namespace
