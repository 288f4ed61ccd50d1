#include "skin/SUIGroupBox.h"

#include <cstdlib>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Font.h"
#include "skin/SUIThemes.h"

namespace sui {

TsuiCustomGroupBox::TsuiCustomGroupBox(gui::Component* owner) : TsuiCustomPanel(owner) {
    gui::Control::SetCaption(" ");
    SetBounds(Left(), Top(), 185, 105);
    const TsuiUIStyle style = FindFormStyle(owner);
    borderColor_ = GetThemeColor(style, thControlBorderColor);
    Font().SetColor(GetThemeColor(style, thControlFontColor));
    SetTransparent(true);
}

void TsuiCustomGroupBox::SetBorderColor(gui::TColor color) {
    borderColor_ = color;
    RepaintNow();
}

void TsuiCustomGroupBox::SetCaption(const std::string& caption) {
    caption_ = caption;
    RepaintNow();
}

void TsuiCustomGroupBox::SetEnabled(bool enabled) {
    TsuiCustomPanel::SetEnabled(enabled);
    for (int i = 0; i < ControlCount(); ++i)
        Controls(i)->SetEnabled(enabled);
    RepaintNow();
}

RECT TsuiCustomGroupBox::ContentRect() const {
    const RECT r = ClientRect();
    return RECT{r.left + 3, r.top + std::abs(Font().Height()), r.right - 2, r.bottom - 2};
}

void TsuiCustomGroupBox::ComposePaint(gui::Canvas& canvas) {
    const int h = std::abs(Font().Height());
    TsuiCustomPanel::ComposePaint(canvas);

    canvas.SetFont(Font());
    const RECT r = ClientRect();
    const int y = r.top + h / 2 + 1; // the top line runs through the middle of the caption
    // From the piece left of the caption round the box and back to the caption's right end;
    // without a caption the top line closes.
    const int end = caption_.empty() ? r.left : r.left + canvas.TextWidth(caption_) + 6;
    canvas.Pen().SetColor(borderColor_);
    canvas.Polyline({POINT{r.left + 2, y}, POINT{r.left, y}, POINT{r.left, r.bottom - 1},
                     POINT{r.right - 1, r.bottom - 1}, POINT{r.right - 1, y}, POINT{end, y}});

    if (!Enabled()) canvas.Font().SetColor(gui::clGray);
    canvas.Brush().SetStyle(gui::bsClear);
    canvas.TextOut(5, 0, caption_);
}

} // namespace sui
