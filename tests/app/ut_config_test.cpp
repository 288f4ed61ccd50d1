// The settings dialog in-process under Wine: its layout, loading on
// activation, the speaker picture, storing on every way of closing, the error
// reports, and its pixels as drawn on the screen.
#include "app/ut_config.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Exception.h"
#include "skin/SUIPublic.h"
#include "skin/SUIResDef.h"
#include "skin/SUIThemes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/DialogChecks.h"

using sui::TsuiTitleBarBtnType;
using sui::TsuiUIStyle;
using namespace dialogtest;

namespace {

// The settings as the dialog meets them, and everything it stores and reports.
struct Settings {
    std::int32_t seconds = 900;
    bool soundOff = false;
    std::string readError; // the timeout read fails with this message when set
    int failingWrites = 0; // this many writes fail before one succeeds
    int reads = 0;
    struct Write {
        std::int32_t minutes;
        bool soundOff;
        bool dialogVisible;
    };
    std::vector<Write> writes;
    std::vector<std::string> reports;
    Tfrm_config* dialog = nullptr;

    Settings() {
        gui::App().ReportCapture = [this](const std::string& text) { reports.push_back(text); };
    }
    ~Settings() { gui::App().ReportCapture = nullptr; }

    Tfrm_config::SettingsAccess access() {
        Tfrm_config::SettingsAccess a;
        a.readTimeoutSeconds = [this] {
            ++reads;
            if (!readError.empty()) throw gui::EConvertError(readError);
            return seconds;
        };
        a.readSoundOff = [this] { return soundOff; };
        a.writeSettings = [this](std::int32_t minutes, bool off) {
            bool visible = dialog && dialog->HandleAllocated() && IsWindowVisible(dialog->Handle());
            if (failingWrites > 0) {
                --failingWrites;
                throw gui::ERegistryException("Failed to set data for 'ScreenSaveTimeOut'");
            }
            writes.push_back({minutes, off, visible});
        };
        return a;
    }

    std::unique_ptr<Tfrm_config> make() {
        auto d = std::make_unique<Tfrm_config>(nullptr, access());
        dialog = d.get();
        return d;
    }
};

// A left click posted to a control's window at its centre.
void PostClick(gui::WinControl& control) {
    HWND h = control.Handle();
    LPARAM at = MAKELPARAM(control.Width() / 2, control.Height() / 2);
    PostMessageW(h, WM_MOUSEMOVE, 0, at);
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(h, WM_LBUTTONUP, 0, at);
}

// An action run from the message loop shortly (inside a modal show, say).
std::function<void()> pendingAction;
void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto action = std::move(pendingAction);
    pendingAction = nullptr;
    if (action) action();
}
void Soon(std::function<void()> action) {
    pendingAction = std::move(action);
    SetTimer(nullptr, 0, 10, RunPending);
}

void ExpectFont(const gui::Font& f, const char* face, int height, gui::TColor color, const char* name) {
    EXPECT_EQ(f.Name(), face) << name;
    EXPECT_EQ(f.Height(), -height) << name;
    EXPECT_EQ(f.Color(), color) << name;
}

} // namespace

// --- layout ---------------------------------------------------------------------

TEST(SettingsDialog, FormAndFrameAsLaidOut) {
    Settings s;
    auto d = s.make();
    EXPECT_EQ(d->Caption(), "Config");
    // The frame took the system frame away: the client area is the window.
    EXPECT_EQ(d->BorderStyle(), gui::bsNone);
    EXPECT_EQ(d->ClientWidth(), 279);
    EXPECT_EQ(d->ClientHeight(), 137);
    EXPECT_EQ(d->Position(), gui::poScreenCenter);
    EXPECT_EQ(d->Color(), gui::clBtnFace);
    ExpectFont(d->Font(), "Arial", 12, gui::clWindowText, "form");

    sui::TsuiForm& f = *d->suiForm1;
    EXPECT_EQ(f.Parent(), d.get());
    ExpectBounds(f, {1, 0, 277, 136}, "suiForm1");
    EXPECT_EQ(f.UIStyle(), TsuiUIStyle::Protein);
    EXPECT_EQ(f.BorderColor(), gui::clBlack);
    EXPECT_EQ(f.BorderWidth(), 1);
    EXPECT_EQ(f.Color(), 0xFBFBFBu);
    EXPECT_EQ(f.Caption(), "Config");
    EXPECT_FALSE(f.TitleBarDrawAppIcon());
    ExpectFont(f.Font(), "MS Sans Serif", 11, gui::clWhite, "title");
    EXPECT_EQ(f.MenuBarColor(), 0xFBFBFBu);
    EXPECT_EQ(f.MenuBarHeight(), 22);

    sui::TsuiTitleBarButtons& buttons = f.TitleBarButtons();
    ASSERT_EQ(buttons.Count(), 2);
    EXPECT_EQ(buttons.Items(0).ButtonType(), TsuiTitleBarBtnType::suiControlBox);
    EXPECT_EQ(buttons.Items(1).ButtonType(), TsuiTitleBarBtnType::suiClose);
    for (int i = 0; i < 2; ++i) {
        sui::TsuiTitleBarButton& b = buttons.Items(i);
        EXPECT_TRUE(b.Transparent());
        EXPECT_EQ(b.Top(), 2);
        EXPECT_EQ(b.UIStyle(), TsuiUIStyle::Protein);
        EXPECT_EQ(b.PicNormal().Width(), 19);
        EXPECT_EQ(b.PicMouseOn().Height(), 19);
        EXPECT_EQ(b.PicMouseDown().Width(), 19);
    }
    sui::TsuiTitleBarSections& sections = f.TitleBarSections();
    ASSERT_EQ(sections.Count(), 3);
    EXPECT_EQ(sections.Items(0).Align(), sui::TsuiTitleBarAlign::suiLeft);
    EXPECT_EQ(sections.Items(0).Width(), 441);
    EXPECT_EQ(sections.Items(0).Picture().Width(), 441);
    EXPECT_FALSE(sections.Items(0).Stretch());
    EXPECT_EQ(sections.Items(1).Align(), sui::TsuiTitleBarAlign::suiRight);
    EXPECT_EQ(sections.Items(1).Width(), 1);
    EXPECT_EQ(sections.Items(1).Picture().Height(), 23);
    EXPECT_EQ(sections.Items(2).Align(), sui::TsuiTitleBarAlign::suiClient);
    EXPECT_EQ(sections.Items(2).Width(), 10);
    EXPECT_TRUE(sections.Items(2).Stretch());
    EXPECT_EQ(f.TitleBar()->Height(), 23);
}

TEST(SettingsDialog, ControlsAsLaidOut) {
    Settings s;
    auto d = s.make();
    sui::TsuiForm* frame = d->suiForm1;

    EXPECT_EQ(d->Label2->Parent(), frame);
    EXPECT_EQ(d->Label2->Left(), 72);
    EXPECT_EQ(d->Label2->Top(), 32);
    EXPECT_EQ(d->Label2->Caption(), "Delay Time:");
    ExpectFont(d->Label2->Font(), "Arial", 12, gui::clBlue, "Label2");
    EXPECT_TRUE(d->Label2->Transparent());
    EXPECT_EQ(d->Label3->Left(), 209);
    EXPECT_EQ(d->Label3->Top(), 32);
    EXPECT_EQ(d->Label3->Caption(), "Minutes");
    ExpectFont(d->Label3->Font(), "Arial", 12, gui::clWindowText, "Label3 takes the dialog's font");
    EXPECT_TRUE(d->Label3->Transparent());
    EXPECT_EQ(d->Label4->Left(), 73);
    EXPECT_EQ(d->Label4->Top(), 57);
    EXPECT_EQ(d->Label4->Caption(), "Sound Off:");
    ExpectFont(d->Label4->Font(), "Arial", 12, gui::clBlue, "Label4");
    EXPECT_FALSE(d->Label4->Transparent());

    EXPECT_EQ(d->suiImagePanel1->Parent(), frame);
    ExpectBounds(*d->suiImagePanel1, {0, 95, 277, 41}, "suiImagePanel1");
    EXPECT_EQ(d->suiImagePanel1->Align(), gui::alBottom);
    EXPECT_TRUE(d->suiImagePanel1->Picture().Empty());
    EXPECT_TRUE(d->suiImagePanel1->Transparent());

    sui::TsuiButton& quit = *d->suiButton3;
    EXPECT_EQ(quit.Parent(), d->suiImagePanel1);
    ExpectBounds(quit, {177, 4, 80, 27}, "suiButton3");
    EXPECT_EQ(quit.Caption(), "Quit");
    EXPECT_EQ(quit.UIStyle(), TsuiUIStyle::Protein);
    ExpectFont(quit.Font(), "Arial", 12, gui::clBlue, "suiButton3");
    EXPECT_EQ(quit.ModalResult(), gui::mrCancel);
    EXPECT_EQ(quit.Layout(), sui::blGlyphLeft);
    EXPECT_EQ(quit.Spacing(), 4);
    EXPECT_FALSE(quit.Transparent());
    EXPECT_FALSE(quit.AutoSize());
    EXPECT_EQ(quit.TabOrder(), 0);

    EXPECT_EQ(d->suiImagePanel2->Parent(), frame);
    ExpectBounds(*d->suiImagePanel2, {0, 23, 51, 72}, "suiImagePanel2");
    EXPECT_EQ(d->suiImagePanel2->Align(), gui::alLeft);
    EXPECT_EQ(d->suiImagePanel2->Picture().Width(), 51);
    EXPECT_EQ(d->suiImagePanel2->Picture().Height(), 43);

    gui::SpinEdit& field = *d->SpinEdit1;
    EXPECT_EQ(field.Parent(), frame);
    ExpectBounds(field, {148, 28, 49, 24}, "SpinEdit1");
    EXPECT_EQ(field.MinValue(), 1);
    EXPECT_EQ(field.MaxValue(), 100);
    EXPECT_EQ(field.Value(), 15);
    EXPECT_EQ(field.Increment(), 1);

    EXPECT_EQ(d->soundoff->Parent(), frame);
    ExpectBounds(*d->soundoff, {149, 54, 21, 21}, "soundoff");
    EXPECT_TRUE(d->soundoff->AutoSize());
    EXPECT_TRUE(d->soundoff->Transparent());
    EXPECT_EQ(d->soundoff->Picture().Width(), 21);

    sui::TsuiCheckBox& box = *d->soundoffcheck;
    EXPECT_EQ(box.Parent(), frame);
    ExpectBounds(box, {178, 56, 21, 18}, "soundoffcheck");
    EXPECT_EQ(box.UIStyle(), TsuiUIStyle::MacOS); // unlike the rest of the dialog
    EXPECT_EQ(box.Caption(), " ");
    EXPECT_FALSE(box.Checked());
    EXPECT_TRUE(box.Transparent());
    EXPECT_TRUE(box.TabStop());

    // The tab order among the frame's controls: the field before the check box.
    const auto& tabs = frame->TabList();
    auto at = [&](gui::WinControl* c) { return std::find(tabs.begin(), tabs.end(), c) - tabs.begin(); };
    EXPECT_LT(at(d->SpinEdit1), at(d->soundoffcheck));
}

// --- loading ------------------------------------------------------------------------

TEST(SettingsDialog, MinutesFromSecondsRoundHalvesToEven) {
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(900), 15);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(90), 2);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(150), 2);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(210), 4);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(30), 0);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(89), 1);
    EXPECT_EQ(Tfrm_config::MinutesFromSeconds(-90), -2);
}

TEST(SettingsDialog, ActivationShowsStoredSecondsAsMinutesWithinOneToHundred) {
    struct Case {
        std::int32_t seconds;
        int shown;
    };
    for (Case c : {Case{900, 15}, Case{600, 10}, Case{90, 2}, Case{150, 2}, Case{30, 1}, Case{6600, 100},
                   Case{6000, 100}, Case{0, 1}, Case{-60, 1}, Case{2147483647, 100}}) {
        Settings s;
        s.seconds = c.seconds;
        s.soundOff = (c.seconds % 2) == 0;
        auto d = s.make();
        d->FormActivate(d.get());
        EXPECT_EQ(d->SpinEdit1->Value(), c.shown) << c.seconds;
        EXPECT_EQ(d->SpinEdit1->EditText(), std::to_string(c.shown)) << c.seconds;
        EXPECT_EQ(d->soundoffcheck->Checked(), s.soundOff) << c.seconds;
        EXPECT_TRUE(s.reports.empty());
    }
}

TEST(SettingsDialog, UnreadableDelayIsReportedAndTheLaterStepsSkipped) {
    Settings s;
    s.soundOff = true;
    s.readError = "'' is not a valid integer value";
    auto d = s.make();
    d->FormActivate(d.get());
    ASSERT_EQ(s.reports.size(), 1u);
    // The message ends in a letter: a full stop is added.
    EXPECT_EQ(s.reports[0], "'' is not a valid integer value.");
    EXPECT_EQ(d->SpinEdit1->Value(), 15);
    EXPECT_FALSE(d->soundoffcheck->Checked());

    Settings t;
    t.readError = "Invalid data type for 'ScreenSaveTimeOut'";
    auto e = t.make();
    e->FormActivate(e.get());
    ASSERT_EQ(t.reports.size(), 1u);
    // Ends in a quote: no full stop.
    EXPECT_EQ(t.reports[0], "Invalid data type for 'ScreenSaveTimeOut'");
}

TEST(SettingsDialog, ModalShowLoadsOnceAndQuitStoresWhatIsShown) {
    Settings s;
    s.seconds = 600;
    s.soundOff = true;
    auto d = s.make();
    d->HandleNeeded();
    PostClick(*d->suiButton3);
    gui::TModalResult result = d->ShowModal();
    EXPECT_EQ(result, gui::mrCancel);
    EXPECT_EQ(s.reads, 1);
    ASSERT_EQ(s.writes.size(), 1u);
    EXPECT_EQ(s.writes[0].minutes, 10);
    EXPECT_TRUE(s.writes[0].soundOff);
    EXPECT_FALSE(IsWindowVisible(d->Handle()));
}

// --- the speaker picture and the check box ----------------------------------------------

TEST(SettingsDialog, SpeakerPictureTogglesTheCheckBox) {
    Settings s;
    auto d = s.make();
    d->Show();
    Pump();
    ASSERT_FALSE(d->soundoffcheck->Checked());
    SendClick(*d->soundoff);
    EXPECT_TRUE(d->soundoffcheck->Checked());
    SendClick(*d->soundoff);
    EXPECT_FALSE(d->soundoffcheck->Checked());
    SendClick(*d->soundoffcheck);
    EXPECT_TRUE(d->soundoffcheck->Checked());
    d->Close();
    ASSERT_EQ(s.writes.size(), 1u);
    EXPECT_TRUE(s.writes[0].soundOff);
}

// --- storing on close ------------------------------------------------------------------

TEST(SettingsDialog, CloseStoresTheFieldTextAsTyped) {
    struct Case {
        const char* text;
        std::int32_t stored;
    };
    // Out of range stays as typed while it is still shown; non-numbers read as the minimum.
    for (Case c : {Case{"250", 250}, Case{"42", 42}, Case{"abc", 1}, Case{"", 1}, Case{"0", 0}, Case{"-5", -5}}) {
        Settings s;
        auto d = s.make();
        d->Show();
        d->SpinEdit1->SetEditText(c.text);
        d->Close();
        ASSERT_EQ(s.writes.size(), 1u) << c.text;
        EXPECT_EQ(s.writes[0].minutes, c.stored) << c.text;
        EXPECT_FALSE(d->Visible());
    }
}

TEST(SettingsDialog, TitleBarCloseButtonAndWindowCloseStoreToo) {
    {
        Settings s;
        s.seconds = 1800;
        auto d = s.make();
        d->HandleNeeded();
        // The title bar's close button does what its click does.
        Tfrm_config* target = d.get();
        Soon([target] { target->suiForm1->TitleBarButtons().Items(1).DoClick(); });
        EXPECT_EQ(d->ShowModal(), gui::mrCancel);
        ASSERT_EQ(s.writes.size(), 1u);
        EXPECT_EQ(s.writes[0].minutes, 30);
    }
    {
        // Alt+F4 reaches the window as WM_CLOSE.
        Settings s;
        s.seconds = 120;
        auto d = s.make();
        d->HandleNeeded();
        PostMessageW(d->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(d->ShowModal(), gui::mrCancel);
        ASSERT_EQ(s.writes.size(), 1u);
        EXPECT_EQ(s.writes[0].minutes, 2);
    }
}

TEST(SettingsDialog, FailedStoreIsReportedAndKeepsTheDialogOpen) {
    Settings s;
    s.failingWrites = 1;
    auto d = s.make();
    d->HandleNeeded();
    PostMessageW(d->Handle(), WM_CLOSE, 0, 0);
    PostMessageW(d->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(d->ShowModal(), gui::mrCancel);
    ASSERT_EQ(s.reports.size(), 1u);
    EXPECT_EQ(s.reports[0], "Failed to set data for 'ScreenSaveTimeOut'");
    // The second close stored again, with the dialog still up.
    ASSERT_EQ(s.writes.size(), 1u);
    EXPECT_TRUE(s.writes[0].dialogVisible);
    EXPECT_EQ(s.writes[0].minutes, 15);
}

// --- pixels -------------------------------------------------------------------------

namespace {

std::uint32_t Px(gui::Bitmap& b, int x, int y) { return b.ScanLine(y)[x] & 0xFFFFFF; }

// The dialog's client area as it is on the screen.
gui::Bitmap Capture(Tfrm_config& d) {
    RedrawWindow(d.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    gui::Bitmap shot(d.ClientWidth(), d.ClientHeight());
    HDC dc = GetDC(d.Handle());
    BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(d.Handle(), dc);
    return shot;
}

gui::Bitmap Resource(const char* name) {
    gui::Bitmap b;
    b.LoadFromResourceName(gui::App().ModuleHandle(), name);
    return b;
}

gui::Bitmap Theme(TsuiUIStyle style, sui::TsuiThemeSlot slot) {
    gui::Bitmap b;
    sui::LoadThemeBitmap(b, style, slot);
    return b;
}

// A dialog on the screen, with the cursor away from it.
struct ShownDialog {
    Settings settings;
    std::unique_ptr<Tfrm_config> dialog = settings.make();
    ShownDialog() {
        SetCursorPos(5, 1000);
        dialog->Show();
        // Above anything else on the shared display while its pixels are read.
        SetWindowPos(dialog->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetForegroundWindow(dialog->Handle());
        Pump();
        Sleep(50);
        Pump();
    }
    ~ShownDialog() { dialog->Hide(); }
};

// Compares a picture drawn at (x0, y0) of the shot with the picture, leaving out
// its key colour (bottom-left pixel) where asked; returns the count of differences.
int Differences(gui::Bitmap& shot, int x0, int y0, gui::Bitmap& picture, bool keyed, int rows = -1) {
    const std::uint32_t key = Px(picture, 0, picture.Height() - 1);
    int diff = 0;
    for (int y = 0; y < (rows < 0 ? picture.Height() : rows); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            if (x0 + x >= shot.Width()) continue;
            std::uint32_t p = Px(picture, x, y);
            if (keyed && p == key) continue;
            if (Px(shot, x0 + x, y0 + y) != p) ++diff;
        }
    return diff;
}

} // namespace

TEST(SettingsDialogPixels, ClientAreaWithItsBlackBorderOnThreeSides) {
    ShownDialog sd;
    gui::Bitmap shot = Capture(*sd.dialog);
    ASSERT_EQ(shot.Width(), 279);
    ASSERT_EQ(shot.Height(), 137);
    RECT window{};
    GetWindowRect(sd.dialog->Handle(), &window);
    EXPECT_EQ(window.right - window.left, 279);
    EXPECT_EQ(window.bottom - window.top, 137);
    int notBlack = 0;
    for (int y = 0; y < 137; ++y) {
        if (Px(shot, 0, y) != 0) ++notBlack;
        if (Px(shot, 278, y) != 0) ++notBlack;
    }
    for (int x = 0; x < 279; ++x)
        if (Px(shot, x, 136) != 0) ++notBlack;
    EXPECT_EQ(notBlack, 0);
    // No border at the top: the title bar starts at the top edge, and inside
    // the strips the frame is not black.
    gui::Bitmap left = Resource(sui::res::DialogTitleLeft);
    EXPECT_EQ(Px(shot, 100, 0), Px(left, 99, 0));
    EXPECT_NE(Px(shot, 1, 130), 0u);
    EXPECT_NE(Px(shot, 277, 130), 0u);
    EXPECT_NE(Px(shot, 140, 135), 0u);
}

TEST(SettingsDialogPixels, TitleBarSectionsAndButtonsWhereTheyBelong) {
    ShownDialog sd;
    gui::Bitmap shot = Capture(*sd.dialog);
    // The left section's picture, clipped at the bar's right edge: its bottom
    // rows are free of the buttons (rows 2 to 20) and of the caption.
    gui::Bitmap left = Resource(sui::res::DialogTitleLeft);
    int diff = 0;
    for (int y = 21; y < 23; ++y)
        for (int x = 0; x < 277; ++x)
            if (Px(shot, 1 + x, y) != Px(left, x, y)) ++diff;
    EXPECT_EQ(diff, 0);
    // Control box at (0, 2) of the bar, close button flush right at (258, 2);
    // their magenta keys show the section behind.
    gui::Bitmap box = Resource(sui::res::DialogCtlBoxNormal);
    gui::Bitmap close = Resource(sui::res::DialogCloseNormal);
    EXPECT_EQ(Differences(shot, 1 + 0, 2, box, true), 0);
    EXPECT_EQ(Differences(shot, 1 + 258, 2, close, true), 0);
    // A key pixel of the close picture shows the section.
    EXPECT_EQ(Px(shot, 1 + 258, 2 + 18), Px(left, 258, 20));
    // The caption starts at x = 24 of the bar: white text somewhere in columns 24..60,
    // nothing but the section in columns 20..23.
    int white = 0;
    for (int y = 2; y < 21; ++y)
        for (int x = 24; x < 60; ++x)
            if (Px(shot, 1 + x, y) == 0xFFFFFF && Px(left, x, y) != 0xFFFFFF) ++white;
    EXPECT_GT(white, 10);
    int beforeCaption = 0;
    for (int y = 2; y < 21; ++y)
        for (int x = 20; x < 24; ++x)
            if (Px(shot, 1 + x, y) != Px(left, x, y)) ++beforeCaption;
    EXPECT_EQ(beforeCaption, 0);
}

TEST(SettingsDialogPixels, QuitButtonFaceAndMacCheckBox) {
    ShownDialog sd;
    gui::Bitmap shot = Capture(*sd.dialog);
    // "Quit": the Protein button picture stretched to 80 x 27 at (177, 4) of
    // the bottom panel, that is (178, 99) of the client area. The outer two
    // rings are the picture's own (the focus rectangle sits inside them).
    gui::Bitmap face = Theme(TsuiUIStyle::Protein, sui::thButtonNormal);
    gui::Bitmap expected(80, 27);
    sui::DrawSkinStretched(face, expected.Canvas(), RECT{0, 0, 80, 27}, false);
    int diff = 0;
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 80; ++x) {
            bool ring = x < 2 || y < 2 || x >= 78 || y >= 25;
            if (ring && Px(shot, 178 + x, 99 + y) != Px(expected, x, y)) ++diff;
        }
    EXPECT_EQ(diff, 0);
    // The caption in blue inside it.
    int blue = 0;
    for (int y = 4; y < 23; ++y)
        for (int x = 20; x < 60; ++x) {
            std::uint32_t p = Px(shot, 178 + x, 99 + y);
            if ((p & 0xFF) > 0x80 && ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60) ++blue;
        }
    EXPECT_GT(blue, 10);

    // The check box shows the MacOS picture at (1, centred) of its 21 x 18,
    // at (178, 56) of the frame: (179, 56) of the client area.
    gui::Bitmap unchecked = Theme(TsuiUIStyle::MacOS, sui::thCheckBoxUncheck);
    const int top = (18 - unchecked.Height()) / 2;
    EXPECT_EQ(Differences(shot, 179 + 1, 56 + top, unchecked, false), 0);
    SendClick(*sd.dialog->soundoff);
    gui::Bitmap after = Capture(*sd.dialog);
    gui::Bitmap checked = Theme(TsuiUIStyle::MacOS, sui::thCheckBoxCheck);
    EXPECT_EQ(Differences(after, 179 + 1, 56 + top, checked, false), 0);
    EXPECT_NE(Differences(after, 179 + 1, 56 + top, unchecked, false), 0);
    // The speaker picture itself at (149, 54) of the frame, keyed.
    gui::Bitmap speaker = Resource(sui::res::DialogSoundOff);
    EXPECT_EQ(Differences(after, 1 + 149, 54, speaker, true), 0);
}

TEST(SettingsDialog, ShowingItHidesTheApplicationWindow) {
    Settings s;
    auto d = s.make();
    ShowWindow(gui::App().Handle(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(gui::App().ApplicationWindowVisible());
    d->Show();
    Pump();
    EXPECT_FALSE(gui::App().ApplicationWindowVisible());
    d->Hide();
}
