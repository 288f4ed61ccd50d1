// The track bar, on pixels and real messages: bar and slider in every style and both
// directions, clicks and drags with their clamping and events, the divisions that have
// nothing to divide by, wide ranges, and paints without leaks.
#include "skin/SUITrackBar.h"

#include <gtest/gtest.h>

#include <climits>

#include "skin/SUIImagePanel.h"
#include "tests/skin/SUIButton_test.h"
#include "tests/skin/SkinPixels.h"

using namespace sui;
using namespace buttontest;

namespace {

using skintest::PixelOf;

// The track bar as the screen shows it: its own paint with the slider's over it.
gui::Bitmap Composite(TsuiTrackBar& track) {
    gui::Bitmap out = Paint(track);
    TsuiImagePanel& slider = track.Slider();
    const HDC dc = out.Canvas().Handle();
    SetViewportOrgEx(dc, slider.Left(), slider.Top(), nullptr);
    slider.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    return out;
}

// Columns [from, from + n) of the bitmap's row y against row sy of the source from column sx.
int RowDiff(const gui::Bitmap& b, int x, int y, const gui::Bitmap& src, int sx, int sy, int n) {
    int diff = 0;
    for (int i = 0; i < n; ++i)
        diff += At(b, x + i, y) != At(src, sx + i, sy);
    return diff;
}

// A track bar on a shown form, so that it has windows and takes the mouse.
struct TrackOnForm {
    explicit TrackOnForm(TsuiProgressBarOrientation o = suiHorizontal, int length = 200) {
        track.SetParent(&host.form);
        track.SetOrientation(o);
        if (o == suiHorizontal)
            track.SetBounds(10, 10, length, track.Height());
        else
            track.SetBounds(10, 10, track.Width(), length);
        track.OnChange = [this](gui::Component*) { seen.Add(std::to_string(track.Position())); };
    }
    void Down(int x, int y) { Host::Send(track, WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Up(int x, int y) { Host::Send(track, WM_LBUTTONUP, 0, x, y); }
    void Move(int x, int y) { Host::Send(track, WM_MOUSEMOVE, MK_LBUTTON, x, y); }
    void Click(int x, int y) {
        Down(x, y);
        Up(x, y);
    }
    Host host;
    TsuiTrackBar track{nullptr};
    Recorder seen; // the Position each OnChange read
};

} // namespace

TEST(TrackBar, Defaults) {
    TsuiTrackBar track(nullptr);
    EXPECT_EQ(track.Min(), 0);
    EXPECT_EQ(track.Max(), 100);
    EXPECT_EQ(track.Position(), 0);
    EXPECT_EQ(track.Orientation(), suiHorizontal);
    EXPECT_EQ(track.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(track.Color(), 0xE8E8E8u);
    EXPECT_FALSE(track.TabStop());
}

// The bar is its theme bitmap in three slices along the length, centred across; the slider
// stands where Position puts it and shows its own theme bitmap.
TEST(TrackBar, HorizontalBarAndSliderInEveryStyle) {
    for (TsuiUIStyle style : kBuiltInStyles) {
        SCOPED_TRACE(StyleWord(style));
        TsuiTrackBar track(nullptr);
        track.SetUIStyle(style);
        track.SetWidth(200);
        track.SetPosition(50);
        const gui::Bitmap bar = ThemeBitmap(style, thTrackBarBar);
        const gui::Bitmap knob = ThemeBitmap(style, thTrackBarSlider);
        const int h = std::max(bar.Height(), knob.Height());
        ASSERT_EQ(track.Height(), h);
        const int sliderTop = std::max(h - knob.Height(), 0) / 2;
        EXPECT_EQ(track.Slider().Left(), (200 - knob.Width()) * 50 / 100);
        EXPECT_EQ(track.Slider().Top(), sliderTop);

        const gui::Bitmap out = Composite(track);
        const int barTop = (h - bar.Height()) / 2;
        for (int y = 0; y < h; ++y) {
            if (y >= barTop && y < barTop + bar.Height()) {
                EXPECT_EQ(RowDiff(out, 0, y, bar, 0, y - barTop, 15), 0) << "left end, row " << y;
                EXPECT_EQ(RowDiff(out, 185, y, bar, 30, y - barTop, 15), 0) << "right end, row " << y;
            } else {
                EXPECT_EQ(At(out, 0, y), PixelOf(GetThemeColor(style, thTrackBarColor))) << y;
            }
        }
        EXPECT_EQ(CountDiff(out, knob, track.Slider().Left(), sliderTop), 0);
    }
}

// The vertical bar is the horizontal bitmap stretched to the height and turned a quarter: its
// right end at the top, its top row as the left column.
TEST(TrackBar, VerticalBarAndSliderInEveryStyle) {
    for (TsuiUIStyle style : kBuiltInStyles) {
        SCOPED_TRACE(StyleWord(style));
        TsuiTrackBar track(nullptr);
        track.SetUIStyle(style);
        track.SetOrientation(suiVertical);
        track.SetHeight(200);
        track.SetPosition(50);
        const gui::Bitmap bar = ThemeBitmap(style, thTrackBarBar);
        const gui::Bitmap knob = ThemeBitmap(style, thTrackBarSliderV);
        const int w = std::max(bar.Height(), knob.Width());
        ASSERT_EQ(track.Width(), w);
        ASSERT_EQ(track.Height(), 200);
        EXPECT_EQ(track.Slider().Left(), std::max(w - knob.Width(), 0) / 2);
        EXPECT_EQ(track.Slider().Top(), (200 - knob.Height()) * 50 / 100);

        const gui::Bitmap out = Composite(track);
        const int barLeft = (w - bar.Height()) / 2;
        int diff = 0;
        for (int c = 0; c < bar.Height(); ++c)
            for (int k = 0; k < 15; ++k) {
                diff += At(out, barLeft + c, k) != At(bar, 44 - k, c);
                diff += At(out, barLeft + c, 199 - k) != At(bar, k, c);
            }
        EXPECT_EQ(diff, 0);
        if (barLeft > 0) {
            EXPECT_EQ(At(out, 0, 0), PixelOf(GetThemeColor(style, thTrackBarColor)));
        }
        EXPECT_EQ(CountDiff(out, knob, track.Slider().Left(), track.Slider().Top()), 0);
    }
}

// A click puts the slider's centre at the mouse, clamped to the range, through Position.
TEST(TrackBar, ClicksPositionTheSlider) {
    TrackOnForm t;
    t.Click(5, 10);
    EXPECT_EQ(t.track.Position(), 0);
    t.Click(100, 10);
    EXPECT_EQ(t.track.Position(), 50);
    EXPECT_EQ(t.track.Slider().Left(), 94);
    t.Click(199, 10);
    EXPECT_EQ(t.track.Position(), 100);
    EXPECT_EQ(t.track.Slider().Left(), 189);
    t.track.SetMax(1000);
    t.track.SetMin(10);
    t.seen.events.clear();
    t.Click(0, 10); // 10 + (0 - 5) * 990 div 189 = -16
    EXPECT_EQ(t.track.Position(), 10);
    EXPECT_EQ(t.seen.Text(), "10"); // one event per click, after the move
    EXPECT_FALSE(t.track.Dragging());
}

// While dragging the slider follows the mouse within the track and every move raises OnChange
// before Position follows the mouse point.
TEST(TrackBar, DragFollowsTheMouseAndStopsAtBothEnds) {
    TrackOnForm t;
    t.seen.events.clear();
    Host::Send(t.track.Slider(), WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    EXPECT_TRUE(t.track.Dragging());
    EXPECT_EQ(GetCapture(), t.track.Handle());
    t.Move(105, 5);
    EXPECT_EQ(t.track.Slider().Left(), 100);
    EXPECT_EQ(t.track.Position(), 52);
    t.Move(400, 5);
    EXPECT_EQ(t.track.Slider().Left(), 189);
    EXPECT_EQ(t.track.Position(), 100);
    t.Move(420, 5);
    EXPECT_EQ(t.track.Slider().Left(), 189);
    t.Move(-50, 5);
    EXPECT_EQ(t.track.Slider().Left(), 0);
    EXPECT_EQ(t.track.Position(), 0);
    t.Up(-50, 5);
    EXPECT_FALSE(t.track.Dragging());
    EXPECT_NE(GetCapture(), t.track.Handle());
    EXPECT_EQ(t.seen.Text(), "0 52 100 100");
    t.Move(100, 5);
    EXPECT_EQ(t.track.Slider().Left(), 0) << "no drag after the release";
    EXPECT_EQ(t.seen.events.size(), 4u);
}

// Max equal to Min puts the slider at the start and makes every click Min; a track no longer
// than the slider gives Min and keeps the slider at the start while dragging.
TEST(TrackBar, NothingToDivideByDoesNotFail) {
    TrackOnForm t;
    t.track.SetMin(7);
    t.track.SetMax(7);
    t.track.SetPosition(9);
    EXPECT_EQ(t.track.Slider().Left(), 0);
    t.Click(150, 5);
    EXPECT_EQ(t.track.Position(), 7);

    for (int length : {11, 6}) {
        TrackOnForm s(suiHorizontal, length);
        ASSERT_EQ(s.track.Width(), length);
        s.track.SetPosition(50);
        s.Click(3, 5);
        EXPECT_EQ(s.track.Position(), 0);
        Host::Send(s.track.Slider(), WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
        s.Move(60, 5);
        EXPECT_EQ(s.track.Slider().Left(), 0);
        EXPECT_EQ(s.track.Position(), 0);
        s.Up(60, 5);
    }
}

// Ranges of more than a few million overflow 32-bit products; the slider must still stand at
// its fraction of the track.
TEST(TrackBar, WideRangesKeepTheirFraction) {
    TrackOnForm t;
    t.track.SetMax(2000000000);
    t.track.SetPosition(1000000000);
    EXPECT_EQ(t.track.Slider().Left(), 94);
    t.Click(100, 5);
    EXPECT_EQ(t.track.Position(), 1005291005); // 95 * 2e9 div 189
    t.track.SetMin(INT_MIN);
    t.track.SetMax(INT_MAX);
    t.track.SetPosition(0);
    EXPECT_EQ(t.track.Slider().Left(), 94);
    t.Click(199, 5);
    EXPECT_EQ(t.track.Position(), INT_MAX);
}

TEST(TrackBar, SettingTheSameStyleDoesNothing) {
    TsuiTrackBar track(nullptr);
    int changes = 0;
    track.OnChange = [&](gui::Component*) { ++changes; };
    track.SetUIStyle(TsuiUIStyle::DeepBlue);
    EXPECT_EQ(changes, 0);
    track.SetUIStyle(TsuiUIStyle::Protein);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(track.Color(), 0xFBFBFBu);
}

// A Custom bar is the designer's picture at its own size, turned when vertical; the cross size
// settles in one more pass when it changes.
TEST(TrackBar, CustomBarAtItsOwnSizeAndASettlingRelayout) {
    TsuiTrackBar track(nullptr);
    track.SetWidth(200);
    track.SetUIStyle(TsuiUIStyle::Custom);
    track.SetColor(0x00FF00);
    gui::Picture p;
    p.Assign(skintest::Pattern(30, 26));
    int resizes = 0;
    track.OnResize = [&](gui::Component*) { ++resizes; };
    track.SetBarImage(p);
    EXPECT_EQ(track.Height(), 26);
    EXPECT_EQ(resizes, 1);
    const gui::Bitmap out = Paint(track);
    EXPECT_EQ(At(out, 29, 25), skintest::PatternPixel(29, 25));
    EXPECT_EQ(At(out, 30, 12), kGreenPixel) << "not stretched";

    track.SetOrientation(suiVertical);
    EXPECT_EQ(track.Width(), 26);
    const gui::Bitmap turned = Paint(track);
    EXPECT_EQ(At(turned, 0, 0), skintest::PatternPixel(29, 0)) << "the right end at the top";
    EXPECT_EQ(At(turned, 5, 25), skintest::PatternPixel(4, 5));
}

TEST(TrackBar, ASizeSetWhileLoadingIsLaidOutOnceLoaded) {
    gui::Form form(nullptr);
    form.BeginLoading();
    auto* track = new TsuiTrackBar(&form);
    track->SetOrientation(suiVertical);
    track->SetHeight(150);
    form.EndLoading();
    const gui::Bitmap bar = ThemeBitmap(TsuiUIStyle::DeepBlue, thTrackBarBar);
    const gui::Bitmap out = Paint(*track);
    EXPECT_EQ(At(out, (18 - bar.Height()) / 2, 149), At(bar, 0, 0)) << "the bar's left end at the foot";
}

TEST(TrackBar, TenThousandPaintsLeaveTheLiveGdiObjectCountUnchanged) {
    TrackOnForm t;
    gui::Bitmap out(200, 200);
    EXPECT_EQ(GdiChangeOverPaints(t.track, out.Canvas().Handle(), kLeakPaints / 2), 0);
    t.track.SetOrientation(suiVertical);
    t.track.SetHeight(150);
    EXPECT_EQ(GdiChangeOverPaints(t.track, out.Canvas().Handle(), kLeakPaints / 2), 0);
}
