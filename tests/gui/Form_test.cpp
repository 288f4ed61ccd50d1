#include "gui/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Panel.h"
#include "gui/Timer.h"

namespace {

using gui::App;

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().ReportCapture = [this](const std::string& text) { reports.push_back(text); };
  }
  void TearDown() override {
    App().ReportCapture = nullptr;
    App().ProcessMessages();
  }
  std::vector<std::string> reports;
};

TEST_F(FormTest, ShowModalReturnsTheResultSetWhileShown) {
  gui::Form form(nullptr);
  int activations = 0;
  form.OnActivate = [&](gui::Component*) {
    ++activations;
    form.SetModalResult(gui::mrOk);
  };
  EXPECT_EQ(form.ShowModal(), gui::mrOk);
  EXPECT_EQ(activations, 1) << "the modal show activates the form once";
  EXPECT_FALSE(form.Visible()) << "the form is hidden afterwards";
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST_F(FormTest, CloseDuringModalShowRunsTheCloseHandlerOnceAndGivesCancel) {
  gui::Form form(nullptr);
  int closes = 0;
  form.OnActivate = [&](gui::Component*) {
    form.Close();
    form.Close();
    PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  };
  form.OnClose = [&](gui::Component*, gui::TCloseAction& action) {
    ++closes;
    EXPECT_EQ(action, gui::caHide);
  };
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(closes, 1);
}

TEST_F(FormTest, CloseQueryCanKeepTheModalFormOpen) {
  gui::Form form(nullptr);
  int queries = 0;
  form.OnActivate = [&](gui::Component*) { PostMessageW(form.Handle(), WM_CLOSE, 0, 0); };
  form.OnCloseQuery = [&](gui::Component*, bool& canClose) {
    ++queries;
    canClose = queries > 1;
    if (queries == 1) PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(queries, 2);
}

TEST_F(FormTest, AnErrorWhileClosingIsReportedAndTheFormStaysUntilTheNextClose) {
  gui::Form form(nullptr);
  int closes = 0;
  form.OnActivate = [&](gui::Component*) { form.Close(); };
  form.OnClose = [&](gui::Component*, gui::TCloseAction&) {
    ++closes;
    if (closes == 1) {
      PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
      throw gui::ERegistryException("Failed to set data for 'soundoff'");
    }
  };
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_EQ(closes, 2);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "Failed to set data for 'soundoff'") << "no full stop after a quote";
}

TEST_F(FormTest, AnErrorInOnActivateSkipsTheRestOfTheHandlerAndTheFormStays) {
  gui::Form form(nullptr);
  bool restRan = false;
  form.OnActivate = [&](gui::Component*) {
    PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
    throw gui::EConvertError("'' is not a valid integer value");
    restRan = true;
  };
  EXPECT_EQ(form.ShowModal(), gui::mrCancel);
  EXPECT_FALSE(restRan);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "'' is not a valid integer value.");
}

TEST_F(FormTest, ModalFormOwnedByAnotherFormDisablesItsOwnerMeanwhile) {
  gui::Form owner(nullptr);
  owner.Show();
  auto* dialog = new gui::Form(&owner);
  bool ownerEnabledDuringShow = true;
  dialog->OnActivate = [&](gui::Component*) {
    ownerEnabledDuringShow = IsWindowEnabled(owner.Handle()) != FALSE;
    dialog->SetModalResult(gui::mrCancel);
  };
  EXPECT_EQ(dialog->ShowModal(), gui::mrCancel);
  EXPECT_FALSE(ownerEnabledDuringShow);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_EQ(GetWindow(dialog->Handle(), GW_OWNER), owner.Handle());
  // A second dialog from the same owner works the same way.
  auto* second = new gui::Form(&owner);
  second->OnActivate = [&](gui::Component*) { second->SetModalResult(gui::mrOk); };
  EXPECT_EQ(second->ShowModal(), gui::mrOk);
  EXPECT_EQ(owner.ComponentCount(), 2) << "the dialogs stay owned by the form";
}

TEST_F(FormTest, AFormInsideAForeignWindowOpensAModalDialogThatBlocksIt) {
  HWND foreign = CreateWindowExW(0, L"STATIC", L"display settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  {
    gui::Form preview(nullptr);
    preview.SetBorderStyle(gui::bsNone);
    preview.SetClientWidth(160);
    preview.SetClientHeight(114);
    preview.SetParentWindow(foreign);
    preview.Show();
    preview.SetLeft(0);
    preview.SetTop(0);
    ASSERT_EQ(GetParent(preview.Handle()), foreign);
    for (int i = 0; i < 2; ++i) {
      auto* dialog = new gui::Form(&preview);
      bool previewEnabled = true;
      dialog->OnActivate = [&](gui::Component*) {
        previewEnabled = IsWindowEnabled(preview.Handle()) != FALSE;
        dialog->Close();
      };
      EXPECT_EQ(dialog->ShowModal(), gui::mrCancel);
      EXPECT_FALSE(previewEnabled) << "the modal dialog blocks the preview";
      EXPECT_TRUE(IsWindowEnabled(preview.Handle()));
      EXPECT_EQ(GetWindow(dialog->Handle(), GW_OWNER), App().Handle());
    }
    EXPECT_EQ(preview.ComponentCount(), 2);
  }
  DestroyWindow(foreign);
}

TEST_F(FormTest, ShowFiresOnShowBeforeTheWindowAppearsAndCloseHidesByDefault) {
  gui::Form form(nullptr);
  bool visibleAtOnShow = true;
  form.OnShow = [&](gui::Component*) { visibleAtOnShow = IsWindowVisible(form.Handle()) != FALSE; };
  form.Show();
  EXPECT_FALSE(visibleAtOnShow);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
}

TEST_F(FormTest, CloseActionFreeDeletesTheFormAfterPendingMessages) {
  bool destroyed = false;
  auto* form = new gui::Form(nullptr);
  form->OnDestroy = [&](gui::Component*) { destroyed = true; };
  form->OnClose = [](gui::Component*, gui::TCloseAction& action) { action = gui::caFree; };
  form->Show();
  form->Close();
  EXPECT_FALSE(destroyed);
  App().ProcessMessages();
  EXPECT_TRUE(destroyed);
}

TEST_F(FormTest, RunReturnsAtOnceWithoutMainForm) {
  ASSERT_EQ(App().MainForm(), nullptr);
  PostThreadMessageW(GetCurrentThreadId(), WM_APP + 11, 0, 0);
  App().Run();
  // It returned without running the loop: the message waits yet.
  MSG msg{};
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_APP + 11, WM_APP + 11, PM_REMOVE));
  EXPECT_FALSE(App().Terminated());
}

TEST_F(FormTest, RunEndsWhenTheMainFormCloses) {
  gui::Form form(nullptr);
  App().SetMainForm(&form);
  int closes = 0;
  form.OnClose = [&](gui::Component*, gui::TCloseAction&) { ++closes; };
  PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
  App().Run();
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(form.Visible()) << "Run showed the main form";
  App().SetMainForm(nullptr);
}

TEST_F(FormTest, RunEndsOnAQuitMessagePostedToTheThread) {
  gui::Form form(nullptr);
  App().SetMainForm(&form);
  PostQuitMessage(0);
  App().Run();
  EXPECT_TRUE(App().Terminated());
  App().SetMainForm(nullptr);
}

TEST_F(FormTest, MessageFilterSeesQueuedMessagesAndCanStopThem) {
  gui::Form form(nullptr);
  form.Show();
  std::vector<UINT> seen;
  int reachedForm = 0;
  const UINT kProbe = WM_APP + 5;
  gui::HookToken listener = form.AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    if (msg.Msg == kProbe) ++reachedForm;
    next(msg);
  });
  gui::HookToken filter = App().AddMessageFilter([&](MSG& msg, bool& handled) {
    if (msg.message == kProbe) {
      seen.push_back(static_cast<UINT>(msg.wParam));
      handled = msg.wParam == 1;
    }
  });
  PostMessageW(form.Handle(), kProbe, 1, 0);
  PostMessageW(form.Handle(), kProbe, 2, 0);
  App().ProcessMessages();
  EXPECT_EQ(seen, (std::vector<UINT>{1, 2}));
  EXPECT_EQ(reachedForm, 1) << "the handled message is not dispatched";
}

TEST_F(FormTest, BorderStylesAndStayOnTopShapeTheWindow) {
  gui::Form none(nullptr);
  none.SetBorderStyle(gui::bsNone);
  none.SetFormStyle(gui::fsStayOnTop);
  const LONG_PTR style = GetWindowLongPtrW(none.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongPtrW(none.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  gui::Form sizeable(nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(sizeable.Handle(), GWL_STYLE) & WS_THICKFRAME);
  // Changing the style later keeps the window (and any hook on it).
  HWND before = sizeable.Handle();
  sizeable.SetBorderStyle(gui::bsNone);
  EXPECT_EQ(sizeable.Handle(), before);
  EXPECT_FALSE(GetWindowLongPtrW(sizeable.Handle(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(sizeable.ClientWidth(), sizeable.Width());
}

TEST_F(FormTest, ScreenCentreAndClientSize) {
  gui::Form form(nullptr);
  form.SetBorderStyle(gui::bsNone);
  form.SetClientWidth(287);
  form.SetClientHeight(164);
  form.SetPosition(gui::poScreenCenter);
  form.Show();
  EXPECT_EQ(form.Width(), 287);
  EXPECT_EQ(form.Left(), (GetSystemMetrics(SM_CXSCREEN) - 287) / 2);
  EXPECT_EQ(form.Top(), (GetSystemMetrics(SM_CYSCREEN) - 164) / 2);
  RECT r;
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.left, form.Left());
  EXPECT_EQ(r.right - r.left, 287);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeKeysOfTheFocusedControlFirst) {
  gui::Form form(nullptr);
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  form.SetKeyPreview(true);
  std::vector<std::string> order;
  form.OnKeyDown = [&](gui::Component*, std::uint16_t&, gui::TShiftState) { order.push_back("form"); };
  panel->OnKeyDown = [&](gui::Component*, std::uint16_t&, gui::TShiftState) { order.push_back("panel"); };
  SendMessageW(panel->Handle(), WM_KEYDOWN, 'A', 0);
  SendMessageW(panel->Handle(), WM_SYSKEYDOWN, 'B', 1 << 29);
  EXPECT_EQ(order, (std::vector<std::string>{"form", "panel", "form", "panel"}));
  form.OnKeyDown = [&](gui::Component*, std::uint16_t& key, gui::TShiftState) { key = 0; };
  order.clear();
  SendMessageW(panel->Handle(), WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(order.empty()) << "a key the form takes goes no further";
}

TEST_F(FormTest, ApplicationWindowCarriesTheTitleAndCanBeHidden) {
  App().SetTitle("Nimbre Screen");
  wchar_t text[64] = {};
  GetWindowTextW(App().Handle(), text, 64);
  EXPECT_EQ(std::wstring(text), L"Nimbre Screen");
  gui::Form form(nullptr);
  form.OnShow = [](gui::Component*) { App().HideApplicationWindow(); };
  form.Show();
  EXPECT_FALSE(App().ApplicationWindowVisible());
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), App().Handle()) << "no task-bar entry of its own";
}

TEST_F(FormTest, OnActivateFiresWhenTheFormBecomesTheActiveFormAgain) {
  gui::Form first(nullptr);
  gui::Form second(nullptr);
  int activations = 0, deactivations = 0;
  first.OnActivate = [&](gui::Component*) { ++activations; };
  first.OnDeactivate = [&](gui::Component*) { ++deactivations; };
  first.Show();
  App().ProcessMessages();
  EXPECT_EQ(activations, 1);
  // A window that is not a form (a message box, say) takes the activation and gives it back.
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(other);
  App().ProcessMessages();
  SetActiveWindow(first.Handle());
  App().ProcessMessages();
  DestroyWindow(other);
  App().ProcessMessages();
  EXPECT_EQ(activations, 1);
  // Another form of the program does count.
  second.Show();
  SetActiveWindow(second.Handle());
  App().ProcessMessages();
  EXPECT_GE(deactivations, 1);
  const int before = activations;
  SetActiveWindow(first.Handle());
  App().ProcessMessages();
  EXPECT_EQ(activations, before + 1);
}

TEST_F(FormTest, TheCaptionNamesTheWindowWhenItIsMade) {
  gui::Form form(nullptr);
  form.SetCaption("Config");
  form.SetBorderStyle(gui::bsNone);
  wchar_t text[32] = {};
  GetWindowTextW(form.Handle(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Config");
  form.SetCaption("Nimbre Screen Saver");
  GetWindowTextW(form.Handle(), text, 32);
  EXPECT_EQ(std::wstring(text), L"Nimbre Screen Saver");
}

TEST_F(FormTest, OnCreateRunsOnceWhenTheLayoutIsLoaded) {
  gui::Form form(nullptr);
  int creates = 0;
  form.BeginLoading();
  form.OnCreate = [&](gui::Component*) { ++creates; };
  auto* panel = new gui::Panel(&form);
  panel->SetParent(&form);
  EXPECT_TRUE(panel->IsLoading());
  form.EndLoading();
  EXPECT_EQ(creates, 1);
  EXPECT_FALSE(panel->IsLoading());
}

}  // namespace
