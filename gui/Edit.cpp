#include "gui/Edit.h"

#include <commctrl.h>

namespace gui {

Edit::Edit(Component* owner) : NativeControl(owner) {
    StoreBounds(0, 0, 121, 21);
    SetCursor(crIBeam);
}

void Edit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    SendToWindow(EM_SETREADONLY, readOnly ? TRUE : FALSE);
}

void Edit::SetMaxLength(int length) {
    maxLength_ = length < 0 ? 0 : length;
    SendToWindow(EM_LIMITTEXT, static_cast<WPARAM>(maxLength_));
}

void Edit::SelectAll() {
    SendToWindow(EM_SETSEL, 0, -1);
}

void Edit::CreateParamsFor(CreateParams& params) {
    NativeControl::CreateParamsFor(params);
    params.ClassName = L"NimbreEdit";
    params.BaseClassName = WC_EDITW;
    params.Style |= ES_AUTOHSCROLL;
    if (readOnly_) params.Style |= ES_READONLY;
}

void Edit::CreateHandle() {
    NativeControl::CreateHandle();
    if (maxLength_ > 0) SendToWindow(EM_LIMITTEXT, static_cast<WPARAM>(maxLength_));
}

void Edit::Change() {
    if (OnChange) OnChange(this);
}

void Edit::WndProc(Message& msg) {
    if (msg.Msg == CN_COMMAND && (HIWORD(msg.WParam) == EN_CHANGE)) {
        StoreCaption(WindowText());
        Change();
        return;
    }
    NativeControl::WndProc(msg);
}

} // namespace gui
