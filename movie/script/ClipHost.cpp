#include "movie/script/ClipHost.h"

#include "movie/Limits.h"
#include "movie/script/FilterClasses.h"
#include "movie/script/GeomClasses.h"
#include "movie/script/TextFieldClass.h"
#include "movie/text/TextField.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <utility>

namespace movie {

namespace script {

// A sprite (or the main timeline) as scripts see it.
class ClipObject : public Object {
  public:
    ScriptHost* host = nullptr;
    DisplayObject* display = nullptr; // null for the main timeline and once removed
    bool isRoot = false;
    bool removed = false;
    bool unloading = false; // its unload handlers run: it still stands for itself
    bool lockRoot = false;
    bool kept = false;  // taken off by the timeline, kept until the next step for its unload handler
    bool fresh = false; // made empty by a script and not stepped yet: on no frame
    Value constructor;  // its registered class, between taking its prototype and being constructed
    Object* parent = nullptr;
    int nesting = 0;
    std::vector<ClipAction> actions;
    std::string name; // its instance name once removed
    // The scale and rotation scripts last gave it (signs, angles past a
    // half turn), good while its matrix is the one made from them.
    struct Turn {
        double xscale = 100, yscale = 100, rotation = 0, skew = 0; // percent, degrees
        Matrix made;
    };
    std::optional<Turn> turn;

    // Its transform and look; the main timeline's are the player's.
    DisplayObject* Props() { return isRoot ? host->RootProps() : display; }

    bool GetSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool SetSpecial(Vm& vm, const std::string& name, const Value& v) override;
    // Its child clips are enumerated as properties, before its own, lowest depth first.
    void SpecialKeys(std::vector<std::string>& out) override { host->ChildNames(this, out); }
    void Trace(std::vector<Object*>& out) override {
        Object::Trace(out);
        if (parent) out.push_back(parent);
        if (constructor.IsObject()) out.push_back(constructor.o);
    }
};

namespace {

const char* const kPropertyNames[] = {
    "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
    "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
    "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
    "_ymouse"};

} // namespace

int ClipPropertyIndex(const std::string& name) {
    if (name.empty() || name[0] != '_') return -1;
    for (int i = 0; i < 22; ++i)
        if (CaselessEqual(name, kPropertyNames[i])) return i;
    return -1;
}

bool ClipObject::GetSpecial(Vm& vm, const std::string& name, Value& out) {
    if (removed && !unloading) {
        Object* live = host->Live(this);
        out = live ? vm.Get(live, name) : Value();
        return true;
    }
    if (DisplayObject* o = Props(); o && vm.Version() >= 8 && GetDisplayProperty(vm, *o, name, out))
        return true;
    if (vm.Version() >= 8 && name == "transform") {
        out = TransformOf(vm, this);
        return true;
    }
    if (name.empty() || name[0] != '_') return false;
    int index = ClipPropertyIndex(name);
    if (index >= 0) {
        out = host->GetClipProperty(this, index);
        return true;
    }
    if (vm.Version() < 5) return false; // SWF 4 knows these names only in paths
    // A variable a script set under one of these names hides it.
    if (FindOwn(name, vm.Caseless())) return false;
    // Unlike the properties above, these names keep their case from SWF 7 on.
    auto is = [&](const char* word) { return vm.Caseless() ? CaselessEqual(name, word) : name == word; };
    if (is("_parent")) {
        out = parent ? Value(parent) : Value();
        return true;
    }
    if (is("_root")) {
        out = Value(host->Root());
        return true;
    }
    if (int level = vm.LevelNumber(name); level >= 0) {
        Object* o = vm.Level(level);
        out = o ? Value(o) : Value();
        return true;
    }
    if (is("_global") && vm.Version() >= 6) {
        out = Value(vm.global);
        return true;
    }
    if (is("_lockroot")) {
        out = Value(lockRoot);
        return true;
    }
    return false;
}

bool ClipObject::SetSpecial(Vm& vm, const std::string& name, const Value& v) {
    if (removed && !unloading) {
        if (Object* live = host->Live(this)) vm.Set(live, name, v);
        return true;
    }
    if (DisplayObject* o = Props(); o && vm.Version() >= 8 && SetDisplayProperty(vm, *o, name, v))
        return true;
    if (vm.Version() >= 8 && name == "transform") {
        SetTransformFrom(vm, this, v);
        return true;
    }
    int index = ClipPropertyIndex(name);
    if (index < 0) {
        if (vm.Version() < 5 || !(vm.Caseless() ? CaselessEqual(name, "_lockroot") : name == "_lockroot"))
            return false;
        lockRoot = vm.ToBool(v);
        return true;
    }
    host->SetClipProperty(this, index, v);
    return true;
}

} // namespace script

using script::Args;
using script::ClipObject;
using script::Object;
using script::Value;
using script::Vm;

namespace {

constexpr uint32_t kEventLoad = 0x01;
constexpr uint32_t kEventEnterFrame = 0x02;
constexpr uint32_t kEventUnload = 0x04;
constexpr uint32_t kEventInitialize = 0x200;
constexpr uint32_t kEventConstruct = 0x40000;
constexpr uint32_t kRunConstructor = 0x80000000u; // a registered class's constructor
constexpr uint32_t kSetClass = 0x40000000u;       // the clip takes its registered class's prototype

Value Arg(Args& a, size_t i) {
    return i < a.size() ? a[i] : Value();
}

// Scripts count depths from the timeline's 16384 lower, up to a limit.
constexpr int32_t kDepthOffset = 16384;
constexpr int32_t kMaxScriptDepth = 2130690044;
constexpr int32_t kMaxRemovableDepth = 2130690031;
bool ScriptDepth(int32_t d) {
    return d >= -kDepthOffset && d <= kMaxScriptDepth;
}

Rect Union(Rect a, const Rect& b) {
    if (a.xMin > a.xMax) return b;
    if (b.xMin > b.xMax) return a;
    return {std::min(a.xMin, b.xMin), std::max(a.xMax, b.xMax), std::min(a.yMin, b.yMin),
            std::max(a.yMax, b.yMax)};
}

Rect Transformed(const Rect& r, const Matrix& m) {
    if (r.xMin > r.xMax) return r;
    double xs[4] = {m.MapX(r.xMin, r.yMin), m.MapX(r.xMax, r.yMin), m.MapX(r.xMin, r.yMax),
                    m.MapX(r.xMax, r.yMax)};
    double ys[4] = {m.MapY(r.xMin, r.yMin), m.MapY(r.xMax, r.yMin), m.MapY(r.xMin, r.yMax),
                    m.MapY(r.xMax, r.yMax)};
    return {static_cast<int32_t>(std::round(*std::min_element(xs, xs + 4))),
            static_cast<int32_t>(std::round(*std::max_element(xs, xs + 4))),
            static_cast<int32_t>(std::round(*std::min_element(ys, ys + 4))),
            static_cast<int32_t>(std::round(*std::max_element(ys, ys + 4)))};
}

constexpr Rect kEmpty{1, 0, 1, 0};

size_t CountTree(const DisplayObjects& list) {
    size_t n = list.size();
    for (const DisplayObject& o : list)
        n += CountTree(o.children);
    return n;
}

// Shapes, static text and bitmaps have no script object: scripts that find
// one by name or depth get the clip it sits in.
bool StandsForParent(const DisplayObject& o) {
    switch (o.character->Kind()) {
    case CharacterKind::Shape:
    case CharacterKind::MorphShape:
    case CharacterKind::Text:
    case CharacterKind::Bitmap:
        return true;
    default:
        return false;
    }
}

// Bounds of what a list shows, in the list's own space (twips).
// With `edges`, shapes count without their strokes.
Rect ListBounds(const DisplayObjects& list, bool edges = false);

Rect ContentBounds(const DisplayObject& o, bool edges) {
    // The main timeline has no character of its own: only its children count.
    if (o.character) {
        const Character& c = *o.character;
        if (const auto* shape = std::get_if<Shape>(&c.data)) return edges ? shape->edgeBounds : shape->bounds;
        if (o.morphed) return edges ? o.morphed->edgeBounds : o.morphed->bounds;
        if (o.textField) return o.textField->ShownBounds();
        if (const auto* text = std::get_if<Text>(&c.data)) return Transformed(text->bounds, text->matrix);
        if (const auto* video = std::get_if<Video>(&c.data))
            return {0, video->width * 20, 0, video->height * 20};
    }
    if (!o.children.empty()) return ListBounds(o.children, edges);
    return kEmpty;
}

Rect DrawingBounds(const Drawing* d) {
    return d && !d->Empty() ? d->GetShape().bounds : kEmpty;
}

Rect LocalBounds(const DisplayObject& o, bool edges = false) {
    return Union(DrawingBounds(o.drawing.get()), ContentBounds(o, edges));
}

Rect ListBounds(const DisplayObjects& list, bool edges) {
    Rect r = kEmpty;
    for (const DisplayObject& o : list)
        r = Union(r, Transformed(LocalBounds(o, edges), o.matrix));
    return r;
}

} // namespace

ScriptHost::ScriptHost(Player& player) : player_(player) {
    vm_ = std::make_unique<Vm>(player.movie_->header.version);
    vm_->SetHost(this);
    InstallClipClass();
    InstallStage();
    InstallTextFieldMethods();
    vm_->ShapeBuiltinTree();
    // The movie's own bound on nesting holds for its scripts, not for the
    // calls that build the built-in objects above.
    if (uint16_t levels = player.movie_->maxRecursion) vm_->SetMaxCallDepth(levels);
    root_ = vm_->New<ClipObject>(vm_->clipProto);
    root_->className = "MovieClip";
    root_->host = this;
    root_->isRoot = true;
    auto sprite = std::make_shared<Character>();
    sprite->data = Sprite{};
    std::get<Sprite>(sprite->data).timeline.frames.resize(1);
    emptySprite_ = sprite;
}

ScriptHost::~ScriptHost() = default;

Object* ScriptHost::RootClip() {
    return root_;
}

ClipObject* ScriptHost::Clip(Object* o) {
    if (!o) return nullptr;
    return dynamic_cast<ClipObject*>(o);
}

Rect ScriptHost::RootBounds(bool edges) {
    return Union(DrawingBounds(player_.rootDrawing_.get()), ListBounds(player_.root_, edges));
}

DisplayObject* ScriptHost::DisplayOf(Object* clip) {
    ClipObject* c = Clip(clip);
    return c && !c->isRoot ? c->display : nullptr;
}

Drawing* ScriptHost::DrawingOf(Object* clip) {
    ClipObject* c = Clip(clip);
    if (!c) return nullptr;
    std::shared_ptr<Drawing>* d = c->isRoot    ? &player_.rootDrawing_
                                  : c->display ? &c->display->drawing
                                               : nullptr;
    if (!d) return nullptr;
    if (!*d) *d = std::make_shared<Drawing>();
    return d->get();
}

bool ScriptHost::IsClip(Object* o) {
    return Clip(o) != nullptr;
}
Object* ScriptHost::Root() {
    return root_;
}

Object* ScriptHost::ParentOf(Object* clip) {
    if (script::PlacedObject* t = script::AsPlaced(clip)) return t->parent;
    ClipObject* c = Clip(clip);
    return c ? c->parent : nullptr;
}

DisplayObjects* ScriptHost::ListOf(ClipObject* c) {
    if (!c) return nullptr;
    if (c->isRoot) return &player_.root_;
    return c->display ? &c->display->children : nullptr;
}

Player::TimelineRef ScriptHost::RefOf(ClipObject* c) {
    if (c->isRoot) return player_.Root();
    DisplayObject& o = *c->display;
    return {*o.timeline, o.currentFrame, o.playing, o.children, c->nesting, o.instance, c};
}

Object* ScriptHost::ChildNamed(Object* clip, const std::string& name, bool caseless) {
    DisplayObjects* list = ListOf(Clip(clip));
    if (!list) return nullptr;
    for (DisplayObject& o : *list) {
        if (o.name.empty() || !(o.name == name || (caseless && script::CaselessEqual(o.name, name))))
            continue;
        if (o.clip) return o.clip;
        if (StandsForParent(o)) return clip;
    }
    return nullptr;
}

std::string ScriptHost::TargetPath(Object* clip) {
    if (script::PlacedObject* t = script::AsPlaced(clip))
        return TargetPath(t->parent) + "." + (t->display ? t->display->name : t->name);
    ClipObject* c = Clip(clip);
    if (!c || c->isRoot) return "_level0";
    std::string name = c->display ? c->display->name : c->name;
    return (c->parent ? TargetPath(c->parent) : std::string("_level0")) + "." + name;
}

std::string ScriptHost::SlashPath(Object* clip) {
    if (script::PlacedObject* t = script::AsPlaced(clip)) {
        std::string up = SlashPath(t->parent);
        return (up == "/" ? "" : up) + "/" + (t->display ? t->display->name : t->name);
    }
    ClipObject* c = Clip(clip);
    if (!c || c->isRoot) return "/";
    std::string up = c->parent ? SlashPath(c->parent) : "/";
    return (up == "/" ? "" : up) + "/" + (c->display ? c->display->name : c->name);
}

void ScriptHost::Attach(DisplayObject& o, Object* parent, int nesting) {
    ClipObject* c = vm_->New<ClipObject>(vm_->clipProto);
    c->className = "MovieClip";
    c->host = this;
    c->display = &o;
    c->parent = parent;
    c->nesting = nesting;
    c->actions = o.clipActions;
    o.clip = c;
    if (o.name.empty()) o.name = "instance" + std::to_string(++steps_);
    // A class registered for the sprite's exported name makes it; scripts
    // may register it up to the init actions of the frame that places it.
    bool exported = std::any_of(player_.movie_->exports.begin(), player_.movie_->exports.end(),
                                [&](const auto& e) { return e.second == o.characterId; });
    order_.push_back(c);
    bool hasInit = false, hasConstruct = false;
    for (const ClipAction& a : c->actions) {
        hasInit |= (a.events & kEventInitialize) != 0;
        hasConstruct |= (a.events & kEventConstruct) != 0;
    }
    if (exported) Queue(kInit, {c, nullptr, kSetClass, {}});
    if (hasInit) Queue(kInit, {c, nullptr, kEventInitialize, {}});
    if (hasConstruct) Queue(kConstruct, {c, nullptr, kEventConstruct, {}});
    if (exported) Queue(kConstruct, {c, nullptr, kRunConstructor, {}});
    Queue(kNormal, {c, nullptr, kEventLoad, "onLoad"});
}

void ScriptHost::Detach(DisplayObject& o) {
    for (DisplayObject& child : o.children)
        Detach(child);
    if (script::PlacedObject* t = script::AsPlaced(o.clip)) {
        t->name = o.name;
        t->display = nullptr;
        o.clip = nullptr;
        return;
    }
    ClipObject* c = Clip(o.clip);
    if (!c) return;
    c->name = o.name;
    c->display = nullptr;
    c->removed = true;
    ++vm_->removals;
    o.clip = nullptr;
    if (!c->kept) Queue(kNormal, {c, nullptr, kEventUnload, "onUnload"});
}

bool ScriptHost::KeepForUnload(DisplayObject& o) {
    // A clip the timeline takes off that has an unload handler stays, out
    // of the way, until the next step: its handler runs while it is there.
    ClipObject* c = Clip(o.clip);
    if (!c || c->kept) return false;
    bool handler = std::any_of(c->actions.begin(), c->actions.end(),
                               [](const ClipAction& a) { return (a.events & kEventUnload) != 0; });
    if (!handler) {
        Value method = vm_->Get(c, "onUnload");
        handler = method.IsObject() && method.o->IsFunction();
    }
    if (!handler) return false;
    std::function<void(DisplayObject&)> unload = [&](DisplayObject& x) {
        for (DisplayObject& child : x.children)
            unload(child);
        ClipObject* u = Clip(x.clip);
        if (!u || u->kept) return;
        u->kept = true;
        Queue(kNormal, {u, nullptr, kEventUnload, "onUnload"});
    };
    unload(o);
    kept_.push_back(c);
    return true;
}

void ScriptHost::DropUnloaded() {
    for (ClipObject* c : std::exchange(kept_, {})) {
        DisplayObjects* list = c->removed ? nullptr : ListOf(Clip(c->parent));
        if (!list) continue;
        auto it =
            std::find_if(list->begin(), list->end(), [c](const DisplayObject& x) { return x.clip == c; });
        if (it == list->end()) continue;
        player_.objectCount_ -= std::min(player_.objectCount_, 1 + CountTree(it->children));
        Detach(*it);
        list->erase(it);
        Relink(*list);
    }
}

void ScriptHost::Relink(DisplayObjects& list) {
    for (DisplayObject& o : list)
        if (ClipObject* c = Clip(o.clip))
            c->display = &o;
        else if (script::PlacedObject* t = script::AsPlaced(o.clip))
            t->display = &o;
}

void ScriptHost::QueueScript(Object* clip, const Bytecode& code) {
    Queue(kNormal, {clip, code, 0, {}});
}

void ScriptHost::QueueInit(uint16_t sprite, const Bytecode& code) {
    if (!initDone_.insert(sprite).second) return;
    Queue(kInit, {root_, code, 0, {}});
}

void ScriptHost::RootLoaded() {
    Queue(kNormal, {root_, nullptr, kEventLoad, "onLoad"});
}

void ScriptHost::BeginStep() {
    vm_->BeginStep();
}

void ScriptHost::RunEvent(const Job& job) {
    ClipObject* c = Clip(job.clip);
    if (!c) return;
    if (job.event == kSetClass) {
        c->constructor = Value();
        if (!c->display) return;
        for (const auto& [symbol, id] : player_.movie_->exports) {
            if (id != c->display->characterId) continue;
            auto it = vm_->registered.find(symbol);
            if (it == vm_->registered.end()) continue;
            Value proto = vm_->Get(it->second, "prototype");
            if (proto.IsObject()) c->proto = proto.o;
            c->constructor = Value(it->second);
            break;
        }
        return;
    }
    if (job.event == kRunConstructor) {
        if (c->constructor.IsObject()) {
            // As `new` leaves it: the object knows its constructor.
            c->SetOwn("__constructor__", c->constructor, script::kDontEnum);
            if (vm_->Version() < 7) c->SetOwn("constructor", c->constructor, script::kDontEnum);
            vm_->CallTop(c->constructor, Value(static_cast<Object*>(c)), {});
        }
        c->constructor = Value();
        return;
    }
    if (c->removed && job.event != kEventUnload) return;
    struct Unloading {
        ClipObject* c;
        bool was;
        ~Unloading() { c->unloading = was; }
    } unloading{c, c->unloading};
    if (job.event == kEventUnload) c->unloading = true;
    for (const ClipAction& a : c->actions)
        if (a.events & job.event) vm_->RunBlock(a.code, c);
    if (!job.method.empty()) vm_->CallMethodIfAny(c, job.method, {});
}

void ScriptHost::RunQueue() {
    int guard = 0;
    while (guard++ < 1000000) {
        int level = 0;
        while (level < kLevels && queues_[level].empty())
            ++level;
        if (level == kLevels) break;
        Job job = std::move(queues_[level].front());
        queues_[level].pop_front();
        if (job.code) {
            ClipObject* c = Clip(job.clip);
            if (c && c->removed) continue;
            vm_->RunBlock(job.code, job.clip);
        } else {
            RunEvent(job);
        }
    }
}

std::vector<ClipObject*>& ScriptHost::Order() {
    std::erase_if(order_, [](ClipObject* c) { return c->removed; });
    return order_;
}

void ScriptHost::EnterFrame(const std::vector<Object*>& clips) {
    vm_->rootsScratch.clear();
    for (Object* o : clips)
        vm_->rootsScratch.push_back(Value(o));
    for (Object* o : clips) {
        ClipObject* c = Clip(o);
        if (c->removed || c->kept) continue;
        RunEvent({c, nullptr, kEventEnterFrame, "onEnterFrame"});
    }
    vm_->rootsScratch.clear();
}

std::vector<Object*> ScriptHost::StepClips() {
    DropUnloaded();
    std::vector<Object*> order(Order().rbegin(), Order().rend());
    for (Object* o : order) {
        ClipObject* c = Clip(o);
        c->fresh = false;
        if (!c->removed && !c->kept && c->display) player_.StepSprite(*c->display, c->nesting);
    }
    order.push_back(root_);
    return order;
}

void ScriptHost::RunTimers(double ms) {
    // The timers due within the time passed fire in the order they fell
    // due (the older first at the same time); an interval shorter than the
    // time passed fires over and over, up to a limit.
    constexpr int kMaxFiresPerTimer = 1000;
    double end = vm_->now + ms;
    std::map<int, int> fired;
    for (;;) {
        auto next = vm_->timers.end();
        for (auto it = vm_->timers.begin(); it != vm_->timers.end(); ++it)
            if (it->due <= end && (next == vm_->timers.end() || it->due < next->due)) next = it;
        if (next == vm_->timers.end()) break;
        Vm::Timer t = *next;
        vm_->now = std::max(vm_->now, t.due);
        if (!t.repeat)
            vm_->timers.erase(next);
        else if (++fired[t.id] >= kMaxFiresPerTimer)
            next->due = end + std::max(t.interval, 1.0);
        else
            next->due = t.due + std::max(t.interval, 1.0);
        if (t.fn.IsObject())
            vm_->CallTop(t.fn, Value(), t.args);
        else if (Object* self = t.self.IsObject() ? Live(t.self.o) : nullptr)
            vm_->CallMethodIfAny(self, t.method, t.args);
        RunQueue();
    }
    vm_->now = end;
}

void ScriptHost::EndStep() {
    Collect();
}

void ScriptHost::Collect() {
    static constexpr size_t kSlack = 20000;
    if (vm_->LiveObjects() < kSlack) return;
    std::vector<Object*> roots{root_};
    std::function<void(DisplayObjects&)> walk = [&](DisplayObjects& l) {
        for (DisplayObject& o : l) {
            if (o.clip) roots.push_back(o.clip);
            walk(o.children);
        }
    };
    walk(player_.root_);
    for (auto& queue : queues_)
        for (Job& j : queue)
            roots.push_back(j.clip);
    Order();
    vm_->Collect(roots);
}

bool ScriptHost::Removed(Object* clip) {
    ClipObject* c = Clip(clip);
    return c && c->removed;
}

// Clips (the main timeline's own placement too) and text fields alike.
DisplayObject* ScriptHost::RootProps() {
    return &player_.rootPlacement_;
}

DisplayObject* ScriptHost::Placement(Object* clip) {
    if (script::PlacedObject* t = script::AsPlaced(clip)) return t->display;
    ClipObject* c = Clip(clip);
    return c ? c->Props() : nullptr;
}

Rect ScriptHost::Bounds(Object* clip) {
    ClipObject* c = Clip(clip);
    DisplayObject* o = Placement(clip);
    return c && c->isRoot ? ListBounds(player_.root_) : o ? LocalBounds(*o) : kEmpty;
}

void ScriptHost::ChildNames(Object* clip, std::vector<std::string>& out) {
    ClipObject* c = Clip(clip);
    DisplayObjects* list = c && !c->removed ? ListOf(c) : nullptr;
    if (list)
        for (const DisplayObject& o : *list)
            if (!o.name.empty() && (o.clip || StandsForParent(o))) out.push_back(o.name);
}

Object* ScriptHost::Live(Object* o) {
    ClipObject* c = Clip(o);
    if (!c || !c->removed || c->unloading) return o;
    std::vector<const std::string*> names;
    for (ClipObject* p = c; p && !p->isRoot; p = Clip(p->parent))
        names.push_back(p->display ? &p->display->name : &p->name);
    Object* at = root_;
    for (auto it = names.rbegin(); it != names.rend() && at; ++it)
        at = ChildNamed(at, **it, vm_->Caseless());
    return at;
}

void ScriptHost::Log(const std::string& what) {
    // Inert calls and stopped scripts are noted once each; a saver has no one to tell.
    logged_.insert(what);
}

// ---- properties ----

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

// A number as the player's 32-bit integers take it: out of range, and
// infinite, is the lowest.
int32_t Saturated(double n) {
    return n >= -2147483648.0 && n < 2147483648.0 ? static_cast<int32_t>(n) : INT32_MIN;
}

// The number a property is set to: undefined and null are none, and so is
// text that is no number, even in SWF 4.
double PropertyNumber(Vm& vm, const Value& v) {
    if (v.IsNullish()) return NAN;
    if (v.IsString()) return Vm::StringToNumber(v.s, std::max(vm.Version(), 5));
    return vm.ToNumber(v);
}

// `c` is null for a text field: it keeps no turn of its own.
ClipObject::Turn TurnOf(const ClipObject* c, const Matrix& m) {
    if (c && c->turn && c->turn->made.a == m.a && c->turn->made.b == m.b && c->turn->made.c == m.c &&
        c->turn->made.d == m.d)
        return *c->turn;
    ClipObject::Turn t;
    t.xscale = std::sqrt(m.a * m.a + m.b * m.b) * 100;
    t.yscale = std::sqrt(m.c * m.c + m.d * m.d) * 100;
    // A matrix with no x axis at all is turned a quarter.
    t.rotation = m.a == 0 && m.b == 0 ? 90 : std::atan2(m.b, m.a) * kDegrees;
    t.skew = std::atan2(-m.c, m.d) * kDegrees - t.rotation;
    return t;
}

// Makes the matrix from a turn (a term that comes out infinite or NaN is
// none) and remembers the turn. SWF 4 movies keep only the matrix, in
// 16.16 fixed point cut toward zero, and read the turn back from it.
void Apply(ClipObject* c, Matrix& m, ClipObject::Turn t, bool swf4) {
    double r = t.rotation / kDegrees, ry = (t.rotation + t.skew) / kDegrees;
    double sx = t.xscale / 100, sy = t.yscale / 100;
    auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    m.a = finite(sx * std::cos(r));
    m.b = finite(sx * std::sin(r));
    m.c = finite(-sy * std::sin(ry));
    m.d = finite(sy * std::cos(ry));
    if (swf4) {
        for (double* v : {&m.a, &m.b, &m.c, &m.d})
            *v = std::trunc(std::clamp(*v, -32768.0, 32767.0) * 65536) / 65536;
        if (c) c->turn.reset();
        return;
    }
    t.made = m;
    if (c) c->turn = t;
}

} // namespace

Value ScriptHost::GetClipProperty(Object* clip, int index) {
    ClipObject* c = Clip(clip);
    DisplayObject* o = Placement(clip);
    if (!o) return {};
    const bool isRoot = c && c->isRoot;
    const Matrix& m = o->matrix;
    switch (index) {
    case 0:
        return Value(m.tx / 20.0);
    case 1:
        return Value(m.ty / 20.0);
    case 2:
        return Value(TurnOf(c, m).xscale);
    case 3:
        return Value(TurnOf(c, m).yscale);
    case 4:
        if (c && c->fresh) return Value(0);
        return Value(isRoot ? player_.frame_ + 1.0 : o->timeline ? o->currentFrame + 1.0 : 1.0);
    case 5:
    case 12:
        return Value(isRoot        ? static_cast<double>(player_.TotalFrames())
                     : o->timeline ? static_cast<double>(o->timeline->FrameCount())
                                   : 1.0);
    case 6:
        return Value(static_cast<double>(o->colorTransform.multA) * 100);
    case 7:
        return Value(o->visible);
    case 8:
    case 9: {
        Rect r = isRoot ? RootBounds() : Transformed(LocalBounds(*o), m);
        if (r.xMin > r.xMax) return Value(0);
        return Value((index == 8 ? r.Width() : r.Height()) / 20.0);
    }
    case 10:
        return Value(TurnOf(c, m).rotation);
    case 11:
        return Value(SlashPath(clip));
    case 13:
        return Value(o->name);
    case 14:
        return Value("");
    case 15:
        return Value(player_.movie_->fileName);
    case 16:
        return Value(quality_ == "BEST" ? 2 : quality_ == "LOW" ? 0 : 1);
    case 17:
        // clips follow the movie's setting unless given their own
        return c && c->isRoot ? Value(focusRect_) : Value::Null();
    case 18:
        return Value(soundBufTime_);
    case 19:
        return Value(quality_);
    default:
        return Value(0);
    }
}

void ScriptHost::SetClipProperty(Object* clip, int index, const Value& v) {
    ClipObject* c = Clip(clip);
    DisplayObject* o = Placement(clip);
    if (!o) return;
    Matrix& m = o->matrix;
    // Numbers that are none (NaN) leave the properties as they are.
    double n = PropertyNumber(*vm_, v);
    // Placements of the timeline leave a clip alone once a script has moved,
    // scaled, turned or faded it.
    if (index <= 3 || index == 6 || (index >= 8 && index <= 10)) o->transformedByScript = true;
    if (std::isnan(n) && index != 13 && index != 19) return;
    switch (index) {
    case 0: // in whole twips
        m.tx = Saturated(std::round(n * 20));
        break;
    case 1:
        m.ty = Saturated(std::round(n * 20));
        break;
    case 2:
    case 3:
    case 10: {
        ClipObject::Turn t = TurnOf(c, m);
        if (index == 2) t.xscale = n;
        if (index == 3) t.yscale = n;
        if (index == 10) {
            // Within a half turn either way (infinite turns are none).
            double r = std::fmod(n, 360);
            t.rotation = r > 180 ? r - 360 : r < -180 ? r + 360 : r;
        }
        Apply(c, m, t, vm_->Version() < 5);
        break;
    }
    case 6: // kept in 1/256ths, 16 bits
        o->colorTransform.multA = static_cast<int16_t>(Saturated(n * 256 / 100)) / 256.0f;
        break;
    case 7:
        o->visible = n != 0;
        break;
    case 8:
    case 9: {
        if (!std::isfinite(n) || n < 0) break;
        if (o->textField) {
            // A text field's box takes the size; its scale stays.
            Rect box = o->textField->Bounds();
            ClipObject::Turn turn = TurnOf(c, m);
            double scale = (index == 8 ? turn.xscale : turn.yscale) / 100;
            if (scale == 0) break;
            auto size = static_cast<int32_t>(std::round(std::min(n / scale, 1e7) * 20));
            (index == 8 ? box.xMax : box.yMax) = (index == 8 ? box.xMin : box.yMin) + size;
            o->textField->SetBounds(box);
            break;
        }
        Rect r = c && c->isRoot ? ListBounds(player_.root_) : Transformed(LocalBounds(*o), m);
        double cur = (index == 8 ? r.Width() : r.Height()) / 20.0;
        if (c && c->isRoot && (r.xMin > r.xMax || cur == 0)) break;
        if (r.xMin > r.xMax || cur == 0) {
            // Nothing to measure (or a clip collapsed before): the scale is
            // the size over the clip's own, infinite for a clip with none,
            // and a clip with an infinite scale collapses and shows nothing
            // until it is sized again.
            Rect own = LocalBounds(*o);
            double size = own.xMin > own.xMax ? 0 : (index == 8 ? own.Width() : own.Height()) / 20.0;
            ClipObject::Turn t = TurnOf(c, m);
            (index == 8 ? t.xscale : t.yscale) = n * 100 / size;
            Apply(c, m, t, vm_->Version() < 5);
            if (!std::isfinite(t.xscale) || !std::isfinite(t.yscale)) {
                m.a = m.b = m.c = m.d = 0;
                if (c && c->turn) c->turn->made = m;
            }
            break;
        }
        if (c && c->isRoot) {
            double k = n / cur;
            if (index == 8) {
                m.a *= k;
                m.b *= k;
            } else {
                m.c *= k;
                m.d *= k;
            }
            break;
        }
        // Both scales are made again from the box: the size set, and the
        // other side as it is now, each over that side of the clip's own
        // box turned by the clip's rotation (but not scaled). A side of no
        // size (a straight line) keeps its scale.
        Rect own = LocalBounds(*o);
        ClipObject::Turn t = TurnOf(c, m);
        double cs = std::abs(std::cos(t.rotation / kDegrees)), sn = std::abs(std::sin(t.rotation / kDegrees));
        double turnedWidth = cs * own.Width() + sn * own.Height();
        double turnedHeight = sn * own.Width() + cs * own.Height();
        double width = index == 8 ? n * 20 : r.Width(), height = index == 9 ? n * 20 : r.Height();
        if (turnedWidth > 0) t.xscale = std::copysign(width / turnedWidth * 100, t.xscale);
        if (turnedHeight > 0) t.yscale = std::copysign(height / turnedHeight * 100, t.yscale);
        Apply(c, m, t, vm_->Version() < 5);
        break;
    }
    case 13:
        o->name = vm_->ToString(v);
        break;
    // The player's own settings, the same from every clip.
    case 16:
        quality_ = n >= 2 ? "BEST" : std::trunc(n) == 0 ? "LOW" : "HIGH";
        break;
    case 17:
        focusRect_ = n != 0;
        break;
    case 18:
        soundBufTime_ = Saturated(n);
        break;
    case 19: {
        std::string q = vm_->ToString(v);
        for (const char* name : {"LOW", "MEDIUM", "HIGH", "BEST"})
            if (script::CaselessEqual(q, name)) quality_ = name;
        break;
    }
    default:
        break;
    }
}

// ---- timeline control ----

void ScriptHost::GotoFrame(Object* clip, const Value& frame, bool play, int bias) {
    ClipObject* c = Clip(clip);
    // A number counts frames from 1, as a 32-bit integer; anything else is
    // read as text: an integer, or "path:frame", or a label.
    double n = 0;
    if (frame.IsNumber()) {
        n = frame.n;
    } else {
        std::string s = vm_->ToString(frame);
        size_t colon = s.rfind(':');
        if (colon != std::string::npos) {
            c = Clip(vm_->ResolvePath(c, s.substr(0, colon)));
            s.erase(0, colon + 1);
        }
        if (!c || (!c->isRoot && (!c->display || !c->display->timeline))) return;
        size_t digits = s.find_first_not_of("0123456789", s[0] == '-' || s[0] == '+' ? 1 : 0);
        if (s.empty() || digits != std::string::npos) {
            const uint32_t* at = Player::Label(RefOf(c).timeline, s);
            if (!at) return;
            n = *at + 1.0;
        } else {
            n = Vm::StringToNumber(s, 7);
        }
    }
    if (!c || (!c->isRoot && (!c->display || !c->display->timeline))) return;
    Player::TimelineRef ref = RefOf(c);
    int64_t target = static_cast<int32_t>(static_cast<uint32_t>(vm_->ToInt32(Value(n))) - 1u) + int64_t{bias};
    if (target < 0) return;
    ref.playing = play;
    // Past the last frame: the last, without its actions.
    uint32_t last = ref.timeline.FrameCount() - 1;
    player_.Goto(ref, static_cast<uint32_t>(std::min<int64_t>(target, last)),
                 target > last ? Player::Jump::Silent : Player::Jump::Script);
}

void ScriptHost::Play(Object* clip, bool play) {
    ClipObject* c = Clip(clip);
    if (!c) return;
    if (c->isRoot)
        player_.playing_ = play;
    else if (c->display)
        c->display->playing = play;
}

void ScriptHost::StepFrame(Object* clip, int delta) {
    ClipObject* c = Clip(clip);
    if (!c || (!c->isRoot && (!c->display || !c->display->timeline))) return;
    Player::TimelineRef ref = RefOf(c);
    ref.playing = false;
    if (delta > 0 && ref.frame + 1 < ref.timeline.FrameCount())
        player_.Goto(ref, ref.frame + 1, Player::Jump::Script);
    if (delta < 0 && ref.frame > 0) player_.Goto(ref, ref.frame - 1, Player::Jump::Script);
}

bool ScriptHost::FrameLoaded(Object*, const Value&) {
    return true;
}

void ScriptHost::CallFrame(Object* clip, const std::string& frame) {
    ClipObject* c = Clip(clip);
    std::string s = frame;
    size_t colon = s.rfind(':');
    if (colon != std::string::npos) {
        c = Clip(vm_->ResolvePath(c, s.substr(0, colon)));
        s.erase(0, colon + 1);
    }
    if (!c || (!c->isRoot && (!c->display || !c->display->timeline))) return;
    const Timeline& timeline = RefOf(c).timeline;
    // A whole number counts frames from 1; anything else is a label.
    uint32_t at = 0;
    size_t digits = s.find_first_not_of("0123456789");
    if (!s.empty() && digits == std::string::npos) {
        double n = Vm::StringToNumber(s, 7);
        if (n < 1 || n > timeline.FrameCount()) return;
        at = static_cast<uint32_t>(n) - 1;
    } else if (const uint32_t* label = Player::Label(timeline, s)) {
        at = *label;
    } else {
        return;
    }
    // Copied: the scripts may take the clip, and its timeline, away.
    std::vector<Bytecode> scripts = timeline.frames[at].scripts;
    for (const Bytecode& code : scripts)
        vm_->RunBlock(code, c);
}

// ---- clips made and removed by scripts ----

Object* ScriptHost::NewClipAt(ClipObject* parent, std::shared_ptr<const Character> character, uint16_t id,
                              const std::string& name, int depth, Object* init, const DisplayObject* copyOf) {
    DisplayObjects* list = ListOf(parent);
    if (!list || !character || player_.objectCount_ >= Limits::kMaxDisplayObjects) return nullptr;
    if (!ScriptDepth(depth)) return nullptr;
    int32_t d = depth + kDepthOffset;
    auto it = std::lower_bound(list->begin(), list->end(), d,
                               [](const DisplayObject& o, int32_t v) { return o.depth < v; });
    if (it != list->end() && it->depth == d) {
        Detach(*it);
        it = list->erase(it);
    }
    DisplayObject o;
    if (copyOf) {
        o.matrix = copyOf->matrix;
        o.colorTransform = copyOf->colorTransform;
        o.clipActions = copyOf->clipActions;
        o.visible = copyOf->visible;
        o.blendMode = copyOf->blendMode;
        o.ratio = copyOf->ratio;
    }
    o.depth = d;
    o.characterId = id;
    o.character = std::move(character);
    o.name = name;
    o.scripted = true;
    size_t index = static_cast<size_t>(it - list->begin());
    list->insert(it, std::move(o));
    ++player_.objectCount_;
    Relink(*list);
    DisplayObject& placed = (*list)[index];
    player_.Instantiate(placed, parent->nesting, parent);
    Object* made = placed.clip;
    // A clip a script makes takes its class, then the properties given, and
    // is constructed before the script goes on.
    auto runNow = [&](Level level) {
        std::vector<Job> now;
        auto& q = queues_[level];
        for (auto it = q.begin(); it != q.end();)
            if (it->clip == made && !it->code) {
                now.push_back(std::move(*it));
                it = q.erase(it);
            } else {
                ++it;
            }
        for (const Job& job : now)
            RunEvent(job);
    };
    runNow(kInit);
    if (made && init)
        for (const Object::Slot& s : init->Slots())
            if (!(s.prop.flags & script::kDontEnum)) vm_->Set(made, s.name, s.prop.value);
    runNow(kConstruct);
    return made;
}

// Clips and text fields alike.
void ScriptHost::Clone(Object* clip, const std::string& name, int depth) {
    ClipObject* c = Clip(clip);
    DisplayObject* o = Placement(clip);
    ClipObject* parent = Clip(ParentOf(clip));
    if ((c && c->isRoot) || !o || !parent) return;
    NewClipAt(parent, o->character, o->characterId, name, depth, nullptr, o);
}

void ScriptHost::Remove(Object* clip) {
    ClipObject* c = Clip(clip);
    DisplayObject* o = Placement(clip);
    if ((c && c->isRoot) || !o) return;
    // Only objects in the scripts' range go, short of its very top.
    if (o->depth < kDepthOffset || o->depth > kMaxRemovableDepth + kDepthOffset) return;
    DisplayObjects* list = ListOf(Clip(ParentOf(clip)));
    if (!list) return;
    for (auto it = list->begin(); it != list->end(); ++it) {
        if (it->clip != clip) continue;
        size_t n = 1;
        std::function<void(const DisplayObjects&)> count = [&](const DisplayObjects& l) {
            for (const DisplayObject& x : l) {
                ++n;
                count(x.children);
            }
        };
        count(it->children);
        player_.objectCount_ -= std::min(player_.objectCount_, n);
        Detach(*it);
        list->erase(it);
        Relink(*list);
        return;
    }
}

void ScriptHost::InstallColorClass() {
    Vm& vm = *vm_;
    // new Color(clip): reads and sets the clip's colour transform.
    Object* proto = vm.NewObject();
    script::Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "Color");
    ctor->nativeConstruct = [](Vm& vm, Value, Args& a) {
        Object* o = vm.NewObject();
        o->SetOwn("target", Arg(a, 0), script::kDontEnum);
        // A colour keeps its prototype.
        vm.ProtoSlot(o)->flags |= script::kReadOnly;
        return Value(o);
    };
    ctor->SetOwn("prototype", Value(proto), script::kDontEnum);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), script::kDontEnum);
    vm.global->SetOwn("Color", Value(static_cast<Object*>(ctor)), script::kDontEnum);
    auto target = [this](Value self) -> DisplayObject* {
        if (!self.IsObject()) return nullptr;
        Value t = vm_->Get(self.o, "target");
        ClipObject* c = t.IsObject() ? Clip(t.o) : nullptr;
        if (!c && !t.IsNullish()) c = Clip(vm_->ResolvePath(root_, vm_->ToString(t)));
        return c ? c->Props() : nullptr;
    };
    auto method = [&](const std::string& name, script::Native fn) {
        proto->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(std::move(fn), name))),
                      script::kDontEnum);
    };
    method("setRGB", [this, target](Vm&, Value self, Args& a) {
        DisplayObject* o = target(self);
        if (!o) return Value();
        int32_t rgb = vm_->ToInt32(Arg(a, 0));
        o->transformedByScript = true;
        ColorTransform& ct = o->colorTransform;
        ct.multR = ct.multG = ct.multB = 0;
        ct.addR = static_cast<int16_t>(rgb >> 16 & 0xff);
        ct.addG = static_cast<int16_t>(rgb >> 8 & 0xff);
        ct.addB = static_cast<int16_t>(rgb & 0xff);
        return Value();
    });
    method("getRGB", [target](Vm&, Value self, Args&) {
        DisplayObject* o = target(self);
        if (!o) return Value();
        const ColorTransform& ct = o->colorTransform;
        return Value(static_cast<double>((ct.addR & 0xff) << 16 | (ct.addG & 0xff) << 8 | (ct.addB & 0xff)));
    });
    method("getTransform", [this, target](Vm&, Value self, Args&) {
        DisplayObject* o = target(self);
        if (!o) return Value();
        const ColorTransform& ct = o->colorTransform;
        Object* r = vm_->NewObject();
        for (auto [n, v] : {std::pair{"ra", ct.multR * 100.0},
                            {"rb", double(ct.addR)},
                            {"ga", ct.multG * 100.0},
                            {"gb", double(ct.addG)},
                            {"ba", ct.multB * 100.0},
                            {"bb", double(ct.addB)},
                            {"aa", ct.multA * 100.0},
                            {"ab", double(ct.addA)}})
            vm_->Set(r, n, Value(v));
        return Value(r);
    });
    method("setTransform", [this, target](Vm&, Value self, Args& a) {
        DisplayObject* o = target(self);
        Value t = Arg(a, 0);
        if (!o || !t.IsObject()) return Value();
        o->transformedByScript = true;
        // Only the object's own properties count; they are kept as the
        // player keeps them, wrapping where they overflow.
        ColorTransform& ct = o->colorTransform;
        double mult[4] = {ct.multR, ct.multG, ct.multB, ct.multA},
               add[4] = {double(ct.addR), double(ct.addG), double(ct.addB), double(ct.addA)};
        const char* names[8] = {"ra", "ga", "ba", "aa", "rb", "gb", "bb", "ab"};
        for (int i = 0; i < 8; ++i) {
            script::Property* p = t.o->FindOwn(names[i], vm_->Caseless());
            if (!p) continue;
            double d = vm_->ToNumber(vm_->Get(t.o, names[i]));
            if (i < 4)
                mult[i] = d / 100;
            else
                add[i - 4] = d;
        }
        ct = script::StoredColorTransform(mult, add);
        return Value();
    });
}

void ScriptHost::InstallClipClass() {
    Vm& vm = *vm_;
    InstallColorClass();
    Object* proto = vm.NewObject();
    vm.clipProto = proto;
    InstallDrawingApi(proto);
    script::Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "MovieClip");
    ctor->SetOwn("prototype", Value(proto), script::kDontEnum);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), script::kDontEnum);
    vm.global->SetOwn("MovieClip", Value(static_cast<Object*>(ctor)), script::kDontEnum);
    auto method = [&](const std::string& name, std::function<Value(ClipObject*, Args&)> fn) {
        proto->SetOwn(name,
                      Value(static_cast<Object*>(vm.NewNative(
                          [this, fn](Vm&, Value self, Args& a) -> Value {
                              ClipObject* c = self.IsObject() ? Clip(self.o) : nullptr;
                              if (!c) return Value();
                              return fn(c, a);
                          },
                          name))),
                      script::kDontEnum);
    };
    method("play", [this](ClipObject* c, Args&) {
        Play(c, true);
        return Value();
    });
    method("stop", [this](ClipObject* c, Args&) {
        Play(c, false);
        return Value();
    });
    method("nextFrame", [this](ClipObject* c, Args&) {
        StepFrame(c, 1);
        return Value();
    });
    method("prevFrame", [this](ClipObject* c, Args&) {
        StepFrame(c, -1);
        return Value();
    });
    method("gotoAndPlay", [this](ClipObject* c, Args& a) {
        GotoFrame(c, Arg(a, 0), true, 0);
        return Value();
    });
    method("gotoAndStop", [this](ClipObject* c, Args& a) {
        GotoFrame(c, Arg(a, 0), false, 0);
        return Value();
    });
    method("getDepth", [](ClipObject* c, Args&) {
        return c->display ? Value(static_cast<double>(c->display->depth) - 16384)
                          : Value(c->isRoot ? -16384.0 : 0.0);
    });
    method("getNextHighestDepth", [this](ClipObject* c, Args&) {
        DisplayObjects* list = ListOf(c);
        double next = 0;
        if (list)
            for (DisplayObject& o : *list)
                next = std::max(next, static_cast<double>(o.depth) - 16384 + 1);
        return Value(next);
    });
    method("getInstanceAtDepth", [this](ClipObject* c, Args& a) {
        DisplayObjects* list = ListOf(c);
        double d = vm_->ToNumber(Arg(a, 0)) + 16384;
        if (list)
            for (DisplayObject& o : *list) {
                if (o.depth != d) continue;
                if (o.clip) return Value(o.clip);
                if (StandsForParent(o)) return Value(static_cast<Object*>(c));
            }
        return Value();
    });
    method("swapDepths", [this](ClipObject* c, Args& a) {
        // Another clip of the same parent (or a path to one) trades places;
        // a number is a depth of the scripts' range.
        if (!c->display || a.empty() || a[0].IsUndefined()) return Value();
        DisplayObjects* list = ListOf(Clip(c->parent));
        if (!list) return Value();
        int32_t target;
        Value t = a[0];
        // A text field trades places as a clip does.
        Object* other = t.IsObject() ? t.o : t.IsString() ? vm_->ResolvePath(c, t.s) : nullptr;
        if (other && (Clip(other) || IsPlaced(other))) {
            DisplayObject* shown = Placement(other);
            if (!shown || ParentOf(other) != c->parent) return Value();
            target = shown->depth;
        } else {
            int32_t d = vm_->ToInt32(t);
            if (!ScriptDepth(d)) return Value();
            target = d + kDepthOffset;
        }
        int32_t mine = c->display->depth;
        for (DisplayObject& o : *list)
            if (o.depth == target) o.depth = mine;
        c->display->depth = target;
        c->display->scripted = true;
        std::stable_sort(list->begin(), list->end(),
                         [](const DisplayObject& x, const DisplayObject& y) { return x.depth < y.depth; });
        Relink(*list);
        return Value();
    });
    method("attachMovie", [this](ClipObject* c, Args& a) {
        std::string symbol = vm_->ToString(Arg(a, 0));
        // Exported names match whatever their case.
        auto it = player_.movie_->exports.find(symbol);
        if (it == player_.movie_->exports.end())
            it = std::find_if(player_.movie_->exports.begin(), player_.movie_->exports.end(),
                              [&](const auto& e) { return script::CaselessEqual(e.first, symbol); });
        if (it == player_.movie_->exports.end()) return Value();
        // A symbol exported in a later frame is not there before the movie gets to it.
        auto frame = player_.movie_->exportFrames.find(it->first);
        if (frame != player_.movie_->exportFrames.end() && frame->second > player_.reached_) return Value();
        auto character = player_.movie_->dictionary.Get(it->second);
        if (!character || character->Kind() != CharacterKind::Sprite) return Value();
        Value init = Arg(a, 3);
        Object* made = NewClipAt(c, character, it->second, vm_->ToString(Arg(a, 1)), vm_->ToInt32(Arg(a, 2)),
                                 init.IsObject() ? init.o : nullptr, nullptr);
        return made ? Value(made) : Value();
    });
    method("duplicateMovieClip", [this](ClipObject* c, Args& a) {
        if (c->isRoot || !c->display || !Clip(c->parent)) return Value();
        Value init = Arg(a, 2);
        Object* made = NewClipAt(Clip(c->parent), c->display->character, c->display->characterId,
                                 vm_->ToString(Arg(a, 0)), vm_->ToInt32(Arg(a, 1)),
                                 init.IsObject() ? init.o : nullptr, c->display);
        return made ? Value(made) : Value();
    });
    method("createEmptyMovieClip", [this](ClipObject* c, Args& a) {
        Object* made = NewClipAt(c, emptySprite_, 0, vm_->ToString(Arg(a, 0)), vm_->ToInt32(Arg(a, 1)),
                                 nullptr, nullptr);
        if (ClipObject* m = Clip(made)) {
            m->fresh = true;
            // The new clip's onConstruct, when it has one, runs before the call
            // returns; what it throws is reported and goes no further.
            Value fn = vm_->GetValue(Value(made), "onConstruct");
            if (fn.IsObject() && fn.o->IsFunction()) {
                bool pending = vm_->pendingThrow;
                vm_->CallTop(fn, Value(made), {});
                vm_->pendingThrow = pending;
            }
        }
        return made ? Value(made) : Value();
    });
    // Takes text fields off as well as clips.
    proto->SetOwn("removeMovieClip",
                  Value(static_cast<Object*>(vm.NewNative(
                      [this](Vm&, Value self, Args&) {
                          if (self.IsObject()) Remove(self.o);
                          return Value();
                      },
                      "removeMovieClip"))),
                  script::kDontEnum);
    // A clip made empty by a script loaded nothing; the others are the movie's.
    auto bytes = [this](ClipObject* c, Args&) {
        bool empty = c->display && c->display->character == emptySprite_;
        return Value(empty ? 0.0 : static_cast<double>(player_.movie_->header.fileLength));
    };
    method("getBytesLoaded", bytes);
    method("getBytesTotal", bytes);
    method("getSWFVersion", [this](ClipObject*, Args&) { return Value(vm_->Version()); });
    // Clips act as buttons when given handlers: enabled, with a hand cursor.
    proto->SetOwn("enabled", Value(true), script::kDontEnum);
    proto->SetOwn("useHandCursor", Value(true), script::kDontEnum);
    method("getBounds", [this](ClipObject* c, Args& a) { return Bounds(c, Arg(a, 0), false); });
    method("getRect", [this](ClipObject* c, Args& a) { return Bounds(c, Arg(a, 0), true); });
}

Matrix ScriptHost::GlobalMatrix(ClipObject* c) {
    Matrix m;
    for (; c; c = Clip(c->parent))
        if (DisplayObject* o = c->Props()) m = o->matrix * m;
    return m;
}

Value ScriptHost::Bounds(ClipObject* c, const Value& space, bool edges) {
    // In the clip's own space, or in that of the clip given (or named).
    ClipObject* in = c;
    if (!space.IsUndefined()) {
        in = space.IsObject() ? Clip(space.o) : Clip(vm_->ResolvePath(c, vm_->ToString(space)));
        if (!in) return Value();
    }
    DisplayObject* o = c->Props();
    Rect b = c->isRoot ? RootBounds(edges) : o ? LocalBounds(*o, edges) : kEmpty;
    double xMin, xMax, yMin, yMax;
    if (b.xMin > b.xMax) {
        // Nothing to show: a point far out, which the player carries through
        // a change of space in single precision.
        constexpr double kFar = 0x7ffffff;
        xMin = xMax = yMin = yMax = kFar;
        if (in != c) {
            Matrix m = GlobalMatrix(in).Inverted() * GlobalMatrix(c);
            xMin = xMax = static_cast<float>(m.MapX(kFar, kFar));
            yMin = yMax = static_cast<float>(m.MapY(kFar, kFar));
        }
    } else {
        if (in != c) b = Transformed(b, GlobalMatrix(in).Inverted() * GlobalMatrix(c));
        xMin = b.xMin, xMax = b.xMax, yMin = b.yMin, yMax = b.yMax;
    }
    Object* r = vm_->NewObject();
    vm_->Set(r, "xMin", Value(xMin / 20));
    vm_->Set(r, "xMax", Value(xMax / 20));
    vm_->Set(r, "yMin", Value(yMin / 20));
    vm_->Set(r, "yMax", Value(yMax / 20));
    return Value(r);
}

} // namespace movie
