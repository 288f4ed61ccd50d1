// Helpers of the dialog tests: the message loop run a little, a control's bounds checked, and
// a click sent straight to a control's window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "gui/Application.h"
#include "gui/Control.h"
#include "gui/WinControl.h"

namespace dialogtest {

inline void Pump() {
    for (int i = 0; i < 3; ++i)
        gui::App().ProcessMessages();
}

struct Bounds {
    int left, top, width, height;
};

inline void ExpectBounds(const gui::Control& c, Bounds b, const char* name) {
    EXPECT_EQ(c.Left(), b.left) << name;
    EXPECT_EQ(c.Top(), b.top) << name;
    EXPECT_EQ(c.Width(), b.width) << name;
    EXPECT_EQ(c.Height(), b.height) << name;
}

// Moves the mouse onto the control's middle and presses and releases the left button there.
inline void SendClick(gui::WinControl& control) {
    HWND h = control.Handle();
    LPARAM at = MAKELPARAM(control.Width() / 2, control.Height() / 2);
    SendMessageW(h, WM_MOUSEMOVE, 0, at);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
}

} // namespace dialogtest
