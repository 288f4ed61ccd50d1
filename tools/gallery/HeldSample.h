// A gallery sample held in one look: the mouse neither enters nor presses it, so a button shows
// its hover or pressed picture for as long as the gallery is open.
#pragma once

#include "gui/Messages.h"

namespace gallery {

template <class T> class HeldSample : public T {
  public:
    HeldSample(gui::Component* owner, bool mouseOn, bool mouseDown) : T(owner) {
        this->isMouseOn_ = mouseOn;
        this->isMouseDown_ = mouseDown;
        this->SetTabStop(false);
    }

  protected:
    void WndProc(gui::Message& msg) override {
        const bool mouse = msg.Msg == gui::CM_MOUSEENTER || msg.Msg == gui::CM_MOUSELEAVE ||
                           (msg.Msg >= WM_MOUSEFIRST && msg.Msg <= WM_MOUSELAST);
        if (!mouse) T::WndProc(msg);
    }
};

} // namespace gallery
