#include "gui/Timer.h"

#include "gui/Application.h"

namespace gui {

namespace {
constexpr wchar_t kTimerClass[] = L"NimbreTimer";
constexpr UINT_PTR kTimerId = 1;
} // namespace

Timer::Timer(Component* owner) : Component(owner) {}

Timer::~Timer() {
    if (window_) KillTimer(window_.Get(), kTimerId);
}

void Timer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    UpdateTimer();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

void Timer::UpdateTimer() {
    if (window_) KillTimer(window_.Get(), kTimerId);
    if (!enabled_ || interval_ == 0) return;
    if (!window_) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(GetModuleHandleW(nullptr), kTimerClass, &wc)) {
            wc.lpfnWndProc = StaticWndProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kTimerClass;
            RegisterClassExW(&wc);
        }
        window_.Reset(CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        if (!window_) return;
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    SetTimer(window_.Get(), kTimerId, interval_, nullptr);
}

void Timer::DoTimer() {
    if (OnTimer) OnTimer(this);
}

LRESULT CALLBACK Timer::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto* self = reinterpret_cast<Timer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && self->enabled_) {
            try {
                self->DoTimer();
            } catch (...) {
                App().HandleException();
            }
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace gui
