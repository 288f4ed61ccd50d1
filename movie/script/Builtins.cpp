// The global objects and classes scripts find: Object, Function, Array,
// String, Number, Boolean, Math, Error, AsBroadcaster, timers and the
// global functions.
#include "movie/script/Vm.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

namespace movie::script {

namespace {

Value Arg(Args& a, size_t i) {
    return i < a.size() ? a[i] : Value();
}

std::mt19937& MathRng() {
    static std::mt19937 rng(4242);
    return rng;
}

} // namespace

void Vm::InstallBuiltins() {
    objectProto = new Object();
    Track(objectProto);
    functionProto = new Object();
    functionProto->proto = objectProto;
    functionProto->className = "Function";
    Track(functionProto);
    global = New<Object>(objectProto);
    InstallGlobals();
}

void Vm::InstallGlobals() {
    Vm& vm = *this;
    auto method = [&](Object* o, const std::string& name, Native fn) {
        o->SetOwn(name, Value(static_cast<Object*>(NewNative(std::move(fn), name))), kDontEnum);
    };
    auto makeClass = [&](const std::string& name, Object* proto, Native call, Native construct) {
        Function* ctor = NewNative(std::move(call), name);
        ctor->nativeConstruct = std::move(construct);
        ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
        proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
        global->SetOwn(name, Value(static_cast<Object*>(ctor)), kDontEnum);
        return ctor;
    };

    // ---- Object ----
    objectCtor = makeClass(
        "Object", objectProto,
        [](Vm& vm, Value, Args& a) {
            Value v = Arg(a, 0);
            if (v.IsNullish()) return Value(vm.NewObject());
            return Value(vm.ToObject(v));
        },
        [](Vm& vm, Value, Args& a) {
            Value v = Arg(a, 0);
            if (v.IsObject()) return v;
            if (v.IsNullish()) return Value(vm.NewObject());
            return Value(vm.ToObject(v));
        });
    method(objectProto, "toString", [](Vm& vm, Value self, Args&) -> Value {
        if (self.IsObject() && self.o->IsFunction()) return Value("[type Function]");
        if (self.IsObject() && vm.GetHost() && vm.GetHost()->IsClip(self.o))
            return Value(vm.GetHost()->TargetPath(self.o));
        return Value("[object Object]");
    });
    method(objectProto, "valueOf", [](Vm&, Value self, Args&) { return self; });
    method(objectProto, "hasOwnProperty", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        std::string name = vm.ToString(a[0]);
        Value dummy;
        if (self.o->GetSpecial(vm, name, dummy)) return Value(true);
        return Value(self.o->FindOwn(name, vm.Caseless()) != nullptr);
    });
    method(objectProto, "isPropertyEnumerable", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        Property* p = self.o->FindOwn(vm.ToString(a[0]), vm.Caseless());
        return Value(p && !(p->flags & kDontEnum));
    });
    method(objectProto, "isPrototypeOf", [](Vm&, Value self, Args& a) {
        if (!self.IsObject() || a.empty() || !a[0].IsObject()) return Value(false);
        int guard = 0;
        for (Object* p = a[0].o->proto; p && guard < 256; p = p->proto, ++guard)
            if (p == self.o) return Value(true);
        return Value(false);
    });
    method(objectProto, "addProperty", [](Vm& vm, Value self, Args& a) {
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
        return Value(true);
    });
    method(objectProto, "watch", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.size() < 2 || !a[1].IsObject() || !a[1].o->IsFunction())
            return Value(false);
        self.o->watches[vm.ToString(a[0])] = {a[1].o, Arg(a, 2)};
        return Value(true);
    });
    method(objectProto, "unwatch", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || a.empty()) return Value(false);
        return Value(self.o->watches.erase(vm.ToString(a[0])) > 0);
    });
    method(static_cast<Object*>(objectCtor), "registerClass", [](Vm& vm, Value, Args& a) {
        if (a.size() < 2) return Value(false);
        std::string name = vm.ToString(a[0]);
        if (a[1].IsObject())
            vm.registered[name] = a[1].o;
        else
            vm.registered.erase(name);
        return Value(true);
    });

    // ---- Function ----
    functionCtor = makeClass(
        "Function", functionProto, [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); },
        [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); });
    global->FindOwn("Function", false)->versionMask = 6;
    method(functionProto, "call", [](Vm& vm, Value self, Args& a) {
        Value thisv = Arg(a, 0);
        Args rest(a.size() > 1 ? a.begin() + 1 : a.end(), a.end());
        if (thisv.IsNullish())
            thisv = Value();
        else if (!thisv.IsObject())
            thisv = Value(vm.ToObject(thisv));
        return vm.Call(self, thisv, rest);
    });
    method(functionProto, "apply", [](Vm& vm, Value self, Args& a) {
        Value thisv = Arg(a, 0);
        Args rest;
        Value list = Arg(a, 1);
        if (list.IsObject()) {
            if (auto* arr = dynamic_cast<Array*>(list.o))
                rest = arr->items;
            else {
                double n = vm.ToNumber(vm.Get(list.o, "length"));
                for (int i = 0; i < n && i < 65536; ++i)
                    rest.push_back(vm.Get(list.o, std::to_string(i)));
            }
        }
        if (thisv.IsNullish())
            thisv = Value();
        else if (!thisv.IsObject())
            thisv = Value(vm.ToObject(thisv));
        return vm.Call(self, thisv, rest);
    });

    // ---- Array ----
    arrayProto = New<Array>(objectProto);
    auto arrayMake = [](Vm& vm, Value, Args& a) -> Value {
        Array* arr = vm.NewArray();
        if (a.size() == 1 && a[0].IsNumber()) {
            double n = a[0].n;
            if (n >= 0 && n < static_cast<double>(Limits::kMaxArrayLength))
                arr->items.resize(static_cast<size_t>(n));
        } else {
            arr->items = a;
        }
        return Value(static_cast<Object*>(arr));
    };
    arrayCtor = makeClass("Array", arrayProto, arrayMake, arrayMake);
    for (auto [n, v] : {std::pair{"CASEINSENSITIVE", 1},
                        {"DESCENDING", 2},
                        {"UNIQUESORT", 4},
                        {"RETURNINDEXEDARRAY", 8},
                        {"NUMERIC", 16}})
        arrayCtor->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    auto asArray = [](Value self) { return self.IsObject() ? dynamic_cast<Array*>(self.o) : nullptr; };
    method(arrayProto, "push", [asArray](Vm&, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr) return Value();
        if (arr->items.size() + a.size() > Limits::kMaxArrayLength) throw Halt{"array too long"};
        for (Value& v : a)
            arr->items.push_back(v);
        return Value(static_cast<double>(arr->items.size()));
    });
    method(arrayProto, "pop", [asArray](Vm&, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr || arr->items.empty()) return Value();
        Value v = arr->items.back();
        arr->items.pop_back();
        return v;
    });
    method(arrayProto, "shift", [asArray](Vm&, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr || arr->items.empty()) return Value();
        Value v = arr->items.front();
        arr->items.erase(arr->items.begin());
        return v;
    });
    method(arrayProto, "unshift", [asArray](Vm&, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr) return Value();
        if (arr->items.size() + a.size() > Limits::kMaxArrayLength) throw Halt{"array too long"};
        arr->items.insert(arr->items.begin(), a.begin(), a.end());
        return Value(static_cast<double>(arr->items.size()));
    });
    auto join = [](Vm& vm, Array* arr, const std::string& sep) {
        std::string out;
        for (size_t i = 0; i < arr->items.size(); ++i) {
            if (i) out += sep;
            const Value& v = arr->items[i];
            if (!v.IsNullish())
                out += vm.ToString(v);
            else if (vm.Version() >= 7 && v.IsUndefined())
                out += "undefined";
            else if (v.type == Value::Type::Null)
                out += "null";
            if (out.size() > Limits::kMaxStringLength) throw Halt{"string too long"};
        }
        return out;
    };
    method(arrayProto, "join", [asArray, join](Vm& vm, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr) return Value();
        std::string sep = a.empty() || a[0].IsUndefined() ? "," : vm.ToString(a[0]);
        return Value(join(vm, arr, sep));
    });
    method(arrayProto, "toString", [asArray, join](Vm& vm, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr) return Value("[object Object]");
        return Value(join(vm, arr, ","));
    });
    method(arrayProto, "reverse", [asArray](Vm&, Value self, Args&) {
        if (Array* arr = asArray(self)) std::reverse(arr->items.begin(), arr->items.end());
        return self;
    });
    auto clampIndex = [](Vm& vm, Value v, size_t len, size_t dflt) -> size_t {
        if (v.IsUndefined()) return dflt;
        double d = vm.ToNumber(v);
        if (std::isnan(d)) return 0;
        d = std::trunc(d);
        if (d < 0) d = std::max(0.0, static_cast<double>(len) + d);
        return static_cast<size_t>(std::min(d, static_cast<double>(len)));
    };
    method(arrayProto, "slice", [asArray, clampIndex](Vm& vm, Value self, Args& a) {
        Array* arr = asArray(self);
        Array* out = vm.NewArray();
        if (!arr) return Value(static_cast<Object*>(out));
        size_t len = arr->items.size();
        size_t s = clampIndex(vm, Arg(a, 0), len, 0), e = clampIndex(vm, Arg(a, 1), len, len);
        if (s < e)
            out->items.assign(arr->items.begin() + static_cast<long>(s),
                              arr->items.begin() + static_cast<long>(e));
        return Value(static_cast<Object*>(out));
    });
    method(arrayProto, "splice", [asArray, clampIndex](Vm& vm, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr || a.empty()) return Value();
        size_t len = arr->items.size();
        size_t s = clampIndex(vm, a[0], len, 0);
        size_t count = len - s;
        if (a.size() > 1) {
            double c = vm.ToNumber(a[1]);
            count =
                std::isnan(c) || c < 0 ? 0 : static_cast<size_t>(std::min(c, static_cast<double>(len - s)));
        }
        Array* removed = vm.NewArray();
        removed->items.assign(arr->items.begin() + static_cast<long>(s),
                              arr->items.begin() + static_cast<long>(s + count));
        arr->items.erase(arr->items.begin() + static_cast<long>(s),
                         arr->items.begin() + static_cast<long>(s + count));
        if (a.size() > 2)
            arr->items.insert(arr->items.begin() + static_cast<long>(s), a.begin() + 2, a.end());
        return Value(static_cast<Object*>(removed));
    });
    method(arrayProto, "concat", [asArray](Vm& vm, Value self, Args& a) {
        Array* out = vm.NewArray();
        if (Array* arr = asArray(self)) out->items = arr->items;
        for (Value& v : a) {
            if (Array* other = asArray(v))
                out->items.insert(out->items.end(), other->items.begin(), other->items.end());
            else
                out->items.push_back(v);
        }
        return Value(static_cast<Object*>(out));
    });
    auto sortImpl = [asArray](Vm& vm, Value self, Args& a, bool on) -> Value {
        Array* arr = asArray(self);
        if (!arr) return Value();
        Value cmp;
        int flags = 0;
        std::vector<std::string> fields;
        std::vector<int> fieldFlags;
        size_t i = 0;
        if (on) {
            Value f = Arg(a, 0);
            if (Array* fa = asArray(f))
                for (Value& x : fa->items)
                    fields.push_back(vm.ToString(x));
            else if (!f.IsUndefined())
                fields.push_back(vm.ToString(f));
            Value fl = Arg(a, 1);
            if (Array* fla = asArray(fl)) {
                for (Value& x : fla->items)
                    fieldFlags.push_back(vm.ToInt32(x));
            } else if (!fl.IsUndefined()) {
                flags = vm.ToInt32(fl);
            }
        } else {
            if (i < a.size() && a[i].IsObject() && a[i].o->IsFunction()) cmp = a[i++];
            if (i < a.size()) flags = vm.ToInt32(a[i]);
        }
        auto compareValues = [&](const Value& x, const Value& y, int fl) -> int {
            if (fl & 16) {
                double p = vm.ToNumber(x), q = vm.ToNumber(y);
                if (x.IsNumber() && y.IsNumber()) return p < q ? -1 : p > q ? 1 : 0;
                if (!std::isnan(p) && !std::isnan(q)) return p < q ? -1 : p > q ? 1 : 0;
            }
            std::string s = vm.ToString(x), t = vm.ToString(y);
            if (x.IsUndefined()) s = "undefined";
            if (y.IsUndefined()) t = "undefined";
            if (fl & 1) {
                s = Lower(s);
                t = Lower(t);
            }
            return s < t ? -1 : s > t ? 1 : 0;
        };
        auto compare = [&](const Value& x, const Value& y) -> int {
            int c;
            if (on) {
                c = 0;
                for (size_t k = 0; k < fields.size() && c == 0; ++k) {
                    int fl = k < fieldFlags.size() ? fieldFlags[k] : flags;
                    Value fx = x.IsObject() ? vm.Get(x.o, fields[k]) : Value();
                    Value fy = y.IsObject() ? vm.Get(y.o, fields[k]) : Value();
                    c = compareValues(fx, fy, fl);
                    if (fl & 2) c = -c;
                }
                return c;
            }
            if (cmp.IsObject()) {
                Args args{x, y};
                double d = vm.ToNumber(vm.Call(cmp, Value(), args));
                c = d < 0 ? -1 : d > 0 ? 1 : 0;
            } else {
                c = compareValues(x, y, flags);
            }
            return (flags & 2) ? -c : c;
        };
        std::vector<size_t> order(arr->items.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::vector<Value> items = arr->items;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t p, size_t q) { return compare(items[p], items[q]) < 0; });
        if (flags & 4) {
            for (size_t k = 1; k < order.size(); ++k)
                if (compare(items[order[k - 1]], items[order[k]]) == 0) return Value(0);
        }
        if (flags & 8) {
            Array* out = vm.NewArray();
            for (size_t k : order)
                out->items.push_back(Value(static_cast<double>(k)));
            return Value(static_cast<Object*>(out));
        }
        for (size_t k = 0; k < order.size(); ++k)
            arr->items[k] = items[order[k]];
        return self;
    };
    method(arrayProto, "sort",
           [sortImpl](Vm& vm, Value self, Args& a) { return sortImpl(vm, self, a, false); });
    method(arrayProto, "sortOn",
           [sortImpl](Vm& vm, Value self, Args& a) { return sortImpl(vm, self, a, true); });

    // ---- String ----
    stringProto = New<Object>(objectProto);
    stringProto->className = "String";
    stringProto->primitive = Value("");
    stringProto->hasPrimitive = true;
    Function* stringCtor = makeClass(
        "String", stringProto,
        [](Vm& vm, Value, Args& a) { return Value(a.empty() ? std::string() : vm.ToString(a[0])); },
        [](Vm& vm, Value, Args& a) {
            Object* o = vm.ToObject(Value(a.empty() ? std::string() : vm.ToString(a[0])));
            return Value(o);
        });
    auto thisString = [](Vm& vm, Value self) -> std::string {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToString(self.o->primitive);
        return vm.ToString(self);
    };
    method(stringProto, "toString",
           [thisString](Vm& vm, Value self, Args&) { return Value(thisString(vm, self)); });
    method(stringProto, "valueOf",
           [thisString](Vm& vm, Value self, Args&) { return Value(thisString(vm, self)); });
    method(stringProto, "charAt", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double i = vm.ToNumber(Arg(a, 0));
        if (std::isnan(i)) i = 0;
        i = std::trunc(i);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value("");
        return Value(s.substr(static_cast<size_t>(i), 1));
    });
    method(stringProto, "charCodeAt", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double i = vm.ToNumber(Arg(a, 0));
        if (std::isnan(i)) i = 0;
        i = std::trunc(i);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value(NAN);
        return Value(static_cast<double>(static_cast<uint8_t>(s[static_cast<size_t>(i)])));
    });
    method(stringProto, "indexOf", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        std::string t = vm.ToString(Arg(a, 0));
        double st = a.size() > 1 ? vm.ToNumber(a[1]) : 0;
        size_t from = std::isnan(st) || st < 0 ? 0 : static_cast<size_t>(std::min(st, 1e9));
        if (from > s.size()) return Value(-1);
        size_t p = s.find(t, from);
        return Value(p == std::string::npos ? -1.0 : static_cast<double>(p));
    });
    method(stringProto, "lastIndexOf", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        std::string t = vm.ToString(Arg(a, 0));
        size_t from = std::string::npos;
        if (a.size() > 1) {
            double st = vm.ToNumber(a[1]);
            if (st < 0) return Value(-1);
            if (!std::isnan(st)) from = static_cast<size_t>(std::min(st, 1e9));
        }
        size_t p = s.rfind(t, from);
        return Value(p == std::string::npos ? -1.0 : static_cast<double>(p));
    });
    method(stringProto, "substr", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double len = static_cast<double>(s.size());
        double st = vm.ToNumber(Arg(a, 0));
        if (std::isnan(st)) st = 0;
        st = std::trunc(st);
        if (st < 0) st = std::max(0.0, len + st);
        st = std::min(st, len);
        double n = a.size() > 1 && !a[1].IsUndefined() ? vm.ToNumber(a[1]) : len;
        if (std::isnan(n)) n = 0;
        n = std::trunc(n);
        if (n < 0) n = std::max(0.0, len + n - st);
        n = std::min(n, len - st);
        return Value(s.substr(static_cast<size_t>(st), static_cast<size_t>(n)));
    });
    method(stringProto, "substring", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double len = static_cast<double>(s.size());
        auto clamp = [&](Value v, double dflt) {
            if (v.IsUndefined()) return dflt;
            double d = vm.ToNumber(v);
            if (std::isnan(d) || d < 0) return 0.0;
            return std::min(std::trunc(d), len);
        };
        double x = clamp(Arg(a, 0), 0), y = clamp(Arg(a, 1), len);
        if (x > y) std::swap(x, y);
        return Value(s.substr(static_cast<size_t>(x), static_cast<size_t>(y - x)));
    });
    method(stringProto, "slice", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        double len = static_cast<double>(s.size());
        auto clamp = [&](Value v, double dflt) {
            if (v.IsUndefined()) return dflt;
            double d = vm.ToNumber(v);
            if (std::isnan(d)) return 0.0;
            d = std::trunc(d);
            if (d < 0) d = std::max(0.0, len + d);
            return std::min(d, len);
        };
        double x = clamp(Arg(a, 0), 0), y = clamp(Arg(a, 1), len);
        if (x >= y) return Value("");
        return Value(s.substr(static_cast<size_t>(x), static_cast<size_t>(y - x)));
    });
    method(stringProto, "split", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        Array* out = vm.NewArray();
        size_t limit = std::string::npos;
        if (a.size() > 1 && !a[1].IsUndefined()) {
            double l = vm.ToNumber(a[1]);
            limit = std::isnan(l) || l < 0 ? 0 : static_cast<size_t>(std::min(l, 1e9));
        }
        if (a.empty() || a[0].IsUndefined()) {
            out->items.push_back(Value(s));
        } else {
            std::string sep = vm.ToString(a[0]);
            if (sep.empty()) {
                for (char c : s)
                    out->items.push_back(Value(std::string(1, c)));
            } else {
                size_t from = 0;
                for (;;) {
                    size_t p = s.find(sep, from);
                    if (p == std::string::npos) {
                        out->items.push_back(Value(s.substr(from)));
                        break;
                    }
                    out->items.push_back(Value(s.substr(from, p - from)));
                    from = p + sep.size();
                }
            }
        }
        if (limit < out->items.size()) out->items.resize(limit);
        return Value(static_cast<Object*>(out));
    });
    method(stringProto, "toUpperCase", [thisString](Vm& vm, Value self, Args&) {
        std::string s = thisString(vm, self);
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return Value(s);
    });
    method(stringProto, "toLowerCase",
           [thisString](Vm& vm, Value self, Args&) { return Value(Lower(thisString(vm, self))); });
    method(stringProto, "concat", [thisString](Vm& vm, Value self, Args& a) {
        std::string s = thisString(vm, self);
        for (Value& v : a)
            s += vm.ToString(v);
        return Value(s);
    });
    method(static_cast<Object*>(stringCtor), "fromCharCode", [](Vm& vm, Value, Args& a) {
        std::string s;
        for (Value& v : a) {
            int c = vm.ToInt32(v) & 0xffff;
            if (c == 0) break;
            AppendUtf8(s, c);
        }
        return Value(s);
    });

    // ---- Number, Boolean ----
    numberProto = New<Object>(objectProto);
    numberProto->className = "Number";
    numberProto->primitive = Value(0);
    numberProto->hasPrimitive = true;
    Function* numberCtor = makeClass(
        "Number", numberProto,
        [](Vm& vm, Value, Args& a) { return Value(a.empty() ? 0.0 : vm.ToNumber(a[0])); },
        [](Vm& vm, Value, Args& a) {
            return Value(vm.ToObject(Value(a.empty() ? 0.0 : vm.ToNumber(a[0]))));
        });
    for (auto [n, v] : {std::pair{"MAX_VALUE", 1.79769313486231e+308},
                        {"MIN_VALUE", 4.9406564584124654e-324},
                        {"NaN", NAN},
                        {"NEGATIVE_INFINITY", -INFINITY},
                        {"POSITIVE_INFINITY", INFINITY}})
        numberCtor->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    numberCtor->FindOwn("MAX_VALUE", false)->value = Value(std::numeric_limits<double>::max());
    auto thisNumber = [](Vm& vm, Value self) -> double {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToNumber(self.o->primitive);
        return vm.ToNumber(self);
    };
    method(numberProto, "toString", [thisNumber](Vm& vm, Value self, Args& a) {
        double n = thisNumber(vm, self);
        int radix = a.empty() || a[0].IsUndefined() ? 10 : vm.ToInt32(a[0]);
        return Value(Vm::NumberToRadix(n, radix));
    });
    method(numberProto, "valueOf",
           [thisNumber](Vm& vm, Value self, Args&) { return Value(thisNumber(vm, self)); });
    booleanProto = New<Object>(objectProto);
    booleanProto->className = "Boolean";
    booleanProto->primitive = Value(false);
    booleanProto->hasPrimitive = true;
    makeClass(
        "Boolean", booleanProto, [](Vm& vm, Value, Args& a) { return Value(!a.empty() && vm.ToBool(a[0])); },
        [](Vm& vm, Value, Args& a) { return Value(vm.ToObject(Value(!a.empty() && vm.ToBool(a[0])))); });
    auto thisBool = [](Vm& vm, Value self) -> bool {
        if (self.IsObject() && self.o->hasPrimitive) return vm.ToBool(self.o->primitive);
        return vm.ToBool(self);
    };
    method(booleanProto, "toString",
           [thisBool](Vm& vm, Value self, Args&) { return Value(thisBool(vm, self) ? "true" : "false"); });
    method(booleanProto, "valueOf",
           [thisBool](Vm& vm, Value self, Args&) { return Value(thisBool(vm, self)); });

    // ---- Math ----
    Object* math = NewObject();
    global->SetOwn("Math", Value(math), kDontEnum);
    for (auto [n, v] : {std::pair{"E", std::numbers::e},
                        {"LN10", std::numbers::ln10},
                        {"LN2", std::numbers::ln2},
                        {"LOG10E", std::numbers::log10e},
                        {"LOG2E", std::numbers::log2e},
                        {"PI", std::numbers::pi},
                        {"SQRT1_2", std::numbers::sqrt2 / 2},
                        {"SQRT2", std::numbers::sqrt2}})
        math->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    auto unary = [&](const char* name, double (*fn)(double)) {
        method(math, name,
               [fn](Vm& vm, Value, Args& a) { return Value(a.empty() ? NAN : fn(vm.ToNumber(a[0]))); });
    };
    unary("abs", [](double x) { return std::fabs(x); });
    unary("acos", [](double x) { return std::acos(x); });
    unary("asin", [](double x) { return std::asin(x); });
    unary("atan", [](double x) { return std::atan(x); });
    unary("ceil", [](double x) { return std::ceil(x); });
    unary("cos", [](double x) { return std::cos(x); });
    unary("exp", [](double x) { return std::exp(x); });
    unary("floor", [](double x) { return std::floor(x); });
    unary("log", [](double x) { return std::log(x); });
    unary("round", [](double x) { return std::floor(x + 0.5); });
    unary("sin", [](double x) { return std::sin(x); });
    unary("sqrt", [](double x) { return std::sqrt(x); });
    unary("tan", [](double x) { return std::tan(x); });
    method(math, "atan2", [](Vm& vm, Value, Args& a) {
        return Value(std::atan2(vm.ToNumber(Arg(a, 0)), vm.ToNumber(Arg(a, 1))));
    });
    method(math, "pow", [](Vm& vm, Value, Args& a) {
        return Value(std::pow(vm.ToNumber(Arg(a, 0)), vm.ToNumber(Arg(a, 1))));
    });
    // min and max take two numbers; a missing second one is undefined.
    method(math, "min", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value(INFINITY);
        double x = vm.ToNumber(a[0]), y = vm.ToNumber(Arg(a, 1));
        return Value(std::isnan(x) || std::isnan(y) ? NAN : std::min(x, y));
    });
    method(math, "max", [](Vm& vm, Value, Args& a) {
        if (a.empty()) return Value(-INFINITY);
        double x = vm.ToNumber(a[0]), y = vm.ToNumber(Arg(a, 1));
        return Value(std::isnan(x) || std::isnan(y) ? NAN : std::max(x, y));
    });
    method(math, "random",
           [](Vm&, Value, Args&) { return Value(std::uniform_real_distribution<double>(0, 1)(MathRng())); });

    // ---- global functions ----
    method(global, "trace", [](Vm& vm, Value, Args& a) {
        Value v = Arg(a, 0);
        vm.Trace(v.IsUndefined() ? "undefined" : vm.ToString(v));
        return Value();
    });
    method(global, "isNaN", [](Vm& vm, Value, Args& a) { return Value(std::isnan(vm.ToNumber(Arg(a, 0)))); });
    method(global, "isFinite",
           [](Vm& vm, Value, Args& a) { return Value(std::isfinite(vm.ToNumber(Arg(a, 0)))); });
    method(global, "parseFloat", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0));
        size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
            ++i;
        size_t k = i;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        bool digits = false;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9')
            ++k, digits = true;
        if (k < s.size() && s[k] == '.') {
            ++k;
            while (k < s.size() && s[k] >= '0' && s[k] <= '9')
                ++k, digits = true;
        }
        if (!digits) return Value(NAN);
        if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
            size_t m = k + 1;
            if (m < s.size() && (s[m] == '+' || s[m] == '-')) ++m;
            if (m < s.size() && s[m] >= '0' && s[m] <= '9') {
                k = m;
                while (k < s.size() && s[k] >= '0' && s[k] <= '9')
                    ++k;
            }
        }
        return Value(std::strtod(s.substr(i, k - i).c_str(), nullptr));
    });
    method(global, "parseInt", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0));
        int radix = a.size() > 1 && !a[1].IsUndefined() ? vm.ToInt32(a[1]) : 0;
        size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
            ++i;
        bool neg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
        if (radix == 0) {
            if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
                radix = 16;
                i += 2;
            } else if (i + 1 < s.size() && s[i] == '0') {
                radix = 8;
            } else {
                radix = 10;
            }
        } else if (radix == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            i += 2;
        }
        if (radix < 2 || radix > 36) return Value(NAN);
        double v = 0;
        bool any = false;
        for (; i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'z' ? c - 'a' + 10
                    : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                           : 99;
            if (d >= radix) break;
            v = v * radix + d;
            any = true;
        }
        if (!any) return Value(NAN);
        return Value(neg ? -v : v);
    });
    method(global, "escape", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0)), out;
        for (unsigned char c : s) {
            if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                out.push_back(static_cast<char>(c));
            } else {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", c);
                out += buf;
            }
        }
        return Value(out);
    });
    method(global, "unescape", [](Vm& vm, Value, Args& a) {
        std::string s = vm.ToString(Arg(a, 0)), out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size() + 0 && isxdigit(static_cast<unsigned char>(s[i + 1])) &&
                i + 2 < s.size() && isxdigit(static_cast<unsigned char>(s[i + 2]))) {
                out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
                i += 2;
            } else if (s[i] == '+') {
                out.push_back(' ');
            } else {
                out.push_back(s[i]);
            }
        }
        return Value(out);
    });
    method(global, "getTimer", [](Vm& vm, Value, Args&) { return Value(std::floor(vm.now)); });
    method(global, "ASSetPropFlags", [](Vm& vm, Value, Args& a) {
        Value target = Arg(a, 0);
        if (!target.IsObject()) return Value();
        Object* o = target.o;
        Value names = Arg(a, 1);
        int set = vm.ToInt32(Arg(a, 2));
        int clear = a.size() > 3 ? vm.ToInt32(a[3]) : 0;
        auto apply = [&](Property& p) {
            p.flags = static_cast<uint8_t>((p.flags & ~clear) | set) & 7;
            int v = (p.flags & ~7) | (set & ~7);
            (void)v;
            if (set & 0x80) p.versionMask = 6;
            if (set & 0x100) p.versionMask = 7;
            if (set & 0x400) p.versionMask = 8;
            if (clear & 0x80 || clear & 0x100 || clear & 0x400) p.versionMask = 0;
        };
        if (names.IsNullish()) {
            for (auto& s : o->Slots())
                apply(s.prop);
        } else {
            std::vector<std::string> list;
            if (auto* arr = dynamic_cast<Array*>(names.IsObject() ? names.o : nullptr)) {
                for (Value& v : arr->items)
                    list.push_back(vm.ToString(v));
            } else {
                std::string s = vm.ToString(names);
                size_t from = 0;
                for (;;) {
                    size_t p = s.find(',', from);
                    list.push_back(s.substr(from, p == std::string::npos ? std::string::npos : p - from));
                    if (p == std::string::npos) break;
                    from = p + 1;
                }
            }
            for (auto& n : list)
                if (Property* p = o->FindOwn(n, vm.Caseless())) apply(*p);
        }
        return Value();
    });
    auto addTimer = [](Vm& vm, Args& a, bool repeat) -> Value {
        Vm::Timer t;
        size_t i = 0;
        if (a.empty()) return Value();
        if (a[0].IsObject() && a[0].o->IsFunction()) {
            t.fn = a[0];
            i = 1;
        } else if (a.size() >= 2 && a[0].IsObject()) {
            t.self = a[0];
            t.method = vm.ToString(a[1]);
            i = 2;
        } else {
            return Value();
        }
        if (i >= a.size()) return Value();
        t.interval = std::max(0.0, vm.ToNumber(a[i]));
        if (std::isnan(t.interval)) t.interval = 0;
        t.args.assign(a.begin() + static_cast<long>(i + 1), a.end());
        t.id = vm.nextTimer++;
        t.due = vm.now + t.interval;
        t.repeat = repeat;
        if (vm.timers.size() >= 10000) return Value();
        vm.timers.push_back(std::move(t));
        return Value(static_cast<double>(vm.timers.back().id));
    };
    method(global, "setInterval", [addTimer](Vm& vm, Value, Args& a) { return addTimer(vm, a, true); });
    method(global, "setTimeout", [addTimer](Vm& vm, Value, Args& a) { return addTimer(vm, a, false); });
    auto clear = [](Vm& vm, Value, Args& a) {
        int id = vm.ToInt32(Arg(a, 0));
        vm.timers.erase(std::remove_if(vm.timers.begin(), vm.timers.end(),
                                       [id](const Vm::Timer& t) { return t.id == id; }),
                        vm.timers.end());
        return Value();
    };
    method(global, "clearInterval", clear);
    method(global, "clearTimeout", clear);
    global->SetOwn("NaN", Value(NAN), kDontEnum);
    global->SetOwn("Infinity", Value(INFINITY), kDontEnum);
    for (const char* inert : {"fscommand", "getURL", "loadMovie", "loadMovieNum", "loadVariables",
                              "loadVariablesNum", "unloadMovie", "unloadMovieNum", "updateAfterEvent"})
        method(global, inert, [inert](Vm& vm, Value, Args&) {
            if (vm.GetHost()) vm.GetHost()->Log(inert);
            return Value();
        });

    // ---- Error ----
    errorProto = New<Object>(objectProto);
    errorProto->className = "Error";
    errorProto->SetOwn("name", Value("Error"), kDontEnum);
    errorProto->SetOwn("message", Value("Error"), kDontEnum);
    makeClass(
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
    method(errorProto, "toString", [](Vm& vm, Value self, Args&) {
        return Value(self.IsObject() ? vm.ToString(vm.Get(self.o, "message")) : std::string("Error"));
    });

    // ---- AsBroadcaster ----
    Object* broadcasterProto = NewObject();
    Function* broadcaster = makeClass(
        "AsBroadcaster", broadcasterProto, [](Vm&, Value, Args&) { return Value(); },
        [](Vm& vm, Value, Args&) { return Value(vm.NewObject()); });
    Function* addListener = NewNative(
        [](Vm& vm, Value self, Args& a) {
            if (!self.IsObject()) return Value(true);
            Value list = vm.Get(self.o, "_listeners");
            auto* arr = list.IsObject() ? dynamic_cast<Array*>(list.o) : nullptr;
            if (!arr) return Value(true);
            Value l = Arg(a, 0);
            for (Value& v : arr->items)
                if (Vm::StrictEquals(v, l)) return Value(true);
            arr->items.push_back(l);
            return Value(true);
        },
        "addListener");
    Function* removeListener = NewNative(
        [](Vm& vm, Value self, Args& a) {
            if (!self.IsObject()) return Value(false);
            Value list = vm.Get(self.o, "_listeners");
            auto* arr = list.IsObject() ? dynamic_cast<Array*>(list.o) : nullptr;
            if (!arr) return Value(false);
            Value l = Arg(a, 0);
            for (size_t i = 0; i < arr->items.size(); ++i)
                if (Vm::StrictEquals(arr->items[i], l)) {
                    arr->items.erase(arr->items.begin() + static_cast<long>(i));
                    return Value(true);
                }
            return Value(false);
        },
        "removeListener");
    Function* broadcastMessage = NewNative(
        [](Vm& vm, Value self, Args& a) {
            if (!self.IsObject() || a.empty()) return Value();
            Value list = vm.Get(self.o, "_listeners");
            auto* arr = list.IsObject() ? dynamic_cast<Array*>(list.o) : nullptr;
            if (!arr) return Value();
            std::string name = vm.ToString(a[0]);
            Args rest(a.begin() + 1, a.end());
            std::vector<Value> copy = arr->items;
            for (Value& l : copy) {
                if (!l.IsObject()) continue;
                Value fn = vm.Get(l.o, name);
                Args args = rest;
                vm.Call(fn, l, args);
            }
            return Value(!copy.empty());
        },
        "broadcastMessage");
    broadcaster->SetOwn("addListener", Value(static_cast<Object*>(addListener)), kDontEnum);
    broadcaster->SetOwn("removeListener", Value(static_cast<Object*>(removeListener)), kDontEnum);
    broadcaster->SetOwn("broadcastMessage", Value(static_cast<Object*>(broadcastMessage)), kDontEnum);
    method(broadcaster, "initialize",
           [addListener, removeListener, broadcastMessage](Vm& vm, Value, Args& a) {
               Value t = Arg(a, 0);
               if (!t.IsObject()) return Value();
               t.o->SetOwn("_listeners", Value(static_cast<Object*>(vm.NewArray())), kDontEnum);
               t.o->SetOwn("addListener", Value(static_cast<Object*>(addListener)), kDontEnum);
               t.o->SetOwn("removeListener", Value(static_cast<Object*>(removeListener)), kDontEnum);
               t.o->SetOwn("broadcastMessage", Value(static_cast<Object*>(broadcastMessage)), kDontEnum);
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
    for (const char* name : {"Button",
                             "Camera",
                             "ContextMenu",
                             "Date",
                             "ContextMenuItem",
                             "LoadVars",
                             "LocalConnection",
                             "Microphone",
                             "MovieClipLoader",
                             "NetConnection",
                             "NetStream",
                             "PrintJob",
                             "SharedObject",
                             "Sound",
                             "TextField",
                             "TextFormat",
                             "TextSnapshot",
                             "Video",
                             "XML",
                             "XMLNode",
                             "XMLSocket"})
        stubClass(global, name, 0);
    {
        Function* textField = static_cast<Function*>(Get(global, "TextField").o);
        stubClass(textField, "StyleSheet", 7);
        Function* sharedObject = static_cast<Function*>(Get(global, "SharedObject").o);
        method(sharedObject, "getLocal", [](Vm& vm, Value, Args&) {
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
        stubClass(display, "BitmapData", 0);
        Object* external = package(flash, "external");
        stubClass(external, "ExternalInterface", 0);
        Object* filters = package(flash, "filters");
        for (const char* f : {"BevelFilter", "BitmapFilter", "BlurFilter", "ColorMatrixFilter",
                              "ConvolutionFilter", "DisplacementMapFilter", "DropShadowFilter", "GlowFilter",
                              "GradientBevelFilter", "GradientGlowFilter"})
            stubClass(filters, f, 0);
        Object* geom = package(flash, "geom");
        for (const char* g : {"ColorTransform", "Matrix", "Point", "Rectangle", "Transform"})
            stubClass(geom, g, 0);
        Object* net = package(flash, "net");
        stubClass(net, "FileReference", 0);
        stubClass(net, "FileReferenceList", 0);
        Object* text = package(flash, "text");
        stubClass(text, "TextRenderer", 0);
    }

    // ---- quiet objects ----
    for (const char* name : {"Key", "Mouse", "Selection", "Stage", "System", "Accessibility"}) {
        Object* o = NewObject();
        global->SetOwn(name, Value(o), kDontEnum);
    }
    Object* mouse = Get(global, "Mouse").o;
    for (const char* m : {"show", "hide", "addListener", "removeListener"})
        method(mouse, m, [](Vm&, Value, Args&) { return Value(true); });
    Object* key = Get(global, "Key").o;
    method(key, "isDown", [](Vm&, Value, Args&) { return Value(false); });
    method(key, "getCode", [](Vm&, Value, Args&) { return Value(0); });
    method(key, "getAscii", [](Vm&, Value, Args&) { return Value(0); });
    Args none;
    Value init = Get(broadcaster, "initialize");
    Args keyArgs{Value(key)};
    Call(init, Value(), keyArgs);
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
    system->SetOwn("security", Value(NewObject()));
    (void)none;
    (void)vm;
}

} // namespace movie::script
