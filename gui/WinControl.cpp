#include "gui/WinControl.h"

#include <windowsx.h>

#include <algorithm>

#include "gui/Application.h"
#include "gui/CustomControl.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/Text.h"
#include "gui/ToolBar.h"

namespace gui {

namespace {

constexpr wchar_t kControlProperty[] = L"NimbreControl";

void RegisterWindowClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// Registers name as a copy of the platform class base (its styles, cursor and window extra
// bytes) with proc as window procedure; returns the platform class's own procedure.
WNDPROC RegisterSuperClass(const wchar_t* name, const wchar_t* base, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, base, &wc)) throw Exception("Window class not found");
    const WNDPROC baseProc = wc.lpfnWndProc;
    WNDCLASSEXW own{};
    own.cbSize = sizeof own;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), name, &own)) {
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
        if (!RegisterClassExW(&wc)) throw Exception("Window class not registered");
    }
    return baseProc;
}

LPCWSTR SystemCursor(TCursor cursor) {
    switch (cursor) {
    case crArrow:
        return IDC_ARROW;
    case crCross:
        return IDC_CROSS;
    case crIBeam:
        return IDC_IBEAM;
    case crSizeNESW:
        return IDC_SIZENESW;
    case crSizeNS:
        return IDC_SIZENS;
    case crSizeNWSE:
        return IDC_SIZENWSE;
    case crSizeWE:
        return IDC_SIZEWE;
    case crUpArrow:
        return IDC_UPARROW;
    case crHourGlass:
        return IDC_WAIT;
    case crNo:
        return IDC_NO;
    case crAppStart:
        return IDC_APPSTARTING;
    case crHelp:
        return IDC_HELP;
    case crHandPoint:
        return IDC_HAND;
    case crSizeAll:
        return IDC_SIZEALL;
    default:
        return IDC_ARROW;
    }
}

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// Ends a BeginPaint on every path.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

} // namespace

// --- construction -------------------------------------------------------------

WinControl::WinControl(Component* owner) : Control(owner) {}

WinControl::~WinControl() {
    // Messages sent while the window goes must not reach hooks of objects already gone.
    WindowProc = [this](Message& msg) { WndProc(msg); };
    hooks_.Clear();
    if (Form* form = ParentForm(); form != nullptr && form != this && form->activeControl_ == this)
        form->activeControl_ = nullptr;
    if (handle_ != nullptr) DestroyWindow(handle_);
    // Children stay alive (their owner frees them); they lose their parent.
    for (Control* child : std::vector<Control*>(controls_))
        child->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
}

WinControl* WinControl::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    return static_cast<WinControl*>(GetPropW(hwnd, kControlProperty));
}

HWND WinControl::Handle() {
    if (handle_ == nullptr) CreateWnd();
    return handle_;
}

void WinControl::CreateParamsFor(CreateParams& params) {
    params.ClassName = L"NimbreControl";
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
}

void WinControl::CreateWnd() {
    HWND parentWnd = nullptr;
    if (parent_ != nullptr) {
        parentWnd = parent_->Handle(); // may create this control's window on the way
        if (handle_ != nullptr) return;
    } else {
        parentWnd = parentWindow_;
    }
    CreateParams params;
    CreateParamsFor(params);
    if (params.ParentWnd == nullptr) params.ParentWnd = parentWnd;
    if ((params.Style & WS_CHILD) && params.ParentWnd == nullptr)
        throw Exception("Control '" + Name() + "' has no parent window");
    if (params.BaseClassName != nullptr) {
        baseProc_ = RegisterSuperClass(params.ClassName, params.BaseClassName, StaticWndProc);
    } else {
        RegisterWindowClass(params.ClassName, StaticWndProc);
        baseProc_ = DefWindowProcW;
    }
    HWND hwnd = CreateWindowExW(params.ExStyle, params.ClassName, Utf8ToWide(Caption()).c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.ParentWnd, nullptr,
                                GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        const DWORD error = GetLastError();
        throw Exception("Error creating window (system error " + IntToStr(error) + ")");
    }
    CreateHandle();
}

void WinControl::CreateHandle() {
    for (Control* child : std::vector<Control*>(controls_))
        if (auto* w = dynamic_cast<WinControl*>(child)) w->HandleNeeded();
    Realign();
}

void WinControl::DestroyWnd() {}

void WinControl::DestroyHandle() {
    if (handle_ == nullptr) return;
    DestroyWnd();
    DestroyWindow(handle_); // WM_NCDESTROY clears handle_ here and in every child
    handle_ = nullptr;
}

void WinControl::RecreateWnd() {
    const bool had = handle_ != nullptr;
    DestroyHandle();
    if (had) HandleNeeded();
}

void WinControl::SetParentWindow(HWND parent) {
    if (parent_ != nullptr || parent == parentWindow_) return;
    const bool had = handle_ != nullptr;
    DestroyHandle();
    parentWindow_ = parent;
    if (had || (parent != nullptr && Visible())) HandleNeeded();
}

LRESULT CALLBACK WinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<WinControl*>(GetPropW(hwnd, kControlProperty));
    if (msg == WM_NCCREATE) {
        self = static_cast<WinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self != nullptr) {
            SetPropW(hwnd, kControlProperty, self);
            self->handle_ = hwnd;
        }
    }
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    static int depth = 0;
    Message m{msg, wParam, lParam, 0};
    ++depth;
    try {
        self->HandleWindowMessage(m);
    } catch (...) {
        App().HandleException();
    }
    // self may be gone now (a form freed by its own message); touch it only
    // for the last message its window gets.
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kControlProperty);
        if (self->handle_ == hwnd) self->handle_ = nullptr;
        self->trackingMouse_ = false;
    }
    if (--depth == 0) ReleaseHeldDeviceContexts();
    return m.Result;
}

// --- children -----------------------------------------------------------------

void WinControl::InsertControl(Control* control) {
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = dynamic_cast<WinControl*>(control)) {
        tabList_.push_back(w);
        if (handle_ != nullptr) {
            if (w->handle_ != nullptr)
                ::SetParent(w->handle_, handle_);
            else
                w->HandleNeeded();
        }
    }
    if (control->Align() != alNone) Realign();
}

void WinControl::RemoveControl(Control* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    controls_.erase(it);
    if (auto* w = dynamic_cast<WinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        // The window cannot stay in a parent it no longer belongs to.
        if (w->handle_ != nullptr && !IsDestroying()) w->DestroyHandle();
    }
    control->parent_ = nullptr;
    if (control->Align() != alNone) Realign();
}

void WinControl::SetParent(WinControl* parent) {
    if (parent == parent_) return;
    if (parent != nullptr && parentWindow_ != nullptr) {
        DestroyHandle();
        parentWindow_ = nullptr;
    }
    Control::SetParent(parent);
}

void WinControl::UpdateTabOrder(WinControl* control, int order) {
    auto it = std::find(tabList_.begin(), tabList_.end(), control);
    if (it == tabList_.end()) return;
    tabList_.erase(it);
    if (order < 0) order = 0;
    if (order > static_cast<int>(tabList_.size())) order = static_cast<int>(tabList_.size());
    tabList_.insert(tabList_.begin() + order, control);
}

void WinControl::AdjustClientRect(RECT&) {}

void WinControl::EnableAlign() {
    if (alignLocks_ > 0 && --alignLocks_ == 0) Realign();
}

void WinControl::Realign() {
    if (alignLocks_ > 0 || aligning_) return;
    aligning_ = true;
    try {
        RECT r = ClientRect();
        AdjustClientRect(r);
        for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
            for (Control* c : std::vector<Control*>(controls_)) {
                if (c->Align() != kind || !c->Visible()) continue;
                const int w = std::max(0, static_cast<int>(r.right - r.left));
                const int h = std::max(0, static_cast<int>(r.bottom - r.top));
                switch (kind) {
                case alTop:
                    c->SetBounds(r.left, r.top, w, c->Height());
                    r.top += c->Height();
                    break;
                case alBottom:
                    c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
                    r.bottom -= c->Height();
                    break;
                case alLeft:
                    c->SetBounds(r.left, r.top, c->Width(), h);
                    r.left += c->Width();
                    break;
                case alRight:
                    c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
                    r.right -= c->Width();
                    break;
                default:
                    c->SetBounds(r.left, r.top, w, h);
                    break;
                }
            }
        }
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

// --- focus ----------------------------------------------------------------------

bool WinControl::CanFocus() const {
    const Form* form = ParentForm();
    if (form == nullptr) return false;
    if (!form->Visible() || !form->Enabled()) return false;
    for (const Control* c = this; c != form; c = c->Parent()) {
        if (c == nullptr) return false;
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

bool WinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

void WinControl::SetFocus() {
    if (!CanFocus()) throw Exception("Cannot focus a disabled or invisible window");
    Form* form = ParentForm();
    if (form != nullptr && form != this) form->activeControl_ = this;
    ::SetFocus(Handle());
}

namespace {
void CollectTabOrder(const WinControl& root, std::vector<WinControl*>& list) {
    for (WinControl* c : root.TabList()) {
        list.push_back(c);
        CollectTabOrder(*c, list);
    }
}
} // namespace

WinControl* WinControl::FindNextControl(WinControl* current, bool forward, bool checkTabStop) const {
    std::vector<WinControl*> list;
    CollectTabOrder(*this, list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        WinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->TabStop()) && c->CanFocus()) return c;
    }
    return nullptr;
}

void WinControl::SelectNext(WinControl* current, bool forward) {
    if (WinControl* next = FindNextControl(current, forward, true)) next->SetFocus();
}

// --- state ------------------------------------------------------------------------

int WinControl::ClientWidth() const {
    if (handle_ != nullptr) {
        RECT r;
        GetClientRect(handle_, &r);
        return r.right - r.left;
    }
    CreateParams params;
    const_cast<WinControl*>(this)->CreateParamsFor(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    return std::max(0, Width() - static_cast<int>(frame.right - frame.left));
}

int WinControl::ClientHeight() const {
    if (handle_ != nullptr) {
        RECT r;
        GetClientRect(handle_, &r);
        return r.bottom - r.top;
    }
    CreateParams params;
    const_cast<WinControl*>(this)->CreateParamsFor(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    return std::max(0, Height() - static_cast<int>(frame.bottom - frame.top));
}

void WinControl::SetClientSize(int width, int height) {
    const int dx = Width() - ClientWidth();
    const int dy = Height() - ClientHeight();
    SetBounds(Left(), Top(), width + dx, height + dy);
}

POINT WinControl::ClientToScreen(POINT p) const {
    if (handle_ != nullptr) {
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return Control::ClientToScreen(p);
}

POINT WinControl::ScreenToClient(POINT p) const {
    if (handle_ != nullptr) {
        ::ScreenToClient(handle_, &p);
        return p;
    }
    return Control::ScreenToClient(p);
}

void WinControl::SetVisible(bool visible) {
    Control::SetVisible(visible);
}

void WinControl::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
}

void WinControl::BoundsChanged(bool moved, bool resized) {
    if (handle_ != nullptr) {
        settingBounds_ = true;
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE) | (resized ? 0 : SWP_NOSIZE));
        settingBounds_ = false;
    }
    if (resized) Realign();
}

void WinControl::Invalidate() {
    // Children repaint too: transparent ones show this control through them.
    if (handle_ != nullptr)
        RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void WinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

// --- painting -----------------------------------------------------------------

void WinControl::PaintWindow(HDC) {}

void WinControl::EraseBackground(HDC dc) {
    RECT r = ClientRect();
    HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
    const TColor c = Color();
    if (IsSystemColor(c)) {
        brush = GetSysColorBrush(static_cast<int>(c & 0xFF));
        ::FillRect(dc, &r, brush);
        return;
    }
    // A solid colour without creating a brush: ExtTextOut with an opaque background.
    const COLORREF old = SetBkColor(dc, ColorToRGB(c));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

// --- messages -----------------------------------------------------------------

void WinControl::DefaultHandler(Message& msg) {
    if (handle_ != nullptr && msg.Msg < CM_BASE)
        msg.Result = CallWindowProcW(baseProc_ != nullptr ? baseProc_ : DefWindowProcW, handle_, msg.Msg,
                                     msg.WParam, msg.LParam);
}

void WinControl::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_PAINT:
        if (msg.WParam != 0) {
            PaintWindow(reinterpret_cast<HDC>(msg.WParam));
        } else if (handle_ != nullptr) {
            PaintScope scope(handle_);
            PaintWindow(scope.Dc());
        }
        msg.Result = 0;
        return;
    case WM_PRINTCLIENT: // a picture of the window (WM_PRINT): the paint into the given DC
        PaintWindow(reinterpret_cast<HDC>(msg.WParam));
        msg.Result = 0;
        return;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(msg.WParam));
        msg.Result = 1;
        return;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(msg.LParam);
        if (!settingBounds_ && !(pos->flags & SWP_NOSIZE) && (pos->cx != Width() || pos->cy != Height()) &&
            !IsIconic(handle_)) {
            int w = pos->cx, h = pos->cy;
            if (!CanResize(w, h)) {
                pos->flags |= SWP_NOSIZE;
            } else {
                ConstrainSize(w, h);
                pos->cx = w;
                pos->cy = h;
            }
        }
        DefaultHandler(msg);
        return;
    }
    case WM_WINDOWPOSCHANGED:
        HandleWindowPosChanged(*reinterpret_cast<WINDOWPOS*>(msg.LParam));
        DefaultHandler(msg);
        return;
    case WM_GETMINMAXINFO: {
        DefaultHandler(msg);
        auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
        const SizeConstraints& c = Constraints();
        if (c.MinWidth > 0) info->ptMinTrackSize.x = c.MinWidth;
        if (c.MinHeight > 0) info->ptMinTrackSize.y = c.MinHeight;
        if (c.MaxWidth > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = c.MaxWidth;
        if (c.MaxHeight > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = c.MaxHeight;
        msg.Result = 0;
        return;
    }
    case WM_SIZE:
        DefaultHandler(msg);
        if (!IsLoading()) Resize();
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        HandleMouse(msg);
        return;
    case WM_CAPTURECHANGED:
        // A press whose capture went elsewhere (a move loop, another window) clicks nothing.
        if (reinterpret_cast<HWND>(msg.LParam) != handle_) clicked_ = false;
        DefaultHandler(msg);
        return;
    case WM_MOUSELEAVE:
        trackingMouse_ = false;
        Perform(CM_MOUSELEAVE);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        HandleKey(msg);
        return;
    case WM_SETFOCUS: {
        FocusGained();
        DefaultHandler(msg);
        if (OnEnter) OnEnter(this);
        return;
    }
    case WM_KILLFOCUS:
        DefaultHandler(msg);
        if (OnExit) OnExit(this);
        return;
    case WM_SETCURSOR:
        HandleSetCursor(msg);
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
        ReflectNotification(msg);
        return;
    case WM_SETTEXT:
        DefaultHandler(msg);
        return;
    case CM_ENABLEDCHANGED:
        if (handle_ != nullptr) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
        Invalidate();
        return;
    case CM_VISIBLECHANGED:
        if (handle_ != nullptr) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
        return;
    case CM_FONTCHANGED:
        Invalidate();
        for (Control* c : std::vector<Control*>(controls_))
            c->Perform(CM_PARENTFONTCHANGED);
        return;
    case CM_COLORCHANGED:
        Invalidate();
        for (Control* c : std::vector<Control*>(controls_))
            c->Perform(CM_PARENTCOLORCHANGED);
        return;
    case CM_FOCUSCHANGED:
        for (Control* c : std::vector<Control*>(controls_))
            c->Perform(msg.Msg, msg.WParam, msg.LParam);
        return;
    case CM_DIALOGCHAR:
        HandleDialogChar(msg);
        return;
    default:
        Control::WndProc(msg);
        return;
    }
}

void WinControl::FocusGained() {
    Form* form = ParentForm();
    if (form == nullptr || form == this) return;
    form->activeControl_ = this;
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(static_cast<Control*>(this)));
}

void WinControl::HandleWindowPosChanged(const WINDOWPOS& pos) {
    if (handle_ == nullptr || (pos.flags & SWP_NOSIZE && pos.flags & SWP_NOMOVE)) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(handle_);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    const bool resized = (r.right - r.left) != Width() || (r.bottom - r.top) != Height();
    StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (resized) Realign();
}

void WinControl::HandleMouse(Message& msg) {
    const int x = GET_X_LPARAM(msg.LParam);
    const int y = GET_Y_LPARAM(msg.LParam);
    TShiftState shift = MouseShiftState(msg.WParam);
    switch (msg.Msg) {
    case WM_MOUSEMOVE:
        TrackMouse();
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
        if (handle_ != nullptr && !nativeMouse_) SetCapture(handle_);
        clicked_ = !nativeMouse_;
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        if (handle_ != nullptr && !nativeMouse_) SetCapture(handle_);
        DblClick();
        MouseDown(mbLeft, shift | ssDouble, x, y);
        break;
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift | ssDouble, x, y);
        break;
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift | ssDouble, x, y);
        break;
    case WM_LBUTTONUP: {
        const bool pressedHere = clicked_;
        clicked_ = false;
        if (handle_ != nullptr && !nativeMouse_ && GetCapture() == handle_) ReleaseCapture();
        if (pressedHere && x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight()) Click();
        MouseUp(mbLeft, shift, x, y);
        break;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    }
    DefaultHandler(msg);
}

void WinControl::TrackMouse() {
    if (trackingMouse_ || handle_ == nullptr) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = handle_;
    trackingMouse_ = TrackMouseEvent(&tme) != FALSE;
    Perform(CM_MOUSEENTER);
}

void WinControl::HandleKey(Message& msg) {
    Form* form = ParentForm();
    WinControl* preview = (form != nullptr && form != this && form->KeyPreview()) ? form : nullptr;
    switch (msg.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        auto key = static_cast<std::uint16_t>(msg.WParam);
        const TShiftState shift = KeyboardShiftState();
        if (preview != nullptr) preview->KeyDown(key, shift);
        if (key != 0) KeyDown(key, shift);
        if (key == 0) return;
        if (key == VK_TAB && form != nullptr && !(shift & (ssCtrl | ssAlt))) {
            form->SelectNext(this, !(shift & ssShift));
            return;
        }
        DefaultHandler(msg);
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        auto key = static_cast<std::uint16_t>(msg.WParam);
        const TShiftState shift = KeyboardShiftState();
        if (preview != nullptr) preview->KeyUp(key, shift);
        if (key != 0) KeyUp(key, shift);
        if (key != 0) DefaultHandler(msg);
        return;
    }
    case WM_CHAR: {
        auto ch = static_cast<wchar_t>(msg.WParam);
        if (preview != nullptr) preview->KeyPress(ch);
        if (ch != 0) KeyPress(ch);
        if (ch == 0) return;
        if (ch == L'\t') return; // the tab key moved the focus already
        if (!WantsChars() && form != nullptr && form->Perform(CM_DIALOGCHAR, ch, msg.LParam) != 0) return;
        DefaultHandler(msg);
        return;
    }
    case WM_SYSCHAR:
        if (form != nullptr && form->Perform(CM_DIALOGCHAR, msg.WParam, msg.LParam) != 0) return;
        // Alt with a letter: next, the button of the form's menu bar with that access key.
        if (form != nullptr && form->MenuBar() != nullptr &&
            form->MenuBar()->MenuKey(static_cast<unsigned>(msg.WParam)))
            return;
        DefaultHandler(msg);
        return;
    }
}

void WinControl::HandleDialogChar(Message& msg) {
    for (Control* c : std::vector<Control*>(controls_)) {
        if (!c->Visible() || !c->Enabled()) continue;
        msg.Result = c->Perform(CM_DIALOGCHAR, msg.WParam, msg.LParam);
        if (msg.Result != 0) return;
    }
    msg.Result = 0;
}

void WinControl::HandleSetCursor(Message& msg) {
    if (LOWORD(msg.LParam) == HTCLIENT && reinterpret_cast<HWND>(msg.WParam) == handle_ &&
        Cursor() != crDefault) {
        ::SetCursor(Cursor() == crNone ? nullptr : LoadCursorW(nullptr, SystemCursor(Cursor())));
        msg.Result = TRUE;
        return;
    }
    DefaultHandler(msg);
}

void WinControl::ReflectNotification(Message& msg) {
    HWND child = nullptr;
    switch (msg.Msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(msg.LParam);
        break;
    case WM_NOTIFY:
        if (msg.LParam != 0) child = reinterpret_cast<NMHDR*>(msg.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        // Controls made without an identifier send 0 as wParam, as menus do; the type tells.
        if (msg.LParam != 0 && reinterpret_cast<DRAWITEMSTRUCT*>(msg.LParam)->CtlType != ODT_MENU)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(msg.LParam)->hwndItem;
        break;
    default:
        child = reinterpret_cast<HWND>(msg.LParam);
        break;
    }
    WinControl* target = FromHandle(child);
    if (target != nullptr && target != this && target->parent_ == this) {
        msg.Result = target->Perform(CN_BASE + msg.Msg, msg.WParam, msg.LParam);
        return;
    }
    DefaultHandler(msg);
}

} // namespace gui
