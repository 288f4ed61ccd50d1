// String: the class and its methods.
#include "movie/script/Classes.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

void Vm::InstallStringClass() {
    stringProto = New<Object>(objectProto);
    stringProto->className = "String";
    stringProto->primitive = Value("");
    stringProto->hasPrimitive = true;
    stringCtor = AddClass(
        "String", stringProto,
        [](Vm& vm, Value, Args& a) { return Value(a.empty() ? std::string() : vm.ToString(a[0])); },
        [](Vm& vm, Value, Args& a) {
            Object* o = vm.NewBox(Value(a.empty() ? std::string() : vm.ToString(a[0])));
            return Value(o);
        });
    stringCtor->nativeInit = [](Vm& vm, Value self, Args& a) {
        Value text(a.empty() ? std::string() : vm.ToString(a[0]));
        if (self.IsObject() && !IsNative(self.o)) vm.MakeBox(self.o, text);
        return self;
    };
    auto thisString = [](Vm& vm, Value self) -> std::string {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToString(self.o->primitive);
        return vm.ToString(self);
    };
    AddMethod(stringProto, "toString",
              [thisString](Vm& vm, Value self, Args&) { return Value(thisString(vm, self)); });
    AddMethod(stringProto, "valueOf",
              [thisString](Vm& vm, Value self, Args&) { return Value(thisString(vm, self)); });
    // Positions are 32-bit integers, wrapped as the player wraps them. Movies
    // before SWF 6 get nothing from a method that finds or cuts when they
    // give it nothing to work with.
    auto position = [](Vm& vm, const Value& v) { return static_cast<double>(vm.ToInt32(v)); };
    auto swf5Bare = [](Vm& vm, Args& a) { return vm.Version() < 6 && a.empty(); };
    AddMethod(stringProto, "charAt", [thisString, position](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double i = position(vm, Arg(a, 0));
        if (i < 0 || i >= static_cast<double>(s.size())) return Value("");
        return Value(s.substr(static_cast<size_t>(i), 1));
    });
    AddMethod(stringProto, "charCodeAt", [thisString, position](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double i = position(vm, Arg(a, 0));
        // Past the end SWF 5 reads a zero.
        if (i >= static_cast<double>(s.size()) && vm.Version() < 6) return Value(0);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value(NAN);
        return Value(static_cast<double>(static_cast<uint8_t>(s[static_cast<size_t>(i)])));
    });
    AddMethod(stringProto, "indexOf", [thisString, position, swf5Bare](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        if (swf5Bare(vm, a)) return Value();
        std::string t = vm.ToString(Arg(a, 0));
        double st = a.size() > 1 ? position(vm, a[1]) : 0;
        size_t from = st < 0 ? 0 : static_cast<size_t>(st);
        if (from > s.size()) return Value(-1);
        size_t p = s.find(t, from);
        return Value(p == std::string::npos ? -1.0 : static_cast<double>(p));
    });
    AddMethod(stringProto, "lastIndexOf", [thisString, swf5Bare](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        if (swf5Bare(vm, a)) return Value();
        std::string t = vm.ToString(Arg(a, 0));
        size_t from = std::string::npos;
        if (a.size() > 1 && !a[1].IsUndefined()) {
            double st = vm.ToNumber(a[1]);
            if (st < 0) return Value(-1);
            if (!std::isnan(st)) from = static_cast<size_t>(std::min(st, 1e9));
        }
        size_t p = s.rfind(t, from);
        return Value(p == std::string::npos ? -1.0 : static_cast<double>(p));
    });
    AddMethod(stringProto, "substr", [thisString, position, swf5Bare](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        if (swf5Bare(vm, a)) return Value();
        double len = static_cast<double>(s.size());
        double st = position(vm, Arg(a, 0));
        if (st < 0) st = std::max(0.0, len + st);
        st = std::min(st, len);
        double n = a.size() > 1 && !a[1].IsUndefined() ? position(vm, a[1]) : len;
        if (n < 0) n = std::max(0.0, len + n - st);
        n = std::min(n, len - st);
        return Value(s.substr(static_cast<size_t>(st), static_cast<size_t>(n)));
    });
    AddMethod(stringProto, "substring", [thisString, position, swf5Bare](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        if (swf5Bare(vm, a)) return Value();
        double len = static_cast<double>(s.size());
        auto clamp = [&](Value v, double dflt) {
            if (v.IsUndefined()) return dflt;
            return std::clamp(position(vm, v), 0.0, len);
        };
        double x = clamp(Arg(a, 0), 0), y = clamp(Arg(a, 1), len);
        if (x > y) std::swap(x, y);
        return Value(s.substr(static_cast<size_t>(x), static_cast<size_t>(y - x)));
    });
    AddMethod(stringProto, "slice", [thisString, position, swf5Bare](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        if (swf5Bare(vm, a)) return Value();
        double len = static_cast<double>(s.size());
        auto clamp = [&](Value v, double dflt) {
            if (v.IsUndefined()) return dflt;
            double d = position(vm, v);
            if (d < 0) d = std::max(0.0, len + d);
            return std::min(d, len);
        };
        double x = clamp(Arg(a, 0), 0), y = clamp(Arg(a, 1), len);
        if (x >= y) return Value("");
        return Value(s.substr(static_cast<size_t>(x), static_cast<size_t>(y - x)));
    });
    AddMethod(stringProto, "split", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        std::vector<Value> parts;
        size_t limit = std::string::npos;
        if (a.size() > 1 && !a[1].IsUndefined()) {
            double l = vm.ToNumber(a[1]);
            limit = std::isnan(l) || l < 0 ? 0 : static_cast<size_t>(std::min(l, 1e9));
        }
        // SWF 5 splits at commas when given no separator, and not at all
        // at an empty one.
        const bool swf5 = vm.Version() < 6;
        if ((a.empty() || a[0].IsUndefined()) && !swf5) {
            parts.push_back(Value(s));
        } else {
            std::string sep = a.empty() || a[0].IsUndefined() ? std::string(",") : vm.ToString(a[0]);
            if (sep.empty() && swf5) {
                parts.push_back(Value(s));
            } else if (sep.empty()) {
                for (char c : s)
                    parts.push_back(Value(std::string(1, c)));
            } else {
                size_t from = 0;
                for (;;) {
                    size_t p = s.find(sep, from);
                    if (p == std::string::npos) {
                        parts.push_back(Value(s.substr(from)));
                        break;
                    }
                    parts.push_back(Value(s.substr(from, p - from)));
                    from = p + sep.size();
                }
            }
        }
        if (limit < parts.size()) parts.resize(limit);
        Array* out = vm.NewArray();
        out->Assign(parts);
        return Value(static_cast<Object*>(out));
    });
    AddMethod(stringProto, "toUpperCase", [thisString](Vm& vm, Value self, Args&) {
        std::string s = thisString(vm, self);
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return Value(s);
    });
    AddMethod(stringProto, "toLowerCase",
              [thisString](Vm& vm, Value self, Args&) { return Value(Lower(thisString(vm, self))); });
    AddMethod(stringProto, "concat", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        for (Value& v : a)
            s += vm.ToString(v);
        return Value(s);
    });
    AddMethod(static_cast<Object*>(stringCtor), "fromCharCode", [](Vm& vm, Value, Args& a) {
        std::string s;
        for (Value& v : a) {
            int c = vm.ToInt32(v) & 0xffff;
            if (c == 0) break;
            AppendUtf8(s, c);
        }
        return Value(s);
    });
}

} // namespace movie::script
