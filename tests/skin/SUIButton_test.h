// What the button tests share: a shown form to host the buttons, real messages sent to their
// windows, paints into off-screen bitmaps and pixel look-ups.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/CustomControl.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "gui/GdiObject.h"
#include "gui/Messages.h"
#include "skin/SUIThemes.h"

namespace buttontest {

// Pixels as bitmaps store them (0x00RRGGBB) and the colours (0x00BBGGRR) that draw them.
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kKey = 0xFF00FF;
constexpr std::uint32_t kGreenPixel = 0x00FF00;
constexpr std::uint32_t kRedPixel = 0xFF0000;
constexpr std::uint32_t kBluePixel = 0x0000FF;
constexpr std::uint32_t kYellowPixel = 0xFFFF00;
constexpr std::uint32_t kGreyPixel = 0x808080;
constexpr gui::TColor kGreen = 0x00FF00;
constexpr gui::TColor kRedColor = 0x0000FF;

// Paints per class in the handle-leak tests, shared out among the states a class is tried in.
constexpr int kLeakPaints = 10000;

inline std::uint32_t At(const gui::Bitmap& b, int x, int y) { return b.ScanLine(y)[x] & 0xFFFFFF; }

// A rectangle of pixels, right and bottom excluded.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  Box Moved(int dx, int dy) const { return Box{left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

template <class Pred>
Box BoxWhere(const gui::Bitmap& b, Pred pred) {
  Box box{b.Width(), b.Height(), 0, 0};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (pred(x, y)) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  if (box.right == 0) return Box{};
  return box;
}

// Where the bitmap has pixels of exactly that colour.
inline Box InkBox(const gui::Bitmap& b, std::uint32_t pixel) {
  return BoxWhere(b, [&](int x, int y) { return At(b, x, y) == pixel; });
}

// Where two bitmaps of one size differ.
inline Box DiffBox(const gui::Bitmap& a, const gui::Bitmap& b) {
  return BoxWhere(a, [&](int x, int y) { return At(a, x, y) != At(b, x, y); });
}

// Pixels of part that differ from whole at (ox, oy) + their position in part.
inline int CountDiff(const gui::Bitmap& whole, const gui::Bitmap& part, int ox, int oy) {
  int n = 0;
  for (int y = 0; y < part.Height(); ++y)
    for (int x = 0; x < part.Width(); ++x)
      if (At(whole, x + ox, y + oy) != At(part, x, y)) ++n;
  return n;
}

inline gui::Bitmap ThemeBitmap(sui::TsuiUIStyle style, sui::TsuiThemeSlot slot) {
  gui::Bitmap b;
  sui::LoadThemeBitmap(b, style, slot);
  return b;
}

inline gui::Bitmap NamedBitmap(const std::string& name) {
  gui::Bitmap b;
  b.LoadFromResourceName(GetModuleHandleW(nullptr), name);
  return b;
}

// The control painted into a bitmap of its size, as its parent's paint would.
inline gui::Bitmap Paint(gui::WinControl& control) {
  gui::Bitmap out(control.Width(), control.Height());
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(out.Canvas().Handle()), 0);
  return out;
}

// Paints through the control's own window (BeginPaint/EndPaint) per leak check; each costs a
// round trip to the window server.
constexpr int kWindowPaints = 50;

// The change of the live GDI object count over `paints` paints of the control into dc, and
// then kWindowPaints paints through its own window.
inline long GdiChangeOverPaints(gui::WinControl& control, HDC dc, int paints) {
  const long before = gui::LiveGdiObjectCount();
  for (int i = 0; i < paints; ++i) control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  for (int i = 0; i < kWindowPaints; ++i) {
    InvalidateRect(control.Handle(), nullptr, TRUE);
    UpdateWindow(control.Handle());
  }
  return gui::LiveGdiObjectCount() - before;
}

inline SIZE TextSize(const std::string& text, const gui::Font& font) {
  gui::Bitmap m(1, 1);
  m.Canvas().SetFont(font);
  return m.Canvas().TextExtent(text);
}

// The width of the ink of text drawn without accelerator processing, red on green as the
// caption tests draw it.
inline int InkWidthOf(const std::string& text, const gui::Font& font) {
  gui::Bitmap m(200, 60);
  m.Canvas().Brush().SetColor(kGreen);
  m.Canvas().FillRect(RECT{0, 0, 200, 60});
  m.Canvas().SetFont(font);
  m.Canvas().Font().SetColor(kRedColor);
  m.Canvas().Brush().SetStyle(gui::bsClear);
  RECT r{10, 10, 200, 60};
  m.Canvas().DrawText(text, r, DT_SINGLELINE | DT_NOPREFIX);
  return BoxWhere(m, [&](int x, int y) { return At(m, x, y) != kGreenPixel; }).Width();
}

// Stands in for the skinned form frame: the style look-ups find it among the form's children.
class FakeFrame : public gui::CustomControl, public sui::TsuiFormLike {
 public:
  FakeFrame(gui::Component* owner, sui::TsuiUIStyle style) : gui::CustomControl(owner), style_(style) {}
  sui::TsuiUIStyle UIStyle() const override { return style_; }

 private:
  sui::TsuiUIStyle style_;
};

// A shown form of one colour that hosts the controls under test.
struct Host {
  explicit Host(gui::TColor color = gui::clBtnFace) {
    form.SetBounds(40, 40, 320, 240);
    form.SetColor(color);
    form.Show();
    form.BringToFront();
  }
  ~Host() { form.Hide(); }

  // A mouse or key message with client coordinates, sent to the control's window.
  static LRESULT Send(gui::WinControl& c, UINT msg, WPARAM wParam, int x, int y) {
    return SendMessageW(c.Handle(), msg, wParam,
                        MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
  }
  static LRESULT Key(gui::WinControl& c, UINT msg, WPARAM key) {
    return SendMessageW(c.Handle(), msg, key, msg == WM_KEYUP ? 0xC0000001 : 1);
  }
  // The cursor moves over the control: the first move tells it the mouse entered. (The real
  // cursor stays where it is, so other tests in this program see no hover they did not make.)
  static void Enter(gui::WinControl& c, int x = 2, int y = 2) { Send(c, WM_MOUSEMOVE, 0, x, y); }
  static void Leave(gui::WinControl& c) { SendMessageW(c.Handle(), WM_MOUSELEAVE, 0, 0); }
  static void Click(gui::WinControl& c, int x = 3, int y = 3) {
    Send(c, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(c, WM_LBUTTONUP, 0, x, y);
  }

  gui::Form form{nullptr};
};

// Events in the order they came.
struct Recorder {
  void Add(const std::string& e) { events.push_back(e); }
  std::string Text() const {
    std::string s;
    for (const std::string& e : events) s += (s.empty() ? "" : " ") + e;
    return s;
  }
  std::vector<std::string> events;
};

}  // namespace buttontest
