// The skinned push button, check box and radio button. Each draws itself from three state
// pictures (normal, mouse over, pressed) loaded from resources at every paint, composes the
// paint off screen and copies it in one block. The base class holds the hover and press state
// machine and the click that hands ModalResult to the parent form before OnClick runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Bitmap.h"
#include "gui/CustomControl.h"
#include "gui/Types.h"
#include "skin/SUIThemes.h"

namespace sui {

// Where a push button's glyph sits against its caption.
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Size of the blank picture a button shows when its picture cannot be loaded.
constexpr int kBlankPictureWidth = 74;
constexpr int kBlankPictureHeight = 21;

class TsuiCustomButton : public gui::CustomControl {
  public:
    explicit TsuiCustomButton(gui::Component* owner);
    ~TsuiCustomButton() override;

    // --- properties -----------------------------------------------------------
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool PicTransparent() const { return picTransparent_; }
    void SetPicTransparent(bool v) { picTransparent_ = v; }
    gui::TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(gui::TModalResult result) { modalResult_ = result; }

    // Resource names of the three state pictures (the normal one is also shown disabled).
    virtual void SetPicMouseDownResName(const std::string& name);
    virtual void SetPicMouseOnResName(const std::string& name);
    virtual void SetPicNormalResName(const std::string& name);
    virtual std::string PicMouseDownResName() const { return picMouseDownResName_; }
    virtual std::string PicMouseOnResName() const { return picMouseOnResName_; }
    virtual std::string PicNormalResName() const { return picNormalResName_; }
    // The module whose resources hold the pictures. 0 means the program's own module and reads
    // back as 0; any other handle reads back unchanged.
    HINSTANCE ResHandle() const;
    virtual void SetResHandle(HINSTANCE module);

    // Input state (read-only from outside).
    bool IsMouseOn() const { return isMouseOn_; }
    bool IsMouseDown() const { return isMouseDown_; }
    bool InUserClick() const { return inUserClick_; }

    // OnClick is the framework's member; the button raises it only from its own input handling.
    gui::TNotifyEvent OnMouseExit;

  protected:
    // --- hooks ------------------------------------------------------------------
    virtual void UpdateAutoSize();
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnabledChanged() {}
    virtual void UIStyleChanged() {}

    // --- drawing ----------------------------------------------------------------
    void Paint() override;
    void EraseBackground(HDC dc) override;
    virtual void DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture);
    virtual void DrawCaption(gui::Canvas& canvas, const std::string& caption);
    virtual void DrawFocus(gui::Canvas& canvas);
    virtual void LoadNormalPicture(gui::Bitmap& bitmap);
    virtual void LoadMouseOnPicture(gui::Bitmap& bitmap);
    virtual void LoadMouseDownPicture(gui::Bitmap& bitmap);
    virtual void LoadDisabledPicture(gui::Bitmap& bitmap);
    // Turns a style into the three picture names.
    virtual void AssignStylePictures(TsuiUIStyle style) = 0;

    // --- input ------------------------------------------------------------------
    void WndProc(gui::Message& msg) override;
    // Raises the click only while inUserClick_ is set (never for the framework's own calls).
    void Click() override;
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void MouseMove(gui::TShiftState shift, int x, int y) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void KeyDown(std::uint16_t& key, gui::TShiftState shift) override;
    void KeyUp(std::uint16_t& key, gui::TShiftState shift) override;
    // A dialog character: the caption's accelerator on an enabled button focuses and clicks it.
    // True when the character was taken.
    virtual bool DialogChar(unsigned ch);
    // The click of the button's own input paths, with InUserClick set around it.
    void UserClick();

    // The resource picture loaded into bitmap; any failure leaves the blank 74 x 21 picture.
    void LoadPicture(gui::Bitmap& bitmap, const std::string& name) const;
    bool CaptionBlank() const;

    // The picture names as stored (the getters may hide them).
    std::string picNormalResName_;
    std::string picMouseDownResName_;
    std::string picMouseOnResName_;
    bool autoSize_ = false;
    bool transparent_ = false;
    gui::TModalResult modalResult_ = gui::mrNone;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    bool picTransparent_ = false;
    bool isMouseOn_ = false;
    bool isMouseDown_ = false;
    bool inUserClick_ = false;
    HINSTANCE resHandle_ = nullptr;
};

// The push button: a theme bitmap stretched to the button in the built-in styles, or the
// application's own three pictures in Custom; an optional glyph beside the caption.
class TsuiButton : public TsuiCustomButton {
  public:
    // 80 x 27, the owner form's style.
    explicit TsuiButton(gui::Component* owner);
    ~TsuiButton() override;

    // Empty unless the style is Custom. Setting a name makes the style Custom first.
    void SetPicMouseDownResName(const std::string& name) override;
    void SetPicMouseOnResName(const std::string& name) override;
    void SetPicNormalResName(const std::string& name) override;
    std::string PicMouseDownResName() const override;
    std::string PicMouseOnResName() const override;
    std::string PicNormalResName() const override;

    // A 2n x n glyph holds two images: the first shown enabled, the second disabled.
    const gui::Bitmap& Glyph() const { return *glyph_; }
    void SetGlyph(const gui::Bitmap& glyph);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Where the caption was placed beside the glyph in the last paint.
    int CaptionX() const { return captionX_; }
    int CaptionY() const { return captionY_; }

  protected:
    // In MacOS only a height of 23 is accepted.
    bool CanResize(int& newWidth, int& newHeight) override;
    void UIStyleChanged() override;
    void AssignStylePictures(TsuiUIStyle style) override;
    void DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) override;
    void DrawCaption(gui::Canvas& canvas, const std::string& caption) override;
    void DrawFocus(gui::Canvas& canvas) override;

  private:
    void DrawGlyph(gui::Canvas& canvas);

    std::unique_ptr<gui::Bitmap> glyph_;
    TButtonLayout layout_ = blGlyphLeft;
    int captionX_ = 0;
    int captionY_ = 0;
    int spacing_ = 4;
};

// The two-state base: a check state, a small state picture at the left followed by the
// caption, automatic sizing to the content, and toggling on user input.
class TsuiCustomButtonEx : public TsuiCustomButton {
  public:
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    // Where the caption was drawn in the last paint.
    RECT CaptionRect() const { return captionRect_; }

    // Width and height of the style's check picture; 0 in Custom.
    virtual int CheckWidth() const = 0;
    virtual int CheckHeight() const = 0;

  protected:
    // 93 wide, checked false, a tab stop, the owner form's style (stored; the final class
    // applies it once its own hooks are in force).
    explicit TsuiCustomButtonEx(gui::Component* owner);

    virtual void Toggle() {}
    virtual void CheckedChanged() {}
    // Client size from the check picture, the font and the caption, while AutoSize is set.
    void FitToContent();

    void Resize() override;
    void UpdateAutoSize() override;
    void CaptionChanged() override;
    void FontChanged() override;
    void DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) override;
    void DrawCaption(gui::Canvas& canvas, const std::string& caption) override;
    void DrawFocus(gui::Canvas& canvas) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void KeyUp(std::uint16_t& key, gui::TShiftState shift) override;
    bool DialogChar(unsigned ch) override;

    // Size of the check-box bitmap of the current style (loaded anew each time).
    SIZE CheckSize() const;
    // Caption origin of a paint: x after the check picture, y centred on the font height.
    POINT CaptionOrigin() const;

    bool checked_ = false;
    RECT captionRect_{0, 0, 0, 0};
};

class TsuiCheckBox : public TsuiCustomButtonEx {
  public:
    // 93 x 17, caption "suiCheckBox", the owner form's style.
    explicit TsuiCheckBox(gui::Component* owner);

    int CheckWidth() const override;
    int CheckHeight() const override;

  protected:
    // Shared with the radio button, which applies its own pictures afterwards.
    struct NoStyleYet {};
    TsuiCheckBox(gui::Component* owner, NoStyleYet);

    void AssignStylePictures(TsuiUIStyle style) override;
    void Toggle() override;
    void CheckedChanged() override;
    void TransparentChanged() override;
    void EnabledChanged() override;
    void UIStyleChanged() override;

    // The theme slots of one control kind for a check state: enabled normal, disabled normal,
    // mouse over and pressed.
    struct StateSlots {
        TsuiThemeSlot Normal, Disabled, MouseOn, MouseDown;
    };
    // Sets the three picture names through their setters from the slots of the check state.
    void AssignStateSlots(TsuiUIStyle style, const StateSlots& checkedSlots,
                          const StateSlots& uncheckedSlots);
};

class TsuiRadioButton : public TsuiCheckBox {
  public:
    // 93 x 17, caption "suiRadioButton", the owner form's style, group 0.
    explicit TsuiRadioButton(gui::Component* owner);

    // Radio buttons of one parent with equal GroupIndex are exclusive.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }

  protected:
    void AssignStylePictures(TsuiUIStyle style) override;
    void Toggle() override;
    void CheckedChanged() override;
    void TransparentChanged() override;
    // Unchecks the other radio buttons of the same group among the parent's direct children.
    void UncheckSiblings();

  private:
    int groupIndex_ = 0;
};

} // namespace sui
