#include "gui/Control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/CustomControl.h"
#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/Panel.h"

namespace {

using gui::App;

// A custom control that logs the framework notifications it receives.
class LoggingControl : public gui::CustomControl {
 public:
  explicit LoggingControl(gui::Component* owner) : CustomControl(owner) {}
  std::vector<UINT> seen;
  bool refuseResize = false;

 protected:
  void WndProc(gui::Message& msg) override {
    if (msg.Msg >= gui::CM_BASE && msg.Msg < gui::CN_BASE) seen.push_back(msg.Msg);
    CustomControl::WndProc(msg);
  }
  bool CanResize(int& w, int& h) override {
    if (refuseResize && h != 23) return false;
    return CustomControl::CanResize(w, h);
  }
};

int Count(const std::vector<UINT>& v, UINT m) { return static_cast<int>(std::count(v.begin(), v.end(), m)); }

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().ReportCapture = [this](const std::string& text) { reports.push_back(text); };
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(10, 10, 300, 200);
  }
  void TearDown() override { App().ReportCapture = nullptr; }
  std::vector<std::string> reports;
  gui::Form form{nullptr};
};

TEST_F(ControlTest, AlignLaysOutChildrenInChildIndexOrder) {
  auto* top = new gui::Panel(&form);
  auto* bottom1 = new gui::Panel(&form);
  auto* bottom2 = new gui::Panel(&form);
  auto* left = new gui::Panel(&form);
  auto* client = new gui::Panel(&form);
  auto* right = new gui::Panel(&form);
  for (gui::Panel* p : {top, bottom1, bottom2, left, client, right}) p->SetParent(&form);
  top->SetHeight(23);
  top->SetAlign(gui::alTop);
  bottom1->SetHeight(25);
  bottom1->SetAlign(gui::alBottom);
  bottom2->SetHeight(22);
  bottom2->SetAlign(gui::alBottom);
  left->SetWidth(56);
  left->SetAlign(gui::alLeft);
  client->SetAlign(gui::alClient);
  right->SetWidth(30);
  right->SetAlign(gui::alRight);
  EXPECT_EQ(top->BoundsRect().top, 0);
  EXPECT_EQ(top->Width(), 300);
  EXPECT_EQ(bottom1->Top(), 175) << "the first bottom-aligned child sits lowest";
  EXPECT_EQ(bottom2->Top(), 153);
  EXPECT_EQ(left->Top(), 23);
  EXPECT_EQ(left->Height(), 130);
  EXPECT_EQ(right->Left(), 270);
  EXPECT_EQ(client->Left(), 56);
  EXPECT_EQ(client->Width(), 214);
  EXPECT_EQ(client->Height(), 130);
  // Resizing the parent realigns; the window follows.
  form.SetBounds(10, 10, 400, 300);
  EXPECT_EQ(bottom1->Top(), 275);
  EXPECT_EQ(client->Width(), 314);
  RECT r;
  GetWindowRect(client->Handle(), &r);
  MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 56);
  EXPECT_EQ(r.right - r.left, 314);
  // A hidden child gives its place up.
  top->SetVisible(false);
  EXPECT_EQ(left->Top(), 0);
}

TEST_F(ControlTest, ConstraintsAndCanResizeLimitTheSize) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 80, 27);
  gui::SizeConstraints limits;
  limits.MinWidth = 50;
  limits.MaxHeight = 40;
  c->SetConstraints(limits);
  c->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(c->Width(), 50);
  EXPECT_EQ(c->Height(), 40);
  c->refuseResize = true;
  c->SetHeight(27);
  EXPECT_EQ(c->Height(), 40) << "a refused size keeps the old one";
  c->SetHeight(23);
  EXPECT_EQ(c->Height(), 23);
  c->SetLeft(5);
  EXPECT_EQ(c->Left(), 5) << "moving is not a resize";
  int asked = 0;
  c->refuseResize = false;
  c->OnCanResize = [&](gui::Component*, int&, int& h, bool& ok) {
    ++asked;
    ok = h < 30;
  };
  c->SetHeight(35);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(c->Height(), 23);
}

TEST_F(ControlTest, ColourAndFontFollowTheParentUntilSetOwn) {
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  auto* child = new LoggingControl(&form);
  child->SetParentColor(true);
  child->SetParent(panel);
  panel->SetColor(gui::clBlue);
  EXPECT_EQ(child->Color(), gui::clBlue);
  panel->Font().SetName("Arial");
  panel->Font().SetHeight(-12);
  EXPECT_EQ(child->Font().Name(), "Arial");
  EXPECT_EQ(child->Font().Height(), -12);
  EXPECT_TRUE(child->ParentFont());
  EXPECT_GE(Count(child->seen, gui::CM_FONTCHANGED), 1);
  child->Font().SetColor(gui::clRed);
  EXPECT_FALSE(child->ParentFont()) << "changing its own font ends following";
  panel->Font().SetHeight(-20);
  EXPECT_EQ(child->Font().Height(), -12);
  child->SetColor(gui::clWhite);
  EXPECT_FALSE(child->ParentColor());
  panel->SetColor(gui::clBlack);
  EXPECT_EQ(child->Color(), gui::clWhite);
}

TEST_F(ControlTest, CaptionChangeSendsTextChangedAndSetsTheWindowText) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  c->SetCaption("Quit");
  c->SetCaption("Quit");
  EXPECT_EQ(Count(c->seen, gui::CM_TEXTCHANGED), 1) << "an unchanged caption sends nothing";
  wchar_t text[16] = {};
  GetWindowTextW(c->Handle(), text, 16);
  EXPECT_EQ(std::wstring(text), L"Quit");
}

TEST_F(ControlTest, PerformGoesStraightToTheHandlingAndAHookChainsAroundIt) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  std::vector<std::string> order;
  c->WindowProc = [&, previous = c->WindowProc](gui::Message& msg) {
    if (msg.Msg == WM_APP) order.push_back("before");
    previous(msg);
    if (msg.Msg == WM_APP) {
      order.push_back("after");
      msg.Result = 7;
    }
  };
  EXPECT_EQ(c->Perform(WM_APP), 7);
  EXPECT_EQ(order, (std::vector<std::string>{"before", "after"}));
  // Native messages to the window pass the hook as well.
  EXPECT_EQ(SendMessageW(c->Handle(), WM_APP, 0, 0), 7);
}

TEST_F(ControlTest, HooksRunNewestFirstAndEachGoesWithItsOwnToken) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  std::string order;
  auto hook = [&](char name, bool keeps) {
    return c->AddWindowProcHook([&order, name, keeps](gui::Message& msg, const auto& next) {
      if (msg.Msg == WM_APP) order += name;
      if (!keeps || msg.Msg != WM_APP) next(msg);
    });
  };
  gui::HookToken a = hook('a', false);
  gui::HookToken b = hook('b', false);
  c->WindowProc = [&, previous = c->WindowProc](gui::Message& msg) {
    if (msg.Msg == WM_APP) order += 'w';
    previous(msg);
  };
  SendMessageW(c->Handle(), WM_APP, 0, 0);
  EXPECT_EQ(order, "baw");
  // The older hook goes first: the newer one stays in front of the procedure.
  a.Reset();
  order.clear();
  c->Perform(WM_APP);
  EXPECT_EQ(order, "bw");
  {
    gui::HookToken keeper = hook('k', true);
    order.clear();
    c->Perform(WM_APP);
    EXPECT_EQ(order, "k");
  }
  b.Reset();
  order.clear();
  c->Perform(WM_APP);
  EXPECT_EQ(order, "w");
}

TEST_F(ControlTest, MouseEventsClickAndDoubleClick) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 50, 20);
  std::vector<std::string> log;
  c->OnMouseDown = [&](gui::Component*, gui::TMouseButton b, gui::TShiftState s, int x, int y) {
    log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                  std::to_string(y));
  };
  c->OnMouseUp = [&](gui::Component*, gui::TMouseButton b, gui::TShiftState, int, int) {
    log.push_back("up " + std::to_string(b));
  };
  c->OnClick = [&](gui::Component*) { log.push_back("click"); };
  c->OnDblClick = [&](gui::Component*) { log.push_back("dblclick"); };
  HWND h = c->Handle();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(3, 4));
  EXPECT_EQ(GetCapture(), h) << "a left press captures the mouse";
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(60, 4));  // released outside: no click
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
  SendMessageW(h, WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
  SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  const std::string shiftLeft = std::to_string(gui::ssShift | gui::ssLeft);
  const std::string left = std::to_string(gui::ssLeft);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "down 0 " + shiftLeft + " 3,4", "click", "up 0",
                     "down 0 " + left + " 3,4", "up 0",
                     "down 1 " + std::to_string(gui::ssRight) + " 1,1", "up 1",
                     "dblclick", "down 0 " + std::to_string(gui::ssLeft | gui::ssDouble) + " 2,2", "up 0"}));
}

TEST_F(ControlTest, APressThatLosesTheMouseToAMoveLoopClicksNothing) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 50, 20);
  int clicks = 0;
  c->OnClick = [&](gui::Component*) { ++clicks; };
  HWND h = c->Handle();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  ReleaseCapture();  // as a handler does before it starts the system's move loop
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(clicks, 0);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlTest, MouseEnterOnTheFirstMoveAndLeaveWhenTheMouseGoes) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  HWND h = c->Handle();
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 1));
  EXPECT_EQ(Count(c->seen, gui::CM_MOUSEENTER), 1);
  SendMessageW(h, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Count(c->seen, gui::CM_MOUSELEAVE), 1);
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 1));
  EXPECT_EQ(Count(c->seen, gui::CM_MOUSEENTER), 2);
}

TEST_F(ControlTest, HandPointCursorOverTheControl) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  HWND h = c->Handle();
  EXPECT_EQ(SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), FALSE);
  c->SetCursor(gui::crHandPoint);
  EXPECT_EQ(SendMessageW(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
}

TEST_F(ControlTest, AnErrorInAnEventIsReportedWhereTheMessageIsDispatched) {
  auto* c = new LoggingControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 20, 20);
  bool after = false;
  c->OnClick = [&](gui::Component*) {
    throw gui::Exception("Sorry");
    after = true;
  };
  SendMessageW(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageW(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  EXPECT_FALSE(after);
  EXPECT_EQ(reports, (std::vector<std::string>{"Sorry."}));
  EXPECT_TRUE(IsWindow(c->Handle())) << "the program goes on";
}

TEST(Accelerator, TheLetterAfterASingleAmpersand) {
  EXPECT_TRUE(gui::IsAccel('s', "&Save"));
  EXPECT_TRUE(gui::IsAccel('S', "&save"));
  EXPECT_FALSE(gui::IsAccel('a', "&Save"));
  EXPECT_FALSE(gui::IsAccel('s', "Save"));
  EXPECT_FALSE(gui::IsAccel('&', "Fish && Chips"));
  EXPECT_TRUE(gui::IsAccel('c', "Fish && &Chips"));
  EXPECT_FALSE(gui::IsAccel(' ', " "));
  EXPECT_FALSE(gui::IsAccel('x', "ends with &"));
}

TEST(ErrorReport, FullStopOnlyAfterACharacterAboveTheFullStop) {
  EXPECT_EQ(gui::Application::ReportText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
  EXPECT_EQ(gui::Application::ReportText("Invalid data type for 'soundoff'"), "Invalid data type for 'soundoff'");
  EXPECT_EQ(gui::Application::ReportText("Done."), "Done.");
  EXPECT_EQ(gui::Application::ReportText("Code 5"), "Code 5.");
  EXPECT_EQ(gui::Application::ReportText("Why?"), "Why?.") << "'?' (0x3F) is above '.'";
  EXPECT_EQ(gui::Application::ReportText("Stop!"), "Stop!");
  EXPECT_EQ(gui::Application::ReportText("a-"), "a-");
  EXPECT_EQ(gui::Application::ReportText(""), "");
}

}  // namespace
