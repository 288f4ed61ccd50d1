// Sound: the volume, balance and mix a script sets for a clip's sounds (or
// the whole movie's), and the library sound it attaches. Scripts' sounds are
// kept quiet: what they set reads back, nothing is heard, and a sound from
// outside the movie is not loaded.
#include "movie/script/NativeClasses.h"

namespace movie::script {

namespace {

struct SoundInside : Object::Inside {
    Value target; // the clip whose sounds it controls; undefined for all
    std::string attached;
    double volume = 100, pan = 0;
    double mix[4] = {100, 0, 100, 0}; // ll, lr, rr, rl
    void Trace(std::vector<Object*>& out) override {
        if (target.o) out.push_back(target.o);
    }
};

constexpr const char* kMixNames[4] = {"ll", "lr", "rr", "rl"};

SoundInside* SoundOf(const Value& self) {
    return self.IsObject() ? dynamic_cast<SoundInside*>(self.o->inside.get()) : nullptr;
}

// A method of a sound object, undefined on anything else.
Native OnSound(std::function<Value(Vm&, SoundInside&, Args&)> fn) {
    return [fn](Vm& vm, Value self, Args& a) -> Value {
        SoundInside* s = SoundOf(self);
        return s ? fn(vm, *s, a) : Value();
    };
}

} // namespace

void InstallSoundClass(Vm& vm) {
    Object* proto = vm.NewObject();
    SuperGivesThis(AddNativeClass(vm, vm.global, "Sound", proto, [](Vm& vm, Object* o, Args& a) {
        auto inside = std::make_unique<SoundInside>();
        Value t = Arg(a, 0);
        if (t.IsObject() && vm.GetHost() && vm.GetHost()->IsClip(t.o)) inside->target = t;
        o->inside = std::move(inside);
    }));
    auto quiet = [](Vm&, SoundInside&, Args&) { return Value(); };
    AddMethods(vm, proto,
               {{"getPan", OnSound([](Vm&, SoundInside& s, Args&) { return Value(s.pan); })},
                {"getTransform", OnSound([](Vm& vm, SoundInside& s, Args&) {
                     Object* t = vm.NewObject();
                     for (int i = 0; i < 4; ++i)
                         vm.Set(t, kMixNames[i], Value(s.mix[i]));
                     return Value(t);
                 })},
                {"getVolume", OnSound([](Vm&, SoundInside& s, Args&) { return Value(s.volume); })},
                {"setPan", OnSound([](Vm& vm, SoundInside& s, Args& a) {
                     s.pan = vm.ToInt32(Arg(a, 0));
                     return Value();
                 })},
                {"setTransform", OnSound([](Vm& vm, SoundInside& s, Args& a) {
                     Value t = Arg(a, 0);
                     if (!t.IsObject()) return Value();
                     for (int i = 0; i < 4; ++i)
                         if (vm.Has(t.o, kMixNames[i])) s.mix[i] = vm.ToInt32(vm.Get(t.o, kMixNames[i]));
                     return Value();
                 })},
                {"setVolume", OnSound([](Vm& vm, SoundInside& s, Args& a) {
                     s.volume = vm.ToInt32(Arg(a, 0));
                     return Value();
                 })},
                {"stop", OnSound(quiet)},
                {"attachSound", OnSound([](Vm& vm, SoundInside& s, Args& a) {
                     s.attached = vm.ToString(Arg(a, 0));
                     return Value();
                 })},
                {"start", OnSound(quiet)},
                {"getDuration",
                 OnSound([](Vm&, SoundInside& s, Args&) { return s.attached.empty() ? Value() : Value(0); })},
                {"setDuration", OnSound(quiet)},
                {"getPosition",
                 OnSound([](Vm&, SoundInside& s, Args&) { return s.attached.empty() ? Value() : Value(0); })},
                {"setPosition", OnSound(quiet)},
                {"loadSound", OnSound([](Vm& vm, SoundInside&, Args& a) {
                     LogInert(vm, "Sound.loadSound " + vm.ToString(Arg(a, 0)));
                     return Value();
                 })},
                {"getBytesLoaded", OnSound(quiet)},
                {"getBytesTotal", OnSound(quiet)},
                {"areSoundsInaccessible", [](Vm&, Value, Args&) { return Value(false); }}},
               kReadOnly);
    proto->SetOwn("checkPolicyFile", Value(), kDontEnum | kReadOnly);
}

} // namespace movie::script
