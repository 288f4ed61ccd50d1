// A main menu: items with captions, in a tree. A form's Menu shows it as the
// native menu bar.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Types.h"

namespace gui {

class MenuItem {
 public:
  explicit MenuItem(const std::string& caption = "") : caption_(caption) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  int Count() const { return static_cast<int>(items_.size()); }
  MenuItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  MenuItem& Add(const std::string& caption);
  TNotifyEvent OnClick;

 private:
  std::string caption_;
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

 private:
  void Build(HMENU menu, MenuItem& item);

  MenuItem root_;
  HMENU handle_ = nullptr;
  std::vector<MenuItem*> commands_;
};

}  // namespace gui
