#include "app/ScreenCover.h"

#include "gui/GdiObject.h"

namespace {
BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& list = *reinterpret_cast<std::vector<RECT>*>(data);
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            list.insert(list.begin(), info.rcMonitor);
        else
            list.push_back(info.rcMonitor);
    }
    return TRUE;
}
} // namespace

std::vector<RECT> DisplayMonitors() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// --- the mirror -----------------------------------------------------------------

MovieMirror::MovieMirror(gui::Component* owner, TShockwaveFlash& source)
    : gui::WinControl(owner), source_(source) {
    SetColor(gui::clBlack);
}

bool MovieMirror::draw(bool force, RECT& changed) {
    return renderer_.Draw(source_.MoviePlayer(), source_.BackgroundOverride(), 0xFF000000u, surface_,
                          ClientWidth(), ClientHeight(), force, changed);
}

void MovieMirror::Present(bool force) {
    if (!HandleAllocated()) return;
    RECT changed;
    if (!draw(force, changed)) return;
    gui::WindowDC dc(Handle());
    surface_.BlitRect(dc.Get(), changed);
    ++framesBlitted_;
}

void MovieMirror::CreateParamsFor(CreateParams& params) {
    gui::WinControl::CreateParamsFor(params);
    params.ClassName = L"NimbreMovieMirror";
    params.Style |= WS_CLIPSIBLINGS;
}

void MovieMirror::PaintWindow(HDC dc) {
    if (!source_.DisplayOn()) return;
    RECT changed;
    if (surface_.Width() != ClientWidth() || surface_.Height() != ClientHeight()) draw(true, changed);
    surface_.BlitTo(dc);
}

void MovieMirror::EraseBackground(HDC) {
    // The blit covers every pixel.
}

void MovieMirror::BoundsChanged(bool moved, bool resized) {
    gui::WinControl::BoundsChanged(moved, resized);
    if (resized && source_.DisplayOn()) Present(true);
}

// --- the cover window ----------------------------------------------------------

Tfrm_cover::Tfrm_cover(gui::Component* owner, TShockwaveFlash& source, const RECT& monitor)
    : gui::Form(owner) {
    BeginLoading();
    SetCaption("Nimbre Screen");
    SetBorderStyle(gui::bsNone);
    SetColor(gui::clBlack);
    SetFormStyle(gui::fsNormal);
    SetKeyPreview(true);
    SetBounds(monitor.left, monitor.top, monitor.right - monitor.left, monitor.bottom - monitor.top);

    mirror = new MovieMirror(this, source);
    mirror->SetParent(this);
    mirror->SetAlign(gui::alClient);
    EndLoading();
}

void Tfrm_cover::CreateParamsFor(CreateParams& params) {
    gui::Form::CreateParamsFor(params);
    params.ExStyle |= WS_EX_NOACTIVATE;
}
