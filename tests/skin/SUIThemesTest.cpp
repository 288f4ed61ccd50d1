// The theme table's lookups, the form style look-ups and the style walks.
#include "skin/SUIThemes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "gui/Panel.h"
#include "gui/WinControl.h"
#include "skin/SUIButton.h"
#include "skin/SUIImagePanel.h"

using namespace sui;

namespace {

// Controls here live on the stack, so none has an owner; each is only placed in its parent.

// A stand-in for the skinned form frame: a windowed control with a style.
class FakeForm : public gui::WinControl, public TsuiFormLike {
 public:
  FakeForm(gui::WinControl* parent, TsuiUIStyle style, gui::TColor color) : gui::WinControl(nullptr), style_(style) {
    SetParent(parent);
    SetColor(color);
  }
  TsuiUIStyle UIStyle() const override { return style_; }

 private:
  TsuiUIStyle style_;
};

// A control that takes styles, and records what it was given.
class Styled : public gui::WinControl {
 public:
  Styled(gui::WinControl* parent, TsuiUIStyle style) : gui::WinControl(nullptr), style_(style) { SetParent(parent); }
  TsuiUIStyle UIStyle() const { return style_; }
  void SetUIStyle(TsuiUIStyle s) {
    style_ = s;
    ++sets;
  }
  int sets = 0;

 private:
  TsuiUIStyle style_;
};

class StyledChild : public Styled {
 public:
  using Styled::Styled;
};

// An image panel that notes the style walks entering it.
class RecordingPanel : public TsuiImagePanel {
 public:
  RecordingPanel(gui::WinControl* parent, std::vector<std::string>* log) : TsuiImagePanel(nullptr), log_(log) {
    SetParent(parent);
  }
  void UpdateChildrenStyle(TsuiUIStyle style) override {
    log_->push_back(Name() + ":" + StyleWord(style));
    TsuiImagePanel::UpdateChildrenStyle(style);
  }

 private:
  std::vector<std::string>* log_;
};

}  // namespace

TEST(ThemeLookup, CustomHasNoTable) {
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::Custom, thTabHeight), -1);
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::Custom, thFormColor), 0u);
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::Custom, thButtonNormal), "");
  EXPECT_FALSE(GetThemeBoolean(TsuiUIStyle::Custom, thTitleButtonTransparent));
  const TsuiThemeValue raw = GetThemeValue(TsuiUIStyle::Custom, thFormColor);
  EXPECT_EQ(raw.Value, -1);
  EXPECT_EQ(raw.Kind, TsuiThemeKind::IntegerKind);
  // A style number outside the five is treated the same.
  EXPECT_EQ(GetThemeValue(static_cast<TsuiUIStyle>(9), thTabHeight).Value, -1);
}

TEST(ThemeLookup, AMismatchedKindYieldsTheLookupsDefault) {
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::Protein, thTabHeight), 0u);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::Protein, thFormColor), -1);
  EXPECT_FALSE(GetThemeBoolean(TsuiUIStyle::Protein, thFormBorderWidth));
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::Protein, thFormColor), "");
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::Protein, thButtonNormal), -1);
}

TEST(ThemeLookup, ValuesOfTheTable) {
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::WinXP, thFormBorderColor), 0xC82C00u);
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::Protein, thFormColor), 0xFBFBFBu);
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::BlueGlass, thComboBoxButtonColor), 0xE9D6D5u);
  EXPECT_EQ(GetThemeColor(TsuiUIStyle::MacOS, thTrackBarColor), 0xEEEEEEu);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::WinXP, thFormBorderWidth), 3);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::BlueGlass, thFormMinWidth), 270);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::WinXP, thFormRoundCorner), 13);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::BlueGlass, thTitleRightBtnXOffset), -3);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::MacOS, thTabHeight), 34);
  EXPECT_EQ(GetThemeInteger(TsuiUIStyle::MacOS, thMenuSeparatorHeight), 12);
  const bool transparent[] = {false, false, false, true, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(GetThemeBoolean(kBuiltInStyles[i], thTitleButtonTransparent), transparent[i]);
  const int tops[] = {4, 5, 2, 2, 6};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(GetThemeInteger(kBuiltInStyles[i], thTitleButtonTop), tops[i]);
}

TEST(ThemeLookup, BitmapNamesFollowTheStyleWordWithItsExceptions) {
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::WinXP, thCheckBoxMouseOnCheck), "WINXP_CHECKBOX_MOUSEON_CHECK");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::MacOS, thCheckBoxMouseOnCheck), "MACOS_CHECKBOX_CHECK");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::WinXP, thCheckBoxCheck), "WINXP_CHECKBOX_NORMAL_CHECK");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::DeepBlue, thRadioButtonMouseDownUncheck), "DEEPBLUE_RADIOBUTTON_UNCHECK");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::Protein, thTitleRestoreNormal), "PROTEIN_TITLEBTN_MAX_NORMAL");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::WinXP, thTitleRestoreNormal), "WINXP_TITLEBTN_RST_NORMAL");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::BlueGlass, thTrackBarBarV), "BLUEGLASS_TRACKBAR_BAR");
  EXPECT_EQ(GetThemeBitmapName(TsuiUIStyle::DeepBlue, thTitleControlBoxMouseOn), "DEEPBLUE_TITLEBTN_CTLBOX_MOUSEON");
  for (TsuiUIStyle style : kBuiltInStyles) {
    EXPECT_EQ(GetThemeBitmapName(style, thMenuChecked), "MENU_CHECKED");
    // Every other name starts with the style word.
    for (int s = thButtonNormal; s < thSlotCount; ++s) {
      const std::string name = GetThemeBitmapName(style, static_cast<TsuiThemeSlot>(s));
      EXPECT_EQ(name.rfind(StyleWord(style) + "_", 0), 0u) << name;
    }
  }
}

TEST(ThemeLookup, KindsAreTheSameForEveryStyle) {
  EXPECT_EQ(GetThemeKind(thFormColor), TsuiThemeKind::ColorKind);
  EXPECT_EQ(GetThemeKind(thTabHeight), TsuiThemeKind::IntegerKind);
  EXPECT_EQ(GetThemeKind(thTitleButtonTransparent), TsuiThemeKind::BooleanKind);
  EXPECT_EQ(GetThemeKind(thTrackBarSliderV), TsuiThemeKind::BitmapNameKind);
  for (TsuiUIStyle style : kBuiltInStyles)
    for (int s = 0; s < thSlotCount; ++s)
      EXPECT_EQ(GetThemeValue(style, static_cast<TsuiThemeSlot>(s)).Kind, GetThemeKind(static_cast<TsuiThemeSlot>(s)));
}

TEST(ThemeLookup, LoadThemeBitmapReplacesTheContentsAndCustomHasNothingToLoad) {
  gui::Bitmap b(3, 3);
  LoadThemeBitmap(b, TsuiUIStyle::Protein, thButtonNormal);
  EXPECT_EQ(b.Width(), 74);
  EXPECT_EQ(b.Height(), 21);
  EXPECT_THROW(LoadThemeBitmap(b, TsuiUIStyle::Custom, thButtonNormal), gui::EResNotFound);
  EXPECT_EQ(b.Width(), 74);
}

TEST(FindForm, WithoutAFrameTheDefaultsApply) {
  gui::WinControl owner(nullptr);
  EXPECT_EQ(FindFormStyle(&owner), TsuiUIStyle::DeepBlue);
  EXPECT_EQ(FindFormColor(&owner), gui::clBtnFace);
  EXPECT_EQ(FindFormBorderColor(&owner), 0u);
  EXPECT_EQ(FindFormStyle(nullptr), TsuiUIStyle::DeepBlue);
  gui::Component notAControl(nullptr);
  EXPECT_EQ(FindFormStyle(&notAControl), TsuiUIStyle::DeepBlue);
}

TEST(FindForm, TheFrameWithTheLowestChildIndexDecides) {
  gui::WinControl owner(nullptr);
  Styled other(&owner, TsuiUIStyle::MacOS);
  FakeForm first(&owner, TsuiUIStyle::WinXP, 0x123456);
  FakeForm second(&owner, TsuiUIStyle::Protein, 0x654321);
  EXPECT_EQ(FindFormStyle(&owner), TsuiUIStyle::WinXP);
  EXPECT_EQ(FindFormColor(&owner), 0x123456u);
  EXPECT_EQ(FindFormBorderColor(&owner), 0x686868u);
}

TEST(FindForm, AFrameNestedDeeperIsNotSeen) {
  gui::WinControl owner(nullptr);
  gui::WinControl box(nullptr);
  box.SetParent(&owner);
  FakeForm nested(&box, TsuiUIStyle::Protein, 0);
  EXPECT_EQ(FindFormStyle(&owner), TsuiUIStyle::DeepBlue);
}

TEST(StyleWalk, RowsRunOverDirectChildrenInChildIndexOrder) {
  gui::WinControl container(nullptr);
  Styled a(&container, TsuiUIStyle::MacOS);
  StyledChild b(&container, TsuiUIStyle::Custom);
  gui::WinControl plain(nullptr);
  plain.SetParent(&container);
  Styled deep(&plain, TsuiUIStyle::MacOS);

  static std::vector<const gui::Control*> visits;
  visits.clear();
  const TsuiStyleRow rows[] = {
      // "is a": the subclass passes too; a child may pass more than one row.
      {[](gui::Control* c) { return dynamic_cast<Styled*>(c) != nullptr; },
       [](gui::Control* c, TsuiUIStyle s) {
         visits.push_back(c);
         auto* styled = dynamic_cast<Styled*>(c);
         if (styled->UIStyle() != TsuiUIStyle::Custom) styled->SetUIStyle(s);
       }},
      {[](gui::Control* c) { return dynamic_cast<StyledChild*>(c) != nullptr; },
       [](gui::Control* c, TsuiUIStyle s) {
         visits.push_back(c);
         dynamic_cast<StyledChild*>(c)->SetUIStyle(s);
       }},
  };
  ApplyStyleRows(&container, TsuiUIStyle::Protein, rows);
  EXPECT_EQ(visits, (std::vector<const gui::Control*>{&a, &b, &b}));
  EXPECT_EQ(a.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(b.UIStyle(), TsuiUIStyle::Protein);  // the second row ignores Custom
  EXPECT_EQ(b.sets, 1);
  EXPECT_EQ(deep.UIStyle(), TsuiUIStyle::MacOS);  // nested deeper: untouched
  EXPECT_EQ(deep.sets, 0);
}

TEST(StyleWalk, ContainersOnTheFormAreEnteredInOrderAndOthersAreNot) {
  std::vector<std::string> log;
  gui::WinControl form(nullptr);
  RecordingPanel first(&form, &log);
  first.SetName("first");
  gui::Panel framework(nullptr);
  framework.SetParent(&form);
  RecordingPanel second(&form, &log);
  second.SetName("second");
  RecordingPanel nested(&framework, &log);
  nested.SetName("nested");
  RecordingPanel inner(&first, &log);
  inner.SetName("inner");

  ApplyStyleToContainers(&form, TsuiUIStyle::WinXP);
  EXPECT_EQ(log, (std::vector<std::string>{"first:WINXP", "second:WINXP"}));
}

// With the skinned classes themselves: a form's walk and a picture panel's.
TEST(StyleWalk, AFormsStyleReachesButtonsOnItAndInItsPicturePanels) {
  gui::WinControl form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TsuiButton custom(nullptr);
  custom.SetParent(&form);
  custom.SetUIStyle(TsuiUIStyle::Custom);
  TsuiButton themed(nullptr);
  themed.SetParent(&form);
  themed.SetUIStyle(TsuiUIStyle::Protein);
  TsuiImagePanel panel(nullptr);
  panel.SetParent(&form);
  TsuiButton onPanel(nullptr);
  onPanel.SetParent(&panel);
  onPanel.SetUIStyle(TsuiUIStyle::Protein);
  gui::Panel frameworkPanel(nullptr);
  frameworkPanel.SetParent(&form);
  TsuiButton onFrameworkPanel(nullptr);
  onFrameworkPanel.SetParent(&frameworkPanel);
  onFrameworkPanel.SetUIStyle(TsuiUIStyle::Protein);
  TsuiCheckBox box(nullptr);
  box.SetParent(&form);
  TsuiRadioButton radio(nullptr);
  radio.SetParent(&form);

  // What a skinned form does when its style is set: containers first, then its own children.
  ApplyStyleToContainers(&form, TsuiUIStyle::WinXP);
  ApplyStyleToChildren(&form, TsuiUIStyle::WinXP);
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
  EXPECT_EQ(themed.UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(onPanel.UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(onFrameworkPanel.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(box.UIStyle(), TsuiUIStyle::WinXP);
  EXPECT_EQ(radio.UIStyle(), TsuiUIStyle::WinXP);
}

TEST(StyleWalk, APanelHandsTheStyleToItsButtonsUnlessCustom) {
  TsuiImagePanel panel(nullptr);
  TsuiButton themed(nullptr);
  themed.SetParent(&panel);
  themed.SetUIStyle(TsuiUIStyle::MacOS);
  TsuiButton custom(nullptr);
  custom.SetParent(&panel);
  custom.SetUIStyle(TsuiUIStyle::Custom);
  panel.UpdateChildrenStyle(TsuiUIStyle::Protein);
  EXPECT_EQ(themed.UIStyle(), TsuiUIStyle::Protein);
  EXPECT_EQ(custom.UIStyle(), TsuiUIStyle::Custom);
}
