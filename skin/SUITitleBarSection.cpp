#include "skin/SUITitleBarSection.h"

#include "gui/MessageDialog.h"
#include "skin/SUITitleBar.h"

namespace sui {

TsuiTitleBarSection::TsuiTitleBarSection(TsuiTitleBarSections* collection) : collection_(collection) {
    picture_.OnChange = [this] { Changed(); };
}

int TsuiTitleBarSection::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

void TsuiTitleBarSection::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (!picture_.Empty()) width_ = picture_.Width();
    Changed();
}

void TsuiTitleBarSection::SetWidth(int width) {
    width_ = width;
    Changed();
}

void TsuiTitleBarSection::SetAlign(TsuiTitleBarAlign align) {
    if (align == TsuiTitleBarAlign::suiClient && collection_) {
        for (int i = 0; i < collection_->Count(); ++i) {
            if (collection_->Items(i).Align() == TsuiTitleBarAlign::suiClient) {
                gui::ShowError("Sorry, only one section's Align property can be \"suiClient\"");
                return;
            }
        }
    }
    if (align == TsuiTitleBarAlign::suiClient) stretch_ = true;
    align_ = align;
    Changed();
}

void TsuiTitleBarSection::SetPicture(const gui::Picture& picture) {
    picture_.Assign(picture);
    if (!picture.Empty() && autoSize_) width_ = picture_.Width();
    Changed();
}

void TsuiTitleBarSection::SetStretch(bool stretch) {
    stretch_ = stretch || align_ == TsuiTitleBarAlign::suiClient;
    Changed();
}

void TsuiTitleBarSection::Assign(const TsuiTitleBarSection& other) {
    autoSize_ = other.autoSize_;
    width_ = other.width_;
    align_ = other.align_;
    stretch_ = other.stretch_;
    picture_.Assign(other.picture_);
    Changed();
}

void TsuiTitleBarSection::Changed() {
    if (collection_) collection_->Changed();
}

TsuiTitleBarSection& TsuiTitleBarSections::Add() {
    items_.push_back(std::make_unique<TsuiTitleBarSection>(this));
    Changed();
    return *items_.back();
}

void TsuiTitleBarSections::Delete(int index) {
    items_.at(static_cast<size_t>(index));
    items_.erase(items_.begin() + index);
    Changed();
}

void TsuiTitleBarSections::Clear() {
    items_.clear();
    Changed();
}

void TsuiTitleBarSections::Assign(const TsuiTitleBarSections& other) {
    if (&other == this) return;
    items_.clear();
    for (const auto& source : other.items_) {
        items_.push_back(std::make_unique<TsuiTitleBarSection>(this));
        items_.back()->Assign(*source);
    }
    Changed();
}

int TsuiTitleBarSections::IndexOf(const TsuiTitleBarSection* section) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == section) return static_cast<int>(i);
    return -1;
}

void TsuiTitleBarSections::Changed() {
    if (bar_) bar_->Repaint();
}

} // namespace sui
