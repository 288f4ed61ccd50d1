// What the native classes share: making an object one of their own, and
// installing a class and its methods.
#include "movie/script/NativeClasses.h"

namespace movie::script {

bool MakeNative(Object* o, const std::string& name) {
    if (Vm::IsNative(o)) return false;
    o->native = true;
    o->className = name;
    return true;
}

namespace {

Function* InstallClass(Vm& vm, Object* holder, const std::string& name, Object* proto, ClassSetup setup,
                       bool native) {
    Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, name);
    ctor->nativeConstruct = [setup, name, native](Vm& vm, Value, Args& a) {
        Object* o = vm.NewObject();
        if (native) MakeNative(o, name);
        if (setup) setup(vm, o, a);
        return Value(o);
    };
    if (native)
        ctor->nativeInit = [setup, name](Vm& vm, Value self, Args& a) {
            if (self.IsObject() && MakeNative(self.o, name) && setup) setup(vm, self.o, a);
            return Value();
        };
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    holder->SetOwn(name, Value(static_cast<Object*>(ctor)), kDontEnum);
    return ctor;
}

} // namespace

Function* AddNativeClass(Vm& vm, Object* holder, const std::string& name, Object* proto, ClassSetup setup) {
    return InstallClass(vm, holder, name, proto, std::move(setup), true);
}

Function* AddPlainClass(Vm& vm, Object* holder, const std::string& name, Object* proto, ClassSetup setup) {
    return InstallClass(vm, holder, name, proto, std::move(setup), false);
}

void SuperGivesThis(Function* ctor) {
    ctor->nativeInit = [init = ctor->nativeInit](Vm& vm, Value self, Args& a) {
        if (init) init(vm, self, a);
        return self;
    };
}

void AddMethods(Vm& vm, Object* o, std::initializer_list<std::pair<const char*, Native>> methods,
                uint8_t flags) {
    for (const auto& [name, fn] : methods)
        o->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(fn, name))), kDontEnum | flags);
}

void FixProto(Vm& vm, Object* o) {
    vm.ProtoSlot(o)->flags |= kReadOnly;
}

void LogInert(Vm& vm, const std::string& what) {
    if (Host* host = vm.GetHost()) host->Log(what);
}

} // namespace movie::script
