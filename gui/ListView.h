// Items in rows with columns (or as a list), over the platform's list view.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/NativeControl.h"

namespace gui {

enum TViewStyle : std::uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };

struct ListColumn {
    std::string Caption;
    int Width = 50;
};

struct ListItem {
    std::string Caption;
    // The texts of the second and further columns.
    std::vector<std::string> SubItems;
};

// index: the item whose selection changed; selected: its new state.
using TLVSelectItemEvent = std::function<void(Component* sender, int index, bool selected)>;

class ListView : public NativeControl {
  public:
    // 250 x 150, report view (rows with column headers), whole rows selected, one at a time.
    explicit ListView(Component* owner);

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const ListColumn& Column(int index) const;
    // Appends a column; returns its index.
    int AddColumn(const std::string& caption, int width);

    int ItemCount() const { return static_cast<int>(items_.size()); }
    const ListItem& Item(int index) const;
    // Appends an item; returns its index.
    int AddItem(const std::string& caption, const std::vector<std::string>& subItems = {});
    void SetItemCaption(int index, const std::string& caption);
    void DeleteItem(int index);
    void ClearItems();

    // The selected item, or -1.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // Raised when an item becomes selected or loses the selection.
    TLVSelectItemEvent OnSelectItem;
    // OnClick: a click on the list (NM_CLICK).

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;

  private:
    void CheckItem(int index) const;
    void InsertColumnInWindow(int index);
    void InsertItemInWindow(int index);
    void SetColors();

    TViewStyle viewStyle_ = vsReport;
    std::vector<ListColumn> columns_;
    std::vector<ListItem> items_;
    int itemIndex_ = -1;
};

} // namespace gui
