#include "gui/PopupMenu.h"

#include <vector>

#include "gui/Application.h"
#include "gui/Handle.h"
#include "gui/Text.h"

namespace gui {

namespace {

// Appends item's children to menu; commands are numbered from 1 in the order of `items`.
void Build(HMENU menu, MenuItem& item, std::vector<MenuItem*>& items) {
    for (int i = 0; i < item.Count(); ++i) {
        MenuItem& child = item.Items(i);
        const std::wstring caption = Utf8ToWide(child.Caption());
        if (child.Count() > 0) {
            MenuHandle sub(CreatePopupMenu());
            Build(sub.Get(), child, items);
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.Get()), caption.c_str());
            sub.Release(); // the parent menu owns it now
        } else if (child.Caption() == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            items.push_back(&child);
            AppendMenuW(menu, MF_STRING, items.size(), caption.c_str());
        }
    }
}

} // namespace

MenuItem* TrackMenu(MenuItem& item, POINT screen) {
    MenuHandle menu(CreatePopupMenu());
    std::vector<MenuItem*> items;
    Build(menu.Get(), item, items);
    HWND owner = App().Handle();
    SetForegroundWindow(owner);
    const UINT command = static_cast<UINT>(
        TrackPopupMenuEx(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON, screen.x,
                         screen.y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return command >= 1 && command <= items.size() ? items[command - 1] : nullptr;
}

PopupMenu::PopupMenu(Component* owner) : Component(owner) {}

void PopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    MenuItem* chosen = TrackMenu(root_, POINT{x, y});
    if (chosen && chosen->OnClick) chosen->OnClick(this);
}

} // namespace gui
