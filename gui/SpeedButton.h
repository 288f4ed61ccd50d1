// A small push button without focus that shows a glyph: flat (an edge only under the mouse or
// while down), and in a group (GroupIndex other than 0) a button that stays down until another
// of its group on the same parent goes down, or, with AllowAllUp, until it is clicked again.
#pragma once

#include <memory>

#include "gui/Bitmap.h"
#include "gui/CustomControl.h"

namespace gui {

class SpeedButton : public CustomControl {
  public:
    // 23 x 22, not flat, group 0, up, no glyph.
    explicit SpeedButton(Component* owner);
    ~SpeedButton() override;

    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    // Only a grouped button can be down; the last down button of a group without AllowAllUp
    // stays down. Going down puts the group's other buttons up.
    bool Down() const { return down_; }
    void SetDown(bool v);
    // Drawn centred, keyed on its bottom-left pixel.
    const Bitmap& Glyph() const { return *glyph_; }
    void SetGlyph(const Bitmap& glyph);

    // Under the mouse now (drawn with a raised edge when flat).
    bool MouseInside() const { return mouseInControl_; }

    // What a click of the left button does: a grouped button goes down (or up again with
    // AllowAllUp), then OnClick.
    void Click() override;

  protected:
    void Paint() override;
    void WndProc(Message& msg) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  private:
    void ReleaseGroup();

    std::unique_ptr<Bitmap> glyph_;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool pressed_ = false;
};

} // namespace gui
