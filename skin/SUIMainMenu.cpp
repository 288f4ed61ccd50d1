#include "skin/SUIMainMenu.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Font.h"
#include "gui/Form.h"
#include "skin/SUIForm.h"
#include "skin/SUIMenu.h"
#include "skin/SUIResDef.h"

namespace sui {

namespace {

constexpr gui::TColor kDisabledFontColor = 0x808080;

} // namespace

// --- construction -------------------------------------------------------------

TsuiMainMenu::TsuiMainMenu(gui::Component* owner) : gui::MainMenu(owner) {
    checkMarks_ = std::make_unique<gui::ImageList>(16, 16);
    gui::Bitmap mark;
    LoadThemeBitmap(mark, TsuiUIStyle::DeepBlue, thMenuChecked);
    checkMarks_->AddMasked(mark, gui::clWhite);
    SetUIStyle(FindFormStyle(owner));
    // After construction: the form shows no native menu; its skinned frame shows this one.
    if (auto* form = dynamic_cast<gui::Form*>(owner)) {
        form->SetMenu(nullptr);
        if (auto* frame = dynamic_cast<TsuiForm*>(FindForm(form))) frame->SetMenu(this);
    }
}

TsuiMainMenu::~TsuiMainMenu() = default;

void TsuiMainMenu::Loaded() {
    gui::MainMenu::Loaded();
    for (int i = 0; i < Items().Count(); ++i) {
        HookMenuItems(
            Items().Items(i),
            [this](gui::MenuItem* item, gui::Canvas& canvas, int& w, int& h) {
                MeasureMenuItem(item, canvas, w, h);
            },
            [this](gui::MenuItem* item, gui::Canvas& canvas, const RECT& r, bool selected) {
                DrawMenuItem(item, canvas, r, selected);
            });
    }
}

void TsuiMainMenu::MenuChanged() {
    if (!IsDesigning() || IsLoading()) return;
    if (TsuiForm* frame = HostFrame()) frame->UpdateMenuBar();
}

TsuiForm* TsuiMainMenu::HostFrame() const {
    auto* form = dynamic_cast<gui::Form*>(Owner());
    if (!form) return nullptr;
    for (int i = 0; i < form->ControlCount(); ++i)
        if (auto* frame = dynamic_cast<TsuiForm*>(form->Controls(i)); frame && frame->Menu() == this)
            return frame;
    return nullptr;
}

// --- properties -------------------------------------------------------------------

gui::ImageList* TsuiMainMenu::Images() const {
    return images_;
}

void TsuiMainMenu::SetImages(gui::ImageList* images) {
    images_ = images;
}

void TsuiMainMenu::SetMenuItemHeight(int height) {
    if (uiStyle_ != TsuiUIStyle::MacOS) menuItemHeight_ = height;
}

void TsuiMainMenu::SetSeparatorHeight(int height) {
    if (uiStyle_ != TsuiUIStyle::MacOS) separatorHeight_ = height;
}

void TsuiMainMenu::SetUseSystemFont(bool use) {
    useSystemFont_ = use;
    if (TsuiForm* frame = HostFrame()) frame->UpdateMenuBarFont();
}

void TsuiMainMenu::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (style == TsuiUIStyle::Custom) return;
    // The heights are written directly: MacOS sets them too.
    menuItemHeight_ = GetThemeInteger(style, thMenuItemHeight);
    separatorHeight_ = GetThemeInteger(style, thMenuSeparatorHeight);
    barColor_ = GetThemeColor(style, thMenuBarColor);
    barWidth_ = GetThemeInteger(style, thMenuBarWidth);
    color_ = GetThemeColor(style, thMenuColor);
    separatorColor_ = GetThemeColor(style, thMenuSeparatorColor);
    selectedBorderColor_ = GetThemeColor(style, thMenuSelectedBorderColor);
    selectedColor_ = GetThemeColor(style, thMenuSelectedColor);
    selectedFontColor_ = GetThemeColor(style, thMenuSelectedFontColor);
    fontColor_ = GetThemeColor(style, thMenuFontColor);
    borderColor_ = GetThemeColor(style, thFormBorderColor);
}

// --- item painting ---------------------------------------------------------------

void TsuiMainMenu::ApplyItemFont(gui::Font& font) {
    if (useSystemFont_) {
        SetSystemMenuFont(font);
        return;
    }
    font.SetName(fontName_);
    font.SetSize(fontSize_);
    font.SetCharset(static_cast<gui::TFontCharset>(fontCharset_));
}

void TsuiMainMenu::MeasureMenuItem(gui::MenuItem* item, gui::Canvas& canvas, int& width, int& height) {
    height = item->IsLine() ? separatorHeight_ : menuItemHeight_;
    width = canvas.TextWidth(item->Caption()) + canvas.TextWidth(gui::ShortCutToText(item->ShortCut())) +
            barWidth_ + 40;
}

bool TsuiMainMenu::HasImage(const gui::MenuItem& item) const {
    return images_ != nullptr && item.ImageIndex() != -1 && item.ImageIndex() < images_->Count();
}

void TsuiMainMenu::DrawMenuItem(gui::MenuItem* item, gui::Canvas& canvas, const RECT& r, bool selected) {
    const bool macOS = uiStyle_ == TsuiUIStyle::MacOS;
    if (flatMenu_) {
        if (HWND window = WindowFromDC(canvas.Handle()))
            DrawFlatMenuBorder(window, borderColor_, GetThemeColor(uiStyle_, thFormColor));
    }
    // The strip along the left and the background beside it.
    auto plainBackground = [&] {
        if (barWidth_ > 0) MenuFillRect(canvas, RECT{r.left, r.top, r.left + barWidth_, r.bottom}, barColor_);
        MenuFillRect(canvas, RECT{r.left + barWidth_, r.top, r.right, r.bottom}, color_);
    };
    if (item->IsLine()) {
        if (macOS) {
            DrawMacOSStripe(canvas, r, res::MacOSMenuBar, 12);
        } else {
            plainBackground();
            DrawMenuSeparatorLine(canvas, r.left + barWidth_ + 4, r.right - 2, r.top + 2, separatorColor_);
        }
        return;
    }
    if (selected && item->Enabled()) {
        if (macOS) {
            DrawMacOSStripe(canvas, r, res::MacOSMenuSelect, 20);
        } else {
            MenuFillRect(canvas, r, selectedColor_);
            MenuFrameRect(canvas, r, selectedBorderColor_);
        }
    } else if (macOS) {
        DrawMacOSStripe(canvas, r, res::MacOSMenuBar, 20);
    } else {
        plainBackground();
    }

    gui::Font& font = canvas.Font();
    ApplyItemFont(font);
    canvas.Brush().SetStyle(gui::bsClear);
    font.SetColor(!item->Enabled() ? kDisabledFontColor : selected ? selectedFontColor_ : fontColor_);
    if (item->Default()) font.SetStyle(font.Style() | gui::fsBold);

    RECT caption{r.left + barWidth_ + 4, r.top + 4, r.right, r.bottom};
    canvas.DrawText(item->Caption(), caption, DT_SINGLELINE | DT_LEFT | DT_TOP);
    const std::string shortCut = gui::ShortCutToText(item->ShortCut());
    if (!shortCut.empty()) canvas.TextOut(r.right - canvas.TextWidth(shortCut) - 16, r.top + 4, shortCut);

    const bool hasImage = HasImage(*item);
    if (item->Checked()) {
        if (hasImage) {
            MenuFrameRect(canvas, RECT{r.left + 2, r.top + 1, r.left + 21, r.top + 20}, gui::clBlack);
            MenuFillRect(canvas, RECT{r.left + 3, r.top + 2, r.left + 20, r.top + 19}, selectedColor_);
        } else {
            checkMarks_->Draw(canvas, r.left + 4, r.top + 3, 0, item->Enabled());
        }
    }
    if (hasImage) images_->Draw(canvas, r.left + 4, r.top + 3, item->ImageIndex(), item->Enabled());
}

} // namespace sui
