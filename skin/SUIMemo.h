// The skinned text field of many lines: the framework's control inside the toolkit's flat two-line frame.
#pragma once

#include "gui/Memo.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiMemo : public TsuiBorderedControl<gui::Memo> {
  public:
    explicit TsuiMemo(gui::Component* owner) : TsuiBorderedControl(owner, 2) {}
};

} // namespace sui
