#include "skin/SUITitleBarButton.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/MessageDialog.h"
#include "gui/PopupMenu.h"
#include "skin/SUIPublic.h"
#include "skin/SUITitleBar.h"

namespace sui {

TsuiTitleBarButton::TsuiTitleBarButton(TsuiTitleBarButtons* collection) : collection_(collection) {
    picNormal_.OnChange = [this] { Changed(); };
    picMouseOn_.OnChange = [this] { Changed(); };
    picMouseDown_.OnChange = [this] { Changed(); };
}

int TsuiTitleBarButton::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

TsuiTitleBar* TsuiTitleBarButton::Bar() const {
    return collection_ ? collection_->Bar() : nullptr;
}

void TsuiTitleBarButton::SetButtonType(TsuiTitleBarBtnType type) {
    if (type == TsuiTitleBarBtnType::suiControlBox && collection_) {
        for (int i = 0; i < collection_->Count(); ++i) {
            if (collection_->Items(i).ButtonType() == TsuiTitleBarBtnType::suiControlBox) {
                gui::ShowError("Sorry, only one button's ButtonType property can be \"suiControlBox\"");
                return;
            }
        }
    }
    buttonType_ = type;
    LoadStylePictures();
    Changed();
}

void TsuiTitleBarButton::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Changed();
}

void TsuiTitleBarButton::SetTop(int top) {
    top_ = top;
    Changed();
}

void TsuiTitleBarButton::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    LoadStylePictures();
    Changed();
}

void TsuiTitleBarButton::SetPicNormal(const gui::Picture& picture) {
    SetPicture(picNormal_, picture);
}
void TsuiTitleBarButton::SetPicMouseOn(const gui::Picture& picture) {
    SetPicture(picMouseOn_, picture);
}
void TsuiTitleBarButton::SetPicMouseDown(const gui::Picture& picture) {
    SetPicture(picMouseDown_, picture);
}

void TsuiTitleBarButton::SetPicture(gui::Picture& target, const gui::Picture& picture) {
    if (buttonType_ != TsuiTitleBarBtnType::suiCustom && buttonType_ != TsuiTitleBarBtnType::suiControlBox) {
        gui::ShowError(
            "Sorry, this button is not a \"suiCustom\" or \"suiControlBox\"(ButtonType property) button!");
        return;
    }
    target.Assign(picture);
    Changed();
}

void TsuiTitleBarButton::Assign(const TsuiTitleBarButton& other) {
    buttonType_ = other.buttonType_;
    transparent_ = other.transparent_;
    top_ = other.top_;
    uiStyle_ = other.uiStyle_;
    controlBoxMenu_ = other.controlBoxMenu_;
    picNormal_.Assign(other.picNormal_);
    picMouseOn_.Assign(other.picMouseOn_);
    picMouseDown_.Assign(other.picMouseDown_);
    Changed();
}

void TsuiTitleBarButton::LoadPictures(TsuiThemeSlot normal, TsuiThemeSlot mouseOn, TsuiThemeSlot mouseDown) {
    LoadThemeBitmap(picNormal_.Bitmap(), uiStyle_, normal);
    LoadThemeBitmap(picMouseOn_.Bitmap(), uiStyle_, mouseOn);
    LoadThemeBitmap(picMouseDown_.Bitmap(), uiStyle_, mouseDown);
}

// The style's pictures for the button's type; a custom button keeps its own pictures and top.
void TsuiTitleBarButton::LoadStylePictures() {
    if (uiStyle_ == TsuiUIStyle::Custom) return;
    transparent_ = GetThemeBoolean(uiStyle_, thTitleButtonTransparent);
    switch (buttonType_) {
    case TsuiTitleBarBtnType::suiMax:
        LoadPictures(thTitleMaxNormal, thTitleMaxMouseOn, thTitleMaxMouseDown);
        break;
    case TsuiTitleBarBtnType::suiMin:
        LoadPictures(thTitleMinNormal, thTitleMinMouseOn, thTitleMinMouseDown);
        break;
    case TsuiTitleBarBtnType::suiClose:
        LoadPictures(thTitleCloseNormal, thTitleCloseMouseOn, thTitleCloseMouseDown);
        break;
    case TsuiTitleBarBtnType::suiHelp:
        LoadPictures(thTitleHelpNormal, thTitleHelpMouseOn, thTitleHelpMouseDown);
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        LoadPictures(thTitleControlBoxNormal, thTitleControlBoxMouseOn, thTitleControlBoxMouseDown);
        break;
    case TsuiTitleBarBtnType::suiCustom:
        return;
    }
    top_ = GetThemeInteger(uiStyle_, thTitleButtonTop);
    if (buttonType_ == TsuiTitleBarBtnType::suiMax) LoadMaxOrRestorePictures();
}

// A maximise button shows the restore pictures while its form is maximised.
void TsuiTitleBarButton::LoadMaxOrRestorePictures() {
    TsuiTitleBar* bar = Bar();
    gui::Form* form = bar ? bar->ParentForm() : nullptr;
    if (form && form->WindowState() == gui::wsMaximized)
        LoadPictures(thTitleRestoreNormal, thTitleRestoreMouseOn, thTitleRestoreMouseDown);
    else
        LoadPictures(thTitleMaxNormal, thTitleMaxMouseOn, thTitleMaxMouseDown);
}

void TsuiTitleBarButton::DoClick() {
    TsuiTitleBar* bar = Bar();
    gui::Form* form = bar ? bar->ParentForm() : nullptr;
    if (!form) return;
    RECT workArea{};
    GetWorkAreaRect(workArea);
    form->SetMaxHeight(workArea.bottom - workArea.top);
    form->SetMaxWidth(workArea.right - workArea.left);
    switch (buttonType_) {
    case TsuiTitleBarBtnType::suiMax:
        if (form->WindowState() == gui::wsMaximized) {
            form->SetWindowState(gui::wsNormal);
        } else {
            form->SetWindowState(gui::wsMaximized);
            if (bar->ParentIsFrame()) {
                form->SetLeft(workArea.left);
                form->SetTop(workArea.top);
            }
        }
        if (uiStyle_ == TsuiUIStyle::WinXP) {
            LoadMaxOrRestorePictures();
            Changed();
        }
        bar->UpdateFormRegion(bar->CornerSize());
        break;
    case TsuiTitleBarBtnType::suiMin:
        if (form == gui::App().MainForm())
            SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        else
            ShowWindow(form->Handle(), SW_SHOWMINIMIZED);
        break;
    case TsuiTitleBarBtnType::suiClose:
        form->Close();
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        if (controlBoxMenu_) {
            POINT p = bar->ClientToScreen(POINT{0, bar->Height()});
            controlBoxMenu_->Popup(p.x, p.y);
        }
        break;
    case TsuiTitleBarBtnType::suiHelp:
    case TsuiTitleBarBtnType::suiCustom:
        break;
    }
}

void TsuiTitleBarButton::Changed() {
    if (collection_) collection_->Changed();
}

TsuiTitleBarButton& TsuiTitleBarButtons::Add() {
    items_.push_back(std::make_unique<TsuiTitleBarButton>(this));
    Changed();
    return *items_.back();
}

void TsuiTitleBarButtons::Delete(int index) {
    items_.at(static_cast<size_t>(index));
    items_.erase(items_.begin() + index);
    Changed();
}

void TsuiTitleBarButtons::Clear() {
    items_.clear();
    Changed();
}

void TsuiTitleBarButtons::Assign(const TsuiTitleBarButtons& other) {
    if (&other == this) return;
    items_.clear();
    for (const auto& source : other.items_) {
        items_.push_back(std::make_unique<TsuiTitleBarButton>(this));
        items_.back()->Assign(*source);
    }
    Changed();
}

int TsuiTitleBarButtons::IndexOf(const TsuiTitleBarButton* button) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == button) return static_cast<int>(i);
    return -1;
}

void TsuiTitleBarButtons::Changed() {
    if (bar_) bar_->Repaint();
}

} // namespace sui
