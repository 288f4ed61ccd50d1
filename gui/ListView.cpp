#include "gui/ListView.h"

#include <commctrl.h>

#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/Text.h"

namespace gui {

namespace {
DWORD ViewStyleBits(TViewStyle style) {
    switch (style) {
    case vsIcon:
        return LVS_ICON;
    case vsSmallIcon:
        return LVS_SMALLICON;
    case vsList:
        return LVS_LIST;
    default:
        return LVS_REPORT;
    }
}
} // namespace

ListView::ListView(Component* owner) : NativeControl(owner) {
    StoreBounds(0, 0, 250, 150);
}

void ListView::SetViewStyle(TViewStyle style) {
    viewStyle_ = style;
    if (!HandleAllocated()) return;
    const LONG_PTR bits = GetWindowLongPtrW(Handle(), GWL_STYLE);
    SetWindowLongPtrW(Handle(), GWL_STYLE,
                      (bits & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ViewStyleBits(style));
}

void ListView::CheckItem(int index) const {
    if (index < 0 || index >= ItemCount())
        throw Exception("List index out of bounds (" + IntToStr(index) + ")");
}

const ListColumn& ListView::Column(int index) const {
    if (index < 0 || index >= ColumnCount())
        throw Exception("List index out of bounds (" + IntToStr(index) + ")");
    return columns_[static_cast<size_t>(index)];
}

int ListView::AddColumn(const std::string& caption, int width) {
    columns_.push_back(ListColumn{caption, width});
    const int index = ColumnCount() - 1;
    InsertColumnInWindow(index);
    // Items added before the column show its text now.
    for (int i = 0; HandleAllocated() && index > 0 && i < ItemCount(); ++i) {
        const auto& sub = items_[static_cast<size_t>(i)].SubItems;
        if (static_cast<size_t>(index - 1) >= sub.size()) continue;
        std::wstring text = Utf8ToWide(sub[static_cast<size_t>(index - 1)]);
        LVITEMW item{};
        item.iSubItem = index;
        item.pszText = text.data();
        SendToWindow(LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    return index;
}

const ListItem& ListView::Item(int index) const {
    CheckItem(index);
    return items_[static_cast<size_t>(index)];
}

int ListView::AddItem(const std::string& caption, const std::vector<std::string>& subItems) {
    items_.push_back(ListItem{caption, subItems});
    const int index = ItemCount() - 1;
    InsertItemInWindow(index);
    return index;
}

void ListView::SetItemCaption(int index, const std::string& caption) {
    CheckItem(index);
    items_[static_cast<size_t>(index)].Caption = caption;
    std::wstring text = Utf8ToWide(caption);
    LVITEMW item{};
    item.pszText = text.data();
    SendToWindow(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ListView::DeleteItem(int index) {
    CheckItem(index);
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index) itemIndex_ = -1;
    if (itemIndex_ > index) --itemIndex_;
    SendToWindow(LVM_DELETEITEM, static_cast<WPARAM>(index));
}

void ListView::ClearItems() {
    items_.clear();
    itemIndex_ = -1;
    SendToWindow(LVM_DELETEALLITEMS);
}

int ListView::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    return static_cast<int>(
        const_cast<ListView*>(this)->SendToWindow(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::SetItemIndex(int index) {
    if (index < -1 || index >= ItemCount()) index = -1;
    itemIndex_ = index;
    if (!HandleAllocated()) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendToWindow(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (index < 0) return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendToWindow(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

void ListView::CreateParamsFor(CreateParams& params) {
    NativeControl::CreateParamsFor(params);
    params.ClassName = L"NimbreListView";
    params.BaseClassName = WC_LISTVIEWW;
    params.Style |= ViewStyleBits(viewStyle_) | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
}

void ListView::InsertColumnInWindow(int index) {
    if (!HandleAllocated()) return;
    const ListColumn& c = columns_[static_cast<size_t>(index)];
    std::wstring text = Utf8ToWide(c.Caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = c.Width;
    column.iSubItem = index;
    SendToWindow(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void ListView::InsertItemInWindow(int index) {
    if (!HandleAllocated()) return;
    const ListItem& source = items_[static_cast<size_t>(index)];
    std::wstring text = Utf8ToWide(source.Caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    SendToWindow(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t s = 0; s < source.SubItems.size() && static_cast<int>(s) + 1 < ColumnCount(); ++s) {
        std::wstring sub = Utf8ToWide(source.SubItems[s]);
        LVITEMW subItem{};
        subItem.iSubItem = static_cast<int>(s) + 1;
        subItem.pszText = sub.data();
        SendToWindow(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&subItem));
    }
}

void ListView::SetColors() {
    SendToWindow(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    SendToWindow(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    SendToWindow(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font().Color())));
}

void ListView::CreateHandle() {
    NativeControl::CreateHandle();
    SendToWindow(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SetColors();
    for (int i = 0; i < ColumnCount(); ++i)
        InsertColumnInWindow(i);
    for (int i = 0; i < ItemCount(); ++i)
        InsertItemInWindow(i);
    SetItemIndex(itemIndex_);
}

void ListView::WndProc(Message& msg) {
    switch (msg.Msg) {
    case CN_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(msg.LParam);
        if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(msg.LParam);
            if ((change->uChanged & LVIF_STATE) != 0 &&
                ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0) {
                const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
                if (selected) itemIndex_ = change->iItem;
                if (OnSelectItem) OnSelectItem(this, change->iItem, selected);
            }
        } else if (header->code == NM_CLICK) {
            Click();
        }
        msg.Result = 0;
        return;
    }
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        NativeControl::WndProc(msg);
        SetColors();
        return;
    default:
        NativeControl::WndProc(msg);
        return;
    }
}

} // namespace gui
