// The program's entry: reads the command line once, picks the mode, opens
// the one window of that mode and ends with exit status 0.
#include "app/CommandLine.h"
#include "app/tarvixscreen.h"
#include "app/ut_config.h"
#include "app/ut_preview.h"

#include "gui/Application.h"
#include "gui/Text.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
// The mode chosen from the command line and, for the preview, the native
// handle of the window the preview sits in.
ScreenSaverMode Mode = ScreenSaverMode::Screen;
std::int32_t PreviewParentHandle = 0;

std::vector<std::string> arguments() {
    std::vector<std::string> args = gui::SplitCommandLine(GetCommandLineW());
    if (!args.empty()) args.erase(args.begin()); // the program itself
    return args;
}

void runScreen() {
    // Owned by the application, not its main window: the modal show is the whole run.
    auto* player = new Tfrm_screen(&gui::App());
    player->ShowModal();
}

void runConfig() {
    auto* config = new Tfrm_config(nullptr);
    config->ShowModal();
    delete config;
}

void runPreview() {
    // The preview is the application's main window: closing it ends the loop.
    auto* window = new Tfrm_preview(&gui::App());
    gui::App().SetMainForm(window);
    HWND parent = reinterpret_cast<HWND>(static_cast<std::intptr_t>(PreviewParentHandle));
    window->SetParentWindow(parent);
    window->SetVisible(true);
    window->SetLeft(0);
    window->SetTop(0);
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        gui::App(); // COM for the one GUI thread, before any window
        CommandLineChoice choice = ParseCommandLine(arguments());
        Mode = choice.mode;
        PreviewParentHandle = choice.previewParent;
        gui::App().SetTitle("Nimbre Screen");
        switch (Mode) {
        case ScreenSaverMode::Screen: runScreen(); break;
        case ScreenSaverMode::Config: runConfig(); break;
        case ScreenSaverMode::Preview: runPreview(); break;
        }
        gui::App().Run();
    } catch (...) {
        gui::App().HandleException();
    }
    return 0;
}
