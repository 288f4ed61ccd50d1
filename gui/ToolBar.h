// A flat bar of caption buttons along the top of its parent, one per menu item: a click (or the
// menu key of its form) opens the item's submenu under its button and runs the menu (MenuLoop). Drawing can
// be taken over per bar and per button.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/CustomControl.h"

namespace gui {

class MenuItem;

struct ToolButton {
    std::string Caption;
    MenuItem* Item = nullptr;
    RECT Bounds{0, 0, 0, 0};
};

class ToolBar : public CustomControl {
  public:
    explicit ToolBar(Component* owner);

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    const ToolButton& Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)); }
    // A button bound to the item, sized to its caption, after the others.
    void AddButton(MenuItem* item);
    void ClearButtons();
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int height);
    // The button under the mouse and the button whose menu is open (-1: none).
    int HotButton() const { return hot_; }
    int PressedButton() const { return pressed_; }
    // The button at a client point, or -1.
    int ButtonAt(int x, int y) const;
    // Opens the submenu of the button's item under the button and runs the menu (as a click
    // does); a button whose item has no items runs the item's click.
    void ClickButton(int index);
    // The menu key (Alt or F10, ch 0) highlights the first button and runs the menu from the
    // keyboard; Alt with a letter opens the button with that access key. False when no button
    // took it.
    bool MenuKey(unsigned ch);
    // The looks of the buttons while a menu runs: the highlighted one and the one whose list is
    // open (-1: none).
    void ShowMenuState(int hot, int pressed);

    // Before the bar's own background; clearing defaultDraw leaves the background to the handler.
    std::function<void(ToolBar* bar, const RECT& rect, bool& defaultDraw)> OnCustomDraw;
    // Before each button; clearing defaultDraw leaves the button to the handler.
    std::function<void(ToolBar* bar, int index, bool hot, bool pressed, bool& defaultDraw)>
        OnCustomDrawButton;
    // When assigned, shows a button's submenu at a screen point instead of the menu loop and
    // returns the chosen item (null: none).
    std::function<MenuItem*(MenuItem& item, POINT screen)> PopupSubMenu;

  protected:
    void Paint() override;
    void WndProc(Message& msg) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

  private:
    void Layout();

    std::vector<ToolButton> buttons_;
    int buttonHeight_ = 22;
    int hot_ = -1;
    int pressed_ = -1;
};

} // namespace gui
