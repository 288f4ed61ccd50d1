// The side channel: its steps and events while it opens and closes, the hide timer and its
// strictly-inside test, the pin, click mode, the 50-pixel floor and the style walk.
#include "skin/SUISideChannel.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/SpeedButton.h"
#include "gui/Timer.h"
#include "skin/SUIButton.h"

using namespace sui;

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A channel that counts a message the test posts to it, to see it handled between steps.
class ProbedChannel : public TsuiSideChannel {
  public:
    using TsuiSideChannel::TsuiSideChannel;
    int probes = 0;

  protected:
    void WndProc(gui::Message& msg) override {
        if (msg.Msg == kProbe) ++probes;
        TsuiSideChannel::WndProc(msg);
    }
};

int CurrentWidth(const TsuiSideChannel& c) {
    return static_cast<const gui::Control&>(c).Width();
}

class SideChannelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetBorderStyle(gui::bsNone);
        form.SetBounds(40, 40, 400, 300);
        form.SetColor(0x336699);
        form.Show();
        channel = new ProbedChannel(&form);
        channel->SetParent(&form);
        channel->SetWidth(163);
        channel->SetSideBarWidth(10);
        channel->SetCaption("Styles");
        channel->OnResize = [this](gui::Component*) { widths.push_back(CurrentWidth(*channel)); };
        channel->OnPop = [this](gui::Component*) {
            ++pops;
            probesAtPop = channel->probes;
        };
        channel->OnPush = [this](gui::Component*) { ++pushes; };
        gui::App().ProcessMessages();
    }
    void HoverBar() { channel->SideBar()->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(3, 40)); }
    // Handles messages until the channel has closed (or a few seconds have gone, which fails).
    bool WaitForPush() {
        const DWORD start = GetTickCount();
        while (pushes == 0 && GetTickCount() - start < 5000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            gui::App().ProcessMessages();
        }
        return pushes == 1;
    }

    gui::Form form{nullptr};
    ProbedChannel* channel = nullptr;
    std::vector<int> widths;
    int pops = 0;
    int pushes = 0;
    int probesAtPop = -1;
};

TEST_F(SideChannelTest, ANewChannelIsClosedToItsBar) {
    EXPECT_EQ(CurrentWidth(*channel), 10);
    EXPECT_EQ(channel->Width(), 163);
    EXPECT_FALSE(channel->IsOpen());
    EXPECT_FALSE(channel->PinButton()->Visible());
    EXPECT_EQ(channel->HeaderPanel()->Caption(), "");
    EXPECT_FALSE(channel->HideTimer()->Enabled());
    EXPECT_EQ(channel->HideTimer()->Interval(), 500u);
    EXPECT_EQ(channel->BarButton()->Width(), 8);
    EXPECT_EQ(channel->BarButton()->Height(), 172);
    EXPECT_EQ(channel->BarButton()->UIStyle(), TsuiUIStyle::Custom);
    EXPECT_EQ(channel->Align(), TsuiSideChannelAlign::suiLeft);
    EXPECT_EQ(static_cast<gui::Control*>(channel)->Align(), gui::alLeft);
    EXPECT_EQ(channel->SideBar()->Top(), 16) << "the bar lies under the header";
}

TEST_F(SideChannelTest, HoveringTheBarOpensInFifteenPixelStepsWithMessagesHandledBetween) {
    PostMessageW(channel->Handle(), kProbe, 0, 0);
    HoverBar();
    const std::vector<int> opening{25, 40, 55, 70, 85, 100, 115, 130, 145, 160, 163};
    EXPECT_EQ(widths, opening);
    EXPECT_EQ(pops, 1);
    EXPECT_EQ(probesAtPop, 1);
    EXPECT_TRUE(channel->PinButton()->Visible());
    EXPECT_EQ(channel->HeaderPanel()->Caption(), "Styles");
    EXPECT_TRUE(channel->HideTimer()->Enabled());
    EXPECT_EQ(channel->PinButton()->Left(), 163 - 20) << "flush right in the header";

    HoverBar(); // already open: nothing
    EXPECT_EQ(pops, 1);

    widths.clear();
    channel->PushIn(false);
    const std::vector<int> closing{148, 133, 118, 103, 88, 73, 58, 43, 28, 13, 10};
    EXPECT_EQ(widths, closing);
    EXPECT_EQ(pushes, 1);
    EXPECT_FALSE(channel->PinButton()->Visible());
    EXPECT_FALSE(channel->HideTimer()->Enabled());
}

TEST_F(SideChannelTest, QuickMoveJumpsInOneStepWithoutHandlingMessages) {
    channel->SetQuickMove(true);
    PostMessageW(channel->Handle(), kProbe, 0, 0);
    HoverBar();
    EXPECT_EQ(widths, std::vector<int>{163});
    EXPECT_EQ(probesAtPop, 0);
}

TEST_F(SideChannelTest, TheCursorIsInsideOnlyStrictlyWithinTheChannel) {
    channel->SetQuickMove(true);
    HoverBar();
    const POINT origin = channel->ClientToScreen(POINT{0, 0});
    const int h = channel->Height();
    EXPECT_TRUE(channel->ContainsScreenPoint({origin.x + 1, origin.y + 1}));
    EXPECT_TRUE(channel->ContainsScreenPoint({origin.x + 162, origin.y + h - 1}));
    EXPECT_FALSE(channel->ContainsScreenPoint({origin.x, origin.y + 5})) << "leftmost column";
    EXPECT_FALSE(channel->ContainsScreenPoint({origin.x + 5, origin.y})) << "top row";
    EXPECT_FALSE(channel->ContainsScreenPoint({origin.x + 163, origin.y + 5}));
    EXPECT_FALSE(channel->ContainsScreenPoint({origin.x + 5, origin.y + h}));
}

TEST_F(SideChannelTest, LeavingAnOpenChannelClosesItOnTheNextTickOfTheHideTimer) {
    channel->SetQuickMove(true);
    HoverBar();
    const POINT origin = channel->ClientToScreen(POINT{0, 0});
    SetCursorPos(origin.x + 300, origin.y + 100);
    EXPECT_TRUE(channel->HideTimer()->Enabled());
    EXPECT_EQ(channel->HideTimer()->Interval(), 500u);
    ASSERT_TRUE(WaitForPush());
    EXPECT_EQ(CurrentWidth(*channel), 10);
}

TEST_F(SideChannelTest, PinningKeepsItOpenWithTheTimerOffAndUnpinningStartsTheTimerAgain) {
    channel->SetQuickMove(true);
    HoverBar();
    channel->PinButton()->Click();
    EXPECT_TRUE(channel->StayOn());
    EXPECT_TRUE(channel->PinButton()->Down());
    EXPECT_FALSE(channel->HideTimer()->Enabled());
    EXPECT_EQ(channel->PinButton()->Glyph().Width(), 8) << "the pressed pin";
    EXPECT_TRUE(channel->IsOpen());

    channel->PinButton()->Click();
    EXPECT_FALSE(channel->StayOn());
    EXPECT_TRUE(channel->HideTimer()->Enabled());
    EXPECT_EQ(channel->PinButton()->Glyph().Width(), 7) << "the loose pin";
    EXPECT_TRUE(channel->IsOpen());
    EXPECT_EQ(pops, 1);
    EXPECT_EQ(pushes, 0);
}

TEST_F(SideChannelTest, StayOnOpensPinnedAndItsClearingClosesAtOnce) {
    channel->SetStayOn(true);
    EXPECT_EQ(widths.back(), 163);
    EXPECT_GT(widths.size(), 2u) << "opened by sliding";
    EXPECT_TRUE(channel->PinButton()->Down());
    EXPECT_FALSE(channel->HideTimer()->Enabled());
    widths.clear();
    channel->SetStayOn(false);
    EXPECT_EQ(widths, std::vector<int>{10});
    EXPECT_FALSE(channel->PinButton()->Down());
    EXPECT_EQ(pops, 1);
    EXPECT_EQ(pushes, 1);
}

TEST_F(SideChannelTest, InClickModeHoverDoesNothingAndAClickOnTheBarOpens) {
    channel->SetPopupMode(TsuiSideChannelPopupMode::suiMouseClick);
    channel->SetQuickMove(true);
    HoverBar();
    EXPECT_FALSE(channel->IsOpen());
    HWND bar = channel->BarButton()->Handle();
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 50));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(3, 50));
    EXPECT_TRUE(channel->IsOpen());
    EXPECT_EQ(pops, 1);
}

TEST_F(SideChannelTest, AnOpenChannelRefusesWidthsBelowFiftyAndRemembersTheOthers) {
    channel->SetQuickMove(true);
    HoverBar();
    static_cast<gui::Control*>(channel)->SetWidth(49);
    EXPECT_EQ(CurrentWidth(*channel), 163);
    static_cast<gui::Control*>(channel)->SetWidth(50);
    EXPECT_EQ(CurrentWidth(*channel), 50);
    EXPECT_EQ(channel->Width(), 50);
    channel->PushIn(true);
    HoverBar();
    EXPECT_EQ(CurrentWidth(*channel), 50);
}

TEST_F(SideChannelTest, DockedRightTheBarStaysOnTheLeftAndAStyleWalkColoursIt) {
    channel->SetAlign(TsuiSideChannelAlign::suiRight);
    EXPECT_EQ(static_cast<gui::Control*>(channel)->Align(), gui::alRight);
    EXPECT_EQ(channel->Left(), 400 - 10);
    EXPECT_EQ(channel->SideBar()->Left(), 0);
    ApplyStyleToChildren(&form, TsuiUIStyle::Protein);
    EXPECT_EQ(channel->Color(), GetThemeColor(TsuiUIStyle::Protein, thControlColor));
    EXPECT_EQ(channel->SideBarColor(), GetThemeColor(TsuiUIStyle::Protein, thControlColor));
    EXPECT_EQ(channel->HeaderPanel()->Color(), channel->SideBarColor());
}

TEST_F(SideChannelTest, TenThousandPaintsLeaveNoGdiObjectBehind) {
    channel->SetQuickMove(true);
    HoverBar();
    gui::Bitmap target(163, 300);
    const auto dc = reinterpret_cast<WPARAM>(target.Canvas().Handle());
    channel->Perform(WM_PAINT, dc, 0);
    const long before = gui::LiveGdiObjectCount();
    for (int i = 0; i < 10000; ++i)
        channel->Perform(WM_PAINT, dc, 0);
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
}

} // namespace
