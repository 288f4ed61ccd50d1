// A one-line text field over the platform's edit control.
#pragma once

#include "gui/NativeControl.h"

namespace gui {

class Edit : public NativeControl {
  public:
    // 121 x 21, empty, sunken border.
    explicit Edit(Component* owner);

    // Text() and Caption() follow what the user types.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // The most characters the field takes; 0: no limit of its own.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    void SelectAll();
    bool WantsChars() const override { return true; }

    // Raised after the text changed, by typing or by SetText.
    TNotifyEvent OnChange;

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    // The text changed: raises OnChange.
    virtual void Change();

  private:
    bool readOnly_ = false;
    int maxLength_ = 0;
};

} // namespace gui
