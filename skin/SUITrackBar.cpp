// The skinned slider.
#include "skin/SUITrackBar.h"

#include <algorithm>
#include <climits>

#include "gui/Canvas.h"
#include "gui/Graphic.h"
#include "gui/OffscreenPaint.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

// A window coordinate from a 64-bit result: a Position far outside the range puts the slider
// far off the track, never at a wrapped-around place.
int Saturate(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

TsuiTrackBar::TsuiTrackBar(gui::Component* owner)
    : gui::Panel(owner), barBitmap_(std::make_unique<gui::Bitmap>()),
      barImage_(std::make_unique<gui::Picture>()) {
    slider_ = new TsuiImagePanel(this);
    slider_->SetParent(this);
    slider_->OnMouseDown = [this](gui::Component*, gui::TMouseButton, gui::TShiftState, int x, int y) {
        StartSliderDrag(x, y);
    };
    SetMin(0);
    SetMax(100);
    SetPosition(0);
    orientation_ = suiHorizontal;
    dragging_ = false;
    SetUIStyle(FindFormStyle(owner));
    UpdateSlider();
}

// The slider is owned by the track bar and goes with it.
TsuiTrackBar::~TsuiTrackBar() = default;

// ---------------------------------------------------------------------------
// Setters.

gui::Picture& TsuiTrackBar::SliderImage() const {
    return slider_->Picture();
}

void TsuiTrackBar::SetBarImage(const gui::Picture& picture) {
    barImage_->Assign(picture);
    Relayout();
}

void TsuiTrackBar::SetSliderImage(const gui::Picture& picture) {
    slider_->SetPicture(picture);
    RepaintNow();
}

void TsuiTrackBar::SetMin(int min) {
    min_ = min;
    UpdateSlider();
}

void TsuiTrackBar::SetMax(int max) {
    max_ = max;
    UpdateSlider();
}

void TsuiTrackBar::SetPosition(int position) {
    position_ = position;
    UpdateSlider();
}

void TsuiTrackBar::SetOrientation(TsuiProgressBarOrientation orientation) {
    orientation_ = orientation;
    Relayout();
}

void TsuiTrackBar::SetUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_) return;
    uiStyle_ = style;
    if (style == TsuiUIStyle::Custom) return;
    SetColor(GetThemeColor(style, thTrackBarColor));
    Relayout();
}

void TsuiTrackBar::RepaintNow() {
    if (HandleAllocated()) Repaint();
}

// ---------------------------------------------------------------------------
// Layout.

int TsuiTrackBar::BarThickness() const {
    return barImage_->Height();
}

// The products and the quotient are worked out in 64 bits: a range of a few million with a
// track a few hundred pixels long already overflows 32 bits.
void TsuiTrackBar::UpdateSlider() {
    const std::int64_t range = std::int64_t{max_} - min_;
    const std::int64_t offset = std::int64_t{position_} - min_;
    const int sw = slider_->Width();
    const int sh = slider_->Height();
    // With Max equal to Min every Position sits at the start of the track.
    auto along = [&](int travel) { return range == 0 ? 0 : Saturate(travel * offset / range); };
    int left = 0;
    int top = 0;
    if (orientation_ == suiHorizontal) {
        left = along(Width() - sw);
        top = std::max(Height() - sh, 0) / 2;
    } else {
        left = std::max(Width() - sw, 0) / 2;
        top = along(Height() - sh);
    }
    slider_->SetLeft(left);
    slider_->SetTop(top);
    RepaintNow();
    if (OnChange) OnChange(this);
}

void TsuiTrackBar::PrepareBar() {
    const bool vertical = orientation_ == suiVertical;
    if (uiStyle_ == TsuiUIStyle::Custom) {
        const gui::Graphic* graphic = barImage_->Graphic();
        barBitmap_->SetSize(0, 0);
        if (graphic != nullptr && !graphic->Empty()) {
            barBitmap_->SetSize(graphic->Width(), graphic->Height());
            barBitmap_->Canvas().Draw(0, 0, *graphic);
            if (vertical) RotateBitmap90(*barBitmap_);
        }
        return;
    }
    gui::Bitmap& bar = barImage_->Bitmap();
    LoadThemeBitmap(bar, uiStyle_, vertical ? thTrackBarBarV : thTrackBarBar);
    const int length = vertical ? Height() : Width();
    barBitmap_->SetSize(0, 0);
    barBitmap_->SetSize(length, bar.Height());
    DrawThreePart(bar, barBitmap_->Canvas(), gui::MakeRect(0, 0, length, bar.Height()), false);
    if (vertical) RotateBitmap90(*barBitmap_);
    LoadThemeBitmap(slider_->Picture().Bitmap(), uiStyle_, vertical ? thTrackBarSliderV : thTrackBarSlider);
    slider_->SetAutoSize(true);
}

void TsuiTrackBar::AdjustCrossSize() {
    if (orientation_ == suiHorizontal)
        SetHeight(std::max(BarThickness(), slider_->Height()));
    else
        SetWidth(std::max(BarThickness(), slider_->Width()));
    RepaintNow();
}

// A cross size that changes here resizes the control, which runs this once more with the new
// size; the second pass finds the size settled.
void TsuiTrackBar::Relayout() {
    UpdateSlider();
    PrepareBar();
    AdjustCrossSize();
    RepaintNow();
}

void TsuiTrackBar::Resize() {
    gui::Panel::Resize();
    Relayout();
}

// Sizes set while a layout loads are laid out once it has loaded.
void TsuiTrackBar::Loaded() {
    gui::Panel::Loaded();
    Relayout();
}

// A window learns its new size from the system and resizes then; a track bar without a window
// yet resizes at once, so its layout always follows its size.
void TsuiTrackBar::BoundsChanged(bool moved, bool resized) {
    gui::Panel::BoundsChanged(moved, resized);
    if (resized && !HandleAllocated() && !IsLoading()) Resize();
}

// ---------------------------------------------------------------------------
// Painting.

void TsuiTrackBar::Paint() {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) return;
    gui::OffscreenPaint paint(w, h);
    gui::Canvas& canvas = paint.Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    if (barBitmap_->Width() > 0 && barBitmap_->Height() > 0) {
        const int x = orientation_ == suiHorizontal ? 0 : (w - BarThickness()) / 2;
        const int y = orientation_ == suiHorizontal ? (h - BarThickness()) / 2 : 0;
        BitBlt(canvas.Handle(), x, y, barBitmap_->Width(), barBitmap_->Height(),
               barBitmap_->Canvas().Handle(), 0, 0, SRCCOPY);
    }
    paint.Present(Canvas().Handle());
}

void TsuiTrackBar::WndProc(gui::Message& msg) {
    if (msg.Msg == WM_ERASEBKGND) {
        // The paint covers the whole control; erasing first would only flicker.
        msg.Result = 1;
        return;
    }
    gui::Panel::WndProc(msg);
}

// ---------------------------------------------------------------------------
// The mouse.

int TsuiTrackBar::ClampToRange(std::int64_t value) const {
    if (value < min_) return min_;
    if (value > max_) return max_;
    return static_cast<int>(value);
}

std::int64_t TsuiTrackBar::PositionFromPoint(int x, int y) const {
    const bool horizontal = orientation_ == suiHorizontal;
    const int slider = horizontal ? slider_->Width() : slider_->Height();
    const int travel = (horizontal ? Width() : Height()) - slider;
    // A track no longer than the slider leaves nowhere to go: every point is the start.
    if (travel <= 0) return min_;
    const std::int64_t along = (horizontal ? x : y) - slider / 2;
    return min_ + along * (std::int64_t{max_} - min_) / travel;
}

void TsuiTrackBar::StartSliderDrag(int x, int y) {
    grabOffset_ = orientation_ == suiHorizontal ? x : y;
    dragging_ = true;
    SetCapture(Handle());
}

void TsuiTrackBar::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseDown(button, shift, x, y);
    SetPosition(ClampToRange(PositionFromPoint(x, y)));
}

// The slider follows the mouse within the track; Position follows the mouse point after the
// event, so a handler of OnChange reads the Position of the move before.
void TsuiTrackBar::MouseMove(gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseMove(shift, x, y);
    if (!dragging_) return;
    const bool horizontal = orientation_ == suiHorizontal;
    const int travel = horizontal ? Width() - slider_->Width() : Height() - slider_->Height();
    const int v = std::max(std::min((horizontal ? x : y) - grabOffset_, travel), 0);
    if (horizontal)
        slider_->SetLeft(v);
    else
        slider_->SetTop(v);
    if (OnChange) OnChange(this);
    position_ = ClampToRange(PositionFromPoint(x, y));
}

void TsuiTrackBar::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseUp(button, shift, x, y);
    dragging_ = false;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

} // namespace sui
