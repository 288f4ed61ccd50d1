// Array: the class, its methods and sort flags.
#include "movie/script/Classes.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

void Vm::InstallArrayClass() {
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
    arrayCtor = AddClass("Array", arrayProto, arrayMake, arrayMake);
    for (auto [n, v] : {std::pair{"CASEINSENSITIVE", 1},
                        {"DESCENDING", 2},
                        {"UNIQUESORT", 4},
                        {"RETURNINDEXEDARRAY", 8},
                        {"NUMERIC", 16}})
        arrayCtor->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    auto asArray = [](Value self) { return self.IsObject() ? dynamic_cast<Array*>(self.o) : nullptr; };
    AddMethod(arrayProto, "push", [asArray](Vm&, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr) return Value();
        if (arr->items.size() + a.size() > Limits::kMaxArrayLength) throw Halt{"array too long"};
        for (Value& v : a)
            arr->items.push_back(v);
        return Value(static_cast<double>(arr->items.size()));
    });
    AddMethod(arrayProto, "pop", [asArray](Vm&, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr || arr->items.empty()) return Value();
        Value v = arr->items.back();
        arr->items.pop_back();
        return v;
    });
    AddMethod(arrayProto, "shift", [asArray](Vm&, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr || arr->items.empty()) return Value();
        Value v = arr->items.front();
        arr->items.erase(arr->items.begin());
        return v;
    });
    AddMethod(arrayProto, "unshift", [asArray](Vm&, Value self, Args& a) {
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
    AddMethod(arrayProto, "join", [asArray, join](Vm& vm, Value self, Args& a) {
        Array* arr = asArray(self);
        if (!arr) return Value();
        std::string sep = a.empty() || a[0].IsUndefined() ? "," : vm.ToString(a[0]);
        return Value(join(vm, arr, sep));
    });
    AddMethod(arrayProto, "toString", [asArray, join](Vm& vm, Value self, Args&) {
        Array* arr = asArray(self);
        if (!arr) return Value("[object Object]");
        return Value(join(vm, arr, ","));
    });
    AddMethod(arrayProto, "reverse", [asArray](Vm&, Value self, Args&) {
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
    AddMethod(arrayProto, "slice", [asArray, clampIndex](Vm& vm, Value self, Args& a) {
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
    AddMethod(arrayProto, "splice", [asArray, clampIndex](Vm& vm, Value self, Args& a) {
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
    AddMethod(arrayProto, "concat", [asArray](Vm& vm, Value self, Args& a) {
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
    AddMethod(arrayProto, "sort",
              [sortImpl](Vm& vm, Value self, Args& a) { return sortImpl(vm, self, a, false); });
    AddMethod(arrayProto, "sortOn",
              [sortImpl](Vm& vm, Value self, Args& a) { return sortImpl(vm, self, a, true); });
}

} // namespace movie::script
