#include "app/PlaceholderWindow.h"

PlaceholderWindow::PlaceholderWindow(gui::Component* owner, const std::string& caption) : gui::Form(owner) {
    BeginLoading();
    SetCaption(caption);
    SetBorderStyle(gui::bsSingle);
    SetPosition(gui::poScreenCenter);
    SetClientSize(320, 200);
    SetKeyPreview(true);
    OnKeyDown = [this](gui::Component*, std::uint16_t&, gui::TShiftState) { Close(); };
    EndLoading();
}
