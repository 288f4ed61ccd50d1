// A windowed control that paints itself: a canvas over the window and a
// Paint step run on every WM_PAINT (inside BeginPaint/EndPaint), or into the
// device context that a WM_PAINT carries in wParam.
#pragma once

#include <memory>

#include "gui/WinControl.h"

namespace gui {

class Canvas;

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

 private:
  std::unique_ptr<gui::Canvas> canvas_;
};

}  // namespace gui
