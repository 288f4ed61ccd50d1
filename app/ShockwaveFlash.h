// The movie control of the player window: a child window that loads a movie
// file, plays it on its own frame clock and paints every new frame from an
// off-screen picture in one blit, the whole stage visible and centred
// ("ShowAll"), anti-aliased ("High"), in a window of its own ("Window").
// Frames are numbered from 0.
#pragma once

#include "app/FrameSurface.h"
#include "app/GdiFonts.h"
#include "app/MovieControl.h"

#include "gui/WinControl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace movie {
class Player;
namespace audio {
class MovieSound;
}
} // namespace movie

class SoundOutput;

class MovieFrameRenderer;

class TShockwaveFlash : public gui::WinControl, public MovieControl {
  public:
    // The state the control is created from, as a layout stores it.
    struct DesignState {
        std::string WMode = "Window";
        std::string Quality2 = "High";
        std::string Scale = "ShowAll";
        std::string Movie;
        std::string BGColor;
    };

    explicit TShockwaveFlash(gui::Component* owner);
    TShockwaveFlash(gui::Component* owner, const DesignState& state);
    ~TShockwaveFlash() override;

    // --- design state: only the values the control honours are accepted ----
    const std::string& WMode() const { return wmode_; }
    void SetWMode(const std::string& mode);
    const std::string& Quality2() const { return quality_; }
    void SetQuality2(const std::string& quality);
    const std::string& Scale() const { return scale_; }
    void SetScale(const std::string& scale);

    // --- background: -1 (or "-1", or "") is the movie's own ----------------
    // 0xRRGGBB, or -1.
    std::int32_t BackgroundColor() const;
    void SetBackgroundColor(std::int32_t rgb);
    // "-1", or six hexadecimal digits RRGGBB (a leading "#" is allowed).
    std::string BGColor() const;
    void SetBGColor(const std::string& text);

    // --- the movie ---------------------------------------------------------
    const std::string& Movie() const { return moviePath_; }
    // Loads the file and shows its first frame, playing. A file that cannot
    // be read raises an error naming the file and the reason; the control
    // keeps what it had.
    void SetMovie(const std::string& path);
    bool Loop() const { return loop_; }
    void SetLoop(bool loop);
    bool Playing() const;
    void Play() override;
    // Stops the movie and ends its sound at once (what the device still
    // holds is dropped); Play starts both again.
    void Stop();
    // The current frame; -1 with no movie.
    std::int32_t CurrentFrame() override;
    // Beyond the last frame goes to the last one; before the first, to the first.
    void GotoFrame(std::int32_t frame) override;
    // 0 with no movie.
    std::int32_t TotalFrames() override;
    // Back to the first frame, playing on if it was playing.
    void Rewind() override;

    // The frames painted to the window so far (a frame unchanged since the
    // last paint is not painted again).
    std::uint64_t FramesBlitted() const { return framesBlitted_; }
    // The off-screen picture of the current frame.
    const FrameSurface& Surface() const { return surface_; }
    // The movie being played, for views of it elsewhere; null with none.
    const movie::Player* MoviePlayer() const { return player_.get(); }
    // The colour set in place of the movie's own, if any.
    std::optional<std::uint32_t> BackgroundOverride() const { return background_; }

    // While the display is off the clock runs on but nothing is drawn or
    // blitted; when it comes back the current frame is drawn whole.
    bool DisplayOn() const { return displayOn_; }
    void SetDisplayOn(bool on);
    // Raised after each frame the control has had drawn (with force: drawn
    // whole), so that views of the same movie follow it.
    std::function<void(bool force)> OnFrame;
    // Lets the movie's clock run `seconds` on and paints if a new frame is
    // due (the frame clock calls it; tests drive it directly).
    void AdvanceClock(double seconds);

    // The movie's sound, mixed from what its frames ask for; played through
    // the wave mapper while the frame clock runs. Null with no movie.
    movie::audio::MovieSound* Sound() const { return sound_.get(); }
    // True while the sound output has a device open.
    bool SoundPlaying() const;
    // The volume the sound plays at, a wave-out volume word (left channel in
    // the low 16 bits, right in the high ones); full at first.
    std::uint32_t SoundVolume() const { return soundVolume_; }
    void SetSoundVolume(std::uint32_t volume);

  protected:
    void CreateParamsFor(CreateParams& params) override;
    void CreateHandle() override;
    void DestroyWnd() override;
    void WndProc(gui::Message& msg) override;
    void PaintWindow(HDC dc) override;
    void EraseBackground(HDC dc) override;
    void BoundsChanged(bool moved, bool resized) override;

  private:
    void applyDesignState(const DesignState& state);
    // Renders the current frame off screen at the window's size; true when
    // the picture changed, `changed` being the part that did.
    bool renderFrame(bool force, RECT& changed);
    // Renders and, when the picture changed, blits it to the window.
    void present(bool force);
    void startClock();
    void stopClock();
    void onClockTick();
    // Takes what the frames entered ask of the sound.
    void updateSound();
    void startSound();
    void stopSound();
    std::uint32_t backgroundPixel() const;

    std::string wmode_ = "Window";
    std::string quality_ = "High";
    std::string scale_ = "ShowAll";
    std::string moviePath_;
    std::optional<std::uint32_t> background_; // 0xRRGGBB set by the host; none = the movie's own
    bool loop_ = true;

    std::shared_ptr<GdiFonts> fonts_; // the system's fonts, for text fields that do not embed theirs
    std::unique_ptr<movie::Player> player_;
    std::unique_ptr<movie::audio::MovieSound> sound_;
    std::unique_ptr<SoundOutput> output_; // open while the clock runs
    std::uint32_t soundVolume_ = 0xFFFFFFFF;
    std::unique_ptr<MovieFrameRenderer> renderer_;
    FrameSurface surface_;
    bool clockRunning_ = false;
    std::int64_t lastTick_ = 0;
    std::uint64_t framesBlitted_ = 0;
    bool displayOn_ = true;
    bool missedFrames_ = false;
};
