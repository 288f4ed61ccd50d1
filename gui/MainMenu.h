// Menus: items with captions, shortcuts, check marks, images and sub-menus, in a tree. A form's
// Menu shows a main menu as the native menu bar; a tool bar shows it as buttons that open
// drop-down lists (MenuList).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Handle.h"
#include "gui/Types.h"

namespace gui {

class ImageList;

// A key with its modifiers: the virtual-key code in the low byte, plus scShift, scCtrl, scAlt.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut MakeShortCut(std::uint16_t key, TShiftState shift) {
    return static_cast<TShortCut>((key & 0xFF) | ((shift & ssShift) ? scShift : 0) |
                                  ((shift & ssCtrl) ? scCtrl : 0) | ((shift & ssAlt) ? scAlt : 0));
}

// The key's name with its modifiers, as menus show it ("Ctrl+S", "Shift+F5"); "" for none.
std::string ShortCutToText(TShortCut shortCut);

class Canvas;
class MainMenu;
class MenuItem;

// Measures an item before its list shows: width and height come in with the framework's own
// measure and go out as the item's size.
using TMenuMeasureItemEvent = std::function<void(MenuItem* item, Canvas& canvas, int& width, int& height)>;
// Draws an item into rect on canvas, selected or not; it draws the whole rectangle.
using TMenuDrawItemEvent =
    std::function<void(MenuItem* item, Canvas& canvas, const RECT& rect, bool selected)>;

// One entry of a menu: a command, a separator (caption "-") or a sub-menu (an item with items).
class MenuItem {
  public:
    explicit MenuItem(const std::string& caption = "") : caption_(caption) {}
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    // An ampersand marks the next letter as the access key.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // A separator line: the caption is exactly "-".
    bool IsLine() const { return caption_ == "-"; }
    // The access key's letter in upper case, 0 when the caption has none.
    unsigned AccessKey() const;
    int Count() const { return static_cast<int>(items_.size()); }
    MenuItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    MenuItem& Add(const std::string& caption);
    void Clear();
    // The item that holds this one (null for a menu's root).
    MenuItem* Parent() const { return parent_; }
    // The menu whose tree holds the item (null for an item outside a menu).
    MainMenu* Menu() const;
    // Position among the parent's items (-1 for a root).
    int MenuIndex() const;
    // The key that runs the item's click (0: none).
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The default item of its list, shown in bold.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    // Index into the menu's image list (-1: none).
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // This item or a descendant with the shortcut, or null.
    MenuItem* FindShortCut(TShortCut shortCut);

    TNotifyEvent OnClick;
    // Drawing taken over per item; unassigned, the framework draws the item itself.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    // Raised on the root item when any item of the tree is added, removed or edited.
    std::function<void()> OnChange;

  private:
    friend class MainMenu;
    void Changed();

    std::string caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false;
    bool enabled_ = true;
    bool default_ = false;
    int imageIndex_ = -1;
    MenuItem* parent_ = nullptr;
    MainMenu* menu_ = nullptr; // on a menu's root only
    std::vector<std::unique_ptr<MenuItem>> items_;
};

class MainMenu : public Component {
  public:
    explicit MainMenu(Component* owner);
    ~MainMenu() override;
    // The top-level items.
    MenuItem& Items() { return root_; }
    // The pictures of the items (not owned); null for none.
    virtual ImageList* Images() const { return images_; }
    virtual void SetImages(ImageList* images) { images_ = images; }
    // Whether the items are drawn through their draw and measure events. A menu that holds an
    // image list is always drawn that way.
    virtual bool OwnerDraw() const { return ownerDraw_; }
    virtual void SetOwnerDraw(bool ownerDraw) { ownerDraw_ = ownerDraw; }
    // A native menu bar built from the items (owned by the menu).
    HMENU Handle();
    // Runs the click of the item with this command number (WM_COMMAND from the
    // menu bar); false when no item has it.
    bool DispatchCommand(UINT id);
    // Runs the click of the item whose shortcut is the key with the modifiers held now; false
    // when no item has it.
    bool IsShortCut(std::uint16_t key);

  protected:
    // Items were added, removed or edited.
    virtual void MenuChanged() {}

  private:
    void Build(HMENU menu, MenuItem& item);

    MenuItem root_;
    ImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    MenuHandle handle_;
    std::vector<MenuItem*> commands_;
};

} // namespace gui
