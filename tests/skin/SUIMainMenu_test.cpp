// The skinned menu: its items painted into off-screen bitmaps in each style (the strip, the
// selected frame and fill, the separator line, the check mark, the image box, the text
// positions), its measure, its property rules, the painter given only to the items loaded with
// it, the flat border, and no GDI object left behind by ten thousand paints.
#include "skin/SUIMainMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Text.h"
#include "gui/ToolBar.h"
#include "skin/SUIForm.h"
#include "skin/SUIMenu.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace skintest;

namespace {

// A theme colour as the bitmap stores it (0x00RRGGBB).
std::uint32_t Px(gui::TColor c) {
    return gui::ColorToPixel(gui::ColorToRGB(c));
}

// A form with a skinned frame in a style and a skinned menu on it, loaded as a layout is.
struct MenuForm {
    explicit MenuForm(TsuiUIStyle style) {
        form->BeginLoading();
        frame = new TsuiForm(form.get());
        frame->SetUIStyle(style);
        menu = new TsuiMainMenu(form.get());
        gui::MenuItem& file = menu->Items().Add("&File");
        file.Add("&Open");
        file.Add("-");
        file.Add("Sub").Add("Deeper");
        form->EndLoading();
    }
    std::unique_ptr<gui::Form> form = std::make_unique<gui::Form>(nullptr);
    TsuiForm* frame = nullptr;
    TsuiMainMenu* menu = nullptr;
};

// One item painted at (0, 0) into a 150-pixel-wide bitmap of the item's measured height.
struct Painted {
    Painted(TsuiMainMenu& menu, gui::MenuItem& item, bool selected, int width = 150) : bitmap(width, 30) {
        int w = 0, h = 0;
        menu.MeasureMenuItem(&item, bitmap.Canvas(), w, h);
        bitmap.SetSize(width, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.ScanLine(y)[x] = kMagenta;
        menu.DrawMenuItem(&item, bitmap.Canvas(), RECT{0, 0, width, h}, selected);
    }
    std::uint32_t At(int x, int y) { return skintest::At(bitmap, x, y); }
    // The extent of the pixels of colour c: left, top, right, bottom (inclusive); left -1 if none.
    RECT Extent(std::uint32_t c) {
        RECT r{-1, -1, -1, -1};
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                if (At(x, y) == c) {
                    if (r.left < 0 || x < r.left) r.left = x;
                    if (r.top < 0) r.top = y;
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = y;
                }
        return r;
    }
    gui::Bitmap bitmap;
};

constexpr TsuiUIStyle kPlainStyles[] = {TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein,
                                        TsuiUIStyle::BlueGlass};

} // namespace

TEST(SkinnedMenu, TakesItsFormsStyleAndBecomesTheFramesMenu) {
    MenuForm f(TsuiUIStyle::Protein);
    EXPECT_EQ(f.menu->UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(f.frame->Menu(), f.menu);
    EXPECT_EQ(f.form->Menu(), nullptr);
    EXPECT_EQ(f.menu->BarColor(), GetThemeColor(TsuiUIStyle::Protein, thMenuBarColor));
    f.frame->SetUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(f.menu->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(f.menu->SelectedColor(), GetThemeColor(TsuiUIStyle::WinXP, thMenuSelectedColor));
    // A menu of its own Custom style keeps it, and its looks.
    f.menu->SetUIStyle(TsuiUIStyle::Custom);
    f.frame->SetUIStyle(TsuiUIStyle::DeepBlue);
    EXPECT_EQ(f.menu->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(f.menu->SelectedColor(), GetThemeColor(TsuiUIStyle::WinXP, thMenuSelectedColor));
}

TEST(SkinnedMenu, PropertyRules) {
    MenuForm f(TsuiUIStyle::MacOS);
    TsuiMainMenu& m = *f.menu;
    EXPECT_EQ(m.MenuItemHeight(), 20);
    EXPECT_EQ(m.SeparatorHeight(), 12);
    m.SetMenuItemHeight(30);
    m.SetSeparatorHeight(30);
    EXPECT_EQ(m.MenuItemHeight(), 20);
    EXPECT_EQ(m.SeparatorHeight(), 12);
    m.SetUIStyle(TsuiUIStyle::Protein);
    EXPECT_EQ(m.MenuItemHeight(), 21);
    m.SetMenuItemHeight(30);
    EXPECT_EQ(m.MenuItemHeight(), 30);

    m.SetOwnerDraw(false);
    EXPECT_TRUE(m.OwnerDraw());

    gui::ImageList images(16, 16);
    EXPECT_EQ(m.Images(), nullptr);
    m.SetImages(&images);
    EXPECT_EQ(m.Images(), &images);
    m.SetImages(nullptr);
    EXPECT_EQ(m.Images(), nullptr);
}

TEST(SkinnedMenu, OnlyTheItemsLoadedWithTheMenuGetItsPainter) {
    MenuForm f(TsuiUIStyle::Protein);
    gui::MenuItem& file = f.menu->Items().Items(0);
    EXPECT_TRUE(file.OnDrawItem && file.OnMeasureItem);
    EXPECT_TRUE(file.Items(2).Items(0).OnDrawItem); // depth first, all the way down
    gui::MenuItem& later = file.Add("Later");
    EXPECT_FALSE(later.OnDrawItem || later.OnMeasureItem);
}

TEST(SkinnedMenu, OnlyInADesignHostDoesAnEditedMenuRebuildTheBar) {
    for (const bool designing : {false, true}) {
        gui::Form form(nullptr);
        form.SetDesigning(designing);
        auto* frame = new TsuiForm(&form);
        auto* menu = new TsuiMainMenu(&form);
        ASSERT_EQ(frame->Menu(), menu);
        menu->Items().Add("File");
        menu->Items().Add("Edit");
        EXPECT_EQ(frame->MenuBar()->ButtonCount(), designing ? 2 : 0) << designing;
    }
}

TEST(SkinnedMenu, MeasureGivesSeparatorsAndItemsTheirHeightsAndTheWidthFormula) {
    for (TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::Protein}) {
        MenuForm f(style);
        gui::Bitmap b(10, 10);
        gui::MenuItem line("-"), dashes("--"), open("Open");
        open.SetShortCut(gui::MakeShortCut('O', gui::ssCtrl));
        int w = 0, h = 0;
        f.menu->MeasureMenuItem(&line, b.Canvas(), w, h);
        EXPECT_EQ(h, f.menu->SeparatorHeight());
        f.menu->MeasureMenuItem(&dashes, b.Canvas(), w, h);
        EXPECT_EQ(h, f.menu->MenuItemHeight());
        f.menu->MeasureMenuItem(&open, b.Canvas(), w, h);
        EXPECT_EQ(h, style == TsuiUIStyle::MacOS ? 20 : 21);
        EXPECT_EQ(w, b.Canvas().TextWidth("Open") + b.Canvas().TextWidth("Ctrl+O") + 26 + 40);
    }
}

TEST(SkinnedMenuPaint, ProteinItemHasTheStripTheBackgroundAndTheCaptionAt30And4) {
    MenuForm f(TsuiUIStyle::Protein);
    gui::MenuItem item("File");
    Painted p(*f.menu, item, false);
    for (int y = 0; y < 21; ++y) {
        EXPECT_EQ(p.At(0, y), 0xD6D3CEu);
        EXPECT_EQ(p.At(25, y), 0xD6D3CEu);
        EXPECT_EQ(p.At(26, y), kWhite);
        EXPECT_EQ(p.At(149, y), kWhite);
    }
    const RECT text = p.Extent(Px(f.menu->FontColor()));
    EXPECT_GE(text.left, 30);
    EXPECT_LE(text.left, 32);
    EXPECT_GE(text.top, 4);
    EXPECT_LE(text.top, 8);
}

TEST(SkinnedMenuPaint, SelectedItemsAreFramedAndFilledButDisabledOnesAreNot) {
    for (TsuiUIStyle style : kPlainStyles) {
        MenuForm f(style);
        gui::MenuItem item("Open");
        Painted p(*f.menu, item, true);
        const std::uint32_t border = Px(f.menu->SelectedBorderColor()), fill = Px(f.menu->SelectedColor());
        EXPECT_EQ(p.At(0, 0), border);
        EXPECT_EQ(p.At(149, 20), border);
        EXPECT_EQ(p.At(1, 1), fill);
        EXPECT_EQ(p.At(148, 19), fill);
        EXPECT_NE(p.Extent(Px(f.menu->SelectedFontColor())).left, -1);

        item.SetEnabled(false);
        Painted d(*f.menu, item, true);
        EXPECT_EQ(d.At(0, 0), Px(f.menu->BarColor()));
        EXPECT_EQ(d.At(149, 20), Px(f.menu->Color()));
        EXPECT_NE(d.Extent(0x808080).left, -1); // grey text
    }
}

TEST(SkinnedMenuPaint, SeparatorIsOneLineAtTopPlusTwoFromTheStripToTheRightEdge) {
    for (TsuiUIStyle style : kPlainStyles) {
        MenuForm f(style);
        gui::MenuItem line("-");
        Painted p(*f.menu, line, true);
        ASSERT_EQ(p.bitmap.Height(), 5);
        const std::uint32_t c = Px(f.menu->SeparatorColor());
        EXPECT_EQ(p.Extent(c).left, 30);
        EXPECT_EQ(p.Extent(c).right, 147);
        EXPECT_EQ(p.Extent(c).top, 2);
        EXPECT_EQ(p.Extent(c).bottom, 2);
        EXPECT_EQ(p.At(0, 0), Px(f.menu->BarColor()));
        EXPECT_EQ(p.At(29, 2), Px(f.menu->Color()));
    }
}

TEST(SkinnedMenuPaint, MacOSStretchesItsStripesUnderItemsSeparatorsAndTheSelection) {
    MenuForm f(TsuiUIStyle::MacOS);
    gui::Bitmap bar, select;
    bar.LoadFromResourceName(gui::App().ModuleHandle(), "MACOS_MENU_BAR");
    select.LoadFromResourceName(gui::App().ModuleHandle(), "MACOS_MENU_SELECT");
    gui::MenuItem line("-"), item("Open");
    Painted sep(*f.menu, line, false);
    ASSERT_EQ(sep.bitmap.Height(), 12);
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(sep.At(140, y), At(bar, 0, y)) << y;
    Painted normal(*f.menu, item, false);
    Painted selected(*f.menu, item, true);
    ASSERT_EQ(selected.bitmap.Height(), 20);
    for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(normal.At(140, y), At(bar, 0, y)) << y;
        EXPECT_EQ(selected.At(140, y), At(select, 0, y)) << y;
    }
}

TEST(SkinnedMenuPaint, CheckMarkAtFourThreeAndTheImageBoxBehindACheckedImage) {
    MenuForm f(TsuiUIStyle::Protein);
    gui::Bitmap mark;
    mark.LoadFromResourceName(gui::App().ModuleHandle(), "MENU_CHECKED");
    gui::MenuItem item("Checked");
    item.SetChecked(true);
    Painted p(*f.menu, item, false);
    int markPixels = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (At(mark, x, y) != kWhite) {
                EXPECT_EQ(p.At(4 + x, 3 + y), At(mark, x, y));
                ++markPixels;
            }
    EXPECT_GT(markPixels, 10);

    gui::ImageList images(16, 16);
    images.Add(Filled(16, 16, 0x00FF00), nullptr);
    f.menu->SetImages(&images);
    item.SetImageIndex(0);
    Painted boxed(*f.menu, item, false);
    EXPECT_EQ(boxed.At(2, 1), 0u); // the black frame (L + 2, T + 1, L + 21, T + 20)
    EXPECT_EQ(boxed.At(20, 19), 0u);
    EXPECT_EQ(boxed.At(3, 2), Px(f.menu->SelectedColor()));
    EXPECT_EQ(boxed.At(19, 18), 0x00FF00u); // the image at (4, 3) over the box
    EXPECT_EQ(boxed.At(4, 3), 0x00FF00u);
    item.SetChecked(false);
    Painted plain(*f.menu, item, false);
    EXPECT_EQ(plain.At(2, 1), Px(f.menu->BarColor()));
    EXPECT_EQ(plain.At(4, 3), 0x00FF00u);
    // With the user's list gone, the check marks draw again.
    f.menu->SetImages(nullptr);
    item.SetChecked(true);
    Painted again(*f.menu, item, false);
    EXPECT_EQ(again.bitmap.ScanLine(10)[10], p.bitmap.ScanLine(10)[10]);
}

TEST(SkinnedMenuPaint, DefaultIsBoldAndTheShortcutEndsSixteenFromTheRight) {
    MenuForm f(TsuiUIStyle::Protein);
    gui::MenuItem plain("Default"), bold("Default");
    bold.SetDefault(true);
    const std::uint32_t ink = Px(f.menu->FontColor());
    EXPECT_GT(Painted(*f.menu, bold, false).Extent(ink).right,
              Painted(*f.menu, plain, false).Extent(ink).right);

    gui::MenuItem keyed("Open");
    keyed.SetShortCut(gui::MakeShortCut('O', gui::ssCtrl));
    Painted p(*f.menu, keyed, false, 200);
    const RECT text = p.Extent(ink);
    EXPECT_LE(text.right, 200 - 16);
    EXPECT_GE(text.right, 200 - 20);
}

TEST(SkinnedMenu, FlatBorderFramesTheWindowAndLinesItInTheFormColour) {
    gui::Bitmap b(80, 60);
    gui::Canvas& c = b.Canvas();
    DrawFlatMenuBorderOn(c, RECT{10, 10, 60, 40}, 0x0000FF, 0x00FF00);
    EXPECT_EQ(At(b, 10, 25), 0xFF0000u); // outer frame, left column
    EXPECT_EQ(At(b, 58, 25), 0xFF0000u); // its right column (WR - 2)
    EXPECT_EQ(At(b, 11, 25), kWhite);
    EXPECT_EQ(At(b, 30, 39), 0x00FF00u); // the line: bottom, right side, top
    EXPECT_EQ(At(b, 59, 25), 0x00FF00u);
    EXPECT_EQ(At(b, 30, 10), 0x00FF00u);
    EXPECT_EQ(At(b, 9, 25), kWhite); // nothing outside the window
}

TEST(SkinnedMenu, TheSystemMenuFontInTheMenuTextColour) {
    gui::Font font;
    font.SetName("Courier New");
    ASSERT_TRUE(SetSystemMenuFont(font));
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof(m);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
    EXPECT_EQ(font.Name(), gui::WideToUtf8(m.lfMenuFont.lfFaceName));
    EXPECT_EQ(font.Color(), gui::clMenuText);
}

TEST(SkinnedMenu, TheFramesMenuBarTakesTheMenusFont) {
    MenuForm f(TsuiUIStyle::Protein);
    f.menu->SetUseSystemFont(false);
    f.menu->SetFontName("Courier New");
    f.menu->SetUseSystemFont(false);
    EXPECT_EQ(f.frame->MenuBar()->Font().Name(), "Courier New");
}

TEST(SkinnedMenu, TenThousandItemPaintsLeaveTheGdiObjectCountAsItWas) {
    MenuForm f(TsuiUIStyle::MacOS);
    gui::Bitmap b(150, 21);
    gui::MenuItem items[3] = {gui::MenuItem("Open"), gui::MenuItem("-"), gui::MenuItem("Checked")};
    items[2].SetChecked(true);
    auto paint = [&](int i) {
        f.menu->DrawMenuItem(&items[i % 3], b.Canvas(), RECT{0, 0, 150, 21}, i % 2 == 0);
    };
    // The canvas keeps the pen and font it made first; after one round of each kind the count stays.
    for (int i = 0; i < 6; ++i)
        paint(i);
    f.menu->SetUIStyle(TsuiUIStyle::Protein);
    for (int i = 0; i < 6; ++i)
        paint(i);
    const long before = gui::LiveGdiObjectCount();
    for (int i = 0; i < 10000; ++i) {
        if (i == 5000) f.menu->SetUIStyle(TsuiUIStyle::MacOS);
        paint(i);
    }
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}
