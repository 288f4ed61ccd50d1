// Object and Function: the root of every prototype chain and what every
// function inherits (call, apply).
#include "movie/script/Classes.h"

#include <cstdint>

namespace movie::script {

void Vm::InstallObjectClass() {
    objectCtor = AddClass(
        "Object", objectProto,
        [](Vm& vm, Value, Args& a) {
            // Called as a function with nothing to convert, Object makes a
            // bare object: no prototype, not even Object's.
            Value v = Arg(a, 0);
            if (v.IsNullish()) return Value(vm.New<Object>(nullptr));
            return Value(vm.ToObject(v));
        },
        [](Vm& vm, Value, Args& a) {
            Value v = Arg(a, 0);
            if (v.IsObject()) return v;
            if (v.IsNullish()) return Value(vm.NewObject());
            return Value(vm.ToObject(v));
        });
    AddMethod(objectProto, "toString", [](Vm& vm, Value self, Args&) -> Value {
        if (self.IsObject() && self.o->IsFunction()) return Value("[type Function]");
        if (self.IsObject() && vm.GetHost() && vm.GetHost()->IsClip(self.o))
            return Value(vm.ClipText(self.o));
        if (self.IsObject() && vm.GetHost() && vm.GetHost()->IsPlaced(self.o))
            return Value(vm.GetHost()->TargetPath(self.o));
        return Value("[object Object]");
    });
    AddMethod(objectProto, "valueOf", [](Vm&, Value self, Args&) { return self; });
    AddMethod(objectProto, "hasOwnProperty", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        std::string name = vm.ToString(a[0]);
        // Every object holds its own __proto__; no property has an empty name.
        if (name.empty()) return Value(false);
        if (Vm::IsProtoName(name)) return Value(self.o->proto || self.o->FindOwn("__proto__", true));
        Value dummy;
        if (self.o->GetSpecial(vm, name, dummy)) return Value(true);
        return Value(self.o->FindOwn(name, vm.Caseless()) != nullptr);
    });
    AddMethod(objectProto, "isPropertyEnumerable", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        Property* p = self.o->FindOwn(vm.ToString(a[0]), vm.Caseless());
        return Value(p && !(p->flags & kDontEnum));
    });
    AddMethod(objectProto, "isPrototypeOf", [](Vm&, Value self, Args& a) {
        if (!self.IsObject() || a.empty() || !a[0].IsObject()) return Value(false);
        int guard = 0;
        for (Object* p = a[0].o->proto; p && guard < 256; p = p->proto, ++guard)
            if (p == self.o) return Value(true);
        return Value(false);
    });
    AddMethod(objectProto, "addProperty", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.size() < 2) return Value(false);
        std::string name = vm.ToString(a[0]);
        Value get = a[0 + 1], set = Arg(a, 2);
        if (name.empty() || !get.IsObject() || !get.o->IsFunction()) return Value(false);
        if (!set.IsNullish() && !(set.IsObject() && set.o->IsFunction())) return Value(false);
        Property* p = self.o->FindOwn(name, vm.Caseless());
        if (!p) p = &self.o->SetOwn(name, Value());
        p->virt = true;
        p->getter = get.o;
        p->setter = set.IsObject() ? set.o : nullptr;
        p->value = Value();
        // A watcher of the name sees the property made, from undefined to
        // undefined, and what it answers is the value the property holds.
        Value held;
        if (vm.CallWatcher(self.o, name, held))
            if (Property* q = self.o->FindOwn(name, vm.Caseless()); q && q->virt) q->value = held;
        return Value(true);
    });
    AddMethod(objectProto, "watch", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.size() < 2 || !a[1].IsObject() || !a[1].o->IsFunction())
            return Value(false);
        self.o->watches[vm.ToString(a[0])] = {a[1].o, Arg(a, 2)};
        return Value(true);
    });
    AddMethod(objectProto, "unwatch", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        // The watcher of a property with a getter stays: unwatch fails.
        std::string name = vm.ToString(a[0]);
        if (Property* p = self.o->FindOwn(name, vm.Caseless()); p && p->virt) return Value(false);
        return Value(self.o->watches.erase(name) > 0);
    });
    AddMethod(static_cast<Object*>(objectCtor), "registerClass", [](Vm& vm, Value, Args& a) {
        if (a.size() < 2) return Value(false);
        std::string name = vm.ToString(a[0]);
        if (a[1].IsObject())
            vm.registered[name] = a[1].o;
        else
            vm.registered.erase(name);
        return Value(true);
    });

    // ---- Function ----
    // Called as a function, Function hands back what it is given, or with
    // nothing a bare object.
    functionCtor = AddClass(
        "Function", functionProto,
        [](Vm& vm, Value, Args& a) { return a.empty() ? Value(vm.New<Object>(nullptr)) : a[0]; },
        [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); });
    global->FindOwn("Function", false)->versionMask = 6;
    // call and apply with no object to run on run the function on _global.
    AddMethod(functionProto, "call", [](Vm& vm, Value self, Args& a) {
        Value thisv = Arg(a, 0);
        Args rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
        // A primitive runs on its box; one that cannot be boxed on _global.
        if (!thisv.IsNullish() && !thisv.IsObject()) thisv = Value(vm.ToObject(thisv));
        if (thisv.IsNullish()) thisv = Value(vm.global);
        return vm.Call(self, thisv, rest);
    });
    AddMethod(functionProto, "apply", [](Vm& vm, Value self, Args& a) {
        Value thisv = Arg(a, 0);
        Args rest;
        Value list = Arg(a, 1);
        if (list.IsObject()) {
            if (auto* arr = dynamic_cast<Array*>(list.o))
                rest = arr->Elements();
            else {
                double n = vm.ToNumber(vm.Get(list.o, "length"));
                for (int i = 0; i < n && i < 65536; ++i)
                    rest.push_back(vm.Get(list.o, std::to_string(i)));
            }
        }
        // A primitive runs on its box; one that cannot be boxed on _global.
        if (!thisv.IsNullish() && !thisv.IsObject()) thisv = Value(vm.ToObject(thisv));
        if (thisv.IsNullish()) thisv = Value(vm.global);
        return vm.Call(self, thisv, rest);
    });
}

} // namespace movie::script
