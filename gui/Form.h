// A top-level window: border, position, state, modal show with its result,
// closing with its query and action, key preview, and its events.
#pragma once

#include <memory>

#include "gui/CustomControl.h"

namespace gui {

class MainMenu;
class ToolBar;

class Form : public CustomControl {
  public:
    // A form owned by another form is shown above it (its owner window).
    explicit Form(Component* owner);
    ~Form() override;

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    // True: the form sees key events before the focused control does.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    // The form's own main menu (the native menu bar); nullptr for none.
    MainMenu* Menu() const { return menu_; }
    void SetMenu(MainMenu* menu);

    // The bar that runs the form's menu from the keyboard: Alt, F10 and Alt with a letter go
    // to it (not owned; null for none).
    ToolBar* MenuBar() const { return menuBar_; }
    void SetMenuBar(ToolBar* bar) { menuBar_ = bar; }
    // The control inside the form that has (or last had) the focus.
    WinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(WinControl* control);
    bool Active() const { return active_; }

    // Shows the form and runs the event loop until ModalResult is set (or the
    // form is closed, which gives mrCancel); returns the result. Other windows
    // of the thread are disabled meanwhile. The form stays alive, hidden.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    // Setting a non-zero result ends a modal show once the current handler returns.
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    bool Modal() const { return modal_; }

    // Asks OnCloseQuery, then runs OnClose with the default action (caHide; a
    // modal form ends its show) and does what the action says. Closing the
    // main form ends the application's event loop.
    void Close();
    // Frees the form once the messages in the queue are handled.
    void Release();

    // Brings the form up (Visible := true) in front.
    void ShowForm() {
        SetVisible(true);
        BringToFront();
    }
    void BringToFront();

    // The caption is the window's title.
    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void SetVisible(bool visible) override;

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    void Paint() override;
    // Runs OnCreate; a layout function calls it after building the form (Loaded does).
    void Loaded() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual bool CloseQuery();
    void Notification(Component* component, TOperation operation) override;

  private:
    friend class WinControl;
    void ApplyPosition();
    void CloseModal();
    void ShowNow();
    void HideNow();
    void SetActiveState(bool active);
    HWND OwnerWindow();

    TBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TFormStyle formStyle_ = fsNormal;
    bool keyPreview_ = false;
    MainMenu* menu_ = nullptr;
    ToolBar* menuBar_ = nullptr;
    WinControl* activeControl_ = nullptr;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool createdFired_ = false;
    bool positioned_ = false;
};

} // namespace gui
