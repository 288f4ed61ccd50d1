#include "skin/SUISideChannel.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/FlagScope.h"
#include "gui/SpeedButton.h"
#include "gui/Timer.h"
#include "skin/SUIButton.h"
#include "skin/SUIResDef.h"
#include "skin/SUIThemes.h"

namespace sui {

namespace {

constexpr int kHeaderHeight = 16;
constexpr int kPinWidth = 20;
constexpr unsigned kHideInterval = 500;

} // namespace

TsuiSideChannel::TsuiSideChannel(gui::Component* owner) : gui::Panel(owner) {
    expandedWidth_ = gui::Control::Width();
    sideBar_ = new gui::Panel(this);
    headerPanel_ = new gui::Panel(this);
    pinButton_ = new gui::SpeedButton(this);
    barButton_ = new TsuiButton(this);

    headerPanel_->SetParent(this);
    headerPanel_->SetAlign(gui::alTop);
    headerPanel_->SetHeight(kHeaderHeight);
    headerPanel_->SetBevelInner(gui::bvNone);
    headerPanel_->SetBevelOuter(gui::bvNone);
    headerPanel_->OnMouseMove = [this](gui::Component*, gui::TShiftState, int, int) { SideBarMouseMove(); };
    headerPanel_->OnResize = [this](gui::Component*) {
        pinButton_->SetLeft(headerPanel_->Width() - pinButton_->Width());
    };

    sideBar_->SetParent(this);
    sideBar_->SetAlign(gui::alLeft);
    sideBar_->SetWidth(10);
    sideBar_->SetBevelInner(gui::bvNone);
    sideBar_->SetBevelOuter(gui::bvNone);
    sideBar_->OnMouseMove = [this](gui::Component*, gui::TShiftState, int, int) { SideBarMouseMove(); };
    sideBar_->OnClick = [this](gui::Component*) { SideBarClick(); };

    pinButton_->SetParent(headerPanel_);
    pinButton_->SetFlat(true);
    pinButton_->SetBounds(headerPanel_->Width() - kPinWidth, 0, kPinWidth, kHeaderHeight);
    pinButton_->SetGroupIndex(1);
    pinButton_->SetAllowAllUp(true);
    SetPinGlyph(false);
    pinButton_->OnClick = [this](gui::Component*) { PinButtonClick(); };

    barButton_->SetParent(sideBar_);
    barButton_->SetBounds(0, 0, barButton_->Width(), barButton_->Height());
    barButton_->SetUIStyle(TsuiUIStyle::Custom);
    barButton_->SetResHandle(nullptr);
    barButton_->SetPicNormalResName(res::SideChannelBarNormal);
    barButton_->SetPicMouseOnResName(res::SideChannelBarMouseOn);
    barButton_->SetPicMouseDownResName(res::SideChannelBarMouseOn);
    barButton_->SetTabStop(false);
    barButton_->SetAutoSize(true);
    barButton_->OnMouseMove = [this](gui::Component*, gui::TShiftState, int, int) { SideBarMouseMove(); };
    barButton_->OnClick = [this](gui::Component*) { SideBarClick(); };

    hideTimer_ = new gui::Timer(this);
    hideTimer_->SetEnabled(false);
    hideTimer_->SetInterval(kHideInterval);
    hideTimer_->OnTimer = [this](gui::Component*) { HideTimerTimer(); };

    animating_ = false;
    SetBevelOuter(gui::bvNone);
    SetAlign(TsuiSideChannelAlign::suiLeft);
    gui::Panel::SetCaption(" ");
    SetSideBarColor(gui::clBtnFace);
    popupMode_ = TsuiSideChannelPopupMode::suiMouseOn;
    quickMove_ = false;

    SetColor(FindFormColor(owner));
    SetSideBarColor(Color());
    if (!IsDesigning()) PushIn(true);
}

TsuiSideChannel::~TsuiSideChannel() {
    // The parts go with the channel's components; nothing may call back into it meanwhile.
    hideTimer_->SetEnabled(false);
    hideTimer_->OnTimer = nullptr;
    pinButton_->OnClick = nullptr;
    headerPanel_->OnResize = nullptr;
}

// --- properties -----------------------------------------------------------------

void TsuiSideChannel::SetWidth(int width) {
    expandedWidth_ = width;
    if (IsDesigning()) gui::Control::SetWidth(width);
}

int TsuiSideChannel::SideBarWidth() const {
    return sideBar_->Width();
}

void TsuiSideChannel::SetSideBarWidth(int width) {
    sideBar_->SetWidth(width);
    if (!IsDesigning()) PushIn(true);
}

gui::TColor TsuiSideChannel::SideBarColor() const {
    return sideBar_->Color();
}

void TsuiSideChannel::SetSideBarColor(gui::TColor color) {
    sideBar_->SetColor(color);
    headerPanel_->SetColor(color);
}

void TsuiSideChannel::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (IsDesigning()) headerPanel_->SetCaption(caption);
}

gui::Font& TsuiSideChannel::Font() const {
    return headerPanel_->Font();
}

void TsuiSideChannel::SetFont(const gui::Font& font) {
    headerPanel_->SetFont(font);
}

gui::TAlignment TsuiSideChannel::Alignment() const {
    return headerPanel_->Alignment();
}

void TsuiSideChannel::SetAlignment(gui::TAlignment alignment) {
    headerPanel_->SetAlignment(alignment);
}

void TsuiSideChannel::SetAlign(TsuiSideChannelAlign align) {
    align_ = align;
    gui::Panel::SetAlign(align == TsuiSideChannelAlign::suiLeft ? gui::alLeft : gui::alRight);
}

void TsuiSideChannel::SetStayOn(bool stayOn) {
    stayOn_ = stayOn;
    if (stayOn) {
        if (!IsDesigning()) PopOut(quickMove_);
        pinButton_->SetDown(true);
    } else {
        pinButton_->SetDown(false);
        if (!IsDesigning()) PushIn(true);
    }
    if (!IsDesigning()) PinButtonClick();
}

// --- opening and closing ----------------------------------------------------------

void TsuiSideChannel::SetCurrentWidth(int width) {
    gui::Control::SetWidth(width);
}

void TsuiSideChannel::RedrawStep() {
    Repaint();
    gui::App().ProcessMessages();
}

void TsuiSideChannel::PopOut(bool quick) {
    const bool wasOpen = open_;
    {
        gui::FlagScope scope(animating_);
        pinButton_->SetVisible(true);
        if (!quick) {
            while (gui::Control::Width() + kSideChannelStep < expandedWidth_) {
                SetCurrentWidth(gui::Control::Width() + kSideChannelStep);
                RedrawStep();
            }
        }
        SetCurrentWidth(expandedWidth_);
        Repaint();
        hideTimer_->SetEnabled(true);
    }
    open_ = true;
    headerPanel_->SetCaption(caption_);
    if (!wasOpen && OnPop) OnPop(this);
}

void TsuiSideChannel::PushIn(bool quick) {
    const bool wasOpen = open_;
    {
        gui::FlagScope scope(animating_);
        hideTimer_->SetEnabled(false);
        if (!quick) {
            while (SideBarWidth() < gui::Control::Width() - kSideChannelStep) {
                SetCurrentWidth(gui::Control::Width() - kSideChannelStep);
                RedrawStep();
            }
        }
        SetCurrentWidth(SideBarWidth());
        Repaint();
        pinButton_->SetVisible(false);
        headerPanel_->SetCaption("");
    }
    open_ = false;
    if (wasOpen && OnPush) OnPush(this);
}

bool TsuiSideChannel::ContainsScreenPoint(POINT p) const {
    const POINT topLeft = ClientToScreen(POINT{0, 0});
    const POINT bottomRight = ClientToScreen(POINT{gui::Control::Width(), Height()});
    return topLeft.x < p.x && p.x < bottomRight.x && topLeft.y < p.y && p.y < bottomRight.y;
}

// --- resize hooks -------------------------------------------------------------------

void TsuiSideChannel::Resize() {
    if (!animating_ && SideBarWidth() < gui::Control::Width()) expandedWidth_ = gui::Control::Width();
    gui::Panel::Resize();
}

bool TsuiSideChannel::CanResize(int& newWidth, int& newHeight) {
    bool resize = gui::Panel::CanResize(newWidth, newHeight);
    if (!animating_ && pinButton_->Visible() && newWidth < kSideChannelMinWidth) resize = false;
    return resize;
}

// --- handlers -----------------------------------------------------------------------

void TsuiSideChannel::SideBarMouseMove() {
    if (SideBarWidth() >= gui::Control::Width() && popupMode_ == TsuiSideChannelPopupMode::suiMouseOn)
        PopOut(quickMove_);
}

void TsuiSideChannel::SideBarClick() {
    if (popupMode_ == TsuiSideChannelPopupMode::suiMouseClick) PopOut(quickMove_);
}

void TsuiSideChannel::HideTimerTimer() {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (Parent() == nullptr || !ContainsScreenPoint(cursor)) PushIn(quickMove_);
}

void TsuiSideChannel::SetPinGlyph(bool down) {
    gui::Bitmap glyph;
    glyph.LoadFromResourceName(gui::App().ModuleHandle(),
                               down ? res::SideChannelBtnOnTop : res::SideChannelBtnNoOnTop);
    pinButton_->SetGlyph(glyph);
}

void TsuiSideChannel::PinButtonClick() {
    const bool down = pinButton_->Down();
    hideTimer_->SetEnabled(!down);
    SetPinGlyph(down);
    stayOn_ = down;
}

} // namespace sui
