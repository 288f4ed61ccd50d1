// The skinned form frame: dropped once on a form, it takes the window over (no system frame,
// its own border strips, resizing at the edges, maximising to the work area), hosts the title
// bar and the menu bar, and hands its style on to the controls inside it.
#pragma once

#include <functional>
#include <string>

#include "gui/Panel.h"
#include "skin/SUIThemes.h"
#include "skin/SUITitleBar.h"

namespace gui {
class Form;
class MainMenu;
class ToolBar;
} // namespace gui

namespace sui {

class TsuiForm : public gui::Panel, public TsuiFormLike {
  public:
    // On a form: takes the form's window over. A second frame on one form is refused. On any
    // other owner it is a plain panel.
    explicit TsuiForm(gui::Component* owner);
    ~TsuiForm() override;

    // --- properties -----------------------------------------------------------
    TsuiUIStyle UIStyle() const override { return uiStyle_; }
    // Colours, border, title bar, menu and the controls inside; Custom changes nothing.
    void SetUIStyle(TsuiUIStyle style);
    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color);
    // Width of the left, right and bottom strips (there is none at the top).
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    // The title bar's caption; setting it also sets the form's.
    const std::string& Caption() const { return titleBar_->Caption(); }
    void SetCaption(const std::string& caption);
    // A panel that fills the frame's remaining space; the frame itself is refused.
    gui::Panel* FormPanel() const { return formPanel_; }
    void SetFormPanel(gui::Panel* panel);
    TsuiTitleBarButtons& TitleBarButtons() { return titleBar_->Buttons(); }
    void SetTitleBarButtons(const TsuiTitleBarButtons& buttons) { titleBar_->SetButtons(buttons); }
    TsuiTitleBarSections& TitleBarSections() { return titleBar_->Sections(); }
    void SetTitleBarSections(const TsuiTitleBarSections& sections) { titleBar_->SetSections(sections); }
    bool TitleBarDrawAppIcon() const { return titleBar_->DrawAppIcon(); }
    void SetTitleBarDrawAppIcon(bool draw) { titleBar_->SetDrawAppIcon(draw); }
    // The caption font (the title bar's).
    gui::Font& Font() const { return titleBar_->Font(); }
    void SetFont(const gui::Font& font) { titleBar_->SetFont(font); }
    // The menu shown in the frame's menu bar; null removes the bar.
    gui::MainMenu* Menu() const { return menu_; }
    void SetMenu(gui::MainMenu* menu);
    gui::TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(gui::TColor color);
    int MenuBarHeight() const { return menuBarHeight_; }
    void SetMenuBarHeight(int height);
    // Setting the frame's size also sizes the form's client area around it.
    void SetHeight(int height);
    void SetWidth(int width);
    // The title bar's events.
    TsuiTitleBarButtonClickEvent& OnTitleBarCustomBtnsClick() { return titleBar_->OnCustomBtnsClick; }
    TsuiTitleBarButtonClickEvent& OnTitleBarHelpBtnClick() { return titleBar_->OnHelpBtnClick; }

    TsuiTitleBar* TitleBar() const { return titleBar_; }
    gui::ToolBar* MenuBar() const { return menuBar_; }
    gui::Form* OwnerForm() const { return ownerForm_; }
    // The program-wide count of the size messages a form designed maximised let through.
    static int MaximizedSizeCounter();

    // --- operations -------------------------------------------------------------
    // Covers the form's client area except the border strips.
    void UpdateFrameBounds();
    // Fills the border strips on the form.
    void DrawFormBorder();
    // One bar button per top-level item of the menu.
    void UpdateMenuBar();
    void UpdateMenuBarFont();
    // What a key message does to the hosted menu's shortcuts: 1 when an item took it.
    LRESULT DispatchShortCut(WPARAM key, LPARAM keyData);

  protected:
    void Paint() override;
    void CreateHandle() override;
    void WndProc(gui::Message& msg) override;
    void Notification(gui::Component* component, gui::TOperation operation) override;

  private:
    void HookOwnerForm();
    void OwnerFormWindowProc(gui::Message& msg, const std::function<void(gui::Message&)>& previous);
    void ResizeHitTest(gui::Message& msg);
    void MaximizeBookkeeping();
    void CreateMenuBar();
    void FreeMenuBar();
    // The menu's style when it is a skinned menu, the frame's otherwise.
    TsuiUIStyle MenuStyle() const;
    void DrawMenuBarButton(gui::ToolBar& bar, int index, bool hot, bool pressed, bool& defaultDraw);

    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    gui::TColor borderColor_ = gui::clBlack;
    int borderWidth_ = 1;
    gui::Panel* formPanel_ = nullptr;
    gui::MainMenu* menu_ = nullptr;
    gui::TColor menuBarColor_ = gui::clBtnFace;
    int menuBarHeight_ = 22;

    gui::Form* ownerForm_ = nullptr;
    TsuiTitleBar* titleBar_ = nullptr;
    gui::ToolBar* menuBar_ = nullptr;
    gui::HookToken ownerFormHook_;
    gui::TBorderStyle designedBorderStyle_ = gui::bsSizeable;
    RECT designedBounds_{0, 0, 0, 0};
    bool wasMaximized_ = false;
    gui::HookToken applicationFilter_;
};

} // namespace sui
