// A plain window of the framework standing in for the settings dialog and
// the preview window until they are built: it shows its caption and closes
// on any key.
#pragma once

#include "gui/Form.h"

#include <string>

class PlaceholderWindow : public gui::Form {
public:
    PlaceholderWindow(gui::Component* owner, const std::string& caption);
};
