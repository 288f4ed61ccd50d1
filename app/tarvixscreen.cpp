#include "app/tarvixscreen.h"

#include "app/ut_writereg.h"

#include "gui/Application.h"
#include "gui/Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {
// The console display state: 0 off, 1 on, 2 dimmed.
constexpr GUID ConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// Monitor power as older systems report it: 0 off, 1 on.
constexpr GUID MonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

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

Tfrm_screen::~Tfrm_screen() { flash->OnFrame = nullptr; }

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
    // The movie's sound plays at the volume the guard gives the first device.
    if (systemDevices_)
        systemDevices_->OnSetVolume = [this](unsigned device, std::uint32_t volume) {
            if (device == 0) flash->SetSoundVolume(volume);
        };
    flash->OnFrame = [this](bool force) {
        for (Tfrm_cover* cover : covers_)
            cover->mirror->Present(force);
    };

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
    OnKeyDown = [this](gui::Component* s, std::uint16_t& key, gui::TShiftState shift) {
        shutdown(s, key, shift);
    };
    OnClose = [this](gui::Component* s, gui::TCloseAction& action) { FormClose(s, action); };
    EndLoading();
}

// --- handlers -------------------------------------------------------------------

void Tfrm_screen::FormCreate(gui::Component*) {
    appMessageFilter_ = gui::App().AddMessageFilter([this](MSG& msg, bool& handled) { AppMessage(msg, handled); });
}

void Tfrm_screen::FormShow(gui::Component*) {
    gui::App().HideApplicationWindow();
}

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
        requestClose("no movie at " + path);
        return;
    }
    coverOtherMonitors();
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

void Tfrm_screen::FormResize(gui::Component* sender) {
    FormPaint(sender);
}

void Tfrm_screen::shutdown(gui::Component*, std::uint16_t& key, gui::TShiftState) {
    requestClose("key " + std::to_string(key));
}

void Tfrm_screen::Timer1Timer(gui::Component*) {
    watchdog_->Tick();
}

void Tfrm_screen::FormClose(gui::Component*, gui::TCloseAction&) {
    // However many close requests arrive, the sequence runs once.
    if (closed_) return;
    closed_ = true;
    Timer1->SetEnabled(false);
    for (Tfrm_cover* cover : covers_)
        cover->SetVisible(false);
    // The music ends before the volumes go back up: a muted run stays silent to the end.
    flash->Stop();
    volume_.Restore();
}

// --- every monitor ------------------------------------------------------------------

// The window is maximised on one monitor; each other one gets a cover showing
// the same movie fitted to it.
void Tfrm_screen::coverOtherMonitors() {
    std::vector<RECT> monitors = surroundings_.monitors ? surroundings_.monitors() : DisplayMonitors();
    RECT mine{};
    GetWindowRect(Handle(), &mine);
    POINT centre{(mine.left + mine.right) / 2, (mine.top + mine.bottom) / 2};
    auto own =
        std::find_if(monitors.begin(), monitors.end(), [&](const RECT& r) { return PtInRect(&r, centre); });
    if (own == monitors.end()) own = monitors.begin();
    for (auto it = monitors.begin(); it != monitors.end(); ++it) {
        if (it == own) continue;
        auto* cover = new Tfrm_cover(this, *flash, *it);
        cover->OnKeyDown = [this](gui::Component* s, std::uint16_t& key, gui::TShiftState shift) {
            shutdown(s, key, shift);
        };
        covers_.push_back(cover);
        cover->SetVisible(true);
    }
    // The keyboard stays with the player window.
    if (!covers_.empty() && GetActiveWindow() != Handle()) SetActiveWindow(Handle());
}

// --- the display asleep ---------------------------------------------------------------

void Tfrm_screen::CreateHandle() {
    gui::Form::CreateHandle();
    displayNotification_ =
        RegisterPowerSettingNotification(Handle(), &ConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void Tfrm_screen::DestroyWnd() {
    if (displayNotification_) UnregisterPowerSettingNotification(displayNotification_);
    displayNotification_ = nullptr;
    gui::Form::DestroyWnd();
}

void Tfrm_screen::WndProc(gui::Message& msg) {
    switch (msg.Msg) {
    case WM_POWERBROADCAST:
        WMPowerBroadcast(msg);
        break;
    case WM_SYSCOMMAND:
        WMSysCommand(msg);
        break;
    default:
        break;
    }
    gui::Form::WndProc(msg);
}

void Tfrm_screen::WMPowerBroadcast(gui::Message& msg) {
    if (msg.WParam != PBT_POWERSETTINGCHANGE || msg.LParam == 0) return;
    const auto& setting = *reinterpret_cast<const POWERBROADCAST_SETTING*>(msg.LParam);
    bool display = setting.PowerSetting == ConsoleDisplayState || setting.PowerSetting == MonitorPowerOn;
    if (!display || setting.DataLength < sizeof(DWORD)) return;
    DWORD state = 0;
    std::memcpy(&state, setting.Data, sizeof state);
    flash->SetDisplayOn(state != 0); // dimmed is still on
}

void Tfrm_screen::WMSysCommand(gui::Message& msg) {
    // Off at 2, on at -1, low power (still showing) at 1.
    if ((msg.WParam & 0xFFF0) != SC_MONITORPOWER) return;
    flash->SetDisplayOn(msg.LParam != 2);
}

// --- the message filter and the volume guard --------------------------------------

void Tfrm_screen::AppMessage(MSG& msg, bool&) {
    switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        requestClose(msg.message == WM_LBUTTONDOWN ? "left button" : "right button");
        break;
    case WM_MOUSEMOVE: {
        // Before the activation there is no start position to measure from:
        // (0, 0) would make any position beyond 30 pixels of the corner close
        // the window before it has shown a frame.
        if (!activated_) break;
        POINT now = cursorPos();
        if (std::abs(now.y - startCursorPos_.y) > CloseDistance ||
            std::abs(now.x - startCursorPos_.x) > CloseDistance)
            requestClose("cursor moved from " + std::to_string(startCursorPos_.x) + "," +
                         std::to_string(startCursorPos_.y) + " to " + std::to_string(now.x) + "," +
                         std::to_string(now.y));
        break;
    }
    default:
        break;
    }
}

void Tfrm_screen::SaveVolume() {
    volume_.SaveVolume();
}

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

void Tfrm_screen::requestClose(const std::string& why) {
    if (closed_) return;
    // Why a run ended, for a debugger or Wine's debug channel.
    OutputDebugStringA(("Nimbre Screen closes: " + why + "\n").c_str());
    Close();
}

POINT Tfrm_screen::cursorPos() const {
    if (surroundings_.cursorPos) return surroundings_.cursorPos();
    POINT p{0, 0};
    GetCursorPos(&p);
    return p;
}
