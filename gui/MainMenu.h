// A main menu: items with captions, in a tree. A form's Menu shows it as the
// native menu bar.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Types.h"

namespace gui {

// A key with its modifiers: the virtual-key code in the low byte, plus scShift, scCtrl, scAlt.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut MakeShortCut(std::uint16_t key, TShiftState shift) {
    return static_cast<TShortCut>((key & 0xFF) | ((shift & ssShift) ? scShift : 0) |
                                  ((shift & ssCtrl) ? scCtrl : 0) | ((shift & ssAlt) ? scAlt : 0));
}

class MenuItem {
  public:
    explicit MenuItem(const std::string& caption = "") : caption_(caption) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    int Count() const { return static_cast<int>(items_.size()); }
    MenuItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    MenuItem& Add(const std::string& caption);
    // The key that runs the item's click (0: none).
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    // This item or a descendant with the shortcut, or null.
    MenuItem* FindShortCut(TShortCut shortCut);
    TNotifyEvent OnClick;

  private:
    std::string caption_;
    TShortCut shortCut_ = 0;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

class MainMenu : public Component {
  public:
    explicit MainMenu(Component* owner);
    ~MainMenu() override;
    // The top-level items.
    MenuItem& Items() { return root_; }
    // A native menu bar built from the items (owned by the menu).
    HMENU Handle();
    // Runs the click of the item with this command number (WM_COMMAND from the
    // menu bar); false when no item has it.
    bool DispatchCommand(UINT id);
    // Runs the click of the item whose shortcut is the key with the modifiers held now; false
    // when no item has it.
    bool IsShortCut(std::uint16_t key);

  private:
    void Build(HMENU menu, MenuItem& item);

    MenuItem root_;
    HMENU handle_ = nullptr;
    std::vector<MenuItem*> commands_;
};

} // namespace gui
