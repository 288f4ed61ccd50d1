// The skinned check list box: flat check marks inside the toolkit's frame, which stands in
// place of any border the designer asks for.
#pragma once

#include "gui/CheckListBox.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiCheckListBox : public TsuiBorderedControl<gui::CheckListBox> {
  public:
    explicit TsuiCheckListBox(gui::Component* owner) : TsuiBorderedControl(owner, 1) { SetFlat(true); }

    // Reads as a single border; whatever is written, the platform draws none.
    gui::TBorderStyle BorderStyle() const override { return gui::bsSingle; }
    void SetBorderStyle(gui::TBorderStyle) override { gui::CheckListBox::SetBorderStyle(gui::bsNone); }
    // Always one pixel.
    int BorderWidth() const override { return 1; }
    void SetBorderWidth(int) override { gui::CheckListBox::SetBorderWidth(1); }
};

} // namespace sui
