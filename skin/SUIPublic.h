// The drawing and geometry routines the skinned controls share. Skin bitmaps drawn here are
// keyed on the colour of their top-left pixel.
#pragma once

#include <windows.h>

#include "gui/Color.h"

namespace gui {
class Bitmap;
class Canvas;
class Control;
class Picture;
class WinControl;
} // namespace gui

namespace sui {

// Paints the part of the control's parent that lies under the control into the canvas (the
// parent's background and its own painting, not its other children). No parent: nothing.
void DrawParentBackground(gui::Canvas& canvas, gui::Control* control);

// Repeats the picture from the canvas origin until the rectangle's size is covered. A picture
// without width or height draws nothing.
void TileDraw(gui::Canvas& canvas, const gui::Picture& picture, const RECT& rect);

// Draws the bitmap at rect's top-left corner stretched to rect's size, its left and right
// halves and top and bottom halves unscaled and the middle column and row repeated between.
void DrawSkinStretched(gui::Bitmap& bitmap, gui::Canvas& canvas, const RECT& rect, bool transparent);

// Cuts the bitmap into three slices of width div 3: left slice at the left, right slice at
// the right, both at their own size; the middle slice stretched over what lies between.
void DrawThreePart(gui::Bitmap& bitmap, gui::Canvas& canvas, const RECT& rect, bool transparent);

// Frames the control's whole window: one pixel of outer, then one pixel of inner inside it.
void DrawControlBorder(gui::WinControl* control, gui::TColor outer, gui::TColor inner);
// The same frame drawn into a device context round the rectangle (a window printed off screen).
void DrawControlBorder(HDC dc, const RECT& rect, gui::TColor outer, gui::TColor inner);

// Turns the bitmap a quarter turn counter-clockwise in place: W x H becomes H x W, the top
// row becomes the left column with its right end at the top.
void RotateBitmap90(gui::Bitmap& bitmap);

// Left <= x <= Right and Top <= y <= Bottom: the right and bottom edges count as inside.
bool PointInRectInclusive(POINT point, const RECT& rect);

// The desktop's work area (the screen less the task bar); the system call's success flag.
bool GetWorkAreaRect(RECT& rect);

// Left := x, then Top := y.
void SetControlPosition(gui::Control* control, POINT point);

// Left, Top, Width, Height from the rectangle, in that order.
void SetFormBounds(gui::Control* form, const RECT& rect);

} // namespace sui
