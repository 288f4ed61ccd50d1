// Skinned push buttons, driven by real window messages: state, events in order, pixels.
#include "skin/SUIButton.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Messages.h"
#include "gui/Panel.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIThemes.h"
#include "tests/skin/SUIButton_test.h"

using namespace sui;
using namespace buttontest;

namespace {

// A button in the Custom style whose picture cannot be loaded: the blank 74 x 21 picture.
// Keyed on its own (white) corner it lets the background colour show everywhere.
void MakeBlankCustom(TsuiButton& b) {
  b.SetPicNormalResName("NO_SUCH_PICTURE");
  b.SetPicTransparent(true);
}

gui::Bitmap Glyph(int w, int h, std::uint32_t left, std::uint32_t right) {
  gui::Bitmap g(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) g.ScanLine(y)[x] = x < h ? left : right;
  g.ScanLine(0)[0] = kKey;  // the key colour of the glyph
  if (w == 2 * h) g.ScanLine(0)[h] = kKey;
  return g;
}

}  // namespace

// --- construction and properties ----------------------------------------------

TEST(Button, ConstructionWithoutFormIsDeepBlue80x27) {
  TsuiButton b(nullptr);
  EXPECT_EQ(b.UIStyle(), TsuiUIStyle::DeepBlue);
  EXPECT_EQ(b.Width(), 80);
  EXPECT_EQ(b.Height(), 27);
  EXPECT_EQ(b.Spacing(), 4);
  EXPECT_EQ(b.Layout(), blGlyphLeft);
  EXPECT_TRUE(b.Glyph().Empty());
  EXPECT_FALSE(b.Transparent());
  EXPECT_FALSE(b.AutoSize());
  EXPECT_FALSE(b.TabStop());
  EXPECT_EQ(b.ModalResult(), 0);
  EXPECT_EQ(b.ResHandle(), nullptr);
  EXPECT_EQ(b.Caption(), "");
  EXPECT_FALSE(b.IsMouseOn() || b.IsMouseDown() || b.InUserClick());
}

TEST(Button, TakesTheStyleOfTheFormFrameAmongItsOwnersChildren) {
  Host host;
  FakeFrame frame(&host.form, TsuiUIStyle::Protein);
  frame.SetParent(&host.form);
  TsuiButton b(&host.form);
  EXPECT_EQ(b.UIStyle(), TsuiUIStyle::Protein);
  gui::Form bare(nullptr);
  TsuiButton other(&bare);
  EXPECT_EQ(other.UIStyle(), TsuiUIStyle::DeepBlue);
}

TEST(Button, PictureNamesReadEmptyInBuiltInStylesAndSwitchToCustomWhenSet) {
  TsuiButton b(nullptr);
  b.SetUIStyle(TsuiUIStyle::BlueGlass);
  EXPECT_TRUE(b.Transparent());
  EXPECT_TRUE(b.PicTransparent());
  EXPECT_EQ(b.PicNormalResName(), "");
  EXPECT_EQ(b.PicMouseOnResName(), "");
  EXPECT_EQ(b.PicMouseDownResName(), "");
  b.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  EXPECT_EQ(b.UIStyle(), TsuiUIStyle::Custom);
  EXPECT_FALSE(b.Transparent());
  EXPECT_FALSE(b.PicTransparent());
  EXPECT_EQ(b.PicNormalResName(), "PROTEIN_BUTTON_NORMAL");
  // The theme names of the old style stay behind the Custom style.
  EXPECT_EQ(b.PicMouseOnResName(), "BLUEGLASS_BUTTON_MOUSEON");
  b.SetPicMouseDownResName("X");
  EXPECT_EQ(b.PicMouseDownResName(), "X");
  for (TsuiUIStyle s : {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein}) {
    b.SetUIStyle(s);
    EXPECT_FALSE(b.Transparent());
  }
}

TEST(Button, ResHandleZeroMeansTheProgramAndReadsBackZero) {
  TsuiButton b(nullptr);
  b.SetResHandle(nullptr);
  EXPECT_EQ(b.ResHandle(), nullptr);
  b.SetResHandle(GetModuleHandleW(nullptr));
  EXPECT_EQ(b.ResHandle(), nullptr);
  HINSTANCE kernel = GetModuleHandleW(L"kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  b.SetResHandle(kernel);
  EXPECT_EQ(b.ResHandle(), kernel);
}

TEST(Button, MacOSHeightIs23AndOtherHeightsAreRefused) {
  TsuiButton b(nullptr);
  b.SetUIStyle(TsuiUIStyle::MacOS);
  EXPECT_EQ(b.Height(), 23);
  b.SetHeight(27);
  EXPECT_EQ(b.Height(), 23);
  b.SetWidth(120);
  EXPECT_EQ(b.Width(), 120);
  b.SetBounds(3, 4, 90, 30);
  EXPECT_EQ(b.Width(), 120);
  EXPECT_EQ(b.Height(), 23);
  EXPECT_EQ(b.Left(), 3);
  b.SetUIStyle(TsuiUIStyle::Protein);
  EXPECT_EQ(b.Height(), 23);
  b.SetHeight(27);
  EXPECT_EQ(b.Height(), 27);
}

TEST(Button, AutoSizeTakesTheNormalPictureOrTheBlankSize) {
  TsuiButton b(nullptr);
  b.SetPicNormalResName("MACOS_BUTTON_NORMAL");
  EXPECT_EQ(b.Width(), 80);  // AutoSize off: nothing
  b.SetAutoSize(true);
  EXPECT_EQ(b.Width(), 84);
  EXPECT_EQ(b.Height(), 23);
  b.SetPicNormalResName("SIDECHANNEL_BAR_NORMAL");
  EXPECT_EQ(b.Width(), 8);
  EXPECT_EQ(b.Height(), 172);
  b.SetPicNormalResName("NO_SUCH_PICTURE");
  EXPECT_EQ(b.Width(), kBlankPictureWidth);
  EXPECT_EQ(b.Height(), kBlankPictureHeight);
  b.SetPicNormalResName("");
  EXPECT_EQ(b.Width(), kBlankPictureWidth);
}

// --- painting ---------------------------------------------------------------------

TEST(ButtonPaint, BuiltInStyleShowsItsThemeBitmapStretchedToTheButton) {
  TsuiButton b(nullptr);
  b.SetUIStyle(TsuiUIStyle::Protein);
  b.SetBounds(0, 0, 74, 21);
  gui::Bitmap face = ThemeBitmap(TsuiUIStyle::Protein, thButtonNormal);
  gui::Bitmap out = Paint(b);
  EXPECT_EQ(CountDiff(out, face, 0, 0), 0);

  b.SetBounds(0, 0, 120, 31);
  gui::Bitmap wide = Paint(b);
  // Left half and right half of the bitmap at the edges, the middle column repeated.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 37; ++x) ASSERT_EQ(At(wide, x, y), At(face, x, y)) << x << "," << y;
    for (int x = 37; x < 74; ++x) ASSERT_EQ(At(wide, x + 46, y), At(face, x, y)) << x << "," << y;
    for (int x = 37; x < 83; ++x) ASSERT_EQ(At(wide, x, y), At(face, 37, y)) << x << "," << y;
  }
  EXPECT_EQ(At(wide, 0, 30), At(face, 0, 20));
  EXPECT_EQ(At(wide, 119, 30), At(face, 73, 20));
}

TEST(ButtonPaint, ZeroSizedButtonPaintsNothing) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetBounds(0, 0, 0, 27);
  gui::Bitmap target(10, 10);
  EXPECT_NO_THROW(b.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0));
  EXPECT_EQ(InkBox(target, kWhite), (Box{0, 0, 10, 10}));
}

TEST(ButtonPaint, StatePicturesFollowHoverPressAndDisable) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetUIStyle(TsuiUIStyle::WinXP);
  b.SetBounds(10, 10, 18, 21);
  const gui::Bitmap normal = ThemeBitmap(TsuiUIStyle::WinXP, thButtonNormal);
  const gui::Bitmap over = ThemeBitmap(TsuiUIStyle::WinXP, thButtonMouseOn);
  const gui::Bitmap down = ThemeBitmap(TsuiUIStyle::WinXP, thButtonMouseDown);
  ASSERT_GT(CountDiff(over, normal, 0, 0), 0);
  ASSERT_GT(CountDiff(down, over, 0, 0), 0);

  EXPECT_EQ(CountDiff(Paint(b), normal, 0, 0), 0);
  host.Enter(b);
  EXPECT_EQ(CountDiff(Paint(b), over, 0, 0), 0);
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  EXPECT_EQ(CountDiff(Paint(b), down, 0, 0), 0);
  host.Send(b, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(CountDiff(Paint(b), over, 0, 0), 0);
  b.SetEnabled(false);  // a disabled skinned button shows its normal picture, not greyed
  EXPECT_EQ(CountDiff(Paint(b), normal, 0, 0), 0);
}

TEST(ButtonPaint, MissingCustomPictureGivesTheBlankPictureAtTheOrigin) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetPicNormalResName("NO_SUCH_PICTURE");
  b.SetBounds(0, 0, 100, 40);
  gui::Bitmap out = Paint(b);
  EXPECT_EQ(InkBox(out, kWhite), (Box{0, 0, 74, 21}));
  EXPECT_EQ(At(out, 99, 39), kGreenPixel);
  // The same for a theme name looked up in a module that does not hold it.
  b.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  b.SetResHandle(GetModuleHandleW(L"kernel32.dll"));
  EXPECT_EQ(InkBox(Paint(b), kWhite), (Box{0, 0, 74, 21}));
}

TEST(ButtonPaint, CustomPictureIsDrawnUnscaledAndGreyedWhenDisabled) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  b.SetBounds(0, 0, 100, 40);
  const gui::Bitmap face = ThemeBitmap(TsuiUIStyle::Protein, thButtonNormal);
  gui::Bitmap out = Paint(b);
  EXPECT_EQ(CountDiff(out, face, 0, 0), 0);
  EXPECT_EQ(At(out, 80, 30), kGreenPixel);
  b.SetEnabled(false);
  gui::Bitmap grey = Paint(b);
  EXPECT_GT(CountDiff(grey, face, 0, 0), 0);
  EXPECT_EQ(At(grey, 80, 30), kGreenPixel);
}

TEST(ButtonPaint, BlueGlassLetsTheParentShowThroughItsKeyColour) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetUIStyle(TsuiUIStyle::BlueGlass);
  b.SetBounds(0, 0, 77, 27);
  gui::Bitmap face = ThemeBitmap(TsuiUIStyle::BlueGlass, thButtonNormal);
  gui::Bitmap out = Paint(b);
  const std::uint32_t key = At(face, 0, 0);
  int keyed = 0;
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 77; ++x) {
      if (At(face, x, y) == key) {
        ++keyed;
        ASSERT_EQ(At(out, x, y), kGreenPixel) << x << "," << y;
      } else {
        ASSERT_EQ(At(out, x, y), At(face, x, y)) << x << "," << y;
      }
    }
  EXPECT_GT(keyed, 0);
}

TEST(ButtonPaint, CaptionCentredMovedWhenPressedAndWhiteThenGreyWhenDisabled) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  MakeBlankCustom(b);
  b.SetBounds(0, 0, 74, 21);
  b.Font().SetColor(kRedColor);
  b.SetCaption("Quit");
  gui::Bitmap out = Paint(b);
  const Box text = InkBox(out, kRedPixel);
  ASSERT_FALSE(text.Empty());
  EXPECT_NEAR((text.left + text.right) / 2.0, 37, 2.0);
  EXPECT_NEAR((text.top + text.bottom) / 2.0, 10.5, 3.0);

  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
  EXPECT_EQ(InkBox(Paint(b), kRedPixel), text.Moved(1, 1));
  host.Send(b, WM_LBUTTONUP, 0, 3, 3);

  b.SetEnabled(false);
  gui::Bitmap off = Paint(b);
  EXPECT_TRUE(InkBox(off, kRedPixel).Empty());
  EXPECT_EQ(InkBox(off, kGreyPixel), text);
  EXPECT_EQ(InkBox(off, kWhite), text.Moved(1, 1));
}

TEST(ButtonPaint, BlankCaptionIsNotDrawnAndDoubleAmpersandIsOneAmpersand) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  MakeBlankCustom(b);
  b.SetBounds(0, 0, 74, 21);
  b.Font().SetColor(kRedColor);
  // Text edges may be smoothed: the ink is whatever is not the background.
  auto ink = [](const gui::Bitmap& out) {
    return BoxWhere(out, [&](int x, int y) { return At(out, x, y) != kGreenPixel; });
  };
  // Underlined, drawn blanks would leave a line.
  b.Font().SetStyle(gui::fsUnderline);
  b.SetCaption("  ");
  EXPECT_TRUE(ink(Paint(b)).Empty());
  b.SetCaption("  .");
  EXPECT_GT(ink(Paint(b)).Width(), InkWidthOf(".", b.Font()));
  b.Font().SetStyle(0);
  b.SetCaption("&&");
  const Box amp = ink(Paint(b));
  EXPECT_EQ(amp.Width(), InkWidthOf("&", b.Font()));
  b.SetCaption("&&&&");
  EXPECT_EQ(ink(Paint(b)).Width(), InkWidthOf("&&", b.Font()));
}

TEST(ButtonPaint, GlyphLayoutsPlaceGlyphAndCaption) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  MakeBlankCustom(b);
  b.SetBounds(0, 0, 90, 50);
  b.Font().SetColor(kRedColor);
  b.SetCaption("Go");
  b.SetSpacing(6);
  b.SetGlyph(Glyph(16, 16, kBluePixel, kBluePixel));
  const SIZE t = TextSize("Go", b.Font());
  const int tw = t.cx, th = t.cy;
  struct Expect {
    TButtonLayout layout;
    int gx, gy, cx, cy;
  };
  const int gxl = (90 - tw - 16 - 6) / 2, gxr = (90 + tw + 6 - 16) / 2;
  const int gyt = (50 - th - 16 - 6) / 2, gyb = (50 + th + 6 - 16) / 2;
  const Expect cases[] = {
      {blGlyphLeft, gxl, 17, gxl + 22, (50 - th) / 2},
      {blGlyphRight, gxr, 17, gxr - tw - 6, (50 - th) / 2},
      {blGlyphTop, 37, gyt, (90 - tw) / 2, gyt + 22},
      {blGlyphBottom, 37, gyb, (90 - tw) / 2, gyb - th - 6},
  };
  for (const Expect& e : cases) {
    b.SetLayout(e.layout);
    gui::Bitmap out = Paint(b);
    EXPECT_EQ(InkBox(out, kBluePixel), (Box{e.gx, e.gy, e.gx + 16, e.gy + 16})) << int(e.layout);
    EXPECT_EQ(b.CaptionX(), e.cx) << int(e.layout);
    EXPECT_EQ(b.CaptionY(), e.cy) << int(e.layout);
    const Box text = InkBox(out, kRedPixel);
    EXPECT_GE(text.left, e.cx);
    EXPECT_GE(text.top, e.cy);
    EXPECT_LE(text.right, e.cx + tw);
  }
}

TEST(ButtonPaint, GlyphMovesWhenPressedAndTwoImageGlyphShowsItsSecondWhenDisabled) {
  Host host(kGreen);
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  MakeBlankCustom(b);
  b.SetBounds(0, 0, 60, 40);
  b.SetGlyph(Glyph(32, 16, kBluePixel, kYellowPixel));
  gui::Bitmap out = Paint(b);
  const Box glyph = InkBox(out, kBluePixel);
  EXPECT_EQ(glyph.Width(), 16);
  EXPECT_EQ(glyph.Height(), 16);
  EXPECT_TRUE(InkBox(out, kYellowPixel).Empty());
  // The key colour is its own top-left pixel: that corner shows the background.
  EXPECT_EQ(At(out, glyph.left, glyph.top), kGreenPixel);

  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
  EXPECT_EQ(InkBox(Paint(b), kBluePixel), glyph.Moved(1, 1));
  host.Send(b, WM_LBUTTONUP, 0, 3, 3);

  b.SetEnabled(false);
  gui::Bitmap off = Paint(b);
  EXPECT_TRUE(InkBox(off, kBluePixel).Empty());
  EXPECT_EQ(InkBox(off, kYellowPixel), glyph);  // normal rendering, not greyed

  b.SetGlyph(Glyph(16, 16, kBluePixel, kBluePixel));  // one image: greyed when disabled
  gui::Bitmap greyed = Paint(b);
  EXPECT_TRUE(InkBox(greyed, kBluePixel).Empty());
  EXPECT_NE(At(greyed, glyph.left + 5, glyph.top + 5), kGreenPixel);
}

TEST(ButtonPaint, FocusIndicatorDottedRectangleOrBlueLineByStyle) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetTabStop(true);
  b.SetUIStyle(TsuiUIStyle::Protein);
  b.SetBounds(0, 0, 80, 27);
  gui::Bitmap plain = Paint(b);
  b.SetFocus();
  ASSERT_TRUE(b.Focused());
  gui::Bitmap focused = Paint(b);
  const Box changed = DiffBox(plain, focused);
  EXPECT_EQ(changed, (Box{2, 2, 78, 25}));
  // Only the outline of the rectangle changed.
  EXPECT_EQ(At(focused, 40, 12), At(plain, 40, 12));

  b.SetUIStyle(TsuiUIStyle::MacOS);
  host.form.SetFocus();
  gui::Bitmap macPlain = Paint(b);
  b.SetFocus();
  gui::Bitmap macFocused = Paint(b);
  EXPECT_EQ(DiffBox(macPlain, macFocused).top, 23 - 5);
  for (int x = 10; x < 70; ++x) ASSERT_EQ(At(macFocused, x, 18), kBluePixel) << x;
  EXPECT_NE(At(macFocused, 70, 18), kBluePixel);

  b.SetTabStop(false);  // no indicator without the tab stop
  EXPECT_EQ(CountDiff(Paint(b), macPlain, 0, 0), 0);
}

// --- input and clicks -------------------------------------------------------------

TEST(ButtonInput, LeftClickRaisesOneClickAfterHandingTheModalResultToTheForm) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetModalResult(gui::mrOk);
  Recorder rec;
  b.OnClick = [&](gui::Component*) {
    rec.Add("click:" + std::to_string(host.form.ModalResult()) + (b.InUserClick() ? ":user" : ""));
  };
  b.OnMouseDown = [&](gui::Component*, gui::TMouseButton, gui::TShiftState, int, int) {
    rec.Add(std::string("down:") + (b.IsMouseDown() ? "pressed" : "-"));
  };
  b.OnMouseUp = [&](gui::Component*, gui::TMouseButton, gui::TShiftState, int, int) { rec.Add("up"); };
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  EXPECT_TRUE(b.IsMouseDown());
  host.Send(b, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(rec.Text(), "down:pressed click:1:user up");
  EXPECT_FALSE(b.IsMouseDown());
  EXPECT_FALSE(b.InUserClick());
  // A modal result of 0 is handed on as well.
  b.SetModalResult(gui::mrNone);
  host.form.SetModalResult(gui::mrAbort);
  host.Click(b);
  EXPECT_EQ(host.form.ModalResult(), gui::mrNone);
  EXPECT_EQ(rec.events.size(), 6u);
}

TEST(ButtonInput, NoClickWithoutAPressOrForOtherButtonsOrWhenDisabled) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  int clicks = 0;
  b.OnClick = [&](gui::Component*) { ++clicks; };
  host.Send(b, WM_LBUTTONUP, 0, 5, 5);
  host.Send(b, WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
  EXPECT_FALSE(b.IsMouseDown());
  host.Send(b, WM_RBUTTONUP, 0, 5, 5);
  host.Send(b, WM_MBUTTONDOWN, MK_MBUTTON, 5, 5);
  host.Send(b, WM_MBUTTONUP, 0, 5, 5);
  EXPECT_EQ(clicks, 0);
  b.SetEnabled(false);
  host.Click(b);
  EXPECT_EQ(clicks, 0);
  b.SetEnabled(true);
  host.Click(b);
  EXPECT_EQ(clicks, 1);
}

TEST(ButtonInput, DraggingOutsideCancelsTheClickEvenWhenComingBack) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  int clicks = 0;
  b.OnClick = [&](gui::Component*) { ++clicks; };
  host.Enter(b);
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  host.Send(b, WM_MOUSEMOVE, MK_LBUTTON, b.Width() + 1, 5);
  EXPECT_FALSE(b.IsMouseDown());
  EXPECT_FALSE(b.IsMouseOn());
  host.Send(b, WM_MOUSEMOVE, MK_LBUTTON, 5, 5);
  EXPECT_FALSE(b.IsMouseDown());
  host.Send(b, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(clicks, 0);
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  host.Send(b, WM_MOUSEMOVE, MK_LBUTTON, 5, -1);
  host.Send(b, WM_LBUTTONUP, 0, 5, -1);
  EXPECT_EQ(clicks, 0);
}

TEST(ButtonInput, ReleaseOnTheRightAndBottomEdgeCountsAsInside) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  int clicks = 0;
  b.OnClick = [&](gui::Component*) { ++clicks; };
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  host.Send(b, WM_MOUSEMOVE, MK_LBUTTON, b.Width(), b.Height());
  EXPECT_TRUE(b.IsMouseDown());
  host.Send(b, WM_LBUTTONUP, 0, b.Width(), b.Height());
  EXPECT_EQ(clicks, 1);
}

TEST(ButtonInput, HoverRaisesEnterAndExitAfterTheStateChange) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  Recorder rec;
  b.OnMouseEnter = [&](gui::Component*) { rec.Add(b.IsMouseOn() ? "enter:on" : "enter:off"); };
  b.OnMouseExit = [&](gui::Component*) { rec.Add(b.IsMouseOn() ? "exit:on" : "exit:off"); };
  host.Enter(b);
  EXPECT_TRUE(b.IsMouseOn());
  host.Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  host.Leave(b);
  EXPECT_FALSE(b.IsMouseOn());
  EXPECT_TRUE(b.IsMouseDown());  // leaving keeps the press
  EXPECT_EQ(rec.Text(), "enter:on exit:off");
  host.Send(b, WM_LBUTTONUP, 0, 5, 5);
}

TEST(ButtonInput, AtDesignTimeTheCursorDoesNotLightTheButton) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetDesigning(true);
  int enters = 0;
  b.OnMouseEnter = [&](gui::Component*) { ++enters; };
  host.Enter(b);
  EXPECT_FALSE(b.IsMouseOn());
  EXPECT_EQ(enters, 0);
}

TEST(ButtonInput, SpaceAndReturnPressAndClickOnceWhenFocused) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  b.SetUIStyle(TsuiUIStyle::WinXP);
  b.SetBounds(0, 0, 18, 21);
  Recorder rec;
  b.OnClick = [&](gui::Component*) { rec.Add("click"); };
  b.OnKeyUp = [&](gui::Component*, std::uint16_t&, gui::TShiftState) { rec.Add("keyup"); };
  // Not focused: nothing.
  host.Key(b, WM_KEYDOWN, VK_SPACE);
  EXPECT_FALSE(b.IsMouseDown());
  host.Key(b, WM_KEYUP, VK_SPACE);
  EXPECT_EQ(rec.Text(), "keyup");
  rec.events.clear();

  b.SetFocus();
  host.Key(b, WM_KEYDOWN, VK_SPACE);
  EXPECT_TRUE(b.IsMouseDown());
  EXPECT_EQ(CountDiff(Paint(b), ThemeBitmap(TsuiUIStyle::WinXP, thButtonMouseDown), 0, 0), 0);
  host.Key(b, WM_KEYUP, VK_SPACE);
  EXPECT_FALSE(b.IsMouseDown());
  EXPECT_EQ(rec.Text(), "keyup click");
  host.Key(b, WM_KEYDOWN, VK_RETURN);
  host.Key(b, WM_KEYUP, VK_RETURN);
  EXPECT_EQ(rec.Text(), "keyup click keyup click");
  // Another key's release does not end the press.
  host.Key(b, WM_KEYDOWN, VK_SPACE);
  host.Key(b, WM_KEYUP, 'A');
  EXPECT_TRUE(b.IsMouseDown());
  // A left-button release does, with its click; and a move outside without a click.
  host.Send(b, WM_LBUTTONUP, 0, 3, 3);
  EXPECT_FALSE(b.IsMouseDown());
  EXPECT_EQ(rec.events.size(), 6u);
  host.Key(b, WM_KEYDOWN, VK_SPACE);
  host.Send(b, WM_MOUSEMOVE, 0, -1, 3);
  EXPECT_FALSE(b.IsMouseDown());
  host.Key(b, WM_KEYUP, VK_SPACE);
  EXPECT_EQ(std::count(rec.events.begin(), rec.events.end(), "click"), 3);
}

TEST(ButtonInput, AcceleratorFocusesAndClicksThroughTheForm) {
  Host host;
  TsuiButton quit(&host.form);
  quit.SetParent(&host.form);
  quit.SetCaption("&Quit");
  TsuiButton other(&host.form);
  other.SetParent(&host.form);
  other.SetLeft(100);
  other.SetCaption("Other");
  int clicks = 0;
  quit.OnClick = [&](gui::Component*) {
    ++clicks;
    EXPECT_TRUE(quit.Focused());
  };
  other.SetFocus();
  host.Key(other, WM_CHAR, 'x');
  EXPECT_EQ(clicks, 0);
  host.Key(other, WM_CHAR, 'q');
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(quit.Perform(gui::CM_DIALOGCHAR, 'Q'), 1);
  EXPECT_EQ(quit.Perform(gui::CM_DIALOGCHAR, 'u'), 0);
  quit.SetEnabled(false);
  EXPECT_EQ(quit.Perform(gui::CM_DIALOGCHAR, 'q'), 0);
  EXPECT_EQ(clicks, 2);
}

TEST(ButtonInput, ModalDialogClosesAfterTheClickHandlerRan) {
  gui::Form dialog(nullptr);
  dialog.SetBounds(60, 60, 200, 120);
  TsuiButton ok(&dialog);
  ok.SetParent(&dialog);
  ok.SetModalResult(gui::mrCancel);
  bool ran = false;
  ok.OnClick = [&](gui::Component*) { ran = dialog.Modal(); };
  ok.HandleNeeded();
  PostMessageW(ok.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(ok.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(dialog.ShowModal(), gui::mrCancel);
  EXPECT_TRUE(ran);

  ok.SetModalResult(gui::mrOk);
  PostMessageW(ok.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(ok.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(dialog.ShowModal(), gui::mrOk);
}

TEST(ButtonInput, ClickHandlerErrorLeavesTheButtonUsable) {
  Host host;
  TsuiButton b(&host.form);
  b.SetParent(&host.form);
  int clicks = 0;
  b.OnClick = [&](gui::Component*) {
    ++clicks;
    throw gui::Exception("boom");
  };
  std::vector<std::string> reports;
  gui::App().ReportCapture = [&](const std::string& t) { reports.push_back(t); };
  host.Click(b);
  host.Click(b);
  gui::App().ReportCapture = nullptr;
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(b.InUserClick());
  EXPECT_FALSE(b.IsMouseDown());
}

// --- the style walk ----------------------------------------------------------------

TEST(ButtonStyleWalk, FormStyleReachesButtonsUnlessCustom) {
  Host host;
  TsuiButton themed(&host.form);
  themed.SetParent(&host.form);
  themed.SetUIStyle(TsuiUIStyle::Protein);
  TsuiButton custom(&host.form);
  custom.SetParent(&host.form);
  custom.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  TsuiImagePanel picturePanel(&host.form);
  picturePanel.SetParent(&host.form);
  TsuiButton onPicturePanel(&host.form);
  onPicturePanel.SetParent(&picturePanel);
  onPicturePanel.SetUIStyle(TsuiUIStyle::Protein);
  gui::Panel plainPanel(&host.form);
  plainPanel.SetParent(&host.form);
  TsuiButton onPlainPanel(&host.form);
  onPlainPanel.SetParent(&plainPanel);
  onPlainPanel.SetUIStyle(TsuiUIStyle::Protein);

  ApplyStyleToContainers(&host.form, TsuiUIStyle::WinXP);
  ApplyStyleToChildren(&host.form, TsuiUIStyle::WinXP);
  EXPECT_EQ(themed.UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
  EXPECT_EQ(custom.PicNormalResName(), "PROTEIN_BUTTON_NORMAL");
  EXPECT_EQ(onPicturePanel.UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(onPlainPanel.UIStyle(), TsuiUIStyle::Protein);
}

// --- handles -----------------------------------------------------------------------

TEST(ButtonLeaks, PaintsInEveryStateLeaveTheGdiCountUnchanged) {
  Host host(kGreen);
  TsuiButton skinned(&host.form);
  skinned.SetParent(&host.form);
  skinned.SetUIStyle(TsuiUIStyle::BlueGlass);  // parent background, keyed face, focus line
  skinned.SetCaption("Config....");
  skinned.SetTabStop(true);
  TsuiButton custom(&host.form);
  custom.SetParent(&host.form);
  custom.SetLeft(100);
  custom.SetPicNormalResName("PROTEIN_BUTTON_NORMAL");
  custom.SetPicTransparent(true);
  custom.SetTabStop(true);
  custom.SetCaption("Go");
  custom.SetGlyph(Glyph(16, 16, kBluePixel, kBluePixel));  // greyed when disabled
  gui::Bitmap target(100, 40);
  const HDC dc = target.Canvas().Handle();
  constexpr int kStates = 5;
  for (TsuiButton* b : {&skinned, &custom}) {
    Paint(*b);  // fonts and the like are made on first use
    for (int state = 0; state < kStates; ++state) {
      if (state == 1) host.Enter(*b);
      if (state == 2) host.Send(*b, WM_LBUTTONDOWN, MK_LBUTTON, 3, 3);
      if (state == 3) {
        host.Send(*b, WM_LBUTTONUP, 0, 3, 3);
        b->SetFocus();
        ASSERT_TRUE(b->Focused());
      }
      if (state == 4) b->SetEnabled(false);
      EXPECT_EQ(GdiChangeOverPaints(*b, dc, kLeakPaints / kStates / 2), 0) << "state " << state;
    }
  }
}
