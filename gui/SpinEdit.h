// A numeric field with up and down buttons.
#pragma once

#include <string>

#include "gui/WinControl.h"

namespace gui {

class SpinEdit : public WinControl {
  public:
    // 121 x 22, range 0..0 (no limit), value 0, step 1.
    explicit SpinEdit(Component* owner);

    int MinValue() const { return minValue_; }
    void SetMinValue(int v) { minValue_ = v; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v) { maxValue_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    // Read from the text: text that is not an integer reads as MinValue; no
    // range check is made on reading.
    int Value() const;
    // Pulled into MinValue..MaxValue (when MaxValue > MinValue), then shown.
    void SetValue(int v);
    // The text in the field (also Caption/Text).
    std::string EditText() const;
    void SetEditText(const std::string& text);
    // Steps the value by Increment (the buttons and the arrow keys do this).
    void StepUp();
    void StepDown();

    bool CanFocus() const override;
    bool Focused() const override;
    void SetFocus() override;
    bool WantsChars() const override { return true; }
    // The native edit window inside the control.
    HWND EditHandle();

    TNotifyEvent OnChange;

  protected:
    void CreateHandle() override;
    void WndProc(Message& msg) override;
    void DefaultHandler(Message& msg) override;
    void BoundsChanged(bool moved, bool resized) override;
    // Up and down arrows step the value.
    void KeyDown(std::uint16_t& key, TShiftState shift) override;

  private:
    int CheckValue(int v) const;
    void LayoutChildren();
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);

    HWND edit_ = nullptr;
    HWND buttons_ = nullptr;
    std::string text_ = "0";
    // Set while a key message of the edit window runs through this control's handling.
    bool forwarding_ = false;
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
};

} // namespace gui
