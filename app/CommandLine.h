// The program's command line: which of the three modes to run, and for the
// preview the native handle of the window to sit in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ScreenSaverMode { Screen = 0, Config = 1, Preview = 2 };

struct CommandLineChoice {
    ScreenSaverMode mode = ScreenSaverMode::Screen;
    std::int32_t previewParent = 0; // 0 unless a preview handle was read
};

// Reads the arguments (the program's name not among them). No argument at
// all means Config; after at most one leading non-letter is dropped, the
// first letter of the first argument picks S(creen), C(onfig) or P(review);
// P also needs a second argument that is an integer. Anything else: Screen.
CommandLineChoice ParseCommandLine(const std::vector<std::string>& args);
