// The player window in-process: its layout, the activation with and without
// the movie, the message filter, the keys, the watchdog and the close sequence.
#include "app/tarvixscreen.h"

#include "TestMovie.h"

#include "gui/Application.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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
    std::vector<RECT> monitors{{0, 0, 1, 1}}; // the window's own only
    std::unique_ptr<Tfrm_screen> window;

    explicit Player(bool withMovie = true, std::vector<RECT> layout = {}) {
        if (!layout.empty()) monitors = layout;
        if (withMovie) folder.Write("nimbre.s", testmovie::Build(100, 50, 10, 12, 0, 0, 255));
        devices.answers[2] = 0x80008000;
        Tfrm_screen::Surroundings s;
        s.devices = &devices;
        s.movieFolder = folder.Folder();
        s.cursorPos = [this] { return cursor; };
        s.readSoundOff = [this] { return soundOff; };
        s.monitors = [this] { return monitors; };
        s.hideCursor = false;
        window = std::make_unique<Tfrm_screen>(nullptr, s);
    }

    void activate() {
        window->SetVisible(true);
        window->FormActivate(window.get());
    }
    // Passes one message through the application's filter.
    bool filter(UINT message) {
        MSG msg{};
        msg.hwnd = window->Handle();
        msg.message = message;
        EXPECT_FALSE(gui::App().FilterMessage(msg));
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
    EXPECT_EQ(gui::App().MessageFilterCount(), 1u);
    // Shown, the control fills the window.
    w.SetVisible(true);
    EXPECT_EQ(w.flash->Width(), w.ClientWidth());
    EXPECT_EQ(w.flash->Height(), w.ClientHeight());
    EXPECT_GT(w.ClientWidth(), 536);
    // Going, the window takes its own filter away and leaves another owner's.
    int otherSaw = 0;
    gui::HookToken other = gui::App().AddMessageFilter([&](MSG& msg, bool&) {
        if (msg.message == WM_APP + 3) ++otherSaw;
    });
    p.window.reset();
    EXPECT_EQ(gui::App().MessageFilterCount(), 1u);
    MSG probe{};
    probe.message = WM_APP + 3;
    gui::App().FilterMessage(probe);
    EXPECT_EQ(otherSaw, 1) << "the filter left is the other owner's";
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
void CALLBACK closeStuckWindow(HWND, UINT, UINT_PTR, DWORD) {
    PostMessageW(g_stuckWindow, WM_CLOSE, 0, 0);
}

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
    // Levelled, then set back at close to the level found (50 % in whole percent).
    ASSERT_EQ(p.devices.sets.size(), 18u);
    EXPECT_EQ(p.devices.sets[17], 0x80008000u);
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

TEST(PlayerWindow, AMoveBeforePlayingBeganLeavesTheWindowAndTheStartPositionHolds) {
    Player p;
    p.window->SetVisible(true);
    // The cursor far from the corner, where the start position stands until it is taken.
    EXPECT_FALSE(p.filter(WM_MOUSEMOVE));
    p.window->FormActivate(p.window.get());
    EXPECT_FALSE(p.filter(WM_MOUSEMOVE));
    p.cursor = {531, 400};
    EXPECT_TRUE(p.filter(WM_MOUSEMOVE));
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
    EXPECT_EQ(p.devices.sets.back(), 0x80008000u);
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
    for (int i = 0; i < 9; ++i)
        w.Timer1Timer(w.Timer1); // 2 .. 10: past the last frame 9 but not the count 10
    EXPECT_EQ(w.LastFrame(), 10);
    EXPECT_EQ(w.flash->CurrentFrame(), 9);
    w.Timer1Timer(w.Timer1); // 11 > 10 frames: rewound
    EXPECT_EQ(w.LastFrame(), -1);
    EXPECT_EQ(w.flash->CurrentFrame(), 0);
}

TEST(PlayerWindow, ALoopingMovieWrapsWithoutAPushOrARewind) {
    Player p; // ten frames at 12 a second: a watchdog tick every third frame
    p.activate();
    Tfrm_screen& w = *p.window;
    std::vector<std::int32_t> shown{w.flash->CurrentFrame()};
    double sinceTick = 0;
    while (shown.size() < 31) { // three loops and the first frame again
        w.flash->AdvanceClock(1.0 / 12 + 1e-6);
        shown.push_back(w.flash->CurrentFrame());
        sinceTick += 1.0 / 12;
        if (sinceTick >= Tfrm_screen::WatchdogInterval / 1000.0) {
            sinceTick = 0;
            w.Timer1Timer(w.Timer1);
            ASSERT_EQ(w.flash->CurrentFrame(), shown.back()) << "the watchdog moved the movie";
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], static_cast<std::int32_t>(i % 10)) << i;
}

TEST(PlayerWindow, FocusGoesToTheControlOnPaint) {
    Player p;
    p.activate();
    p.window->FormPaint(p.window.get());
    EXPECT_EQ(GetFocus(), p.window->flash->Handle());
}

namespace {
std::uint32_t pixelAt(const FrameSurface& surface, int x, int y) {
    return surface.Pixels()[static_cast<std::size_t>(y) * surface.Width() + x] & 0xFFFFFFu;
}
} // namespace

TEST(PlayerWindow, EveryOtherMonitorGetsACoverWithTheMovieFittedToIt) {
    // The window's own monitor, one left of it (negative coordinates) and a
    // smaller one to the right, higher up.
    RECT left{-1024, 100, 0, 868}, right{1280, -200, 2080, 400};
    Player p(true, {{0, 0, 1280, 1024}, left, right});
    p.cursor = {-500, 400};
    p.activate();
    Tfrm_screen& w = *p.window;
    ASSERT_EQ(w.Covers().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const RECT want = i == 0 ? left : right;
        Tfrm_cover& cover = *w.Covers()[i];
        RECT got{};
        GetWindowRect(cover.Handle(), &got);
        EXPECT_TRUE(EqualRect(&got, &want))
            << i << ": " << got.left << "," << got.top << " " << got.right << "," << got.bottom;
        EXPECT_TRUE(cover.Visible());
        EXPECT_EQ(cover.BorderStyle(), gui::bsNone);
        const FrameSurface& view = cover.mirror->Surface();
        ASSERT_EQ(view.Width(), want.right - want.left);
        ASSERT_EQ(view.Height(), want.bottom - want.top);
        // The movie's picture at the monitor's own size, corner to corner
        // (the bands beside a fitted stage take the movie's background).
        for (POINT at : {POINT{0, 0}, POINT{view.Width() - 1, view.Height() - 1}, POINT{view.Width() / 2, 1}})
            EXPECT_EQ(pixelAt(view, at.x, at.y), 0x0000FFu) << i;
    }
    EXPECT_EQ(GetActiveWindow(), w.Handle());
    // The movie's frames reach every cover.
    std::uint64_t before = w.Covers()[1]->mirror->FramesBlitted();
    w.flash->SetBackgroundColor(0xFF0000);
    EXPECT_GT(w.Covers()[1]->mirror->FramesBlitted(), before);
    EXPECT_EQ(pixelAt(w.Covers()[1]->mirror->Surface(), 400, 300), 0xFF0000u);
    // The 30-pixel rule counts in virtual-screen coordinates.
    p.cursor = {-470, 430};
    EXPECT_FALSE(p.filter(WM_MOUSEMOVE));
    // A key on a cover ends it all, and the covers go with the window.
    SendMessageW(w.Covers()[0]->mirror->Handle(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(w.Closed());
    EXPECT_FALSE(w.Covers()[0]->Visible());
    EXPECT_FALSE(w.Covers()[1]->Visible());
}

TEST(PlayerWindow, NothingIsDrawnWhileTheDisplayIsOffAndTheClockRunsOn) {
    Player p(true, {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}});
    p.activate();
    Tfrm_screen& w = *p.window;
    ASSERT_EQ(w.Covers().size(), 1u);
    const MovieMirror& mirror = *w.Covers()[0]->mirror;
    auto display = [&](const GUID& setting, DWORD state) {
        POWERBROADCAST_SETTING message{setting, sizeof(DWORD), {}};
        std::memcpy(message.Data, &state, sizeof state);
        SendMessageW(w.Handle(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                     reinterpret_cast<LPARAM>(&message));
    };
    const GUID consoleDisplay{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    const GUID monitorPower{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
    auto playFor = [&](int frames) {
        for (int i = 0; i < frames; ++i)
            w.flash->AdvanceClock(1.0 / 12 + 1e-6);
    };
    struct Off {
        const char* how;
        std::function<void()> off, on;
    };
    std::vector<Off> ways{
        {"console display state", [&] { display(consoleDisplay, 0); }, [&] { display(consoleDisplay, 1); }},
        {"monitor power setting", [&] { display(monitorPower, 0); }, [&] { display(monitorPower, 1); }},
        {"monitor-power command", [&] { SendMessageW(w.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, 2); },
         [&] { SendMessageW(w.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, -1); }},
    };
    std::uint32_t colour = 0x00FF00;
    for (const Off& way : ways) {
        way.off();
        EXPECT_FALSE(w.DisplayOn()) << way.how;
        std::int32_t frame = w.flash->CurrentFrame();
        std::uint64_t blitted = w.flash->FramesBlitted(), mirrored = mirror.FramesBlitted();
        w.flash->SetBackgroundColor(
            static_cast<std::int32_t>(++colour)); // redrawn at once with the display on
        playFor(3);
        EXPECT_EQ(w.flash->CurrentFrame(), (frame + 3) % 10) << way.how;
        EXPECT_EQ(w.flash->FramesBlitted(), blitted) << way.how;
        EXPECT_EQ(mirror.FramesBlitted(), mirrored) << way.how;
        way.on();
        EXPECT_TRUE(w.DisplayOn()) << way.how;
        EXPECT_EQ(w.flash->FramesBlitted(), blitted + 1) << way.how;
        EXPECT_EQ(mirror.FramesBlitted(), mirrored + 1) << way.how;
        EXPECT_EQ(pixelAt(mirror.Surface(), 512, 384), colour) << way.how;
    }
    // Dimmed or in low power the display still shows the movie.
    display(consoleDisplay, 2);
    EXPECT_TRUE(w.DisplayOn());
    SendMessageW(w.Handle(), WM_SYSCOMMAND, SC_MONITORPOWER, 1);
    EXPECT_TRUE(w.DisplayOn());
    EXPECT_FALSE(w.Closed());
}
