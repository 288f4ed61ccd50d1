// A text field with a drop-down list of items, over the platform's combo box.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/NativeControl.h"
#include "gui/StringList.h"

namespace gui {

// csDropDown: the text can be typed or picked; csDropDownList: only picked.
enum TComboBoxStyle : std::uint8_t { csDropDown, csDropDownList };

class ComboBox : public NativeControl {
  public:
    // 145 wide (the height is the platform's for the font), csDropDown, 8 rows dropped down.
    explicit ComboBox(Component* owner);
    ~ComboBox() override;

    StringList& Items() { return *items_; }
    const StringList& Items() const { return *items_; }
    void SetItems(const StringList& items) { items_->Assign(items); }
    // The selected item, or -1. Setting it shows that item's text without raising events.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Re-creates the window.
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    bool DroppedDown() const;
    void SetDroppedDown(bool dropped);
    bool WantsChars() const override { return true; }

    // The text changed (typed, or an item picked).
    TNotifyEvent OnChange;
    // An item was picked from the list, with the mouse or the keyboard.
    TNotifyEvent OnSelect;

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    void BoundsChanged(bool moved, bool resized) override;

  private:
    void FillWindow();
    void ItemsChanged();
    int DropDownHeight() const;

    std::unique_ptr<StringList> items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
};

} // namespace gui
