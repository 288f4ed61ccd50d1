#include "tools/gallery/GalleryForm.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include <algorithm>

#include "gui/ToolBar.h"
#include "skin/SUIResDef.h"
#include "tools/gallery/GalleryRows.h"

namespace gallery {

namespace {

// Sections flow into a new column below this.
constexpr int kColumnFoot = 640;
// The side channel open, and where its controls start (right of its bar, below its header).
constexpr int kChannelWidth = 140;
constexpr int kChannelLeft = 18;
constexpr int kChannelTop = 26;

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

    AddSideChannel();

    suiTabControl1 = new sui::TsuiTabControl(this);
    suiTabControl1->SetName("suiTabControl1");
    suiTabControl1->SetParent(Samples);
    suiTabControl1->SetAlign(gui::alClient);
    std::vector<std::string> captions;
    for (const GalleryPage& page : GalleryPages()) {
        captions.push_back(page.Caption);
        auto* panel = new sui::TsuiImagePanel(this);
        panel->SetName(std::string("Page_") + page.Word);
        panel->SetParent(suiTabControl1);
        GalleryRows rows(this, panel, kColumnFoot);
        for (GallerySection section : page.Sections)
            section(rows);
        pagesWidth_ = std::max(pagesWidth_, rows.Right());
        pagesHeight_ = std::max(pagesHeight_, rows.Bottom());
        pages_.push_back(panel);
    }
    suiTabControl1->SetTabs(captions);
    suiTabControl1->OnTabActive = [this](gui::Component*, int index) { ShowPage(index); };
    suiTabControl1->OnResize = [this](gui::Component*) { LayoutPages(); };
    EndLoading();
    // Added after loading: drawn by the framework, not by the skinned menu.
    MainMenu1->Items().Items(1).Add("Added after loading");
    SetStyle(style);
    ShowPage(0);
}

// The channel holds the style switch and how it opens; it starts closed, as wide as its bar.
void Tfrm_gallery::AddSideChannel() {
    suiSideChannel1 = new sui::TsuiSideChannel(this);
    suiSideChannel1->SetName("suiSideChannel1");
    suiSideChannel1->SetParent(Samples);
    suiSideChannel1->SetWidth(kChannelWidth);
    suiSideChannel1->SetCaption("Style");
    int y = kChannelTop;
    for (sui::TsuiUIStyle s : sui::kBuiltInStyles) {
        auto* radio = new sui::TsuiRadioButton(this);
        radio->SetName("Style" + StyleName(s));
        radio->SetParent(suiSideChannel1);
        radio->SetCaption(StyleName(s));
        radio->SetGroupIndex(1);
        radio->SetBounds(kChannelLeft, y, kChannelWidth - kChannelLeft - 6, 17);
        radio->OnClick = [this, s](gui::Component*) { SetStyle(s); };
        styleButtons_.push_back(radio);
        y += 22;
    }
    y += 10;
    auto* onClick = new sui::TsuiCheckBox(this);
    onClick->SetName("OpenOnClick");
    onClick->SetParent(suiSideChannel1);
    onClick->SetCaption("Open on click");
    onClick->SetBounds(kChannelLeft, y, kChannelWidth - kChannelLeft - 6, 17);
    onClick->OnClick = [this, onClick](gui::Component*) {
        suiSideChannel1->SetPopupMode(onClick->Checked() ? sui::TsuiSideChannelPopupMode::suiMouseClick
                                                         : sui::TsuiSideChannelPopupMode::suiMouseOn);
    };
    y += 22;
    auto* quick = new sui::TsuiCheckBox(this);
    quick->SetName("QuickMove");
    quick->SetParent(suiSideChannel1);
    quick->SetCaption("Quick move");
    quick->SetBounds(kChannelLeft, y, kChannelWidth - kChannelLeft - 6, 17);
    quick->OnClick = [this, quick](gui::Component*) { suiSideChannel1->SetQuickMove(quick->Checked()); };
}

// Style: the five styles and Exit. Items: one item of each kind the menu draws. Options: the
// menu's own switches.
void Tfrm_gallery::BuildMenu() {
    gui::Bitmap picture;
    picture.LoadFromResourceName(gui::App().ModuleHandle(), sui::res::DialogSoundOff);
    ImageList1.AddMasked(picture, gui::clFuchsia);
    MainMenu1->SetImages(&ImageList1);

    gui::MenuItem& styles = MainMenu1->Items().Add("&Style");
    for (sui::TsuiUIStyle s : sui::kBuiltInStyles) {
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
    for (size_t i = 0; i < sui::kBuiltInStyles.size(); ++i)
        styles.Items(static_cast<int>(i)).SetChecked(sui::kBuiltInStyles[i] == style);
    // The frame reaches the controls on its panel and on the tab control; the gallery hands the
    // style on into the side channel and the pages.
    sui::ApplyStyleToChildren(suiSideChannel1, style);
    for (sui::TsuiImagePanel* page : pages_) {
        page->SetColor(suiTabControl1->Color()); // the samples take their page's colour
        page->UpdateChildrenStyle(style);
    }
    for (size_t i = 0; i < styleButtons_.size(); ++i)
        styleButtons_[i]->SetChecked(sui::kBuiltInStyles[i] == style);
    FitFrame();
    LayoutPages();
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Tfrm_gallery::ShowPage(int index) {
    for (int i = 0; i < PageCount(); ++i)
        pages_[static_cast<size_t>(i)]->SetVisible(i == index);
    if (suiTabControl1->TabIndex() != index) suiTabControl1->SetTabIndex(index);
}

// Each page fills the tab control's client area, inside its border lines.
void Tfrm_gallery::LayoutPages() {
    const int top = suiTabControl1->TopPanel().Height();
    for (sui::TsuiImagePanel* page : pages_)
        page->SetBounds(1, top, suiTabControl1->Width() - 2, suiTabControl1->Height() - top - 1);
}

void Tfrm_gallery::FitFrame() {
    int top = suiForm1->TitleBar()->Height();
    if (suiForm1->MenuBar()) top += suiForm1->MenuBar()->Height();
    const int stripHeight = suiTabControl1->TopPanel().Height();
    suiForm1->SetWidth(suiSideChannel1->SideBarWidth() + pagesWidth_ + 2);
    suiForm1->SetHeight(top + stripHeight + pagesHeight_ + 1);
}

} // namespace gallery
