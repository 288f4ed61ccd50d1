#include "gui/MainMenu.h"

#include "gui/Text.h"

namespace gui {

MenuItem& MenuItem::Add(const std::string& caption) {
    items_.push_back(std::make_unique<MenuItem>(caption));
    return *items_.back();
}

MenuItem* MenuItem::FindShortCut(TShortCut shortCut) {
    if (shortCut == 0) return nullptr;
    if (shortCut_ == shortCut) return this;
    for (auto& item : items_)
        if (MenuItem* found = item->FindShortCut(shortCut)) return found;
    return nullptr;
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

bool MainMenu::IsShortCut(std::uint16_t key) {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    MenuItem* item = root_.FindShortCut(MakeShortCut(key, shift));
    if (item == nullptr) return false;
    if (item->OnClick) item->OnClick(this);
    return true;
}

} // namespace gui
