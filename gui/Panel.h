// A container with bevels, a border and a one-line caption.
#pragma once

#include "gui/CustomControl.h"

namespace gui {

class Panel : public CustomControl {
  public:
    // 185 x 41, clBtnFace, raised outer bevel, caption centred.
    explicit Panel(Component* owner);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    // Space between the outer and the inner bevel, kept free of children.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

    // Children are aligned inside the bevels and the border.
    void AdjustClientRect(RECT& rect) override;

  protected:
    // Bevels, then the colour, then the caption (single line, centred vertically).
    void Paint() override;
    void WndProc(Message& msg) override;

  private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};

} // namespace gui
