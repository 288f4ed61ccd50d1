// The skinned main menu: its items are drawn by the menu itself in the colours and bitmaps of a
// style. It attaches itself to the skinned form frame of its form, whose menu bar shows the
// top-level items; the drop-down lists show the items painted here.
#pragma once

#include <memory>
#include <string>

#include "gui/ImageList.h"
#include "gui/MainMenu.h"
#include "skin/SUIThemes.h"

namespace sui {

class TsuiForm;

class TsuiMainMenu : public gui::MainMenu {
  public:
    // The check-mark list, the default looks, then the owner form's style; on a form it becomes
    // the Menu of the form's skinned frame.
    explicit TsuiMainMenu(gui::Component* owner);
    ~TsuiMainMenu() override;

    // --- properties -----------------------------------------------------------
    // None while the check-mark list stands in; setting none puts it back.
    gui::ImageList* Images() const override;
    void SetImages(gui::ImageList* images) override;
    // Always true: every item is drawn by the menu.
    bool OwnerDraw() const override { return true; }
    void SetOwnerDraw(bool) override {}
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Sets the looks below from the style's theme slots (Custom changes nothing else).
    void SetUIStyle(TsuiUIStyle style);
    // Writing either height is ignored while the style is MacOS.
    int MenuItemHeight() const { return menuItemHeight_; }
    void SetMenuItemHeight(int height);
    int SeparatorHeight() const { return separatorHeight_; }
    void SetSeparatorHeight(int height);
    int BarWidth() const { return barWidth_; }
    void SetBarWidth(int width) { barWidth_ = width; }
    gui::TColor BarColor() const { return barColor_; }
    void SetBarColor(gui::TColor color) { barColor_ = color; }
    gui::TColor Color() const { return color_; }
    void SetColor(gui::TColor color) { color_ = color; }
    gui::TColor SeparatorColor() const { return separatorColor_; }
    void SetSeparatorColor(gui::TColor color) { separatorColor_ = color; }
    gui::TColor SelectedBorderColor() const { return selectedBorderColor_; }
    void SetSelectedBorderColor(gui::TColor color) { selectedBorderColor_ = color; }
    gui::TColor SelectedColor() const { return selectedColor_; }
    void SetSelectedColor(gui::TColor color) { selectedColor_ = color; }
    gui::TColor SelectedFontColor() const { return selectedFontColor_; }
    void SetSelectedFontColor(gui::TColor color) { selectedFontColor_ = color; }
    gui::TColor FontColor() const { return fontColor_; }
    void SetFontColor(gui::TColor color) { fontColor_ = color; }
    gui::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(gui::TColor color) { borderColor_ = color; }
    // A flat border painted over the open list.
    bool FlatMenu() const { return flatMenu_; }
    void SetFlatMenu(bool flat) { flatMenu_ = flat; }
    const std::string& FontName() const { return fontName_; }
    void SetFontName(const std::string& name) { fontName_ = name; }
    int FontSize() const { return fontSize_; }
    void SetFontSize(int size) { fontSize_ = size; }
    int FontCharset() const { return fontCharset_; }
    void SetFontCharset(int charset) { fontCharset_ = charset; }
    // The system's menu font instead of FontName, FontSize and FontCharset; the frame's menu
    // bar follows.
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool use);

    // --- item painting (the events HookMenuItems gives the items) -------------------
    void MeasureMenuItem(gui::MenuItem* item, gui::Canvas& canvas, int& width, int& height);
    void DrawMenuItem(gui::MenuItem* item, gui::Canvas& canvas, const RECT& rect, bool selected);
    // Gives the canvas the item font: the system menu font, or FontName, FontSize, FontCharset.
    void ApplyItemFont(gui::Font& font);

  protected:
    // The items present now get the menu's painter; items added later keep the framework's.
    void Loaded() override;
    void MenuChanged() override;

  private:
    // The skinned frame among the owner form's children whose Menu is this menu.
    TsuiForm* HostFrame() const;
    bool HasImage(const gui::MenuItem& item) const;

    std::unique_ptr<gui::ImageList> checkMarks_;
    gui::ImageList* images_ = nullptr; // the user's list; null while the check marks stand in
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    int menuItemHeight_ = 21;
    int separatorHeight_ = 21;
    int barWidth_ = 0;
    gui::TColor barColor_ = gui::clBtnFace;
    gui::TColor color_ = 0xFFFFFF;
    gui::TColor separatorColor_ = 0x808080;
    gui::TColor selectedBorderColor_ = gui::clHighlight;
    gui::TColor selectedColor_ = gui::clHighlight;
    gui::TColor selectedFontColor_ = 0xFFFFFF;
    gui::TColor fontColor_ = 0xFFFFFF;
    gui::TColor borderColor_ = 0x000000;
    bool flatMenu_ = false;
    std::string fontName_ = "MS Sans Serif";
    int fontSize_ = 8;
    int fontCharset_ = DEFAULT_CHARSET;
    bool useSystemFont_ = true;
};

} // namespace sui
