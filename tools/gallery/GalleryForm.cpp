#include "tools/gallery/GalleryForm.h"

#include "gui/ToolBar.h"
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

    MainMenu1 = new gui::MainMenu(this);
    MainMenu1->SetName("MainMenu1");
    gui::MenuItem& styleMenu = MainMenu1->Items().Add("&Style");
    for (sui::TsuiUIStyle s : kStyles) {
        std::string caption = StyleName(s);
        caption.insert(caption.begin(), '&');
        styleMenu.Add(caption).OnClick = [this, s](gui::Component*) { SetStyle(s); };
    }
    styleMenu.Add("-");
    styleMenu.Add("E&xit").OnClick = [this](gui::Component*) { Close(); };
    suiForm1->SetMenu(MainMenu1);

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
    SetStyle(style);
}

void Tfrm_gallery::SetStyle(sui::TsuiUIStyle style) {
    suiForm1->SetUIStyle(style);
    FitFrame();
}

void Tfrm_gallery::FitFrame() {
    int top = suiForm1->TitleBar()->Height();
    if (suiForm1->MenuBar()) top += suiForm1->MenuBar()->Height();
    suiForm1->SetWidth(samplesWidth_);
    suiForm1->SetHeight(top + samplesHeight_);
}

} // namespace gallery
