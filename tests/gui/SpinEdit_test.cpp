#include "gui/SpinEdit.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Panel.h"

namespace {

class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 200, 100);
    spin = new gui::SpinEdit(&form);
    spin->SetParent(&form);
    spin->SetBounds(148, 28, 49, 24);
    spin->SetMinValue(1);
    spin->SetMaxValue(100);
    spin->SetIncrement(1);
    spin->SetValue(15);
  }
  gui::Form form{nullptr};
  gui::SpinEdit* spin = nullptr;
};

TEST_F(SpinEditTest, SettingTheValuePullsItIntoTheRange) {
  EXPECT_EQ(spin->Value(), 15);
  EXPECT_EQ(spin->EditText(), "15");
  spin->SetValue(110);
  EXPECT_EQ(spin->Value(), 100);
  spin->SetValue(0);
  EXPECT_EQ(spin->Value(), 1);
  spin->SetValue(-5);
  EXPECT_EQ(spin->EditText(), "1");
}

TEST_F(SpinEditTest, TheValueIsReadFromTheTextWithoutRangeCheck) {
  spin->SetEditText("250");
  EXPECT_EQ(spin->Value(), 250);
  spin->SetEditText(" 60");
  EXPECT_EQ(spin->Value(), 60);
  spin->SetEditText("abc");
  EXPECT_EQ(spin->Value(), 1) << "text that is no integer reads as the minimum";
  spin->SetEditText("");
  EXPECT_EQ(spin->Value(), 1);
  // The same holds once the native field exists.
  spin->HandleNeeded();
  SetWindowTextW(spin->EditHandle(), L"7x");
  EXPECT_EQ(spin->Value(), 1);
  SetWindowTextW(spin->EditHandle(), L"$10");
  EXPECT_EQ(spin->Value(), 16);
}

TEST_F(SpinEditTest, LeavingTheFieldPullsATypedValueIntoTheRange) {
  auto* other = new gui::Panel(&form);
  other->SetParent(&form);
  other->SetTabStop(true);
  form.Show();
  spin->SetFocus();
  EXPECT_TRUE(spin->Focused());
  EXPECT_EQ(form.ActiveControl(), spin);
  SetWindowTextW(spin->EditHandle(), L"150");
  EXPECT_EQ(spin->Value(), 150);
  other->SetFocus();
  EXPECT_EQ(spin->EditText(), "100");
  spin->SetFocus();
  SetWindowTextW(spin->EditHandle(), L"0");
  other->SetFocus();
  EXPECT_EQ(spin->Value(), 1);
}

TEST_F(SpinEditTest, ArrowKeysButtonsAndTypingChangeTheValue) {
  form.Show();
  spin->SetFocus();
  HWND edit = spin->EditHandle();
  SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(spin->Value(), 16);
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(spin->Value(), 14);
  NMUPDOWN change{};
  change.hdr.code = UDN_DELTAPOS;
  change.hdr.hwndFrom = FindWindowExW(spin->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  change.iDelta = 1;
  SendMessageW(spin->Handle(), WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(spin->Value(), 15);
  spin->SetValue(100);
  SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(spin->Value(), 100) << "a step stays inside the range";
  SetWindowTextW(edit, L"");
  SendMessageW(edit, WM_CHAR, '4', 0);
  SendMessageW(edit, WM_CHAR, '2', 0);
  EXPECT_EQ(spin->Value(), 42);
}

}  // namespace
