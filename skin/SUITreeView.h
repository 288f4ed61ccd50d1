// The skinned tree view: the framework's control inside the toolkit's flat two-line frame.
#pragma once

#include "gui/TreeView.h"
#include "skin/SUIBorderedControl.h"

namespace sui {

class TsuiTreeView : public TsuiBorderedControl<gui::TreeView> {
  public:
    explicit TsuiTreeView(gui::Component* owner) : TsuiBorderedControl(owner, 2) {}
};

} // namespace sui
