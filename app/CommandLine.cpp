#include "app/CommandLine.h"

#include "gui/Exception.h"
#include "gui/Text.h"

namespace {
bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The length of the UTF-8 character that starts the text (a stray byte counts as one).
std::size_t firstCharacterLength(const std::string& text) {
    auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t n = 1;
    while (n < length && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
    return n;
}

bool readPreviewHandle(const std::vector<std::string>& args, CommandLineChoice& choice) {
    if (args.size() < 2) return false;
    try {
        choice.previewParent = gui::StrToInt(args[1]);
        return true;
    } catch (const gui::EConvertError&) {
        return false;
    }
}
} // namespace

CommandLineChoice ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineChoice choice;
    if (args.empty()) {
        choice.mode = ScreenSaverMode::Config;
        return choice;
    }
    std::string first = upperAscii(args[0]);
    if (!first.empty() && !isUpperLetter(first[0])) first.erase(0, firstCharacterLength(first));
    // A lone non-letter leaves nothing to look at: the player runs.
    if (first.empty()) return choice;
    switch (first[0]) {
    case 'C':
        choice.mode = ScreenSaverMode::Config;
        break;
    case 'P':
        if (readPreviewHandle(args, choice)) choice.mode = ScreenSaverMode::Preview;
        break;
    default:
        break;
    }
    return choice;
}
