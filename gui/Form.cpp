#include "gui/Form.h"

#include <algorithm>
#include <vector>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/MainMenu.h"
#include "gui/ToolBar.h"

namespace gui {

namespace {

// The form that last became the application's active form; OnActivate fires
// when this changes, not when a message box takes and gives back activation.
Form* activeForm = nullptr;
// Every form alive, so a modal show can disable the others (including those
// placed inside foreign windows, which are not top-level windows of this thread).
std::vector<Form*>& AllForms() {
    static std::vector<Form*> forms;
    return forms;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

} // namespace

// --- construction -------------------------------------------------------------

Form::Form(Component* owner) : CustomControl(owner) {
    StoreVisible(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    StoreBounds(0, 0, 320, 240);
    AllForms().push_back(this);
}

Form::~Form() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            App().HandleException();
        }
    }
    auto& forms = AllForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (activeForm == this) activeForm = nullptr;
    if (App().MainForm() == this) App().SetMainForm(nullptr);
    if (HandleAllocated() && menu_ != nullptr) ::SetMenu(Handle(), nullptr);
    if (HandleAllocated()) DestroyHandle();
}

HWND Form::OwnerWindow() {
    if (auto* ownerForm = dynamic_cast<Form*>(Owner()); ownerForm != nullptr && ownerForm != this) {
        HWND h = ownerForm->Handle();
        if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) return h;
    }
    return App().Handle();
}

void Form::CreateParamsFor(CreateParams& params) {
    params.ClassName = L"NimbreForm";
    params.ExStyle = 0;
    params.Style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    switch (borderStyle_) {
    case bsNone:
        params.Style |= parentWindow_ == nullptr ? WS_POPUP : 0;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER;
        break;
    case bsSizeable:
        params.Style |= WS_OVERLAPPEDWINDOW;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    if (parentWindow_ != nullptr) {
        params.Style |= WS_CHILD;
        params.Style &= ~static_cast<DWORD>(WS_POPUP);
        params.ParentWnd = parentWindow_;
    } else if (formStyle_ == fsStayOnTop) {
        params.ExStyle |= WS_EX_TOPMOST;
    }
    if (!Enabled()) params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
}

void Form::CreateHandle() {
    if (parentWindow_ == nullptr) {
        // Top-level: owned by the owner form's window or the application window,
        // so the form itself has no task-bar entry.
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(OwnerWindow()));
        if (menu_ != nullptr) ::SetMenu(Handle(), menu_->Handle());
    }
    CustomControl::CreateHandle();
}

void Form::Loaded() {
    CustomControl::Loaded();
    if (!createdFired_) {
        createdFired_ = true;
        if (OnCreate) OnCreate(this);
    }
}

// --- setters --------------------------------------------------------------------

void Form::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (!HandleAllocated()) return;
    // Change the frame in place so hooks on the window stay.
    CreateParams params;
    CreateParamsFor(params);
    const LONG_PTR keep = GetWindowLongPtrW(Handle(), GWL_STYLE) & (WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
    SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(params.Style) | keep);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, static_cast<LONG_PTR>(params.ExStyle));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState Form::WindowState() const {
    if (HandleAllocated() && Visible()) {
        HWND h = const_cast<Form*>(this)->Handle();
        if (IsZoomed(h)) return wsMaximized;
        if (IsIconic(h)) return wsMinimized;
        return wsNormal;
    }
    return windowState_;
}

void Form::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (!HandleAllocated() || !Visible()) return;
    switch (state) {
    case wsMaximized:
        ShowWindow(Handle(), SW_MAXIMIZE);
        break;
    case wsMinimized:
        ShowWindow(Handle(), SW_MINIMIZE);
        break;
    default:
        ShowWindow(Handle(), SW_RESTORE);
        break;
    }
}

void Form::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    if (HandleAllocated() && parentWindow_ == nullptr)
        SetWindowPos(Handle(), style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::SetMenu(MainMenu* menu) {
    menu_ = menu;
    if (HandleAllocated() && parentWindow_ == nullptr)
        ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
}

void Form::SetActiveControl(WinControl* control) {
    activeControl_ = control;
    if (control != nullptr && HandleAllocated() && Visible() && control->CanFocus())
        ::SetFocus(control->Handle());
}

void Form::BringToFront() {
    if (HandleAllocated()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// --- showing --------------------------------------------------------------------

void Form::SetVisible(bool visible) {
    if (visible) {
        if (Visible() && HandleAllocated() && IsWindowVisible(Handle())) return;
        StoreVisible(true);
        try {
            ShowNow();
        } catch (...) {
            StoreVisible(false);
            throw;
        }
    } else {
        if (!Visible()) return;
        HideNow();
    }
}

void Form::ShowNow() {
    HandleNeeded();
    DoShow();
    ApplyPosition();
    int command = SW_SHOWNORMAL;
    if (windowState_ == wsMaximized) command = SW_SHOWMAXIMIZED;
    if (windowState_ == wsMinimized) command = SW_SHOWMINIMIZED;
    ShowWindow(Handle(), command);
    if (parentWindow_ == nullptr && formStyle_ == fsStayOnTop)
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::HideNow() {
    DoHide();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    StoreVisible(false);
    if (activeForm == this) activeForm = nullptr;
}

void Form::ApplyPosition() {
    if (position_ != poScreenCenter || parentWindow_ != nullptr || windowState_ == wsMaximized) return;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    SetBounds(x, y, Width(), Height());
}

void Form::DoShow() {
    if (OnShow) OnShow(this);
}

void Form::DoHide() {
    if (OnHide) OnHide(this);
}

void Form::Activate() {
    if (OnActivate) OnActivate(this);
}

void Form::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void Form::SetActiveState(bool active) {
    active_ = active;
    if (!active) return;
    if (activeForm != this) {
        Form* previous = activeForm;
        activeForm = this;
        if (previous != nullptr) previous->Perform(CM_DEACTIVATE);
        Perform(CM_ACTIVATE);
    }
}

// --- modal show -----------------------------------------------------------------

TModalResult Form::ShowModal() {
    if (Visible() || !Enabled() || modal_) throw Exception("Cannot make a visible window modal");
    if (GetCapture() != nullptr) ReleaseCapture();
    HWND previousActive = GetActiveWindow();
    // Everything else of this program is disabled while the form is up.
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (Form* f : AllForms())
        if (f != this && f->HandleAllocated()) windows.push_back(f->Handle());
    std::vector<HWND> disabled;
    HandleNeeded();
    for (HWND h : windows) {
        if (h == Handle() || std::find(disabled.begin(), disabled.end(), h) != disabled.end()) continue;
        if (IsWindowVisible(h) && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            disabled.push_back(h);
        }
    }
    modal_ = true;
    modalResult_ = mrNone;
    ++App().modalLevel_;
    try {
        SetVisible(true);
        SetForegroundWindow(Handle());
        SetActiveWindow(Handle());
        SetActiveState(true);
        for (;;) {
            if (App().Terminated())
                modalResult_ = mrCancel;
            else if (modalResult_ != mrNone)
                CloseModal();
            if (modalResult_ != mrNone) break;
            App().HandleMessage(true);
            if (App().Terminated()) {
                // The quit message ends the program's loop as well.
                PostQuitMessage(0);
            }
        }
    } catch (...) {
        modal_ = false;
        --App().modalLevel_;
        for (HWND h : disabled)
            EnableWindow(h, TRUE);
        throw;
    }
    modal_ = false;
    --App().modalLevel_;
    for (HWND h : disabled)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    if (Visible()) HideNow();
    if (previousActive != nullptr && IsWindow(previousActive)) SetActiveWindow(previousActive);
    return modalResult_;
}

void Form::CloseModal() {
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            if (OnClose) OnClose(this, action);
        }
        if (action == caNone) modalResult_ = mrNone;
        if (action == caFree) Release();
    } catch (...) {
        modalResult_ = mrNone;
        App().HandleException();
    }
}

bool Form::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void Form::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (App().MainForm() == this) {
        App().Terminate();
    } else if (action == caHide) {
        SetVisible(false);
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void Form::Release() {
    if (HandleAllocated())
        PostMessageW(Handle(), CM_RELEASE, 0, 0);
    else
        delete this;
}

// --- messages -----------------------------------------------------------------

void Form::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_CLOSE:
        Close();
        msg.Result = 0;
        return;
    case CM_RELEASE:
        delete this;
        return;
    case WM_COMMAND:
        // Commands of the menu bar come with no control window.
        if (msg.LParam == 0 && HIWORD(msg.WParam) == 0 && menu_ != nullptr &&
            menu_->DispatchCommand(LOWORD(msg.WParam))) {
            msg.Result = 0;
            return;
        }
        CustomControl::WndProc(msg);
        return;
    case WM_SYSCOMMAND:
        // Alt, F10 (no character) or Alt with a letter: the menu bar's, when it takes it.
        if ((msg.WParam & 0xFFF0) == SC_KEYMENU && menuBar_ != nullptr &&
            menuBar_->MenuKey(static_cast<unsigned>(msg.LParam))) {
            msg.Result = 0;
            return;
        }
        CustomControl::WndProc(msg);
        return;
    case WM_DESTROY:
        // The menu belongs to its component, not to the window.
        if (menu_ != nullptr && HandleAllocated()) ::SetMenu(Handle(), nullptr);
        CustomControl::WndProc(msg);
        return;
    case WM_ACTIVATE: {
        CustomControl::WndProc(msg);
        const bool active = LOWORD(msg.WParam) != WA_INACTIVE;
        SetActiveState(active);
        if (active) {
            WinControl* target = activeControl_;
            if (target == nullptr || !target->CanFocus()) target = FindNextControl(nullptr, true, true);
            if (target != nullptr && target->CanFocus()) {
                activeControl_ = target;
                ::SetFocus(target->Handle());
            }
        }
        return;
    }
    case CM_ACTIVATE:
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    default:
        CustomControl::WndProc(msg);
        return;
    }
}

void Form::Paint() {
    if (OnPaint) OnPaint(this);
}

void Form::Notification(Component* component, TOperation operation) {
    CustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == menu_) SetMenu(nullptr);
    if (component == menuBar_) menuBar_ = nullptr;
    if (component == activeControl_) activeControl_ = nullptr;
}

} // namespace gui
