#include "gui/Picture.h"

#include "gui/Bitmap.h"

namespace gui {

void Picture::SetGraphic(std::unique_ptr<gui::Graphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this] { Changed(); };
    Changed();
}

void Picture::Assign(const Picture& other) {
    if (&other == this) return;
    SetGraphic(other.graphic_ ? other.graphic_->Clone() : nullptr);
}

void Picture::Assign(const gui::Graphic& graphic) {
    SetGraphic(graphic.Clone());
}

gui::Bitmap& Picture::Bitmap() {
    auto* bitmap = dynamic_cast<gui::Bitmap*>(graphic_.get());
    if (!bitmap) {
        auto created = std::make_unique<gui::Bitmap>();
        bitmap = created.get();
        SetGraphic(std::move(created));
    }
    return *bitmap;
}

void Picture::Changed() {
    if (OnChange) OnChange();
}

} // namespace gui
