// The title bar on pixels: sections and their skip rule, the button row from the right edge,
// the control box or the program's icon, the caption's place, colour and abbreviation, the
// hot button under the cursor, the design rules, and the window actions of the buttons.
#include "skin/SUITitleBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/Icon.h"
#include "gui/MessageDialog.h"
#include "gui/Picture.h"
#include "gui/PopupMenu.h"
#include "tests/skin/DialogLog.h"
#include "tests/skin/Cursor.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace skintest;

namespace {


// Paints the bar with the cursor where the test last put it. The cursor is shared with every
// program on the display, so the paint is repeated until the cursor stayed put all through it.
gui::Bitmap PaintBar(TsuiTitleBar& bar) {
  for (int attempt = 0;; ++attempt) {
    POINT p{};
    GetCursorPos(&p);
    if (p.x != intendedCursor.x || p.y != intendedCursor.y) MoveCursor(intendedCursor.x, intendedCursor.y);
    gui::Bitmap target(bar.Width(), bar.Height());
    bar.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
    GetCursorPos(&p);
    if ((p.x == intendedCursor.x && p.y == intendedCursor.y) || attempt == 5) return target;
  }
}

gui::Bitmap PaintWithCursorAt(TsuiTitleBar& bar, int x, int y) {
  MoveCursor(x, y);
  return PaintBar(bar);
}

std::unique_ptr<gui::Picture> Holding(const gui::Bitmap& bitmap) {
  auto p = std::make_unique<gui::Picture>();
  p->Assign(bitmap);
  return p;
}

// Replaces the bar's sections by one stretched section of a single colour, so that what the
// buttons and the caption draw stands out.
void PlainBackground(TsuiTitleBar& bar, std::uint32_t pixel) {
  bar.Sections().Clear();
  TsuiTitleBarSection& s = bar.Sections().Add();
  s.SetPicture(*Holding(Filled(4, 4, pixel)));
  s.SetAlign(TsuiTitleBarAlign::suiClient);
}

// Counts the pixels of the button's normal picture that show at (x, y) in the bar; the
// picture's key colour (bottom-left pixel) is left out when the button is transparent.
struct Placement {
  int shown = 0;
  int opaque = 0;
};
Placement PictureAt(gui::Bitmap& bar, const gui::Picture& picture, bool transparent, int x, int y) {
  gui::Bitmap face(picture.Width(), picture.Height());
  face.Canvas().Draw(0, 0, *picture.Graphic());
  const std::uint32_t key = At(face, 0, face.Height() - 1);
  Placement p;
  for (int py = 0; py < face.Height(); ++py)
    for (int px = 0; px < face.Width(); ++px) {
      const std::uint32_t pixel = At(face, px, py);
      if (transparent && pixel == key) continue;
      ++p.opaque;
      const int bx = x + px, by = y + py;
      if (bx >= 0 && by >= 0 && bx < bar.Width() && by < bar.Height() && At(bar, bx, by) == pixel) ++p.shown;
    }
  return p;
}

// True when the picture shows at exactly (x, y): every opaque pixel there, and not one pixel
// to the left or right.
bool ShowsAt(gui::Bitmap& bar, const TsuiTitleBarButton& button, const gui::Picture& picture, int x) {
  const Placement here = PictureAt(bar, picture, button.Transparent(), x, button.Top());
  const Placement left = PictureAt(bar, picture, button.Transparent(), x - 1, button.Top());
  const Placement right = PictureAt(bar, picture, button.Transparent(), x + 1, button.Top());
  return here.opaque > 0 && here.shown == here.opaque && left.shown < left.opaque && right.shown < right.opaque;
}

// The leftmost and rightmost columns holding a pixel of colour ink, or {-1, -1}.
std::pair<int, int> InkColumns(gui::Bitmap& b, std::uint32_t ink, int fromX = 0, int toX = -1) {
  if (toX < 0) toX = b.Width();
  int first = -1, last = -1;
  for (int x = fromX; x < toX; ++x)
    for (int y = 0; y < b.Height(); ++y)
      if (At(b, x, y) == ink) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

// The caption as the bar should draw it: the text alone, at (x, y), on the same background.
gui::Bitmap CaptionReference(TsuiTitleBar& bar, const std::string& text, int x, int y, std::uint32_t background) {
  gui::Bitmap ref = Filled(bar.Width(), bar.Height(), background);
  ref.Canvas().SetFont(bar.Font());
  ref.Canvas().Brush().SetStyle(gui::bsClear);
  ref.Canvas().TextOut(x, y, text);
  return ref;
}


// The settings dialog's bar: a control box and a close button in Protein, 277 pixels wide.
struct DialogBar {
  DialogBar() {
    bar.SetUIStyle(TsuiUIStyle::Protein);
    bar.Buttons().Delete(3);  // minimise
    bar.Buttons().Delete(2);  // maximise
    bar.SetWidth(277);
    bar.Font().SetColor(0x0000FF);
    bar.SetCaption("Config");
  }
  TsuiTitleBar bar{nullptr};
};

}  // namespace

// --- construction and styles -------------------------------------------------------

TEST(TitleBar, ConstructionDefaults) {
  TsuiTitleBar bar(nullptr);
  ASSERT_EQ(bar.Buttons().Count(), 4);
  EXPECT_EQ(bar.Buttons().Items(0).ButtonType(), TsuiTitleBarBtnType::suiControlBox);
  EXPECT_EQ(bar.Buttons().Items(1).ButtonType(), TsuiTitleBarBtnType::suiClose);
  EXPECT_EQ(bar.Buttons().Items(2).ButtonType(), TsuiTitleBarBtnType::suiMax);
  EXPECT_EQ(bar.Buttons().Items(3).ButtonType(), TsuiTitleBarBtnType::suiMin);
  EXPECT_EQ(bar.UIStyle(), TsuiUIStyle::DeepBlue);
  EXPECT_EQ(bar.Font().Color(), gui::clWhite);
  EXPECT_EQ(bar.Align(), gui::alTop);
  EXPECT_EQ(bar.ButtonInterval(), 0);
  EXPECT_TRUE(bar.FormActive());
  EXPECT_FALSE(bar.DrawAppIcon());
  EXPECT_EQ(bar.HotButton(), -1);
  EXPECT_FALSE(bar.Pressed());
  EXPECT_TRUE(bar.AutoSize());
  EXPECT_EQ(bar.Caption(), "");
  EXPECT_EQ(bar.Sections().Count(), 3);
  EXPECT_EQ(bar.Height(), 32);
}

TEST(TitleBar, EachStyleGivesItsSectionsOffsetsAndButtons) {
  struct Expect {
    int height, left, client, right, button, top, leftOffset, rightOffset, corner;
    bool transparent;
  };
  const Expect expect[] = {
      {23, 48, 49, 48, 17, 4, 3, -2, 0, false},    {29, 35, 37, 35, 21, 5, 2, -2, 13, false},
      {32, 97, 98, 97, 19, 2, 0, 0, 0, false},     {23, 441, 1, 1, 19, 2, 0, 0, 0, true},
      {33, 162, 179, 101, 19, 6, 4, -3, 11, true},
  };
  TsuiTitleBar bar(nullptr);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(static_cast<int>(kBuiltInStyles[i]));
    const Expect& e = expect[i];
    bar.SetUIStyle(kBuiltInStyles[i]);
    EXPECT_EQ(bar.Height(), e.height);
    ASSERT_EQ(bar.Sections().Count(), 3);
    EXPECT_EQ(bar.Sections().Items(0).Align(), TsuiTitleBarAlign::suiLeft);
    EXPECT_EQ(bar.Sections().Items(0).Width(), e.left);
    EXPECT_FALSE(bar.Sections().Items(0).Stretch());
    EXPECT_EQ(bar.Sections().Items(1).Align(), TsuiTitleBarAlign::suiRight);
    EXPECT_EQ(bar.Sections().Items(1).Width(), e.right);
    EXPECT_EQ(bar.Sections().Items(2).Align(), TsuiTitleBarAlign::suiClient);
    EXPECT_TRUE(bar.Sections().Items(2).Stretch());
    EXPECT_EQ(bar.Sections().Items(2).Width(), 10);  // not sized: the client section stretches
    EXPECT_EQ(bar.Sections().Items(2).Picture().Width(), e.client);
    EXPECT_EQ(bar.LeftBtnXOffset(), e.leftOffset);
    EXPECT_EQ(bar.RightBtnXOffset(), e.rightOffset);
    EXPECT_EQ(bar.CornerSize(), e.corner);
    for (int b = 0; b < 4; ++b) {
      const TsuiTitleBarButton& button = bar.Buttons().Items(b);
      EXPECT_EQ(button.UIStyle(), kBuiltInStyles[i]);
      EXPECT_EQ(button.PicNormal().Width(), e.button);
      EXPECT_EQ(button.PicMouseOn().Height(), e.button);
      EXPECT_EQ(button.Top(), e.top);
      EXPECT_EQ(button.Transparent(), e.transparent);
    }
  }
}

TEST(TitleBar, CustomStyleRemovesTheSectionsAndKeepsTheButtonPictures) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::Protein);
  bar.SetUIStyle(TsuiUIStyle::Custom);
  EXPECT_EQ(bar.Sections().Count(), 0);
  EXPECT_EQ(bar.Buttons().Items(1).PicNormal().Width(), 19);
  EXPECT_EQ(bar.Buttons().Items(1).UIStyle(), TsuiUIStyle::Protein);  // the buttons are not re-styled
  // Without sections AutoSize cannot hold.
  bar.SetAutoSize(true);
  EXPECT_FALSE(bar.AutoSize());
}

TEST(TitleBar, CustomButtonKeepsItsPicturesAndTop) {
  TsuiTitleBar bar(nullptr);
  TsuiTitleBarButton& custom = bar.Buttons().Add();
  custom.SetPicNormal(*Holding(Filled(7, 5, 0x123456)));
  custom.SetTop(9);
  bar.SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_EQ(custom.PicNormal().Width(), 7);
  EXPECT_EQ(custom.Top(), 9);
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::WinXP);
}

// --- sections -----------------------------------------------------------------------

TEST(TitleBarSections, LeftRightAndClientShareTheBar) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::Custom);
  bar.Buttons().Clear();
  bar.SetBounds(0, 0, 100, 10);
  TsuiTitleBarSection& left = bar.Sections().Add();
  left.SetPicture(*Holding(Pattern(30, 10)));
  left.SetAutoSize(true);
  TsuiTitleBarSection& client = bar.Sections().Add();
  client.SetPicture(*Holding(Filled(3, 10, 0x00FF00)));
  client.SetAlign(TsuiTitleBarAlign::suiClient);
  TsuiTitleBarSection& right = bar.Sections().Add();
  right.SetPicture(*Holding(Filled(20, 10, 0x0000FF)));
  right.SetAutoSize(true);
  right.SetAlign(TsuiTitleBarAlign::suiRight);
  ASSERT_EQ(left.Width(), 30);
  ASSERT_EQ(right.Width(), 20);

  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  EXPECT_EQ(At(b, 0, 0), PatternPixel(0, 0));
  EXPECT_EQ(At(b, 29, 9), PatternPixel(29, 9));
  EXPECT_EQ(At(b, 30, 5), 0x00FF00u);
  EXPECT_EQ(At(b, 79, 5), 0x00FF00u);
  EXPECT_EQ(At(b, 80, 0), 0x0000FFu);
  EXPECT_EQ(At(b, 99, 9), 0x0000FFu);

  // 45 pixels: 45 - (30 - 1) = 16 is less than 20, so the right section is skipped and the
  // client section takes all that the left one leaves.
  bar.SetWidth(45);
  gui::Bitmap narrow = PaintBar(bar);
  EXPECT_EQ(At(narrow, 29, 3), PatternPixel(29, 3));
  EXPECT_EQ(At(narrow, 30, 3), 0x00FF00u);
  EXPECT_EQ(At(narrow, 44, 3), 0x00FF00u);
}

TEST(TitleBarSections, UnstretchedPictureIsCopiedOneToOneAndClippedToItsWidth) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::Custom);
  bar.Buttons().Clear();
  bar.SetBounds(0, 0, 60, 8);
  TsuiTitleBarSection& left = bar.Sections().Add();
  left.SetPicture(*Holding(Pattern(40, 8)));
  left.SetWidth(12);  // narrower than its picture
  TsuiTitleBarSection& next = bar.Sections().Add();
  next.SetPicture(*Holding(Filled(5, 8, 0x0000FF)));
  next.SetStretch(true);
  next.SetWidth(10);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  EXPECT_EQ(At(b, 11, 7), PatternPixel(11, 7));
  EXPECT_EQ(At(b, 12, 7), 0x0000FFu);
  EXPECT_EQ(At(b, 21, 0), 0x0000FFu);
  EXPECT_EQ(At(b, 22, 0), kWhite);  // nothing beyond the sections
}

TEST(TitleBarSections, ProteinBarNarrowerThanItsLeftPictureShowsOnlyThatPicture) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::Protein);
  bar.Buttons().Clear();
  bar.SetWidth(300);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  gui::Bitmap& left = bar.Sections().Items(0).Picture().Bitmap();
  for (int x : {0, 150, 299})
    for (int y : {0, 11, 22}) EXPECT_EQ(At(b, x, y), At(left, x, y)) << x << "," << y;
}

TEST(TitleBarSections, DesignRulesKeepOneClientSectionThatAlwaysStretches) {
  DialogLog log;
  TsuiTitleBar bar(nullptr);  // DeepBlue: its third section is the client one
  TsuiTitleBarSection& extra = bar.Sections().Add();
  extra.SetAlign(TsuiTitleBarAlign::suiClient);
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "Sorry, only one section's Align property can be \"suiClient\"");
  EXPECT_EQ(log.kinds[0], gui::MessageKind::Error);
  EXPECT_EQ(extra.Align(), TsuiTitleBarAlign::suiLeft);
  EXPECT_FALSE(extra.Stretch());

  TsuiTitleBarSection& client = bar.Sections().Items(2);
  client.SetStretch(false);
  EXPECT_TRUE(client.Stretch());
}

TEST(TitleBarSections, AssignReplacesTheItemsWholesale) {
  TsuiTitleBar bar(nullptr);
  TsuiTitleBarSections stored(nullptr);
  TsuiTitleBarSection& only = stored.Add();
  only.SetPicture(*Holding(Filled(9, 4, 0x112233)));
  only.SetAutoSize(true);
  bar.SetSections(stored);
  ASSERT_EQ(bar.Sections().Count(), 1);
  EXPECT_EQ(bar.Sections().Items(0).Width(), 9);
  EXPECT_EQ(bar.Sections().Items(0).Collection(), &bar.Sections());
  EXPECT_EQ(bar.Sections().Bar(), &bar);
}

// --- buttons and caption --------------------------------------------------------------

TEST(TitleBarPixels, SettingsDialogBarPlacesCloseControlBoxAndCaption) {
  DialogBar d;
  TsuiTitleBar& bar = d.bar;
  const TsuiTitleBarButton& controlBox = bar.Buttons().Items(0);
  const TsuiTitleBarButton& close = bar.Buttons().Items(1);
  ASSERT_EQ(bar.Height(), 23);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  EXPECT_TRUE(ShowsAt(b, close, close.PicNormal(), 258));
  EXPECT_EQ(close.Top(), 2);
  EXPECT_TRUE(ShowsAt(b, controlBox, controlBox.PicNormal(), 0));

  // The caption on a plain background, compared with the text drawn alone at x = 24.
  PlainBackground(bar, 0x000000);
  gui::Bitmap plain = PaintBar(bar);
  const int textHeight = plain.Canvas().TextHeight("Config");
  gui::Bitmap ref = CaptionReference(bar, "Config", 24, (23 - textHeight) / 2, 0x000000);
  for (int y = 0; y < 23; ++y)
    for (int x = 22; x < 200; ++x) ASSERT_EQ(At(plain, x, y), At(ref, x, y)) << x << "," << y;
  EXPECT_NE(InkColumns(plain, 0xFF0000, 22, 200).first, -1);
}

TEST(TitleBarPixels, DefaultButtonsSitFromTheRightEdgeOnePixelApart) {
  TsuiTitleBar bar(nullptr);  // DeepBlue, both offsets 0
  bar.SetWidth(300);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  const TsuiTitleBarButton& close = bar.Buttons().Items(1);
  const TsuiTitleBarButton& max = bar.Buttons().Items(2);
  const TsuiTitleBarButton& min = bar.Buttons().Items(3);
  EXPECT_TRUE(ShowsAt(b, close, close.PicNormal(), 300 - 19));
  EXPECT_TRUE(ShowsAt(b, max, max.PicNormal(), 300 - 19 - 1 - 19));
  EXPECT_TRUE(ShowsAt(b, min, min.PicNormal(), 300 - 3 * 19 - 2));

  bar.SetButtonInterval(3);
  gui::Bitmap spaced = PaintBar(bar);
  EXPECT_TRUE(ShowsAt(spaced, close, close.PicNormal(), 300 - 19 - 3));
  EXPECT_TRUE(ShowsAt(spaced, max, max.PicNormal(), 300 - 2 * 19 - 2 * 3 - 1));
}

TEST(TitleBarPixels, RightOffsetShiftsTheRowAndLeftOffsetTheControlBox) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::BlueGlass);  // left offset 4, right offset -3, top 6
  bar.SetWidth(400);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  const TsuiTitleBarButton& controlBox = bar.Buttons().Items(0);
  const TsuiTitleBarButton& close = bar.Buttons().Items(1);
  EXPECT_TRUE(ShowsAt(b, close, close.PicNormal(), 400 - 3 - 19));
  EXPECT_TRUE(ShowsAt(b, controlBox, controlBox.PicNormal(), 4));
}

TEST(TitleBarPixels, CaptionStartsAtSixOrAtTheLeftOffsetWithoutControlBox) {
  TsuiTitleBar bar(nullptr);
  bar.SetUIStyle(TsuiUIStyle::Protein);
  bar.Buttons().Delete(0);
  bar.SetWidth(300);
  bar.Font().SetColor(0x0000FF);
  bar.SetCaption("Hello");
  PlainBackground(bar, 0x000000);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  const int y = (23 - b.Canvas().TextHeight("Hello")) / 2;
  gui::Bitmap ref = CaptionReference(bar, "Hello", 6, y, 0x000000);
  EXPECT_EQ(InkColumns(b, 0xFF0000, 0, 200), InkColumns(ref, 0xFF0000, 0, 200));

  // MacOS: offset 3, and the caption is black whatever the font says.
  bar.SetUIStyle(TsuiUIStyle::MacOS);
  PlainBackground(bar, 0xFFFFFF);
  gui::Bitmap mac = PaintBar(bar);
  gui::Bitmap macRef = Filled(300, 23, 0xFFFFFF);
  macRef.Canvas().SetFont(bar.Font());
  macRef.Canvas().Font().SetColor(gui::clBlack);
  macRef.Canvas().Brush().SetStyle(gui::bsClear);
  macRef.Canvas().TextOut(3, (23 - macRef.Canvas().TextHeight("Hello")) / 2, "Hello");
  EXPECT_NE(InkColumns(mac, 0x000000, 0, 200).first, -1);
  EXPECT_EQ(InkColumns(mac, 0x000000, 0, 200), InkColumns(macRef, 0x000000, 0, 200));
}

TEST(TitleBarPixels, DeepBlueCaptionSitsAtRowFour) {
  TsuiTitleBar bar(nullptr);
  bar.Buttons().Clear();
  bar.SetWidth(200);
  bar.Font().SetColor(0x0000FF);
  bar.SetCaption("Top");
  PlainBackground(bar, 0x000000);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  gui::Bitmap ref = CaptionReference(bar, "Top", 6, 4, 0x000000);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(At(b, x, y), At(ref, x, y)) << x << "," << y;
}

TEST(TitleBarPixels, InactiveFormDrawsTheCaptionInTheInactiveCaptionColour) {
  TsuiTitleBar bar(nullptr);
  bar.Buttons().Clear();
  bar.SetWidth(200);
  bar.SetCaption("Idle");
  PlainBackground(bar, 0x000000);
  bar.SetFormActive(false);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  const std::uint32_t pixel = PixelOf(gui::clInactiveCaption);
  ASSERT_NE(pixel, 0u);
  EXPECT_NE(InkColumns(b, pixel).first, -1);
  EXPECT_EQ(InkColumns(b, 0xFFFFFF).first, -1);  // no white text
}

TEST(TitleBarPixels, TooLongCaptionShowsItsFirstTwoCharactersAndDots) {
  DialogBar d;
  TsuiTitleBar& bar = d.bar;
  PlainBackground(bar, 0x000000);
  CursorAway();
  // The space runs from 24 to the close button: make it a few pixels narrower than "Config".
  gui::Bitmap probe(10, 10);
  probe.Canvas().SetFont(bar.Font());
  const int full = probe.Canvas().TextWidth("Config");
  bar.SetWidth(24 + full - 3 + 20);
  gui::Bitmap b = PaintBar(bar);
  const int y = (23 - probe.Canvas().TextHeight("Co...")) / 2;
  gui::Bitmap ref = CaptionReference(bar, "Co...", 24, y, 0x000000);
  for (int yy = 0; yy < 23; ++yy)
    for (int x = 20; x < bar.Width() - 20; ++x) ASSERT_EQ(At(b, x, yy), At(ref, x, yy)) << x << "," << yy;

  // Exactly as wide as the space: drawn whole.
  bar.SetWidth(24 + full + 20);
  gui::Bitmap fits = PaintBar(bar);
  gui::Bitmap whole = CaptionReference(bar, "Config", 24, (23 - probe.Canvas().TextHeight("Config")) / 2, 0);
  for (int yy = 0; yy < 23; ++yy)
    for (int x = 20; x < bar.Width() - 20; ++x) ASSERT_EQ(At(fits, x, yy), At(whole, x, yy)) << x << "," << yy;
}

TEST(TitleBarCaption, AbbreviationCountsCharactersNotBytes) {
  EXPECT_EQ(AbbreviatedCaption("Config"), "Co...");
  EXPECT_EQ(AbbreviatedCaption("\xC3\x9C\xC3\xA9tude"), "\xC3\x9C\xC3\xA9...");
  EXPECT_EQ(AbbreviatedCaption("A"), "A...");
  EXPECT_EQ(AbbreviatedCaption(""), "...");
}

TEST(TitleBarPixels, AppIconReplacesTheControlBoxPicture) {
  DialogBar d;
  TsuiTitleBar& bar = d.bar;
  bar.SetDrawAppIcon(true);
  PlainBackground(bar, 0x00FF00);
  CursorAway();
  gui::Bitmap b = PaintBar(bar);
  gui::Bitmap ref = Filled(16, 16, 0x00FF00);
  gui::Icon icon;
  icon.LoadFromResourceName(GetModuleHandleW(nullptr), "MAINICON");
  ref.Canvas().Draw(0, 0, icon);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(At(b, 3 + x, 2 + y), At(ref, x, y)) << x << "," << y;
  // The caption moves to 21.
  gui::Bitmap caption = CaptionReference(bar, "Config", 21, (23 - b.Canvas().TextHeight("Config")) / 2, 0x00FF00);
  EXPECT_EQ(InkColumns(b, 0xFF0000, 19, 200), InkColumns(caption, 0xFF0000, 19, 200));
}

// --- the hot button -----------------------------------------------------------------

TEST(TitleBarHot, RightAndBottomEdgesOfAButtonCountAsOver) {
  DialogBar d;
  TsuiTitleBar& bar = d.bar;  // the bar sits at the screen's origin: client = screen
  const TsuiTitleBarButton& close = bar.Buttons().Items(1);
  gui::Bitmap b = PaintWithCursorAt(bar, 258 + 19, 2 + 19);
  EXPECT_EQ(bar.HotButton(), 1);
  EXPECT_TRUE(ShowsAt(b, close, close.PicMouseOn(), 258));

  PaintWithCursorAt(bar, 258 + 20, 2 + 19);
  EXPECT_EQ(bar.HotButton(), -1);
  PaintWithCursorAt(bar, 258, 2 + 20);
  EXPECT_EQ(bar.HotButton(), -1);
  PaintWithCursorAt(bar, 258, 2);
  EXPECT_EQ(bar.HotButton(), 1);
  PaintWithCursorAt(bar, 257, 2);
  EXPECT_EQ(bar.HotButton(), -1);
  PaintWithCursorAt(bar, 19, 21);  // the control box's own corner
  EXPECT_EQ(bar.HotButton(), 0);
  CursorAway();
  PaintBar(bar);
  EXPECT_EQ(bar.HotButton(), -1);
}

TEST(TitleBarHot, AppIconAreaIsTheControlBoxPictureRectangle) {
  DialogBar d;
  d.bar.SetDrawAppIcon(true);
  PaintWithCursorAt(d.bar, 19, 21);  // beyond the 16 x 16 icon but inside the 19 x 19 picture
  EXPECT_EQ(d.bar.HotButton(), 0);
  PaintWithCursorAt(d.bar, 20, 10);
  EXPECT_EQ(d.bar.HotButton(), -1);
  CursorAway();
}

TEST(TitleBarHot, ControlBoxWinsOverARightHandButtonOnTheSamePoint) {
  TsuiTitleBar bar(nullptr);  // DeepBlue, 19 x 19 pictures
  bar.SetWidth(30);           // close at 11..30, control box at 0..19
  PaintWithCursorAt(bar, 15, 5);
  EXPECT_EQ(bar.HotButton(), 0);
  CursorAway();
}

// --- design rules -----------------------------------------------------------------------

TEST(TitleBarButtons, OnlyOneControlBoxAndPicturesOnlyOnCustomOrControlBox) {
  DialogLog log;
  TsuiTitleBar bar(nullptr);
  TsuiTitleBarButton& extra = bar.Buttons().Add();
  extra.SetButtonType(TsuiTitleBarBtnType::suiControlBox);
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "Sorry, only one button's ButtonType property can be \"suiControlBox\"");
  EXPECT_EQ(extra.ButtonType(), TsuiTitleBarBtnType::suiCustom);

  TsuiTitleBarButton& close = bar.Buttons().Items(1);
  const int before = close.PicNormal().Width();
  close.SetPicNormal(*Holding(Filled(5, 5, 0)));
  close.SetPicMouseOn(*Holding(Filled(5, 5, 0)));
  ASSERT_EQ(log.texts.size(), 3u);
  EXPECT_EQ(log.texts[1], "Sorry, this button is not a \"suiCustom\" or \"suiControlBox\"(ButtonType property) button!");
  EXPECT_EQ(log.kinds[1], gui::MessageKind::Error);
  EXPECT_EQ(close.PicNormal().Width(), before);

  bar.Buttons().Items(0).SetPicMouseDown(*Holding(Filled(5, 6, 0)));
  extra.SetPicNormal(*Holding(Filled(7, 6, 0)));
  EXPECT_EQ(log.texts.size(), 3u);
  EXPECT_EQ(bar.Buttons().Items(0).PicMouseDown().Width(), 5);
  EXPECT_EQ(extra.PicNormal().Width(), 7);
}

TEST(TitleBarButtons, WinXPMaximiseShowsRestorePicturesWhileTheFormIsMaximised) {
  gui::Form form(nullptr);
  form.SetBounds(40, 40, 300, 200);
  TsuiTitleBar bar(nullptr);
  bar.SetParent(&form);
  form.SetWindowState(gui::wsMaximized);
  bar.SetUIStyle(TsuiUIStyle::WinXP);
  TsuiTitleBarButton& max = bar.Buttons().Items(2);
  gui::Bitmap restore;
  LoadThemeBitmap(restore, TsuiUIStyle::WinXP, thTitleRestoreNormal);
  gui::Bitmap maximise;
  LoadThemeBitmap(maximise, TsuiUIStyle::WinXP, thTitleMaxNormal);
  auto same = [](gui::Bitmap& a, gui::Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (At(a, x, y) != At(b, x, y)) return false;
    return true;
  };
  EXPECT_TRUE(same(max.PicNormal().Bitmap(), restore));
  form.SetWindowState(gui::wsNormal);
  max.SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_TRUE(same(max.PicNormal().Bitmap(), maximise));
  EXPECT_FALSE(same(restore, maximise));
}

// --- window actions ---------------------------------------------------------------------

TEST(TitleBarActions, ButtonsWithoutAFormDoNothing) {
  DialogLog log;
  TsuiTitleBar bar(nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_NO_THROW(bar.Buttons().Items(i).DoClick());
  TsuiTitleBarButtons loose(nullptr);
  EXPECT_NO_THROW(loose.Add().DoClick());
  EXPECT_TRUE(log.texts.empty());
}

TEST(TitleBarActions, CloseRunsTheFormsCloseAndEveryButtonSetsTheMaximumSize) {
  gui::Form form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  TsuiTitleBar bar(nullptr);
  bar.SetParent(&form);
  int closes = 0;
  form.OnClose = [&](gui::Component*, gui::TCloseAction& action) {
    ++closes;
    action = gui::caNone;
  };
  bar.Buttons().Items(1).DoClick();
  EXPECT_EQ(closes, 1);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(form.Constraints().MaxWidth, work.right - work.left);
  EXPECT_EQ(form.Constraints().MaxHeight, work.bottom - work.top);
}

namespace {
class RecordingMenu : public gui::PopupMenu {
 public:
  using gui::PopupMenu::PopupMenu;
  void Popup(int x, int y) override { where.push_back(POINT{x, y}); }
  std::vector<POINT> where;
};
}  // namespace

TEST(TitleBarActions, ControlBoxOpensItsMenuUnderTheLeftEndOfTheBar) {
  gui::Form form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  TsuiTitleBar bar(nullptr);
  bar.SetParent(&form);
  RecordingMenu menu(nullptr);
  bar.Buttons().Items(0).SetControlBoxMenu(&menu);
  bar.Buttons().Items(0).DoClick();
  ASSERT_EQ(menu.where.size(), 1u);
  const POINT expected = bar.ClientToScreen(POINT{0, bar.Height()});
  EXPECT_EQ(menu.where[0].x, expected.x);
  EXPECT_EQ(menu.where[0].y, expected.y);
}
