// Buttons and check boxes inside a skinned form frame, laid out like the settings dialog: the
// style they start with, the frame's style reaching them, and "Quit" ending the modal show.
#include <gtest/gtest.h>

#include "gui/Form.h"
#include "gui/Panel.h"
#include "skin/SUIButton.h"
#include "skin/SUIForm.h"
#include "skin/SUIImagePanel.h"
#include "tests/skin/SUIButton_test.h"

using namespace sui;
using namespace buttontest;

namespace {

// A Protein frame with a picture panel holding "Quit", and the sound-off box beside it.
struct Dialog {
  Dialog() {
    form.SetBounds(80, 80, 280, 140);
    frame = new TsuiForm(&form);
    frame->SetUIStyle(TsuiUIStyle::Protein);
    panel = new TsuiImagePanel(&form);
    panel->SetParent(frame);
    panel->SetBounds(0, 20, 270, 40);
    quit = new TsuiButton(&form);
    quit->SetParent(panel);
    quit->SetBounds(177, 4, 80, 27);
    quit->SetCaption("Quit");
    quit->SetModalResult(gui::mrCancel);
    sound = new TsuiCheckBox(&form);
    sound->SetParent(frame);
    sound->SetBounds(178, 70, 21, 18);
    sound->SetUIStyle(TsuiUIStyle::MacOS);
    sound->SetCaption(" ");
  }
  gui::Form form{nullptr};
  TsuiForm* frame = nullptr;
  TsuiImagePanel* panel = nullptr;
  TsuiButton* quit = nullptr;
  TsuiCheckBox* sound = nullptr;
};

}  // namespace

TEST(ButtonsOnSkinnedForm, StartWithTheFramesStyle) {
  Dialog d;
  TsuiButton button(&d.form);
  TsuiRadioButton radio(&d.form);
  EXPECT_EQ(button.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(radio.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_TRUE(d.sound->Transparent());  // MacOS
}

TEST(ButtonsOnSkinnedForm, FrameStyleReachesThemUnlessCustom) {
  Dialog d;
  TsuiButton custom(&d.form);
  custom.SetParent(d.frame);
  custom.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  gui::Panel plain(&d.form);
  plain.SetParent(d.frame);
  TsuiButton onPlain(&d.form);
  onPlain.SetParent(&plain);
  d.frame->SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_EQ(d.quit->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(d.sound->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_FALSE(d.sound->Transparent());
  EXPECT_EQ(d.sound->PicNormalResName(), "WINXP_CHECKBOX_NORMAL_UNCHECK");
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
  EXPECT_EQ(onPlain.UIStyle(), TsuiUIStyle::Protein);
  d.frame->SetUIStyle(TsuiUIStyle::MacOS);
  EXPECT_EQ(d.quit->Height(), 23);
}

TEST(ButtonsOnSkinnedForm, QuitEndsTheModalShowAfterItsHandlerAndTheBoxKeepsItsClicks) {
  Dialog d;
  Recorder rec;
  d.quit->OnClick = [&](gui::Component*) { rec.Add(d.form.Modal() ? "quit:modal" : "quit:-"); };
  d.sound->OnClick = [&](gui::Component*) { rec.Add(d.sound->Checked() ? "sound:1" : "sound:0"); };
  d.form.HandleNeeded();
  for (gui::WinControl* c : {static_cast<gui::WinControl*>(d.sound), static_cast<gui::WinControl*>(d.quit)}) {
    PostMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }
  EXPECT_EQ(d.form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(rec.Text(), "sound:1 quit:modal");
  EXPECT_TRUE(d.sound->Checked());
}
