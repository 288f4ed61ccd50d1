// The skinned combo box: the framework's combo box with its drop-down button painted in the
// style's colours (or the MacOS button picture) and a flat frame.
#pragma once

#include "gui/ComboBox.h"
#include "skin/SUIBorderedControl.h"
#include "skin/SUIThemes.h"

namespace sui {

class TsuiComboBox : public TsuiBorderedControl<gui::ComboBox> {
  public:
    // The owner form's style with its button, arrow and border colours.
    explicit TsuiComboBox(gui::Component* owner);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Takes the style's button colour, and its control border colour for the arrow and the
    // border; repaints.
    void SetUIStyle(TsuiUIStyle style);
    gui::TColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(gui::TColor color);
    gui::TColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(gui::TColor color);
    void SetEnabled(bool enabled) override;

  protected:
    // The drop-down button: the MacOS picture stretched over it, or a fill of ButtonColor in
    // the other styles; the arrow on it.
    void PaintOverControl(HDC dc) override;
    // A triangle pointing down, 7 wide and 4 high, from (x, y); grey over a white copy one
    // pixel lower right when disabled.
    void DrawArrow(HDC dc, int x, int y);

  private:
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    gui::TColor arrowColor_ = 0;
    gui::TColor buttonColor_ = 0;
};

} // namespace sui
