// A visual component: bounds, alignment, colour, font, caption, cursor,
// input events, constraints, focus and the message handling every control
// shares.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Color.h"
#include "gui/Component.h"
#include "gui/HookList.h"
#include "gui/Messages.h"
#include "gui/Types.h"

namespace gui {

class Font;
class Form;
class WinControl;

// True when caption marks ch as its accelerator ("&S" for 's' or 'S'; "&&" is a plain "&").
bool IsAccel(unsigned ch, const std::string& caption);
// The shift state of the keyboard and mouse buttons right now.
TShiftState KeyboardShiftState();

class Control : public Component {
  public:
    explicit Control(Component* owner);
    ~Control() override;

    // --- parent and place ---------------------------------------------------
    WinControl* Parent() const { return parent_; }
    // Any windowed control can be the parent; the control becomes its last child.
    virtual void SetParent(WinControl* parent);
    // The form at the top of the parent chain (this one when it is a form), or nullptr.
    Form* ParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    // A size change is asked of CanResize and the constraints first; a refused
    // size keeps the old one.
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }

    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
    void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
    virtual void SetClientSize(int width, int height);
    RECT ClientRect() const { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
    // Converts between this control's client coordinates and the screen.
    virtual POINT ClientToScreen(POINT p) const;
    virtual POINT ScreenToClient(POINT p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
    const SizeConstraints& Constraints() const { return constraints_; }
    // Applies at once to the current size.
    void SetConstraints(const SizeConstraints& c);
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);

    // --- state ----------------------------------------------------------------
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // True: the colour follows the parent's.
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);

    // The control's font; changing it (or any attribute of it) sends CM_FONTCHANGED.
    gui::Font& Font() const { return *font_; }
    void SetFont(const gui::Font& font);
    // True: the font follows the parent's until the control's own is changed.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    const std::string& Caption() const { return caption_; }
    // Stores the text, updates the window text and sends CM_TEXTCHANGED.
    void SetCaption(const std::string& text);
    const std::string& Text() const { return caption_; }
    void SetText(const std::string& text) { SetCaption(text); }

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    // --- focus and tab order --------------------------------------------------
    virtual bool CanFocus() const { return false; }
    virtual bool Focused() const { return false; }
    virtual void SetFocus() {}
    bool TabStop() const { return tabStop_; }
    virtual void SetTabStop(bool v) { tabStop_ = v; }
    // Position among the parent's children in tab order; -1 when not in it.
    int TabOrder() const;
    void SetTabOrder(int order);

    // --- messages -------------------------------------------------------------
    // Sends a message straight to this control's handling (hooks, then
    // WindowProc), not through the queue, and returns its result.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control's own message handling (WndProc unless replaced).
    // Exceptions are reported where the framework dispatches.
    std::function<void(Message&)> WindowProc;
    // A hook in front of the control's message handling: it gets each message
    // and hands it on with `next` (to the hook added before it, and at the end
    // to WindowProc), or keeps it.
    using WindowProcHook = std::function<void(Message& msg, const std::function<void(Message&)>& next)>;
    // Adds a hook in front of those already there; it stays until the returned
    // token goes, in whatever order the hooks go.
    [[nodiscard]] HookToken AddWindowProcHook(WindowProcHook hook) { return hooks_.Add(std::move(hook)); }
    // Runs a message through the hooks, newest first, and WindowProc.
    void HandleWindowMessage(Message& msg);

    // --- painting -------------------------------------------------------------
    virtual void Invalidate() {}
    virtual void Update() {}
    void Repaint() {
        Invalidate();
        Update();
    }
    void Refresh() { Repaint(); }

    // --- events ---------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

  protected:
    // Every message of the control passes through here. Override, handle what
    // you need before or after, and call the inherited WndProc for the rest.
    virtual void WndProc(Message& msg);
    // The handling of messages nobody took.
    virtual void DefaultHandler(Message& msg);

    // Named hooks the message handling calls; each raises its event.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void KeyDown(std::uint16_t& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);
    virtual void KeyUp(std::uint16_t& key, TShiftState shift);
    virtual void Resize();
    // May change the proposed size; false refuses the change.
    virtual bool CanResize(int& newWidth, int& newHeight);
    // Applies the constraints to a proposed size.
    void ConstrainSize(int& width, int& height) const;
    // The bounds changed (already stored); windowed controls move their window.
    virtual void BoundsChanged(bool moved, bool resized);

    void Notification(Component* component, TOperation operation) override;

    // Raw storage for subclasses that keep bounds in step with the window.
    void StoreBounds(int left, int top, int width, int height);
    void StoreVisible(bool visible) { visible_ = visible; }
    // The text as a platform control changed it itself (typing into an edit).
    void StoreCaption(const std::string& text) { caption_ = text; }

    WinControl* parent_ = nullptr;
    bool mouseInControl_ = false;

  private:
    friend class WinControl;
    void FontChanged();
    void ParentFontChanged();
    void ParentColorChanged();
    void RequestAlign();

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_ = DefaultAnchors;
    SizeConstraints constraints_;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    std::unique_ptr<gui::Font> font_;
    bool parentFont_ = true;
    bool fontFromParent_ = false;
    std::string caption_;
    TCursor cursor_ = crDefault;
    bool tabStop_ = false;
    HookList<WindowProcHook> hooks_;
};

} // namespace gui
