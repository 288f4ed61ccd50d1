// The gallery window: one skinned form holding every control of the skin toolkit in the looks
// it can take, on the tabs of a tab control, with a side channel at the left that switches the
// style of the whole form (as the Style menu does).
#pragma once

#include <string>
#include <vector>

#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/MainMenu.h"
#include "skin/SUIButton.h"
#include "skin/SUIForm.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIMainMenu.h"
#include "skin/SUISideChannel.h"
#include "skin/SUITabControl.h"

namespace gallery {

// "MacOS", "WinXP", ... as the styles are named.
std::string StyleName(sui::TsuiUIStyle style);

class Tfrm_gallery : public gui::Form {
  public:
    Tfrm_gallery(gui::Component* owner, sui::TsuiUIStyle style);

    // Re-skins the whole form (the frame hands the style on; the gallery hands it into the
    // side channel and the pages) and fits the form to the new title bar and tabs.
    void SetStyle(sui::TsuiUIStyle style);
    sui::TsuiUIStyle Style() const { return suiForm1->UIStyle(); }
    // Shows the page of the tab (as a click on the tab does).
    void ShowPage(int index);
    int PageCount() const { return static_cast<int>(pages_.size()); }

    sui::TsuiForm* suiForm1 = nullptr;
    sui::TsuiMainMenu* MainMenu1 = nullptr;
    sui::TsuiImagePanel* Samples = nullptr;
    sui::TsuiSideChannel* suiSideChannel1 = nullptr;
    sui::TsuiTabControl* suiTabControl1 = nullptr;
    // The pictures of the menu's items.
    gui::ImageList ImageList1{16, 16};

  private:
    void layout(sui::TsuiUIStyle style);
    void BuildMenu();
    void AddSideChannel();
    void LayoutPages();
    void FitFrame();

    std::vector<sui::TsuiImagePanel*> pages_;
    std::vector<sui::TsuiRadioButton*> styleButtons_;
    int pagesWidth_ = 0;
    int pagesHeight_ = 0;
};

} // namespace gallery
