// Check boxes and radio buttons, driven by real window messages: check state, toggling on
// every input path, events in order, radio groups, sizes and pixels.
#include <gtest/gtest.h>

#include <string>

#include "gui/Bitmap.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Messages.h"
#include "gui/Panel.h"
#include "skin/SUIButton.h"
#include "skin/SUIThemes.h"
#include "tests/skin/SUIButton_test.h"

using namespace sui;
using namespace buttontest;

namespace {

// Counts the paints that reach the picture step.
class CountingCheckBox : public TsuiCheckBox {
 public:
  using TsuiCheckBox::TsuiCheckBox;
  int pictures = 0;

 protected:
  void DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) override {
    ++pictures;
    TsuiCheckBox::DrawPicture(canvas, picture);
  }
};

class CountingRadioButton : public TsuiRadioButton {
 public:
  using TsuiRadioButton::TsuiRadioButton;
  int pictures = 0;

 protected:
  void DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) override {
    ++pictures;
    TsuiRadioButton::DrawPicture(canvas, picture);
  }
};

// Where the caption area (right of a 13-wide picture at x = 1) has pixels of that colour.
Box CaptionInk(const gui::Bitmap& b, std::uint32_t pixel) {
  return BoxWhere(b, [&](int x, int y) { return x >= 14 && At(b, x, y) == pixel; });
}

std::string Names(const TsuiCustomButton& b) {
  return b.PicNormalResName() + " " + b.PicMouseOnResName() + " " + b.PicMouseDownResName();
}

}  // namespace

// --- construction and properties ----------------------------------------------

TEST(CheckBox, DroppedOnAProteinFormTakesItsStyleAndIsTransparent) {
  Host host;
  FakeFrame frame(&host.form, TsuiUIStyle::Protein);
  frame.SetParent(&host.form);
  TsuiCheckBox c(&host.form);
  EXPECT_EQ(c.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_TRUE(c.Transparent());
  EXPECT_FALSE(c.PicTransparent());
  EXPECT_EQ(c.Caption(), "suiCheckBox");
  EXPECT_EQ(c.Width(), 93);
  EXPECT_EQ(c.Height(), 17);
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(c.TabStop());
  EXPECT_TRUE(c.ParentColor());
  EXPECT_FALSE(c.AutoSize());
  EXPECT_EQ(c.ModalResult(), 0);
  EXPECT_EQ(Names(c), "PROTEIN_CHECKBOX_UNCHECK PROTEIN_CHECKBOX_UNCHECK PROTEIN_CHECKBOX_UNCHECK");
}

TEST(CheckBox, RadioButtonWithoutOwnerIsDeepBlueKeyedAndInGroupZero) {
  TsuiRadioButton r(nullptr);
  EXPECT_EQ(r.UIStyle(), TsuiUIStyle::DeepBlue);
  EXPECT_EQ(r.Caption(), "suiRadioButton");
  EXPECT_EQ(r.Width(), 93);
  EXPECT_EQ(r.Height(), 17);
  EXPECT_FALSE(r.Transparent());
  EXPECT_TRUE(r.PicTransparent());
  EXPECT_EQ(r.GroupIndex(), 0);
  EXPECT_EQ(Names(r), "DEEPBLUE_RADIOBUTTON_UNCHECK DEEPBLUE_RADIOBUTTON_UNCHECK DEEPBLUE_RADIOBUTTON_UNCHECK");
  r.SetTransparent(true);  // the picture stays keyed whatever Transparent says
  EXPECT_TRUE(r.PicTransparent());
  TsuiCheckBox c(nullptr);
  c.SetTransparent(true);
  EXPECT_FALSE(c.PicTransparent());
}

TEST(CheckBox, PictureNamesFollowStyleCheckStateAndEnabled) {
  TsuiCheckBox c(nullptr);
  c.SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_FALSE(c.Transparent());
  c.SetChecked(true);
  EXPECT_EQ(Names(c), "WINXP_CHECKBOX_NORMAL_CHECK WINXP_CHECKBOX_MOUSEON_CHECK WINXP_CHECKBOX_MOUSEDOWN_CHECK");
  c.SetEnabled(false);
  EXPECT_EQ(c.PicNormalResName(), "WINXP_CHECKBOX_DISABLE_CHECK");
  c.SetEnabled(true);
  c.SetUIStyle(TsuiUIStyle::MacOS);
  EXPECT_TRUE(c.Transparent());
  EXPECT_EQ(Names(c), "MACOS_CHECKBOX_CHECK MACOS_CHECKBOX_CHECK MACOS_CHECKBOX_CHECK");
  c.SetUIStyle(TsuiUIStyle::Custom);  // Custom: every name empty, Transparent kept
  EXPECT_TRUE(c.Transparent());
  EXPECT_EQ(Names(c), "  ");

  TsuiRadioButton r(nullptr);
  r.SetUIStyle(TsuiUIStyle::BlueGlass);
  r.SetChecked(true);
  r.SetEnabled(false);
  EXPECT_EQ(Names(r), "BLUEGLASS_RADIOBUTTON_DISABLE_CHECK BLUEGLASS_RADIOBUTTON_CHECK BLUEGLASS_RADIOBUTTON_CHECK");
}

TEST(CheckBox, AutoSizeFitsPictureFontAndCaption) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::MacOS);
  c.Font().SetHeight(-11);
  c.SetCaption("Sound off");
  EXPECT_EQ(c.Width(), 93);  // nothing while AutoSize is off
  c.SetAutoSize(true);
  const int text = TextSize("Sound off", c.Font()).cx;
  EXPECT_EQ(c.ClientHeight(), 21);  // max(11 + 2, 17) + 4
  EXPECT_EQ(c.ClientWidth(), 15 + 8 + text);
  c.Font().SetHeight(-20);
  EXPECT_EQ(c.ClientHeight(), 26);
  c.SetCaption("Sound off, please");
  EXPECT_EQ(c.ClientWidth(), 15 + 8 + TextSize("Sound off, please", c.Font()).cx);
  c.SetWidth(300);  // a resize is fitted again
  EXPECT_EQ(c.ClientWidth(), 15 + 8 + TextSize("Sound off, please", c.Font()).cx);
  c.SetUIStyle(TsuiUIStyle::Custom);  // no check picture: width 0
  c.SetCaption("x");
  EXPECT_EQ(c.ClientWidth(), 8 + TextSize("x", c.Font()).cx);
}

// --- painting ---------------------------------------------------------------------

TEST(CheckBoxPaint, PictureUnscaledAtOneAndCaptionAfterItGreyWhenDisabled) {
  Host host(kGreen);
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::DeepBlue);
  c.Font().SetColor(kRedColor);
  c.SetChecked(true);
  const gui::Bitmap box = NamedBitmap("DEEPBLUE_CHECKBOX_CHECK");
  gui::Bitmap out = Paint(c);
  EXPECT_EQ(CountDiff(out, box, 1, 2), 0);  // y = (17 - 13) div 2
  EXPECT_EQ(At(out, 0, 0), kGreenPixel);
  const Box text = CaptionInk(out, kRedPixel);
  ASSERT_FALSE(text.Empty());
  EXPECT_GE(text.left, 13 + 4);
  EXPECT_EQ(c.CaptionRect().left, 17);
  EXPECT_EQ(c.CaptionRect().right, 93);

  c.SetEnabled(false);
  gui::Bitmap off = Paint(c);
  EXPECT_EQ(CountDiff(off, NamedBitmap("DEEPBLUE_CHECKBOX_DISABLE_CHECK"), 1, 2), 0);
  EXPECT_TRUE(CaptionInk(off, kRedPixel).Empty());
  EXPECT_EQ(CaptionInk(off, kGreyPixel), text);  // no white shadow, no offset
  EXPECT_TRUE(CaptionInk(off, kWhite).Empty());
}

TEST(CheckBoxPaint, RadioPictureIsKeyedAndMacOSCaptionsStartAtTheSameX) {
  Host host(kGreen);
  TsuiRadioButton r(&host.form);
  r.SetParent(&host.form);
  r.SetUIStyle(TsuiUIStyle::MacOS);
  r.SetTransparent(false);
  const gui::Bitmap dot = NamedBitmap("MACOS_RADIOBUTTON_UNCHECK");
  gui::Bitmap out = Paint(r);
  const std::uint32_t key = At(dot, 0, 0);
  for (int y = 0; y < dot.Height(); ++y)
    for (int x = 0; x < dot.Width(); ++x)
      ASSERT_EQ(At(out, 1 + x, y), At(dot, x, y) == key ? kGreenPixel : At(dot, x, y)) << x << "," << y;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::MacOS);
  Paint(c);
  // The radio button measures the check box picture (15 wide) for its 16-wide picture.
  EXPECT_EQ(c.CaptionRect().left, 19);
  EXPECT_EQ(r.CaptionRect().left, 19);
}

TEST(CheckBoxPaint, TransparentShowsTheParentBehindTheUnkeyedPicture) {
  Host host(kGreen);
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetColor(0x0000FF);
  c.SetUIStyle(TsuiUIStyle::Protein);  // transparent
  gui::Bitmap out = Paint(c);
  EXPECT_EQ(At(out, 0, 0), kGreenPixel);
  EXPECT_EQ(CountDiff(out, NamedBitmap("PROTEIN_CHECKBOX_UNCHECK"), 1, 2), 0);
  c.SetTransparent(false);
  EXPECT_EQ(At(Paint(c), 0, 0), kRedPixel);
}

TEST(CheckBoxPaint, CustomStyleShowsTheBlankPicture) {
  Host host(kGreen);
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::Custom);
  c.SetTransparent(false);
  c.SetBounds(0, 0, 100, 40);
  c.SetCaption("");
  EXPECT_EQ(InkBox(Paint(c), kWhite), (Box{1, 20, 75, 40}));  // at (1, 40 div 2), clipped
}

TEST(CheckBoxPaint, FocusRectangleFollowsTheCaptionAndIsMissingWithABlankCaption) {
  Host host(kGreen);
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::DeepBlue);
  c.Font().SetHeight(-11);
  gui::Bitmap plain = Paint(c);
  c.SetFocus();
  ASSERT_TRUE(c.Focused());
  gui::Bitmap focused = Paint(c);
  // x - 1 = 16; y = (17 - 13) div 2 = 2; to the control's right and bottom edge.
  EXPECT_EQ(DiffBox(plain, focused), (Box{16, 2, 93, 17}));

  c.SetCaption(" ");  // the settings dialog's box: picture only, no indicator
  gui::Bitmap blankFocused = Paint(c);
  host.form.SetFocus();
  EXPECT_FALSE(c.Focused());
  EXPECT_EQ(CountDiff(Paint(c), blankFocused, 0, 0), 0);
  EXPECT_EQ(CountDiff(blankFocused, NamedBitmap("DEEPBLUE_CHECKBOX_UNCHECK"), 1, 2), 0);
}

// --- toggling ---------------------------------------------------------------------

TEST(CheckBoxInput, LeftClickTogglesThenClicksOnceRightClickOnlyToggles) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  Recorder rec;
  c.OnClick = [&](gui::Component*) { rec.Add(c.Checked() ? "click:checked" : "click:unchecked"); };
  c.OnMouseUp = [&](gui::Component*, gui::TMouseButton, gui::TShiftState, int, int) { rec.Add("up"); };
  host.Click(c);
  EXPECT_TRUE(c.Checked());
  EXPECT_TRUE(c.Focused());
  EXPECT_EQ(rec.Text(), "click:checked up");
  rec.events.clear();
  host.Send(c, WM_RBUTTONDOWN, MK_RBUTTON, 3, 3);
  host.Send(c, WM_RBUTTONUP, 0, 3, 3);
  EXPECT_FALSE(c.Checked());
  host.Send(c, WM_MBUTTONDOWN, MK_MBUTTON, 3, 3);
  host.Send(c, WM_MBUTTONUP, 0, 3, 3);
  EXPECT_TRUE(c.Checked());
  EXPECT_EQ(rec.Text(), "up up");
}

TEST(CheckBoxInput, ReleaseAfterDraggingOutsideTogglesWithoutAClick) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  int clicks = 0;
  c.OnClick = [&](gui::Component*) { ++clicks; };
  host.Send(c, WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
  host.Send(c, WM_MOUSEMOVE, MK_LBUTTON, 200, 3);
  host.Send(c, WM_LBUTTONUP, 0, 200, 3);
  EXPECT_TRUE(c.Checked());
  EXPECT_EQ(clicks, 0);
}

TEST(CheckBoxInput, DoubleClickTogglesTwiceClicksTwiceAndDoubleClicksOnce) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  Recorder rec;
  c.OnClick = [&](gui::Component*) { rec.Add(c.Checked() ? "click:1" : "click:0"); };
  c.OnDblClick = [&](gui::Component*) { rec.Add("dbl"); };
  host.Click(c);
  host.Send(c, WM_LBUTTONDBLCLK, MK_LBUTTON, 3, 3);
  host.Send(c, WM_LBUTTONUP, 0, 3, 3);
  EXPECT_FALSE(c.Checked());
  EXPECT_EQ(rec.Text(), "click:1 dbl click:0");
}

TEST(CheckBoxInput, SpaceAndReturnToggleOnReleaseThenClick) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  Recorder rec;
  c.OnClick = [&](gui::Component*) { rec.Add(c.Checked() ? "click:1" : "click:0"); };
  c.SetFocus();
  host.Key(c, WM_KEYDOWN, VK_SPACE);
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(c.IsMouseDown());
  host.Key(c, WM_KEYUP, VK_SPACE);
  EXPECT_TRUE(c.Checked());
  host.Key(c, WM_KEYDOWN, VK_RETURN);
  host.Key(c, WM_KEYUP, VK_RETURN);
  EXPECT_FALSE(c.Checked());
  EXPECT_EQ(rec.Text(), "click:1 click:0");
  // A key-up without its key-down still toggles, but raises no click.
  host.Key(c, WM_KEYUP, VK_SPACE);
  EXPECT_TRUE(c.Checked());
  EXPECT_EQ(rec.events.size(), 2u);
  // Disabled: nothing.
  c.SetEnabled(false);
  host.Key(c, WM_KEYUP, VK_SPACE);
  EXPECT_TRUE(c.Checked());
}

TEST(CheckBoxInput, AcceleratorClicksBeforeTheToggle) {
  Host host;
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetCaption("&Sound off");
  TsuiButton other(&host.form);
  other.SetParent(&host.form);
  other.SetLeft(150);
  Recorder rec;
  c.OnClick = [&](gui::Component*) { rec.Add(c.Checked() ? "click:1" : "click:0"); };
  other.SetFocus();
  host.Key(other, WM_CHAR, 's');
  EXPECT_TRUE(c.Checked());
  EXPECT_TRUE(c.Focused());
  EXPECT_EQ(rec.Text(), "click:0");
  EXPECT_EQ(c.Perform(gui::CM_DIALOGCHAR, 'S'), 1);
  EXPECT_FALSE(c.Checked());
  EXPECT_EQ(c.Perform(gui::CM_DIALOGCHAR, 'o'), 0);
  EXPECT_FALSE(c.Checked());
}

// --- radio groups -----------------------------------------------------------------

TEST(RadioButton, ClickingACheckedRadioKeepsItCheckedAndStillClicks) {
  Host host;
  TsuiRadioButton r(&host.form);
  r.SetParent(&host.form);
  int clicks = 0;
  r.OnClick = [&](gui::Component*) { ++clicks; };
  host.Click(r);
  EXPECT_TRUE(r.Checked());
  host.Click(r);
  EXPECT_TRUE(r.Checked());
  host.Send(r, WM_RBUTTONUP, 0, 3, 3);
  EXPECT_TRUE(r.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(RadioButton, CheckingUnchecksOnlyDirectSiblingsOfTheSameGroup) {
  Host host;
  gui::Panel a(&host.form), b(&host.form);
  a.SetParent(&host.form);
  b.SetParent(&host.form);
  b.SetLeft(150);
  TsuiRadioButton first(&host.form), second(&host.form), third(&host.form), elsewhere(&host.form);
  TsuiCheckBox box(&host.form);
  for (gui::Control* c : {static_cast<gui::Control*>(&first), static_cast<gui::Control*>(&second),
                          static_cast<gui::Control*>(&third), static_cast<gui::Control*>(&box)})
    c->SetParent(&a);
  elsewhere.SetParent(&b);
  third.SetGroupIndex(1);
  second.SetChecked(true);
  third.SetChecked(true);
  elsewhere.SetChecked(true);
  box.SetChecked(true);
  host.Click(first);
  EXPECT_TRUE(first.Checked());
  EXPECT_FALSE(second.Checked());
  EXPECT_TRUE(third.Checked());
  EXPECT_TRUE(elsewhere.Checked());
  EXPECT_TRUE(box.Checked());
  // By code as well; unchecking and regrouping touch nobody.
  second.SetChecked(true);
  EXPECT_FALSE(first.Checked());
  second.SetChecked(false);
  EXPECT_FALSE(first.Checked());
  third.SetGroupIndex(0);
  EXPECT_TRUE(third.Checked());
  TsuiRadioButton orphan(nullptr);
  orphan.SetChecked(true);
  EXPECT_TRUE(orphan.Checked());
}

TEST(RadioButton, SettingTheCurrentStateDoesNothing) {
  Host host;
  CountingRadioButton a(&host.form), b(&host.form);
  a.SetParent(&host.form);
  b.SetParent(&host.form);
  b.SetTop(30);
  a.SetChecked(true);
  b.SetGroupIndex(5);
  b.SetChecked(true);
  b.SetGroupIndex(0);  // now two checked radio buttons in group 0
  UpdateWindow(host.form.Handle());
  const int paints = a.pictures;
  a.SetChecked(true);
  EXPECT_TRUE(b.Checked());
  EXPECT_EQ(a.pictures, paints);
  CountingCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetTop(60);
  UpdateWindow(host.form.Handle());
  const int boxPaints = c.pictures;
  c.SetChecked(false);
  EXPECT_EQ(c.pictures, boxPaints);
  c.SetChecked(true);
  EXPECT_GT(c.pictures, boxPaints);
}

TEST(CheckBoxStyleWalk, FormStyleReachesCheckBoxesAndRadioButtonsUnlessCustom) {
  Host host;
  TsuiCheckBox c(&host.form), custom(&host.form);
  TsuiRadioButton r(&host.form);
  c.SetParent(&host.form);
  custom.SetParent(&host.form);
  r.SetParent(&host.form);
  custom.SetUIStyle(TsuiUIStyle::Custom);
  ApplyStyleToChildren(&host.form, TsuiUIStyle::MacOS);
  EXPECT_EQ(c.UIStyle(), TsuiUIStyle::MacOS);
  EXPECT_TRUE(c.Transparent());
  EXPECT_EQ(r.UIStyle(), TsuiUIStyle::MacOS);
  EXPECT_EQ(r.PicNormalResName(), "MACOS_RADIOBUTTON_UNCHECK");
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
}

// --- handles -----------------------------------------------------------------------

TEST(CheckBoxLeaks, PaintsInEveryStateLeaveTheGdiCountUnchanged) {
  Host host(kGreen);
  TsuiCheckBox c(&host.form);
  c.SetParent(&host.form);
  c.SetUIStyle(TsuiUIStyle::MacOS);  // transparent: the parent paints too
  c.SetCaption("Sound off");
  TsuiRadioButton r(&host.form);
  r.SetParent(&host.form);
  r.SetTop(40);
  r.SetUIStyle(TsuiUIStyle::WinXP);  // keyed picture, own hover and press pictures
  gui::Bitmap target(93, 17);
  const HDC dc = target.Canvas().Handle();
  constexpr int kStates = 5;
  for (TsuiCustomButtonEx* b : {static_cast<TsuiCustomButtonEx*>(&c), static_cast<TsuiCustomButtonEx*>(&r)}) {
    Paint(*b);
    for (int state = 0; state < kStates; ++state) {
      if (state == 1) host.Enter(*b);
      if (state == 2) host.Send(*b, WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
      if (state == 3) {
        host.Send(*b, WM_LBUTTONUP, 0, 3, 3);  // checked and focused
        ASSERT_TRUE(b->Checked());
        ASSERT_TRUE(b->Focused());
      }
      if (state == 4) b->SetEnabled(false);
      EXPECT_EQ(GdiChangeOverPaints(*b, dc, kLeakPaints / kStates), 0) << "state " << state;
    }
  }
}
