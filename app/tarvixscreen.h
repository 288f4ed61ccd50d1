// The player window: a borderless black window over the whole screen that
// plays "nimbre.s" from the program's folder, keeps a halted movie moving,
// levels (or mutes) the wave-out devices while it plays and closes on any
// key, a left or right button press, or a mouse movement of more than 30
// pixels from where the cursor was when playing began.
#pragma once

#include "app/FrameWatchdog.h"
#include "app/ScreenCover.h"
#include "app/ShockwaveFlash.h"
#include "app/VolumeGuard.h"
#include "app/WaveOut.h"

#include "gui/Form.h"
#include "gui/Panel.h"
#include "gui/Timer.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Tfrm_screen : public gui::Form {
  public:
    // What the window takes from the machine; tests put their own in.
    struct Surroundings {
        WaveOut* devices = nullptr;                  // the real wave-out devices when null
        std::string movieFolder;                     // the program's folder when empty
        std::function<POINT()> cursorPos;            // GetCursorPos when unset
        std::function<bool()> readSoundOff;          // the settings store when unset
        std::function<std::vector<RECT>()> monitors; // DisplayMonitors when unset
        bool hideCursor = true;
    };

    static constexpr int CloseDistance = 30;
    static constexpr unsigned WatchdogInterval = 200;

    explicit Tfrm_screen(gui::Component* owner);
    Tfrm_screen(gui::Component* owner, Surroundings surroundings);
    ~Tfrm_screen() override;

    // --- components --------------------------------------------------------
    gui::Panel* Panel1 = nullptr;
    TShockwaveFlash* flash = nullptr;
    gui::Timer* Timer1 = nullptr;

    // --- fields ------------------------------------------------------------
    // The last frame the watchdog has seen or pushed to; -1 = none yet.
    std::int32_t LastFrame() const { return watchdog_->LastFrame(); }
    // Cursor position when playing began; (0, 0) until then.
    POINT StartCursorPos() const { return startCursorPos_; }
    // The levelled device volume in whole percent.
    std::int32_t SavedVolumePercent() const { return volume_.SavedVolumePercent(); }
    // The close sequence has run.
    bool Closed() const { return closed_; }
    // The windows over the other monitors, made when playing begins.
    const std::vector<Tfrm_cover*>& Covers() const { return covers_; }
    // Off while the system has the display switched off: nothing is drawn
    // then, and the movie's clock runs on.
    bool DisplayOn() const { return flash->DisplayOn(); }

    // --- handlers ----------------------------------------------------------
    void FormCreate(gui::Component* sender);
    void FormShow(gui::Component* sender);
    void FormActivate(gui::Component* sender);
    void FormPaint(gui::Component* sender);
    void FormResize(gui::Component* sender);
    void shutdown(gui::Component* sender, std::uint16_t& key, gui::TShiftState shift);
    void Timer1Timer(gui::Component* sender);
    void FormClose(gui::Component* sender, gui::TCloseAction& action);

    // The application-wide message filter: left or right press, or the cursor
    // more than 30 pixels away on either axis, closes the window. It never
    // marks a message handled.
    void AppMessage(MSG& msg, bool& handled);
    void SaveVolume();
    void ApplySoundSetting();

    // The movie's full path: the program's folder followed by "nimbre.s".
    std::string MoviePath() const;

  protected:
    void CreateHandle() override;
    void DestroyWnd() override;
    void WndProc(gui::Message& msg) override;

  private:
    // The display's power as the system reports it.
    void WMPowerBroadcast(gui::Message& msg);
    void WMSysCommand(gui::Message& msg);
    void coverOtherMonitors();
    void layout();
    void requestClose(const std::string& why);
    POINT cursorPos() const;

    Surroundings surroundings_;
    std::unique_ptr<SystemWaveOut> systemDevices_;
    VolumeGuard volume_;
    std::unique_ptr<FrameWatchdog> watchdog_;
    // The application-wide filter this window installed; it goes with the window.
    gui::HookToken appMessageFilter_;
    POINT startCursorPos_{0, 0};
    std::vector<Tfrm_cover*> covers_;
    HPOWERNOTIFY displayNotification_ = nullptr;
    bool activated_ = false;
    bool closed_ = false;
};
