// The side channel: a container docked at the left or right edge of its parent that folds
// down to a narrow bar and slides open when the cursor touches the bar (or the bar is
// clicked). Open, it shows a header with its caption and a pin button; pinned it stays open,
// otherwise it closes again once the cursor has left it.
#pragma once

#include <cstdint>
#include <string>

#include "gui/Panel.h"
#include "gui/Types.h"

namespace gui {
class SpeedButton;
class Timer;
} // namespace gui

namespace sui {

class TsuiButton;

enum class TsuiSideChannelAlign : std::uint8_t { suiLeft, suiRight };
enum class TsuiSideChannelPopupMode : std::uint8_t { suiMouseOn, suiMouseClick };

// Open and close move the edge by this many pixels a step.
constexpr int kSideChannelStep = 15;
// An open channel is never made narrower than this by a resize.
constexpr int kSideChannelMinWidth = 50;

class TsuiSideChannel : public gui::Panel {
  public:
    // Docked left, opened by the mouse, closed (as wide as its bar), in the owner form's colour.
    explicit TsuiSideChannel(gui::Component* owner);
    ~TsuiSideChannel() override;

    // The parts, for layouts and tests.
    gui::Panel* SideBar() const { return sideBar_; }
    gui::Panel* HeaderPanel() const { return headerPanel_; }
    gui::SpeedButton* PinButton() const { return pinButton_; }
    TsuiButton* BarButton() const { return barButton_; }
    gui::Timer* HideTimer() const { return hideTimer_; }

    // The width when open. The control's real width (gui::Control::Width) is SideBarWidth
    // while closed; a resize of the open channel (50 or more) becomes the new open width.
    int Width() const { return expandedWidth_; }
    void SetWidth(int width);
    int SideBarWidth() const;
    // Sets the bar's width and closes the channel at once.
    void SetSideBarWidth(int width);
    gui::TColor SideBarColor() const;
    // The colour of the bar and of the header.
    void SetSideBarColor(gui::TColor color);
    // Shown in the header while open.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The header's font and text alignment.
    gui::Font& Font() const;
    void SetFont(const gui::Font& font);
    gui::TAlignment Alignment() const;
    void SetAlignment(gui::TAlignment alignment);
    TsuiSideChannelAlign Align() const { return align_; }
    void SetAlign(TsuiSideChannelAlign align);
    // Pinned open: True opens the channel, False closes it at once.
    bool StayOn() const { return stayOn_; }
    void SetStayOn(bool stayOn);
    TsuiSideChannelPopupMode PopupMode() const { return popupMode_; }
    void SetPopupMode(TsuiSideChannelPopupMode mode) { popupMode_ = mode; }
    // Open and close in one step.
    bool QuickMove() const { return quickMove_; }
    void SetQuickMove(bool quick) { quickMove_ = quick; }
    bool Animating() const { return animating_; }
    // Open: the pin button and the caption show and the channel has its open width.
    bool IsOpen() const { return open_; }

    // Slides open (or jumps with quick) in steps of 15 pixels, letting the application handle
    // its messages between steps, and lands exactly on the open width; OnPop when it was closed.
    void PopOut(bool quick);
    // Slides shut the same way down to the bar's width; OnPush when it was open.
    void PushIn(bool quick);
    // Strictly inside the channel's current bounds: its leftmost column and top row are outside.
    bool ContainsScreenPoint(POINT screen) const;

    // Raised once the channel has opened, and once it has closed. The framework's OnResize
    // and OnCanResize are the application's: the channel's own hooks run around them.
    gui::TNotifyEvent OnPop;
    gui::TNotifyEvent OnPush;

  protected:
    // Remembers a resize of the open channel as its open width, then OnResize.
    void Resize() override;
    // OnCanResize first; then an open channel refuses a width below 50.
    bool CanResize(int& newWidth, int& newHeight) override;

  private:
    void SideBarMouseMove();
    void SideBarClick();
    void HideTimerTimer();
    void PinButtonClick();
    void SetPinGlyph(bool down);
    void SetCurrentWidth(int width);
    void RedrawStep();

    gui::Panel* sideBar_ = nullptr;
    gui::Panel* headerPanel_ = nullptr;
    gui::SpeedButton* pinButton_ = nullptr;
    TsuiButton* barButton_ = nullptr;
    gui::Timer* hideTimer_ = nullptr;
    int expandedWidth_ = 0;
    bool animating_ = false;
    bool open_ = false;
    std::string caption_;
    TsuiSideChannelAlign align_ = TsuiSideChannelAlign::suiLeft;
    bool stayOn_ = false;
    TsuiSideChannelPopupMode popupMode_ = TsuiSideChannelPopupMode::suiMouseOn;
    bool quickMove_ = false;
};

} // namespace sui
