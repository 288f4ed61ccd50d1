// The tab control on pixels: the strip and client area in every style, tab widths from the
// captions, the active tab one pixel lower, the selection rules and the hit test.
#include "skin/SUITabControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using skintest::At;

namespace {

constexpr gui::TColor kFormColor = 0x203040; // pixel 0x403020 in the bitmaps
constexpr std::uint32_t kFormPixel = 0x403020;

std::uint32_t Pixel(gui::TColor c) {
    return gui::ColorToPixel(gui::ColorToRGB(c));
}

void PaintInto(gui::WinControl& control, gui::Bitmap& target) {
    target.SetSize(control.Width(), control.Height());
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
}

int BitmapHeight(TsuiUIStyle style, TsuiThemeSlot slot) {
    gui::Bitmap b;
    LoadThemeBitmap(b, style, slot);
    return b.Height();
}

struct Event {
    gui::Component* sender;
    int index;
};

class TabControlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBorderStyle(gui::bsNone);
        form.SetBounds(0, 0, 400, 200);
        form.SetColor(kFormColor);
        tabs = new TsuiTabControl(&form);
        tabs->SetParent(&form);
        tabs->SetBounds(0, 0, 300, 120);
        tabs->Font().SetName("Arial");
        tabs->Font().SetHeight(-12);
        tabs->OnTabActive = [this](gui::Component* sender, int index) { events.push_back({sender, index}); };
    }
    // Presses the right button on the strip at (x, y), as the mouse would.
    void ClickStrip(int x, int y) {
        tabs->TopPanel().Perform(WM_RBUTTONDOWN, 0, MAKELPARAM(x, y));
        tabs->TopPanel().Perform(WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    }
    int CaptionWidth(const std::string& caption) {
        gui::Bitmap measure(1, 1);
        measure.Canvas().SetFont(tabs->Font());
        return measure.Canvas().TextWidth(caption);
    }

    gui::Form form{nullptr};
    TsuiTabControl* tabs = nullptr;
    std::vector<Event> events;
    gui::Bitmap strip;
    gui::Bitmap client;
};

TEST_F(TabControlTest, ANewTabControlHasOneSelectedTabAndTheFormsStyle) {
    EXPECT_EQ(tabs->Tabs().Items(), std::vector<std::string>{"Tab1"});
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(tabs->LeftMargin(), 10);
    EXPECT_EQ(tabs->UIStyle(), TsuiUIStyle::DeepBlue);
    TsuiTabControl fresh(nullptr);
    EXPECT_EQ(fresh.Height(), 80);
    EXPECT_EQ(fresh.TopPanel().Align(), gui::alTop);
    EXPECT_EQ(fresh.TopPanel().Height(), 22);
}

TEST_F(TabControlTest, EveryStyleSizesTheStripFromItsBitmapsAndFramesTheClientArea) {
    for (TsuiUIStyle style : kBuiltInStyles) {
        SCOPED_TRACE(static_cast<int>(style));
        tabs->SetUIStyle(style);
        const int stripHeight = BitmapHeight(style, thTabActive) + BitmapHeight(style, thTabLine);
        EXPECT_EQ(tabs->TopPanel().Height(), stripHeight);
        const gui::TColor face =
            style == TsuiUIStyle::WinXP ? gui::clWhite : GetThemeColor(style, thControlColor);
        EXPECT_EQ(tabs->Color(), face);
        EXPECT_EQ(tabs->BorderColor(), GetThemeColor(style, thControlBorderColor));

        PaintInto(*tabs, client);
        const std::uint32_t border = Pixel(tabs->BorderColor());
        EXPECT_EQ(At(client, 150, stripHeight), Pixel(face));
        EXPECT_EQ(At(client, 150, 118), Pixel(face));
        EXPECT_EQ(At(client, 0, stripHeight), border);
        EXPECT_EQ(At(client, 150, 119), border);
        EXPECT_EQ(At(client, 299, stripHeight), border);
        EXPECT_EQ(At(client, 299, 119), border);

        // The line under the tabs runs to both ends, closed by one border pixel each side.
        PaintInto(tabs->TopPanel(), strip);
        const int h = BitmapHeight(style, thTabInactive);
        EXPECT_EQ(At(strip, 0, h), border);
        EXPECT_EQ(At(strip, 299, stripHeight - 1), border);
        EXPECT_NE(At(strip, 250, h), kFormPixel) << "line bitmap";
        EXPECT_EQ(At(strip, 250, 0), kFormPixel) << "the form shows above the line, beside the tabs";
        EXPECT_EQ(At(strip, 5, 0), kFormPixel) << "and left of the first tab";
    }
    tabs->SetUIStyle(TsuiUIStyle::Custom);
    EXPECT_EQ(tabs->UIStyle(), TsuiUIStyle::BlueGlass) << "Custom keeps the last style";
    EXPECT_EQ(tabs->TopPanel().ActiveTabResName(), "BLUEGLASS_TAB_ACTIVE");
}

TEST_F(TabControlTest, TabsAreCaptionWidePlusTwentyAndTheActiveOneSitsOnePixelLower) {
    tabs->SetUIStyle(TsuiUIStyle::Protein);
    tabs->SetTabs({"HUH", "", "Lists"});
    tabs->SetTabIndex(1);
    PaintInto(tabs->TopPanel(), strip);
    const auto& widths = tabs->TopPanel().TabWidths();
    EXPECT_EQ(widths[0], CaptionWidth("HUH") + 20);
    EXPECT_EQ(widths[1], 80);
    EXPECT_EQ(widths[2], CaptionWidth("Lists") + 20);
    EXPECT_EQ(widths[3], 0);
    EXPECT_EQ(tabs->TopPanel().HitHeight(), 17);

    // The tabs' top edge: row 0 for the inactive ones, row 1 for the active one, whose row 0
    // shows the form behind it.
    const int inactiveMiddle = 10 + widths[0] / 2;
    const int activeMiddle = 10 + widths[0] + 40;
    gui::Bitmap tab;
    LoadThemeBitmap(tab, TsuiUIStyle::Protein, thTabActive);
    const std::uint32_t edge = At(tab, tab.Width() / 2, 0);
    EXPECT_EQ(At(strip, inactiveMiddle, 0), edge);
    EXPECT_EQ(At(strip, activeMiddle, 0), kFormPixel);
    EXPECT_EQ(At(strip, activeMiddle, 1), edge);

    // The caption is centred in its tab (inside the tab's end slices, which hold its edges).
    int first = -1, last = -1;
    for (int x = 10 + tab.Width() / 3; x < 10 + widths[0] - tab.Width() / 3; ++x)
        for (int y = 2; y < 16; ++y)
            if (At(strip, x, y) == 0x000000) {
                if (first < 0) first = x;
                last = x;
            }
    ASSERT_GE(first, 0) << "black caption pixels";
    EXPECT_NEAR((first - 10) - (10 + widths[0] - 1 - last), 0, 2);
}

TEST_F(TabControlTest, SelectionRaisesForTheSameIndexAndMinusOneAndIgnoresTheRest) {
    tabs->SetTabs({"a", "b", "c"});
    tabs->SetTabIndex(1);
    tabs->SetTabIndex(1);
    tabs->SetTabIndex(5);
    tabs->SetTabIndex(-2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    tabs->SetTabIndex(-1);
    EXPECT_EQ(tabs->TabIndex(), -1);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].sender, tabs);
    EXPECT_EQ(events[1].index, 1);
    EXPECT_EQ(events[2].index, -1);

    tabs->Tabs().Clear();
    tabs->SetTabIndex(0);
    EXPECT_EQ(tabs->TabIndex(), -1);
    EXPECT_EQ(events.size(), 3u) << "no tabs, no event";
}

TEST_F(TabControlTest, AClickSelectsTheTabUnderItButNotOnBoundariesOrTheTopRow) {
    tabs->SetTabs({"One", "Two", "Three"});
    ClickStrip(12, 5);
    EXPECT_TRUE(events.empty()) << "before the first paint nothing is known of the tabs";
    PaintInto(tabs->TopPanel(), strip);
    const auto& widths = tabs->TopPanel().TabWidths();
    const int boundary = 10 + widths[0];
    ClickStrip(boundary, 5);
    ClickStrip(boundary + 3, 0);
    ClickStrip(boundary + 3, tabs->TopPanel().HitHeight());
    EXPECT_TRUE(events.empty());
    ClickStrip(boundary + 1, 1);
    ClickStrip(boundary + 1, 1);
    ClickStrip(boundary - 1, tabs->TopPanel().HitHeight() - 1);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].index, 1);
    EXPECT_EQ(events[1].index, 1) << "the selected tab again";
    EXPECT_EQ(events[2].index, 0);

    // A removed tab's stale width still ends at the range check.
    tabs->Tabs().Delete(2);
    ClickStrip(10 + widths[0] + widths[1] + 2, 5);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(tabs->TabIndex(), 0);
}

TEST_F(TabControlTest, OnlyTheFirstSixtyThreeTabsCanBeClicked) {
    std::vector<std::string> many(70, "x");
    tabs->SetTabs(many);
    PaintInto(tabs->TopPanel(), strip);
    const int w = tabs->TopPanel().TabWidths()[0];
    EXPECT_EQ(tabs->TopPanel().TabWidths()[62], w);
    EXPECT_EQ(tabs->TopPanel().TabWidths()[63], 0);
    ClickStrip(10 + 62 * w + w / 2, 5);
    ClickStrip(10 + 63 * w + w / 2, 5);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].index, 62);
}

TEST_F(TabControlTest, AFormStyleChangeReachesTheTabControlAndTheControlsOnIt) {
    auto* inner = new TsuiTabControl(&form);
    inner->SetParent(tabs);
    ApplyStyleToChildren(&form, TsuiUIStyle::MacOS);
    ApplyStyleToContainers(&form, TsuiUIStyle::MacOS);
    EXPECT_EQ(tabs->UIStyle(), TsuiUIStyle::MacOS);
    EXPECT_EQ(inner->UIStyle(), TsuiUIStyle::MacOS);
}

TEST_F(TabControlTest, TenThousandPaintsOfEachClassLeaveNoGdiObjectBehind) {
    form.Show();
    gui::Bitmap target(300, 120);
    const HDC dc = target.Canvas().Handle();
    const auto paint = [&](gui::WinControl& c) { c.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); };
    paint(*tabs);
    paint(tabs->TopPanel());
    const long before = gui::LiveGdiObjectCount();
    for (int i = 0; i < 10000; ++i)
        paint(*tabs);
    for (int i = 0; i < 10000; ++i)
        paint(tabs->TopPanel());
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}

} // namespace
