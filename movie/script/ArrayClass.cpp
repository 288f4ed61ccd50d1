// Array: the class, its methods and sort flags. The methods work on any
// object through its length and numbered properties; when they move
// elements they read them all, drop them and write them anew, so the moved
// elements come last in the order of enumeration, and elements a script
// made undeletable or read-only stay as they were.
#include "movie/script/Classes.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

namespace {

enum SortFlag {
    kCaseInsensitive = 1,
    kDescending = 2,
    kUniqueSort = 4,
    kReturnIndexedArray = 8,
    kNumeric = 16
};

Array* AsArray(const Value& v) {
    return v.IsObject() ? dynamic_cast<Array*>(v.o) : nullptr;
}

struct Elements {
    Vm& vm;
    Object* o;
    Array* arr;

    Elements(Vm& vm, Object* o) : vm(vm), o(o), arr(dynamic_cast<Array*>(o)) {}

    int32_t Length() { return arr ? arr->length : vm.ToInt32(vm.Get(o, "length")); }
    // The length as a count of elements to visit: none when negative.
    int32_t Count() {
        int32_t n = Length();
        if (n > 0 && static_cast<size_t>(n) > Limits::kMaxArrayLength) throw Halt{"array too long"};
        return std::max(n, 0);
    }
    void SetLength(int32_t n) {
        if (arr)
            arr->SetLength(n);
        else
            vm.Set(o, "length", Value(n));
    }
    // A hole reads through the prototype chain, as a property would.
    Value Get(int32_t i) { return vm.Get(o, std::to_string(i)); }
    // Elements 0 .. n-1 when each is an own property holding a plain value
    // (no hole, no getter: reading them runs nothing).
    bool OwnValues(int32_t n, std::vector<Value>& out) {
        out.clear();
        if (!arr) return false;
        for (int32_t i = 0; i < n; ++i) {
            const Property* p = o->FindOwn(std::to_string(i), false);
            if (!p || p->virt || p->getter || p->versionMask) return false;
            out.push_back(p->value);
        }
        return true;
    }
    std::vector<Value> Read(int32_t from, int32_t to) {
        std::vector<Value> out;
        for (int32_t i = from; i < to; ++i)
            out.push_back(Get(i));
        return out;
    }
    void Remove(int32_t from, int32_t to) {
        if (to - from <= 8) {
            for (int32_t i = from; i < to; ++i)
                o->DeleteOwn(std::to_string(i), false);
            return;
        }
        // Many at once in one pass: one at a time, each deletion before the
        // last would move and index anew all the properties after it.
        o->DeleteOwnWhere([&](const std::string& name) {
            int32_t i;
            return ElementIndex(name, i) && i >= from && i < to && name == std::to_string(i);
        });
    }
    void Put(int32_t i, const Value& v) {
        std::string name = std::to_string(i);
        if (Property* p = o->FindOwn(name, false)) {
            if (!(p->flags & kReadOnly) && !p->virt) p->value = v;
        } else {
            o->SetOwn(name, v);
        }
        if (arr && i >= arr->length) arr->length = i + 1;
    }
    // Replaces elements 0 .. oldCount-1 by `values`.
    void Rewrite(int32_t oldCount, const std::vector<Value>& values) {
        if (values.size() > Limits::kMaxArrayLength) throw Halt{"array too long"};
        Remove(0, oldCount);
        for (size_t i = 0; i < values.size(); ++i)
            Put(static_cast<int32_t>(i), values[i]);
        SetLength(static_cast<int32_t>(values.size()));
    }
};

Value NewArrayOf(Vm& vm, const std::vector<Value>& values) {
    Array* out = vm.NewArray();
    out->Assign(values);
    return Value(static_cast<Object*>(out));
}

std::string Join(Vm& vm, Object* o, const std::string& sep) {
    Elements e(vm, o);
    int32_t n = e.Count();
    std::string out;
    for (int32_t i = 0; i < n; ++i) {
        if (i) out += sep;
        out += vm.ToString(e.Get(i));
        if (out.size() > Limits::kMaxStringLength) throw Halt{"string too long"};
    }
    return out;
}

// Start and end arguments of slice: negative ones count from the end.
int32_t ClampIndex(Vm& vm, const Value& v, int32_t len, int32_t dflt) {
    if (v.IsUndefined()) return dflt;
    double d = vm.ToNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) d = std::max(0.0, len + d);
    return static_cast<int32_t>(std::min(d, static_cast<double>(len)));
}

// Lower case for comparisons without regard to case: ASCII and the Latin-1
// letters of UTF-8 text.
std::string FoldCase(const std::string& s) {
    std::string out = Lower(s);
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        auto d = static_cast<unsigned char>(out[i + 1]);
        if (c == 0xc3 && d >= 0x80 && d <= 0x9e && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
    }
    return out;
}

// The player's sort, which is not stable and whose order of equal elements
// scripts can see: a quicksort around the first element of each partition,
// gathering the elements not above it from the left and those not below it
// from the right, so that a partition of equal elements keeps its order.
// Partitions wait on a stack of their own, so neither deep recursion nor a
// comparison that contradicts itself can run off the ends.
template <typename T, typename Cmp> void QuickSort(std::vector<T>& a, Cmp cmp) {
    if (a.size() < 2) return;
    std::vector<std::pair<size_t, size_t>> todo{{0, a.size() - 1}};
    while (!todo.empty()) {
        auto [lo, hi] = todo.back();
        todo.pop_back();
        size_t left = lo, right = hi + 1;
        for (;;) {
            do {
                ++left;
            } while (left <= hi && cmp(a[left], a[lo]) <= 0);
            do {
                --right;
            } while (right > lo && cmp(a[right], a[lo]) >= 0);
            if (right < left) break;
            std::swap(a[left], a[right]);
        }
        std::swap(a[lo], a[right]);
        if (right > lo + 1) todo.push_back({lo, right - 1});
        if (right + 1 < hi) todo.push_back({right + 1, hi});
    }
}

struct Sorter {
    Vm& vm;
    Value cmp;
    int flags = 0;
    std::vector<std::string> fields; // sortOn
    std::vector<int> fieldFlags;

    int CompareValues(const Value& x, const Value& y, int fl) {
        if ((fl & kNumeric) && x.IsNumber() && y.IsNumber()) {
            // NaN sorts after every number.
            bool nx = std::isnan(x.n), ny = std::isnan(y.n);
            if (nx || ny) return nx == ny ? 0 : nx ? 1 : -1;
            return x.n < y.n ? -1 : x.n > y.n ? 1 : 0;
        }
        std::string s = x.IsUndefined() ? "undefined" : vm.ToString(x);
        std::string t = y.IsUndefined() ? "undefined" : vm.ToString(y);
        if (fl & kCaseInsensitive) {
            s = FoldCase(s);
            t = FoldCase(t);
        }
        int c = CompareText(s, t);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    // sortOn reads own fields only: no prototype, no getter. A value that is
    // no object stands for itself.
    Value Field(const Value& v, const std::string& name) {
        if (!v.IsObject()) return v;
        if (Property* p = v.o->FindOwn(name, vm.Caseless())) return p->virt ? Value() : p->value;
        Value special;
        if (v.o->GetSpecial(vm, name, special)) return special;
        if (name == "length" && v.o->hasPrimitive && v.o->primitive.IsString())
            return Value(static_cast<double>(v.o->primitive.s.size()));
        return Value();
    }
    int Compare(const Value& x, const Value& y) {
        if (!fields.empty()) {
            for (size_t k = 0; k < fields.size(); ++k) {
                int fl = k < fieldFlags.size() ? fieldFlags[k] : flags;
                Value fx = Field(x, fields[k]), fy = Field(y, fields[k]);
                int c = CompareValues(fx, fy, fl);
                if (c) return (fl & kDescending) ? -c : c;
            }
            return 0;
        }
        int c;
        if (cmp.IsObject()) {
            Args args{x, y};
            double d = vm.ToNumber(vm.Call(cmp, Value(), args));
            c = d < 0 ? -1 : d > 0 ? 1 : 0;
        } else {
            c = CompareValues(x, y, flags);
        }
        return (flags & kDescending) ? -c : c;
    }

    Value Run(Object* o) {
        Elements e(vm, o);
        int32_t n = e.Count();
        std::vector<Value> items = e.Read(0, n);
        std::vector<size_t> order(items.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        // Sorting what is already in order takes time squared, as in the
        // player: long sorts count against the script's time.
        QuickSort(order, [&](size_t p, size_t q) {
            vm.CheckBudget();
            return Compare(items[p], items[q]);
        });
        if (flags & kUniqueSort) {
            for (size_t k = 1; k < order.size(); ++k)
                if (Compare(items[order[k - 1]], items[order[k]]) == 0) return Value(0);
        }
        if (flags & kReturnIndexedArray) {
            std::vector<Value> indices;
            for (size_t k : order)
                indices.push_back(Value(static_cast<double>(k)));
            return NewArrayOf(vm, indices);
        }
        std::vector<Value> sorted;
        for (size_t k : order)
            sorted.push_back(items[k]);
        e.Rewrite(n, sorted);
        return Value(o);
    }
};

} // namespace

void Vm::InstallArrayClass() {
    arrayProto = New<Array>(objectProto);
    auto arrayMake = [](Vm& vm, Value, Args& a) -> Value {
        Array* arr = vm.NewArray();
        if (a.size() == 1 && a[0].IsNumber())
            arr->SetLength(vm.ToInt32(a[0]));
        else
            arr->Assign(a);
        return Value(static_cast<Object*>(arr));
    };
    arrayCtor = AddClass("Array", arrayProto, arrayMake, arrayMake);
    // super() of a subclass: the elements (or the length) become properties
    // of `this`, which the methods of arrays then work on as on any object.
    arrayCtor->nativeInit = [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject() || IsNative(self.o)) return self;
        Object* o = self.o;
        o->native = true;
        o->className = "Array";
        if (a.size() == 1 && a[0].IsNumber()) {
            o->SetOwn("length", Value(static_cast<double>(vm.ToInt32(a[0]))), kDontEnum);
            return self;
        }
        for (size_t i = 0; i < a.size(); ++i)
            o->SetOwn(std::to_string(i), a[i]);
        o->SetOwn("length", Value(static_cast<double>(a.size())), kDontEnum);
        return self;
    };
    for (auto [n, v] : {std::pair{"CASEINSENSITIVE", kCaseInsensitive},
                        {"DESCENDING", kDescending},
                        {"UNIQUESORT", kUniqueSort},
                        {"RETURNINDEXEDARRAY", kReturnIndexedArray},
                        {"NUMERIC", kNumeric}})
        arrayCtor->SetOwn(n, Value(v), kDontEnum | kDontDelete | kReadOnly);
    AddMethod(arrayProto, "push", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        Elements e(vm, self.o);
        int32_t len = e.Length();
        if (static_cast<size_t>(std::max(len, 0)) + a.size() > Limits::kMaxArrayLength)
            throw Halt{"array too long"};
        for (size_t k = 0; k < a.size(); ++k)
            e.Put(len + static_cast<int32_t>(k), a[k]);
        e.SetLength(len + static_cast<int32_t>(a.size()));
        return Value(static_cast<double>(e.Length()));
    });
    AddMethod(arrayProto, "pop", [](Vm& vm, Value self, Args&) {
        if (!self.IsObject()) return Value();
        Elements e(vm, self.o);
        int32_t len = e.Length();
        if (len <= 0) return Value();
        Value v = e.Get(len - 1);
        e.Remove(len - 1, len);
        e.SetLength(len - 1);
        return v;
    });
    AddMethod(arrayProto, "shift", [](Vm& vm, Value self, Args&) {
        if (!self.IsObject()) return Value();
        Elements e(vm, self.o);
        int32_t len = e.Count();
        if (len == 0) return Value();
        std::vector<Value> items = e.Read(0, len);
        Value first = items.front();
        items.erase(items.begin());
        e.Rewrite(len, items);
        return first;
    });
    AddMethod(arrayProto, "unshift", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        Elements e(vm, self.o);
        int32_t len = e.Count();
        std::vector<Value> items = a;
        std::vector<Value> old = e.Read(0, len);
        items.insert(items.end(), old.begin(), old.end());
        e.Rewrite(len, items);
        return Value(static_cast<double>(e.Length()));
    });
    AddMethod(arrayProto, "join", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        std::string sep = a.empty() || a[0].IsUndefined() ? "," : vm.ToString(a[0]);
        return Value(Join(vm, self.o, sep));
    });
    AddMethod(arrayProto, "toString", [](Vm& vm, Value self, Args&) {
        // An array, or an object a subclass's super() made one.
        bool array = AsArray(self) || (self.IsObject() && self.o->native && self.o->className == "Array");
        if (!array) return Value("[object Object]");
        return Value(Join(vm, self.o, ","));
    });
    AddMethod(arrayProto, "reverse", [](Vm& vm, Value self, Args&) {
        if (!self.IsObject()) return self;
        Elements e(vm, self.o);
        int32_t len = e.Count();
        std::vector<Value> own;
        if (e.OwnValues(len, own)) {
            // Every element its own plain value, read without side effects:
            // the pairs go in one pass and come back in the same order.
            // (An odd length's middle element stays where it is.)
            e.Remove(0, len / 2);
            e.Remove((len + 1) / 2, len);
            for (int32_t lo = 0, hi = len - 1; lo < hi; ++lo, --hi) {
                e.Put(lo, own[static_cast<size_t>(hi)]);
                e.Put(hi, own[static_cast<size_t>(lo)]);
            }
            return self;
        }
        for (int32_t lo = 0, hi = len - 1; lo < hi; ++lo, --hi) {
            vm.CheckBudget();
            Value a = e.Get(lo), b = e.Get(hi);
            e.Remove(lo, lo + 1);
            e.Remove(hi, hi + 1);
            e.Put(lo, b);
            e.Put(hi, a);
        }
        return self;
    });
    AddMethod(arrayProto, "slice", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return NewArrayOf(vm, {});
        Elements e(vm, self.o);
        int32_t len = e.Count();
        int32_t s = ClampIndex(vm, Arg(a, 0), len, 0), end = ClampIndex(vm, Arg(a, 1), len, len);
        return NewArrayOf(vm, s < end ? e.Read(s, end) : std::vector<Value>{});
    });
    AddMethod(arrayProto, "splice", [](Vm& vm, Value self, Args& a) {
        // A missing start, or a count that is missing or negative when given,
        // leaves the array alone.
        if (!self.IsObject() || a.empty() || a[0].IsUndefined()) return Value();
        Elements e(vm, self.o);
        int32_t len = e.Count();
        int32_t s = ClampIndex(vm, a[0], len, 0);
        int32_t count = len - s;
        if (a.size() > 1) {
            if (a[1].IsUndefined()) return Value();
            double c = vm.ToNumber(a[1]);
            if (c < 0) return Value();
            count =
                std::isnan(c) ? 0 : static_cast<int32_t>(std::min(std::trunc(c), static_cast<double>(count)));
        }
        std::vector<Value> items = e.Read(0, len);
        std::vector<Value> removed(items.begin() + s, items.begin() + s + count);
        items.erase(items.begin() + s, items.begin() + s + count);
        if (a.size() > 2) items.insert(items.begin() + s, a.begin() + 2, a.end());
        e.Rewrite(len, items);
        return NewArrayOf(vm, removed);
    });
    AddMethod(arrayProto, "concat", [](Vm& vm, Value self, Args& a) {
        std::vector<Value> items;
        if (self.IsObject()) {
            Elements e(vm, self.o);
            items = e.Read(0, e.Count());
        }
        for (Value& v : a) {
            if (Array* other = AsArray(v)) {
                Elements e(vm, other);
                std::vector<Value> more = e.Read(0, e.Count());
                items.insert(items.end(), more.begin(), more.end());
            } else {
                items.push_back(v);
            }
            if (items.size() > Limits::kMaxArrayLength) throw Halt{"array too long"};
        }
        return NewArrayOf(vm, items);
    });
    AddMethod(arrayProto, "sort", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        Sorter sorter{vm, {}, 0, {}, {}};
        // The first argument is a compare function or the flags; anything
        // else but an object makes sort refuse. A second argument gives the
        // flags.
        if (!a.empty()) {
            const Value& first = a[0];
            if (first.IsObject() && first.o->IsFunction())
                sorter.cmp = first;
            else if (first.IsNumber())
                sorter.flags = vm.ToInt32(first);
            else if (!first.IsObject())
                return Value();
        }
        if (a.size() > 1 && a[1].IsNumber()) sorter.flags = vm.ToInt32(a[1]);
        return sorter.Run(self.o);
    });
    AddMethod(arrayProto, "sortOn", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        if (a.empty()) return Value();
        Sorter sorter{vm, {}, 0, {}, {}};
        Value f = a[0];
        if (Array* fa = AsArray(f))
            for (const Value& x : fa->Elements())
                sorter.fields.push_back(vm.ToString(x));
        else if (!f.IsUndefined())
            sorter.fields.push_back(vm.ToString(f));
        // Flags per field: the first field's also say whether the sort is
        // unique and whether it returns the order.
        Value fl = Arg(a, 1);
        if (Array* fla = AsArray(fl)) {
            // A list of flags that does not match the fields is ignored.
            if (fla->length == static_cast<int32_t>(sorter.fields.size()))
                for (const Value& x : fla->Elements())
                    sorter.fieldFlags.push_back(vm.ToInt32(x));
            if (!sorter.fieldFlags.empty())
                sorter.flags = sorter.fieldFlags[0] & (kUniqueSort | kReturnIndexedArray);
        } else if (!fl.IsUndefined()) {
            sorter.flags = vm.ToInt32(fl);
        }
        if (sorter.fields.empty()) return self;
        return sorter.Run(self.o);
    });
}

} // namespace movie::script
