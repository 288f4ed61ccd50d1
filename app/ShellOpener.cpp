#include "app/ShellOpener.h"

#include "gui/Text.h"

#include <windows.h>
#include <shellapi.h>

void SystemShellOpener::Open(const std::string& address) {
    std::wstring file = gui::Utf8ToWide(address);
    ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}
