// TextSnapshot: the static text of a clip, taken when it is made. Only a
// snapshot of a clip (and nothing more given) is a native one; the static
// texts of a saver's movie are not searched, so a snapshot holds no text.
#include "movie/script/NativeClasses.h"

namespace movie::script {

namespace {

struct SnapshotInside : Object::Inside {
    Object* clip = nullptr;
    void Trace(std::vector<Object*>& out) override { out.push_back(clip); }
};

} // namespace

void InstallTextSnapshotClass(Vm& vm) {
    Object* proto = vm.NewObject();
    Function* ctor = AddPlainClass(vm, vm.global, "TextSnapshot", proto);
    ctor->nativeConstruct = [](Vm& vm, Value, Args& a) {
        Object* o = vm.NewObject();
        Value clip = Arg(a, 0);
        if (a.size() == 1 && clip.IsObject() && vm.GetHost() && vm.GetHost()->IsClip(clip.o)) {
            MakeNative(o, "TextSnapshot");
            auto inside = std::make_unique<SnapshotInside>();
            inside->clip = clip.o;
            o->inside = std::move(inside);
        }
        return Value(o);
    };
    auto is = [](const Value& self) {
        return self.IsObject() && dynamic_cast<SnapshotInside*>(self.o->inside.get()) != nullptr;
    };
    auto method = [&](const char* name, Native fn) {
        proto->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(std::move(fn), name))));
    };
    // Of no text: no characters, none selected, nothing found.
    method("getCount", [is](Vm&, Value self, Args&) { return is(self) ? Value(0) : Value(); });
    method("setSelected", [](Vm&, Value, Args&) { return Value(); });
    method("getSelected", [is](Vm&, Value self, Args&) { return is(self) ? Value(false) : Value(); });
    method("getText", [is](Vm&, Value self, Args&) { return is(self) ? Value("") : Value(); });
    method("getSelectedText", [is](Vm&, Value self, Args&) { return is(self) ? Value("") : Value(); });
    method("hitTestTextNearPos", [is](Vm&, Value self, Args&) { return is(self) ? Value(-1) : Value(); });
    method("findText", [is](Vm&, Value self, Args&) { return is(self) ? Value(-1) : Value(); });
    method("setSelectColor", [](Vm&, Value, Args&) { return Value(); });
    method("getTextRunInfo", [is](Vm& vm, Value self, Args&) {
        return is(self) ? Value(static_cast<Object*>(vm.NewArray())) : Value();
    });
}

} // namespace movie::script
