#include "gui/CustomControl.h"

#include "gui/Canvas.h"
#include "gui/GdiObject.h"

namespace gui {

namespace {

// Points the canvas at a DC for the length of a paint and back afterwards.
class CanvasHandleScope {
 public:
  CanvasHandleScope(gui::Canvas& canvas, HDC dc) : canvas_(canvas), old_(canvas.Handle()) {
    canvas_.SetHandle(dc);
  }
  ~CanvasHandleScope() { canvas_.SetHandle(old_); }
  CanvasHandleScope(const CanvasHandleScope&) = delete;
  CanvasHandleScope& operator=(const CanvasHandleScope&) = delete;

 private:
  gui::Canvas& canvas_;
  HDC old_;
};

}  // namespace

CustomControl::CustomControl(Component* owner)
    : WinControl(owner), canvas_(std::make_unique<gui::Canvas>()) {}

CustomControl::~CustomControl() { ReleaseWindowDC(); }

gui::Canvas& CustomControl::Canvas() {
  if (canvas_->Handle() == nullptr && HandleAllocated()) {
    windowDc_ = std::make_unique<WindowDC>(Handle());
    canvas_->SetHandle(windowDc_->Get());
  }
  return *canvas_;
}

void CustomControl::ReleaseWindowDC() {
  if (windowDc_ == nullptr) return;
  if (canvas_->Handle() == windowDc_->Get()) canvas_->SetHandle(nullptr);
  windowDc_.reset();
}

void CustomControl::DestroyWnd() {
  ReleaseWindowDC();
  WinControl::DestroyWnd();
}

void CustomControl::WndProc(Message& msg) {
  ++messageDepth_;
  try {
    WinControl::WndProc(msg);
  } catch (...) {
    if (--messageDepth_ == 0) ReleaseWindowDC();
    throw;
  }
  if (--messageDepth_ == 0) ReleaseWindowDC();
}

void CustomControl::PaintWindow(HDC dc) {
  CanvasHandleScope scope(*canvas_, dc);
  canvas_->SetFont(Font());
  canvas_->Brush().SetColor(Color());
  Paint();
}

void CustomControl::Paint() {
  gui::Canvas& canvas = *canvas_;
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
}

}  // namespace gui
