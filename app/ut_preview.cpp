#include "app/ut_preview.h"

#include "app/DialogArt.h"

#include "gui/Application.h"
#include "skin/SUIResDef.h"

#include <utility>

using sui::TsuiUIStyle;

// --- construction -------------------------------------------------------------

Tfrm_preview::Tfrm_preview(gui::Component* owner) : Tfrm_preview(owner, Surroundings{}) {}

Tfrm_preview::Tfrm_preview(gui::Component* owner, Surroundings surroundings)
    : gui::Form(owner), surroundings_(std::move(surroundings)) {
    if (!surroundings_.shell) {
        systemShell_ = std::make_unique<SystemShellOpener>();
        surroundings_.shell = systemShell_.get();
    }
    layout();
}

// The window as its layout stores it.
void Tfrm_preview::layout() {
    BeginLoading();
    SetName("frm_preview");
    SetBorderStyle(gui::bsNone);
    SetCaption("Nimbre Screen Saver");
    SetClientSize(160, 114);
    SetColor(gui::clBlack);
    SetFont(dialog_art::MakeFont("Arial", 12, gui::clWindowText));
    SetFormStyle(gui::fsStayOnTop);
    OnShow = [this](gui::Component* s) { FormShow(s); };

    suiForm1 = new sui::TsuiForm(this);
    suiForm1->SetName("suiForm1");
    suiForm1->SetBounds(1, 0, 158, 113);
    suiForm1->SetWidth(158);
    suiForm1->SetHeight(113);
    suiForm1->SetUIStyle(TsuiUIStyle::Protein);
    suiForm1->SetBorderColor(gui::clBlack);
    suiForm1->SetBorderWidth(1);
    suiForm1->SetColor(dialog_art::FrameColor);
    suiForm1->SetCaption("Nimbre Screen Saver");
    suiForm1->TitleBarButtons().Clear();
    dialog_art::AddControlBoxButton(*suiForm1);
    dialog_art::SetTitleBarSections(*suiForm1);
    suiForm1->SetTitleBarDrawAppIcon(false);
    suiForm1->SetFont(dialog_art::MakeFont("MS Sans Serif", 11, gui::clWhite));
    suiForm1->SetMenuBarColor(dialog_art::FrameColor);
    suiForm1->SetMenuBarHeight(22);

    suiImagePanel1 = new sui::TsuiImagePanel(this);
    suiImagePanel1->SetName("suiImagePanel1");
    suiImagePanel1->SetParent(suiForm1);
    suiImagePanel1->SetBounds(0, 88, 158, 25);
    suiImagePanel1->SetAlign(gui::alBottom);
    suiImagePanel1->SetCursor(gui::crHandPoint);
    suiImagePanel1->SetCaption(dialog_art::ProductText);
    suiImagePanel1->SetTransparent(true);
    suiImagePanel1->SetAutoSize(false);
    suiImagePanel1->SetDrawStyle(sui::suiNormal);
    suiImagePanel1->OnClick = [this](gui::Component* s) { suiImagePanel1Click(s); };

    suiImagePanel2 = new sui::TsuiImagePanel(this);
    suiImagePanel2->SetName("suiImagePanel2");
    suiImagePanel2->SetParent(suiForm1);
    suiImagePanel2->SetBounds(0, 23, 56, 43);
    suiImagePanel2->SetAlign(gui::alLeft);
    dialog_art::LoadFigure(suiImagePanel2->Picture());
    suiImagePanel2->SetTransparent(true);
    suiImagePanel2->SetAutoSize(false);
    suiImagePanel2->SetDrawStyle(sui::suiNormal);

    suiImagePanel3 = new sui::TsuiImagePanel(this);
    suiImagePanel3->SetName("suiImagePanel3");
    suiImagePanel3->SetParent(suiForm1);
    suiImagePanel3->SetBounds(56, 23, 102, 43);
    suiImagePanel3->SetAlign(gui::alClient);
    suiImagePanel3->SetTransparent(true);
    suiImagePanel3->SetFont(dialog_art::MakeFont("Arial", 12, gui::clBlue));
    suiImagePanel3->SetDrawStyle(sui::suiNormal);

    suiButton1 = new sui::TsuiButton(this);
    suiButton1->SetName("suiButton1");
    suiButton1->SetParent(suiImagePanel3);
    suiButton1->SetBounds(0, 11, 89, 23);
    suiButton1->SetCaption("Config....");
    suiButton1->SetCursor(gui::crHandPoint);
    suiButton1->SetUIStyle(TsuiUIStyle::Protein);
    suiButton1->SetModalResult(gui::mrNone);
    suiButton1->SetLayout(sui::blGlyphLeft);
    suiButton1->SetSpacing(4);
    suiButton1->SetTransparent(false);
    suiButton1->SetAutoSize(false);
    suiButton1->SetTabOrder(0);
    suiButton1->OnClick = [this](gui::Component* s) { suiButton1Click(s); };

    suiImagePanel4 = new sui::TsuiImagePanel(this);
    suiImagePanel4->SetName("suiImagePanel4");
    suiImagePanel4->SetParent(suiForm1);
    suiImagePanel4->SetBounds(0, 66, 158, 22);
    suiImagePanel4->SetAlign(gui::alBottom);
    suiImagePanel4->SetTransparent(true);
    suiImagePanel4->SetDrawStyle(sui::suiNormal);

    suiImagePanel5 = new sui::TsuiImagePanel(this);
    suiImagePanel5->SetName("suiImagePanel5");
    suiImagePanel5->SetParent(suiImagePanel4);
    suiImagePanel5->SetBounds(1, 1, 9, 20);
    suiImagePanel5->SetAlign(gui::alLeft);
    suiImagePanel5->SetTransparent(true);

    suiImagePanel6 = new sui::TsuiImagePanel(this);
    suiImagePanel6->SetName("suiImagePanel6");
    suiImagePanel6->SetParent(suiImagePanel4);
    suiImagePanel6->SetBounds(10, 1, 147, 20);
    suiImagePanel6->SetAlign(gui::alClient);
    dialog_art::LoadBitmap(suiImagePanel6->Picture(), sui::res::DialogBanner);
    suiImagePanel6->SetTransparent(true);
    suiImagePanel6->SetDrawStyle(sui::suiNormal);
    EndLoading();
}

// --- handlers -------------------------------------------------------------------

void Tfrm_preview::FormShow(gui::Component*) { gui::App().HideApplicationWindow(); }

void Tfrm_preview::suiButton1Click(gui::Component*) {
    // Each press makes a further dialog; they all stay owned by this window.
    auto* dialog = new Tfrm_config(this, surroundings_.settings);
    lastDialog_ = dialog;
    ++dialogCount_;
    dialog->ShowModal();
}

void Tfrm_preview::suiImagePanel1Click(gui::Component*) { surroundings_.shell->Open(dialog_art::ProductAddress); }

// --- messages ---------------------------------------------------------------------

void Tfrm_preview::WndProc(gui::Message& msg) {
    switch (msg.Msg) {
    case WM_QUIT:
        Close();
        msg.Result = 0;
        return;
    case WM_DESTROY: {
        // The window it sits in is going away (the settings page closed):
        // nothing is left to show, so the window closes and the program ends.
        // Our own destruction and the framework re-making the window for a
        // new parent do not count.
        HWND host = ParentWindow();
        bool hostGoes = host != nullptr && !IsDestroying() && HandleAllocated() && GetParent(Handle()) == host;
        gui::Form::WndProc(msg);
        if (hostGoes) Close();
        return;
    }
    default:
        gui::Form::WndProc(msg);
        return;
    }
}
