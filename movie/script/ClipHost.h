// The player's side of scripting: one script object per sprite, the queue of
// frame scripts and clip events, enterFrame, timers, and the MovieClip
// methods and properties scripts use.
#pragma once

#include "movie/DisplayList.h"
#include "movie/Player.h"
#include "movie/script/Vm.h"

#include <deque>
#include <memory>
#include <set>

namespace movie {

namespace script {
class ClipObject;
// The index of a clip property ("_x" 0 ... "_ymouse" 21) by its name, any
// case; -1 for other names.
int ClipPropertyIndex(const std::string& name);
} // namespace script

class ScriptHost : public script::Host {
  public:
    explicit ScriptHost(Player& player);
    ~ScriptHost() override;

    void SetTrace(std::function<void(const std::string&)> sink) { vm_->SetTrace(std::move(sink)); }
    script::Object* RootClip();
    // The main timeline's own transform, look and visibility, as scripts set them.
    DisplayObject* RootProps();
    void SetBudget(std::chrono::microseconds budget) { vm_->SetBudget(budget); }
    void SetWallClock(WallClock clock) { vm_->clock = std::move(clock); }
    // Gives a newly placed sprite its script object and queues its load event.
    void Attach(DisplayObject& o, script::Object* parent, int nesting);
    // An object leaves the display list: it and its children unload.
    void Detach(DisplayObject& o);
    // The timeline takes off an object: a clip with an unload handler stays
    // until the next step (the caller moves it below the timeline's depths)
    // and its unload events are queued; false when it goes now.
    bool KeepForUnload(DisplayObject& o);
    // The objects of a list moved in memory: their script objects follow.
    void Relink(DisplayObjects& list);
    void QueueScript(script::Object* clip, const Bytecode& code);
    void QueueInit(uint16_t sprite, const Bytecode& code);
    // The main timeline's first frame is in place: its load event follows.
    void RootLoaded();
    void BeginStep();
    // Sprites step their timelines, newest first; returns the clips that
    // were there, the main timeline last.
    std::vector<script::Object*> StepClips();
    // Those of `clips` not removed since hear enterFrame.
    void EnterFrame(const std::vector<script::Object*>& clips);
    void RunQueue();
    // `ms` milliseconds pass: the timers due fire.
    void RunTimers(double ms);
    void EndStep();
    // The names of a clip's child clips, lowest depth first.
    void ChildNames(script::Object* clip, std::vector<std::string>& out);
    // Text fields show the variables they are bound to.
    void BindTextFields();
    // Gives a newly placed text field its script object.
    void AttachText(DisplayObject& o, script::Object* parent);
    // Gives a newly placed button or video its script object (a button's is
    // the parent of what its states show).
    script::Object* AttachPlaced(DisplayObject& o, script::Object* parent);
    // The platform's fonts the fields are drawn with (may be null).
    text::DeviceFonts* DeviceFontSource() const { return player_.DeviceFontSource(); }

    // Host
    bool IsClip(script::Object* o) override;
    script::Object* Root() override;
    script::Object* ParentOf(script::Object* clip) override;
    script::Object* ChildNamed(script::Object* clip, const std::string& name, bool caseless) override;
    std::string TargetPath(script::Object* clip) override;
    std::string SlashPath(script::Object* clip) override;
    script::Value GetClipProperty(script::Object* clip, int index) override;
    void SetClipProperty(script::Object* clip, int index, const script::Value& v) override;
    void GotoFrame(script::Object* clip, const script::Value& frame, bool play, int bias) override;
    void Play(script::Object* clip, bool play) override;
    void StepFrame(script::Object* clip, int delta) override;
    bool FrameLoaded(script::Object* clip, const script::Value& frame) override;
    void CallFrame(script::Object* clip, const std::string& frame) override;
    void Clone(script::Object* clip, const std::string& name, int depth) override;
    void Remove(script::Object* clip) override;
    void Log(const std::string& what) override;
    bool Removed(script::Object* clip) override;
    DisplayObject* Placement(script::Object* clip) override;
    Rect Bounds(script::Object* clip) override;
    script::Object* Live(script::Object* o) override;
    bool IsPlaced(script::Object* o) override;

  private:
    struct Job {
        script::Object* clip;
        Bytecode code;      // a frame script, or
        uint32_t event;     // a clip event (its flag) with
        std::string method; // its handler method
    };
    void InstallClipClass();
    void InstallColorClass();
    void InstallStage();
    // The drawing API and setMask (DrawingApi.cpp).
    void InstallDrawingApi(script::Object* proto);
    // A clip's drawing, made when first asked for; null for a clip no longer shown.
    Drawing* DrawingOf(script::Object* clip);
    // A clip's display object; null for the main timeline and a clip no longer shown.
    DisplayObject* DisplayOf(script::Object* clip);
    Rect RootBounds(bool edges = false);
    void InstallTextFieldMethods();
    DisplayObjects* ListOf(script::ClipObject* c);
    Player::TimelineRef RefOf(script::ClipObject* c);
    script::ClipObject* Clip(script::Object* o);
    script::Object* NewClipAt(script::ClipObject* parent, std::shared_ptr<const Character> character,
                              uint16_t id, const std::string& name, int depth, script::Object* init,
                              const DisplayObject* copyOf);
    // What runs first: init actions and initialize events, then construct
    // events and class constructors, then everything else in order.
    enum Level { kInit, kConstruct, kNormal, kLevels };
    void Queue(Level level, Job job) { queues_[level].push_back(std::move(job)); }
    void RunEvent(const Job& job);
    // The clips in the order they were made, without those removed.
    std::vector<script::ClipObject*>& Order();
    void BindTextFields(DisplayObjects& list, script::Object* timeline, int nesting);
    void BindTextField(text::TextField& field, script::Object* timeline);
    void Collect();
    // Takes off the clips kept for their unload handlers.
    void DropUnloaded();
    // The clip's bounds in the space of `space` (a clip or a path; its own when undefined).
    script::Value Bounds(script::ClipObject* c, const script::Value& space, bool edges);
    Matrix GlobalMatrix(script::ClipObject* c);

    Player& player_;
    std::unique_ptr<script::Vm> vm_;
    script::ClipObject* root_ = nullptr;
    std::deque<Job> queues_[kLevels];
    std::vector<script::ClipObject*> order_;
    std::vector<script::ClipObject*> kept_;
    std::set<uint16_t> initDone_;
    std::set<std::string> logged_;
    std::shared_ptr<const Character> emptySprite_;
    // The player's settings scripts reach through every clip.
    std::string quality_ = "HIGH";
    bool focusRect_ = true;
    int32_t soundBufTime_ = 5;
    // What scripts set of the stage: its alignment, scale mode and menu.
    std::string stageAlign_;
    std::string stageScaleMode_ = "showAll";
    bool stageShowMenu_ = true;
    int steps_ = 0;
};

} // namespace movie
