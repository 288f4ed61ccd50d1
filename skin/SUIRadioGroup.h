// The check group: a group box holding one skinned check box per line of its Items, laid out
// column by column inside the frame, with one OnClick for the group and all its boxes.
#pragma once

#include <memory>
#include <vector>

#include "gui/StringList.h"
#include "skin/SUIButton.h"
#include "skin/SUIGroupBox.h"

namespace sui {

class TsuiCheckGroup : public TsuiCustomGroupBox {
  public:
    // Caption "suiCheckGroup", one column, a top margin of 8, opaque, the owner form's style.
    explicit TsuiCheckGroup(gui::Component* owner);
    ~TsuiCheckGroup() override;

    // One check box per line. The checks belong to the boxes, and the boxes to positions:
    // when lines are inserted or removed, the captions move and the checks stay.
    gui::StringList& Items() { return *items_; }
    void SetItems(const gui::StringList& items) { items_->Assign(items); }
    // The check boxes in line order (they belong to the group as components).
    int ItemCount() const { return static_cast<int>(boxes_.size()); }
    TsuiCheckBox* CheckBox(int index) const { return boxes_.at(static_cast<size_t>(index)); }

    // A negative value is ignored. 0 lays the boxes out in one column, as 1 does.
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    // Space above the first row, inside the content rectangle; a negative value is ignored.
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int margin);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // The group's colours, then every box's style and face colour.
    void SetUIStyle(TsuiUIStyle style);
    // The group's and every box's.
    void SetTransparent(bool transparent) override;
    // Frame, caption and face colours of the style; the boxes take the style from SetUIStyle.
    void UpdateChildrenStyle(TsuiUIStyle style) override;

    // OnClick: a click on the group's surface or on any of its boxes, with the group as sender.

  protected:
    // A new check box owned by the group.
    virtual TsuiCheckBox* CreateItem();
    void Resize() override;
    void Click() override;
    // Places the boxes: top to bottom in the first column, then the next.
    void ArrangeItems();

  private:
    void ItemsChanged();
    // Makes or destroys boxes until there is one per line, then captions them; true when
    // boxes were made.
    bool SyncItems();
    void GroupClick();

    std::unique_ptr<gui::StringList> items_;
    std::vector<TsuiCheckBox*> boxes_;
    int columns_ = 1;
    int topMargin_ = 8;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
};

} // namespace sui
