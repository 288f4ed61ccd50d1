#include "gui/MessageDialog.h"

#include <windows.h>

#include "gui/Application.h"
#include "gui/Text.h"

namespace gui {

std::function<void(const std::string& text, MessageKind kind)> MessageDialogCapture;

void ShowMessageDialog(const std::string& text, MessageKind kind) {
    if (MessageDialogCapture) {
        MessageDialogCapture(text, kind);
        return;
    }
    const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(App().Title()).c_str(), MB_OK | icon);
}

} // namespace gui
