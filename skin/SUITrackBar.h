// The skinned slider: a bar bitmap stretched along the control and a slider picture that the
// user drags, or moves by clicking on the bar, to pick an integer Position between Min and Max.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gui/Bitmap.h"
#include "gui/Panel.h"
#include "gui/Picture.h"
#include "skin/SUIProgressBar.h"
#include "skin/SUIThemes.h"

namespace sui {

class TsuiImagePanel;

class TsuiTrackBar : public gui::Panel {
  public:
    // 0 … 100 at 0, horizontal, the style of the form among the owner's children.
    explicit TsuiTrackBar(gui::Component* owner);
    ~TsuiTrackBar() override;

    // The bar picture: the theme's bar bitmap for a built-in style, the designer's for Custom.
    gui::Picture& BarImage() const { return *barImage_; }
    void SetBarImage(const gui::Picture& picture);
    gui::Picture& SliderImage() const;
    void SetSliderImage(const gui::Picture& picture);
    TsuiImagePanel& Slider() const { return *slider_; }

    // Stored as given, without a range check; the slider is placed anew and OnChange raised.
    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    void SetPosition(int position);

    TsuiProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TsuiProgressBarOrientation orientation);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Setting the style the bar already has does nothing.
    void SetUIStyle(TsuiUIStyle style);

    bool Dragging() const { return dragging_; }
    // The value for a mouse point on the bar, taking the slider's centre to be at the mouse;
    // not clamped, so it may lie outside Min … Max. A track no longer than the slider gives Min.
    std::int64_t PositionFromPoint(int x, int y) const;

    // Raised whenever the slider is placed by Position, Min, Max or a relayout, and on every
    // mouse move while dragging (before Position follows the mouse).
    gui::TNotifyEvent OnChange;

  protected:
    void Paint() override;
    void WndProc(gui::Message& msg) override;
    void Resize() override;
    void Loaded() override;
    void BoundsChanged(bool moved, bool resized) override;
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void MouseMove(gui::TShiftState shift, int x, int y) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;

  private:
    // Places the slider for Position, repaints, raises OnChange.
    void UpdateSlider();
    // Builds the bar bitmap at the control's length and loads the slider picture.
    void PrepareBar();
    // The cross size: the taller of the bar and the slider.
    void AdjustCrossSize();
    void Relayout();
    int BarThickness() const;
    int ClampToRange(std::int64_t value) const;
    void StartSliderDrag(int x, int y);
    void RepaintNow();

    std::unique_ptr<gui::Bitmap> barBitmap_;
    std::unique_ptr<gui::Picture> barImage_;
    TsuiImagePanel* slider_ = nullptr; // owned and parented by the track bar
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    TsuiProgressBarOrientation orientation_ = suiHorizontal;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    bool dragging_ = false;
    int grabOffset_ = 0;
};

} // namespace sui
