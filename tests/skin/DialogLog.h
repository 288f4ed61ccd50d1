// Collects the framework's message boxes (the design-rule reports) instead of
// showing them, for as long as the object lives.
#pragma once

#include "gui/MessageDialog.h"

#include <string>
#include <vector>

struct DialogLog {
  DialogLog() {
    gui::MessageDialogCapture = [this](const std::string& text, gui::MessageKind kind) {
      texts.push_back(text);
      kinds.push_back(kind);
    };
  }
  ~DialogLog() { gui::MessageDialogCapture = nullptr; }
  DialogLog(const DialogLog&) = delete;
  DialogLog& operator=(const DialogLog&) = delete;
  std::vector<std::string> texts;
  std::vector<gui::MessageKind> kinds;
};
