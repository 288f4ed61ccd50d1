// The skinned list view: the framework's control inside the toolkit's flat two-line frame.
#pragma once

#include "gui/ListView.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiListView : public TsuiBorderedControl<gui::ListView> {
  public:
    explicit TsuiListView(gui::Component* owner) : TsuiBorderedControl(owner, 2) {}
};

} // namespace sui
