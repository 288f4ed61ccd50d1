// The pictures in the program's resources: every theme bitmap of every style at its size,
// the literal bitmaps, the dialogs' pictures with their bit depths and keys, and the icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/JpegImage.h"
#include "gui/Text.h"
#include "skin/SUIResDef.h"
#include "skin/SUIThemes.h"

using namespace sui;

namespace {

constexpr gui::TColor kMagenta = 0xFF00FF;
struct Size {
  int w, h;
};

// The element sizes the controls lay themselves out by, per style in the order above.
const std::map<std::string, std::vector<Size>>& ElementSizes() {
  static const std::map<std::string, std::vector<Size>> sizes = {
      {"BUTTON", {{84, 23}, {18, 21}, {74, 21}, {74, 21}, {77, 27}}},
      {"CHECKBOX", {{15, 17}, {13, 13}, {13, 13}, {13, 13}, {13, 13}}},
      {"RADIOBUTTON", {{16, 17}, {13, 13}, {13, 13}, {13, 13}, {13, 13}}},
      {"PROGRESSBAR", {{13, 10}, {6, 10}, {1, 10}, {1, 10}, {1, 10}}},
      {"PROGRESSBAR_V", {{13, 13}, {10, 6}, {10, 1}, {10, 1}, {10, 1}}},
      {"TITLE_LEFT", {{48, 23}, {35, 29}, {97, 32}, {441, 23}, {162, 33}}},
      {"TITLE_CLIENT", {{49, 23}, {37, 29}, {98, 32}, {1, 23}, {179, 33}}},
      {"TITLE_RIGHT", {{48, 23}, {35, 29}, {97, 32}, {1, 23}, {101, 33}}},
      {"TITLEBTN", {{17, 17}, {21, 21}, {19, 19}, {19, 19}, {19, 19}}},
      {"TAB_ACTIVE", {{18, 27}, {9, 18}, {6, 17}, {9, 17}, {9, 17}}},
      {"TAB_INACTIVE", {{18, 27}, {9, 18}, {6, 17}, {9, 17}, {9, 17}}},
      {"TAB_LINE", {{17, 7}, {8, 1}, {5, 5}, {10, 5}, {10, 5}}},
      {"TRACKBAR_BAR", {{45, 5}, {45, 8}, {45, 4}, {45, 4}, {45, 4}}},
      {"TRACKBAR_SLIDER", {{11, 20}, {11, 21}, {11, 20}, {11, 20}, {11, 20}}},
      {"TRACKBAR_SLIDER_V", {{19, 11}, {22, 11}, {18, 11}, {18, 11}, {18, 11}}},
      {"MENU_CHECKED", {{16, 16}, {16, 16}, {16, 16}, {16, 16}, {16, 16}}},
  };
  return sizes;
}

// The element part of a theme name: "PROTEIN_TITLEBTN_MAX_NORMAL" -> "TITLEBTN".
std::string ElementOf(const std::string& name, const std::string& word) {
  if (name == "MENU_CHECKED") return name;
  std::string rest = name.substr(word.size() + 1);
  for (const char* prefix : {"BUTTON_", "CHECKBOX_", "RADIOBUTTON_", "TITLEBTN_"}) {
    if (rest.rfind(prefix, 0) == 0) return std::string(prefix, std::char_traits<char>::length(prefix) - 1);
  }
  return rest;
}

int StyleIndex(TsuiUIStyle style) { return static_cast<int>(style) - 1; }

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The bit depth a bitmap resource is stored with.
int StoredBitCount(const std::string& name) {
  const std::wstring wide = gui::Utf8ToWide(name);
  HRSRC info = FindResourceW(Self(), wide.c_str(), MAKEINTRESOURCEW(2));
  if (info == nullptr) return -1;
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Self(), info)));
  return header ? header->biBitCount : -1;
}

gui::Bitmap Load(const std::string& name) {
  gui::Bitmap b;
  b.LoadFromResourceName(Self(), name);
  return b;
}

int CountColour(gui::Bitmap& b, gui::TColor colour) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Canvas().Pixel(x, y) == colour;
  return n;
}

// Theme bitmaps drawn keyed on their top-left pixel by the skin routines.
bool KeyedTopLeft(TsuiUIStyle style, TsuiThemeSlot slot) {
  if (slot >= thRadioButtonDisableCheck && slot <= thRadioButtonMouseDownUncheck) return true;
  if (slot == thTabActive || slot == thTabInactive) return true;
  if (slot >= thButtonNormal && slot <= thButtonMouseDown) return style == TsuiUIStyle::BlueGlass;
  return false;
}

bool TitleButton(TsuiThemeSlot slot) { return slot >= thTitleCloseNormal && slot <= thTitleRestoreMouseDown; }

}  // namespace

TEST(Artwork, EveryThemeNameResolvesToABitmapOfItsElementSize) {
  int checked = 0;
  for (TsuiUIStyle style : kBuiltInStyles) {
    const std::string word = StyleWord(style);
    for (int s = 0; s < thSlotCount; ++s) {
      const auto slot = static_cast<TsuiThemeSlot>(s);
      if (GetThemeKind(slot) != TsuiThemeKind::BitmapNameKind) continue;
      const std::string name = GetThemeBitmapName(style, slot);
      SCOPED_TRACE(name);
      gui::Bitmap bitmap;
      ASSERT_NO_THROW(LoadThemeBitmap(bitmap, style, slot));
      const auto it = ElementSizes().find(ElementOf(name, word));
      ASSERT_NE(it, ElementSizes().end());
      const Size want = it->second[StyleIndex(style)];
      EXPECT_EQ(bitmap.Width(), want.w);
      EXPECT_EQ(bitmap.Height(), want.h);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 5 * 50);
}

TEST(Artwork, ThemeBitmapsCarryTheKeyWhereTheirDrawingPathLooksForIt) {
  for (TsuiUIStyle style : kBuiltInStyles) {
    const bool transparentButtons = GetThemeBoolean(style, thTitleButtonTransparent);
    for (int s = 0; s < thSlotCount; ++s) {
      const auto slot = static_cast<TsuiThemeSlot>(s);
      if (GetThemeKind(slot) != TsuiThemeKind::BitmapNameKind) continue;
      SCOPED_TRACE(GetThemeBitmapName(style, slot));
      gui::Bitmap b;
      LoadThemeBitmap(b, style, slot);
      gui::Canvas& c = b.Canvas();
      if (KeyedTopLeft(style, slot)) {
        EXPECT_EQ(c.Pixel(0, 0), kMagenta);
      } else if (TitleButton(slot) && transparentButtons) {
        EXPECT_EQ(c.Pixel(0, b.Height() - 1), kMagenta);
        // The glyph in the middle is solid.
        EXPECT_NE(c.Pixel(b.Width() / 2, b.Height() / 2), kMagenta);
      } else {
        // Drawn opaque: no key colour shows anywhere.
        EXPECT_EQ(CountColour(b, kMagenta), 0);
      }
    }
  }
}

TEST(Artwork, TabMiddleSlicesHoldNoKeySoTheirStretchedCopyShowsNoHoles) {
  for (TsuiUIStyle style : kBuiltInStyles) {
    for (TsuiThemeSlot slot : {thTabActive, thTabInactive}) {
      gui::Bitmap b;
      LoadThemeBitmap(b, style, slot);
      const int slice = b.Width() / 3;
      for (int y = 0; y < b.Height(); ++y)
        for (int x = slice; x < 2 * slice; ++x) ASSERT_NE(b.Canvas().Pixel(x, y), kMagenta) << x << "," << y;
    }
  }
}

TEST(Artwork, StylesLookDifferent) {
  // The five title bands and button faces are of five different colours.
  std::set<gui::TColor> titles, buttons;
  for (TsuiUIStyle style : kBuiltInStyles) {
    gui::Bitmap t, b;
    LoadThemeBitmap(t, style, thTitleClient);
    LoadThemeBitmap(b, style, thButtonNormal);
    titles.insert(t.Canvas().Pixel(0, t.Height() / 2));
    buttons.insert(b.Canvas().Pixel(b.Width() / 2, b.Height() / 2));
  }
  EXPECT_EQ(titles.size(), 5u);
  EXPECT_EQ(buttons.size(), 5u);
}

TEST(Artwork, LiteralBitmapsHaveTheirSizes) {
  const std::vector<std::pair<std::string, Size>> literals = {
      {res::MenuChecked, {16, 16}},          {res::MacOSMenuBar, {1, 22}},
      {res::MacOSMenuSelect, {1, 21}},       {res::MacOSFormBackground, {8, 8}},
      {res::ProteinFormBackground, {8, 8}},  {res::MacOSComboBoxButton, {16, 17}},
      {res::SideChannelBarNormal, {8, 172}}, {res::SideChannelBarMouseOn, {8, 172}},
      {res::SideChannelBtnOnTop, {8, 7}},    {res::SideChannelBtnNoOnTop, {7, 9}},
  };
  for (const auto& [name, size] : literals) {
    SCOPED_TRACE(name);
    gui::Bitmap b = Load(name);
    EXPECT_EQ(b.Width(), size.w);
    EXPECT_EQ(b.Height(), size.h);
  }
  // The check mark is black on the white its menu masks out.
  gui::Bitmap check = Load(res::MenuChecked);
  EXPECT_EQ(check.Canvas().Pixel(0, 0), gui::clWhite);
  EXPECT_GT(CountColour(check, gui::clBlack), 4);
  // The pin glyphs are keyed on their bottom-left pixel like every button glyph.
  for (const char* pin : {res::SideChannelBtnOnTop, res::SideChannelBtnNoOnTop}) {
    gui::Bitmap b = Load(pin);
    EXPECT_EQ(b.Canvas().Pixel(0, b.Height() - 1), kMagenta) << pin;
  }
}

TEST(Artwork, DialogPicturesHaveTheirSizesDepthsAndKeys) {
  struct Want {
    const char* name;
    int w, h, bits;
    gui::TColor bottomLeft;
  };
  const Want wants[] = {
      {res::DialogSoundOff, 21, 21, 24, kMagenta},       {res::DialogBanner, 127, 27, 24, gui::clWhite},
      {res::DialogTitleLeft, 441, 23, 8, gui::clNone},   {res::DialogTitleRight, 1, 23, 4, gui::clNone},
      {res::DialogTitleClient, 1, 23, 4, gui::clNone},   {res::DialogCtlBoxNormal, 19, 19, 4, kMagenta},
      {res::DialogCtlBoxMouseOn, 19, 19, 4, kMagenta},   {res::DialogCtlBoxMouseDown, 19, 19, 4, kMagenta},
      {res::DialogCloseNormal, 19, 19, 4, kMagenta},     {res::DialogCloseMouseOn, 19, 19, 4, kMagenta},
      {res::DialogCloseMouseDown, 19, 19, 4, kMagenta},
  };
  for (const Want& want : wants) {
    SCOPED_TRACE(want.name);
    EXPECT_EQ(StoredBitCount(want.name), want.bits);
    gui::Bitmap b = Load(want.name);
    EXPECT_EQ(b.Width(), want.w);
    EXPECT_EQ(b.Height(), want.h);
    if (want.bottomLeft != gui::clNone) EXPECT_EQ(b.Canvas().Pixel(0, b.Height() - 1), want.bottomLeft);
    else EXPECT_EQ(CountColour(b, kMagenta), 0);
  }
}

TEST(Artwork, BannerIsBlueLetteringOnWhite) {
  gui::Bitmap b = Load(res::DialogBanner);
  int blue = 0, white = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const gui::TColor c = b.Canvas().Pixel(x, y);
      const int r = c & 0xFF, g = (c >> 8) & 0xFF, bl = (c >> 16) & 0xFF;
      blue += bl > 180 && r < 60 && g < 60;
      white += c == gui::clWhite;
    }
  }
  EXPECT_GT(blue, 300);   // bold strokes
  EXPECT_GT(white, 2000); // and white around them, all four corners included
  for (auto [x, y] : {std::pair{0, 0}, {126, 0}, {0, 26}, {126, 26}}) EXPECT_EQ(b.Canvas().Pixel(x, y), gui::clWhite);
}

TEST(Artwork, CartoonFigureIsAJpegOf51By43) {
  gui::JpegImage figure;
  figure.LoadFromResourceName(Self(), res::DialogFigure);
  EXPECT_EQ(figure.Width(), 51);
  EXPECT_EQ(figure.Height(), 43);
}

TEST(Artwork, MainIconHoldsFourSizes) {
  HRSRC info = FindResourceW(Self(), L"MAINICON", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(info, nullptr);
  const auto* dir = static_cast<const std::uint8_t*>(LockResource(LoadResource(Self(), info)));
  ASSERT_NE(dir, nullptr);
  const int count = dir[4] | (dir[5] << 8);
  std::set<int> sizes;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t w = dir[6 + 14 * i];
    sizes.insert(w == 0 ? 256 : w);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
  HICON small = static_cast<HICON>(LoadImageW(Self(), L"MAINICON", IMAGE_ICON, 16, 16, 0));
  EXPECT_NE(small, nullptr);
  if (small) DestroyIcon(small);
}

TEST(Artwork, AMissingNameRaisesTheResourceError) {
  gui::Bitmap b = Load(res::MenuChecked);
  try {
    b.LoadFromResourceName(Self(), "NO_SUCH_PICTURE");
    FAIL() << "no error";
  } catch (const gui::EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NO_SUCH_PICTURE not found");
  }
  EXPECT_EQ(b.Width(), 16);  // the bitmap keeps what it held
}
