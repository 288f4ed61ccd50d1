// The skinned one-line text field: the framework's control inside the toolkit's flat two-line frame.
#pragma once

#include "gui/Edit.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiEdit : public TsuiBorderedControl<gui::Edit> {
  public:
    explicit TsuiEdit(gui::Component* owner) : TsuiBorderedControl(owner, 2) {}
};

} // namespace sui
