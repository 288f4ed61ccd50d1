// The bitmap title bar of a skinned window: picture sections, window buttons from the right
// edge, a control box (or the program's icon) at the left, the caption, and dragging the
// window by the free part of the bar.
#pragma once

#include <functional>
#include <string>

#include "gui/Panel.h"
#include "skin/SUIThemes.h"
#include "skin/SUITitleBarButton.h"
#include "skin/SUITitleBarSection.h"

namespace gui {
class Bitmap;
}

namespace sui {

// Sender is the bar, buttonIndex the button's index in Buttons.
using TsuiTitleBarButtonClickEvent = std::function<void(gui::Component* sender, int buttonIndex)>;

class TsuiTitleBar : public gui::Panel {
  public:
    // Four buttons (control box, close, maximise, minimise), a white caption font, aligned to
    // the top, in the style of the owner's skinned frame.
    explicit TsuiTitleBar(gui::Component* owner);
    ~TsuiTitleBar() override;

    // Setting it (either value) gives the bar the height of the first section's picture.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TsuiTitleBarSections& Sections() { return sections_; }
    const TsuiTitleBarSections& Sections() const { return sections_; }
    void SetSections(const TsuiTitleBarSections& sections) { sections_.Assign(sections); }
    TsuiTitleBarButtons& Buttons() { return buttons_; }
    const TsuiTitleBarButtons& Buttons() const { return buttons_; }
    void SetButtons(const TsuiTitleBarButtons& buttons) { buttons_.Assign(buttons); }
    // Loads the style's sections, offsets, button pictures and minimum form width.
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    // Extra gap between the right-hand buttons.
    int ButtonInterval() const { return buttonInterval_; }
    void SetButtonInterval(int interval);
    // False draws the caption in the inactive caption colour.
    bool FormActive() const { return formActive_; }
    void SetFormActive(bool active);
    // x of the control box; shift of the right-hand row.
    int LeftBtnXOffset() const { return leftBtnXOffset_; }
    void SetLeftBtnXOffset(int offset);
    int RightBtnXOffset() const { return rightBtnXOffset_; }
    void SetRightBtnXOffset(int offset);
    // Draw the program's icon instead of the control box's pictures.
    bool DrawAppIcon() const { return drawAppIcon_; }
    void SetDrawAppIcon(bool draw);

    // The button under the mouse at the last paint (-1: none) and the left button held.
    int HotButton() const { return hotButton_; }
    bool Pressed() const { return pressed_; }
    int CornerSize() const { return cornerSize_; }
    // True when the bar sits on a skinned form frame.
    bool ParentIsFrame() const;

    // Gives the form the window region with the two top corners rounded by cornerSize; only
    // when the bar sits on a skinned form frame.
    void UpdateFormRegion(int cornerSize);

    TsuiTitleBarButtonClickEvent OnCustomBtnsClick;
    TsuiTitleBarButtonClickEvent OnHelpBtnClick;

  protected:
    virtual void DrawSections(gui::Bitmap& bitmap);
    virtual void DrawButtonsAndCaption(gui::Bitmap& bitmap);

    void Paint() override;
    void WndProc(gui::Message& msg) override;
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void MouseMove(gui::TShiftState shift, int x, int y) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void DblClick() override;

  private:
    void DrawButton(gui::Bitmap& bitmap, const TsuiTitleBarButton& button, int x, bool hot);

    TsuiTitleBarSections sections_{this};
    TsuiTitleBarButtons buttons_{this};
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    bool autoSize_ = false;
    int buttonInterval_ = 0;
    bool formActive_ = true;
    int leftBtnXOffset_ = 0;
    int rightBtnXOffset_ = 0;
    bool drawAppIcon_ = false;
    int hotButton_ = -1;
    bool pressed_ = false;
    int cornerSize_ = 0;
};

// The first two characters of text followed by "..." (characters, not bytes of UTF-8).
std::string AbbreviatedCaption(const std::string& text);

} // namespace sui
