// Painting a control many times must give back every GDI object it makes:
// a paint that leaks one handle leaks ten thousand in an evening.
#include <gtest/gtest.h>

#include <functional>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/CustomControl.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "gui/SpeedButton.h"
#include "gui/SpinEdit.h"

namespace {

constexpr int kPaints = 10000;
// Painting through the window costs a round trip to the window server each time.
constexpr int kWindowPaints = 200;

class PaintLeakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBorderStyle(gui::bsNone);
    form.SetBounds(0, 0, 300, 200);
    form.SetColor(gui::clNavy);
    form.Font().SetName("Arial");
    form.Font().SetHeight(-12);
    form.Show();
  }

  // Paints the control kPaints times into an off-screen bitmap through its
  // message handling, then kWindowPaints times through its own window
  // (BeginPaint/EndPaint), and checks the live GDI object count afterwards.
  void ExpectNoLeak(gui::WinControl& control) {
    gui::Bitmap target(control.Width(), control.Height());
    HDC dc = target.Canvas().Handle();
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);  // first use may cache fonts
    const long before = gui::LiveGdiObjectCount();
    for (int i = 0; i < kPaints; ++i) {
      control.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    for (int i = 0; i < kWindowPaints; ++i) {
      InvalidateRect(control.Handle(), nullptr, TRUE);
      UpdateWindow(control.Handle());
    }
    EXPECT_EQ(gui::LiveGdiObjectCount(), before);
  }

  gui::Form form{nullptr};
};

TEST_F(PaintLeakTest, CustomControl) {
  auto* c = new gui::CustomControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 80, 27);
  ExpectNoLeak(*c);
}

TEST_F(PaintLeakTest, PanelWithBevelsBorderAndCaption) {
  auto* p = new gui::Panel(&form);
  p->SetParent(&form);
  p->SetBounds(0, 0, 120, 40);
  p->SetBevelInner(gui::bvLowered);
  p->SetBorderWidth(2);
  p->SetCaption("Panel1");
  ExpectNoLeak(*p);
}

TEST_F(PaintLeakTest, OpaqueAndTransparentLabels) {
  auto* host = new gui::Panel(&form);
  host->SetParent(&form);
  host->SetBounds(0, 0, 200, 100);
  host->SetCaption("behind");
  auto* opaque = new gui::Label(&form);
  opaque->SetParent(host);
  opaque->SetCaption("Sound Off:");
  ExpectNoLeak(*opaque);
  auto* transparent = new gui::Label(&form);
  transparent->SetParent(host);
  transparent->SetTransparent(true);
  transparent->SetCaption("Minutes");
  ExpectNoLeak(*transparent);
}

TEST_F(PaintLeakTest, Form) {
  form.OnPaint = [this](gui::Component*) {
    form.Canvas().Brush().SetColor(gui::clRed);
    form.Canvas().FillRect(gui::MakeRect(0, 0, 10, 10));
  };
  ExpectNoLeak(form);
}

TEST_F(PaintLeakTest, SpinEdit) {
  auto* s = new gui::SpinEdit(&form);
  s->SetParent(&form);
  s->SetBounds(148, 28, 49, 24);
  s->SetValue(15);
  ExpectNoLeak(*s);
}

TEST_F(PaintLeakTest, SpeedButtonDownWithGlyph) {
  auto* b = new gui::SpeedButton(&form);
  b->SetParent(&form);
  b->SetBounds(0, 0, 20, 16);
  b->SetGroupIndex(1);
  b->SetDown(true);
  b->SetGlyph(gui::Bitmap(7, 9));
  ExpectNoLeak(*b);
}

}  // namespace

namespace {

TEST(CanvasOutsidePaint, DrawsOnTheWindowAndGivesTheDeviceContextBackAfterTheMessage) {
  gui::Form form(nullptr);
  form.SetBorderStyle(gui::bsNone);
  form.SetBounds(0, 0, 100, 80);
  form.SetColor(gui::clWhite);
  form.Show();
  UpdateWindow(form.Handle());
  // A hook draws a strip on the form's canvas after the form handled a message,
  // as a frame that paints borders after the erase does.
  gui::HookToken listener = form.AddWindowProcHook([&](gui::Message& msg, const auto& next) {
    next(msg);
    if (msg.Msg == WM_APP) {
      form.Canvas().Brush().SetColor(gui::clRed);
      form.Canvas().FillRect(gui::MakeRect(0, 0, 5, 80));
    }
  });
  SendMessageW(form.Handle(), WM_APP, 0, 0);  // the canvas keeps its brush from now on
  const long before = gui::LiveGdiObjectCount();
  for (int i = 0; i < 1000; ++i) SendMessageW(form.Handle(), WM_APP, 0, 0);
  EXPECT_EQ(gui::LiveGdiObjectCount(), before) << "no device context is kept";
  gui::WindowDC dc(form.Handle());
  EXPECT_EQ(GetPixel(dc.Get(), 2, 40), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 50, 40), RGB(255, 255, 255));
}

}  // namespace
