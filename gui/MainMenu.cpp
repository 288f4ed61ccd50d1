#include "gui/MainMenu.h"

#include "gui/Text.h"

namespace gui {

MenuItem& MenuItem::Add(const std::string& caption) {
  items_.push_back(std::make_unique<MenuItem>(caption));
  return *items_.back();
}

MainMenu::MainMenu(Component* owner) : Component(owner) {}

MainMenu::~MainMenu() {
  if (handle_ != nullptr) DestroyMenu(handle_);
}

HMENU MainMenu::Handle() {
  if (handle_ == nullptr) {
    handle_ = CreateMenu();
    commands_.clear();
    Build(handle_, root_);
  }
  return handle_;
}

void MainMenu::Build(HMENU menu, MenuItem& item) {
  for (int i = 0; i < item.Count(); ++i) {
    MenuItem& child = item.Items(i);
    const std::wstring caption = Utf8ToWide(child.Caption());
    if (child.Count() > 0) {
      HMENU sub = CreatePopupMenu();
      Build(sub, child);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else {
      commands_.push_back(&child);
      AppendMenuW(menu, MF_STRING, commands_.size(), caption.c_str());
    }
  }
}

bool MainMenu::DispatchCommand(UINT id) {
  if (id == 0 || id > commands_.size()) return false;
  MenuItem* item = commands_[id - 1];
  if (item->OnClick) item->OnClick(this);
  return true;
}

}  // namespace gui
