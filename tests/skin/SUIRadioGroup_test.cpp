// The check group: one check box per line, the column layout's integer arithmetic, checks
// kept across line changes, style and transparency handed on, one OnClick for everything.
#include "skin/SUIRadioGroup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/Font.h"
#include "tests/skin/SUIButton_test.h"
#include "tests/skin/WindowPixels.h"

using namespace sui;
using namespace buttontest;

namespace {

// A group whose content rectangle starts 11 pixels down (font height 11): with the margin of
// 8 the first row is at 19, and r.bottom is Height - 2.
struct Group {
  explicit Group(gui::WinControl* parent, int width = 110, int height = 133) {
    group.SetParent(parent);
    group.Font().SetHeight(-11);
    group.SetBounds(0, 0, width, height);
  }
  std::vector<POINT> Positions() const {
    std::vector<POINT> p;
    for (int i = 0; i < group.ItemCount(); ++i) p.push_back(POINT{group.CheckBox(i)->Left(), group.CheckBox(i)->Top()});
    return p;
  }
  TsuiCheckGroup group{nullptr};
};

std::string Text(const std::vector<POINT>& points) {
  std::string s;
  for (POINT p : points) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "(%ld,%ld)", static_cast<long>(p.x), static_cast<long>(p.y));
    s += buffer;
  }
  return s;
}

}  // namespace

TEST(CheckGroup, FiveLinesInTwoColumnsFillTheFirstColumnFirst) {
  Host host;
  Group g(&host.form);
  g.group.SetColumns(2);
  g.group.Items().SetText("a\nb\nc\nd\ne");
  // Three rows of (131 - 19) div 3 = 37; 112 mod 3 = 1 halves to 0; the second column at
  // (110 - 10) div 2 + 8 = 58.
  EXPECT_EQ(Text(g.Positions()), "(8,19)(8,56)(8,93)(58,19)(58,56)");
  EXPECT_EQ(g.group.CheckBox(3)->Caption(), "d");
  EXPECT_TRUE(g.group.CheckBox(0)->AutoSize());
  EXPECT_EQ(g.group.CheckBox(0)->Parent(), &g.group);
}

TEST(CheckGroup, RowsAreCentredByHalfTheRemainder) {
  Host host;
  for (auto [height, firstTop, second] : {std::tuple{121, 19, 52}, std::tuple{122, 20, 53}}) {
    Group g(&host.form, 110, height);  // 100, then 101 pixels below the margin
    g.group.Items().SetText("a\nb\nc");
    EXPECT_EQ(g.group.CheckBox(0)->Top(), firstTop) << height;
    EXPECT_EQ(g.group.CheckBox(1)->Top(), second) << "rows of 33";
  }
}

TEST(CheckGroup, NegativeColumnsAndMarginsChangeNothingAndNoColumnsLayOutOne) {
  Host host;
  Group g(&host.form);
  g.group.Items().SetText("a\nb\nc\nd");
  g.group.SetColumns(2);
  const std::string before = Text(g.Positions());
  g.group.SetColumns(-1);
  g.group.SetTopMargin(-3);
  EXPECT_EQ(g.group.Columns(), 2);
  EXPECT_EQ(g.group.TopMargin(), 8);
  EXPECT_EQ(Text(g.Positions()), before);
  g.group.SetColumns(0);
  EXPECT_EQ(g.group.Columns(), 0);
  for (POINT p : g.Positions()) EXPECT_EQ(p.x, 8);
  g.group.SetTopMargin(0);
  EXPECT_EQ(g.group.CheckBox(0)->Top(), 11 + (120 % 4) / 2);
}

TEST(CheckGroup, ChecksStayWithTheirBoxesWhenLinesChange) {
  Host host;
  Group g(&host.form);
  g.group.Items().SetText("a\nb\nc");
  TsuiCheckBox* first = g.group.CheckBox(0);
  first->SetChecked(true);
  g.group.CheckBox(2)->SetChecked(true);
  g.group.Items().Delete(2);  // the last line: its box goes
  ASSERT_EQ(g.group.ItemCount(), 2);
  EXPECT_EQ(g.group.CheckBox(0), first);
  EXPECT_TRUE(first->Checked());
  EXPECT_FALSE(g.group.CheckBox(1)->Checked());
  g.group.Items().Insert(0, "new");  // captions move down, marks stay
  ASSERT_EQ(g.group.ItemCount(), 3);
  EXPECT_EQ(first->Caption(), "new");
  EXPECT_TRUE(first->Checked());
  EXPECT_EQ(g.group.CheckBox(1)->Caption(), "a");
  EXPECT_FALSE(g.group.CheckBox(2)->Checked());
  int owned = 0;
  for (int i = 0; i < g.group.ComponentCount(); ++i) owned += dynamic_cast<TsuiCheckBox*>(g.group.Components(i)) != nullptr;
  EXPECT_EQ(owned, 3) << "the removed box was destroyed";
}

TEST(CheckGroup, AClickOnABoxTogglesItAndRaisesTheGroupsClickOnce) {
  Host host;
  Group g(&host.form);
  g.group.Items().SetText("a\nb");
  std::vector<gui::Component*> senders;
  g.group.OnClick = [&](gui::Component* s) { senders.push_back(s); };
  Host::Click(*g.group.CheckBox(1));
  EXPECT_TRUE(g.group.CheckBox(1)->Checked());
  ASSERT_EQ(senders.size(), 1u);
  EXPECT_EQ(senders[0], &g.group);
  Host::Click(g.group, 100, 125);  // on the group's own surface
  EXPECT_EQ(senders.size(), 2u);
}

TEST(CheckGroup, StyleAndTransparencyReachTheBoxes) {
  Host host;
  Group g(&host.form);
  g.group.SetUIStyle(TsuiUIStyle::WinXP);
  g.group.SetColor(kGreen);
  g.group.Items().SetText("a");
  TsuiCheckBox* early = g.group.CheckBox(0);
  EXPECT_EQ(early->UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(early->Color(), kGreen) << "a box made after the style keeps its own face";
  g.group.SetUIStyle(TsuiUIStyle::WinXP);
  EXPECT_EQ(early->Color(), 0xDEEBEFu) << "until the style is set again";
  g.group.SetTransparent(true);
  EXPECT_TRUE(early->Transparent());
  g.group.Items().Add("b");
  EXPECT_TRUE(g.group.CheckBox(1)->Transparent());

  g.group.SetUIStyle(TsuiUIStyle::Custom);
  g.group.SetTransparent(false);
  EXPECT_EQ(g.group.BorderColor(), 0u);
  EXPECT_EQ(g.group.Font().Color(), 0u);
  EXPECT_EQ(g.group.Color(), 0u);
  EXPECT_EQ(early->Color(), 0u);
  EXPECT_EQ(early->UIStyle(), TsuiUIStyle::Custom);
  const gui::Bitmap b = Paint(g.group);
  EXPECT_EQ(At(b, 100, 125), 0u) << "black face";
  EXPECT_EQ(At(b, 0, 60), 0u) << "black frame";
}

TEST(CheckGroup, ConstructionDefaults) {
  Host host;
  auto* frame = new FakeFrame(&host.form, TsuiUIStyle::Protein);
  frame->SetParent(&host.form);
  TsuiCheckGroup group(&host.form);
  EXPECT_EQ(group.Caption(), "suiCheckGroup");
  EXPECT_EQ(group.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(group.Color(), 0xFBFBFBu);
  EXPECT_FALSE(group.Transparent());
  EXPECT_EQ(group.Columns(), 1);
  EXPECT_EQ(group.TopMargin(), 8);
}
