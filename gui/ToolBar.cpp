#include "gui/ToolBar.h"

#include <utility>

#include "gui/Canvas.h"
#include "gui/MainMenu.h"
#include "gui/PopupMenu.h"

namespace gui {

namespace {

constexpr int kCaptionMargin = 8;

} // namespace

ToolBar::ToolBar(Component* owner) : CustomControl(owner) {
    SetAlign(alTop);
    SetHeight(buttonHeight_);
    PopupSubMenu = TrackMenu;
}

void ToolBar::AddButton(MenuItem* item) {
    ToolButton button;
    button.Caption = item ? item->Caption() : std::string();
    button.Item = item;
    buttons_.push_back(std::move(button));
    Layout();
    Invalidate();
}

void ToolBar::ClearButtons() {
    buttons_.clear();
    hot_ = pressed_ = -1;
    Invalidate();
}

void ToolBar::SetButtonHeight(int height) {
    buttonHeight_ = height;
    Layout();
    Invalidate();
}

// Buttons side by side from the left, each as wide as its caption plus a margin either side.
void ToolBar::Layout() {
    gui::Canvas measure;
    HDC screen = GetDC(nullptr);
    measure.SetHandle(screen);
    measure.SetFont(Font());
    int x = 0;
    for (ToolButton& button : buttons_) {
        const int w = measure.TextWidth(button.Caption) + 2 * kCaptionMargin;
        button.Bounds = RECT{x, 0, x + w, buttonHeight_};
        x += w;
    }
    measure.SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
}

int ToolBar::ButtonAt(int x, int y) const {
    const POINT p{x, y};
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (PtInRect(&buttons_[i].Bounds, p)) return static_cast<int>(i);
    return -1;
}

void ToolBar::ClickButton(int index) {
    if (index < 0 || index >= ButtonCount()) return;
    MenuItem* item = buttons_[static_cast<size_t>(index)].Item;
    if (!item) return;
    if (item->Count() == 0) {
        if (item->OnClick) item->OnClick(this);
        return;
    }
    pressed_ = index;
    Repaint();
    const RECT& r = buttons_[static_cast<size_t>(index)].Bounds;
    MenuItem* chosen = PopupSubMenu ? PopupSubMenu(*item, ClientToScreen(POINT{r.left, r.bottom})) : nullptr;
    pressed_ = -1;
    // The menu loop swallows the mouse's leaving: the hot button is where the cursor is now.
    POINT cursor{};
    GetCursorPos(&cursor);
    cursor = ScreenToClient(cursor);
    hot_ = ButtonAt(cursor.x, cursor.y);
    Repaint();
    if (chosen && chosen->OnClick) chosen->OnClick(this);
}

void ToolBar::Paint() {
    gui::Canvas& canvas = Canvas();
    bool defaultDraw = true;
    const RECT client = ClientRect();
    if (OnCustomDraw) OnCustomDraw(this, client, defaultDraw);
    if (defaultDraw) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }
    for (int i = 0; i < ButtonCount(); ++i) {
        bool drawButton = true;
        if (OnCustomDrawButton) OnCustomDrawButton(this, i, i == hot_, i == pressed_, drawButton);
        if (!drawButton) continue;
        RECT r = buttons_[static_cast<size_t>(i)].Bounds;
        canvas.SetFont(Font());
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(buttons_[static_cast<size_t>(i)].Caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void ToolBar::WndProc(Message& msg) {
    if (msg.Msg == CM_MOUSELEAVE && hot_ != -1) {
        hot_ = -1;
        Invalidate();
    }
    CustomControl::WndProc(msg);
}

void ToolBar::MouseMove(TShiftState shift, int x, int y) {
    CustomControl::MouseMove(shift, x, y);
    const int hot = ButtonAt(x, y);
    if (hot != hot_) {
        hot_ = hot;
        Invalidate();
    }
}

void ToolBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    CustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft) ClickButton(ButtonAt(x, y));
}

} // namespace gui
