// The skinned frame of the framework's edit, list and combo controls: after the platform has
// erased or painted the control, a flat frame of two one-pixel lines replaces its 3-D border,
// the outer one in the border colour and the inner one in the control's face colour.
#pragma once

#include "gui/Messages.h"
#include "gui/Types.h"
#include "skin/SUIPublic.h"
#include "skin/SUIThemes.h"

namespace sui {

template <class Base> class TsuiBorderedControl : public Base {
  public:
    // No system border; a band of frameWidth pixels for the frame; the border colour of the
    // owner form's style.
    TsuiBorderedControl(gui::Component* owner, int frameWidth) : Base(owner) {
        Base::SetBorderStyle(gui::bsNone);
        Base::SetBorderWidth(frameWidth);
        borderColor_ = FindFormBorderColor(owner);
    }

    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color) {
        borderColor_ = color;
        RepaintFrame();
    }

  protected:
    // Drawn after the platform's paint and before the frame (the combo box's button).
    virtual void PaintOverControl() {}

    void DrawFrame() {
        if (this->HandleAllocated()) DrawControlBorder(this, borderColor_, this->Color());
    }

    void RepaintFrame() {
        if (!this->HandleAllocated()) return;
        RedrawWindow(this->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }

    void WndProc(gui::Message& msg) override {
        switch (msg.Msg) {
        case WM_PAINT:
            Base::WndProc(msg);
            if (this->HandleAllocated()) PaintOverControl();
            DrawFrame();
            return;
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            Base::WndProc(msg);
            DrawFrame();
            return;
        default:
            Base::WndProc(msg);
            return;
        }
    }

  private:
    gui::TColor borderColor_ = 0;
};

} // namespace sui
