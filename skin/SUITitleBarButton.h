// The window buttons of a title bar and their collection. A button's size and hot area are
// those of its normal picture.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Picture.h"
#include "skin/SUIThemes.h"

namespace gui {
class PopupMenu;
}

namespace sui {

class TsuiTitleBar;
class TsuiTitleBarButtons;

enum class TsuiTitleBarBtnType : std::uint8_t { suiMax, suiMin, suiClose, suiHelp, suiControlBox, suiCustom };

class TsuiTitleBarButton {
  public:
    explicit TsuiTitleBarButton(TsuiTitleBarButtons* collection);
    TsuiTitleBarButton(const TsuiTitleBarButton&) = delete;
    TsuiTitleBarButton& operator=(const TsuiTitleBarButton&) = delete;

    TsuiTitleBarButtons* Collection() const { return collection_; }
    int Index() const;

    // Only one button of a bar can be the control box. Loads the type's pictures.
    TsuiTitleBarBtnType ButtonType() const { return buttonType_; }
    void SetButtonType(TsuiTitleBarBtnType type);
    // Draw the picture with its lower-left pixel's colour left out.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    int Top() const { return top_; }
    void SetTop(int top);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    // Opened under the left end of the bar by a control-box button.
    gui::PopupMenu* ControlBoxMenu() const { return controlBoxMenu_; }
    void SetControlBoxMenu(gui::PopupMenu* menu) { controlBoxMenu_ = menu; }

    // The button's own pictures; a layout loads into them directly.
    gui::Picture& PicNormal() { return picNormal_; }
    gui::Picture& PicMouseOn() { return picMouseOn_; }
    gui::Picture& PicMouseDown() { return picMouseDown_; }
    const gui::Picture& PicNormal() const { return picNormal_; }
    const gui::Picture& PicMouseOn() const { return picMouseOn_; }
    const gui::Picture& PicMouseDown() const { return picMouseDown_; }
    // Only custom and control-box buttons take pictures of their own; the standard buttons
    // always show their style's.
    void SetPicNormal(const gui::Picture& picture);
    void SetPicMouseOn(const gui::Picture& picture);
    void SetPicMouseDown(const gui::Picture& picture);

    // The button's window action: maximise or restore, minimise, close, the control-box menu.
    void DoClick();

    // Takes every property of other without the design checks (a stored layout).
    void Assign(const TsuiTitleBarButton& other);

  private:
    void SetPicture(gui::Picture& target, const gui::Picture& picture);
    void LoadStylePictures();
    void LoadMaxOrRestorePictures();
    void LoadPictures(TsuiThemeSlot normal, TsuiThemeSlot mouseOn, TsuiThemeSlot mouseDown);
    TsuiTitleBar* Bar() const;
    void Changed();

    TsuiTitleBarButtons* collection_;
    TsuiTitleBarBtnType buttonType_ = TsuiTitleBarBtnType::suiCustom;
    bool transparent_ = false;
    int top_ = 2;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    gui::PopupMenu* controlBoxMenu_ = nullptr;
    gui::Picture picNormal_;
    gui::Picture picMouseOn_;
    gui::Picture picMouseDown_;
};

// The buttons of one bar; the first non-control-box button is the rightmost. Every change
// repaints the bar.
class TsuiTitleBarButtons {
  public:
    explicit TsuiTitleBarButtons(TsuiTitleBar* bar) : bar_(bar) {}
    TsuiTitleBarButtons(const TsuiTitleBarButtons&) = delete;
    TsuiTitleBarButtons& operator=(const TsuiTitleBarButtons&) = delete;

    TsuiTitleBar* Bar() const { return bar_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TsuiTitleBarButton& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    TsuiTitleBarButton& Add();
    void Delete(int index);
    void Clear();
    // Replaces the items with copies of other's.
    void Assign(const TsuiTitleBarButtons& other);
    int IndexOf(const TsuiTitleBarButton* button) const;

    // Repaints the bar.
    void Changed();

  private:
    TsuiTitleBar* bar_;
    std::vector<std::unique_ptr<TsuiTitleBarButton>> items_;
};

} // namespace sui
