// A windowed control that paints itself: a canvas over the window and a
// Paint step run on every WM_PAINT (inside BeginPaint/EndPaint), or into the
// device context that a WM_PAINT carries in wParam.
#pragma once

#include <memory>

#include "gui/WinControl.h"

namespace gui {

class Canvas;
class WindowDC;

// Gives back the window DCs that canvases took outside a paint; the window
// procedure calls it when the outermost message it dispatches is done.
void ReleaseHeldDeviceContexts();

class CustomControl : public WinControl {
  public:
    explicit CustomControl(Component* owner);
    ~CustomControl() override;

    // The control's canvas. During Paint it draws into the paint's device
    // context; outside a paint it takes the window's device context on use.
    gui::Canvas& Canvas();

  protected:
    // Draws the control onto Canvas(). The default fills the client area with Color.
    virtual void Paint();
    void PaintWindow(HDC dc) override;
    void DestroyWnd() override;

  private:
    friend void ReleaseHeldDeviceContexts();
    void ReleaseWindowDC();

    std::unique_ptr<gui::Canvas> canvas_;
    // The window's DC taken for drawing outside a paint; given back when the
    // outermost message being dispatched is done.
    std::unique_ptr<WindowDC> windowDc_;
};

} // namespace gui
