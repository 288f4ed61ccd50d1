// Buttons and videos as scripts see them (the Button class), and what they
// share with text fields: the properties of a placed object.
#include "movie/script/PlacedObject.h"

#include "movie/script/Classes.h"
#include "movie/script/ClipHost.h"
#include "movie/script/FilterClasses.h"
#include "movie/script/NativeClasses.h"

namespace movie::script {

PlacedObject* AsPlaced(Object* o) {
    return o ? dynamic_cast<PlacedObject*>(o) : nullptr;
}

bool PlacedObject::GetPlacedProperty(Vm& vm, const std::string& key, Value& out) {
    if (!display) return false;
    if (vm.Version() >= 8 && GetDisplayProperty(vm, *display, key, out)) return true;
    if (key.empty() || key[0] != '_') return false;
    if (int index = ClipPropertyIndex(key); index >= 0) {
        out = host->GetClipProperty(this, index);
        return true;
    }
    auto is = [&](const char* word) { return vm.Caseless() ? CaselessEqual(key, word) : key == word; };
    if (is("_parent")) {
        out = parent ? Value(parent) : Value();
        return true;
    }
    if (is("_root") || is("_level0")) {
        out = Value(host->Root());
        return true;
    }
    if (is("_global") && vm.Version() >= 6) {
        out = Value(vm.global);
        return true;
    }
    return false;
}

bool PlacedObject::SetPlacedProperty(Vm& vm, const std::string& key, const Value& v) {
    if (!display) return false;
    if (vm.Version() >= 8 && SetDisplayProperty(vm, *display, key, v)) return true;
    int index = !key.empty() && key[0] == '_' ? ClipPropertyIndex(key) : -1;
    if (index < 0) return false;
    host->SetClipProperty(this, index, v);
    return true;
}

void Vm::InstallButtonClass() {
    Object* proto = NewObject();
    buttonProto = proto;
    AddClass(
        "Button", proto, [](Vm&, Value, Args&) { return Value(); },
        [](Vm& vm, Value, Args&) {
            // A button made by `new` has a button inside, though none on the stage.
            Object* o = vm.NewObject();
            MakeNative(o, "Button");
            return Value(o);
        });
    AddMethod(proto, "getDepth", [](Vm&, Value self, Args&) -> Value {
        PlacedObject* b = self.IsObject() ? AsPlaced(self.o) : nullptr;
        if (!b || !b->display) return {};
        return Value(static_cast<double>(b->display->depth) - 16384);
    });
}

} // namespace movie::script

namespace movie {

bool ScriptHost::IsPlaced(script::Object* o) {
    return script::AsPlaced(o) != nullptr;
}

script::Object* ScriptHost::AttachPlaced(DisplayObject& o, script::Object* parent) {
    const bool button = o.character->Kind() == CharacterKind::Button;
    auto* b = vm_->New<script::PlacedObject>(button ? vm_->buttonProto : vm_->objectProto);
    b->className = button ? "Button" : "Video";
    b->host = this;
    b->display = &o;
    b->parent = parent;
    // Unnamed buttons are named as sprites are; videos stay nameless.
    if (o.name.empty() && button) o.name = "instance" + std::to_string(++steps_);
    o.clip = b;
    return b;
}

} // namespace movie
