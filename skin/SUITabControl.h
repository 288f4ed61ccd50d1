// The skinned tab control: a strip of tabs drawn from the style's tab bitmaps above a bordered
// client area. It owns no pages; it keeps the selected tab and raises OnTabActive, and the
// application shows its own controls for that tab.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Font.h"
#include "gui/Panel.h"
#include "gui/StringList.h"
#include "skin/SUIThemes.h"

namespace sui {

class TsuiTabControl;

// A tab was selected (also the one already selected, and -1 for none).
using TTabActiveNotify = std::function<void(gui::Component* sender, int tabIndex)>;

// Tabs from the 64th on are neither recorded nor clickable.
constexpr int kMaxTabWidths = 64;

// The strip along the top of a tab control: the tabs, the line under them and the hit test.
class TsuiTabControlTopPanel : public gui::Panel {
  public:
    // One tab "Tab1", selected, 10 pixels from the left; aligned to the top, no bevels.
    TsuiTabControlTopPanel(gui::Component* owner, TsuiTabControl* tabControl);
    ~TsuiTabControlTopPanel() override;

    // Every change of the captions repaints the strip.
    gui::StringList& Tabs() const { return *tabs_; }
    void SetTabs(const std::vector<std::string>& tabs) { tabs_->Assign(tabs); }
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Takes the style's three tab bitmap names and strip height.
    void SetUIStyle(TsuiUIStyle style);
    const std::string& ActiveTabResName() const { return activeTabResName_; }
    const std::string& InactiveTabResName() const { return inactiveTabResName_; }
    const std::string& TabLineResName() const { return tabLineResName_; }
    int TabIndex() const { return tabIndex_; }
    // Selects a tab: -1 up to the last index is taken (and raises OnTabActive even when it
    // is the current one); anything else only repaints. Without tabs the index becomes -1.
    void SetTabIndex(int index);
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int margin);
    // Widths of the tabs at the last paint; a 0 entry ends the list.
    const std::array<int, kMaxTabWidths>& TabWidths() const { return tabWidths_; }
    // The active tab bitmap's height at the last paint: clicks below it miss the tabs.
    int HitHeight() const { return hitHeight_; }
    TsuiTabControl* OwnerTabControl() const { return owner_; }

    // Sender: the tab control (the strip itself when it has none).
    TTabActiveNotify OnTabActive;

  protected:
    // Composes the parent's background, the line, the tabs and their captions off screen.
    void Paint() override;
    void WndProc(gui::Message& msg) override;
    // Any button: the tab under the point is selected.
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;

  private:
    std::unique_ptr<gui::StringList> tabs_;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    std::string activeTabResName_;
    std::string inactiveTabResName_;
    std::string tabLineResName_;
    int tabIndex_ = 0;
    int leftMargin_ = 10;
    std::array<int, kMaxTabWidths> tabWidths_{};
    int hitHeight_ = 0;
    TsuiTabControl* owner_;
};

class TsuiTabControl : public gui::Panel {
  public:
    // 80 pixels high, no bevels, the owner form's style (DeepBlue without one).
    explicit TsuiTabControl(gui::Component* owner);
    ~TsuiTabControl() override;

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Custom changes nothing at all; a built-in style sets the strip, the colours and the
    // border colour from the theme (a white client area in WinXP).
    void SetUIStyle(TsuiUIStyle style);
    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color);
    // The captions' font, the tab control's own (not the framework's font of the panel).
    gui::Font& Font() const { return *font_; }
    void SetFont(const gui::Font& font);

    TsuiTabControlTopPanel& TopPanel() const { return *topPanel_; }
    gui::StringList& Tabs() const { return topPanel_->Tabs(); }
    void SetTabs(const std::vector<std::string>& tabs) { topPanel_->SetTabs(tabs); }
    int TabIndex() const { return topPanel_->TabIndex(); }
    virtual void SetTabIndex(int index);
    int LeftMargin() const { return topPanel_->LeftMargin(); }
    void SetLeftMargin(int margin) { topPanel_->SetLeftMargin(margin); }

    // A form's style walk enters the tab control: the controls on it take the style.
    virtual void UpdateChildrenStyle(TsuiUIStyle style);

    // Raised by the strip when a tab is selected; sender is the tab control.
    TTabActiveNotify OnTabActive;

  protected:
    // A new strip owned by this tab control.
    virtual TsuiTabControlTopPanel* CreateTopPanel();
    // The client area under the strip in Color, framed in BorderColor left, bottom and right.
    void Paint() override;
    void WndProc(gui::Message& msg) override;

  private:
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    gui::TColor borderColor_ = gui::clBlack;
    std::unique_ptr<gui::Font> font_;
    TsuiTabControlTopPanel* topPanel_ = nullptr; // owned as a component
};

} // namespace sui
