// Plays a movie's timeline: the API of the screen saver's movie control.
//
// Frames are numbered from 0. A new player shows frame 0 and plays. The
// caller drives the clock with Advance(); each frame step (one per
// 1/frameRate seconds) moves every playing timeline (main and sprites) on
// by one frame and runs the timeline actions of the frames entered.
//
// How the timeline behaves:
// - A frame's placements, removals and actions come in file order: the
//   actions are queued where they stand (a sprite placed before them queues
//   its first frame's first) and run once the step is done. Frames passed
//   over by a jump have their placements applied but their actions
//   skipped; a jump to an earlier frame replays frames 0..n.
// - A placement without "move" on an occupied depth replaces what is there;
//   a "move" with a new character swaps the character and keeps the other
//   properties; a "move" on an empty depth places when it names a character.
// - Sprites start at their frame 0 when placed, loop, and step from the
//   tick after, the newest first and the main timeline last; a one-frame timeline does not step (its script
//   runs once). An object that a jump back (or the loop to frame 0) finds placed by the same frame stays as
//   it was: a sprite there plays on undisturbed.
// - Scripts: Stop, Play; NextFrame, PreviousFrame, GotoFrame and GotoLabel
//   also stop; GotoFrame2 plays or stops as it says. Unknown labels and
//   frames beyond the last (clamped) do no harm.
#pragma once

#include "movie/DisplayList.h"
#include "movie/Limits.h"
#include "movie/Movie.h"
#include "movie/WallClock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace movie {

// A sound the timelines ask for as their frames are entered.
struct SoundEvent {
    enum class Kind : uint8_t {
        Start,      // a frame's StartSound: `start`
        StreamFrame // a timeline with a stream entered `frame`
    };
    Kind kind = Kind::Start;
    const StartSound* start = nullptr;
    uint32_t instance = 0; // whose timeline: 0 for the main one, else a sprite's DisplayObject::instance
    const Timeline* timeline = nullptr;
    uint32_t frame = 0;
    bool natural = false; // entered by playing on from the frame before
};

class ScriptHost;
namespace script {
class Object;
}
namespace text {
class DeviceFonts;
}

class Player {
  public:
    explicit Player(std::shared_ptr<const Movie> movie);
    // With a sink for the movie's trace() lines, the time the scripts of
    // one frame step may take before they are stopped and the clock their
    // dates read, all in force from the first frame on.
    Player(std::shared_ptr<const Movie> movie, std::function<void(const std::string&)> trace,
           std::chrono::microseconds scriptBudget = Limits::kScriptTimePerFrame,
           WallClock clock = WallClock::System());
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Where the movie's trace() lines go (nowhere unless set).
    void SetTraceSink(std::function<void(const std::string&)> sink);

    const Movie& GetMovie() const { return *movie_; }
    RGBA BackgroundColor() const { return movie_->background; }
    Rect Stage() const { return movie_->header.stage; }
    // Frames per second the clock runs at (the file's rate; a rate of 0 is
    // taken as 12).
    double FrameRate() const;

    int TotalFrames() const;
    int CurrentFrame() const { return static_cast<int>(frame_); }
    // Moves the main timeline to `frame` (clamped into 0..TotalFrames()-1)
    // and runs that frame's actions. Keeps playing or stopped as it was,
    // unless those actions say otherwise (they may also jump on). An earlier frame is reached by
    // rebuilding the display list from frame 0.
    void GotoFrame(int frame);
    void Play() { playing_ = true; }
    void Stop() { playing_ = false; }
    bool IsPlaying() const { return playing_; }
    // With loop (the default) the main timeline goes from its last frame to
    // frame 0; without, it stops on the last frame.
    bool Loop() const { return loop_; }
    void SetLoop(bool loop) { loop_ = loop; }
    // Frame 0, stopped (frame 0's actions are not run).
    void Rewind();

    // Lets `seconds` of time pass; runs the frame steps that fall due (at
    // most Limits::kMaxStepsPerAdvance; time beyond is dropped) and returns
    // how many it ran. Sprites step even while the main timeline is stopped.
    int Advance(double seconds);
    // One frame step now, whatever the clock: a frame's time passes (the
    // scripts' timers due in it fire), then the timelines step.
    void Step();
    // A frame's time passes without a step: only the timers due fire.
    void PassFrameTime();

    // In a movie with sound, entering frames records what they ask for, to
    // be taken (and so cleared) by whoever plays the sound; the events of
    // more frame steps than one Advance() runs are not kept for a host that
    // does not take them.
    std::vector<SoundEvent> TakeSoundEvents();
    // The timelines with a sound stream that play now, by instance.
    std::vector<uint32_t> PlayingStreams() const;

    // The platform's fonts, for text fields that do not embed theirs; none
    // until set (such text is then not drawn).
    text::DeviceFonts* DeviceFontSource() const { return deviceFonts_.get(); }
    void SetDeviceFonts(std::shared_ptr<text::DeviceFonts> fonts) { deviceFonts_ = std::move(fonts); }

    // The main timeline's display list, ordered by depth.
    const DisplayObjects& DisplayList() const { return root_; }
    // What scripts drew on the main timeline, below its display list (null
    // when they drew nothing there).
    const Drawing* RootDrawing() const { return rootDrawing_.get(); }
    // The main timeline's own matrix, colour transform and visibility (set
    // by scripts; the stage's by default).
    const DisplayObject& RootPlacement() const { return rootPlacement_; }
    // Whether scripts ever made one sprite the mask of another.
    bool HasScriptMasks() const { return scriptMasks_; }

  private:
    friend class ScriptHost;
    // A timeline being played: the main one or a sprite's.
    struct TimelineRef {
        const Timeline& timeline;
        uint32_t& frame;
        bool& playing;
        DisplayObjects& list;
        int nesting;                    // how deep `list` sits inside sprites and buttons
        uint32_t instance = 0;          // DisplayObject::instance; 0 for the main timeline
        script::Object* clip = nullptr; // the timeline's script object
    };

    TimelineRef Root();
    void EnterFirstFrame(TimelineRef ref);
    enum class Jump { Natural, Script, Silent }; // whose jump; Silent runs no actions
    void Goto(TimelineRef ref, uint32_t target, Jump jump = Jump::Natural);
    void Rebuild(TimelineRef ref, uint32_t target);
    void ApplyFrameTags(TimelineRef ref, uint32_t frame, bool instantiate = true, bool scripts = false);
    void Place(TimelineRef ref, const PlaceObject& place, uint32_t frame, bool instantiate);
    void Instantiate(DisplayObject& object, int nesting, script::Object* parent);
    void UpdateMorph(DisplayObject& object);
    void QueueFrameScripts(TimelineRef ref, uint32_t frame, bool scripts);
    void StepSprite(DisplayObject& object, int nesting);
    void FrameSounds(TimelineRef ref, uint32_t frame, bool natural);
    void Relink(DisplayObjects& list);
    void Detach(DisplayObject& object);
    void RunScripts();
    static const uint32_t* Label(const Timeline& timeline, const std::string& label);

    std::shared_ptr<const Movie> movie_;
    DisplayObjects root_;
    std::shared_ptr<Drawing> rootDrawing_;
    DisplayObject rootPlacement_;
    bool scriptMasks_ = false;
    uint32_t frame_ = 0;
    uint32_t reached_ = 0; // the furthest frame of the main timeline entered so far
    bool playing_ = true;
    bool loop_ = true;
    double clock_ = 0;       // seconds not yet turned into frame steps
    size_t objectCount_ = 0; // display objects alive, all levels
    int chain_ = 0;          // script-made jumps whose actions ran in this step or call
    uint32_t lastInstance_ = 0;
    bool recordSounds_ = false; // the movie has sound
    std::vector<SoundEvent> soundEvents_;
    int stepsUntaken_ = 0; // frame steps since the events were last taken
    std::unique_ptr<ScriptHost> script_;
    std::shared_ptr<text::DeviceFonts> deviceFonts_;
};

} // namespace movie
