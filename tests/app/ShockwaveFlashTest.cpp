#include "app/ShockwaveFlash.h"

#include "TestMovie.h"

#include "gui/Exception.h"
#include "gui/Form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
// A hidden form holding one movie control of 160 × 100 pixels.
struct Host {
    std::unique_ptr<gui::Form> form = std::make_unique<gui::Form>(nullptr);
    TShockwaveFlash* flash = new TShockwaveFlash(form.get());
    testmovie::TempFolder folder;

    Host() {
        form->SetBounds(0, 0, 400, 300);
        flash->SetParent(form.get());
        flash->SetBounds(0, 0, 160, 100);
        flash->HandleNeeded();
    }
    // A 10-frame movie at 12 frames per second on a 100 × 50 stage, red.
    std::string redMovie() { return folder.Write("red.s", testmovie::Build(100, 50, 10, 12, 255, 0, 0)); }
    std::uint32_t pixel(int x, int y) const {
        return flash->Surface().Pixels()[y * flash->Surface().Width() + x] & 0xFFFFFFu;
    }
};

std::string errorOf(auto call) {
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no error>";
}
} // namespace

TEST(ShockwaveFlash, StartsWithTheStoredDesignStateAndNoMovie) {
    Host host;
    EXPECT_EQ(host.flash->WMode(), "Window");
    EXPECT_EQ(host.flash->Quality2(), "High");
    EXPECT_EQ(host.flash->Scale(), "ShowAll");
    EXPECT_EQ(host.flash->Movie(), "");
    EXPECT_EQ(host.flash->BackgroundColor(), -1);
    EXPECT_EQ(host.flash->BGColor(), "-1");
    EXPECT_EQ(host.flash->TotalFrames(), 0);
    EXPECT_EQ(host.flash->CurrentFrame(), -1);
    // Values the control cannot honour are refused and change nothing.
    EXPECT_THROW(host.flash->SetWMode("Transparent"), gui::Exception);
    EXPECT_THROW(host.flash->SetQuality2("Low"), gui::Exception);
    EXPECT_THROW(host.flash->SetScale("ExactFit"), gui::Exception);
    EXPECT_EQ(host.flash->WMode(), "Window");
    host.flash->SetScale("showall");
    EXPECT_EQ(host.flash->Scale(), "ShowAll");
}

TEST(ShockwaveFlash, UnreadableFilesNameTheFileAndTheReason) {
    Host host;
    std::string missing = host.folder.Folder() + "none.s";
    std::string message = errorOf([&] { host.flash->SetMovie(missing); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    // The system's reason: "The system cannot find the file specified", or "File not found".
    EXPECT_TRUE(message.find("find") != std::string::npos || message.find("not found") != std::string::npos)
        << message;

    std::string junk = host.folder.Write("junk.s", {'N', 'O', 'T', 'A', 'M', 'O', 'V', 'I', 'E'});
    message = errorOf([&] { host.flash->SetMovie(junk); });
    EXPECT_NE(message.find(junk), std::string::npos) << message;
    EXPECT_NE(message, "<no error>");
    EXPECT_EQ(host.flash->Movie(), "");
    EXPECT_EQ(host.flash->TotalFrames(), 0);

    // A good movie stays when a bad one fails to load after it.
    std::string red = host.redMovie();
    host.flash->SetMovie(red);
    EXPECT_THROW(host.flash->SetMovie(junk), std::exception);
    EXPECT_EQ(host.flash->Movie(), red);
    EXPECT_EQ(host.flash->TotalFrames(), 10);
}

TEST(ShockwaveFlash, FramesAreNumberedFromZeroAndFollowTheClock) {
    Host host;
    host.flash->SetMovie(host.redMovie());
    EXPECT_EQ(host.flash->TotalFrames(), 10);
    EXPECT_EQ(host.flash->CurrentFrame(), 0);
    host.flash->Play();
    EXPECT_TRUE(host.flash->Playing());
    host.flash->AdvanceClock(1.0 / 12 + 0.001);
    EXPECT_EQ(host.flash->CurrentFrame(), 1);
    host.flash->AdvanceClock(3.0 / 12);
    EXPECT_EQ(host.flash->CurrentFrame(), 4);
    host.flash->GotoFrame(7);
    EXPECT_EQ(host.flash->CurrentFrame(), 7);
    host.flash->GotoFrame(50); // beyond the last frame: the last one
    EXPECT_EQ(host.flash->CurrentFrame(), 9);
    host.flash->SetLoop(true);
    host.flash->AdvanceClock(1.0 / 12 + 0.001);
    EXPECT_EQ(host.flash->CurrentFrame(), 0); // looped
    host.flash->GotoFrame(5);
    host.flash->Rewind();
    EXPECT_EQ(host.flash->CurrentFrame(), 0);
    EXPECT_TRUE(host.flash->Playing()); // rewinding does not stop a playing movie
    host.flash->SetLoop(false);
    host.flash->GotoFrame(9);
    host.flash->AdvanceClock(2.0 / 12);
    EXPECT_EQ(host.flash->CurrentFrame(), 9);
}

TEST(ShockwaveFlash, PaintsTheStageBackgroundOrTheHostsColour) {
    Host host;
    host.flash->SetMovie(host.redMovie());
    ASSERT_EQ(host.flash->Surface().Width(), 160);
    ASSERT_EQ(host.flash->Surface().Height(), 100);
    EXPECT_EQ(host.pixel(80, 50), 0xFF0000u);
    host.flash->SetBackgroundColor(0x00FF00);
    EXPECT_EQ(host.flash->BackgroundColor(), 0x00FF00);
    EXPECT_EQ(host.flash->BGColor(), "00FF00");
    EXPECT_EQ(host.pixel(80, 50), 0x00FF00u);
    host.flash->SetBGColor("#0000ff");
    EXPECT_EQ(host.pixel(80, 50), 0x0000FFu);
    host.flash->SetBGColor("-1");
    EXPECT_EQ(host.flash->BackgroundColor(), -1);
    EXPECT_EQ(host.pixel(80, 50), 0xFF0000u);
    EXPECT_THROW(host.flash->SetBGColor("red"), gui::Exception);
    EXPECT_THROW(host.flash->SetBGColor("12345"), gui::Exception);
    EXPECT_EQ(host.flash->BackgroundColor(), -1);
}

TEST(ShockwaveFlash, ResizeRendersAtTheNewSizeAndUnchangedFramesAreNotBlitted) {
    Host host;
    host.flash->SetMovie(host.redMovie());
    host.flash->SetBounds(0, 0, 300, 120);
    EXPECT_EQ(host.flash->Surface().Width(), 300);
    EXPECT_EQ(host.flash->Surface().Height(), 120);
    EXPECT_EQ(host.pixel(299, 119), 0xFF0000u);
    std::uint64_t blitted = host.flash->FramesBlitted();
    host.flash->AdvanceClock(1.0 / 12 + 0.001); // the next frame looks the same: not blitted again
    EXPECT_EQ(host.flash->CurrentFrame(), 1);
    EXPECT_EQ(host.flash->FramesBlitted(), blitted);
    host.flash->SetBackgroundColor(0x102030); // a new look is blitted
    EXPECT_EQ(host.flash->FramesBlitted(), blitted + 1);
    EXPECT_EQ(host.pixel(0, 0), 0x102030u);
}
