#include "gui/ListBox.h"

#include <commctrl.h>

#include "gui/Text.h"

namespace gui {

ListBox::ListBox(Component* owner) : NativeControl(owner), items_(std::make_unique<StringList>()) {
    StoreBounds(0, 0, 121, 97);
    items_->OnChange = [this] { ItemsChanged(); };
}

ListBox::~ListBox() {
    items_->OnChange = nullptr;
}

int ListBox::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    const auto index = static_cast<int>(const_cast<ListBox*>(this)->SendToWindow(LB_GETCURSEL));
    return index == LB_ERR ? -1 : index;
}

void ListBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    itemIndex_ = index;
    SendToWindow(LB_SETCURSEL, static_cast<WPARAM>(index));
}

int ListBox::ItemHeight() const {
    if (!HandleAllocated()) return 0;
    return static_cast<int>(const_cast<ListBox*>(this)->SendToWindow(LB_GETITEMHEIGHT));
}

int ListBox::ItemAtPos(POINT point) const {
    if (!HandleAllocated() || point.x < 0 || point.y < 0) return -1;
    const auto result = static_cast<DWORD>(
        const_cast<ListBox*>(this)->SendToWindow(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y)));
    if (HIWORD(result) != 0) return -1;
    const int index = LOWORD(result);
    return index < items_->Count() ? index : -1;
}

RECT ListBox::ItemRect(int index) const {
    RECT r{0, 0, 0, 0};
    if (HandleAllocated())
        const_cast<ListBox*>(this)->SendToWindow(LB_GETITEMRECT, static_cast<WPARAM>(index),
                                                 reinterpret_cast<LPARAM>(&r));
    return r;
}

void ListBox::CreateParamsFor(CreateParams& params) {
    NativeControl::CreateParamsFor(params);
    params.ClassName = L"NimbreListBox";
    params.BaseClassName = WC_LISTBOXW;
    params.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL;
}

void ListBox::CreateHandle() {
    NativeControl::CreateHandle();
    FillWindow();
}

void ListBox::FillWindow() {
    if (!HandleAllocated()) return;
    SendToWindow(WM_SETREDRAW, FALSE);
    SendToWindow(LB_RESETCONTENT);
    for (const std::string& item : items_->Items())
        SendToWindow(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
    SendToWindow(LB_SETCURSEL, static_cast<WPARAM>(itemIndex_ < items_->Count() ? itemIndex_ : -1));
    SendToWindow(WM_SETREDRAW, TRUE);
    Invalidate();
}

void ListBox::ItemsChanged() {
    itemIndex_ = ItemIndex();
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    FillWindow();
}

void ListBox::WndProc(Message& msg) {
    if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == LBN_SELCHANGE) {
        itemIndex_ = ItemIndex();
        Click();
        return;
    }
    NativeControl::WndProc(msg);
}

} // namespace gui
