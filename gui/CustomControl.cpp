#include "gui/CustomControl.h"

#include "gui/Canvas.h"
#include "gui/GdiObject.h"

#include <algorithm>
#include <vector>

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

// Controls whose canvas holds a window DC right now.
std::vector<CustomControl*>& Holders() {
    static std::vector<CustomControl*> holders;
    return holders;
}

} // namespace

void ReleaseHeldDeviceContexts() {
    auto& holders = Holders();
    while (!holders.empty())
        holders.back()->ReleaseWindowDC();
}

CustomControl::CustomControl(Component* owner)
    : WinControl(owner), canvas_(std::make_unique<gui::Canvas>()) {}

CustomControl::~CustomControl() {
    ReleaseWindowDC();
}

gui::Canvas& CustomControl::Canvas() {
    if (canvas_->Handle() == nullptr && HandleAllocated()) {
        windowDc_ = std::make_unique<WindowDC>(Handle());
        canvas_->SetHandle(windowDc_->Get());
        Holders().push_back(this);
    }
    return *canvas_;
}

void CustomControl::ReleaseWindowDC() {
    if (windowDc_ == nullptr) return;
    if (canvas_->Handle() == windowDc_->Get()) canvas_->SetHandle(nullptr);
    windowDc_.reset();
    auto& holders = Holders();
    holders.erase(std::remove(holders.begin(), holders.end(), this), holders.end());
}

void CustomControl::DestroyWnd() {
    ReleaseWindowDC();
    WinControl::DestroyWnd();
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

} // namespace gui
