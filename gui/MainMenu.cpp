#include "gui/MainMenu.h"

#include "gui/Text.h"

#include <cctype>

namespace gui {

std::string ShortCutToText(TShortCut shortCut) {
    const UINT key = shortCut & 0xFF;
    if (key == 0) return "";
    std::string text;
    if (shortCut & scShift) text.append("Shift+");
    if (shortCut & scCtrl) text.append("Ctrl+");
    if (shortCut & scAlt) text.append("Alt+");
    if (key >= VK_F1 && key <= VK_F24) {
        text.push_back('F');
        text.append(std::to_string(key - VK_F1 + 1));
    } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        text.push_back(static_cast<char>(key));
    } else {
        wchar_t name[64] = {};
        const LONG scan = static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        if (GetKeyNameTextW(scan, name, 64) > 0) text.append(WideToUtf8(name));
    }
    return text;
}

void MenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    Changed();
}

unsigned MenuItem::AccessKey() const {
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != '&') continue;
        if (caption_[i + 1] != '&')
            return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(caption_[i + 1])));
        ++i; // "&&" is an ampersand
    }
    return 0;
}

MenuItem& MenuItem::Add(const std::string& caption) {
    items_.push_back(std::make_unique<MenuItem>(caption));
    items_.back()->parent_ = this;
    Changed();
    return *items_.back();
}

void MenuItem::Clear() {
    items_.clear();
    Changed();
}

int MenuItem::MenuIndex() const {
    if (!parent_) return -1;
    for (int i = 0; i < parent_->Count(); ++i)
        if (&parent_->Items(i) == this) return i;
    return -1;
}

void MenuItem::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    Changed();
}

void MenuItem::SetChecked(bool checked) {
    checked_ = checked;
    Changed();
}

void MenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void MenuItem::SetDefault(bool isDefault) {
    default_ = isDefault;
    Changed();
}

void MenuItem::SetImageIndex(int index) {
    imageIndex_ = index;
    Changed();
}

MainMenu* MenuItem::Menu() const {
    const MenuItem* root = this;
    while (root->parent_)
        root = root->parent_;
    return root->menu_;
}

void MenuItem::Changed() {
    MenuItem* root = this;
    while (root->parent_)
        root = root->parent_;
    if (root->OnChange) root->OnChange();
}

MenuItem* MenuItem::FindShortCut(TShortCut shortCut) {
    if (shortCut == 0) return nullptr;
    if (shortCut_ == shortCut) return this;
    for (auto& item : items_)
        if (MenuItem* found = item->FindShortCut(shortCut)) return found;
    return nullptr;
}

MainMenu::MainMenu(Component* owner) : Component(owner) {
    root_.menu_ = this;
    root_.OnChange = [this] { MenuChanged(); };
}

MainMenu::~MainMenu() = default;

HMENU MainMenu::Handle() {
    if (!handle_) {
        handle_.Reset(CreateMenu());
        commands_.clear();
        Build(handle_.Get(), root_);
    }
    return handle_.Get();
}

void MainMenu::Build(HMENU menu, MenuItem& item) {
    for (int i = 0; i < item.Count(); ++i) {
        MenuItem& child = item.Items(i);
        const std::wstring caption = Utf8ToWide(child.Caption());
        if (child.Count() > 0) {
            MenuHandle sub(CreatePopupMenu());
            Build(sub.Get(), child);
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.Get()), caption.c_str());
            sub.Release(); // the parent menu owns it now
        } else if (child.IsLine()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
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
    if (item->Enabled() && item->OnClick) item->OnClick(this);
    return true;
}

} // namespace gui
