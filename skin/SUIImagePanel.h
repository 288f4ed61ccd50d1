// Picture panels: a container that paints a picture (plain, stretched or tiled), can look
// transparent over its parent, follows its picture's size on request and draws a caption.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Panel.h"
#include "gui/Picture.h"
#include "skin/SUIThemes.h"

namespace sui {

// How a panel draws its picture.
enum TsuiDrawStyle : std::uint8_t { suiNormal, suiStretch, suiTile };

class TsuiCustomPanel : public gui::Panel {
  public:
    // The framework panel's defaults; an empty picture whose changes reach PictureChanged.
    explicit TsuiCustomPanel(gui::Component* owner);
    ~TsuiCustomPanel() override;

    gui::Picture& Picture() const { return *picture_; }
    // Copies the picture in (PictureChanged runs), then FillBackground and a repaint.
    void SetPicture(const gui::Picture& picture);
    bool Transparent() const { return transparent_; }
    // Paints the parent's background first and draws the picture keyed on its bottom-left pixel.
    virtual void SetTransparent(bool transparent);
    // Follows the picture's size, except in the dimension the panel's alignment controls.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TsuiDrawStyle DrawStyle() const { return drawStyle_; }
    void SetDrawStyle(TsuiDrawStyle style);
    // The rectangle the caption was last drawn into (valid after the first paint).
    const RECT& CaptionRect() const { return captionRect_; }

    // A skinned form's style walk enters the panel: its direct children take the style.
    virtual void UpdateChildrenStyle(TsuiUIStyle style);

  protected:
    // Sets the canvas brush to Color; fills the client area with it only when the panel sits
    // directly in a foreign window.
    virtual void FillBackground();
    // The caption text changed; rect is where the old one was drawn.
    virtual void CaptionAreaChanged(const RECT& rect);
    // The picture changed: size, transparency, background, repaint.
    virtual void PictureChanged();

    // Composes the whole panel off screen (ComposePaint) and copies it in one block transfer.
    void Paint() override;
    // Draws the whole panel into the canvas of an off-screen bitmap of the panel's size.
    virtual void ComposePaint(gui::Canvas& canvas);
    void WndProc(gui::Message& msg) override;
    void Resize() override;

    // Repaints when the window exists.
    void RepaintNow();

  private:
    void AdjustSizeToPicture();
    void MatchGraphicTransparency();
    bool HoldsGraphic() const;

    std::unique_ptr<gui::Picture> picture_;
    bool transparent_ = false;
    bool autoSize_ = false;
    RECT captionRect_{0, 0, 0, 0};
    TsuiDrawStyle drawStyle_ = suiNormal;
};

// The image panel the dialogs place: a TsuiCustomPanel with nothing added.
class TsuiImagePanel : public TsuiCustomPanel {
  public:
    using TsuiCustomPanel::TsuiCustomPanel;
};

} // namespace sui
