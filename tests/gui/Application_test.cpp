#include "gui/Application.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/MainMenu.h"

namespace {

using gui::App;

TEST(Application, ComIsInitialisedSingleThreadedBeforeAnyWindow) {
  App();
  const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again, S_FALSE) << "already initialised, in the same apartment model";
  if (SUCCEEDED(again)) CoUninitialize();
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
}

TEST(Application, AnErrorInTheMessageFilterIsReportedAndTheMessageStillDispatched) {
  std::vector<std::string> reports;
  App().ReportCapture = [&](const std::string& text) { reports.push_back(text); };
  gui::Form form(nullptr);
  int reached = 0;
  gui::HookToken listener = form.AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    if (msg.Msg == WM_APP + 9) ++reached;
    next(msg);
  });
  gui::HookToken filter = App().AddMessageFilter([](MSG& msg, bool&) {
    if (msg.message == WM_APP + 9) throw gui::Exception("Filter broke");
  });
  PostMessageW(form.Handle(), WM_APP + 9, 0, 0);
  App().ProcessMessages();
  filter.Reset();
  App().ReportCapture = nullptr;
  EXPECT_EQ(reports, std::vector<std::string>{"Filter broke."});
  EXPECT_EQ(reached, 1);
}

TEST(Application, EachFilterIsRemovedByItsOwnTokenAndTheFirstToHandleAMessageStopsIt) {
  std::vector<std::string> seen;
  auto filter = [&](const char* name, bool handles) {
    return App().AddMessageFilter([&seen, name, handles](MSG& msg, bool& handled) {
      if (msg.message != WM_APP + 10) return;
      seen.push_back(name);
      handled = handles;
    });
  };
  const std::size_t before = App().MessageFilterCount();
  MSG msg{};
  msg.message = WM_APP + 10;
  {
    gui::HookToken first = filter("first", false);
    gui::HookToken second = filter("second", true);
    gui::HookToken third = filter("third", false);
    EXPECT_TRUE(App().FilterMessage(msg));
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
    // The first owner goes: the others stay, in their order.
    first.Reset();
    second = gui::HookToken();
    seen.clear();
    EXPECT_FALSE(App().FilterMessage(msg));
    EXPECT_EQ(seen, std::vector<std::string>{"third"});
    EXPECT_EQ(App().MessageFilterCount(), before + 1);
  }
  EXPECT_EQ(App().MessageFilterCount(), before);
}

TEST(Application, ReportWithoutCaptureShowsAStopBoxCaptionedWithTheTitle) {
  // The box is modal; a timer on this thread finds it, reads it and closes it.
  App().SetTitle("Nimbre Screen");
  static std::wstring caption, text;
  static bool stopIcon = false;
  caption.clear();
  text.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", nullptr);
    if (box == nullptr) return;
    wchar_t buffer[256] = {};
    GetWindowTextW(box, buffer, 256);
    caption = buffer;
    HWND label = GetDlgItem(box, 0xFFFF);
    if (label != nullptr) {
      GetWindowTextW(label, buffer, 256);
      text = buffer;
    }
    // The icon control of a message box (its number differs between systems).
    HWND icon = GetDlgItem(box, 0x14);
    if (icon == nullptr) icon = GetDlgItem(box, 1088);
    if (icon != nullptr)
      stopIcon = reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)) ==
                 LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_HAND));
    KillTimer(nullptr, id);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  App().ShowException("'abc' is not a valid integer value");
  KillTimer(nullptr, timer);
  EXPECT_EQ(caption, L"Nimbre Screen");
  EXPECT_EQ(text, L"'abc' is not a valid integer value.");
  EXPECT_TRUE(stopIcon);
}

TEST(MainMenu, TheFormsMenuIsItsNativeMenuBarAndCommandsReachTheItems) {
  gui::Form form(nullptr);
  auto* menu = new gui::MainMenu(&form);
  menu->Items().Add("File").Add("Exit");
  gui::MenuItem& help = menu->Items().Add("Help");
  int clicks = 0;
  help.OnClick = [&](gui::Component*) { ++clicks; };
  form.SetMenu(menu);
  HMENU bar = GetMenu(form.Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  const UINT helpId = GetMenuItemID(bar, 1);
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(helpId, 0), 0);
  EXPECT_EQ(clicks, 1);
  form.SetMenu(nullptr);
  EXPECT_EQ(GetMenu(form.Handle()), nullptr);
  form.SetMenu(menu);
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr) << "the form forgets a menu that goes";
  EXPECT_EQ(GetMenu(form.Handle()), nullptr);
}

TEST(FormWindow, MaximisedStateAndSizeLimits) {
  gui::Form form(nullptr);
  form.SetBorderStyle(gui::bsNone);
  form.SetBounds(10, 10, 200, 100);
  int resizes = 0;
  form.OnResize = [&](gui::Component*) { ++resizes; };
  form.SetMaxWidth(600);
  form.SetMaxHeight(400);
  form.SetWindowState(gui::wsMaximized);
  form.Show();
  EXPECT_EQ(form.WindowState(), gui::wsMaximized);
  EXPECT_EQ(form.Width(), 600) << "a maximised form keeps to its maximum size";
  EXPECT_EQ(form.Height(), 400);
  EXPECT_GT(resizes, 0);
  form.SetWindowState(gui::wsNormal);
  EXPECT_EQ(form.WindowState(), gui::wsNormal);
  EXPECT_EQ(form.Width(), 200);
  form.SetMinWidth(250);
  EXPECT_EQ(form.Width(), 250) << "a new minimum applies at once";
}

}  // namespace
