#include "gui/WinControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/CustomControl.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/Panel.h"

namespace {

using gui::App;

// A focusable control that answers one accelerator and logs notifications.
class Button : public gui::CustomControl {
 public:
  Button(gui::Component* owner, std::vector<std::string>& log) : CustomControl(owner), log_(log) {
    SetTabStop(true);
  }
  UINT reflected = 0;
  int focusChanges = 0;

 protected:
  void WndProc(gui::Message& msg) override {
    CustomControl::WndProc(msg);
    switch (msg.Msg) {
      case gui::CM_DIALOGCHAR:
        log_.push_back("dialogchar " + Name());
        msg.Result = gui::IsAccel(static_cast<unsigned>(msg.WParam), Caption()) ? 1 : 0;
        break;
      case gui::CM_FOCUSCHANGED:
        ++focusChanges;
        break;
      case gui::CN_COMMAND:
      case gui::CN_NOTIFY:
        reflected = msg.Msg;
        msg.Result = 99;
        break;
    }
  }

 private:
  std::vector<std::string>& log_;
};

class WinControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 200, 100);
  }
  Button* AddButton(gui::WinControl* parent, const std::string& name) {
    auto* b = new Button(&form, log);
    b->SetName(name);
    b->SetParent(parent);
    b->SetBounds(0, 0, 20, 20);
    return b;
  }
  std::vector<std::string> log;
  gui::Form form{nullptr};
};

TEST_F(WinControlTest, WindowIsCreatedOnDemandWithTheParentsWindow) {
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_FALSE(panel->HandleAllocated());
  HWND h = panel->Handle();
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_EQ(GetParent(h), form.Handle());
  EXPECT_EQ(gui::WinControl::FromHandle(h), panel);
  EXPECT_EQ(gui::WinControl::FromHandle(GetDesktopWindow()), nullptr);
}

TEST_F(WinControlTest, AForeignParentWindowMakesTheWindowAnewAsItsChild) {
  HWND foreign = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  form.HandleNeeded();
  HWND first = form.Handle();
  std::vector<UINT> hooked;
  gui::HookToken listener = form.AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    hooked.push_back(msg.Msg);
    next(msg);
  });
  form.SetParentWindow(foreign);
  form.Show();
  form.SetLeft(0);
  form.SetTop(0);
  HWND second = form.Handle();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_NE(first, second);
  EXPECT_EQ(GetParent(second), foreign);
  EXPECT_TRUE(GetWindowLongPtrW(second, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(GetParent(panel->Handle()), second) << "children come along";
  RECT r;
  GetWindowRect(second, &r);
  POINT origin{0, 0};
  ClientToScreen(foreign, &origin);
  EXPECT_EQ(r.left, origin.x);
  EXPECT_EQ(r.top, origin.y);
  hooked.clear();
  SendMessageW(second, WM_APP, 0, 0);
  EXPECT_EQ(hooked, std::vector<UINT>{WM_APP}) << "the object's procedure serves the new window";
  form.SetParentWindow(nullptr);
  DestroyWindow(foreign);
}

TEST_F(WinControlTest, NotificationsAreReflectedToTheChildTheyConcern) {
  Button* b = AddButton(&form, "b");
  EXPECT_EQ(SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                         reinterpret_cast<LPARAM>(b->Handle())), 99);
  EXPECT_EQ(b->reflected, gui::CN_COMMAND);
  NMHDR header{b->Handle(), 1, 0u - 2u};
  EXPECT_EQ(SendMessageW(form.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), 99);
  EXPECT_EQ(b->reflected, gui::CN_NOTIFY);
}

TEST_F(WinControlTest, TabOrderAndTabKeyMoveTheFocus) {
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  Button* a = AddButton(&form, "a");
  Button* b = AddButton(panel, "b");
  Button* c = AddButton(&form, "c");
  c->SetTabOrder(0);
  EXPECT_EQ(c->TabOrder(), 0);
  EXPECT_EQ(panel->TabOrder(), 1);
  EXPECT_EQ(a->TabOrder(), 2);
  form.Show();
  App().ProcessMessages();
  EXPECT_TRUE(c->Focused()) << "activation focuses the first tab stop";
  EXPECT_EQ(form.ActiveControl(), c);
  SendMessageW(c->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(b->Focused()) << "the panel is no tab stop; its child comes next";
  SendMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(a->Focused());
  SendMessageW(a->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(c->Focused()) << "wraps around";
  a->SetVisible(false);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_EQ(form.FindNextControl(b, true, true), c);
  EXPECT_GE(a->focusChanges, 3) << "every control hears of every focus change";
}

TEST_F(WinControlTest, SetFocusOnAHiddenControlIsAnError) {
  Button* a = AddButton(&form, "a");
  EXPECT_THROW(a->SetFocus(), gui::Exception) << "the form is not shown";
  form.Show();
  a->SetFocus();
  EXPECT_TRUE(a->Focused());
  a->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(a->Handle()));
  EXPECT_THROW(a->SetFocus(), gui::Exception);
}

TEST_F(WinControlTest, DialogCharactersGoToTheControlsUntilOneTakesThem) {
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  Button* a = AddButton(&form, "a");
  a->SetCaption("&Apply");
  Button* b = AddButton(panel, "b");
  b->SetCaption("&Quit");
  Button* c = AddButton(&form, "c");
  c->SetCaption("&Quit too");
  form.Show();
  a->SetFocus();
  SendMessageW(a->Handle(), WM_SYSCHAR, 'q', 1 << 29);
  EXPECT_EQ(log, (std::vector<std::string>{"dialogchar b"}))
      << "children in child-index order (the panel's first); c never hears of it";
  log.clear();
  SendMessageW(a->Handle(), WM_CHAR, 'z', 0);
  EXPECT_EQ(log, (std::vector<std::string>{"dialogchar b", "dialogchar a", "dialogchar c"}))
      << "a plain key of a control that takes no characters is a dialog character too";
}

}  // namespace
