// A list box with a check box in front of every item, drawn by the control itself. A click on
// the check box or the space bar toggles the selected item's check.
#pragma once

#include <vector>

#include "gui/ListBox.h"

namespace gui {

class CheckListBox : public ListBox {
  public:
    explicit CheckListBox(Component* owner);

    // The check of an item. Checks belong to positions: they stay where they are when lines
    // are inserted or removed; new lines at the end come unchecked.
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    // Flat check boxes: a one-pixel frame instead of the sunken 3-D box.
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);

    // Raised after the user toggled a check.
    TNotifyEvent OnClickCheck;

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    void ItemsChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyPress(wchar_t& key) override;
    // Draws one item: the check box at the left, then the text.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

  private:
    void ToggleByUser(int index);
    void UpdateItemHeight();
    int CheckBoxSize() const;

    std::vector<bool> checks_;
    bool flat_ = false;
};

} // namespace gui
