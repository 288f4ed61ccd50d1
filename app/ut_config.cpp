#include "app/ut_config.h"

#include "app/DialogArt.h"
#include "app/ut_writereg.h"

#include "gui/Application.h"
#include "gui/Text.h"
#include "skin/SUIResDef.h"

#include <utility>

using sui::TsuiUIStyle;

// --- construction -------------------------------------------------------------

Tfrm_config::Tfrm_config(gui::Component* owner) : Tfrm_config(owner, SettingsAccess{}) {}

Tfrm_config::Tfrm_config(gui::Component* owner, SettingsAccess access) : gui::Form(owner), access_(std::move(access)) {
    if (!access_.readTimeoutSeconds) access_.readTimeoutSeconds = [] { return ReadTimeoutSeconds(); };
    if (!access_.readSoundOff) access_.readSoundOff = [] { return ReadSoundOff(); };
    if (!access_.writeSettings) access_.writeSettings = [](std::int32_t minutes, bool off) { WriteSettings(minutes, off); };
    layout();
}

// The dialog as its layout stores it.
void Tfrm_config::layout() {
    BeginLoading();
    SetName("frm_config");
    SetBorderStyle(gui::bsSizeable);
    SetBounds(0, 0, 287, 164);
    SetCaption("Config");
    SetColor(gui::clBtnFace);
    SetFont(dialog_art::MakeFont("Arial", 12, gui::clWindowText));
    SetPosition(gui::poScreenCenter);
    OnShow = [this](gui::Component* s) { FormShow(s); };
    OnActivate = [this](gui::Component* s) { FormActivate(s); };
    OnClose = [this](gui::Component* s, gui::TCloseAction& action) { FormClose(s, action); };

    suiForm1 = new sui::TsuiForm(this);
    suiForm1->SetName("suiForm1");
    suiForm1->SetBounds(1, 0, 277, 136);
    suiForm1->SetWidth(277);
    suiForm1->SetHeight(136);
    suiForm1->SetUIStyle(TsuiUIStyle::Protein);
    suiForm1->SetBorderColor(gui::clBlack);
    suiForm1->SetBorderWidth(1);
    suiForm1->SetColor(dialog_art::FrameColor);
    suiForm1->SetCaption("Config");
    suiForm1->TitleBarButtons().Clear();
    dialog_art::AddControlBoxButton(*suiForm1);
    dialog_art::AddCloseButton(*suiForm1);
    dialog_art::SetTitleBarSections(*suiForm1);
    suiForm1->SetTitleBarDrawAppIcon(false);
    suiForm1->SetFont(dialog_art::MakeFont("MS Sans Serif", 11, gui::clWhite));
    suiForm1->SetMenuBarColor(dialog_art::FrameColor);
    suiForm1->SetMenuBarHeight(22);

    Label2 = new gui::Label(this);
    Label2->SetName("Label2");
    Label2->SetParent(suiForm1);
    Label2->SetBounds(72, 32, 65, 15);
    Label2->SetCaption("Delay Time:");
    Label2->SetFont(dialog_art::MakeFont("Arial", 12, gui::clBlue));
    Label2->SetTransparent(true);

    Label3 = new gui::Label(this);
    Label3->SetName("Label3");
    Label3->SetParent(suiForm1);
    Label3->SetBounds(209, 32, 43, 15);
    Label3->SetCaption("Minutes");
    Label3->SetTransparent(true);

    Label4 = new gui::Label(this);
    Label4->SetName("Label4");
    Label4->SetParent(suiForm1);
    Label4->SetBounds(73, 57, 57, 15);
    Label4->SetCaption("Sound Off:");
    Label4->SetFont(dialog_art::MakeFont("Arial", 12, gui::clBlue));
    Label4->SetTransparent(false);

    suiImagePanel1 = new sui::TsuiImagePanel(this);
    suiImagePanel1->SetName("suiImagePanel1");
    suiImagePanel1->SetParent(suiForm1);
    suiImagePanel1->SetBounds(0, 95, 277, 41);
    suiImagePanel1->SetAlign(gui::alBottom);
    suiImagePanel1->SetTransparent(true);
    suiImagePanel1->SetAutoSize(false);
    suiImagePanel1->SetDrawStyle(sui::suiNormal);

    suiButton3 = new sui::TsuiButton(this);
    suiButton3->SetName("suiButton3");
    suiButton3->SetParent(suiImagePanel1);
    suiButton3->SetBounds(177, 4, 80, 27);
    suiButton3->SetCaption("Quit");
    suiButton3->SetUIStyle(TsuiUIStyle::Protein);
    suiButton3->SetFont(dialog_art::MakeFont("Arial", 12, gui::clBlue));
    suiButton3->SetModalResult(gui::mrCancel);
    suiButton3->SetLayout(sui::blGlyphLeft);
    suiButton3->SetSpacing(4);
    suiButton3->SetTransparent(false);
    suiButton3->SetAutoSize(false);
    suiButton3->SetTabOrder(0);

    suiImagePanel2 = new sui::TsuiImagePanel(this);
    suiImagePanel2->SetName("suiImagePanel2");
    suiImagePanel2->SetParent(suiForm1);
    suiImagePanel2->SetBounds(0, 23, 51, 72);
    suiImagePanel2->SetAlign(gui::alLeft);
    dialog_art::LoadFigure(suiImagePanel2->Picture());
    suiImagePanel2->SetTransparent(true);
    suiImagePanel2->SetAutoSize(false);
    suiImagePanel2->SetDrawStyle(sui::suiNormal);

    SpinEdit1 = new gui::SpinEdit(this);
    SpinEdit1->SetName("SpinEdit1");
    SpinEdit1->SetParent(suiForm1);
    SpinEdit1->SetBounds(148, 28, 49, 24);
    SpinEdit1->SetMinValue(1);
    SpinEdit1->SetMaxValue(100);
    SpinEdit1->SetIncrement(1);
    SpinEdit1->SetValue(15);
    SpinEdit1->SetTabOrder(3);

    soundoff = new sui::TsuiImagePanel(this);
    soundoff->SetName("soundoff");
    soundoff->SetParent(suiForm1);
    soundoff->SetBounds(149, 54, 21, 21);
    dialog_art::LoadBitmap(soundoff->Picture(), sui::res::DialogSoundOff);
    soundoff->SetTransparent(true);
    soundoff->SetAutoSize(true);
    soundoff->SetDrawStyle(sui::suiNormal);
    soundoff->OnClick = [this](gui::Component* s) { sound(s); };

    soundoffcheck = new sui::TsuiCheckBox(this);
    soundoffcheck->SetName("soundoffcheck");
    soundoffcheck->SetParent(suiForm1);
    soundoffcheck->SetAutoSize(false);
    soundoffcheck->SetBounds(178, 56, 21, 18);
    soundoffcheck->SetUIStyle(TsuiUIStyle::MacOS);
    soundoffcheck->SetCaption(" ");
    soundoffcheck->SetChecked(false);
    soundoffcheck->SetTransparent(true);
    soundoffcheck->SetTabStop(true);
    soundoffcheck->SetTabOrder(5);
    EndLoading();
}

// --- handlers -------------------------------------------------------------------

void Tfrm_config::FormShow(gui::Component*) { gui::App().HideApplicationWindow(); }

void Tfrm_config::FormActivate(gui::Component*) {
    // Reported here rather than left to the caller: activation also comes
    // straight from the modal show, where an escaping error would end the
    // show instead of leaving the dialog open.
    try {
        loadSettings();
    } catch (...) {
        gui::App().HandleException();
    }
}

void Tfrm_config::loadSettings() {
    std::int32_t seconds = access_.readTimeoutSeconds();
    SpinEdit1->SetValue(MinutesFromSeconds(seconds));
    soundoffcheck->SetChecked(access_.readSoundOff());
}

void Tfrm_config::sound(gui::Component*) { soundoffcheck->SetChecked(!soundoffcheck->Checked()); }

void Tfrm_config::FormClose(gui::Component*, gui::TCloseAction&) {
    access_.writeSettings(SpinEdit1->Value(), soundoffcheck->Checked());
}

std::int32_t Tfrm_config::MinutesFromSeconds(std::int32_t seconds) {
    return static_cast<std::int32_t>(gui::Round(static_cast<double>(seconds) / 60.0));
}
