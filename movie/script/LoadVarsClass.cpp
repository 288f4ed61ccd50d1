// LoadVars: variables as URL-encoded text, decoded into the object and
// encoded from it. Loading and sending reach outside the movie: inert.
#include "movie/script/NativeClasses.h"

namespace movie::script {

namespace {

// "a=1&b=two" into properties of o, each name and value unescaped; a pair
// without '=' names an empty value, an empty pair is skipped.
void Decode(Vm& vm, Object* o, const std::string& text) {
    size_t from = 0;
    while (from <= text.size()) {
        size_t end = text.find('&', from);
        if (end == std::string::npos) end = text.size();
        std::string pair = text.substr(from, end - from);
        if (!pair.empty()) {
            size_t eq = pair.find('=');
            std::string name = UrlUnescape(pair.substr(0, eq));
            std::string value = eq == std::string::npos ? std::string() : UrlUnescape(pair.substr(eq + 1));
            if (!name.empty()) vm.Set(o, name, Value(value));
        }
        from = end + 1;
    }
}

// The enumerable variables of o, own then inherited, functions left out.
std::string Encode(Vm& vm, Object* o) {
    std::string out;
    for (const std::string& name : vm.Keys(o)) {
        Value v = vm.Get(o, name);
        if (v.IsObject() && v.o->IsFunction()) continue;
        if (!out.empty()) out += '&';
        out += UrlEscape(name) + '=' + UrlEscape(vm.ToString(v));
    }
    return out;
}

} // namespace

void InstallLoadVarsClass(Vm& vm) {
    Object* proto = vm.NewObject();
    AddNativeClass(vm, vm.global, "LoadVars", proto);
    auto inert = [](const char* what) {
        return [what](Vm& vm, Value, Args& a) {
            LogInert(vm, std::string("LoadVars.") + what + " " + vm.ToString(Arg(a, 0)));
            return Value(false);
        };
    };
    AddMethods(vm, proto,
               {{"load", inert("load")},
                {"send", inert("send")},
                {"sendAndLoad", inert("sendAndLoad")},
                {"decode",
                 [](Vm& vm, Value self, Args& a) {
                     if (self.IsObject() && !a.empty()) Decode(vm, self.o, vm.ToString(a[0]));
                     return Value();
                 }},
                // Nothing is ever loaded.
                {"getBytesLoaded", [](Vm&, Value, Args&) { return Value(); }},
                {"getBytesTotal", [](Vm&, Value, Args&) { return Value(); }}});
    proto->SetOwn("toString", Value(static_cast<Object*>(vm.NewNative(
                                  [](Vm& vm, Value self, Args&) {
                                      return Value(self.IsObject() ? Encode(vm, self.o) : std::string());
                                  },
                                  "toString"))));
    proto->SetOwn("contentType", Value("application/x-www-form-urlencoded"), kDontEnum);
    AddMethods(vm, proto,
               {{"onLoad", [](Vm&, Value, Args&) { return Value(); }},
                // What arrives is decoded and announced; nothing means failure.
                {"onData",
                 [](Vm& vm, Value self, Args& a) {
                     if (!self.IsObject()) return Value();
                     Value text = Arg(a, 0);
                     if (!text.IsUndefined()) {
                         Decode(vm, self.o, vm.ToString(text));
                         vm.Set(self.o, "loaded", Value(true));
                     }
                     vm.CallMethodIfAny(self.o, "onLoad", Args{Value(!text.IsUndefined())});
                     return Value();
                 }},
                {"addRequestHeader", [](Vm&, Value, Args&) { return Value(); }}});
}

} // namespace movie::script
