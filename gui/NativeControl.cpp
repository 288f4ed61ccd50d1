#include "gui/NativeControl.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/Font.h"
#include "gui/GdiObject.h"
#include "gui/Text.h"

namespace gui {

NativeControl::NativeControl(Component* owner) : WinControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
    SetNativeMouse(true);
}

void NativeControl::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    FrameChanged();
}

void NativeControl::SetBorderWidth(int width) {
    width = std::max(0, width);
    if (width == borderWidth_) return;
    borderWidth_ = width;
    FrameChanged();
}

void NativeControl::CreateParamsFor(CreateParams& params) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
    WinControl::CreateParamsFor(params);
    params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void NativeControl::CreateHandle() {
    SendToWindow(WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    if (borderWidth_ > 0) FrameChanged();
    WinControl::CreateHandle();
}

void NativeControl::FrameChanged() {
    if (!HandleAllocated()) return;
    HWND window = Handle();
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const LONG_PTR wanted =
        borderStyle_ == bsSingle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    if (wanted != ex) SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

std::string NativeControl::WindowText() {
    if (!HandleAllocated()) return Text();
    HWND window = Handle();
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    return WideToUtf8(text);
}

LRESULT NativeControl::SendToWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!HandleAllocated()) return 0;
    return SendMessageW(Handle(), msg, wParam, lParam);
}

void NativeControl::PaintBorderBand() {
    if (borderWidth_ <= 0 || !HandleAllocated()) return;
    HWND window = Handle();
    WindowDC dc(window, true);
    RECT outer{};
    GetWindowRect(window, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    if (borderStyle_ == bsSingle)
        InflateRect(&outer, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    RECT inner = outer;
    InflateRect(&inner, -borderWidth_, -borderWidth_);
    SaveDCGuard saved(dc.Get());
    ExcludeClipRect(dc.Get(), inner.left, inner.top, inner.right, inner.bottom);
    FillRect(dc.Get(), &outer, background_.Handle());
}

void NativeControl::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        // The platform control paints itself.
        DefaultHandler(msg);
        return;
    case WM_NCCALCSIZE:
        DefaultHandler(msg);
        if (borderWidth_ > 0) {
            RECT& r = *reinterpret_cast<RECT*>(msg.LParam); // the first rectangle in both forms
            InflateRect(&r, -borderWidth_, -borderWidth_);
            if (r.right < r.left) r.right = r.left;
            if (r.bottom < r.top) r.bottom = r.top;
        }
        return;
    case WM_NCPAINT:
        DefaultHandler(msg);
        background_.SetColor(Color());
        PaintBorderBand();
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_BASE + WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(msg.WParam);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        background_.SetColor(Color());
        msg.Result = reinterpret_cast<LRESULT>(background_.Handle());
        return;
    }
    case CM_FONTCHANGED:
        SendToWindow(WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        WinControl::WndProc(msg);
        return;
    default:
        WinControl::WndProc(msg);
        return;
    }
}

} // namespace gui
