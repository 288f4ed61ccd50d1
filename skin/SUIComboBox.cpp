#include "skin/SUIComboBox.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/GdiObject.h"

namespace sui {

TsuiComboBox::TsuiComboBox(gui::Component* owner) : TsuiBorderedControl(owner, 0) {
    SetUIStyle(FindFormStyle(owner));
}

void TsuiComboBox::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    buttonColor_ = GetThemeColor(style, thComboBoxButtonColor);
    arrowColor_ = GetThemeColor(style, thControlBorderColor);
    SetBorderColor(arrowColor_); // repaints
}

void TsuiComboBox::SetArrowColor(gui::TColor color) {
    arrowColor_ = color;
    RepaintFrame();
}

void TsuiComboBox::SetButtonColor(gui::TColor color) {
    buttonColor_ = color;
    RepaintFrame();
}

void TsuiComboBox::SetEnabled(bool enabled) {
    TsuiBorderedControl::SetEnabled(enabled);
    RepaintFrame();
}

void TsuiComboBox::PaintOverControl(HDC dc) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle(), &info)) return;
    const RECT button = info.rcButton;
    if (button.right <= button.left || button.bottom <= button.top) return;
    gui::Canvas canvas(dc);
    if (uiStyle_ == TsuiUIStyle::MacOS) {
        gui::Bitmap picture;
        picture.LoadFromResourceName(GetModuleHandleW(nullptr), "MACOS_COMBOBOX_BUTTON");
        canvas.StretchDraw(button, picture);
    } else {
        canvas.Brush().SetColor(buttonColor_);
        canvas.FillRect(button);
    }
    // The arrow's height is measured from the top of the client area, not of the button.
    DrawArrow(dc, button.left + (button.right - button.left) / 2 - 4, (button.bottom - button.top) / 2);
}

void TsuiComboBox::DrawArrow(HDC dc, int x, int y) {
    auto triangle = [dc](gui::TColor color, int tx, int ty) {
        gui::BrushHandle brush(CreateSolidBrush(gui::ColorToRGB(color)));
        gui::PenHandle pen(CreatePen(PS_SOLID, 1, gui::ColorToRGB(color)));
        gui::SelectObjectGuard selectBrush(dc, brush.Get());
        gui::SelectObjectGuard selectPen(dc, pen.Get());
        const POINT points[3] = {{tx, ty}, {tx + 6, ty}, {tx + 3, ty + 3}};
        Polygon(dc, points, 3);
    };
    if (Enabled()) {
        triangle(arrowColor_, x, y);
        return;
    }
    // The white copy's corners lie one pixel lower right: (x + 1, y + 1), (x + 7, y + 1), (x + 4, y + 4).
    triangle(gui::clWhite, x + 1, y + 1);
    triangle(gui::clGray, x, y);
}

} // namespace sui
