// A list of text items, one of which can be selected, over the platform's list box.
#pragma once

#include <memory>

#include "gui/NativeControl.h"
#include "gui/StringList.h"

namespace gui {

class ListBox : public NativeControl {
  public:
    // 121 x 97, no items, nothing selected.
    explicit ListBox(Component* owner);
    ~ListBox() override;

    StringList& Items() { return *items_; }
    const StringList& Items() const { return *items_; }
    void SetItems(const StringList& items) { items_->Assign(items); }
    // The selected item, or -1. Setting it selects without raising OnClick.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The height of one row in pixels.
    int ItemHeight() const;
    // The item under a point of the client area, or -1.
    int ItemAtPos(POINT point) const;
    // Where an item lies in the client area.
    RECT ItemRect(int index) const;

    // OnClick: the selection changed through the mouse or the keyboard.

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    // The items changed: the window shows them anew, keeping the selection where it can.
    virtual void ItemsChanged();

  private:
    void FillWindow();

    std::unique_ptr<StringList> items_;
    int itemIndex_ = -1;
};

} // namespace gui
