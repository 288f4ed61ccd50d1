// The skinned edit, memo, list box, check list box, list view, tree view and combo box on
// pixels: the flat two-line frame in every style, the combo box's button and arrow, the check
// list box's border properties, and painting that gives back every GDI object.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/GdiObject.h"
#include "skin/SUICheckListBox.h"
#include "skin/SUIComboBox.h"
#include "skin/SUIEdit.h"
#include "skin/SUIGroupBox.h"
#include "skin/SUIListBox.h"
#include "skin/SUIListView.h"
#include "skin/SUIMemo.h"
#include "skin/SUIRadioGroup.h"
#include "skin/SUITreeView.h"
#include "tests/skin/SUIButton_test.h"
#include "tests/skin/WindowPixels.h"

using namespace sui;
using namespace buttontest;
using windowpixels::PixelOf;
using windowpixels::Snapshot;

namespace {

template <class T>
T* Place(gui::Form& form, int x, int y, int w, int h) {
  auto* c = new T(&form);
  c->SetParent(&form);
  c->SetBounds(x, y, w, h);
  return c;
}

// The six framed wrappers on one form, each with something to show.
struct Wrappers {
  explicit Wrappers(gui::Form& form) {
    auto* edit = Place<TsuiEdit>(form, 5, 5, 90, 22);
    edit->SetText("edit");
    auto* memo = Place<TsuiMemo>(form, 100, 5, 90, 50);
    memo->Lines().Add("memo");
    auto* list = Place<TsuiListBox>(form, 195, 5, 90, 50);
    list->Items().Add("list");
    auto* checks = Place<TsuiCheckListBox>(form, 5, 60, 90, 50);
    checks->Items().Add("check");
    auto* view = Place<TsuiListView>(form, 100, 60, 90, 50);
    view->AddColumn("Name", 60);
    view->AddItem("view");
    auto* tree = Place<TsuiTreeView>(form, 195, 60, 90, 50);
    tree->AddChild(nullptr, "tree");
    all = {{edit, [=] { return edit->BorderColor(); }},   {memo, [=] { return memo->BorderColor(); }},
           {list, [=] { return list->BorderColor(); }},   {checks, [=] { return checks->BorderColor(); }},
           {view, [=] { return view->BorderColor(); }},   {tree, [=] { return tree->BorderColor(); }}};
  }
  std::vector<std::pair<gui::WinControl*, std::function<gui::TColor()>>> all;
};

// The outer ring of the snapshot is all `outer`, the ring inside it all `inner`.
void ExpectFrame(const gui::Bitmap& b, std::uint32_t outer, std::uint32_t inner, const std::string& what) {
  const int w = b.Width(), h = b.Height();
  int wrongOuter = 0, wrongInner = 0;
  for (int x = 0; x < w; ++x) {
    wrongOuter += (At(b, x, 0) != outer) + (At(b, x, h - 1) != outer);
    if (x >= 1 && x < w - 1) wrongInner += (At(b, x, 1) != inner) + (At(b, x, h - 2) != inner);
  }
  for (int y = 0; y < h; ++y) {
    wrongOuter += (At(b, 0, y) != outer) + (At(b, w - 1, y) != outer);
    if (y >= 1 && y < h - 1) wrongInner += (At(b, 1, y) != inner) + (At(b, w - 2, y) != inner);
  }
  EXPECT_EQ(wrongOuter, 0) << what << ": outer line";
  EXPECT_EQ(wrongInner, 0) << what << ": inner line";
}

// The combo box's drop-down button and where its arrow starts, in client coordinates.
struct ComboParts {
  explicit ComboParts(TsuiComboBox& combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo.Handle(), &info);
    button = info.rcButton;
    arrowX = button.left + (button.right - button.left) / 2 - 4;
    arrowY = (button.bottom - button.top) / 2;
  }
  RECT button{};
  int arrowX = 0, arrowY = 0;
};

}  // namespace

TEST(Wrappers, DrawTheFlatFrameInTheirFormsStyle) {
  for (TsuiUIStyle style : kBuiltInStyles) {
    Host host;
    auto* frame = new FakeFrame(&host.form, style);
    frame->SetParent(&host.form);
    Wrappers w(host.form);
    const gui::TColor border = GetThemeColor(style, thControlBorderColor);
    for (auto& [control, borderColor] : w.all) {
      const std::string what = StyleWord(style) + " " + typeid(*control).name();
      EXPECT_EQ(borderColor(), border) << what;
      ExpectFrame(Snapshot(*control), PixelOf(border), PixelOf(control->Color()), what);
    }
  }
}

TEST(Wrappers, ABorderColourSetLaterIsDrawnAndTheContentStaysInside) {
  Host host;
  Wrappers w(host.form);
  for (auto& [control, borderColor] : w.all) {
    const std::string what = typeid(*control).name();
    if (auto* edit = dynamic_cast<TsuiEdit*>(control)) edit->SetBorderColor(kRedColor);
    if (auto* memo = dynamic_cast<TsuiMemo*>(control)) memo->SetBorderColor(kRedColor);
    if (auto* list = dynamic_cast<TsuiListBox*>(control)) list->SetBorderColor(kRedColor);
    if (auto* checks = dynamic_cast<TsuiCheckListBox*>(control)) checks->SetBorderColor(kRedColor);
    if (auto* view = dynamic_cast<TsuiListView*>(control)) view->SetBorderColor(kRedColor);
    if (auto* tree = dynamic_cast<TsuiTreeView*>(control)) tree->SetBorderColor(kRedColor);
    EXPECT_EQ(borderColor(), kRedColor) << what;
    const gui::Bitmap shot = Snapshot(*control);
    ExpectFrame(shot, kRedPixel, PixelOf(control->Color()), what);
    // The text is drawn, and inside the frame.
    const Box ink = BoxWhere(shot, [&](int x, int y) {
      return x > 1 && y > 1 && x < shot.Width() - 2 && y < shot.Height() - 2 && At(shot, x, y) == 0;
    });
    EXPECT_FALSE(ink.Empty()) << what;
    EXPECT_EQ(InkBox(shot, kRedPixel).Width(), shot.Width()) << what;
  }
}

TEST(CheckListBox, BorderPropertiesReadSingleAndOneButTheSystemDrawsNone) {
  Host host;
  auto* box = Place<TsuiCheckListBox>(host.form, 5, 5, 80, 60);
  box->SetBorderStyle(gui::bsSingle);
  box->SetBorderWidth(6);
  EXPECT_EQ(box->BorderStyle(), gui::bsSingle);
  EXPECT_EQ(box->BorderWidth(), 1);
  EXPECT_TRUE(box->Flat());
  EXPECT_EQ(GetWindowLongPtrW(box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RECT client{};
  GetClientRect(box->Handle(), &client);
  EXPECT_EQ(client.right, 78) << "one pixel of frame each side";
  EXPECT_EQ(client.bottom, 58);
}

TEST(ComboBox, ButtonAndArrowInEachStyle) {
  for (TsuiUIStyle style : kBuiltInStyles) {
    Host host;
    auto* frame = new FakeFrame(&host.form, style);
    frame->SetParent(&host.form);
    auto* combo = Place<TsuiComboBox>(host.form, 10, 10, 120, 21);
    EXPECT_EQ(combo->UIStyle(), style);
    EXPECT_EQ(combo->ButtonColor(), GetThemeColor(style, thComboBoxButtonColor));
    EXPECT_EQ(combo->ArrowColor(), GetThemeColor(style, thControlBorderColor));
    EXPECT_EQ(combo->BorderColor(), combo->ArrowColor());
    combo->SetArrowColor(kRedColor);
    const gui::Bitmap shot = Snapshot(*combo);
    const ComboParts p(*combo);
    ASSERT_GT(p.button.right - p.button.left, 8) << StyleWord(style);
    // The button's corner: the MacOS picture's own corner, or the button colour.
    const std::uint32_t corner = At(shot, p.button.left, p.button.bottom - 1);
    if (style == TsuiUIStyle::MacOS) {
      const gui::Bitmap picture = NamedBitmap("MACOS_COMBOBOX_BUTTON");
      EXPECT_EQ(corner, At(picture, 0, picture.Height() - 1));
    } else {
      EXPECT_EQ(corner, PixelOf(combo->ButtonColor())) << StyleWord(style);
    }
    // A red triangle pointing down from (x, y): 7, 5, 3 and 1 pixels wide.
    const int x = p.arrowX, y = p.arrowY;
    EXPECT_EQ(InkBox(shot, kRedPixel), (Box{x, y, x + 7, y + 4})) << StyleWord(style);
    EXPECT_EQ(At(shot, x + 3, y + 3), kRedPixel);
    EXPECT_NE(At(shot, x, y + 1), kRedPixel);
    // The frame over all of it.
    ExpectFrame(shot, PixelOf(combo->BorderColor()), PixelOf(combo->Color()), StyleWord(style));
  }
}

TEST(ComboBox, DisabledArrowIsGreyOverAWhiteCopy) {
  Host host;
  auto* combo = Place<TsuiComboBox>(host.form, 10, 10, 120, 21);
  combo->SetArrowColor(kRedColor);
  combo->SetButtonColor(kGreen);
  combo->SetEnabled(false);
  const gui::Bitmap shot = Snapshot(*combo);
  const ComboParts p(*combo);
  const int x = p.arrowX, y = p.arrowY;
  EXPECT_TRUE(InkBox(shot, kRedPixel).Empty());
  EXPECT_EQ(InkBox(shot, kGreyPixel), (Box{x, y, x + 7, y + 4}));
  const Box white = BoxWhere(shot, [&](int px, int py) {
    return px >= p.button.left && px < p.button.right && py >= 2 && py < shot.Height() - 2 &&
           At(shot, px, py) == kWhite;
  });
  EXPECT_EQ(white, (Box{x + 4, y + 1, x + 8, y + 5})) << "the copy shows below and right of the grey";
  EXPECT_EQ(At(shot, x + 7, y + 1), kWhite);
  EXPECT_EQ(At(shot, x + 4, y + 4), kWhite);
  EXPECT_EQ(At(shot, x + 3, y + 3), kGreyPixel);
}

TEST(ComboBox, CustomStyleGivesBlackButtonArrowAndBorder) {
  Host host;
  auto* combo = Place<TsuiComboBox>(host.form, 10, 10, 120, 21);
  combo->SetUIStyle(TsuiUIStyle::Custom);
  EXPECT_EQ(combo->ButtonColor(), 0u);
  EXPECT_EQ(combo->ArrowColor(), 0u);
  EXPECT_EQ(combo->BorderColor(), 0u);
  const gui::Bitmap shot = Snapshot(*combo);
  const ComboParts p(*combo);
  EXPECT_EQ(At(shot, p.button.left, p.button.bottom - 1), 0u);
  EXPECT_EQ(At(shot, 0, 0), 0u);
}

TEST(Wrappers, TenThousandPaintsOfEachClassLeaveTheGdiObjectCountFlat) {
  Host host;
  Wrappers w(host.form);
  auto* combo = Place<TsuiComboBox>(host.form, 5, 120, 90, 21);
  combo->Items().Add("combo");
  combo->SetItemIndex(0);
  auto* macCombo = Place<TsuiComboBox>(host.form, 100, 120, 90, 21);
  macCombo->SetUIStyle(TsuiUIStyle::MacOS);
  auto* box = Place<TsuiGroupBox>(host.form, 5, 150, 120, 60);
  box->SetCaption("Group");
  auto* group = Place<TsuiCheckGroup>(host.form, 130, 150, 150, 80);
  group->Items().SetText("one\ntwo\nthree");
  std::vector<gui::WinControl*> controls{combo, macCombo, box, group};
  for (auto& entry : w.all) controls.push_back(entry.first);
  gui::Bitmap target(150, 80);
  for (gui::WinControl* c : controls) {
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
    // The two combo boxes, with and without the button picture, share the class's paints.
    const int paints = dynamic_cast<TsuiComboBox*>(c) != nullptr ? kLeakPaints / 2 : kLeakPaints;
    EXPECT_EQ(GdiChangeOverPaints(*c, target.Canvas().Handle(), paints), 0) << typeid(*c).name();
  }
}
