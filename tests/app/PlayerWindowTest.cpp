// The player window in-process: its layout, the activation with and without
// the movie, the message filter, the keys, the watchdog and the close sequence.
#include "app/tarvixscreen.h"

#include "TestMovie.h"

#include "gui/Application.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {
class RecordingWaveOut : public WaveOut {
public:
    std::map<unsigned, std::uint32_t> answers;
    std::vector<std::uint32_t> sets; // every volume set, in order
    bool GetVolume(unsigned device, std::uint32_t& volume) override {
        auto it = answers.find(device);
        if (it == answers.end()) return false;
        volume = it->second;
        return true;
    }
    void SetVolume(unsigned, std::uint32_t volume) override { sets.push_back(volume); }
};

struct Player {
    RecordingWaveOut devices;
    testmovie::TempFolder folder;
    POINT cursor{500, 400};
    bool soundOff = false;
    std::unique_ptr<Tfrm_screen> window;

    explicit Player(bool withMovie = true) {
        if (withMovie) folder.Write("nimbre.s", testmovie::Build(100, 50, 10, 12, 0, 0, 255));
        devices.answers[2] = 0x80008000;
        Tfrm_screen::Surroundings s;
        s.devices = &devices;
        s.movieFolder = folder.Folder();
        s.cursorPos = [this] { return cursor; };
        s.readSoundOff = [this] { return soundOff; };
        s.hideCursor = false;
        window = std::make_unique<Tfrm_screen>(nullptr, s);
    }
    ~Player() { gui::App().OnMessage = nullptr; }

    void activate() {
        window->SetVisible(true);
        window->FormActivate(window.get());
    }
    // Passes one message through the application's filter.
    bool filter(UINT message) {
        MSG msg{};
        msg.hwnd = window->Handle();
        msg.message = message;
        bool handled = false;
        gui::App().OnMessage(msg, handled);
        EXPECT_FALSE(handled);
        return window->Closed();
    }
};
} // namespace

TEST(PlayerWindow, LayoutIsBorderlessBlackMaximisedWithThePanelAndTheControl) {
    Player p;
    Tfrm_screen& w = *p.window;
    EXPECT_EQ(w.BorderStyle(), gui::bsNone);
    EXPECT_EQ(w.Color(), gui::clBlack);
    EXPECT_EQ(w.WindowState(), gui::wsMaximized);
    EXPECT_EQ(w.FormStyle(), gui::fsNormal);
    EXPECT_TRUE(w.KeyPreview());
    ASSERT_NE(w.Panel1, nullptr);
    EXPECT_EQ(w.Panel1->Parent(), &w);
    EXPECT_EQ(w.Panel1->Align(), gui::alClient);
    EXPECT_EQ(w.Panel1->BevelOuter(), gui::bvNone);
    EXPECT_EQ(w.Panel1->Color(), gui::clBlack);
    ASSERT_NE(w.flash, nullptr);
    EXPECT_EQ(w.flash->Parent(), w.Panel1);
    EXPECT_EQ(w.flash->Align(), gui::alClient);
    EXPECT_EQ(w.flash->WMode(), "Window");
    EXPECT_EQ(w.flash->Quality2(), "High");
    EXPECT_EQ(w.flash->Scale(), "ShowAll");
    EXPECT_EQ(w.Timer1->Interval(), 200u);
    EXPECT_FALSE(w.Timer1->Enabled());
    EXPECT_EQ(w.LastFrame(), -1);
    EXPECT_EQ(w.StartCursorPos().x, 0);
    EXPECT_EQ(w.StartCursorPos().y, 0);
    // The filter is installed when the window is created.
    EXPECT_TRUE(static_cast<bool>(gui::App().OnMessage));
    // Shown, the control fills the window.
    w.SetVisible(true);
    EXPECT_EQ(w.flash->Width(), w.ClientWidth());
    EXPECT_EQ(w.flash->Height(), w.ClientHeight());
    EXPECT_GT(w.ClientWidth(), 536);
}

TEST(PlayerWindow, ActivationLevelsLoadsPlaysAndTakesTheCursor) {
    Player p;
    p.soundOff = true;
    p.activate();
    Tfrm_screen& w = *p.window;
    EXPECT_FALSE(w.Closed());
    EXPECT_EQ(w.SavedVolumePercent(), 50);
    // Levelled (both channels at the lowest left level), then muted for the run.
    ASSERT_EQ(p.devices.sets.size(), 18u);
    EXPECT_EQ(p.devices.sets[0], 0x80008000u);
    EXPECT_EQ(p.devices.sets[17], 0u);
    EXPECT_EQ(w.flash->Movie(), p.folder.Folder() + "nimbre.s");
    EXPECT_EQ(w.MoviePath(), p.folder.Folder() + "nimbre.s");
    EXPECT_TRUE(w.flash->Playing());
    EXPECT_TRUE(w.flash->Loop());
    EXPECT_EQ(w.flash->BackgroundColor(), -1);
    EXPECT_TRUE(w.Timer1->Enabled());
    EXPECT_EQ(w.StartCursorPos().x, 500);
    EXPECT_EQ(w.StartCursorPos().y, 400);
    EXPECT_EQ(w.LastFrame(), -1);
    // A second activation (after an error report, say) starts nothing again.
    p.cursor = {0, 0};
    w.FormActivate(&w);
    EXPECT_EQ(p.devices.sets.size(), 18u);
    EXPECT_EQ(w.StartCursorPos().x, 500);
}

HWND g_stuckWindow = nullptr;
void CALLBACK closeStuckWindow(HWND, UINT, UINT_PTR, DWORD) { PostMessageW(g_stuckWindow, WM_CLOSE, 0, 0); }

TEST(PlayerWindow, MissingMovieClosesAtOnceAndSetsTheLevelBack) {
    Player p(false);
    // The modal show returns by itself; should it not, the test ends it after 5 s.
    g_stuckWindow = p.window->Handle();
    UINT_PTR guard = SetTimer(nullptr, 0, 5000, closeStuckWindow);
    DWORD started = GetTickCount();
    p.window->ShowModal();
    KillTimer(nullptr, guard);
    EXPECT_LT(GetTickCount() - started, 4000u);
    EXPECT_TRUE(p.window->Closed());
    EXPECT_FALSE(p.window->Timer1->Enabled());
    EXPECT_EQ(p.window->flash->Movie(), "");
    // Levelled, then set back to the saved level at close: 50 % -> 32767.
    ASSERT_EQ(p.devices.sets.size(), 18u);
    EXPECT_EQ(p.devices.sets[17], 32767u * 0x10001u);
    EXPECT_FALSE(p.window->Visible());
}

TEST(PlayerWindow, UnreadableMovieStopsTheActivationAndTheWindowStays) {
    Player p(false);
    std::string movie = p.folder.Write("nimbre.s", {'F', 'W', 'S', 6, 1, 0, 0, 0});
    p.window->HandleNeeded();
    try {
        p.window->FormActivate(p.window.get());
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(movie), std::string::npos) << e.what();
    }
    Tfrm_screen& w = *p.window;
    EXPECT_FALSE(w.Closed());
    EXPECT_FALSE(w.Timer1->Enabled());
    EXPECT_EQ(w.StartCursorPos().x, 0);
    EXPECT_EQ(w.flash->Movie(), "");
    // The devices were levelled and the sound setting applied before the load failed.
    EXPECT_EQ(p.devices.sets.size(), 18u);
}

TEST(PlayerWindow, FilterClosesOnFarMovesAndLeftOrRightPressesOnly) {
    for (UINT stays : {WM_MBUTTONDOWN, WM_MOUSEWHEEL, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_LBUTTONUP,
                       WM_RBUTTONUP, WM_MBUTTONUP, WM_KEYUP, WM_TIMER}) {
        Player p;
        p.activate();
        EXPECT_FALSE(p.filter(stays)) << stays;
    }
    for (UINT closes : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        Player p;
        p.activate();
        EXPECT_TRUE(p.filter(closes)) << closes;
    }
    struct Move {
        int dx, dy;
        bool closes;
    };
    for (Move m : {Move{30, 30, false}, Move{-30, -30, false}, Move{31, 0, true}, Move{0, 31, true},
                   Move{-31, 0, true}, Move{0, -31, true}, Move{30, -31, true}}) {
        Player p;
        p.activate();
        p.cursor = {500 + m.dx, 400 + m.dy};
        EXPECT_EQ(p.filter(WM_MOUSEMOVE), m.closes) << m.dx << "," << m.dy;
    }
}

TEST(PlayerWindow, AnyKeyClosesAndTheCloseSequenceRunsOnce) {
    Player p;
    p.activate();
    std::uint16_t key = VK_SHIFT;
    p.window->shutdown(p.window.get(), key, gui::ssShift);
    EXPECT_TRUE(p.window->Closed());
    EXPECT_FALSE(p.window->Timer1->Enabled());
    std::size_t sets = p.devices.sets.size();
    EXPECT_EQ(sets, 27u); // levelled, applied, restored: nine devices each
    EXPECT_EQ(p.devices.sets.back(), 32767u * 0x10001u);
    // Later requests (a click, a move, another key, the window's own close) change nothing.
    p.filter(WM_LBUTTONDOWN);
    p.cursor = {0, 0};
    p.filter(WM_MOUSEMOVE);
    p.window->shutdown(p.window.get(), key, 0);
    p.window->Close();
    EXPECT_EQ(p.devices.sets.size(), sets);
}

TEST(PlayerWindow, KeyDownsReachTheWindowBeforeTheControl) {
    Player p;
    p.activate();
    SendMessageW(p.window->flash->Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(p.window->Closed());
    Player alt;
    alt.activate();
    SendMessageW(alt.window->flash->Handle(), WM_SYSKEYDOWN, VK_MENU, 1 << 29);
    EXPECT_TRUE(alt.window->Closed());
}

TEST(PlayerWindow, WatchdogTicksPushAHaltedMovieAndStopAtTheLastFrame) {
    Player p;
    p.activate();
    Tfrm_screen& w = *p.window;
    w.flash->SetLoop(false);
    w.Timer1Timer(w.Timer1); // frame 0 > -1: seen
    EXPECT_EQ(w.LastFrame(), 0);
    w.Timer1Timer(w.Timer1); // no progress: pushed to 1
    EXPECT_EQ(w.LastFrame(), 1);
    EXPECT_EQ(w.flash->CurrentFrame(), 1);
    EXPECT_TRUE(w.Timer1->Enabled());
    for (int i = 0; i < 9; ++i) w.Timer1Timer(w.Timer1); // 2 .. 10: past the last frame 9 but not the count 10
    EXPECT_EQ(w.LastFrame(), 10);
    EXPECT_EQ(w.flash->CurrentFrame(), 9);
    w.Timer1Timer(w.Timer1); // 11 > 10 frames: rewound
    EXPECT_EQ(w.LastFrame(), -1);
    EXPECT_EQ(w.flash->CurrentFrame(), 0);
}

TEST(PlayerWindow, FocusGoesToTheControlOnPaint) {
    Player p;
    p.activate();
    p.window->FormPaint(p.window.get());
    EXPECT_EQ(GetFocus(), p.window->flash->Handle());
}
