// The skinned form frame on a real form under Wine: taking the window over, the border strips,
// resize hit testing at the band edges, activation, sizing, maximising and restoring, the
// window region per style, the tiled backgrounds, the style walk, the menu bar, and the title
// bar's buttons and drag driven through real messages.
#include "skin/SUIForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/MainMenu.h"
#include "gui/MessageDialog.h"
#include "gui/Panel.h"
#include "gui/ToolBar.h"
#include "skin/SUIButton.h"
#include "skin/SUIImagePanel.h"
#include "tests/skin/Cursor.h"
#include "tests/skin/DialogLog.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace skintest;

namespace {

void Pump() {
  for (int i = 0; i < 3; ++i) gui::App().ProcessMessages();
}

// A form with a frame laid out like the settings dialog: Protein, a 277 x 136 frame.
struct SkinnedForm {
  explicit SkinnedForm(gui::TBorderStyle border = gui::bsSizeable, int left = 100, int top = 100) {
    form->SetBorderStyle(border);
    form->SetBounds(left, top, 300, 200);
    form->SetCaption("Config");
    frame = new TsuiForm(form.get());
    frame->SetUIStyle(TsuiUIStyle::Protein);
    frame->SetBounds(1, 0, 277, 136);
    frame->SetWidth(277);
    frame->SetHeight(136);
  }
  void Show() {
    form->Show();
    Pump();
  }
  HWND Window() { return form->Handle(); }
  LRESULT HitTest(int clientX, int clientY) {
    POINT p = form->ClientToScreen(POINT{clientX, clientY});
    return SendMessageW(Window(), WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
  }
  std::unique_ptr<gui::Form> form = std::make_unique<gui::Form>(nullptr);
  TsuiForm* frame = nullptr;
};

// The form's client area as it is on the screen.
gui::Bitmap Capture(gui::Form& form) {
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  gui::Bitmap shot(form.ClientWidth(), form.ClientHeight());
  HDC dc = GetDC(form.Handle());
  BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(form.Handle(), dc);
  return shot;
}

bool InRegion(HWND window, int x, int y) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(window, rgn);
  const bool inside = kind != ERROR && PtInRegion(rgn, x, y);
  DeleteObject(rgn);
  return inside;
}


}  // namespace

// --- construction -------------------------------------------------------------------------

TEST(SkinnedForm, TakesTheFormOver) {
  gui::Form form(nullptr);
  form.SetCaption("Settings");
  form.SetBounds(20, 30, 300, 200);
  auto* frame = new TsuiForm(&form);
  EXPECT_EQ(frame->Parent(), &form);
  EXPECT_EQ(frame->OwnerForm(), &form);
  EXPECT_EQ(form.BorderStyle(), gui::bsNone);
  EXPECT_EQ(form.Constraints().MinHeight, 50);
  EXPECT_EQ(form.Constraints().MinWidth, 130);  // the title bar's style raised 125
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(form.Constraints().MaxWidth, work.right - work.left);
  EXPECT_EQ(form.Constraints().MaxHeight, work.bottom - work.top);
  EXPECT_EQ(frame->UIStyle(), TsuiUIStyle::DeepBlue);
  EXPECT_EQ(frame->BorderColor(), 0x000000u);
  EXPECT_EQ(frame->BorderWidth(), 1);
  EXPECT_EQ(frame->Color(), 0xE8E8E8u);
  EXPECT_EQ(frame->MenuBarHeight(), 22);
  EXPECT_EQ(frame->Caption(), "Settings");
  EXPECT_EQ(frame->TitleBar()->Caption(), "Settings");
  EXPECT_EQ(frame->TitleBar()->Parent(), frame);
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(frame->BevelOuter(), gui::bvNone);
  EXPECT_EQ(FindFormStyle(&form), TsuiUIStyle::DeepBlue);
}

TEST(SkinnedForm, SecondFrameOnAFormIsRefusedAndChangesNothing) {
  gui::Form form(nullptr);
  new TsuiForm(&form);
  const int controls = form.ControlCount();
  try {
    new TsuiForm(&form);
    FAIL() << "a second frame was created";
  } catch (const gui::Exception& e) {
    EXPECT_STREQ(e.what(), "Sorry, You can create only one TsuiForm component in one form!");
  }
  EXPECT_EQ(form.ControlCount(), controls);
}

TEST(SkinnedForm, OnAnythingButAFormItIsAPlainPanel) {
  gui::Panel host(nullptr);
  TsuiForm frame(&host);
  EXPECT_EQ(frame.OwnerForm(), nullptr);
  EXPECT_EQ(frame.Parent(), nullptr);
  frame.UpdateFrameBounds();
  frame.DrawFormBorder();
  frame.SetCaption("Loose");
  EXPECT_EQ(frame.Caption(), "Loose");
  EXPECT_EQ(gui::App().MessageFilterCount(), 0u);
}

TEST(SkinnedForm, FirstFrameInstallsTheKeyHandlerAndTakesItAwayAgain) {
  ASSERT_EQ(gui::App().MessageFilterCount(), 0u);
  {
    SkinnedForm a;
    EXPECT_EQ(gui::App().MessageFilterCount(), 1u);
    {
      SkinnedForm b;
      b.form.reset();  // the second one did not install it and leaves it alone
      EXPECT_EQ(gui::App().MessageFilterCount(), 1u);
    }
  }
  EXPECT_EQ(gui::App().MessageFilterCount(), 0u);
}

TEST(SkinnedForm, AFrameRemovedBeforeItsFormGivesTheFormItsOwnProcedureBack) {
  SkinnedForm s;
  s.Show();
  ASSERT_EQ(s.HitTest(0, 0), HTTOPLEFT);
  delete s.frame;
  s.frame = nullptr;
  EXPECT_EQ(gui::App().MessageFilterCount(), 0u);
  // The form goes on without the frame: no sizing bands, and size changes reach nothing gone.
  EXPECT_EQ(s.HitTest(0, 0), HTCLIENT);
  s.form->SetBounds(120, 120, 350, 220);
  SendMessageW(s.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
  Pump();
  EXPECT_EQ(s.form->Width(), 350);
}

// --- geometry and border ---------------------------------------------------------------

TEST(SkinnedForm, FrameSizeSizesTheFormAroundItsBorder) {
  SkinnedForm s;
  EXPECT_EQ(s.form->ClientWidth(), 279);
  EXPECT_EQ(s.form->ClientHeight(), 137);
  s.Show();
  EXPECT_EQ(s.frame->Left(), 1);
  EXPECT_EQ(s.frame->Top(), 0);
  EXPECT_EQ(s.frame->Width(), 277);
  EXPECT_EQ(s.frame->Height(), 136);
  EXPECT_EQ(s.frame->TitleBar()->Width(), 277);
  EXPECT_EQ(s.frame->TitleBar()->Height(), 23);
}

TEST(SkinnedForm, BorderStripsAreDrawnLeftRightAndBottomButNotAtTheTop) {
  SkinnedForm s;
  s.frame->SetBorderColor(0x0000FF);  // red as 0x00BBGGRR
  s.Show();
  gui::Bitmap shot = Capture(*s.form);
  ASSERT_EQ(shot.Width(), 279);
  ASSERT_EQ(shot.Height(), 137);
  for (int y : {0, 30, 135}) {
    EXPECT_EQ(At(shot, 0, y), 0xFF0000u) << y;
    EXPECT_EQ(At(shot, 278, y), 0xFF0000u) << y;
    EXPECT_NE(At(shot, 1, y), 0xFF0000u) << y;
    EXPECT_NE(At(shot, 277, y), 0xFF0000u) << y;
  }
  for (int x : {0, 100, 278}) EXPECT_EQ(At(shot, x, 136), 0xFF0000u) << x;
  EXPECT_NE(At(shot, 100, 135), 0xFF0000u);
  EXPECT_NE(At(shot, 100, 0), 0xFF0000u);

  s.frame->SetBorderWidth(3);
  EXPECT_EQ(s.frame->Left(), 3);
  EXPECT_EQ(s.frame->Width(), 279 - 6);
  EXPECT_EQ(s.frame->Height(), 137 - 3);
  gui::Bitmap wide = Capture(*s.form);
  EXPECT_EQ(At(wide, 2, 50), 0xFF0000u);
  EXPECT_NE(At(wide, 3, 50), 0xFF0000u);
  EXPECT_EQ(At(wide, 100, 134), 0xFF0000u);
  EXPECT_NE(At(wide, 100, 133), 0xFF0000u);
}

TEST(SkinnedForm, ResizingTheFormResizesTheFrame) {
  SkinnedForm s;
  s.Show();
  s.form->SetBounds(100, 100, 400, 250);
  Pump();
  EXPECT_EQ(s.frame->Width(), 398);
  EXPECT_EQ(s.frame->Height(), 249);
  EXPECT_EQ(s.frame->TitleBar()->Width(), 398);
}

// --- hit testing ---------------------------------------------------------------------------

TEST(SkinnedFormHitTest, BandsAreFivePixelsLeftAndTopAndFourRightAndBottom) {
  SkinnedForm s;
  s.Show();
  const int w = s.form->Width(), h = s.form->Height();
  EXPECT_EQ(s.HitTest(4, 4), HTTOPLEFT);
  EXPECT_EQ(s.HitTest(5, 4), HTTOP);
  EXPECT_EQ(s.HitTest(4, 5), HTLEFT);
  EXPECT_EQ(s.HitTest(w - 5, 0), HTTOP);
  EXPECT_EQ(s.HitTest(w - 4, 0), HTTOPRIGHT);
  EXPECT_EQ(s.HitTest(w - 4, 50), HTRIGHT);
  EXPECT_EQ(s.HitTest(w - 1, h - 1), HTBOTTOMRIGHT);
  EXPECT_EQ(s.HitTest(0, h - 4), HTBOTTOMLEFT);
  EXPECT_EQ(s.HitTest(50, h - 4), HTBOTTOM);
  EXPECT_EQ(s.HitTest(50, h - 5), HTCLIENT);
  EXPECT_EQ(s.HitTest(w - 5, 50), HTCLIENT);
  EXPECT_EQ(s.HitTest(50, 50), HTCLIENT);
}

TEST(SkinnedFormHitTest, NegativeScreenCoordinatesGiveTheSameResults) {
  SkinnedForm s(gui::bsSizeable, -400, -300);
  s.Show();
  ASSERT_LT(s.form->ClientToScreen(POINT{0, 0}).x, 0);
  const int w = s.form->Width(), h = s.form->Height();
  EXPECT_EQ(s.HitTest(4, 4), HTTOPLEFT);
  EXPECT_EQ(s.HitTest(5, 4), HTTOP);
  EXPECT_EQ(s.HitTest(w - 4, 0), HTTOPRIGHT);
  EXPECT_EQ(s.HitTest(w - 1, h - 1), HTBOTTOMRIGHT);
  EXPECT_EQ(s.HitTest(50, 50), HTCLIENT);
}

TEST(SkinnedFormHitTest, NoSizingForAFormDesignedWithoutBorderOrWhileMaximised) {
  SkinnedForm fixed(gui::bsNone);
  fixed.Show();
  EXPECT_EQ(fixed.HitTest(0, 0), HTCLIENT);
  EXPECT_EQ(fixed.HitTest(fixed.form->Width() - 1, fixed.form->Height() - 1), HTCLIENT);

  SkinnedForm s;
  s.Show();
  s.form->SetWindowState(gui::wsMaximized);
  Pump();
  ASSERT_EQ(s.form->WindowState(), gui::wsMaximized);
  EXPECT_EQ(s.HitTest(0, 0), HTCLIENT);
}

// --- activation, region, background ------------------------------------------------------

TEST(SkinnedForm, ActivationReachesTheTitleBar) {
  SkinnedForm s;
  s.Show();
  SendMessageW(s.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(s.frame->TitleBar()->FormActive());
  SendMessageW(s.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(s.frame->TitleBar()->FormActive());
}

TEST(SkinnedForm, WindowRegionRoundsOnlyTheTopCornersOfTheRoundStyles) {
  SkinnedForm s;
  s.Show();
  const int cw = s.form->ClientWidth(), ch = s.form->ClientHeight();
  // Protein: a plain rectangle (one pixel wider and taller than the client area, which the
  // system crops to the window).
  EXPECT_TRUE(InRegion(s.Window(), 0, 0));
  EXPECT_TRUE(InRegion(s.Window(), cw - 1, 0));
  EXPECT_TRUE(InRegion(s.Window(), cw - 1, ch - 1));
  EXPECT_FALSE(InRegion(s.Window(), cw + 2, 0));

  s.frame->SetUIStyle(TsuiUIStyle::WinXP);  // corner 13
  Pump();
  const int cw2 = s.form->ClientWidth(), ch2 = s.form->ClientHeight();
  EXPECT_FALSE(InRegion(s.Window(), 0, 0));
  EXPECT_FALSE(InRegion(s.Window(), cw2 - 1, 0));
  EXPECT_TRUE(InRegion(s.Window(), 7, 7));
  EXPECT_TRUE(InRegion(s.Window(), 0, ch2 - 1));
  EXPECT_TRUE(InRegion(s.Window(), cw2 - 1, ch2 - 1));
  EXPECT_TRUE(InRegion(s.Window(), 0, 20));

  s.frame->SetUIStyle(TsuiUIStyle::BlueGlass);  // corner 11
  Pump();
  EXPECT_FALSE(InRegion(s.Window(), 0, 0));
  EXPECT_TRUE(InRegion(s.Window(), 0, s.form->ClientHeight() - 1));
}

TEST(SkinnedForm, ProteinAndMacOSFramesAreTiledWithTheirPattern) {
  SkinnedForm s;
  s.frame->TitleBar()->SetVisible(false);
  auto paint = [&] {
    gui::Bitmap b(s.frame->Width(), s.frame->Height());
    s.frame->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b.Canvas().Handle()), 0);
    return b;
  };
  for (auto [style, name] : {std::pair{TsuiUIStyle::Protein, "PROTEIN_FORM_BACKGROUND"},
                             std::pair{TsuiUIStyle::MacOS, "MACOS_FORM_BACKGROUND"}}) {
    s.frame->SetUIStyle(style);
    gui::Bitmap pattern;
    pattern.LoadFromResourceName(GetModuleHandleW(nullptr), name);
    ASSERT_EQ(pattern.Width(), 8);
    gui::Bitmap b = paint();
    for (int y : {0, 7, 8, 61, b.Height() - 1})
      for (int x : {0, 3, 8, 100, b.Width() - 1}) ASSERT_EQ(At(b, x, y), At(pattern, x % 8, y % 8)) << name;
  }
  s.frame->SetUIStyle(TsuiUIStyle::WinXP);
  gui::Bitmap plain = paint();
  EXPECT_EQ(At(plain, 10, 60), 0xEFEBDEu);  // 0xDEEBEF as 0x00BBGGRR
}

TEST(SkinnedForm, CustomStyleChangesNothing) {
  SkinnedForm s;
  s.frame->SetUIStyle(TsuiUIStyle::Custom);
  EXPECT_EQ(s.frame->UIStyle(), TsuiUIStyle::Custom);
  EXPECT_EQ(s.frame->Color(), 0xFBFBFBu);
  EXPECT_EQ(s.frame->TitleBar()->UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(s.frame->TitleBar()->Sections().Count(), 3);
}

TEST(SkinnedForm, StyleReachesButtonsOnImagePanelsButNotOnPlainPanels) {
  SkinnedForm s;
  auto* onFrame = new TsuiButton(s.form.get());
  onFrame->SetParent(s.frame);
  onFrame->SetUIStyle(TsuiUIStyle::Protein);
  auto* custom = new TsuiButton(s.form.get());
  custom->SetParent(s.frame);
  custom->SetUIStyle(TsuiUIStyle::Custom);
  auto* imagePanel = new TsuiImagePanel(s.form.get());
  imagePanel->SetParent(s.frame);
  auto* inImagePanel = new TsuiButton(s.form.get());
  inImagePanel->SetParent(imagePanel);
  inImagePanel->SetUIStyle(TsuiUIStyle::Protein);
  auto* plainPanel = new gui::Panel(s.form.get());
  plainPanel->SetParent(s.frame);
  auto* inPlainPanel = new TsuiButton(s.form.get());
  inPlainPanel->SetParent(plainPanel);
  inPlainPanel->SetUIStyle(TsuiUIStyle::Protein);

  s.frame->SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_EQ(onFrame->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(custom->UIStyle(), TsuiUIStyle::Custom);
  EXPECT_EQ(inImagePanel->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(inPlainPanel->UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(s.frame->TitleBar()->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(s.frame->BorderColor(), 0xC82C00u);
  EXPECT_EQ(s.frame->BorderWidth(), 3);
  EXPECT_EQ(s.frame->MenuBarColor(), 0xDEEBEFu);
  EXPECT_EQ(s.form->Constraints().MinWidth, 150);
}

// --- properties -----------------------------------------------------------------------------

TEST(SkinnedForm, CaptionGoesToTheBarAndTheForm) {
  SkinnedForm s;
  s.frame->SetCaption("Nimbre");
  EXPECT_EQ(s.frame->TitleBar()->Caption(), "Nimbre");
  EXPECT_EQ(s.form->Caption(), "Nimbre");
}

TEST(SkinnedForm, FormPanelFillsTheFrameAndRefusesTheFrameItself) {
  SkinnedForm s;
  DialogLog log;
  s.frame->SetFormPanel(s.frame);
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "Sorry, you can't select the Form assign to FormPanel property");
  EXPECT_EQ(log.kinds[0], gui::MessageKind::Error);
  EXPECT_EQ(s.frame->FormPanel(), nullptr);

  auto* plain = new gui::Panel(s.form.get());
  plain->SetParent(s.frame);
  plain->SetCaption("Panel1");
  s.frame->SetFormPanel(plain);
  EXPECT_EQ(s.frame->FormPanel(), plain);
  EXPECT_EQ(plain->Align(), gui::alClient);
  EXPECT_EQ(plain->BevelOuter(), gui::bvNone);
  EXPECT_EQ(plain->Caption(), "");

  auto* image = new TsuiImagePanel(s.form.get());
  image->SetParent(s.frame);
  image->SetCaption("Image");
  s.frame->SetFormPanel(image);
  EXPECT_EQ(image->Align(), gui::alClient);
  EXPECT_EQ(image->Caption(), "");

  delete image;  // the frame forgets a panel that goes
  EXPECT_EQ(s.frame->FormPanel(), nullptr);
}

// --- the menu bar ---------------------------------------------------------------------------

TEST(SkinnedFormMenu, OneBarButtonPerTopLevelItemBelowTheTitleBar) {
  SkinnedForm s;
  gui::MainMenu menu(s.form.get());
  menu.Items().Add("File").Add("Open");
  menu.Items().Add("Edit");
  menu.Items().Add("Help");
  s.frame->SetMenu(&menu);
  gui::ToolBar* bar = s.frame->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0).Caption, "File");
  EXPECT_EQ(bar->Buttons(1).Caption, "Edit");
  EXPECT_EQ(bar->Buttons(2).Caption, "Help");
  EXPECT_EQ(bar->Height(), 22);
  EXPECT_EQ(bar->Color(), 0xFBFBFBu);
  s.Show();
  EXPECT_EQ(s.frame->TitleBar()->Top(), 0);
  EXPECT_EQ(bar->Top(), s.frame->TitleBar()->Height());

  s.frame->SetMenuBarHeight(30);
  EXPECT_EQ(bar->Height(), 30);
  EXPECT_EQ(bar->ButtonHeight(), 30);

  s.frame->SetMenu(nullptr);
  EXPECT_EQ(s.frame->MenuBar(), nullptr);
  s.frame->SetMenu(&menu);
  EXPECT_NE(s.frame->MenuBar(), nullptr);
  EXPECT_EQ(s.frame->MenuBar()->ButtonCount(), 3);
}

TEST(SkinnedFormMenu, ABarButtonOpensItsItemsSubmenuUnderItselfAndRunsTheChoice) {
  SkinnedForm s;
  gui::MainMenu menu(s.form.get());
  gui::MenuItem& file = menu.Items().Add("File");
  gui::MenuItem& open = file.Add("Open");
  gui::MenuItem& about = menu.Items().Add("About");
  std::vector<std::string> clicks;
  open.OnClick = [&](gui::Component*) { clicks.push_back("Open"); };
  about.OnClick = [&](gui::Component*) { clicks.push_back("About"); };
  s.frame->SetMenu(&menu);
  s.Show();
  gui::ToolBar* bar = s.frame->MenuBar();
  std::vector<POINT> at;
  bar->PopupSubMenu = [&](gui::MenuItem& item, POINT screen) -> gui::MenuItem* {
    EXPECT_EQ(&item, &file);
    EXPECT_EQ(bar->PressedButton(), 0);
    at.push_back(screen);
    return &item.Items(0);
  };
  const RECT r = bar->Buttons(0).Bounds;
  bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 2));
  bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
  ASSERT_EQ(at.size(), 1u);
  const POINT below = bar->ClientToScreen(POINT{r.left, r.bottom});
  EXPECT_EQ(at[0].x, below.x);
  EXPECT_EQ(at[0].y, below.y);
  EXPECT_EQ(bar->PressedButton(), -1);
  // An item without a submenu runs at once.
  const RECT r2 = bar->Buttons(1).Bounds;
  EXPECT_EQ(bar->ButtonAt(r2.left + 1, r2.top + 1), 1);
  bar->ClickButton(1);
  EXPECT_EQ(clicks, (std::vector<std::string>{"Open", "About"}));
  EXPECT_EQ(at.size(), 1u);
}

TEST(SkinnedFormMenu, AMenuThatGoesTakesTheBarWithIt) {
  SkinnedForm s;
  auto* menu = new gui::MainMenu(s.form.get());
  menu->Items().Add("File");
  s.frame->SetMenu(menu);
  ASSERT_NE(s.frame->MenuBar(), nullptr);
  delete menu;
  EXPECT_EQ(s.frame->Menu(), nullptr);
  EXPECT_EQ(s.frame->MenuBar(), nullptr);
}

TEST(SkinnedFormMenu, ShowingTheFormClearsItsNativeMenu) {
  SkinnedForm s;
  gui::MainMenu menu(s.form.get());
  menu.Items().Add("File");
  s.form->SetMenu(&menu);
  s.Show();
  EXPECT_EQ(s.form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(s.Window()), nullptr);
}

TEST(SkinnedFormMenu, PressedMenuButtonIsDrawnInTheStyleColours) {
  SkinnedForm s;
  gui::MainMenu menu(s.form.get());
  menu.Items().Add("File").Add("Open");
  s.frame->SetMenu(&menu);
  s.Show();
  gui::ToolBar* bar = s.frame->MenuBar();
  gui::Bitmap shot(bar->Width(), bar->Height());
  bar->PopupSubMenu = [&](gui::MenuItem&, POINT) -> gui::MenuItem* {
    bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas().Handle()), 0);
    return nullptr;
  };
  bar->ClickButton(0);
  const RECT r = bar->Buttons(0).Bounds;
  // Protein: selected 0xC4302D framed in the same colour, with the 0x9CA6AD shadow on the right.
  EXPECT_EQ(At(shot, r.left + 1, r.bottom - 2), 0x2D30C4u);
  EXPECT_EQ(At(shot, r.right - 2, r.top + 3), 0xADA69Cu);
  EXPECT_EQ(At(shot, r.right - 1, r.top + 3), 0xADA69Cu);
  EXPECT_EQ(At(shot, r.right + 1, r.top + 3), 0xFBFBFBu);
}

// --- title bar actions through messages -------------------------------------------------------

namespace {

// Puts the cursor on the centre of a right-hand button (by its index) of a shown frame's bar.
void CursorOnButton(TsuiForm* frame, int index) {
  TsuiTitleBar* bar = frame->TitleBar();
  bar->Repaint();
  // Walk the row as the bar lays it out: from the right edge leftwards.
  int x = bar->Width() + bar->RightBtnXOffset() + 1;
  for (int i = 0; i < bar->Buttons().Count(); ++i) {
    const TsuiTitleBarButton& b = bar->Buttons().Items(i);
    if (b.ButtonType() == TsuiTitleBarBtnType::suiControlBox) continue;
    x -= b.PicNormal().Width() + bar->ButtonInterval() + 1;
    if (i == index) {
      POINT p = bar->ClientToScreen(POINT{x + b.PicNormal().Width() / 2, b.Top() + b.PicNormal().Height() / 2});
      MoveCursor(p.x, p.y);
      return;
    }
  }
  FAIL() << "no such right-hand button";
}

// The cursor is shared with every program on the display: the last place a test put it is
// put back right before each message, so a paint that reads it finds it there.

void Send(gui::WinControl* control, UINT msg) {
  POINT now{};
  GetCursorPos(&now);
  if (now.x != intendedCursor.x || now.y != intendedCursor.y) MoveCursor(intendedCursor.x, intendedCursor.y);
  const POINT p = control->ScreenToClient(intendedCursor);
  SendMessageW(control->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

// A frame with the four default buttons, shown.
struct FourButtonForm : SkinnedForm {
  FourButtonForm() {
    frame->SetUIStyle(TsuiUIStyle::DeepBlue);
    form->OnClose = [this](gui::Component*, gui::TCloseAction& action) {
      ++closes;
      action = gui::caNone;
    };
    Show();
  }
  int closes = 0;
};

}  // namespace

TEST(SkinnedFormActions, ReleaseOnTheCloseButtonClosesTheForm) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  CursorOnButton(s.frame, 1);
  Send(bar, WM_MOUSEMOVE);
  EXPECT_EQ(bar->HotButton(), 1);
  Send(bar, WM_LBUTTONDOWN);
  EXPECT_TRUE(bar->Pressed());
  Send(bar, WM_LBUTTONUP);
  EXPECT_FALSE(bar->Pressed());
  EXPECT_EQ(s.closes, 1);
  CursorAway();
}

TEST(SkinnedFormActions, TheButtonUnderTheCursorAtReleaseActs) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  CursorOnButton(s.frame, 1);  // press on close ...
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONDOWN);
  CursorOnButton(s.frame, 2);  // ... release on maximise
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONUP);
  Pump();
  EXPECT_EQ(s.closes, 0);
  EXPECT_EQ(s.form->WindowState(), gui::wsMaximized);
  CursorAway();
}

TEST(SkinnedFormActions, MaximiseFillsTheWorkAreaAndRestoreGivesTheBoundsBack) {
  FourButtonForm s;
  const RECT before = s.form->BoundsRect();
  TsuiTitleBarButton& max = s.frame->TitleBarButtons().Items(2);
  max.DoClick();
  Pump();
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ASSERT_EQ(s.form->WindowState(), gui::wsMaximized);
  RECT r{};
  GetWindowRect(s.Window(), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  EXPECT_EQ(r.right - r.left, work.right - work.left);
  EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
  EXPECT_EQ(s.frame->Width(), work.right - work.left - 2);
  max.DoClick();
  Pump();
  EXPECT_EQ(s.form->WindowState(), gui::wsNormal);
  GetWindowRect(s.Window(), &r);
  EXPECT_EQ(r.left, before.left);
  EXPECT_EQ(r.right - r.left, before.right - before.left);
}

TEST(SkinnedFormActions, WinXPMaximiseButtonSwapsToRestorePicturesAndBack) {
  FourButtonForm s;
  s.frame->SetUIStyle(TsuiUIStyle::WinXP);
  TsuiTitleBarButton& max = s.frame->TitleBarButtons().Items(2);
  auto shows = [&](TsuiThemeSlot slot) {
    gui::Bitmap expected;
    LoadThemeBitmap(expected, TsuiUIStyle::WinXP, slot);
    gui::Bitmap& actual = max.PicNormal().Bitmap();
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x)
        if (At(actual, x, y) != At(expected, x, y)) return false;
    return true;
  };
  ASSERT_FALSE(shows(thTitleRestoreNormal));
  EXPECT_TRUE(shows(thTitleMaxNormal));
  max.DoClick();
  Pump();
  EXPECT_TRUE(shows(thTitleRestoreNormal));
  // The rounded region follows the maximised size.
  EXPECT_FALSE(InRegion(s.Window(), s.form->ClientWidth() - 1, 0));
  EXPECT_TRUE(InRegion(s.Window(), s.form->ClientWidth() - 1, s.form->ClientHeight() - 1));
  max.DoClick();
  Pump();
  EXPECT_TRUE(shows(thTitleMaxNormal));
}

TEST(SkinnedFormActions, MinimiseShowsTheFormMinimised) {
  FourButtonForm s;
  s.frame->TitleBarButtons().Items(3).DoClick();
  Pump();
  EXPECT_TRUE(IsIconic(s.Window()));
}

TEST(SkinnedFormActions, ReleaseOutsideEveryButtonDoesNothing) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  CursorOnButton(s.frame, 1);
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONDOWN);
  POINT p = bar->ClientToScreen(POINT{100, 10});
  MoveCursor(p.x, p.y);
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONUP);
  EXPECT_EQ(s.closes, 0);
  EXPECT_EQ(s.form->WindowState(), gui::wsNormal);
  EXPECT_FALSE(bar->Pressed());
  CursorAway();
}

TEST(SkinnedFormActions, DoubleClickOnTheFreePartMaximisesAndRestores) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  MoveCursor(bar->ClientToScreen(POINT{100, 10}).x, bar->ClientToScreen(POINT{100, 10}).y);
  Send(bar, WM_MOUSEMOVE);
  ASSERT_EQ(bar->HotButton(), -1);
  Send(bar, WM_LBUTTONDBLCLK);  // the form maximises, so this second press drags nothing
  Send(bar, WM_LBUTTONUP);
  Pump();
  EXPECT_EQ(s.form->WindowState(), gui::wsMaximized);
  // Pressing on the free part of the bar of a maximised form does not start a move.
  const RECT before = s.form->BoundsRect();
  POINT p = bar->ClientToScreen(POINT{100, 10});
  MoveCursor(p.x, p.y);
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONDOWN);
  Send(bar, WM_LBUTTONUP);
  EXPECT_EQ(s.form->BoundsRect().left, before.left);
  EXPECT_EQ(s.form->WindowState(), gui::wsMaximized);
  CursorAway();
}

TEST(SkinnedFormActions, DoubleClickWithoutAMaximiseButtonDoesNothing) {
  SkinnedForm s;
  s.frame->TitleBarButtons().Delete(2);
  s.Show();
  TsuiTitleBar* bar = s.frame->TitleBar();
  POINT p = bar->ClientToScreen(POINT{100, 10});
  MoveCursor(p.x, p.y);
  Send(bar, WM_MOUSEMOVE);
  // The second press of the double click starts a move; the release waiting in the queue ends it.
  PostMessageW(s.Window(), WM_LBUTTONUP, 0, 0);
  Send(bar, WM_LBUTTONDBLCLK);
  EXPECT_EQ(s.form->WindowState(), gui::wsNormal);
  EXPECT_FALSE(bar->Pressed());
  CursorAway();
}

TEST(SkinnedFormActions, HelpAndCustomButtonsRaiseTheirEventsWithTheirIndex) {
  SkinnedForm s;
  TsuiTitleBarButtons& buttons = s.frame->TitleBarButtons();
  buttons.Clear();
  buttons.Add().SetButtonType(TsuiTitleBarBtnType::suiHelp);
  TsuiTitleBarButton& custom = buttons.Add();
  gui::Bitmap face = Filled(15, 15, 0x123456);
  gui::Picture picture;
  picture.Assign(face);
  custom.SetPicNormal(picture);
  std::vector<std::pair<std::string, int>> events;
  s.frame->OnTitleBarHelpBtnClick() = [&](gui::Component* sender, int index) {
    EXPECT_EQ(sender, s.frame->TitleBar());
    events.emplace_back("help", index);
  };
  s.frame->OnTitleBarCustomBtnsClick() = [&](gui::Component*, int index) { events.emplace_back("custom", index); };
  s.Show();
  TsuiTitleBar* bar = s.frame->TitleBar();
  for (int i : {0, 1}) {
    CursorOnButton(s.frame, i);
    Send(bar, WM_MOUSEMOVE);
    Send(bar, WM_LBUTTONDOWN);
    Send(bar, WM_LBUTTONUP);
  }
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], (std::pair<std::string, int>{"help", 0}));
  EXPECT_EQ(events[1], (std::pair<std::string, int>{"custom", 1}));
  CursorAway();
}

TEST(SkinnedFormActions, PressOnTheFreePartHandsTheFormToTheSystemMoveLoop) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  // Listen on the form's window procedure in front of the frame's hook.
  std::vector<gui::Message> seen;
  bool pressedDuringMove = false;
  gui::HookToken listener = s.form->AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    if (msg.Msg == WM_NCLBUTTONDOWN) {
      seen.push_back(msg);
      pressedDuringMove = bar->Pressed();
      EXPECT_EQ(GetCapture(), nullptr);  // the bar let the mouse go first
      return;                            // the test stands in for the system's move loop
    }
    next(msg);
  });
  POINT p = bar->ClientToScreen(POINT{100, 10});
  MoveCursor(p.x, p.y);
  Send(bar, WM_MOUSEMOVE);
  ASSERT_EQ(bar->HotButton(), -1);
  Send(bar, WM_LBUTTONDOWN);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].WParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(seen[0].LParam, 0);
  EXPECT_TRUE(pressedDuringMove);
  EXPECT_FALSE(bar->Pressed());  // cleared when the move loop returns

  // On a button the press starts no move.
  CursorOnButton(s.frame, 3);
  Send(bar, WM_MOUSEMOVE);
  Send(bar, WM_LBUTTONDOWN);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(bar->Pressed());
  listener.Reset();
  CursorAway();
}

TEST(SkinnedFormActions, TheSystemMoveLoopRunsAndEndsWithTheRelease) {
  FourButtonForm s;
  TsuiTitleBar* bar = s.frame->TitleBar();
  SetForegroundWindow(s.Window());
  Pump();
  POINT p = bar->ClientToScreen(POINT{100, 10});
  MoveCursor(p.x, p.y);
  Send(bar, WM_MOUSEMOVE);
  PostMessageW(s.Window(), WM_LBUTTONUP, 0, 0);  // waiting for the loop
  Send(bar, WM_LBUTTONDOWN);
  EXPECT_FALSE(bar->Pressed());
  EXPECT_EQ(s.form->WindowState(), gui::wsNormal);
  CursorAway();
}

// --- the form designed maximised --------------------------------------------------------------

TEST(SkinnedForm, DesignedMaximisedLetsTwoSizeMessagesThroughThenKeepsTheWorkAreaOrigin) {
  gui::Form form(nullptr);
  form.SetBounds(50, 60, 300, 200);
  form.SetWindowState(gui::wsMaximized);
  auto* frame = new TsuiForm(&form);
  (void)frame;
  const int start = TsuiForm::MaximizedSizeCounter();
  form.Show();
  Pump();
  ASSERT_EQ(form.WindowState(), gui::wsMaximized);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  while (TsuiForm::MaximizedSizeCounter() < 2) {
    const int seen = TsuiForm::MaximizedSizeCounter();
    SendMessageW(form.Handle(), WM_SIZE, SIZE_MAXIMIZED, 0);
    EXPECT_EQ(TsuiForm::MaximizedSizeCounter(), seen + 1);
  }
  EXPECT_LE(start, 2);
  SetWindowPos(form.Handle(), nullptr, work.left + 30, work.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(form.Handle(), WM_SIZE, SIZE_MAXIMIZED, 0);
  EXPECT_EQ(TsuiForm::MaximizedSizeCounter(), 2);
  RECT r{};
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  // Restoring puts the designed bounds back, once.
  form.SetWindowState(gui::wsNormal);
  Pump();
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
}

// --- shortcuts ----------------------------------------------------------------------------------

TEST(SkinnedFormShortCuts, TheHostedMenusShortcutsRunTheirItems) {
  SkinnedForm s;
  EXPECT_EQ(s.frame->DispatchShortCut(VK_F5, 0), 0);  // no menu
  gui::MainMenu menu(s.form.get());
  gui::MenuItem& open = menu.Items().Add("File").Add("Open");
  int opens = 0;
  open.OnClick = [&](gui::Component*) { ++opens; };
  open.SetShortCut(gui::MakeShortCut(VK_F5, 0));
  s.frame->SetMenu(&menu);
  EXPECT_EQ(s.frame->DispatchShortCut(VK_F6, 0), 0);
  EXPECT_EQ(opens, 0);
  EXPECT_EQ(s.frame->DispatchShortCut(VK_F5, 0), 1);
  EXPECT_EQ(opens, 1);
  s.Show();
  // Through the form's window procedure ...
  EXPECT_EQ(SendMessageW(s.Window(), WM_KEYDOWN, VK_F5, 0), 1);
  EXPECT_EQ(opens, 2);
  // ... and through the application's message loop, which takes the key away.
  int seenByForm = 0;
  gui::HookToken listener = s.form->AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    if (msg.Msg == WM_KEYDOWN) ++seenByForm;
    next(msg);
  });
  PostMessageW(s.Window(), WM_KEYDOWN, VK_F5, 0);
  Pump();
  EXPECT_EQ(opens, 3);
  EXPECT_EQ(seenByForm, 0);
  PostMessageW(s.Window(), WM_KEYDOWN, VK_F6, 0);
  Pump();
  EXPECT_EQ(opens, 3);
  EXPECT_EQ(seenByForm, 1);
}

TEST(SkinnedForm, PaintingLeaksNoGdiObjects) {
  SkinnedForm s;
  s.Show();
  TsuiTitleBar* bar = s.frame->TitleBar();
  gui::Bitmap target(s.frame->Width(), s.frame->Height());
  auto paintAll = [&] {
    s.frame->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
    bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
    s.frame->DrawFormBorder();
  };
  paintAll();
  const long before = gui::LiveGdiObjectCount();
  for (int i = 0; i < 20; ++i) paintAll();
  s.frame->SetUIStyle(TsuiUIStyle::WinXP);
  s.frame->SetUIStyle(TsuiUIStyle::Protein);
  paintAll();
  EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}

TEST(SkinnedForm, InADesignHostItHooksNothingAndRecommendsTheSkinnedMenu) {
  gui::Form form(nullptr);
  form.SetName("frm_config");
  form.SetDesigning(true);
  auto* frame = new TsuiForm(&form);
  frame->SetName("suiForm1");
  EXPECT_EQ(form.BorderStyle(), gui::bsSizeable);
  EXPECT_EQ(gui::App().MessageFilterCount(), 0u);
  DialogLog log;
  // Placed on the form once made (the framework announces a component made with an owner
  // before its class is complete).
  form.InsertComponent(new gui::MainMenu(nullptr));
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.kinds[0], gui::MessageKind::Information);
  EXPECT_EQ(log.texts[0],
            "Strongly recommend you to use \"TsuiMainMenu\" instead of \"TMainMenu\".\r\n\r\n"
            "If you still want to use TMainForm, \r\n\r\nset frm_config's MENU property to NIL please.\r\n\r\n"
            "And set suiForm1's MENU property to this Menu when you finished designing the menu.");
}
