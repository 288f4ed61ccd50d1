// The gallery's sections, one function per kind of control. A new control gets a function here
// and a place on one of the tabs listed at the end.
#include <memory>
#include <string>
#include <type_traits>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/CustomControl.h"
#include "gui/JpegImage.h"
#include "skin/SUIButton.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIProgressBar.h"
#include "skin/SUIPublic.h"
#include "skin/SUIResDef.h"
#include "skin/SUITrackBar.h"
#include "tools/gallery/GalleryForm.h"
#include "tools/gallery/GalleryRows.h"
#include "tools/gallery/HeldSample.h"

namespace gallery {

namespace {

using namespace sui;

// The looks every button of the family has: idle, under the mouse, pressed, disabled.
template <class T> void AddButtonStates(GalleryRows& rows, const std::string& caption, bool checked) {
    struct State {
        const char* name;
        bool mouseOn, mouseDown, enabled;
    };
    static constexpr State states[] = {
        {"normal", false, false, true},
        {"mouse on", true, false, true},
        {"pressed", true, true, true},
        {"disabled", false, false, false},
    };
    int group = 100; // each held radio button alone in its group
    for (const State& s : states) {
        auto* sample = new HeldSample<T>(rows.Owner(), s.mouseOn, s.mouseDown);
        sample->SetCaption(caption);
        sample->SetEnabled(s.enabled);
        if constexpr (std::is_base_of_v<TsuiRadioButton, T>) sample->SetGroupIndex(++group);
        if constexpr (std::is_base_of_v<TsuiCustomButtonEx, T>) sample->SetChecked(checked);
        rows.Add(sample, checked ? std::string(s.name) + ", checked" : std::string(s.name));
    }
}

void Buttons(GalleryRows& rows) {
    rows.Row("TsuiButton", 27);
    AddButtonStates<TsuiButton>(rows, "Button", false);
    auto* live = new TsuiButton(rows.Owner());
    live->SetCaption("&Try");
    rows.Add(live, "try me");
}

void CheckBoxes(GalleryRows& rows) {
    for (const bool checked : {false, true}) {
        rows.Row(checked ? "" : "TsuiCheckBox", 17);
        AddButtonStates<TsuiCheckBox>(rows, "Check", checked);
    }
    rows.Row("", 17);
    auto* live = new TsuiCheckBox(rows.Owner());
    live->SetCaption("&Check me");
    rows.Add(live, "try me");
}

void RadioButtons(GalleryRows& rows) {
    for (const bool checked : {false, true}) {
        rows.Row(checked ? "" : "TsuiRadioButton", 17);
        AddButtonStates<TsuiRadioButton>(rows, "Radio", checked);
    }
    // The two live ones share a group.
    rows.Row("", 17);
    for (const char* caption : {"&One", "T&wo"}) {
        auto* radio = new TsuiRadioButton(rows.Owner());
        radio->SetCaption(caption);
        radio->SetGroupIndex(1);
        rows.Add(radio, "try me");
    }
}

void ImagePanels(GalleryRows& rows) {
    rows.Row("TsuiImagePanel", 60);
    struct Look {
        const char* name;
        TsuiDrawStyle style;
        int width;
    };
    static constexpr Look looks[] = {
        {"normal", suiNormal, 70}, {"stretched", suiStretch, 90}, {"tiled", suiTile, 110}};
    for (const Look& look : looks) {
        auto* panel = new TsuiImagePanel(rows.Owner());
        panel->SetBounds(0, 0, look.width, 60);
        auto jpeg = std::make_unique<gui::JpegImage>();
        jpeg->LoadFromResourceName(gui::App().ModuleHandle(), res::DialogFigure);
        panel->Picture().SetGraphic(std::move(jpeg));
        panel->SetDrawStyle(look.style);
        rows.Add(panel, look.name);
    }
    auto* captioned = new TsuiImagePanel(rows.Owner());
    captioned->SetBounds(0, 0, 110, 60);
    auto sound = std::make_unique<gui::Bitmap>();
    sound->LoadFromResourceName(gui::App().ModuleHandle(), res::DialogSoundOff);
    captioned->Picture().SetGraphic(std::move(sound));
    captioned->SetTransparent(true);
    captioned->SetCaption("Caption");
    rows.Add(captioned, "transparent, captioned");
}

// A track bar in each direction drives the progress bar beside it: dragging the slider or
// clicking on the bar moves the fill. During a drag the track bar reports the Position of the
// move before, so the bar takes the last one when the mouse lets go.
void TrackAndProgressBars(GalleryRows& rows) {
    constexpr int kWidth = 120;
    constexpr int kHeight = 100;
    rows.Row("TsuiTrackBar", kHeight);
    for (const TsuiProgressBarOrientation o : {suiHorizontal, suiVertical}) {
        const bool horizontal = o == suiHorizontal;
        auto* track = new TsuiTrackBar(rows.Owner());
        track->SetCaption(horizontal ? "Horizontal track bar" : "Vertical track bar");
        track->SetOrientation(o);
        track->SetBounds(0, 0, horizontal ? kWidth : track->Width(), horizontal ? track->Height() : kHeight);
        track->SetPosition(30);
        rows.Add(track, horizontal ? "horizontal" : "vertical");
        auto* bar = new TsuiProgressBar(rows.Owner());
        bar->SetOrientation(o);
        bar->SetBounds(0, 0, horizontal ? kWidth : bar->Width(), horizontal ? bar->Height() : kHeight);
        bar->SetPosition(track->Position());
        rows.Add(bar, "TsuiProgressBar");
        track->OnChange = [track, bar](gui::Component*) { bar->SetPosition(track->Position()); };
        track->OnMouseUp = [track, bar](gui::Component*, gui::TMouseButton, gui::TShiftState, int, int) {
            bar->SetPosition(track->Position());
        };
    }
}

// A list of items as the gallery's skinned menu draws them in its drop-down lists, the second
// one selected; it follows the menu's style.
class MenuItemsSample : public gui::CustomControl {
  public:
    explicit MenuItemsSample(Tfrm_gallery* owner) : gui::CustomControl(owner), menu_(*owner->MainMenu1) {
        items_.Add("&Normal");
        items_.Add("&Selected");
        items_.Add("D&isabled").SetEnabled(false);
        items_.Add("&Checked").SetChecked(true);
        items_.Add("With a &picture").SetImageIndex(0);
        gui::MenuItem& both = items_.Add("Checked, pict&ure");
        both.SetImageIndex(0);
        both.SetChecked(true);
        items_.Add("&Default").SetDefault(true);
        items_.Add("-");
        items_.Add("S&hortcut").SetShortCut(gui::MakeShortCut('K', gui::ssCtrl));
        SetBounds(0, 0, 180, 8 * 21 + 21);
    }

  protected:
    void Paint() override {
        gui::Bitmap face(Width(), Height());
        gui::Canvas& canvas = face.Canvas();
        DrawParentBackground(canvas, this);
        int y = 0;
        for (int i = 0; i < items_.Count(); ++i) {
            gui::MenuItem& item = items_.Items(i);
            menu_.ApplyItemFont(canvas.Font());
            int w = Width();
            int h = 0;
            menu_.MeasureMenuItem(&item, canvas, w, h);
            menu_.DrawMenuItem(&item, canvas, RECT{0, y, Width(), y + h}, i == 1);
            y += h;
        }
        const RECT client = ClientRect();
        Canvas().CopyRect(client, canvas, client);
    }
    void WndProc(gui::Message& msg) override {
        if (msg.Msg == WM_ERASEBKGND) {
            msg.Result = 1;
            return;
        }
        gui::CustomControl::WndProc(msg);
    }

  private:
    TsuiMainMenu& menu_;
    gui::MenuItem items_;
};

void Menus(GalleryRows& rows) {
    rows.Row("TsuiMainMenu", 8 * 21 + 21);
    rows.Add(new MenuItemsSample(static_cast<Tfrm_gallery*>(rows.Owner())), "items of a list");
}

} // namespace

std::span<const GalleryPage> GalleryPages() {
    static constexpr GallerySection buttons[] = {Buttons, CheckBoxes, RadioButtons};
    static constexpr GallerySection panels[] = {ImagePanels};
    static constexpr GallerySection bars[] = {TrackAndProgressBars};
    static constexpr GallerySection menus[] = {Menus};
    static constexpr GalleryPage pages[] = {
        {"Buttons and boxes", "buttons", buttons},
        {"Panels", "panels", panels},
        {"Sliders and bars", "bars", bars},
        {"Menus", "menus", menus},
    };
    return pages;
}

} // namespace gallery
