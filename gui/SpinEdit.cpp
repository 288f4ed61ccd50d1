#include "gui/SpinEdit.h"

#include <commctrl.h>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/Text.h"

namespace gui {

namespace {
constexpr UINT_PTR kEditSubclass = 1;
constexpr int kEditId = 1;
constexpr int kButtonsId = 2;
} // namespace

SpinEdit::SpinEdit(Component* owner) : WinControl(owner) {
    StoreBounds(0, 0, 121, 22);
    SetColor(clWindow);
    SetTabStop(true);
}

// --- value ------------------------------------------------------------------------

int SpinEdit::CheckValue(int v) const {
    if (maxValue_ != minValue_) {
        if (v < minValue_) return minValue_;
        if (v > maxValue_) return maxValue_;
    }
    return v;
}

int SpinEdit::Value() const {
    int v = 0;
    if (TryStrToInt(EditText(), v)) return v;
    return minValue_;
}

void SpinEdit::SetValue(int v) {
    SetEditText(IntToStr(CheckValue(v)));
}

std::string SpinEdit::EditText() const {
    if (edit_ == nullptr) return text_;
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(edit_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return WideToUtf8(text);
}

void SpinEdit::SetEditText(const std::string& text) {
    text_ = text;
    if (edit_ != nullptr) SetWindowTextW(edit_, Utf8ToWide(text).c_str());
}

void SpinEdit::StepUp() {
    SetValue(Value() + increment_);
}

void SpinEdit::StepDown() {
    SetValue(Value() - increment_);
}

// --- window ------------------------------------------------------------------------

HWND SpinEdit::EditHandle() {
    HandleNeeded();
    return edit_;
}

void SpinEdit::CreateHandle() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    HWND self = Handle();
    edit_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", Utf8ToWide(text_).c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0,
        0, self, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr), nullptr);
    buttons_ = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, self,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonsId)),
                               GetModuleHandleW(nullptr), nullptr);
    if (edit_ == nullptr || buttons_ == nullptr) throw Exception("Error creating window");
    // The buttons never reach an end of their own range: every step is ours.
    SendMessageW(buttons_, UDM_SETRANGE32, 0, 100);
    SendMessageW(buttons_, UDM_SETPOS32, 0, 50);
    SetWindowSubclass(edit_, EditProc, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    LayoutChildren();
    WinControl::CreateHandle();
}

void SpinEdit::LayoutChildren() {
    if (edit_ == nullptr) return;
    const int buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int w = ClientWidth(), h = ClientHeight();
    MoveWindow(edit_, 0, 0, w > buttonWidth ? w - buttonWidth : 0, h, TRUE);
    MoveWindow(buttons_, w > buttonWidth ? w - buttonWidth : 0, 0, buttonWidth, h, TRUE);
}

void SpinEdit::BoundsChanged(bool moved, bool resized) {
    WinControl::BoundsChanged(moved, resized);
    if (resized) LayoutChildren();
}

// --- focus -------------------------------------------------------------------------

bool SpinEdit::CanFocus() const {
    return WinControl::CanFocus();
}

bool SpinEdit::Focused() const {
    return edit_ != nullptr && GetFocus() == edit_;
}

void SpinEdit::SetFocus() {
    if (!CanFocus()) throw Exception("Cannot focus a disabled or invisible window");
    ::SetFocus(EditHandle());
}

// --- input -------------------------------------------------------------------------

void SpinEdit::KeyDown(std::uint16_t& key, TShiftState shift) {
    WinControl::KeyDown(key, shift);
    if (key == VK_UP) {
        StepUp();
        key = 0;
    } else if (key == VK_DOWN) {
        StepDown();
        key = 0;
    }
}

void SpinEdit::DefaultHandler(Message& msg) {
    if (forwarding_ && edit_ != nullptr) {
        msg.Result = DefSubclassProc(edit_, msg.Msg, msg.WParam, msg.LParam);
        return;
    }
    WinControl::DefaultHandler(msg);
}

void SpinEdit::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_SETFOCUS:
        if (edit_ != nullptr) ::SetFocus(edit_);
        return;
    case WM_SIZE:
        WinControl::WndProc(msg);
        LayoutChildren();
        return;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(msg.LParam) == edit_ && edit_ != nullptr) {
            switch (HIWORD(msg.WParam)) {
            case EN_SETFOCUS:
                FocusGained();
                if (OnEnter) OnEnter(this);
                break;
            case EN_KILLFOCUS:
                // A value outside the range is pulled in when the field is left.
                if (CheckValue(Value()) != Value()) SetValue(Value());
                if (OnExit) OnExit(this);
                break;
            case EN_CHANGE:
                text_ = EditText();
                if (OnChange) OnChange(this);
                break;
            }
            msg.Result = 0;
            return;
        }
        WinControl::WndProc(msg);
        return;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(msg.LParam);
        if (header != nullptr && header->hwndFrom == buttons_ && header->code == UDN_DELTAPOS) {
            const auto* change = reinterpret_cast<NMUPDOWN*>(msg.LParam);
            if (change->iDelta > 0)
                StepUp();
            else if (change->iDelta < 0)
                StepDown();
            msg.Result = 1; // the buttons keep their position
            return;
        }
        WinControl::WndProc(msg);
        return;
    }
    case CM_FONTCHANGED:
        WinControl::WndProc(msg);
        if (edit_ != nullptr)
            SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        return;
    case CM_ENABLEDCHANGED:
        WinControl::WndProc(msg);
        if (edit_ != nullptr) EnableWindow(edit_, Enabled() ? TRUE : FALSE);
        if (buttons_ != nullptr) EnableWindow(buttons_, Enabled() ? TRUE : FALSE);
        return;
    case WM_NCDESTROY:
        edit_ = nullptr;
        buttons_ = nullptr;
        WinControl::WndProc(msg);
        return;
    default:
        WinControl::WndProc(msg);
        return;
    }
}

LRESULT CALLBACK SpinEdit::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<SpinEdit*>(data);
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR: {
        // Keys of the field run through the control's own handling (key
        // preview, events, tab order); what nobody takes goes to the edit.
        self->forwarding_ = true;
        LRESULT result = 0;
        try {
            result = self->Perform(msg, wParam, lParam);
        } catch (...) {
            self->forwarding_ = false;
            App().HandleException();
            return 0;
        }
        self->forwarding_ = false;
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, EditProc, kEditSubclass);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace gui
