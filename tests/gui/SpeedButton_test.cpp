// Speed buttons: groups that stay down, all-up groups, the flat edge under the mouse and while
// down, and the keyed glyph, on pixels.
#include "gui/SpeedButton.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Form.h"
#include "gui/StringList.h"

namespace {

gui::TColor Sys(gui::TColor c) {
    return gui::ColorToRGB(c);
}

class SpeedButtonTest : public ::testing::Test {
  protected:
    gui::SpeedButton* Add(int group) {
        auto* b = new gui::SpeedButton(&form);
        b->SetParent(&form);
        b->SetGroupIndex(group);
        return b;
    }
    void Paint(gui::SpeedButton& b) {
        bitmap.SetSize(b.Width(), b.Height());
        b.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), 0);
    }
    gui::TColor At(int x, int y) { return bitmap.Canvas().Pixel(x, y); }

    gui::Form form{nullptr};
    gui::Bitmap bitmap;
};

TEST_F(SpeedButtonTest, AGroupKeepsOneButtonDownAndAnUngroupedButtonNeverStaysDown) {
    gui::SpeedButton* a = Add(1);
    gui::SpeedButton* b = Add(1);
    gui::SpeedButton* other = Add(2);
    gui::SpeedButton* loose = Add(0);
    int clicks = 0;
    a->OnClick = [&](gui::Component*) { ++clicks; };
    other->SetDown(true);
    a->Click();
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(clicks, 1);
    b->Click();
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    b->Click();
    EXPECT_TRUE(b->Down()) << "without AllowAllUp the last one stays down";
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    loose->SetDown(true);
    loose->Click();
    EXPECT_FALSE(loose->Down());
}

TEST_F(SpeedButtonTest, AllowAllUpLetsAClickPutTheButtonUpAgain) {
    gui::SpeedButton* pin = Add(1);
    pin->SetAllowAllUp(true);
    bool downWhenClicked = false;
    pin->OnClick = [&](gui::Component*) { downWhenClicked = pin->Down(); };
    pin->Click();
    EXPECT_TRUE(downWhenClicked) << "the state changes before OnClick";
    pin->Click();
    EXPECT_FALSE(pin->Down());
    EXPECT_FALSE(downWhenClicked);
}

TEST_F(SpeedButtonTest, AFlatButtonShowsAnEdgeOnlyWhenDownAndDrawsItsGlyphKeyed) {
    gui::SpeedButton* b = Add(1);
    b->SetAllowAllUp(true);
    b->SetFlat(true);
    b->SetBounds(0, 0, 20, 16);
    b->SetColor(gui::clRed);
    gui::Bitmap glyph(4, 4);
    glyph.Canvas().Brush().SetColor(gui::clLime);
    glyph.Canvas().FillRect(gui::MakeRect(0, 0, 4, 4));
    glyph.Canvas().SetPixel(0, 3, gui::clBlue); // the key: bottom-left
    glyph.Canvas().SetPixel(3, 3, gui::clBlue);
    b->SetGlyph(glyph);

    Paint(*b);
    EXPECT_EQ(At(0, 0), gui::clRed);
    EXPECT_EQ(At(19, 15), gui::clRed);
    EXPECT_EQ(At(8, 6), gui::clLime) << "glyph centred at (8, 6)";
    EXPECT_EQ(At(11, 9), gui::clRed) << "the key colour shows the face";

    b->SetDown(true);
    Paint(*b);
    EXPECT_EQ(At(0, 0), Sys(gui::clBtnShadow));
    EXPECT_EQ(At(19, 15), Sys(gui::clBtnHighlight));
    EXPECT_EQ(At(9, 7), gui::clLime) << "a down glyph moves one pixel";
    EXPECT_EQ(At(8, 6), gui::clRed);

    b->SetFlat(false);
    b->SetDown(false);
    Paint(*b);
    EXPECT_EQ(At(0, 0), Sys(gui::clBtnHighlight)) << "a raised edge when not flat";
}

TEST(StringList, ChangesNotifyOnceAndABadIndexChangesNothing) {
    gui::StringList list{"a", "b"};
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.Add("c");
    list.Insert(0, "z");
    list.Delete(1);
    list.SetStrings(0, "y");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"y", "b", "c"}));
    EXPECT_THROW(list.Delete(3), std::out_of_range);
    EXPECT_THROW(list.Insert(-1, "x"), std::out_of_range);
    EXPECT_THROW(list.SetStrings(5, "x"), std::out_of_range);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.Count(), 3);
    list.Clear();
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(changes, 5);
}

} // namespace
