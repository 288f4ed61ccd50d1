// The skinned frame of the framework's edit, list and combo controls: after the platform has
// erased or painted the control, a flat frame of two one-pixel lines replaces its 3-D border,
// the outer one in the border colour and the inner one in the control's face colour.
#pragma once

#include "gui/GdiObject.h"
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
    // Drawn into dc after the platform's paint and before the frame (the combo box's button).
    virtual void PaintOverControl(HDC) {}

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
            if (this->HandleAllocated()) {
                gui::WindowDC dc(this->Handle());
                PaintOverControl(dc.Get());
            }
            DrawFrame();
            return;
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            Base::WndProc(msg);
            DrawFrame();
            return;
        case WM_PRINT:
        case WM_PRINTCLIENT:
            // A picture of the window taken off screen shows the skin too.
            Base::WndProc(msg);
            PrintSkin(reinterpret_cast<HDC>(msg.WParam), msg.Msg == WM_PRINTCLIENT,
                      msg.Msg == WM_PRINT && (msg.LParam & PRF_NONCLIENT));
            return;
        default:
            Base::WndProc(msg);
            return;
        }
    }

  private:
    // The client printed (the frame too where the window has no frame area of its own), or
    // the frame area printed.
    void PrintSkin(HDC dc, bool client, bool frameArea) {
        if (!this->HandleAllocated()) return;
        RECT window{}, inner{};
        GetWindowRect(this->Handle(), &window);
        OffsetRect(&window, -window.left, -window.top);
        GetClientRect(this->Handle(), &inner);
        if (client) PaintOverControl(dc);
        if (frameArea || (client && EqualRect(&window, &inner)))
            DrawControlBorder(dc, window, borderColor_, this->Color());
    }

    gui::TColor borderColor_ = 0;
};

} // namespace sui
