// The framework's own notification messages and the message record that a
// control's window procedure works on.
#pragma once

#include <windows.h>

namespace gui {

// A message on its way through a control's handling. Handlers set Result.
struct Message {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Framework notifications, sent straight to a control's handling (Perform).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 3;
constexpr UINT CM_COLORCHANGED = CM_BASE + 4;
// wParam: the character code. Result 1 when a control took it as its accelerator.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
// Sent to a form and passed on to every control on it; lParam: the focused Control*.
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 12;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// Posted to a form that asked to be freed after its close (caFree).
constexpr UINT CM_RELEASE = CM_BASE + 33;

// Notifications reflected from a parent back to the child control they concern:
// CN_BASE + WM_COMMAND, CN_BASE + WM_NOTIFY, CN_BASE + WM_DRAWITEM, CN_BASE + WM_CTLCOLOR*.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

} // namespace gui
