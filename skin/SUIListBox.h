// The skinned list box: the framework's control inside the toolkit's flat two-line frame.
#pragma once

#include "gui/ListBox.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiListBox : public TsuiBorderedControl<gui::ListBox> {
  public:
    explicit TsuiListBox(gui::Component* owner) : TsuiBorderedControl(owner, 2) {}
};

} // namespace sui
