// The gallery window: one skinned form holding every control of the skin toolkit in the looks
// it can take, with a menu that switches the style of the whole form.
#pragma once

#include <array>
#include <string>

#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/MainMenu.h"
#include "skin/SUIForm.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIMainMenu.h"

namespace gallery {

// The five built-in styles in menu order.
constexpr std::array<sui::TsuiUIStyle, 5> kStyles = {sui::TsuiUIStyle::MacOS, sui::TsuiUIStyle::WinXP,
                                                     sui::TsuiUIStyle::DeepBlue, sui::TsuiUIStyle::Protein,
                                                     sui::TsuiUIStyle::BlueGlass};

// "MacOS", "WinXP", ... as the styles are named.
std::string StyleName(sui::TsuiUIStyle style);

class Tfrm_gallery : public gui::Form {
  public:
    Tfrm_gallery(gui::Component* owner, sui::TsuiUIStyle style);

    // Re-skins the whole form (the frame hands the style on) and fits it to the new title bar.
    void SetStyle(sui::TsuiUIStyle style);
    sui::TsuiUIStyle Style() const { return suiForm1->UIStyle(); }

    sui::TsuiForm* suiForm1 = nullptr;
    sui::TsuiMainMenu* MainMenu1 = nullptr;
    sui::TsuiImagePanel* Samples = nullptr;
    // The pictures of the menu's items.
    gui::ImageList ImageList1{16, 16};

  private:
    void layout(sui::TsuiUIStyle style);
    void BuildMenu();
    void FitFrame();

    int samplesWidth_ = 0;
    int samplesHeight_ = 0;
};

} // namespace gallery
