// The framework's controls over the platform's own: edit, memo, list box, check list box,
// combo box, list view and tree view, driven by real window messages; their text, items,
// selection, checks and nodes, their events, and the border band.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/CheckListBox.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/ListBox.h"
#include "gui/ListView.h"
#include "gui/Memo.h"
#include "gui/StringList.h"
#include "gui/TreeView.h"

namespace {

class NativeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 400, 300);
    form.Show();
  }
  void TearDown() override { form.Hide(); }

  template <class T>
  T* Place(int x, int y, int w, int h) {
    auto* c = new T(&form);
    c->SetParent(&form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  static void Type(gui::WinControl& c, const std::wstring& text) {
    for (wchar_t ch : text) SendMessageW(c.Handle(), WM_CHAR, ch, 1);
  }
  static void Key(gui::WinControl& c, WPARAM key) {
    SendMessageW(c.Handle(), WM_KEYDOWN, key, 1);
    SendMessageW(c.Handle(), WM_KEYUP, key, 0xC0000001);
  }
  static void Click(gui::WinControl& c, int x, int y) {
    SendMessageW(c.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(c.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  gui::Form form{nullptr};
};

TEST(StringList, SplitsTextAtEveryKindOfLineEndAndBatchesChanges) {
  gui::StringList list;
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("x\n\ny\n");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"x", "", "y"}));
  list.BeginUpdate();
  list.Add("z");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(list.Strings(3), std::out_of_range);
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(NativeControlTest, EditTakesTypedTextAndReportsEachChange) {
  auto* edit = Place<gui::Edit>(10, 10, 100, 21);
  std::vector<std::string> seen;
  edit->OnChange = [&](gui::Component*) { seen.push_back(edit->Text()); };
  Type(*edit, L"h\x00E9!");
  EXPECT_EQ(edit->Text(), "h\xC3\xA9!");
  EXPECT_EQ(seen, (std::vector<std::string>{"h", "h\xC3\xA9", "h\xC3\xA9!"}));
  edit->SetText("new");
  wchar_t shown[16]{};
  GetWindowTextW(edit->Handle(), shown, 16);
  EXPECT_STREQ(shown, L"new");
  edit->SetReadOnly(true);
  Type(*edit, L"x");
  EXPECT_EQ(edit->Text(), "new");
}

TEST_F(NativeControlTest, MemoLinesAndTypedTextStayInStep) {
  auto* memo = Place<gui::Memo>(10, 10, 150, 80);
  memo->Lines().Add("one");
  memo->Lines().Add("two");
  EXPECT_EQ(memo->Text(), "one\r\ntwo");
  SendMessageW(memo->Handle(), EM_SETSEL, 8, 8);  // after "two"
  Type(*memo, L"\rsix");
  EXPECT_EQ(memo->Lines().Items(), (std::vector<std::string>{"one", "two", "six"}));
}

TEST_F(NativeControlTest, ListBoxSelectsWithTheKeyboardAndKeepsTheSelectionWhenItemsChange) {
  auto* list = Place<gui::ListBox>(10, 10, 100, 80);
  list->Items().SetText("a\nb\nc");
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  int clicks = 0;
  list->OnClick = [&](gui::Component*) { ++clicks; };
  list->SetItemIndex(0);
  EXPECT_EQ(clicks, 0);
  Key(*list, VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  list->Items().Add("d");
  EXPECT_EQ(list->ItemIndex(), 1);
  list->Items().Delete(3);
  list->Items().Delete(2);
  list->Items().Delete(1);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(NativeControlTest, CheckListBoxTogglesOnTheBoxAndOnSpaceAndDrawsTheTick) {
  auto* list = Place<gui::CheckListBox>(10, 10, 120, 80);
  list->SetFlat(true);
  list->Items().SetText("a\nb");
  int toggles = 0;
  list->OnClickCheck = [&](gui::Component*) { ++toggles; };
  const RECT second = list->ItemRect(1);
  Click(*list, second.left + 5, second.top + 3);
  EXPECT_TRUE(list->Checked(1));
  Click(*list, second.left + 60, second.top + 3);  // on the text: selects only
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(list->ItemIndex(), 1);
  SendMessageW(list->Handle(), WM_CHAR, L' ', 1);
  EXPECT_FALSE(list->Checked(1));
  EXPECT_EQ(toggles, 2);
  list->SetChecked(0, true);
  list->Items().Add("c");  // checks stay by position; the new line comes unchecked
  EXPECT_TRUE(list->Checked(0));
  EXPECT_FALSE(list->Checked(2));
  EXPECT_THROW(list->Checked(3), std::out_of_range);

  // The tick inside the first row's box; the second row's box is empty.
  list->SetItemIndex(-1);
  gui::Bitmap shot(120, 80);
  list->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.Canvas().Handle()), 0);
  auto darkIn = [&](const RECT& row) {
    int n = 0;
    for (int y = row.top + 2; y < row.bottom - 2; ++y)
      for (int x = row.left + 3; x < row.left + 12; ++x) n += (shot.ScanLine(y)[x] & 0xFFFFFF) == 0;
    return n;
  };
  EXPECT_GT(darkIn(list->ItemRect(0)), 8);
  EXPECT_EQ(darkIn(list->ItemRect(1)), 0);
}

TEST_F(NativeControlTest, ComboBoxPicksWithTheKeyboardAndTakesTypedText) {
  auto* combo = Place<gui::ComboBox>(10, 10, 120, 21);
  combo->Items().SetText("red\ngreen\nblue");
  EXPECT_LT(combo->Height(), 40) << "the dropped-down list is not part of the control's height";
  std::vector<std::string> events;
  combo->OnSelect = [&](gui::Component*) { events.push_back("select " + combo->Text()); };
  combo->OnChange = [&](gui::Component*) { events.push_back("change " + combo->Text()); };
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "red");
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo->Handle(), &info);
  Key(*combo, VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "green");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "select green");
  events.clear();
  SendMessageW(info.hwndItem, EM_SETSEL, 5, 5);
  SendMessageW(info.hwndItem, WM_CHAR, L'!', 1);
  EXPECT_EQ(combo->Text(), "green!");
  EXPECT_EQ(events, (std::vector<std::string>{"change green!"}));
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
}

TEST_F(NativeControlTest, ListViewShowsColumnsAndItemsAndReportsTheSelection) {
  auto* view = new gui::ListView(&form);
  view->AddColumn("Name", 80);
  view->AddItem("apple", {"red"});  // before the window exists
  view->SetParent(&form);
  view->SetBounds(10, 10, 200, 120);
  view->AddColumn("Colour", 60);
  view->AddItem("lime", {"green"});
  EXPECT_EQ(SendMessageW(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
  wchar_t text[16]{};
  LVITEMW item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 16;
  SendMessageW(view->Handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"red");
  std::vector<std::string> events;
  view->OnSelectItem = [&](gui::Component*, int index, bool selected) {
    events.push_back(std::to_string(index) + (selected ? "+" : "-"));
  };
  view->SetItemIndex(0);
  view->SetItemIndex(1);
  EXPECT_EQ(view->ItemIndex(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"0+", "0-", "1+"}));
  view->DeleteItem(0);
  EXPECT_EQ(view->Item(0).Caption, "lime");
  EXPECT_EQ(view->ItemIndex(), 0);
}

TEST_F(NativeControlTest, TreeViewOpensNodesAndFollowsTheSelection) {
  auto* tree = new gui::TreeView(&form);
  gui::TreeNode* fruit = tree->AddChild(nullptr, "fruit");
  tree->AddChild(fruit, "apple");
  tree->SetParent(&form);
  tree->SetBounds(10, 10, 150, 120);
  gui::TreeNode* veg = tree->AddChild(nullptr, "veg");
  tree->AddChild(veg, "leek");
  std::vector<std::string> events;
  tree->OnExpanded = [&](gui::Component*, gui::TreeNode* n) { events.push_back("open " + n->Text()); };
  tree->OnCollapsed = [&](gui::Component*, gui::TreeNode* n) { events.push_back("close " + n->Text()); };
  tree->OnChange = [&](gui::Component*, gui::TreeNode* n) { events.push_back("select " + n->Text()); };
  EXPECT_FALSE(fruit->Expanded());
  tree->SetSelected(fruit);
  Key(*tree, VK_RIGHT);  // opens the selected node
  EXPECT_TRUE(fruit->Expanded());
  Key(*tree, VK_DOWN);
  EXPECT_EQ(tree->Selected(), fruit->Item(0));
  tree->SetSelected(veg);
  Key(*tree, VK_RIGHT);
  Key(*tree, VK_LEFT);
  EXPECT_FALSE(veg->Expanded());
  EXPECT_EQ(events, (std::vector<std::string>{"select fruit", "open fruit", "select apple", "select veg", "open veg",
                                              "close veg"}));
  veg->Expand();
  EXPECT_TRUE(veg->Expanded());
  EXPECT_EQ(tree->NodeAt(POINT{tree->NodeRect(veg).left + 2, tree->NodeRect(veg).top + 2}), veg);
  tree->SetSelected(fruit->Item(0));
  tree->DeleteNode(fruit);
  EXPECT_NE(tree->Selected(), fruit) << "no node that is gone stays selected";
  EXPECT_TRUE(tree->Selected() == nullptr || tree->Selected() == veg || tree->Selected() == veg->Item(0));
  EXPECT_EQ(tree->TopCount(), 1);
}

TEST_F(NativeControlTest, BorderWidthKeepsABandOfTheFaceColourRoundTheContent) {
  auto* edit = Place<gui::Edit>(10, 10, 100, 30);
  edit->SetBorderStyle(gui::bsNone);
  edit->SetColor(gui::clYellow);
  edit->SetBorderWidth(4);
  RECT client{};
  GetClientRect(edit->Handle(), &client);
  EXPECT_EQ(client.right, 92);
  EXPECT_EQ(client.bottom, 22);
  RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASENOW);
  gui::WindowDC dc(edit->Handle(), true);
  EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 3, 15), RGB(255, 255, 0));
  edit->SetBorderStyle(gui::bsSingle);
  EXPECT_NE(GetWindowLongPtrW(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

}  // namespace
