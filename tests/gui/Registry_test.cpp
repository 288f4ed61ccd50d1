#include "gui/Registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "gui/Exception.h"

namespace {

const char* const kTestKey = "\\Software\\NimbreTests\\Registry";

// Each test starts from an empty test key under HKCU and removes it afterwards.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::Registry cleaner;
    cleaner.DeleteKey(kTestKey);
    ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  }
  void TearDown() override {
    reg.CloseKey();
    gui::Registry cleaner;
    cleaner.DeleteKey(kTestKey);
  }
  // Writes a raw value beside the accessor, as another program would.
  void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(reg.CurrentKey(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  gui::Registry reg;
};

template <class E>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "(no exception)";
}

TEST_F(RegistryTest, OpenNeverCreatesUnlessAsked) {
  gui::Registry other;
  EXPECT_FALSE(other.OpenKey("\\Software\\NimbreTests\\Registry\\Missing"));
  EXPECT_FALSE(other.OpenKey("\\Software\\NimbreTests\\Registry\\Missing", false));
  EXPECT_EQ(other.CurrentKey(), nullptr);
  EXPECT_TRUE(other.OpenKey("\\Software\\NimbreTests\\Registry\\Missing", true));
  EXPECT_EQ(other.CurrentPath(), "Software\\NimbreTests\\Registry\\Missing");
  EXPECT_TRUE(other.OpenKey("Child", true)) << "relative to the open key";
  EXPECT_EQ(other.CurrentPath(), "Software\\NimbreTests\\Registry\\Missing\\Child");
  other.CloseKey();
  EXPECT_EQ(other.CurrentKey(), nullptr);
  EXPECT_TRUE(other.OpenKey("\\Software\\NimbreTests\\Registry\\Missing\\Child"));
}

TEST_F(RegistryTest, AFailedOpenKeepsThePreviousKey) {
  reg.WriteInteger("x", 3);
  EXPECT_FALSE(reg.OpenKey("NoSuchChild"));
  EXPECT_EQ(reg.ReadInteger("x"), 3);
}

TEST_F(RegistryTest, StringsAndIntegersRoundTripWithTheirTypes) {
  reg.WriteString("ScreenSaveTimeOut", "900");
  reg.WriteString("unicode", "K\xc3\xa4se");
  reg.WriteInteger("soundoff", 1);
  reg.WriteInteger("negative", -5);
  EXPECT_EQ(reg.ReadString("ScreenSaveTimeOut"), "900");
  EXPECT_EQ(reg.ReadString("unicode"), "K\xc3\xa4se");
  EXPECT_EQ(reg.ReadInteger("soundoff"), 1);
  EXPECT_EQ(reg.ReadInteger("negative"), -5);
  EXPECT_EQ(reg.GetDataType("ScreenSaveTimeOut"), gui::rdString);
  EXPECT_EQ(reg.GetDataType("soundoff"), gui::rdInteger);
  EXPECT_EQ(reg.GetDataSize("soundoff"), 4);
  EXPECT_EQ(reg.GetDataSize("ScreenSaveTimeOut"), 8) << "three UTF-16 characters and the NUL";
  EXPECT_TRUE(reg.ValueExists("soundoff"));
  EXPECT_FALSE(reg.ValueExists("nothing"));
  EXPECT_EQ(reg.GetDataType("nothing"), gui::rdUnknown);
  EXPECT_EQ(reg.GetDataSize("nothing"), -1);
}

TEST_F(RegistryTest, ReadStringOfMissingOrEmptyValueIsEmpty) {
  EXPECT_EQ(reg.ReadString("missing"), "");
  PutRaw(L"empty", REG_SZ, L"", 0);
  EXPECT_EQ(reg.ReadString("empty"), "");
}

TEST_F(RegistryTest, ReadStringTakesExpandStringsAsStoredAndCutsAtNul) {
  PutRaw(L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", 18);
  EXPECT_EQ(reg.ReadString("expand"), "%TEMP%\\x");
  EXPECT_EQ(reg.GetDataType("expand"), gui::rdExpandString);
  const wchar_t twoParts[] = L"600\0junk";
  PutRaw(L"nul", REG_SZ, twoParts, sizeof(twoParts));
  EXPECT_EQ(reg.ReadString("nul"), "600");
  const wchar_t unterminated[] = {L'4', L'2'};
  PutRaw(L"unterminated", REG_SZ, unterminated, sizeof(unterminated));
  EXPECT_EQ(reg.ReadString("unterminated"), "42");
}

TEST_F(RegistryTest, ReadingTheWrongTypeFailsWithTheValueName) {
  reg.WriteInteger("dword", 5);
  reg.WriteString("text", "1");
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { reg.ReadString("dword"); }),
            "Invalid data type for 'dword'");
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { reg.ReadInteger("text"); }),
            "Invalid data type for 'text'");
}

TEST_F(RegistryTest, ReadIntegerNeedsExactlyFourBytes) {
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { reg.ReadInteger("missing"); }),
            "Failed to get data for 'missing'");
  const unsigned char eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  PutRaw(L"long", REG_DWORD, eight, sizeof(eight));
  EXPECT_THROW(reg.ReadInteger("long"), gui::ERegistryException);
  PutRaw(L"binary", REG_BINARY, eight, 4);
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { reg.ReadInteger("binary"); }),
            "Invalid data type for 'binary'");
}

TEST_F(RegistryTest, WritingWithoutAWritableKeyFailsWithTheValueName) {
  gui::Registry closed;
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { closed.WriteString("ScreenSaveActive", "1"); }),
            "Failed to set data for 'ScreenSaveActive'");
  gui::Registry readOnly(KEY_READ);
  ASSERT_TRUE(readOnly.OpenKey(kTestKey));
  EXPECT_EQ(MessageOf<gui::ERegistryException>([&] { readOnly.WriteInteger("soundoff", 0); }),
            "Failed to set data for 'soundoff'");
  EXPECT_FALSE(reg.ValueExists("soundoff")) << "a failed write stores nothing";
}

TEST_F(RegistryTest, WriteReplacesAValueOfAnotherType) {
  reg.WriteString("soundoff", "1");
  reg.WriteInteger("soundoff", 0);
  EXPECT_EQ(reg.GetDataType("soundoff"), gui::rdInteger);
  EXPECT_EQ(reg.ReadInteger("soundoff"), 0);
}

TEST_F(RegistryTest, DeleteValueAndKey) {
  reg.WriteInteger("a", 1);
  EXPECT_TRUE(reg.DeleteValue("a"));
  EXPECT_FALSE(reg.ValueExists("a"));
  EXPECT_FALSE(reg.DeleteValue("a"));
  ASSERT_TRUE(reg.OpenKey("Sub\\Deeper", true));
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey("\\Software\\NimbreTests\\Registry\\Sub"));
  EXPECT_FALSE(reg.OpenKey("\\Software\\NimbreTests\\Registry\\Sub"));
}

TEST_F(RegistryTest, AnotherRootKey) {
  gui::Registry machine(KEY_READ);
  machine.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(machine.RootKey(), HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(machine.OpenKey("\\Software"));
  EXPECT_FALSE(machine.OpenKey("\\Software\\NimbreTests\\Registry")) << "that key lives under HKCU";
}

}  // namespace
