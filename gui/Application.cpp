#include "gui/Application.h"

#include <ole2.h>

#include "gui/Form.h"
#include "gui/Text.h"

namespace gui {

namespace {

constexpr wchar_t kApplicationClass[] = L"NimbreApplication";

LRESULT CALLBACK ApplicationWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        // Closing the task-bar entry closes the main form, if there is one.
        if (Form* main = App().MainForm()) {
            try {
                main->Close();
            } catch (...) {
                App().HandleException();
            }
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

Application& Application::Instance() {
    // Lives until the process ends: forms may still be alive during static destruction.
    static Application* instance = new Application();
    return *instance;
}

Application::Application() : Component(nullptr) {
    oleInitialised_ = SUCCEEDED(OleInitialize(nullptr));
}

Application::~Application() {
    handle_.Reset();
    if (oleInitialised_) OleUninitialize();
}

void Application::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextW(handle_.Get(), Utf8ToWide(title_).c_str());
}

HWND Application::Handle() {
    if (!handle_) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ApplicationWndProc;
        wc.hInstance = ModuleHandle();
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kApplicationClass;
        RegisterClassExW(&wc); // fails harmlessly when already registered
        // A zero-sized window at the screen's centre: the program's task-bar entry.
        const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
        const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
        handle_.Reset(CreateWindowExW(0, kApplicationClass, Utf8ToWide(title_).c_str(),
                                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                      x, y, 0, 0, nullptr, nullptr, ModuleHandle(), nullptr));
        if (handle_) ShowWindow(handle_.Get(), SW_SHOWNA);
    }
    return handle_.Get();
}

void Application::HideApplicationWindow() {
    ShowWindow(Handle(), SW_HIDE);
}

bool Application::ApplicationWindowVisible() {
    return IsWindowVisible(Handle()) != FALSE;
}

void Application::Run() {
    terminated_ = false;
    if (mainForm_ == nullptr) return;
    mainForm_->SetVisible(true);
    while (!terminated_ && mainForm_ != nullptr)
        HandleMessage(true);
}

void Application::Terminate() {
    PostQuitMessage(0);
}

bool Application::HandleMessage(bool wait) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return false;
        }
        ProcessMessage(msg);
        return true;
    }
    if (wait) WaitMessage();
    return false;
}

void Application::ProcessMessages() {
    while (HandleMessage(false)) {
    }
}

bool Application::FilterMessage(MSG& msg) {
    if (filters_.Empty()) return false;
    bool handled = false;
    for (const auto& filter : filters_.Snapshot()) {
        try {
            (*filter)(msg, handled);
        } catch (...) {
            HandleException();
        }
        if (handled) break;
    }
    return handled;
}

void Application::ProcessMessage(MSG& msg) {
    if (!FilterMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::string Application::ReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

void Application::HandleException() {
    std::string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    ShowException(message);
}

void Application::ShowException(const std::string& message) {
    const std::string text = ReportText(message);
    if (ReportCapture) {
        ReportCapture(text);
        return;
    }
    MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(title_).c_str(), MB_OK | MB_ICONSTOP);
}

} // namespace gui
