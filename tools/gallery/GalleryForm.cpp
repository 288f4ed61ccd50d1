#include "tools/gallery/GalleryForm.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/ToolBar.h"
#include "skin/SUIResDef.h"
#include "tools/gallery/GalleryRows.h"

namespace gallery {

namespace {

// Sections flow into a new column below this.
constexpr int kColumnFoot = 640;

} // namespace

std::string StyleName(sui::TsuiUIStyle style) {
    switch (style) {
    case sui::TsuiUIStyle::MacOS:
        return "MacOS";
    case sui::TsuiUIStyle::WinXP:
        return "WinXP";
    case sui::TsuiUIStyle::DeepBlue:
        return "DeepBlue";
    case sui::TsuiUIStyle::Protein:
        return "Protein";
    case sui::TsuiUIStyle::BlueGlass:
        return "BlueGlass";
    default:
        return "Custom";
    }
}

Tfrm_gallery::Tfrm_gallery(gui::Component* owner, sui::TsuiUIStyle style) : gui::Form(owner) {
    layout(style);
}

void Tfrm_gallery::layout(sui::TsuiUIStyle style) {
    BeginLoading();
    SetName("frm_gallery");
    SetBorderStyle(gui::bsSingle);
    SetCaption("Skin Gallery");
    SetPosition(gui::poScreenCenter);

    suiForm1 = new sui::TsuiForm(this);
    suiForm1->SetName("suiForm1");
    suiForm1->SetCaption("Skin Gallery");

    MainMenu1 = new sui::TsuiMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    BuildMenu();
    suiForm1->SetMenu(MainMenu1); // the frame's stored reference, once the items are in

    Samples = new sui::TsuiImagePanel(this);
    Samples->SetName("Samples");
    Samples->SetParent(suiForm1);
    Samples->SetTransparent(true);
    suiForm1->SetFormPanel(Samples);

    GalleryRows rows(this, Samples, kColumnFoot);
    for (GallerySection section : GallerySections())
        section(rows);
    samplesWidth_ = rows.Right();
    samplesHeight_ = rows.Bottom();
    EndLoading();
    // Added after loading: drawn by the framework, not by the skinned menu.
    MainMenu1->Items().Items(1).Add("Added after loading");
    SetStyle(style);
}

// Style: the five styles and Exit. Items: one item of each kind the menu draws. Options: the
// menu's own switches.
void Tfrm_gallery::BuildMenu() {
    gui::Bitmap picture;
    picture.LoadFromResourceName(gui::App().ModuleHandle(), sui::res::DialogSoundOff);
    ImageList1.AddMasked(picture, gui::clFuchsia);
    MainMenu1->SetImages(&ImageList1);

    gui::MenuItem& styles = MainMenu1->Items().Add("&Style");
    for (sui::TsuiUIStyle s : kStyles) {
        std::string caption = StyleName(s);
        caption.insert(caption.begin(), '&');
        styles.Add(caption).OnClick = [this, s](gui::Component*) { SetStyle(s); };
    }
    styles.Add("-");
    gui::MenuItem& exit = styles.Add("E&xit");
    exit.SetShortCut(gui::MakeShortCut('Q', gui::ssCtrl));
    exit.OnClick = [this](gui::Component*) { Close(); };

    gui::MenuItem& items = MainMenu1->Items().Add("&Items");
    items.Add("&Normal");
    gui::MenuItem& checked = items.Add("&Checked");
    checked.SetChecked(true);
    checked.OnClick = [&checked](gui::Component*) { checked.SetChecked(!checked.Checked()); };
    items.Add("With a &picture").SetImageIndex(0);
    gui::MenuItem& both = items.Add("Checked, with a pict&ure");
    both.SetImageIndex(0);
    both.SetChecked(true);
    items.Add("&Default").SetDefault(true);
    items.Add("D&isabled").SetEnabled(false);
    items.Add("-");
    items.Add("With a &shortcut").SetShortCut(gui::MakeShortCut('K', gui::ssCtrl));
    gui::MenuItem& more = items.Add("&More");
    more.Add("&First");
    more.Add("&Second");

    gui::MenuItem& options = MainMenu1->Items().Add("&Options");
    gui::MenuItem& flat = options.Add("&Flat border");
    flat.OnClick = [this, &flat](gui::Component*) {
        MainMenu1->SetFlatMenu(!MainMenu1->FlatMenu());
        flat.SetChecked(MainMenu1->FlatMenu());
    };
    gui::MenuItem& systemFont = options.Add("&System font");
    systemFont.SetChecked(MainMenu1->UseSystemFont());
    systemFont.OnClick = [this, &systemFont](gui::Component*) {
        MainMenu1->SetUseSystemFont(!MainMenu1->UseSystemFont());
        systemFont.SetChecked(MainMenu1->UseSystemFont());
    };
}

void Tfrm_gallery::SetStyle(sui::TsuiUIStyle style) {
    suiForm1->SetUIStyle(style);
    gui::MenuItem& styles = MainMenu1->Items().Items(0);
    for (size_t i = 0; i < kStyles.size(); ++i)
        styles.Items(static_cast<int>(i)).SetChecked(kStyles[i] == style);
    FitFrame();
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Tfrm_gallery::FitFrame() {
    int top = suiForm1->TitleBar()->Height();
    if (suiForm1->MenuBar()) top += suiForm1->MenuBar()->Height();
    suiForm1->SetWidth(samplesWidth_);
    suiForm1->SetHeight(top + samplesHeight_);
}

} // namespace gallery
