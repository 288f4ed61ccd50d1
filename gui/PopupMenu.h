// A context menu: items with captions, popped up at a screen point.
#pragma once

#include <windows.h>

#include "gui/Component.h"
#include "gui/MainMenu.h"
#include "gui/Types.h"

namespace gui {

// Shows item's children as a native popup menu with its top-left corner at the screen point
// and waits; returns the chosen item (null when the menu was dismissed).
MenuItem* TrackMenu(MenuItem& item, POINT screen);

class PopupMenu : public Component {
  public:
    explicit PopupMenu(Component* owner);

    MenuItem& Items() { return root_; }

    // Raises OnPopup, shows the menu with its top-left corner at the screen point and waits;
    // the chosen item's OnClick runs before it returns.
    virtual void Popup(int x, int y);

    TNotifyEvent OnPopup;

  private:
    MenuItem root_;
};

} // namespace gui
