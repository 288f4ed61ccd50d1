#include "gui/ComboBox.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/Font.h"
#include "gui/Text.h"

namespace gui {

ComboBox::ComboBox(Component* owner) : NativeControl(owner), items_(std::make_unique<StringList>()) {
    StoreBounds(0, 0, 145, 21);
    SetBorderStyle(bsNone); // the platform draws the combo box's own edge
    items_->OnChange = [this] { ItemsChanged(); };
}

ComboBox::~ComboBox() {
    items_->OnChange = nullptr;
}

int ComboBox::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    const auto index = static_cast<int>(const_cast<ComboBox*>(this)->SendToWindow(CB_GETCURSEL));
    return index == CB_ERR ? -1 : index;
}

void ComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_->Count()) index = -1;
    itemIndex_ = index;
    StoreCaption(index >= 0 ? (*items_)[index] : std::string());
    SendToWindow(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void ComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void ComboBox::SetDropDownCount(int count) {
    dropDownCount_ = std::max(1, count);
    BoundsChanged(false, true);
}

bool ComboBox::DroppedDown() const {
    return const_cast<ComboBox*>(this)->SendToWindow(CB_GETDROPPEDSTATE) != 0;
}

void ComboBox::SetDroppedDown(bool dropped) {
    SendToWindow(CB_SHOWDROPDOWN, dropped ? TRUE : FALSE);
}

int ComboBox::DropDownHeight() const {
    const int row = -Font().Height() + 4;
    return dropDownCount_ * std::max(row, 8) + 2;
}

void ComboBox::CreateParamsFor(CreateParams& params) {
    NativeControl::CreateParamsFor(params);
    params.ClassName = L"NimbreComboBox";
    params.BaseClassName = WC_COMBOBOXW;
    params.Style |=
        WS_VSCROLL | CBS_AUTOHSCROLL | (style_ == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    // The window's height given here is the field and the dropped-down list together.
    params.Height = Height() + DropDownHeight();
}

void ComboBox::CreateHandle() {
    NativeControl::CreateHandle();
    FillWindow();
}

void ComboBox::BoundsChanged(bool moved, bool resized) {
    NativeControl::BoundsChanged(moved, resized);
    if (resized && HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + DropDownHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::FillWindow() {
    if (!HandleAllocated()) return;
    const std::string text = Text();
    SendToWindow(CB_RESETCONTENT);
    for (const std::string& item : items_->Items())
        SendToWindow(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
    if (itemIndex_ >= 0 && itemIndex_ < items_->Count())
        SendToWindow(CB_SETCURSEL, static_cast<WPARAM>(itemIndex_));
    else if (style_ == csDropDown)
        SetWindowTextW(Handle(), Utf8ToWide(text).c_str());
}

void ComboBox::ItemsChanged() {
    itemIndex_ = ItemIndex();
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    FillWindow();
}

void ComboBox::WndProc(Message& msg) {
    if (msg.Msg == CN_COMMAND) {
        switch (HIWORD(msg.WParam)) {
        case CBN_SELCHANGE: {
            // The field does not show the picked text yet.
            itemIndex_ = ItemIndex();
            StoreCaption(itemIndex_ >= 0 ? (*items_)[itemIndex_] : WindowText());
            if (OnSelect) OnSelect(this);
            if (OnChange) OnChange(this);
            return;
        }
        case CBN_EDITCHANGE:
            StoreCaption(WindowText());
            itemIndex_ = -1;
            if (OnChange) OnChange(this);
            return;
        default:
            return;
        }
    }
    NativeControl::WndProc(msg);
}

} // namespace gui
