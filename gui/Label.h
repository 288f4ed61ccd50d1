// A line of text on its parent, opaque or showing the parent through.
#pragma once

#include "gui/CustomControl.h"

namespace gui {

class Label : public CustomControl {
  public:
    // AutoSize on, opaque, left-justified, colour and font follow the parent.
    explicit Label(Component* owner);

    // True: the parent's background shows where no text is drawn.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // True: the label takes the size of its caption in its font.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);

  protected:
    void Paint() override;
    void WndProc(Message& msg) override;
    // Takes the caption's size once the layout is complete.
    void Loaded() override;

  private:
    void AdjustBounds();

    bool transparent_ = false;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
};

} // namespace gui
