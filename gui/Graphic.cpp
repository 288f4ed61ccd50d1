#include "gui/Graphic.h"

namespace gui {

void Graphic::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Changed();
}

void Graphic::Changed() {
    if (OnChange) OnChange();
}

} // namespace gui
