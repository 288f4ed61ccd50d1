#include "skin/SUIRadioGroup.h"

#include "gui/Font.h"

namespace sui {

TsuiCheckGroup::TsuiCheckGroup(gui::Component* owner)
    : TsuiCustomGroupBox(owner), items_(std::make_unique<gui::StringList>()) {
    items_->OnChange = [this] { ItemsChanged(); };
    SetCaption("suiCheckGroup");
    SetUIStyle(FindFormStyle(owner));
    SetTransparent(false);
}

TsuiCheckGroup::~TsuiCheckGroup() {
    items_->OnChange = nullptr;
}

void TsuiCheckGroup::SetColumns(int columns) {
    if (columns < 0) return;
    columns_ = columns;
    ArrangeItems();
}

void TsuiCheckGroup::SetTopMargin(int margin) {
    if (margin < 0) return;
    topMargin_ = margin;
    ArrangeItems();
}

void TsuiCheckGroup::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    UpdateChildrenStyle(style);
    for (TsuiCheckBox* box : boxes_) {
        box->SetUIStyle(style);
        box->SetColor(GetThemeColor(style, thControlColor));
    }
}

void TsuiCheckGroup::SetTransparent(bool transparent) {
    TsuiCustomGroupBox::SetTransparent(transparent);
    for (TsuiCheckBox* box : boxes_)
        box->SetTransparent(transparent);
}

void TsuiCheckGroup::UpdateChildrenStyle(TsuiUIStyle style) {
    SetBorderColor(GetThemeColor(style, thControlBorderColor));
    Font().SetColor(GetThemeColor(style, thControlFontColor));
    SetColor(GetThemeColor(style, thControlColor));
}

TsuiCheckBox* TsuiCheckGroup::CreateItem() {
    return new TsuiCheckBox(this);
}

void TsuiCheckGroup::Resize() {
    TsuiCustomGroupBox::Resize();
    ArrangeItems();
}

void TsuiCheckGroup::Click() {
    GroupClick();
}

void TsuiCheckGroup::GroupClick() {
    if (OnClick) OnClick(this);
}

void TsuiCheckGroup::ItemsChanged() {
    const bool created = SyncItems();
    ArrangeItems();
    if (created) {
        // Once more through the setter: the new boxes take the transparency and repaint.
        SetTransparent(!Transparent());
        SetTransparent(!Transparent());
    }
}

bool TsuiCheckGroup::SyncItems() {
    int d = items_->Count() - ItemCount();
    const bool created = d > 0;
    for (; d > 0; --d) {
        TsuiCheckBox* box = CreateItem();
        box->SetParent(this);
        box->SetAutoSize(true);
        box->SetUIStyle(uiStyle_);
        box->SetTransparent(Transparent());
        box->OnClick = [this](gui::Component*) { GroupClick(); };
        boxes_.push_back(box);
    }
    for (; d < 0; ++d) {
        TsuiCheckBox* last = boxes_.back();
        boxes_.pop_back();
        delete last;
    }
    for (int i = 0; i < ItemCount(); ++i)
        boxes_[static_cast<size_t>(i)]->SetCaption((*items_)[i]);
    return created;
}

void TsuiCheckGroup::ArrangeItems() {
    if (boxes_.empty()) return;
    const int columns = columns_ > 0 ? columns_ : 1;
    const RECT r = ContentRect();
    const int top = r.top + topMargin_;
    const int count = ItemCount();
    const int rows = (count + columns - 1) / columns;
    const int columnWidth = (Width() - 10) / columns; // the whole control's width
    const int available = r.bottom - top;
    const int rowHeight = available / rows;
    const int firstTop = top + (available % rows) / 2;
    for (int i = 0; i < count; ++i)
        boxes_[static_cast<size_t>(i)]->SetBounds(
            (i / rows) * columnWidth + 8, (i % rows) * rowHeight + firstTop,
            boxes_[static_cast<size_t>(i)]->Width(), boxes_[static_cast<size_t>(i)]->Height());
}

} // namespace sui
