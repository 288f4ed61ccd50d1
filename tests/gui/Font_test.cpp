#include "gui/Font.h"

#include <gtest/gtest.h>

#include "gui/Bitmap.h"
#include "gui/Brush.h"
#include "gui/Pen.h"
#include "gui/Text.h"

namespace {

LOGFONTW LogFontOf(HFONT font) {
  LOGFONTW logFont{};
  GetObjectW(font, sizeof(logFont), &logFont);
  return logFont;
}

TEST(Font, DefaultsAreTheFrameworkFont) {
  gui::Font font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Color(), gui::clWindowText);
  EXPECT_EQ(font.Style(), 0);
  EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
}

TEST(Font, SizeAndHeightConvertAtThePixelsPerInch) {
  gui::Font font;
  const int ppi = gui::ScreenPixelsPerInch();
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -MulDiv(12, ppi, 72));
  EXPECT_EQ(font.Size(), 12);
  font.SetHeight(-12);
  EXPECT_EQ(font.Size(), MulDiv(12, 72, ppi));
}

TEST(Font, OnChangeIsRaisedOncePerRealChange) {
  gui::Font font;
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  font.SetName("Arial");
  font.SetName("Arial");
  font.SetHeight(-12);
  font.SetColor(gui::clBlue);
  font.SetStyle(gui::fsBold | gui::fsUnderline);
  font.SetCharset(ANSI_CHARSET);
  EXPECT_EQ(changes, 5);
  gui::Font same(font);
  font.Assign(same);
  EXPECT_EQ(changes, 5) << "assigning equal attributes changes nothing";
  gui::Font other;
  font.Assign(other);
  EXPECT_EQ(changes, 6) << "one notification for the whole assignment";
  EXPECT_TRUE(font.SameAs(other));
  EXPECT_FALSE(static_cast<bool>(same.OnChange)) << "a copy does not take the notification over";
}

TEST(Font, HandleFollowsTheAttributes) {
  gui::Font font;
  font.SetName("Arial");
  font.SetHeight(-12);
  font.SetStyle(gui::fsBold | gui::fsItalic);
  LOGFONTW logFont = LogFontOf(font.Handle());
  EXPECT_EQ(logFont.lfHeight, -12);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_TRUE(logFont.lfItalic);
  EXPECT_FALSE(logFont.lfUnderline);
  EXPECT_EQ(gui::WideToUtf8(logFont.lfFaceName), "Arial");
  const HFONT first = font.Handle();
  EXPECT_EQ(font.Handle(), first) << "the handle is kept while nothing changes";
  font.SetHeight(-20);
  EXPECT_EQ(LogFontOf(font.Handle()).lfHeight, -20);
}

TEST(Font, AssignLogFontTakesTheSystemFont) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  gui::Font font;
  font.AssignLogFont(metrics.lfMenuFont, gui::clMenuText);
  EXPECT_EQ(font.Name(), gui::WideToUtf8(metrics.lfMenuFont.lfFaceName));
  EXPECT_EQ(font.Height(), metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(font.Color(), gui::clMenuText);
}

TEST(Font, ABiggerFontMeasuresWider) {
  gui::Bitmap bitmap(10, 10);
  gui::Canvas& canvas = bitmap.Canvas();
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-10);
  const int small = canvas.TextWidth("Nimbre");
  canvas.Font().SetHeight(-20);
  const int big = canvas.TextWidth("Nimbre");
  EXPECT_GT(small, 0);
  EXPECT_GT(big, small + small / 2);
  EXPECT_GE(canvas.TextHeight("Nimbre"), 20);
}

TEST(PenAndBrush, ChangesNotifyAndRemakeTheHandle) {
  gui::Pen pen;
  int penChanges = 0;
  pen.OnChange = [&] { ++penChanges; };
  pen.SetColor(gui::clRed);
  pen.SetWidth(3);
  pen.SetWidth(3);
  EXPECT_EQ(penChanges, 2);
  LOGPEN logPen{};
  GetObjectW(pen.Handle(), sizeof(logPen), &logPen);
  EXPECT_EQ(logPen.lopnWidth.x, 3);
  EXPECT_EQ(logPen.lopnColor, RGB(255, 0, 0));

  gui::Brush brush;
  EXPECT_EQ(brush.Color(), gui::clWhite);
  brush.SetStyle(gui::bsClear);
  EXPECT_EQ(brush.Handle(), nullptr) << "a clear brush paints nothing";
  brush.SetColor(gui::clBlue);
  EXPECT_EQ(brush.Style(), gui::bsSolid) << "a colour makes the brush solid again";
  LOGBRUSH logBrush{};
  GetObjectW(brush.Handle(), sizeof(logBrush), &logBrush);
  EXPECT_EQ(logBrush.lbColor, RGB(0, 0, 255));
}

}  // namespace
