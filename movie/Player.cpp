#include "movie/Player.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace movie {

// One timeline being played: the main one or a sprite's.
struct Player::TimelineRef {
    const Timeline& timeline;
    uint32_t& frame;
    bool& playing;
    DisplayObjects& list;
    int nesting; // how deep `list` sits inside sprites and buttons
    uint32_t instance = 0;
};

namespace {

size_t CountTree(const DisplayObjects& list) {
    size_t n = list.size();
    for (const DisplayObject& o : list) n += CountTree(o.children);
    return n;
}

DisplayObjects::iterator FindDepth(DisplayObjects& list, uint16_t depth) {
    return std::lower_bound(list.begin(), list.end(), depth,
                            [](const DisplayObject& o, uint16_t d) { return o.depth < d; });
}

// Copies what a placement gives into an object.
void ApplyProperties(DisplayObject& o, const PlaceObject& p) {
    if (p.matrix) o.matrix = *p.matrix;
    if (p.colorTransform) o.colorTransform = *p.colorTransform;
    if (p.ratio) o.ratio = *p.ratio;
    if (p.name) o.name = *p.name;
    if (p.clipDepth) o.clipDepth = *p.clipDepth;
    if (p.blendMode) o.blendMode = *p.blendMode;
    if (p.filters) o.filters = *p.filters;
    if (p.cacheAsBitmap) o.cacheAsBitmap = *p.cacheAsBitmap;
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

Player::Player(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)) {
    chain_ = 0;
    recordSounds_ = !movie_->sounds.empty() || movie_->timeline.streamHead;
    for (const auto& [id, c] : movie_->dictionary.All())
        if (const auto* sprite = std::get_if<Sprite>(&c->data); sprite && sprite->timeline.streamHead) recordSounds_ = true;
    EnterFirstFrame(Root());
}

double Player::FrameRate() const {
    double rate = movie_->header.frameRate;
    return rate >= 0.01 ? rate : 12.0;
}

int Player::TotalFrames() const { return static_cast<int>(movie_->timeline.FrameCount()); }

Player::TimelineRef Player::Root() { return {movie_->timeline, frame_, playing_, root_, 0}; }

void Player::GotoFrame(int frame) {
    int last = TotalFrames() - 1;
    chain_ = 0;
    Goto(Root(), static_cast<uint32_t>(std::clamp(frame, 0, last)));
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
    for (int i = 0; i < steps; ++i) Step();
    return steps;
}

void Player::Step() {
    chain_ = 0;
    // Sprites already on stage step first (innermost first), then the main
    // timeline, so nothing steps in the tick it was placed.
    StepSprites(root_, 1);
    TimelineRef root = Root();
    if (!playing_ || root.timeline.FrameCount() <= 1) return;
    if (frame_ + 1 < root.timeline.FrameCount()) {
        Goto(root, frame_ + 1);
    } else if (loop_) {
        Goto(root, 0);
    } else {
        playing_ = false;
    }
}

void Player::StepSprites(DisplayObjects& list, int nesting) {
    for (size_t i = 0; i < list.size(); ++i) {
        StepSprites(list[i].children, nesting + 1);
        DisplayObject& o = list[i];
        if (!o.timeline || !o.playing || o.timeline->FrameCount() <= 1) continue;
        TimelineRef ref{*o.timeline, o.currentFrame, o.playing, o.children, nesting, o.instance};
        Goto(ref, o.currentFrame + 1 < o.timeline->FrameCount() ? o.currentFrame + 1 : 0);
    }
}

void Player::EnterFirstFrame(TimelineRef ref) {
    ref.frame = 0;
    ApplyFrameTags(ref, 0);
    FrameSounds(ref, 0, false);
    RunActions(ref, ref.timeline.frames.empty() ? nullptr : &ref.timeline.frames[0].actions);
}

void Player::Goto(TimelineRef ref, uint32_t target, Jump jump) {
    uint32_t count = ref.timeline.FrameCount();
    if (count == 0) return;
    target = std::min(target, count - 1);
    if (target == ref.frame) return;
    if (target > ref.frame) {
        for (uint32_t f = ref.frame + 1; f <= target; ++f) ApplyFrameTags(ref, f);
    } else {
        Rebuild(ref, target);
    }
    bool natural = jump == Jump::Natural && target == ref.frame + 1;
    ref.frame = target;
    FrameSounds(ref, target, natural);
    const std::vector<Action>& actions = ref.timeline.frames[target].actions;
    if (actions.empty() || jump == Jump::Silent) return;
    if (jump == Jump::Script) {
        // Scripts that jump to scripts that jump on: only so many per step.
        if (chain_ >= Limits::kMaxActionChain) return;
        ++chain_;
    }
    RunActions(ref, &actions);
}

void Player::Rebuild(TimelineRef ref, uint32_t target) {
    // Replay the placements of frames 0..target on bare objects. An object
    // that was already there (same depth, character and frame of placement)
    // stays the same object: a sprite keeps its own frame and children.
    // The others get their content now.
    DisplayObjects old = std::move(ref.list);
    objectCount_ -= std::min(objectCount_, CountTree(old));
    ref.list.clear();
    for (uint32_t f = 0; f <= target; ++f) ApplyFrameTags(ref, f, false);
    for (DisplayObject& o : ref.list) {
        auto it = FindDepth(old, o.depth);
        if (it != old.end() && it->depth == o.depth && it->characterId == o.characterId &&
            it->placedFrame == o.placedFrame) {
            o.children = std::move(it->children);
            o.timeline = it->timeline;
            o.currentFrame = it->currentFrame;
            o.playing = it->playing;
            o.instance = it->instance;
            objectCount_ += CountTree(o.children);
            UpdateMorph(o);
        } else {
            Instantiate(o, ref.nesting);
        }
    }
}

void Player::ApplyFrameTags(TimelineRef ref, uint32_t frame, bool instantiate) {
    for (const DisplayTag& tag : ref.timeline.frames[frame].tags) {
        if (const auto* remove = std::get_if<RemoveObject>(&tag)) {
            auto it = FindDepth(ref.list, remove->depth);
            if (it != ref.list.end() && it->depth == remove->depth) {
                objectCount_ -= std::min(objectCount_, 1 + CountTree(it->children));
                ref.list.erase(it);
            }
        } else {
            Place(ref, std::get<PlaceObject>(tag), frame, instantiate);
        }
    }
}

void Player::Place(TimelineRef ref, const PlaceObject& p, uint32_t frame, bool instantiate) {
    auto it = FindDepth(ref.list, p.depth);
    bool occupied = it != ref.list.end() && it->depth == p.depth;
    if (p.characterId) {
        std::shared_ptr<const Character> character = movie_->dictionary.Get(*p.characterId);
        if (!character) return; // nothing to show
        if (occupied && p.move) {
            // Replace the character, keep the placement's other properties.
            DisplayObject& o = *it;
            if (o.characterId != *p.characterId) {
                objectCount_ -= std::min(objectCount_, CountTree(o.children));
                o.children.clear();
                o.timeline = nullptr;
                o.morphed.reset();
                o.characterId = *p.characterId;
                o.character = std::move(character);
                o.placedFrame = frame;
                ApplyProperties(o, p);
                if (instantiate) Instantiate(o, ref.nesting);
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
        if (occupied) {
            objectCount_ -= std::min(objectCount_, 1 + CountTree(it->children));
            *it = std::move(o);
        } else {
            it = ref.list.insert(it, std::move(o));
        }
        ++objectCount_;
        if (instantiate) Instantiate(*it, ref.nesting);
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

void Player::Instantiate(DisplayObject& o, int nesting) {
    const Character& c = *o.character;
    if (std::holds_alternative<MorphShape>(c.data)) {
        UpdateMorph(o);
        return;
    }
    if (nesting + 1 > Limits::kMaxPlacementDepth) return; // too deep: shown empty
    if (const auto* sprite = std::get_if<Sprite>(&c.data)) {
        o.timeline = &sprite->timeline;
        o.currentFrame = 0;
        o.playing = true;
        o.instance = ++lastInstance_;
        o.children.clear();
        TimelineRef ref{*o.timeline, o.currentFrame, o.playing, o.children, nesting + 1, o.instance};
        EnterFirstFrame(ref);
    } else if (const auto* button = std::get_if<Button>(&c.data)) {
        o.children.clear();
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
            d.filters = r.filters;
            auto at = FindDepth(o.children, d.depth);
            if (at != o.children.end() && at->depth == d.depth) continue; // first one at a depth wins
            at = o.children.insert(at, std::move(d));
            ++objectCount_;
            Instantiate(*at, nesting + 1);
        }
    }
}

// Keeps the events of a few seconds' frames at most for a host that takes them late.
constexpr size_t kMaxSoundEvents = 4096;

std::vector<SoundEvent> Player::TakeSoundEvents() { return std::exchange(soundEvents_, {}); }

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
    for (const StartSound& s : f.sounds) soundEvents_.push_back({SoundEvent::Kind::Start, &s, ref.instance, &ref.timeline, frame, natural});
    if (ref.timeline.streamHead)
        soundEvents_.push_back({SoundEvent::Kind::StreamFrame, nullptr, ref.instance, &ref.timeline, frame, natural});
}

void Player::RunActions(TimelineRef ref, const std::vector<Action>* actions) {
    if (!actions) return;
    for (const Action& a : *actions) {
        switch (a.kind) {
        case Action::Kind::Stop: ref.playing = false; break;
        case Action::Kind::Play: ref.playing = true; break;
        case Action::Kind::NextFrame:
            ref.playing = false;
            Goto(ref, ref.frame + 1, Jump::Script);
            break;
        case Action::Kind::PreviousFrame:
            ref.playing = false;
            if (ref.frame > 0) Goto(ref, ref.frame - 1, Jump::Script);
            break;
        case Action::Kind::GotoFrame:
            ref.playing = false;
            Goto(ref, a.frame, Jump::Script);
            break;
        case Action::Kind::GotoFrame2:
            ref.playing = a.play;
            Goto(ref, a.frame, Jump::Script);
            break;
        case Action::Kind::GotoLabel: {
            const uint32_t* frame = FindLabel(ref.timeline, a.label);
            if (!frame) break; // unknown labels are ignored
            ref.playing = a.play;
            Goto(ref, *frame, Jump::Script);
            break;
        }
        }
    }
}

} // namespace movie
