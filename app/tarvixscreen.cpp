#include "app/tarvixscreen.h"

#include "app/ut_writereg.h"

#include "gui/Application.h"
#include "gui/Text.h"

#include <cstdlib>
#include <utility>

namespace {
WaveOut& devicesOf(const Tfrm_screen::Surroundings& s, std::unique_ptr<SystemWaveOut>& system) {
    if (s.devices) return *s.devices;
    system = std::make_unique<SystemWaveOut>();
    return *system;
}
} // namespace

// --- construction -------------------------------------------------------------

Tfrm_screen::Tfrm_screen(gui::Component* owner) : Tfrm_screen(owner, Surroundings{}) {}

Tfrm_screen::Tfrm_screen(gui::Component* owner, Surroundings surroundings)
    : gui::Form(owner), surroundings_(std::move(surroundings)),
      volume_(devicesOf(surroundings_, systemDevices_)) {
    layout();
}

Tfrm_screen::~Tfrm_screen() {
    // The filter points at this window: it must not outlive it.
    if (gui::App().OnMessage) gui::App().OnMessage = nullptr;
}

// The window as its layout stores it.
void Tfrm_screen::layout() {
    BeginLoading();
    SetName("frm_screen");
    // Never drawn (no title bar), but names the window to the system.
    SetCaption("Nimbre Screen");
    SetBorderStyle(gui::bsNone);
    SetColor(gui::clBlack);
    SetFormStyle(gui::fsNormal);
    SetKeyPreview(true);
    SetClientSize(536, 348);
    SetWindowState(gui::wsMaximized);

    Panel1 = new gui::Panel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetAlign(gui::alClient);
    Panel1->SetBevelOuter(gui::bvNone);
    Panel1->SetColor(gui::clBlack);
    Panel1->SetTabOrder(0);

    TShockwaveFlash::DesignState state;
    state.WMode = "Window";
    state.Quality2 = "High";
    state.Scale = "ShowAll";
    flash = new TShockwaveFlash(this, state);
    flash->SetName("flash");
    flash->SetParent(Panel1);
    flash->SetAlign(gui::alClient);
    flash->SetTabOrder(0);

    Timer1 = new gui::Timer(this);
    Timer1->SetName("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(WatchdogInterval);
    Timer1->OnTimer = [this](gui::Component* s) { Timer1Timer(s); };

    watchdog_ = std::make_unique<FrameWatchdog>(*flash, [this](bool on) { Timer1->SetEnabled(on); });

    OnCreate = [this](gui::Component* s) { FormCreate(s); };
    OnShow = [this](gui::Component* s) { FormShow(s); };
    OnActivate = [this](gui::Component* s) { FormActivate(s); };
    OnPaint = [this](gui::Component* s) { FormPaint(s); };
    OnResize = [this](gui::Component* s) { FormResize(s); };
    OnKeyDown = [this](gui::Component* s, std::uint16_t& key, gui::TShiftState shift) { shutdown(s, key, shift); };
    OnClose = [this](gui::Component* s, gui::TCloseAction& action) { FormClose(s, action); };
    EndLoading();
}

// --- handlers -------------------------------------------------------------------

void Tfrm_screen::FormCreate(gui::Component*) {
    gui::App().OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
}

void Tfrm_screen::FormShow(gui::Component*) { gui::App().HideApplicationWindow(); }

void Tfrm_screen::FormActivate(gui::Component*) {
    // The modal show activates the window once; a later activation (after an
    // error report, say) does not start everything again.
    if (activated_) return;
    activated_ = true;
    watchdog_->SetLastFrame(-1);
    SaveVolume();
    if (surroundings_.hideCursor) ShowCursor(FALSE);
    flash->SetBackgroundColor(-1);
    flash->SetBGColor("-1");
    std::string path = MoviePath();
    if (!gui::FileExists(path)) {
        requestClose();
        return;
    }
    ApplySoundSetting();
    flash->SetMovie(path);
    flash->Play();
    flash->SetLoop(true);
    Timer1->SetEnabled(true);
    startCursorPos_ = cursorPos();
}

void Tfrm_screen::FormPaint(gui::Component*) {
    // A resize also comes while the window is made, before it is visible:
    // focus cannot go anywhere then, and asking would be an error.
    if (Panel1->CanFocus()) Panel1->SetFocus();
    if (flash->CanFocus()) flash->SetFocus();
}

void Tfrm_screen::FormResize(gui::Component* sender) { FormPaint(sender); }

void Tfrm_screen::shutdown(gui::Component*, std::uint16_t&, gui::TShiftState) { requestClose(); }

void Tfrm_screen::Timer1Timer(gui::Component*) { watchdog_->Tick(); }

void Tfrm_screen::FormClose(gui::Component*, gui::TCloseAction&) {
    // However many close requests arrive, the sequence runs once.
    if (closed_) return;
    closed_ = true;
    Timer1->SetEnabled(false);
    volume_.Restore();
}

// --- the message filter and the volume guard --------------------------------------

void Tfrm_screen::AppMessage(MSG& msg, bool&) {
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        requestClose();
        break;
    case WM_MOUSEMOVE: {
        POINT now = cursorPos();
        if (std::abs(now.y - startCursorPos_.y) > CloseDistance || std::abs(now.x - startCursorPos_.x) > CloseDistance)
            requestClose();
        break;
    }
    default:
        break;
    }
}

void Tfrm_screen::SaveVolume() { volume_.SaveVolume(); }

void Tfrm_screen::ApplySoundSetting() {
    bool soundOff = surroundings_.readSoundOff ? surroundings_.readSoundOff() : ReadSoundOff();
    volume_.ApplySoundSetting(soundOff);
}

// --- helpers ----------------------------------------------------------------------

std::string Tfrm_screen::MoviePath() const {
    std::string folder = surroundings_.movieFolder.empty() ? gui::ProgramFolder() : surroundings_.movieFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + "nimbre.s";
}

void Tfrm_screen::requestClose() {
    if (!closed_) Close();
}

POINT Tfrm_screen::cursorPos() const {
    if (surroundings_.cursorPos) return surroundings_.cursorPos();
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}
