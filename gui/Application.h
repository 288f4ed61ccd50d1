// The process-wide application object: title, hidden application window,
// COM, main form, event loop, message filters and the error report.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Handle.h"
#include "gui/HookList.h"

namespace gui {

class Form;

// An application-wide filter: sees every message the loop takes from the
// queue before it is dispatched; setting handled to true stops its dispatch
// (and the filters after it).
using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;

class Application : public Component {
  public:
    // The one application object, created on first use: initialises COM
    // (single-threaded apartment, OLE) before any window exists.
    static Application& Instance();

    const std::string& Title() const { return title_; }
    // Also the caption of the hidden application window and of error boxes.
    void SetTitle(const std::string& title);

    // The hidden top-level application window (created on first use).
    HWND Handle();
    // Hides the application window (the task-bar entry).
    void HideApplicationWindow();
    bool ApplicationWindowVisible();
    HINSTANCE ModuleHandle() const { return GetModuleHandleW(nullptr); }

    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* form) { mainForm_ = form; }
    // Creates a form of class T owned by the application; the first one made
    // this way becomes the main form.
    template <class T> T* CreateForm() {
        T* form = new T(this);
        if (mainForm_ == nullptr) mainForm_ = form;
        return form;
    }

    // Runs the event loop until the main form closes or WM_QUIT arrives;
    // returns at once when there is no main form.
    void Run();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Takes one message from the queue (waiting when wait is set) and
    // handles it. False when the queue was empty or WM_QUIT was taken.
    bool HandleMessage(bool wait);
    // True once WM_QUIT has been taken from the queue.
    bool Terminated() const { return terminated_; }
    void Terminate();

    // Reports the exception in flight (call inside a catch block) or the
    // given one: a stop box captioned with the title, or the capture hook.
    void HandleException();
    void ShowException(const std::string& message);

    // Error reports go here instead of a message box when assigned (tests).
    std::function<void(const std::string& text)> ReportCapture;
    // The text an error report shows: the message, with a full stop added
    // when its last character's code is above that of the full stop.
    static std::string ReportText(const std::string& message);

    // Adds an application-wide filter after those already there. It stays until
    // the returned token goes, whoever else adds or removes one meanwhile.
    [[nodiscard]] HookToken AddMessageFilter(TMessageEvent filter) { return filters_.Add(std::move(filter)); }
    std::size_t MessageFilterCount() const { return filters_.Size(); }
    // Runs the filters in the order they were added until one marks the
    // message handled; true when one did. An error in a filter is reported
    // and the next filter runs.
    bool FilterMessage(MSG& msg);

    // How many modal shows are running now (nested ones count each).
    int ModalLevel() const { return modalLevel_; }

  private:
    friend class Form;
    Application();
    ~Application() override;
    void ProcessMessage(MSG& msg);

    std::string title_;
    WindowHandle handle_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    int modalLevel_ = 0;
    bool oleInitialised_ = false;
    HookList<TMessageEvent> filters_;
};

// Shorthand for Application::Instance().
inline Application& App() {
    return Application::Instance();
}

} // namespace gui
