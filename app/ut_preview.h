// The preview window: a small skinned panel that sits inside a window of
// another program (the display settings page), with the cartoon figure, a
// "Config...." button that opens the settings dialog and a link line that
// opens the product page. It is the program's main window in preview mode.
#pragma once

#include "app/ShellOpener.h"
#include "app/ut_config.h"

#include "gui/Form.h"
#include "skin/SUIButton.h"
#include "skin/SUIForm.h"
#include "skin/SUIImagePanel.h"

#include <memory>

class Tfrm_preview : public gui::Form {
public:
    // What the window takes from the machine; tests put their own in.
    struct Surroundings {
        ShellOpener* shell = nullptr;            // the system's shell when null
        Tfrm_config::SettingsAccess settings;    // handed to every settings dialog
    };

    explicit Tfrm_preview(gui::Component* owner);
    Tfrm_preview(gui::Component* owner, Surroundings surroundings);

    // --- components --------------------------------------------------------
    sui::TsuiForm* suiForm1 = nullptr;
    sui::TsuiImagePanel* suiImagePanel1 = nullptr;
    sui::TsuiImagePanel* suiImagePanel2 = nullptr;
    sui::TsuiImagePanel* suiImagePanel3 = nullptr;
    sui::TsuiButton* suiButton1 = nullptr;
    sui::TsuiImagePanel* suiImagePanel4 = nullptr;
    sui::TsuiImagePanel* suiImagePanel5 = nullptr;
    sui::TsuiImagePanel* suiImagePanel6 = nullptr;

    // --- handlers ----------------------------------------------------------
    void FormShow(gui::Component* sender);
    // A new settings dialog owned by this window, shown modally.
    void suiButton1Click(gui::Component* sender);
    // The product page in the default browser.
    void suiImagePanel1Click(gui::Component* sender);

    // The settings dialogs opened so far, newest last.
    int DialogCount() const { return dialogCount_; }
    Tfrm_config* LastDialog() const { return lastDialog_; }

protected:
    // WM_QUIT sent to the window closes it; so does the end of the window it
    // was placed into.
    void WndProc(gui::Message& msg) override;

private:
    void layout();

    Surroundings surroundings_;
    std::unique_ptr<SystemShellOpener> systemShell_;
    int dialogCount_ = 0;
    Tfrm_config* lastDialog_ = nullptr;
};
