// The settings dialog: the idle delay in whole minutes and the sound-off
// flag, on a skinned frame. It loads both settings when the modal show
// activates it and stores both every time it closes, whichever way.
#pragma once

#include "gui/Form.h"
#include "gui/Label.h"
#include "gui/SpinEdit.h"
#include "skin/SUIButton.h"
#include "skin/SUIForm.h"
#include "skin/SUIImagePanel.h"

#include <cstdint>
#include <functional>

class Tfrm_config : public gui::Form {
public:
    // Where the settings come from and go to; tests put their own in. Unset
    // members are the settings store's operations.
    struct SettingsAccess {
        std::function<std::int32_t()> readTimeoutSeconds;
        std::function<bool()> readSoundOff;
        std::function<void(std::int32_t minutes, bool soundOff)> writeSettings;
    };

    explicit Tfrm_config(gui::Component* owner);
    Tfrm_config(gui::Component* owner, SettingsAccess access);

    // --- components --------------------------------------------------------
    sui::TsuiForm* suiForm1 = nullptr;
    gui::Label* Label2 = nullptr;
    gui::Label* Label3 = nullptr;
    gui::Label* Label4 = nullptr;
    sui::TsuiImagePanel* suiImagePanel1 = nullptr;
    sui::TsuiButton* suiButton3 = nullptr;
    sui::TsuiImagePanel* suiImagePanel2 = nullptr;
    gui::SpinEdit* SpinEdit1 = nullptr;
    sui::TsuiImagePanel* soundoff = nullptr;
    sui::TsuiCheckBox* soundoffcheck = nullptr;

    // --- handlers ----------------------------------------------------------
    void FormShow(gui::Component* sender);
    // Minutes from the stored seconds (halves to even), pulled into 1..100 by
    // the field, and the flag into the check box. An error is reported and
    // the steps after it are skipped.
    void FormActivate(gui::Component* sender);
    // The speaker picture is a second handle for the check box.
    void sound(gui::Component* sender);
    // Stores what the controls show; an error cancels the close.
    void FormClose(gui::Component* sender, gui::TCloseAction& action);

    // Whole minutes from seconds, halves going to the even neighbour.
    static std::int32_t MinutesFromSeconds(std::int32_t seconds);

private:
    void layout();
    void loadSettings();

    SettingsAccess access_;
};
