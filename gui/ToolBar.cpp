#include "gui/ToolBar.h"

#include <utility>

#include "gui/Canvas.h"
#include "gui/GdiObject.h"
#include "gui/MainMenu.h"
#include "gui/MenuList.h"

#include <cctype>

namespace gui {

namespace {

constexpr int kCaptionMargin = 8;

} // namespace

ToolBar::ToolBar(Component* owner) : CustomControl(owner) {
    SetAlign(alTop);
    SetHeight(buttonHeight_);
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
    WindowDC screen(nullptr);
    measure.SetHandle(screen.Get());
    measure.SetFont(Font());
    int x = 0;
    for (ToolButton& button : buttons_) {
        const int w = measure.TextWidth(button.Caption) + 2 * kCaptionMargin;
        button.Bounds = RECT{x, 0, x + w, buttonHeight_};
        x += w;
    }
    measure.SetHandle(nullptr);
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
        if (item->Enabled() && item->OnClick) item->OnClick(this);
        return;
    }
    MenuItem* chosen = nullptr;
    if (PopupSubMenu) {
        ShowMenuState(index, index);
        const RECT& r = buttons_[static_cast<size_t>(index)].Bounds;
        chosen = PopupSubMenu(*item, ClientToScreen(POINT{r.left, r.bottom}));
        ShowMenuState(-1, -1);
    } else {
        MenuLoop loop(*this);
        chosen = loop.Run(index, true, false);
    }
    // The menu loop swallows the mouse's leaving: the hot button is where the cursor is now.
    POINT cursor{};
    GetCursorPos(&cursor);
    cursor = ScreenToClient(cursor);
    ShowMenuState(ButtonAt(cursor.x, cursor.y), -1);
    if (chosen && chosen->OnClick) chosen->OnClick(this);
}

bool ToolBar::MenuKey(unsigned ch) {
    if (ButtonCount() == 0 || !HandleAllocated() || !IsWindowVisible(Handle())) return false;
    int index = 0;
    if (ch != 0) {
        const unsigned key = static_cast<unsigned>(std::toupper(static_cast<int>(ch & 0xFF)));
        index = -1;
        for (int i = 0; i < ButtonCount() && index < 0; ++i)
            if (buttons_[static_cast<size_t>(i)].Item &&
                buttons_[static_cast<size_t>(i)].Item->AccessKey() == key)
                index = i;
        if (index < 0) return false;
        MenuItem* item = buttons_[static_cast<size_t>(index)].Item;
        if (item->Count() == 0) {
            if (item->Enabled() && item->OnClick) item->OnClick(this);
            return true;
        }
    }
    MenuLoop loop(*this);
    MenuItem* chosen = loop.Run(index, ch != 0, true);
    if (chosen && chosen->OnClick) chosen->OnClick(this);
    return true;
}

void ToolBar::ShowMenuState(int hot, int pressed) {
    if (hot == hot_ && pressed == pressed_) return;
    hot_ = hot;
    pressed_ = pressed;
    Repaint();
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
