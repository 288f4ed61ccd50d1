// The global objects and classes scripts find. Object, Function, Array,
// String, Number, Boolean, Math and the global functions each have a file of
// their own; this one installs them in order and adds Error, AsBroadcaster
// and the classes a saver keeps present but quiet. BuiltinTree.cpp then
// puts the whole tree in the player's order, with the player's flags.
#include "movie/script/BitmapDataClass.h"
#include "movie/script/Classes.h"
#include "movie/script/FilterClasses.h"
#include "movie/script/GeomClasses.h"
#include "movie/script/NativeClasses.h"
#include "movie/script/XmlNodeClass.h"

namespace movie::script {

void Vm::InstallBuiltins() {
    objectProto = new Object();
    Track(objectProto);
    functionProto = new Object();
    functionProto->proto = objectProto;
    functionProto->className = "Function";
    Track(functionProto);
    global = New<Object>(nullptr); // _global inherits nothing, not even valueOf
    InstallGlobals();
}

void Vm::AddMethod(Object* o, const std::string& name, Native fn) {
    o->SetOwn(name, Value(static_cast<Object*>(NewNative(std::move(fn), name))), kDontEnum);
}

Function* Vm::AddClass(const std::string& name, Object* proto, Native call, Native construct) {
    Function* ctor = NewNative(std::move(call), name);
    ctor->nativeConstruct = std::move(construct);
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    global->SetOwn(name, Value(static_cast<Object*>(ctor)), kDontEnum);
    return ctor;
}

void Vm::InstallGlobals() {
    InstallObjectClass();
    InstallArrayClass();
    InstallStringClass();
    InstallNumberClasses();
    InstallMath();
    InstallDateClass();
    InstallGlobalFunctions();

    // ---- Error ----
    errorProto = New<Object>(objectProto);
    errorProto->className = "Error";
    errorProto->SetOwn("name", Value("Error"), kDontEnum);
    errorProto->SetOwn("message", Value("Error"), kDontEnum);
    AddClass(
        "Error", errorProto,
        [](Vm& vm, Value, Args& a) {
            Object* e = vm.New<Object>(vm.errorProto);
            if (!a.empty() && !a[0].IsUndefined()) e->SetOwn("message", Value(vm.ToString(a[0])));
            return Value(e);
        },
        [](Vm& vm, Value, Args& a) {
            Object* e = vm.New<Object>(vm.errorProto);
            if (!a.empty() && !a[0].IsUndefined()) e->SetOwn("message", a[0]);
            return Value(e);
        });
    AddMethod(errorProto, "toString", [](Vm& vm, Value self, Args&) {
        return Value(self.IsObject() ? vm.ToString(vm.Get(self.o, "message")) : std::string("Error"));
    });

    // ---- AsBroadcaster ----
    Object* broadcasterProto = NewObject();
    Function* broadcaster = AddClass(
        "AsBroadcaster", broadcasterProto, [](Vm&, Value, Args&) { return Value(); },
        [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); });
    // Movies before SWF 6 see no prototype on it.
    broadcaster->FindOwn("prototype", false)->versionMask = 6;
    // A listener equal (==) to the one given is taken out; adding puts the
    // new one at the end instead.
    auto dropListener = [](Vm& vm, Array* arr, const Value& l) {
        std::vector<Value> items = arr->Elements();
        for (size_t i = 0; i < items.size(); ++i)
            if (vm.LooseEquals(items[i], l)) {
                items.erase(items.begin() + static_cast<long>(i));
                arr->Assign(items);
                return true;
            }
        return false;
    };
    auto listeners = [](Vm& vm, const Value& self) -> Array* {
        Value list = self.IsObject() ? vm.Get(self.o, "_listeners") : Value();
        return list.IsObject() ? dynamic_cast<Array*>(list.o) : nullptr;
    };
    Function* addListener = NewNative(
        [dropListener, listeners](Vm& vm, Value self, Args& a) {
            if (Array* arr = listeners(vm, self)) {
                dropListener(vm, arr, Arg(a, 0));
                arr->Append(Arg(a, 0));
            }
            return Value(true);
        },
        "addListener");
    Function* removeListener = NewNative(
        [dropListener, listeners](Vm& vm, Value self, Args& a) {
            Array* arr = listeners(vm, self);
            return Value(arr && dropListener(vm, arr, Arg(a, 0)));
        },
        "removeListener");
    // Each broadcaster gets a broadcastMessage of its own; the listener
    // functions are shared.
    auto newBroadcastMessage = [](Vm& vm) {
        return vm.NewNative(
            [](Vm& vm, Value self, Args& a) {
                if (!self.IsObject() || a.empty()) return Value();
                Value list = vm.Get(self.o, "_listeners");
                auto* arr = list.IsObject() ? dynamic_cast<Array*>(list.o) : nullptr;
                if (!arr) return Value();
                std::string name = vm.ToString(a[0]);
                Args rest(a.begin() + 1, a.end());
                std::vector<Value> copy = arr->Elements();
                for (Value& l : copy) {
                    if (!l.IsObject()) continue;
                    // No name: the listener itself is called.
                    Value fn = name.empty() ? l : vm.Get(l.o, name);
                    Args args = rest;
                    vm.Call(fn, l, args);
                }
                return Value(!copy.empty());
            },
            "broadcastMessage");
    };
    Function* broadcastMessage = newBroadcastMessage(*this);
    broadcaster->SetOwn("addListener", Value(static_cast<Object*>(addListener)), kDontEnum);
    broadcaster->SetOwn("removeListener", Value(static_cast<Object*>(removeListener)), kDontEnum);
    broadcaster->SetOwn("broadcastMessage", Value(static_cast<Object*>(broadcastMessage)), kDontEnum);
    AddMethod(broadcaster, "initialize",
              [addListener, removeListener, newBroadcastMessage](Vm& vm, Value, Args& a) {
                  Value t = Arg(a, 0);
                  if (!t.IsObject()) return Value();
                  t.o->SetOwn("broadcastMessage", Value(static_cast<Object*>(newBroadcastMessage(vm))),
                              kDontEnum);
                  t.o->SetOwn("addListener", Value(static_cast<Object*>(addListener)), kDontEnum);
                  t.o->SetOwn("removeListener", Value(static_cast<Object*>(removeListener)), kDontEnum);
                  t.o->SetOwn("_listeners", Value(static_cast<Object*>(vm.NewArray())), kDontEnum);
                  return Value();
              });

    // ---- classes a saver has no use for: present, quiet ----
    auto stubClass = [&](Object* holder, const std::string& name, uint8_t versionMask) {
        Object* proto = NewObject();
        Function* ctor = NewNative([](Vm&, Value, Args&) { return Value(); }, name);
        ctor->nativeConstruct = [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); };
        ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
        proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
        holder->SetOwn(name, Value(static_cast<Object*>(ctor)), kDontEnum).versionMask = versionMask;
        return ctor;
    };
    for (const char* name : {"Camera", "Microphone", "SharedObject", "Video"})
        stubClass(global, name, 0);
    InstallContextMenuClasses(*this);
    InstallLoadVarsClass(*this);
    InstallConnectionClasses(*this);
    InstallMovieClipLoaderClass(*this);
    InstallPrintJobClass(*this);
    InstallSoundClass(*this);
    InstallTextSnapshotClass(*this);
    InstallXmlNodeClass(*this, global);
    InstallXmlClass(*this, global);
    InstallTextFieldClass();
    InstallButtonClass();
    InstallTextFormatClass();
    {
        Function* textField = static_cast<Function*>(Get(global, "TextField").o);
        SuperGivesThis(AddNativeClass(*this, textField, "StyleSheet", NewObject()));
        textField->FindOwn("StyleSheet", false)->versionMask = 7;
        Function* sharedObject = static_cast<Function*>(Get(global, "SharedObject").o);
        AddMethod(sharedObject, "getLocal", [](Vm& vm, Value, Args&) {
            // Kept in memory only: nothing reaches the disk.
            Object* so = vm.NewObject();
            so->SetOwn("data", Value(vm.NewObject()));
            return Value(so);
        });
        // The packages of SWF 8.
        Object* flash = NewObject();
        global->SetOwn("flash", Value(flash), kDontEnum).versionMask = 8;
        auto package = [&](Object* parent, const char* name) {
            Object* p = NewObject();
            parent->SetOwn(name, Value(p), kDontEnum);
            return p;
        };
        Object* display = package(flash, "display");
        InstallBitmapDataClass(*this, display);
        // Testing tools: classes that do nothing in a player of movies.
        Object* automation = package(flash, "automation");
        for (const char* name : {"StageCapture", "ActionGenerator", "Configuration"})
            stubClass(automation, name, 0);
        Object* external = package(flash, "external");
        stubClass(external, "ExternalInterface", 0);
        InstallFilterClasses(*this, package(flash, "filters"));
        InstallGeomClasses(*this, package(flash, "geom"));
        Object* net = package(flash, "net");
        // Files are neither browsed nor moved: a reference has a native
        // inside that goes nowhere.
        AddNativeClass(*this, net, "FileReference", NewObject());
        stubClass(net, "FileReferenceList", 0);
        Object* text = package(flash, "text");
        // A class of settings only: `new` makes nothing.
        stubClass(text, "TextRenderer", 0)->nativeConstruct = [](Vm&, Value, Args&) { return Value(); };
    }

    // ---- quiet objects ----
    for (const char* name : {"Key", "Mouse", "Selection", "Stage", "System", "Accessibility"}) {
        Object* o = NewObject();
        global->SetOwn(name, Value(o), kDontEnum);
    }
    Object* mouse = Get(global, "Mouse").o;
    for (const char* m : {"show", "hide"})
        AddMethod(mouse, m, [](Vm&, Value, Args&) { return Value(true); });
    Object* key = Get(global, "Key").o;
    AddMethod(key, "isDown", [](Vm&, Value, Args&) { return Value(false); });
    AddMethod(key, "getCode", [](Vm&, Value, Args&) { return Value(0); });
    AddMethod(key, "getAscii", [](Vm&, Value, Args&) { return Value(0); });
    // The player's singletons keep their prototype.
    for (const char* name : {"Key", "Mouse", "Selection", "Accessibility", "Math"})
        FixProto(*this, Get(global, name).o);
    Object* system = Get(global, "System").o;
    Object* caps = NewObject();
    system->SetOwn("capabilities", Value(caps));
    caps->SetOwn("os", Value("Windows XP"));
    caps->SetOwn("version", Value("WIN 8,0,0,0"));
    caps->SetOwn("playerType", Value("StandAlone"));
    caps->SetOwn("language", Value("en"));
    caps->SetOwn("screenResolutionX", Value(1920));
    caps->SetOwn("screenResolutionY", Value(1080));
    caps->SetOwn("hasAudio", Value(true));
    system->SetOwn("IME", Value(NewObject()));
    FixProto(*this, Get(system, "IME").o);
    InstallProductClass(*this, system);
    system->SetOwn("security", Value(NewObject()));
    // The objects that tell listeners of events are broadcasters from the start.
    Value init = Get(broadcaster, "initialize");
    Value movieClipLoader = Get(global, "MovieClipLoader");
    for (Object* o :
         {key, mouse, Get(global, "Stage").o, Get(system, "IME").o, Get(movieClipLoader.o, "prototype").o}) {
        Args args{Value(o)};
        Call(init, Value(), args);
    }
}

} // namespace movie::script
