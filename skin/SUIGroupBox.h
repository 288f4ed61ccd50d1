// The group box: a container framed by one line in its border colour, with a caption standing
// in a gap of the frame's top edge. The check group builds on it.
#pragma once

#include <string>

#include "skin/SUIImagePanel.h"

namespace sui {

class TsuiCustomGroupBox : public TsuiCustomPanel {
  public:
    // 185 x 105, transparent, frame and caption colours from the owner form's style; the face
    // colour stays the framework's default.
    explicit TsuiCustomGroupBox(gui::Component* owner);

    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color);
    // The caption in the frame. It is the box's own: the window text stays one blank.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Enables or disables the box and every control in it, those disabled on their own too.
    void SetEnabled(bool enabled) override;
    // What lies inside the frame and below the caption, for the controls in the box.
    RECT ContentRect() const;

  protected:
    void ComposePaint(gui::Canvas& canvas) override;

  private:
    gui::TColor borderColor_ = 0;
    std::string caption_;
};

// The group box designers place: a TsuiCustomGroupBox with nothing added.
class TsuiGroupBox : public TsuiCustomGroupBox {
  public:
    using TsuiCustomGroupBox::TsuiCustomGroupBox;
};

} // namespace sui
