// The gallery's sections, one function per kind of control. A new control gets a function here
// and a place on one of the tabs listed at the end.
#include <memory>
#include <string>
#include <type_traits>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/CustomControl.h"
#include "gui/JpegImage.h"
#include "gui/OffscreenPaint.h"
#include "skin/SUIButton.h"
#include "skin/SUICheckListBox.h"
#include "skin/SUIComboBox.h"
#include "skin/SUIEdit.h"
#include "skin/SUIGroupBox.h"
#include "skin/SUIImagePanel.h"
#include "skin/SUIListBox.h"
#include "skin/SUIListView.h"
#include "skin/SUIMemo.h"
#include "skin/SUIProgressBar.h"
#include "skin/SUIPublic.h"
#include "skin/SUIRadioGroup.h"
#include "skin/SUIResDef.h"
#include "skin/SUITrackBar.h"
#include "skin/SUITreeView.h"
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
        gui::OffscreenPaint face(Width(), Height());
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
        face.Present(Canvas().Handle());
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

// A sample in its normal look and a disabled copy beside it.
template <class T, class Fill>
void AddEnabledAndDisabled(GalleryRows& rows, int width, int height, Fill fill) {
    for (const bool enabled : {true, false}) {
        auto* sample = new T(rows.Owner());
        sample->SetBounds(0, 0, width, height);
        fill(*sample);
        sample->SetEnabled(enabled);
        rows.Add(sample, enabled ? "try me" : "disabled");
    }
}

void GroupBoxes(GalleryRows& rows) {
    rows.Row("TsuiGroupBox", 60);
    for (const char* state : {"captioned", "no caption", "disabled"}) {
        auto* box = new TsuiGroupBox(rows.Owner());
        box->SetBounds(0, 0, 110, 60);
        box->SetCaption(std::string(state) == "no caption" ? "" : "Group");
        box->SetEnabled(std::string(state) != "disabled");
        rows.Add(box, state);
    }
    rows.Row("TsuiCheckGroup", 90);
    for (const int columns : {1, 2}) {
        auto* group = new TsuiCheckGroup(rows.Owner());
        group->SetBounds(0, 0, columns == 1 ? 110 : 170, 90);
        group->SetColumns(columns);
        group->SetCaption(columns == 1 ? "Check group" : "Two columns");
        group->Items().SetText(columns == 1 ? "Apples\nPears\nPlums" : "One\nTwo\nThree\nFour\nFive");
        group->CheckBox(1)->SetChecked(true);
        rows.Add(group, columns == 1 ? "try me" : "two columns");
    }
}

void TextFields(GalleryRows& rows) {
    rows.Row("TsuiEdit", 21);
    AddEnabledAndDisabled<TsuiEdit>(rows, 110, 21, [](TsuiEdit& e) { e.SetText("Edit"); });
    rows.Row("TsuiMemo", 60);
    AddEnabledAndDisabled<TsuiMemo>(rows, 130, 60, [](TsuiMemo& m) { m.Lines().SetText("Memo\nof lines"); });
}

void ListsAndCombos(GalleryRows& rows) {
    rows.Row("TsuiListBox", 70);
    AddEnabledAndDisabled<TsuiListBox>(rows, 110, 70, [](TsuiListBox& l) {
        l.Items().SetText("Red\nGreen\nBlue");
        l.SetItemIndex(1);
    });
    rows.Row("TsuiCheckListBox", 70);
    AddEnabledAndDisabled<TsuiCheckListBox>(rows, 110, 70, [](TsuiCheckListBox& l) {
        l.Items().SetText("Salt\nPepper\nSugar");
        l.SetChecked(0, true);
    });
    rows.Row("TsuiComboBox", 21);
    AddEnabledAndDisabled<TsuiComboBox>(rows, 110, 21, [](TsuiComboBox& c) {
        c.Items().SetText("North\nSouth\nEast\nWest");
        c.SetItemIndex(0);
    });
}

void Views(GalleryRows& rows) {
    rows.Row("TsuiListView", 80);
    AddEnabledAndDisabled<TsuiListView>(rows, 150, 80, [](TsuiListView& v) {
        v.AddColumn("Name", 70);
        v.AddColumn("Size", 60);
        v.AddItem("apple", {"small"});
        v.AddItem("melon", {"large"});
    });
    rows.Row("TsuiTreeView", 80);
    AddEnabledAndDisabled<TsuiTreeView>(rows, 150, 80, [](TsuiTreeView& t) {
        gui::TreeNode* fruit = t.AddChild(nullptr, "Fruit");
        t.AddChild(fruit, "Apple");
        t.AddChild(fruit, "Pear");
        t.AddChild(nullptr, "Vegetables");
    });
}

} // namespace

std::span<const GalleryPage> GalleryPages() {
    static constexpr GallerySection buttons[] = {Buttons, CheckBoxes, RadioButtons};
    static constexpr GallerySection panels[] = {ImagePanels};
    static constexpr GallerySection bars[] = {TrackAndProgressBars};
    static constexpr GallerySection menus[] = {Menus};
    static constexpr GallerySection lists[] = {GroupBoxes, TextFields, ListsAndCombos};
    static constexpr GallerySection views[] = {Views};
    static constexpr GalleryPage pages[] = {
        {"Buttons and boxes", "buttons", buttons},
        {"Panels", "panels", panels},
        {"Sliders and bars", "bars", bars},
        {"Lists and edits", "lists", lists},
        {"Views", "views", views},
        {"Menus", "menus", menus},
    };
    return pages;
}

} // namespace gallery
