#include "skin/SUITabControl.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/OffscreenPaint.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

constexpr int kEmptyTabWidth = 80;
constexpr int kCaptionPadding = 20;
constexpr int kRecordedTabs = kMaxTabWidths - 1;

void LoadOwnBitmap(gui::Bitmap& bitmap, const std::string& name) {
    bitmap.LoadFromResourceName(gui::App().ModuleHandle(), name);
}

} // namespace

// ===========================================================================
// TsuiTabControlTopPanel

TsuiTabControlTopPanel::TsuiTabControlTopPanel(gui::Component* owner, TsuiTabControl* tabControl)
    : gui::Panel(owner), tabs_(std::make_unique<gui::StringList>()), owner_(tabControl) {
    tabs_->Add("Tab1");
    tabs_->OnChange = [this] { Repaint(); };
    SetCaption(" ");
    SetBevelInner(gui::bvNone);
    SetBevelOuter(gui::bvNone);
    SetBorderWidth(0);
    SetAlign(gui::alTop);
    leftMargin_ = 10;
    tabIndex_ = 0;
}

TsuiTabControlTopPanel::~TsuiTabControlTopPanel() {
    tabs_->OnChange = nullptr;
}

void TsuiTabControlTopPanel::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    activeTabResName_ = GetThemeBitmapName(style, thTabActive);
    inactiveTabResName_ = GetThemeBitmapName(style, thTabInactive);
    tabLineResName_ = GetThemeBitmapName(style, thTabLine);
    SetHeight(GetThemeInteger(style, thTabHeight));
    Repaint();
}

void TsuiTabControlTopPanel::SetTabIndex(int index) {
    if (tabs_->Empty()) {
        tabIndex_ = -1;
        Repaint();
        return;
    }
    if (index < -1 || index >= tabs_->Count()) {
        Repaint();
        return;
    }
    tabIndex_ = index;
    Repaint();
    if (OnTabActive) OnTabActive(owner_ != nullptr ? static_cast<gui::Component*>(owner_) : this, tabIndex_);
}

void TsuiTabControlTopPanel::SetLeftMargin(int margin) {
    leftMargin_ = margin;
    Repaint();
}

// --- drawing ------------------------------------------------------------------

void TsuiTabControlTopPanel::Paint() {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) return;
    gui::OffscreenPaint paint(w, h);
    gui::Canvas& canvas = paint.Canvas();
    DrawParentBackground(canvas, owner_);

    gui::Bitmap active;
    gui::Bitmap inactive;
    gui::Bitmap line;
    LoadOwnBitmap(active, activeTabResName_);
    LoadOwnBitmap(inactive, inactiveTabResName_);
    LoadOwnBitmap(line, tabLineResName_);
    hitHeight_ = active.Height();

    // The line runs under all tabs, closed at both ends in the border colour.
    const int tabHeight = inactive.Height();
    const int lineBottom = tabHeight + line.Height();
    canvas.StretchDraw(gui::MakeRect(1, tabHeight, w - 1, lineBottom), line);
    canvas.Pen().SetColor(owner_ != nullptr ? owner_->BorderColor() : gui::clBlack);
    canvas.MoveTo(0, tabHeight);
    canvas.LineTo(0, lineBottom);
    canvas.MoveTo(w - 1, tabHeight);
    canvas.LineTo(w - 1, lineBottom);

    if (owner_ != nullptr) canvas.SetFont(owner_->Font());
    int x = leftMargin_;
    for (int i = 0; i < tabs_->Count(); ++i) {
        const std::string& caption = tabs_->Strings(i);
        const int tabWidth = caption.empty() ? kEmptyTabWidth : canvas.TextWidth(caption) + kCaptionPadding;
        if (i < kRecordedTabs) tabWidths_[static_cast<size_t>(i)] = tabWidth;
        // The active tab sits one pixel lower, over the top row of the line.
        RECT tab = i == tabIndex_ ? gui::MakeRect(x, 1, x + tabWidth, tabHeight + 1)
                                  : gui::MakeRect(x, 0, x + tabWidth, tabHeight);
        DrawThreePart(i == tabIndex_ ? active : inactive, canvas, tab, true);
        x += tabWidth;
        canvas.Brush().SetStyle(gui::bsClear);
        canvas.DrawText(caption, tab, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    paint.Present(Canvas().Handle());
}

void TsuiTabControlTopPanel::WndProc(gui::Message& msg) {
    if (msg.Msg == WM_ERASEBKGND) {
        msg.Result = 1; // composed off screen, never erased
        return;
    }
    gui::Panel::WndProc(msg);
}

// --- input --------------------------------------------------------------------

void TsuiTabControlTopPanel::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    Repaint();
    gui::Panel::MouseDown(button, shift, x, y);
    int left = leftMargin_;
    for (int i = 0; i < kMaxTabWidths && tabWidths_[static_cast<size_t>(i)] != 0; ++i) {
        const int right = left + tabWidths_[static_cast<size_t>(i)];
        if (left < x && x < right && 0 < y && y < hitHeight_) {
            SetTabIndex(i);
            return;
        }
        left = right;
    }
}

// ===========================================================================
// TsuiTabControl

TsuiTabControl::TsuiTabControl(gui::Component* owner)
    : gui::Panel(owner), font_(std::make_unique<gui::Font>()) {
    topPanel_ = CreateTopPanel();
    topPanel_->SetParent(this);
    topPanel_->OnTabActive = [this](gui::Component* sender, int index) {
        if (OnTabActive) OnTabActive(sender, index);
    };
    font_->OnChange = [this] { topPanel_->Repaint(); };
    SetCaption(" ");
    SetBevelInner(gui::bvNone);
    SetBevelOuter(gui::bvNone);
    SetBorderWidth(0);
    SetHeight(80);
    SetUIStyle(FindFormStyle(owner));
}

TsuiTabControl::~TsuiTabControl() {
    font_->OnChange = nullptr;
}

TsuiTabControlTopPanel* TsuiTabControl::CreateTopPanel() {
    return new TsuiTabControlTopPanel(this, this);
}

void TsuiTabControl::SetUIStyle(TsuiUIStyle style) {
    if (style == TsuiUIStyle::Custom) return;
    uiStyle_ = style;
    const gui::TColor face = GetThemeColor(style, thControlColor);
    topPanel_->SetColor(face);
    SetBorderColor(GetThemeColor(style, thControlBorderColor));
    topPanel_->SetUIStyle(style);
    SetColor(style == TsuiUIStyle::WinXP ? gui::clWhite : face);
    Repaint();
}

void TsuiTabControl::SetBorderColor(gui::TColor color) {
    borderColor_ = color;
    Repaint();
    topPanel_->Repaint();
}

void TsuiTabControl::SetFont(const gui::Font& font) {
    font_->Assign(font);
    topPanel_->Repaint();
}

void TsuiTabControl::SetTabIndex(int index) {
    topPanel_->SetTabIndex(index);
}

void TsuiTabControl::UpdateChildrenStyle(TsuiUIStyle style) {
    ApplyStyleToChildren(this, style);
}

// --- drawing ------------------------------------------------------------------

void TsuiTabControl::Paint() {
    const int w = Width();
    const int h = Height();
    const int top = topPanel_->Height();
    if (w <= 0 || h <= top) return;
    gui::OffscreenPaint paint(w, h);
    gui::Canvas& canvas = paint.Canvas();
    const RECT area = gui::MakeRect(0, top, ClientWidth(), ClientHeight());
    canvas.Brush().SetColor(Color());
    canvas.FillRect(area);
    canvas.Pen().SetColor(borderColor_);
    canvas.MoveTo(0, top);
    canvas.LineTo(0, h - 1);
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(w - 1, top - 1);
    paint.Present(Canvas().Handle(), area);
}

void TsuiTabControl::WndProc(gui::Message& msg) {
    if (msg.Msg == WM_ERASEBKGND) {
        msg.Result = 1; // the paint covers everything the strip does not
        return;
    }
    gui::Panel::WndProc(msg);
}

} // namespace sui
