// The skinned progress bar: 12 pixels thick, a picture stretched over the filled part, a plain
// colour beyond it, a one-pixel border and, on a horizontal bar, a centred percentage.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/Panel.h"
#include "gui/Picture.h"
#include "skin/SUIThemes.h"

namespace sui {

// The direction of a progress bar or a track bar.
enum TsuiProgressBarOrientation : std::uint8_t { suiHorizontal, suiVertical };

class TsuiProgressBar : public gui::Panel {
  public:
    // The bar's one thickness.
    static constexpr int kThickness = 12;

    // 150 x 12, 50 of 0 … 100, caption "50%", the style of the form among the owner's children.
    explicit TsuiProgressBar(gui::Component* owner);
    ~TsuiProgressBar() override;

    // Stored as given, without a range check; the caption follows.
    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    void SetPosition(int position);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    // Turns the bar: the longer side stays the length, the other becomes 12.
    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation orientation);

    // The colour of the unfilled part; the bar's own, apart from the framework control colour.
    gui::TColor Color() const { return color_; }
    void SetColor(gui::TColor color);
    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color);
    gui::TColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(gui::TColor color);
    // A vertical bar switches this off for good when it paints.
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool show);
    gui::Picture& Picture() const { return *picture_; }
    void SetPicture(const gui::Picture& picture);

    // The filled part of an available length: nothing for an empty range or a Position at or
    // below Min, all of it above Max.
    int FilledLength(int available) const;

    // The thickness stays 12: a change of bounds to any other is dropped whole, position
    // included.
    void SetBounds(int left, int top, int width, int height) override;

  protected:
    void Paint() override;
    // Replaces the framework's check (and its OnCanResize): only the thickness rule holds.
    bool CanResize(int& newWidth, int& newHeight) override;

  private:
    bool KeepsThickness(int width, int height) const;
    void LoadStyle();
    // Caption := the percentage of Position in Min … Max, not clamped.
    void UpdateCaption();
    void RepaintNow();

    int max_ = 100;
    int min_ = 0;
    int position_ = 50;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    gui::TColor borderColor_ = 0x000000;
    gui::TColor color_ = gui::clBtnFace;
    std::unique_ptr<gui::Picture> picture_;
    bool showCaption_ = true;
    gui::TColor captionColor_ = 0x000000;
};

} // namespace sui
