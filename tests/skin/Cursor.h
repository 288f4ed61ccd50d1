// The real cursor in tests that paint what lies under it: moved and waited for until the
// system reports it there (the display server delivers a move with its own delay), and
// remembered, so that a paint can tell whether anyone else moved it meanwhile.
#pragma once

#include <windows.h>

#include "gui/Application.h"

namespace skintest {

// Where the test last put the cursor.
inline POINT intendedCursor{1200, 950};

inline void MoveCursor(int x, int y) {
    intendedCursor = POINT{x, y};
    SetCursorPos(x, y);
    int steady = 0;
    for (int i = 0; i < 200 && steady < 4; ++i) {
        gui::App().ProcessMessages();
        POINT p{};
        GetCursorPos(&p);
        steady = (p.x == x && p.y == y) ? steady + 1 : 0;
        Sleep(5);
    }
}

// Puts the cursor far from every control the tests paint (they sit near the screen's origin).
inline void CursorAway() {
    MoveCursor(1200, 950);
}

} // namespace skintest
