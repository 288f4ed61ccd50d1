// A control with a native window: created on demand, holds child controls,
// aligns them, keeps the tab order, reflects notifications back to the
// child they concern and re-creates its window when given a foreign parent.
#pragma once

#include <windows.h>

#include <vector>

#include "gui/Control.h"

namespace gui {

class WinControl : public Control {
  public:
    explicit WinControl(Component* owner);
    ~WinControl() override;

    // The native window, created (with the parent's) on first use.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates the window now if it does not exist yet.
    void HandleNeeded() { Handle(); }
    // Destroys the window (and the children's); it is made again on demand.
    void DestroyHandle();
    // Destroys and makes the window anew (e.g. after a style change).
    void RecreateWnd();
    // The control whose window this is, or nullptr for a window the framework did not make.
    static WinControl* FromHandle(HWND hwnd);

    // Places the control into a window of another program (or any native
    // window): the control's window is made anew as a child of it.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND parent);

    // --- children -----------------------------------------------------------
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // Children in child-index order.
    Control* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    // Lays out the aligned children, in child-index order: top, bottom, left,
    // right, then client, each inside what the earlier ones left.
    void Realign();
    // The client area children are aligned in (a panel subtracts its borders).
    virtual void AdjustClientRect(RECT& rect);
    void DisableAlign() { ++alignLocks_; }
    void EnableAlign();

    // --- focus and tab order --------------------------------------------------
    bool CanFocus() const override;
    bool Focused() const override;
    void SetFocus() override;
    // Children that take part in the tab order, in tab order.
    const std::vector<WinControl*>& TabList() const { return tabList_; }
    // The next control after current (or before it) in the tab order of this
    // control's descendants; nullptr when there is none.
    WinControl* FindNextControl(WinControl* current, bool forward, bool checkTabStop) const;
    // Moves the focus to the next control after current that can take it.
    void SelectNext(WinControl* current, bool forward);
    // True when the control wants plain characters typed (edits); false
    // sends them to the form as dialog characters.
    virtual bool WantsChars() const { return false; }

    // --- state ----------------------------------------------------------------
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientSize(int width, int height) override;
    POINT ClientToScreen(POINT p) const override;
    POINT ScreenToClient(POINT p) const override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetParent(WinControl* parent) override;

    void Invalidate() override;
    void Update() override;

  protected:
    // The window's class name, styles and extended styles.
    struct CreateParams {
        const wchar_t* ClassName = L"NimbreControl";
        // A platform window class (edit, list box, ...) whose behaviour the control keeps:
        // ClassName is registered as a copy of it, and what the control does not handle
        // goes on to the platform's window procedure.
        const wchar_t* BaseClassName = nullptr;
        DWORD Style = 0;
        DWORD ExStyle = 0;
        HWND ParentWnd = nullptr;
        int X = 0, Y = 0, Width = 0, Height = 0;
    };
    virtual void CreateParamsFor(CreateParams& params);
    virtual void CreateWnd();
    // Called once the window exists.
    virtual void CreateHandle();
    // The window is about to go (children are still there).
    virtual void DestroyWnd();

    void WndProc(Message& msg) override;
    void DefaultHandler(Message& msg) override;
    // Paints the control into dc; the window's own WM_PAINT and a WM_PAINT
    // carrying a device context in wParam both come here.
    virtual void PaintWindow(HDC dc);
    // Fills the client area with the colour (WM_ERASEBKGND).
    virtual void EraseBackground(HDC dc);
    void BoundsChanged(bool moved, bool resized) override;

    // The platform control under the window tracks the mouse itself: the framework neither
    // captures it on a press nor turns a press and release into a click.
    void SetNativeMouse(bool native) { nativeMouse_ = native; }

    // Records the control as its form's active control and tells every control
    // on the form (CM_FOCUSCHANGED); called when it gains the focus.
    void FocusGained();

  private:
    friend class Control;
    friend class Form;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void InsertControl(Control* control);
    void RemoveControl(Control* control);
    void UpdateTabOrder(WinControl* control, int order);
    void ReflectNotification(Message& msg);
    void TrackMouse();
    void HandleDialogChar(Message& msg);
    void HandleWindowPosChanged(const WINDOWPOS& pos);
    void HandleSetCursor(Message& msg);
    void HandleKey(Message& msg);
    void HandleMouse(Message& msg);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    // The platform class's window procedure; DefWindowProc for the framework's own classes.
    WNDPROC baseProc_ = nullptr;
    bool nativeMouse_ = false;
    std::vector<Control*> controls_;
    std::vector<WinControl*> tabList_;
    int alignLocks_ = 0;
    bool aligning_ = false;
    bool trackingMouse_ = false;
    bool settingBounds_ = false;
    // A left press began on this control and still holds the mouse.
    bool clicked_ = false;
};

} // namespace gui
