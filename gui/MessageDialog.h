// Information and error boxes with an OK button.
#pragma once

#include <functional>
#include <string>

namespace gui {

enum class MessageKind { Information, Error };

// Shows the text in a box with the kind's icon and an OK button, captioned
// with the application title; waits for the user.
void ShowMessageDialog(const std::string& text, MessageKind kind);
inline void ShowInformation(const std::string& text) {
    ShowMessageDialog(text, MessageKind::Information);
}
inline void ShowError(const std::string& text) {
    ShowMessageDialog(text, MessageKind::Error);
}

// When assigned, message dialogs go here instead of the screen (tests).
extern std::function<void(const std::string& text, MessageKind kind)> MessageDialogCapture;

} // namespace gui
