// The routines the skinned menu's item painter uses: filling and framing in a colour, the
// separator line, the MacOS stripe bitmaps, the flat border over an open list, the system menu
// font, and the walk that gives every item the menu's painter.
#pragma once

#include <windows.h>

#include "gui/Color.h"
#include "gui/MainMenu.h"

namespace gui {
class Canvas;
class Font;
} // namespace gui

namespace sui {

// Gives item and every item below it (depth first, in index order) the measure and draw events.
void HookMenuItems(gui::MenuItem& item, const gui::TMenuMeasureItemEvent& measure,
                   const gui::TMenuDrawItemEvent& draw);

// The flat border over the window W = (WL, WT, WR, WB), drawn on the whole screen: a frame in
// outer at (WL, WT + 1, WR - 1, WB - 1), a white frame inside it, and a line in lineColor along
// the bottom, up the right side and back along the top.
void DrawFlatMenuBorder(HWND window, gui::TColor outer, gui::TColor lineColor);
// The same drawing onto a canvas whose origin is the screen's (the tests draw into a bitmap).
void DrawFlatMenuBorderOn(gui::Canvas& canvas, const RECT& window, gui::TColor outer, gui::TColor lineColor);

// The system's menu font in the menu-text colour; false (the font as it was) when the system's
// metrics cannot be read.
bool SetSystemMenuFont(gui::Font& font);

void MenuFillRect(gui::Canvas& canvas, const RECT& rect, gui::TColor color);
void MenuFrameRect(gui::Canvas& canvas, const RECT& rect, gui::TColor color);
// A one-pixel horizontal line from (x1, y) up to x2.
void DrawMenuSeparatorLine(gui::Canvas& canvas, int x1, int x2, int y, gui::TColor color);
// The top rows of the named MacOS stripe bitmap, stretched over rect.
void DrawMacOSStripe(gui::Canvas& canvas, const RECT& rect, const char* name, int rows);

} // namespace sui
