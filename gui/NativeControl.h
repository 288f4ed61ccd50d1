// A windowed control whose window is one of the platform's own controls (edit, list box,
// combo box, list view, tree view). The platform paints it and handles its keyboard and
// mouse; the control adds the framework's font, colours, border and events, and takes the
// notifications its parent reflects back to it.
#pragma once

#include <string>

#include "gui/Brush.h"
#include "gui/WinControl.h"

namespace gui {

class NativeControl : public WinControl {
  public:
    // clWindow, a tab stop, a sunken border (bsSingle), no border width.
    explicit NativeControl(Component* owner);

    // bsSingle: the platform's sunken edge; bsNone: none.
    virtual TBorderStyle BorderStyle() const { return borderStyle_; }
    virtual void SetBorderStyle(TBorderStyle style);
    // A band of this many pixels inside the edge, kept free of the control's content and
    // filled with Color.
    virtual int BorderWidth() const { return borderWidth_; }
    virtual void SetBorderWidth(int width);

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    // The window text as the platform holds it now (text typed in, for example).
    std::string WindowText();
    // Sends a message to the window; 0 when there is no window yet.
    LRESULT SendToWindow(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  private:
    void FrameChanged();
    void PaintBorderBand();

    TBorderStyle borderStyle_ = bsSingle;
    int borderWidth_ = 0;
    // The background brush handed to the platform control when it asks for its colours.
    gui::Brush background_;
};

} // namespace gui
