#include "movie/Player.h"
#include "movie/text/TextField.h"

#include "movie/Limits.h"
#include "movie/render/FilterRecords.h"
#include "movie/script/ClipHost.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace movie {

namespace {

// Where scripts' depth 0 lies; the timeline places below it.
constexpr int32_t kScriptDepthBase = 16384;

size_t CountTree(const DisplayObjects& list) {
    size_t n = list.size();
    for (const DisplayObject& o : list)
        n += CountTree(o.children);
    return n;
}

DisplayObjects::iterator FindDepth(DisplayObjects& list, int32_t depth) {
    return std::lower_bound(list.begin(), list.end(), depth,
                            [](const DisplayObject& o, int32_t d) { return o.depth < d; });
}

// Copies what a placement gives into an object.
void ApplyProperties(DisplayObject& o, const PlaceObject& p) {
    if (p.matrix && !o.transformedByScript) o.matrix = *p.matrix;
    if (p.colorTransform && !o.transformedByScript) o.colorTransform = *p.colorTransform;
    if (p.ratio) o.ratio = *p.ratio;
    if (p.name) o.name = *p.name;
    if (p.clipDepth) o.clipDepth = *p.clipDepth;
    if (p.blendMode) o.blendMode = *p.blendMode;
    if (p.filters) o.filters = render::DecodeFilters(*p.filters);
    if (p.cacheAsBitmap) o.cacheAsBitmap = *p.cacheAsBitmap;
    if (p.opaqueBackground) o.opaqueBackground = *p.opaqueBackground;
    if (p.visible) o.visible = *p.visible;
}

// Labels match exactly, or else ignoring ASCII case.
const uint32_t* FindLabel(const Timeline& timeline, const std::string& label) {
    auto it = timeline.labels.find(label);
    if (it != timeline.labels.end()) return &it->second;
    auto lower = [](std::string s) {
        for (char& ch : s)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        return s;
    };
    std::string wanted = lower(label);
    for (const auto& [name, frame] : timeline.labels)
        if (lower(name) == wanted) return &frame;
    return nullptr;
}

} // namespace

Player::Player(std::shared_ptr<const Movie> movie) : Player(std::move(movie), nullptr) {}

Player::Player(std::shared_ptr<const Movie> movie, std::function<void(const std::string&)> trace,
               std::chrono::microseconds scriptBudget, WallClock clock)
    : movie_(std::move(movie)) {
    chain_ = 0;
    recordSounds_ = movie_->HasSound();
    script_ = std::make_unique<ScriptHost>(*this);
    script_->SetTrace(std::move(trace));
    script_->SetBudget(scriptBudget);
    script_->SetWallClock(std::move(clock));
    script_->BeginStep();
    EnterFirstFrame(Root());
    script_->RootLoaded();
    RunScripts();
}

Player::~Player() = default;

void Player::SetTraceSink(std::function<void(const std::string&)> sink) {
    script_->SetTrace(std::move(sink));
}

void Player::RunScripts() {
    script_->RunQueue();
    script_->BindTextFields();
}

double Player::FrameRate() const {
    double rate = movie_->header.frameRate;
    return rate >= 0.01 ? rate : 12.0;
}

int Player::TotalFrames() const {
    return static_cast<int>(movie_->timeline.FrameCount());
}

Player::TimelineRef Player::Root() {
    return {movie_->timeline, frame_, playing_, root_, 0, 0, script_->RootClip()};
}

void Player::GotoFrame(int frame) {
    int last = TotalFrames() - 1;
    chain_ = 0;
    script_->BeginStep();
    Goto(Root(), static_cast<uint32_t>(std::clamp(frame, 0, last)));
    RunScripts();
}

void Player::Rewind() {
    Goto(Root(), 0, Jump::Silent);
    playing_ = false;
}

int Player::Advance(double seconds) {
    if (!(seconds > 0)) return 0;
    double period = 1.0 / FrameRate();
    clock_ += seconds;
    double due = std::floor(clock_ / period);
    int steps;
    if (due > Limits::kMaxStepsPerAdvance) {
        steps = Limits::kMaxStepsPerAdvance;
        clock_ = 0;
    } else {
        steps = static_cast<int>(due);
        clock_ -= steps * period;
    }
    for (int i = 0; i < steps; ++i)
        Step();
    return steps;
}

void Player::Step() {
    // Nobody has taken the sound events of many steps: they are stale.
    if (++stepsUntaken_ > Limits::kMaxStepsPerAdvance) {
        soundEvents_.clear();
        stepsUntaken_ = 0;
    }
    chain_ = 0;
    script_->BeginStep();
    // A frame's time has passed since the last step: the timers due fire.
    script_->RunTimers(1000.0 / FrameRate());
    // The timelines step, newest first and the main one last; what a step
    // places does not step before the next tick. Then the clips that were
    // there before and still are hear enterFrame, in the same order. The
    // scripts of the frames entered run last, in the order they were reached.
    std::vector<script::Object*> before = script_->StepClips();
    TimelineRef root = Root();
    if (playing_ && root.timeline.FrameCount() > 1) {
        if (frame_ + 1 < root.timeline.FrameCount()) {
            Goto(root, frame_ + 1);
        } else if (loop_) {
            Goto(root, 0);
        } else {
            playing_ = false;
        }
    }
    script_->EnterFrame(before);
    RunScripts();
    script_->EndStep();
}

void Player::PassFrameTime() {
    chain_ = 0;
    script_->BeginStep();
    script_->RunTimers(1000.0 / FrameRate());
    RunScripts();
    script_->EndStep();
}

void Player::StepSprite(DisplayObject& o, int nesting) {
    if (!o.timeline || !o.playing || o.timeline->FrameCount() <= 1) return;
    bool last = o.currentFrame + 1 >= o.timeline->FrameCount();
    if (last && !o.timeline->complete) return; // still loading, as the player sees it
    TimelineRef ref{*o.timeline, o.currentFrame, o.playing, o.children, nesting, o.instance, o.clip};
    Goto(ref, last ? 0 : o.currentFrame + 1);
}

void Player::EnterFirstFrame(TimelineRef ref) {
    ref.frame = 0;
    if (ref.timeline.frames.empty()) return;
    QueueFrameScripts(ref, 0, false);
    ApplyFrameTags(ref, 0, true, true);
    FrameSounds(ref, 0, false);
}

void Player::QueueFrameScripts(TimelineRef ref, uint32_t frame, bool scripts) {
    const Frame& f = ref.timeline.frames[frame];
    for (const auto& [sprite, code] : f.initScripts)
        script_->QueueInit(sprite, code);
    if (scripts)
        for (const Bytecode& code : f.scripts)
            script_->QueueScript(ref.clip, code);
}

const uint32_t* Player::Label(const Timeline& timeline, const std::string& label) {
    return FindLabel(timeline, label);
}

void Player::Relink(DisplayObjects& list) {
    script_->Relink(list);
}

void Player::Detach(DisplayObject& object) {
    script_->Detach(object);
}

void Player::Goto(TimelineRef ref, uint32_t target, Jump jump) {
    uint32_t count = ref.timeline.FrameCount();
    if (count == 0) return;
    target = std::min(target, count - 1);
    if (target == ref.frame) return;
    bool run = jump != Jump::Silent;
    if (run && jump == Jump::Script && ref.timeline.frames[target].scripts.size()) {
        // Scripts that jump to scripts that jump on: only so many per step.
        if (chain_ >= Limits::kMaxActionChain)
            run = false;
        else
            ++chain_;
    }
    if (target > ref.frame) {
        // The frames passed over place and remove; the one reached also
        // queues its scripts where they stand among its tags.
        for (uint32_t f = ref.frame + 1; f <= target; ++f) {
            QueueFrameScripts(ref, f, false);
            ApplyFrameTags(ref, f, true, run && f == target);
        }
    } else {
        if (run) QueueFrameScripts(ref, target, true);
        Rebuild(ref, target);
    }
    bool natural = jump == Jump::Natural && target == ref.frame + 1;
    ref.frame = target;
    if (&ref.frame == &frame_) reached_ = std::max(reached_, target);
    FrameSounds(ref, target, natural);
}

void Player::Rebuild(TimelineRef ref, uint32_t target) {
    // Replay the placements of frames 0..target on bare objects. An object
    // that was already there (same depth, character and frame of placement)
    // stays the same object: a sprite keeps its own frame and children.
    // The others get their content now.
    DisplayObjects old = std::move(ref.list);
    objectCount_ -= std::min(objectCount_, CountTree(old));
    ref.list.clear();
    for (uint32_t f = 0; f <= target; ++f)
        ApplyFrameTags(ref, f, false);
    // Clips that scripts made or moved stay if they sit above the
    // timeline's depths; those among them go.
    for (DisplayObject& o : old) {
        if (!o.scripted || o.depth < kScriptDepthBase) continue;
        auto at = FindDepth(ref.list, o.depth);
        if (at != ref.list.end() && at->depth == o.depth) continue;
        objectCount_ += 1 + CountTree(o.children);
        ref.list.insert(at, std::move(o));
        o.clip = nullptr;
    }
    for (DisplayObject& o : ref.list) {
        if (o.scripted && !o.character) continue;
        auto it = FindDepth(old, o.depth);
        if (o.scripted) continue;
        if (it != old.end() && it->depth == o.depth && it->characterId == o.characterId &&
            it->placedFrame == o.placedFrame && !it->scripted) {
            o.children = std::move(it->children);
            o.timeline = it->timeline;
            o.currentFrame = it->currentFrame;
            o.playing = it->playing;
            o.instance = it->instance;
            o.clip = it->clip;
            it->clip = nullptr;
            objectCount_ += CountTree(o.children);
            UpdateMorph(o);
        } else {
            Instantiate(o, ref.nesting, ref.clip);
        }
    }
    for (DisplayObject& o : old)
        Detach(o);
    Relink(ref.list);
}

void Player::ApplyFrameTags(TimelineRef ref, uint32_t frame, bool instantiate, bool scripts) {
    const Frame& f = ref.timeline.frames[frame];
    size_t next = 0; // the next script to queue
    auto queueUpTo = [&](size_t tags) {
        for (; scripts && next < f.scripts.size(); ++next) {
            if (next < f.scriptAt.size() && f.scriptAt[next] > tags) break;
            script_->QueueScript(ref.clip, f.scripts[next]);
        }
    };
    for (size_t i = 0; i < f.tags.size(); ++i) {
        queueUpTo(i);
        const DisplayTag& tag = f.tags[i];
        if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
            auto it = FindDepth(ref.list, remove->depth);
            bool found = it != ref.list.end() && it->depth == remove->depth;
            // A clip kept for its unload handler waits below the timeline's depths.
            int32_t away = found ? -it->depth - 1 : 0;
            auto at = FindDepth(ref.list, away);
            bool free = at == ref.list.end() || at->depth != away;
            if (found && free && script_->KeepForUnload(*it)) {
                DisplayObject kept = std::move(*it);
                ref.list.erase(it);
                kept.depth = away;
                ref.list.insert(FindDepth(ref.list, away), std::move(kept));
                Relink(ref.list);
            } else if (found) {
                objectCount_ -= std::min(objectCount_, 1 + CountTree(it->children));
                Detach(*it);
                ref.list.erase(it);
                Relink(ref.list);
            }
        } else {
            Place(ref, std::get<PlaceObject>(tag), frame, instantiate);
        }
    }
    queueUpTo(f.tags.size());
}

void Player::Place(TimelineRef ref, const PlaceObject& p, uint32_t frame, bool instantiate) {
    auto it = FindDepth(ref.list, p.depth);
    bool occupied = it != ref.list.end() && it->depth == p.depth;
    // What scripts made or moved between depths is no longer the timeline's to move.
    if (occupied && p.move && it->scripted) return;
    if (p.characterId) {
        std::shared_ptr<const Character> character = movie_->dictionary.Get(*p.characterId);
        if (!character) return; // nothing to show
        if (occupied && p.move) {
            // Replace the character, keep the placement's other properties.
            DisplayObject& o = *it;
            if (o.characterId != *p.characterId) {
                objectCount_ -= std::min(objectCount_, CountTree(o.children));
                for (DisplayObject& child : o.children)
                    Detach(child);
                o.children.clear();
                o.timeline = nullptr;
                o.morphed.reset();
                o.characterId = *p.characterId;
                o.character = std::move(character);
                o.placedFrame = frame;
                ApplyProperties(o, p);
                if (instantiate) Instantiate(o, ref.nesting, ref.clip);
            } else {
                ApplyProperties(o, p);
                if (instantiate && p.ratio) UpdateMorph(o);
            }
            return;
        }
        if (objectCount_ >= Limits::kMaxDisplayObjects) return;
        DisplayObject o;
        o.depth = p.depth;
        o.placedFrame = frame;
        o.characterId = *p.characterId;
        o.character = std::move(character);
        ApplyProperties(o, p);
        o.clipActions = p.clipActions;
        if (occupied) {
            objectCount_ -= std::min(objectCount_, 1 + CountTree(it->children));
            Detach(*it);
            *it = std::move(o);
        } else {
            it = ref.list.insert(it, std::move(o));
            size_t index = static_cast<size_t>(it - ref.list.begin());
            Relink(ref.list);
            it = ref.list.begin() + static_cast<long>(index);
        }
        ++objectCount_;
        if (instantiate) Instantiate(*it, ref.nesting, ref.clip);
        return;
    }
    if (occupied) {
        ApplyProperties(*it, p);
        if (instantiate && p.ratio) UpdateMorph(*it);
    }
}

void Player::UpdateMorph(DisplayObject& o) {
    if (const auto* morph = std::get_if<MorphShape>(&o.character->data))
        o.morphed = std::make_shared<const Shape>(morph->At(o.ratio));
}

void Player::Instantiate(DisplayObject& o, int nesting, script::Object* parent) {
    const Character& c = *o.character;
    if (std::holds_alternative<MorphShape>(c.data)) {
        UpdateMorph(o);
        return;
    }
    if (std::holds_alternative<Video>(c.data)) {
        script_->AttachPlaced(o, parent);
        return;
    }
    if (const auto* edit = std::get_if<EditText>(&c.data)) {
        o.textField = std::make_shared<text::TextField>(*edit, movie_->dictionary);
        o.instance = ++lastInstance_; // a field can mask a sprite
        script_->AttachText(o, parent);
        return;
    }
    if (nesting + 1 > Limits::kMaxPlacementDepth) return; // too deep: shown empty
    if (const auto* sprite = std::get_if<Sprite>(&c.data)) {
        o.timeline = &sprite->timeline;
        o.currentFrame = 0;
        o.playing = true;
        o.instance = ++lastInstance_;
        o.children.clear();
        script_->Attach(o, parent, nesting + 1);
        TimelineRef ref{*o.timeline, o.currentFrame, o.playing, o.children, nesting + 1, o.instance, o.clip};
        EnterFirstFrame(ref);
    } else if (const auto* button = std::get_if<Button>(&c.data)) {
        o.children.clear();
        script::Object* self = script_->AttachPlaced(o, parent);
        for (const ButtonRecord& r : button->records) {
            if (!r.up) continue;
            std::shared_ptr<const Character> child = movie_->dictionary.Get(r.characterId);
            if (!child || objectCount_ >= Limits::kMaxDisplayObjects) continue;
            DisplayObject d;
            d.depth = r.depth;
            d.characterId = r.characterId;
            d.character = std::move(child);
            d.matrix = r.matrix;
            d.colorTransform = r.colorTransform;
            d.blendMode = r.blendMode;
            d.filters = render::DecodeFilters(r.filters);
            auto at = FindDepth(o.children, d.depth);
            if (at != o.children.end() && at->depth == d.depth) continue; // first one at a depth wins
            at = o.children.insert(at, std::move(d));
            // The insert may move the states placed before: their clips follow.
            Relink(o.children);
            ++objectCount_;
            Instantiate(*at, nesting + 1, self);
        }
    }
}

// However many timelines a frame step enters, the events kept stay bounded.
constexpr size_t kMaxSoundEvents = 4096;

std::vector<SoundEvent> Player::TakeSoundEvents() {
    stepsUntaken_ = 0;
    return std::exchange(soundEvents_, {});
}

std::vector<uint32_t> Player::PlayingStreams() const {
    std::vector<uint32_t> playing;
    if (movie_->timeline.streamHead && playing_) playing.push_back(0);
    auto walk = [&](auto&& self, const DisplayObjects& list) -> void {
        for (const DisplayObject& o : list) {
            if (o.timeline && o.timeline->streamHead && o.playing) playing.push_back(o.instance);
            self(self, o.children);
        }
    };
    walk(walk, root_);
    return playing;
}

void Player::FrameSounds(TimelineRef ref, uint32_t frame, bool natural) {
    if (!recordSounds_ || soundEvents_.size() >= kMaxSoundEvents) return;
    const Frame& f = ref.timeline.frames[frame];
    for (const StartSound& s : f.sounds)
        soundEvents_.push_back({SoundEvent::Kind::Start, &s, ref.instance, &ref.timeline, frame, natural});
    if (ref.timeline.streamHead)
        soundEvents_.push_back(
            {SoundEvent::Kind::StreamFrame, nullptr, ref.instance, &ref.timeline, frame, natural});
}

} // namespace movie
