#include "gui/Exception.h"

namespace gui {

Exception::Exception(const std::string& message) : std::runtime_error(message) {}

std::string FormatMessageText(const std::string& pattern, const std::string& arg) {
    std::string text = pattern;
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, arg);
    return text;
}

} // namespace gui
