// A message-queue timer (WM_TIMER on a hidden window of its own).
#pragma once

#include <windows.h>

#include "gui/Component.h"
#include "gui/Handle.h"
#include "gui/Types.h"

namespace gui {

class Timer : public Component {
  public:
    // Enabled, 1000 ms.
    explicit Timer(Component* owner);
    ~Timer() override;

    bool Enabled() const { return enabled_; }
    // Starting counts the interval from now.
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    // Restarts a running timer with the new interval; 0 stops the ticks.
    void SetInterval(unsigned ms);

    // Raised on every tick; an exception escaping it is reported, the timer goes on.
    TNotifyEvent OnTimer;

  protected:
    // Raises OnTimer.
    virtual void DoTimer();

  private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void UpdateTimer();

    WindowHandle window_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
};

} // namespace gui
