#include "movie/script/Vm.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unordered_set>

namespace movie::script {

Vm::Vm(int version) : version_(version) {
    InstallBuiltins();
}

Vm::~Vm() {
    for (Object* o : heap_)
        delete o;
}

void Vm::Track(Object* o) {
    if (heap_.size() >= Limits::kMaxScriptObjects) {
        delete o;
        throw Halt{"too many objects"};
    }
    heap_.push_back(o);
}

Function* Vm::NewNative(Native fn, const std::string& name) {
    Function* f = New<Function>(functionProto);
    f->className = "Function";
    f->native = std::move(fn);
    f->name = name;
    return f;
}

namespace {

// The time scripts have taken: the processor time of the program where the
// C library measures it, so that a busy machine does not cut scripts short;
// elsewhere (Windows' clock() is wall time too) the wall clock.
std::chrono::microseconds ScriptClock() {
#ifdef _WIN32
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
#else
    return std::chrono::microseconds(static_cast<int64_t>(std::clock() * (1e6 / CLOCKS_PER_SEC)));
#endif
}

} // namespace

void Vm::StartBudget() {
    budgetStart_ = ScriptClock();
    budgetOn_ = true;
    budgetCount_ = 0;
    haltedThisFrame_ = false;
}

void Vm::CheckBudget() {
    if (!budgetOn_) return;
    // Once the frame's scripts are stopped, whatever still runs stops at once.
    if (haltedThisFrame_) throw Halt{"script ran too long"};
    if (++budgetCount_ < 1024) return;
    budgetCount_ = 0;
    if (ScriptClock() - budgetStart_ > budget_) {
        haltedThisFrame_ = true;
        throw Halt{"script ran too long"};
    }
}

// ---- properties ----

// A lookup that climbs more prototypes than this stops the script, as a
// chain that loops back on itself does.
constexpr int kMaxChain = 256;

[[noreturn]] void Vm::ChainTooLong() {
    throw Halt{"prototype chain too long"};
}

Property* Vm::Lookup(Object* o, const std::string& name, Object** owner) {
    int guard = 0;
    for (Object* p = o; p && guard < 256; p = p->proto, ++guard) {
        if (Property* prop = p->FindOwn(name, Caseless())) {
            if (prop->versionMask && version_ < prop->versionMask) continue;
            if (owner) *owner = p;
            return prop;
        }
    }
    return nullptr;
}

Value Vm::Get(Object* o, const std::string& name) {
    if (!o) return {};
    if (IsProtoName(name)) {
        if (Value special; o->GetSpecial(*this, name, special)) return special;
        if (Property* own = o->FindOwn("__proto__", true)) return own->value;
        return o->proto ? Value(o->proto) : Value();
    }
    int guard = 0;
    for (Object* p = o; p && guard < kMaxChain; p = p->proto, ++guard) {
        Value special;
        if (p->GetSpecial(*this, name, special)) return special;
        if (Property* prop = p->FindOwn(name, Caseless())) {
            if (prop->versionMask && version_ < prop->versionMask) continue;
            if (prop->virt) return CallAccessor(p, name, Value(o), nullptr);
            return prop->value;
        }
    }
    if (guard >= kMaxChain) ChainTooLong();
    if (host_ && host_->IsClip(o)) {
        if (Object* child = host_->ChildNamed(o, name, Caseless())) return Value(child);
    }
    return {};
}

Value Vm::GetValue(const Value& base, const std::string& name) {
    if (base.IsObject()) return Get(base.o, name);
    if (base.IsNullish()) return {};
    bool builtIn;
    Value cls = BoxClass(base, builtIn);
    if (builtIn && base.IsString() && name == "length")
        return Value(static_cast<double>(ScriptLength(base.s)));
    Object* boxed = builtIn ? NewBox(base) : BoxBy(cls, base);
    return boxed ? Get(boxed, name) : Value();
}

// Every object holds its prototype as a property of its own, whatever the
// case of its name: hidden and fixed, and read-only only where the player
// makes it so (its singletons, colours). It keeps what it is given, the
// chain going on only through an object.
bool Vm::IsProtoName(const std::string& name) {
    return name.size() == 9 && CaselessEqual(name, "__proto__");
}

Property* Vm::ProtoSlot(Object* o) {
    if (Property* own = o->FindOwn("__proto__", true)) return own;
    return &o->SetOwn("__proto__", o->proto ? Value(o->proto) : Value(), kDontEnum | kDontDelete);
}

Value Vm::GetMember(const Value& base, const std::string& name) {
    Value v = GetValue(base, name);
    if (!v.IsUndefined() || !base.IsObject() || IsProtoName(name) || name == "__resolve" || Has(base.o, name))
        return v;
    // A property nobody has goes to the first __resolve up the chain that
    // holds an object (numbers, texts, clips and getters there are passed
    // over); a function is asked for it by name.
    int guard = 0;
    for (Object* p = base.o; p && guard < 256; p = p->proto, ++guard) {
        Property* r = p->FindOwn("__resolve", Caseless());
        if (!r || r->virt || !r->value.IsObject() || (host_ && host_->IsClip(r->value.o))) continue;
        Args args{Value(name)};
        return Call(r->value, base, args);
    }
    return v;
}

// A watcher of the property, when there is one and it may run, is called
// with the name, the old value, the new one and its user data, and what it
// returns becomes the new value.
bool Vm::CallWatcher(Object* o, const std::string& name, Value& value) {
    if (o->watches.empty()) return false;
    auto it = o->watches.find(name);
    if (it == o->watches.end() && Caseless())
        for (auto w = o->watches.begin(); w != o->watches.end(); ++w)
            if (CaselessEqual(w->first, name)) it = w;
    // Like a getter or setter, a watcher runs only so many times over.
    const int limit = version_ >= 7 ? 65 : 1;
    if (it == o->watches.end() || it->second.busy >= limit) return false;
    std::string key = it->first;
    Object::Watch w = it->second;
    ++it->second.busy;
    // The old value of a property with a getter is what it holds, not
    // what the getter says.
    Property* own = o->FindOwn(name, Caseless());
    Value old = own && own->virt ? own->value : Get(o, name);
    auto done = [&] {
        auto again = o->watches.find(key);
        if (again != o->watches.end() && again->second.busy) --again->second.busy;
    };
    Args args{Value(name), old, value, w.data};
    try {
        value = Call(Value(w.fn), Value(o), args);
    } catch (const Thrown&) {
        // A watcher that throws leaves the property undefined.
        done();
        if (Property* p = o->FindOwn(name, Caseless()); p && !p->virt) p->value = Value();
        throw;
    } catch (...) {
        done();
        throw;
    }
    done();
    return true;
}

void Vm::Set(Object* o, const std::string& name, const Value& v) {
    if (!o) return;
    Value value = v;
    CallWatcher(o, name, value);
    if (IsProtoName(name)) {
        Property* own = o->FindOwn("__proto__", true);
        if (o->KeepsProto() || (own && (own->flags & kReadOnly))) return;
        o->proto = value.IsObject() ? value.o : nullptr;
        if (own)
            own->value = value;
        else if (!value.IsObject())
            ProtoSlot(o)->value = value;
        return;
    }
    if (o->SetSpecial(*this, name, value)) return;
    Property* own = o->FindOwn(name, Caseless());
    if (own && own->versionMask && version_ < own->versionMask) own = nullptr;
    if (!own) {
        // A setter further up the chain takes the write.
        int guard = 0;
        for (Object* p = o->proto; p && guard < 256; p = p->proto, ++guard) {
            Property* prop = p->FindOwn(name, Caseless());
            if (!prop || (prop->versionMask && version_ < prop->versionMask)) continue;
            if (prop->virt) {
                CallAccessor(p, name, Value(o), &value);
                return;
            }
            break;
        }
        size_t before = o->Slots().size();
        o->SetOwn(name, value);
        (void)before;
        return;
    }
    if (own->virt) {
        CallAccessor(o, name, Value(o), &value);
        return;
    }
    if (own->flags & kReadOnly) return;
    own->value = value;
}

// A property made with addProperty calls its getter or setter only so many
// times over at once: from SWF 7 on 65, before not again while one runs. Past
// that the property acts as a plain one, whose value each set leaves behind
// once its setter has returned.
Value Vm::CallAccessor(Object* owner, const std::string& name, const Value& self, const Value* set) {
    Property* p = owner->FindOwn(name, Caseless());
    if (!p) return {};
    const int limit = version_ >= 7 ? 65 : 1;
    Object* fn = set ? p->setter : p->getter;
    // A watcher of the property that runs as often over as it may stops them too.
    bool watchFull = false;
    if (self.IsObject() && !self.o->watches.empty()) {
        auto w = self.o->watches.find(name);
        watchFull = w != self.o->watches.end() && w->second.busy >= limit;
    }
    if (!fn || p->busy >= limit || watchFull) {
        if (set) p->value = *set;
        return set ? Value() : p->value;
    }
    ++p->busy;
    Value r;
    // The call may add properties to the owner and move this one.
    auto done = [&] {
        if (Property* q = owner->FindOwn(name, Caseless()); q && q->busy) {
            --q->busy;
            if (set && q->virt) q->value = *set;
        }
    };
    try {
        Args args;
        if (set) args.push_back(*set);
        r = Call(Value(fn), self, args);
    } catch (...) {
        done();
        throw;
    }
    done();
    return set ? Value() : r;
}

bool Vm::Has(Object* o, const std::string& name) {
    if (!o) return false;
    Value dummy;
    int guard = 0;
    for (Object* p = o; p && guard < kMaxChain; p = p->proto, ++guard) {
        if (p->GetSpecial(*this, name, dummy)) return true;
        if (Property* prop = p->FindOwn(name, Caseless()))
            if (!prop->versionMask || version_ >= prop->versionMask) return true;
    }
    if (guard >= kMaxChain) ChainTooLong();
    if (host_ && host_->IsClip(o) && host_->ChildNamed(o, name, Caseless())) return true;
    return false;
}

bool Vm::Delete(Object* o, const std::string& name) {
    if (!o) return false;
    if (IsProtoName(name)) {
        Property* own = o->FindOwn("__proto__", true);
        if (!own || !o->DeleteOwn("__proto__", true)) return false;
        o->proto = nullptr;
        return true;
    }
    return o->DeleteOwn(name, Caseless());
}

std::vector<std::string> Vm::Keys(Object* o) {
    std::vector<std::string> keys;
    std::unordered_set<std::string> seen;
    int guard = 0;
    for (Object* p = o; p && guard < 256; p = p->proto, ++guard) {
        std::vector<std::string> special;
        p->SpecialKeys(special);
        for (auto& k : special)
            if (seen.insert(k).second) keys.push_back(k);
        for (const Object::Slot& s : p->Slots()) {
            // A hidden property does not hide one of its name further up the chain.
            if (s.prop.flags & kDontEnum) continue;
            if (!seen.insert(Caseless() ? Lower(s.name) : s.name).second) continue;
            // A property hidden from this version is still listed (reading it gives undefined).
            keys.push_back(s.name);
        }
    }
    return keys;
}

bool Array::SetSpecial(Vm& vm, const std::string& name, const Value& v) {
    if (name == "length") {
        SetLength(vm.ToInt32(v));
        return true;
    }
    // Setting an element at or past the end makes the array longer; the
    // element itself is an ordinary property.
    int32_t i;
    if (ElementIndex(name, i) && i >= length) SetLength(static_cast<int32_t>(static_cast<uint32_t>(i) + 1u));
    return false;
}

Object* Vm::NewBox(const Value& v) {
    Object* proto = v.IsString() ? stringProto : v.IsNumber() ? numberProto : booleanProto;
    Object* box = New<Object>(proto);
    MakeBox(box, v);
    return box;
}

// The class that boxes a primitive is the one its type's global name holds
// when it is needed (its getter runs); while that is the built-in class with
// its own prototype, the box is made straight away.
Value Vm::BoxClass(const Value& v, bool& builtIn) {
    const char* name = v.IsString() ? "String" : v.IsNumber() ? "Number" : "Boolean";
    Function* own = v.IsString() ? stringCtor : v.IsNumber() ? numberCtor : booleanCtor;
    Object* proto = v.IsString() ? stringProto : v.IsNumber() ? numberProto : booleanProto;
    Value cls = Get(global, name);
    Property* p = cls.o == own && cls.IsObject() ? own->FindOwn("prototype", false) : nullptr;
    builtIn = p && !p->virt && p->value.IsObject() && p->value.o == proto;
    return cls;
}

// Another class stands in: whatever it makes of the value, when it makes an
// object; nothing when it is no constructor.
Object* Vm::BoxBy(const Value& cls, const Value& v) {
    Args args{v};
    Value made = Construct(cls, args);
    return made.IsObject() ? made.o : nullptr;
}

Object* Vm::ToObject(const Value& v) {
    switch (v.type) {
    case Value::Type::Object:
        return v.o;
    case Value::Type::String:
    case Value::Type::Number:
    case Value::Type::Bool: {
        bool builtIn;
        Value cls = BoxClass(v, builtIn);
        return builtIn ? NewBox(v) : BoxBy(cls, v);
    }
    default:
        return nullptr;
    }
}

void Vm::MakeBox(Object* o, const Value& v) {
    o->className = v.IsString() ? "String" : v.IsNumber() ? "Number" : "Boolean";
    o->primitive = v;
    o->hasPrimitive = true;
    o->native = true;
    // A string object carries its length as a property of its own.
    if (v.IsString())
        o->SetOwn("length", Value(static_cast<double>(ScriptLength(v.s))), kDontEnum | kDontDelete);
}

// ---- calls ----

Value Vm::Call(const Value& fnv, const Value& self, Args& args) {
    if (!fnv.IsObject() || !fnv.o->IsFunction()) return {};
    auto* f = static_cast<Function*>(fnv.o);
    CheckCallDepth();
    if (callDepth == 0) stackBase = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    CheckStack();
    CallLevel level(callDepth);
    if (f->native) return f->native(*this, self, args);
    if (!f->code) return {};
    return RunFunction(f, self, args, f);
}

Value Vm::Construct(const Value& ctor, Args& args) {
    if (!ctor.IsObject() || !ctor.o->IsFunction()) return {};
    auto* f = static_cast<Function*>(ctor.o);
    Value protoV = Get(f, "prototype");
    Object* proto = protoV.IsObject() ? protoV.o : objectProto;
    if (f->nativeConstruct) {
        CheckCallDepth();
        Value r;
        {
            CallLevel level(callDepth);
            r = f->nativeConstruct(*this, Value(), args);
        }
        // new Object(v) hands back v itself or v boxed, as they are.
        if (r.IsObject() && f != objectCtor) {
            r.o->proto = proto;
            if (Property* own = r.o->FindOwn("__proto__", true)) own->value = Value(proto);
            r.o->SetOwn("__constructor__", Value(f), kDontEnum);
            if (version_ < 7) r.o->SetOwn("constructor", Value(f), kDontEnum);
        }
        return r;
    }
    Object* obj = New<Object>(proto);
    // A prototype that is no object becomes the __proto__ all the same.
    if (!protoV.IsObject()) {
        obj->proto = nullptr;
        ProtoSlot(obj)->value = protoV;
    }
    obj->SetOwn("__constructor__", Value(f), kDontEnum);
    if (version_ < 7) obj->SetOwn("constructor", Value(f), kDontEnum);
    Call(ctor, Value(obj), args);
    return Value(obj);
}

Value Vm::Boxed(const Value& v) {
    const char* cls = v.IsString()                  ? "String"
                      : v.IsNumber()                ? "Number"
                      : v.type == Value::Type::Bool ? "Boolean"
                                                    : nullptr;
    if (!cls) return v.IsObject() ? v : Value::Null();
    Args args{v};
    return Construct(Get(global, cls), args);
}

bool Vm::InstanceOf(const Value& v, Object* ctor) {
    if (!v.IsObject() || !ctor) return false;
    // The class's own prototype as it is stored: no getter runs, nothing is
    // inherited, no version hides it; a primitive is boxed (and so never
    // matches); a clip never matches.
    Property* own = ctor->FindOwn("prototype", Caseless());
    Value protoV = own && !own->virt ? Boxed(own->value) : Value();
    if (!protoV.IsObject() || (host_ && host_->IsClip(protoV.o))) return false;
    // A clip taken off the display list is an instance of nothing, and no class.
    if (host_ && (host_->Removed(v.o) || host_->Removed(ctor))) return false;
    return Reaches(v.o->proto, protoV.o, 0);
}

// Whether a chain of prototypes, or an interface one of them implements (and
// what that interface extends or implements), is `target`.
bool Vm::Reaches(Object* chain, Object* target, int nesting) {
    if (nesting > 16) return false;
    int guard = 0;
    for (Object* p = chain; p && guard < 256; p = p->proto, ++guard) {
        if (p == target) return true;
        Property* impl = p->FindOwn("__implements__", false);
        auto* arr = impl && impl->value.IsObject() ? dynamic_cast<Array*>(impl->value.o) : nullptr;
        if (!arr) continue;
        for (const Value& i : arr->Elements()) {
            Value ip = i.IsObject() ? Get(i.o, "prototype") : Value();
            if (ip.IsObject() && Reaches(ip.o, target, nesting + 1)) return true;
        }
    }
    return false;
}

Value Vm::CallTop(const Value& fn, const Value& self, Args args) {
    try {
        return Call(fn, self, args);
    } catch (const Thrown& t) {
        Uncaught(t.value);
        return {};
    } catch (const Halt& h) {
        if (host_) host_->Log(h.why);
        return {};
    }
}

void Vm::Warn(const std::string& what) {
    if (warnings_ > kMaxWarnings) return;
    // The one past the limit says so, and the log is quiet from then on.
    Trace(warnings_++ < kMaxWarnings ? "Warning: " + what
                                     : "Warning: Reached warning limit of " + std::to_string(kMaxWarnings));
}

void Vm::Trace(const std::string& line) {
    if (!trace_) return;
    if (line.find('\r') == std::string::npos) return trace_(line);
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\r') {
            out.push_back(line[i]);
        } else if (i + 1 >= line.size() || line[i + 1] != '\n') {
            out.push_back('\n');
        }
    }
    trace_(out);
}

void Vm::Uncaught(const Value& v) {
    // The player reports a throw nothing caught in the trace, and goes on.
    std::string what;
    try {
        what = ToString(v);
    } catch (const Halt&) {
    }
    pendingThrow = false;
    Trace("Warning: Uncaught exception, " + what);
}

bool Vm::CallMethodIfAny(Object* obj, const std::string& name, Args args, Value* result) {
    Value fn = Get(obj, name);
    if (!fn.IsObject() || !fn.o->IsFunction()) return false;
    Value r = CallTop(fn, Value(obj), std::move(args));
    if (result) *result = r;
    return true;
}

// ---- conversions ----

std::string Vm::NumberToString(double n) {
    if (std::isnan(n)) return "NaN";
    if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
    if (n == 0) return "0";
    if (std::fabs(n) < 1e15 && n == std::floor(n)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", n);
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", n);
    // Near the largest number the digits are cut, not rounded up past it.
    if (std::isinf(std::strtod(buf, nullptr))) {
        char full[40];
        std::snprintf(full, sizeof full, "%.16e", n);
        std::string digits(full);
        size_t e = digits.find('e');
        std::snprintf(buf, sizeof buf, "%se%s", digits.substr(0, n < 0 ? 17 : 16).c_str(),
                      digits.substr(e + 1).c_str());
        std::snprintf(buf, sizeof buf, "%.15g", std::strtod(buf, nullptr));
    }
    std::string s = buf;
    size_t e = s.find('e');
    if (e == std::string::npos) return s;
    std::string mant = s.substr(0, e);
    char sign = s[e + 1];
    size_t d = e + 2;
    while (d + 1 < s.size() && s[d] == '0')
        ++d;
    return mant + "e" + sign + s.substr(d);
}

std::string Vm::NumberToRadix(double n, int radix) {
    if (radix == 10 || radix < 2 || radix > 36) return NumberToString(n);
    // The player truncates to 32 bits the processor's way (NaN, infinities
    // and numbers out of range become -2^31) and writes the digits of a
    // negative number by signed remainders: -2^31 keeps its sign through the
    // negation, and its digits fall below '0'.
    int32_t i = std::isnan(n) || std::fabs(n) >= 2147483648.0 ? INT32_MIN : static_cast<int32_t>(n);
    bool neg = i < 0;
    if (neg && i != INT32_MIN) i = -i;
    std::string s;
    do {
        int digit = i % radix;
        s.push_back(static_cast<char>(digit >= 10 ? 'a' + digit - 10 : '0' + digit));
        i /= radix;
    } while (i);
    if (neg) s.push_back('-');
    std::reverse(s.begin(), s.end());
    return s;
}

namespace {

// "0x1F" and "017" (SWF 6 on): the whole string in base 16 or 8, wrapped to
// 32 bits, with an optional sign (after the "0x" as well) and no space
// before it.
bool PrefixedInteger(const std::string& s, double& out) {
    size_t k = 0;
    bool neg = false;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) neg = s[k++] == '-';
    if (k + 1 >= s.size() || s[k] != '0') return false;
    int base = 8;
    if (s[k + 1] == 'x' || s[k + 1] == 'X') {
        base = 16;
        k += 2;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) neg = (s[k++] == '-') != neg; // "0x-10" too
    } else {
        for (size_t i = k; i < s.size(); ++i)
            if (s[i] < '0' || s[i] > '7') return false;
    }
    if (k >= s.size()) {
        out = NAN;
        return true;
    }
    uint32_t v = 0;
    for (size_t i = k; i < s.size(); ++i) {
        char c = s[i];
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
        if (d >= base) {
            out = NAN;
            return true;
        }
        v = v * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    }
    int32_t i = static_cast<int32_t>(neg ? 0u - v : v);
    out = i;
    return true;
}

} // namespace

double Vm::StringToNumber(const std::string& str, int version) {
    double prefixed;
    if (version >= 6 && PrefixedInteger(str, prefixed)) return prefixed;
    size_t i = 0, end = str.size();
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (i < end && space(str[i]))
        ++i;
    const double bad = version >= 5 ? NAN : 0;
    if (i == end) return bad;
    const char* c = str.c_str() + i;
    // Only decimal forms: strtod would also take "inf", "nan" and hex.
    size_t k = 0;
    if (c[k] == '+' || c[k] == '-') ++k;
    bool digits = false;
    while (c[k] >= '0' && c[k] <= '9')
        ++k, digits = true;
    if (c[k] == '.') {
        ++k;
        while (c[k] >= '0' && c[k] <= '9')
            ++k, digits = true;
    }
    if (!digits) return bad;
    if (c[k] == 'e' || c[k] == 'E') {
        size_t m = k + 1;
        if (c[m] == '+' || c[m] == '-') ++m;
        if (c[m] >= '0' && c[m] <= '9') {
            k = m;
            while (c[k] >= '0' && c[k] <= '9')
                ++k;
        }
    }
    double v = std::strtod(std::string(c, k).c_str(), nullptr);
    // SWF 4 reads the number at the front; later versions want nothing after
    // it, not even spaces.
    if (i + k != end && version >= 5) return NAN;
    return v;
}

double Vm::ToNumber(const Value& v) {
    switch (v.type) {
    case Value::Type::Undefined:
        return version_ >= 7 ? NAN : 0;
    case Value::Type::Null:
        return version_ >= 7 ? NAN : 0;
    case Value::Type::Bool:
        return v.b ? 1 : 0;
    case Value::Type::Number:
        return v.n;
    case Value::Type::String:
        return StringToNumber(v.s, version_);
    case Value::Type::Object: {
        // A date counts as its time (only + reads it as text).
        Value p;
        if (v.o->className == "Date") {
            Value fn = Get(v.o, "valueOf");
            Args none;
            if (fn.IsObject() && fn.o->IsFunction()) p = Call(fn, v, none);
        } else {
            p = ToPrimitive(v);
        }
        if (p.IsObject()) return NAN;
        return ToNumber(p);
    }
    }
    return NAN;
}

int32_t Vm::ToInt32(const Value& v) {
    double d = ToNumber(v);
    if (!std::isfinite(d)) return 0;
    d = std::trunc(d);
    double m = std::fmod(d, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

bool Vm::ToBool(const Value& v) {
    switch (v.type) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Bool:
        return v.b;
    case Value::Type::Number:
        return !std::isnan(v.n) && v.n != 0;
    case Value::Type::String:
        if (version_ >= 7) return !v.s.empty();
        {
            double n = StringToNumber(v.s, version_);
            return !std::isnan(n) && n != 0;
        }
    case Value::Type::Object:
        return true;
    }
    return false;
}

Value Vm::ToPrimitive(const Value& v, bool preferString) {
    if (!v.IsObject()) return v;
    Object* o = v.o;
    // Dates read as text from SWF 6 on; before, like any object.
    if (preferString || (o->className == "Date" && version_ >= 6)) {
        Value s = ToString(v);
        return s;
    }
    // valueOf decides; an object without one has no value, and one that
    // answers an object leaves the object as it was.
    Value fn = Get(o, "valueOf");
    if (fn.IsObject() && fn.o->IsFunction()) {
        Args none;
        Value r = Call(fn, v, none);
        return r.IsObject() ? v : r;
    }
    if (host_ && host_->IsClip(o)) return Value(ClipText(o));
    if (host_ && host_->IsPlaced(o)) return Value(host_->TargetPath(o));
    return {};
}

std::string Vm::ClipText(Object* clip) {
    Object* live = host_ ? host_->Live(clip) : nullptr;
    return live ? host_->TargetPath(live) : std::string();
}

std::string Vm::ToString(const Value& v) {
    switch (v.type) {
    case Value::Type::Undefined:
        return version_ >= 7 ? "undefined" : "";
    case Value::Type::Null:
        return "null";
    case Value::Type::Bool:
        // SWF 4 movies write their truth values as numbers.
        if (version_ < 5) return v.b ? "1" : "0";
        return v.b ? "true" : "false";
    case Value::Type::Number:
        return NumberToString(v.n);
    case Value::Type::String:
        return v.s;
    case Value::Type::Object: {
        // Only a string from toString counts; anything else, or a toString
        // that throws, leaves the type's name (the throw goes on after the
        // running action).
        Object* o = v.o;
        try {
            Value fn = Get(o, "toString");
            if (fn.IsObject() && fn.o->IsFunction()) {
                Args none;
                Value r = Call(fn, v, none);
                if (r.IsString()) return r.s;
            } else if (host_ && host_->IsClip(o)) {
                return ClipText(o);
            } else if (host_ && host_->IsPlaced(o)) {
                return host_->TargetPath(o);
            }
        } catch (const Thrown& t) {
            if (!pendingThrow) {
                pendingThrow = true;
                pendingValue = t.value;
            }
        }
        return o->IsFunction() ? "[type Function]" : "[type Object]";
    }
    }
    return "";
}

std::string Vm::TypeOf(const Value& v) {
    switch (v.type) {
    case Value::Type::Undefined:
        return "undefined";
    case Value::Type::Null:
        return "null";
    case Value::Type::Bool:
        return "boolean";
    case Value::Type::Number:
        return "number";
    case Value::Type::String:
        return "string";
    case Value::Type::Object:
        if (host_ && host_->IsClip(v.o)) return "movieclip";
        return v.o->IsFunction() ? "function" : "object";
    }
    return "undefined";
}

bool Vm::StrictEquals(const Value& a, const Value& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return true;
    case Value::Type::Bool:
        return a.b == b.b;
    case Value::Type::Number:
        return a.n == b.n || (std::isnan(a.n) && std::isnan(b.n));
    case Value::Type::String:
        return a.s == b.s;
    case Value::Type::Object:
        // Two clips are the same clip when they stand at the same path.
        return a.o == b.o || (host_ && host_->IsClip(a.o) && host_->IsClip(b.o) &&
                              host_->TargetPath(a.o) == host_->TargetPath(b.o));
    }
    return false;
}

bool Vm::LooseEquals(const Value& a, const Value& b) {
    if (a.type == b.type) {
        // Before SWF 6 two objects compare by their values.
        if (a.IsObject() && version_ < 6 && a.o != b.o) {
            Value pa = ToPrimitive(a), pb = ToPrimitive(b);
            if (pa.IsObject() && pb.IsObject()) return pa.o == pb.o;
            if (pa.IsObject() || pb.IsObject()) return false;
            return LooseEquals(pa, pb);
        }
        return StrictEquals(a, b);
    }
    if (a.IsNullish() && b.IsNullish()) return true;
    // An object meets anything else through its value (an object without
    // valueOf has none, and so equals undefined and null).
    if (a.IsObject() || b.IsObject()) {
        Value p = ToPrimitive(a.IsObject() ? a : b);
        if (p.IsObject()) return false;
        return a.IsObject() ? LooseEquals(p, b) : LooseEquals(a, p);
    }
    if (a.IsNullish() || b.IsNullish()) return false;
    if (a.type == Value::Type::Bool) return LooseEquals(Value(a.b ? 1.0 : 0.0), b);
    if (b.type == Value::Type::Bool) return LooseEquals(a, Value(b.b ? 1.0 : 0.0));
    if (a.IsNumber() && b.IsString()) return a.n == ToNumber(b);
    if (a.IsString() && b.IsNumber()) return ToNumber(a) == b.n;
    return false;
}

Value Vm::Compare(const Value& a, const Value& b, bool swapped) {
    // Operands convert left to right; an object that stays an object
    // makes the comparison false.
    auto plain = [&](const Value& p) { return p.IsObject() && !(host_ && host_->IsClip(p.o)); };
    Value pa = ToPrimitive(a);
    if (plain(pa)) return Value(false);
    Value pb = ToPrimitive(b);
    if (plain(pb)) return Value(false);
    if (swapped) std::swap(pa, pb);
    if (pa.IsString() && pb.IsString()) return Value(CompareText(pa.s, pb.s) < 0);
    double x = ToNumber(pa), y = ToNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return {};
    return Value(x < y);
}

Value Vm::Add(const Value& a, const Value& b) {
    Value pb = ToPrimitive(b);
    Value pa = ToPrimitive(a);
    if (pa.IsString() || pb.IsString()) {
        std::string s = ToString(pa);
        return Value(s + ToString(pb));
    }
    return Value(ToNumber(pa) + ToNumber(pb));
}

// ---- paths ----

namespace {

// "_level3" and "_flash3" name a level; its number, or -1.
int LevelNumber(const std::string& name, bool caseless, bool trailing) {
    if (name.size() < 7) return -1;
    std::string head = name.substr(0, 6);
    if (caseless) head = Lower(head);
    if (head != "_level" && head != "_flash") return -1;
    size_t i = 6, end = name.size();
    int n = 0;
    while (i < end && name[i] >= '0' && name[i] <= '9' && n < 100000)
        n = n * 10 + (name[i++] - '0');
    if (i == 6 || (i < end && !trailing)) return -1;
    return n;
}

} // namespace

int Vm::LevelNumber(const std::string& name) const {
    return movie::script::LevelNumber(name, Caseless(), false);
}

Object* Vm::Level(int n) {
    return n == 0 && host_ ? host_->Root() : nullptr;
}

Object* Vm::PathStep(Object* at, const std::string& name) {
    if (host_->IsClip(at))
        if (Object* child = host_->ChildNamed(at, name, Caseless())) return child;
    if (int level = LevelNumber(name); level >= 0) return Level(level);
    Value v = Get(at, name);
    // The player says so when a path runs into a number, string or boolean.
    if (!v.IsObject() && !v.IsNullish())
        Trace("Parameters of primitive types are no longer coerced into the required type - Object.");
    return v.IsObject() ? v.o : nullptr;
}

// SWF 4 paths are slash paths of clips: "/a/b", "a/../c", a level first.
Object* Vm::ResolveSlashPath(Object* base, const std::string& path) {
    Object* at = base;
    size_t i = 0, n = path.size();
    if (path[0] == '/') {
        at = host_->Root();
        i = 1;
    }
    for (bool first = i == 0; i < n; first = false) {
        size_t j = std::min(path.find('/', i), n);
        std::string name = path.substr(i, j - i);
        if (name.empty()) {
            if (j < n) return nullptr; // "//"
        } else if (name == "..") {
            at = host_->ParentOf(at);
        } else if (int level = first ? script::LevelNumber(name, true, true) : -1; level >= 0) {
            at = Level(level); // what follows the number up to the slash is ignored
        } else {
            at = host_->IsClip(at) ? host_->ChildNamed(at, name, true) : nullptr;
        }
        if (!at) return nullptr;
        i = j + 1;
    }
    return at;
}

Object* Vm::ResolvePath(Object* base, const std::string& path, char after) {
    if (!host_) return nullptr;
    if (path.empty()) return base;
    if (version_ < 5) return ResolveSlashPath(base, path);
    // Names part at '/', ':' and, until the first slash, '.'; ".." first or
    // after a slash or colon is the parent; an
    // empty name stays where it is, except first or after a slash before
    // another separator ("//", ".x").
    Object* at = base;
    size_t i = 0, n = path.size();
    char before = after; // the separator before the name
    bool slashed = after == '/';
    if (path[0] == '/') {
        at = host_->Root();
        i = 1;
        before = '/';
        slashed = true;
    }
    // Colons before a name are skipped, but a run of them ends no path ("a::").
    if (n >= 2 && path[n - 1] == ':' && path[n - 2] == ':') return nullptr;
    while (i < n) {
        const char lead = before;
        while (i < n && path[i] == ':') {
            ++i;
            before = ':';
        }
        // Colons after a slash lead to a name; with none the path names nothing ("a/:").
        if (i == n) return lead == '/' && before == ':' ? nullptr : at;
        bool fresh = before == 0 || before == '/' || before == ':';
        size_t j = i;
        if (fresh && path.compare(i, 2, "..") == 0 &&
            (i + 2 == n || path[i + 2] == '/' || path[i + 2] == ':')) {
            at = host_->ParentOf(at);
            j = i + 2;
        } else {
            while (j < n && path[j] != '/' && path[j] != ':' && (slashed || path[j] != '.'))
                ++j;
            if (j == i) {
                if ((before == 0 || before == '/') && j < n) return nullptr;
            } else {
                at = PathStep(at, path.substr(i, j - i));
            }
        }
        if (!at) return nullptr;
        if (j < n) {
            before = path[j];
            slashed |= before == '/';
        }
        i = j + 1;
    }
    return at;
}

bool Vm::SplitVariablePath(const std::string& path, std::string& target, std::string& var) {
    // The last ':' (from SWF 5 on also '.') parts the target from the
    // variable; colons before it stay with the target ("a::b" is b of "a:").
    size_t k = version_ < 5 ? path.rfind(':') : path.find_last_of(":.");
    if (k == std::string::npos) {
        // "/a/b" names the clip itself only through GetVariable; as a variable it is "b" under "/a"
        size_t slash = path.rfind('/');
        if (slash == std::string::npos) return false;
        target = path.substr(0, slash == 0 ? 1 : slash);
        var = path.substr(slash + 1);
        return true;
    }
    target = path.substr(0, k);
    var = path.substr(k + 1);
    return true;
}

// ---- garbage ----

void Vm::Collect(const std::vector<Object*>& extraRoots) {
    std::vector<Object*> work = extraRoots;
    for (Object* o : {global,         objectProto,    functionProto,   arrayProto,          stringProto,
                      numberProto,    booleanProto,   errorProto,      clipProto,           dateProto,
                      pointProto,     rectangleProto, matrixProto,     colorTransformProto, transformProto,
                      textFieldProto, buttonProto,    textFormatProto, xmlNodeProto,        xmlProto})
        if (o) work.push_back(o);
    for (auto& [name, o] : registered)
        work.push_back(o);
    for (Timer& t : timers) {
        if (t.fn.o) work.push_back(t.fn.o);
        if (t.self.o) work.push_back(t.self.o);
        for (Value& a : t.args)
            if (a.o) work.push_back(a.o);
    }
    for (Value& v : spareRegs)
        if (v.o) work.push_back(v.o);
    for (Value& v : rootsScratch)
        if (v.o) work.push_back(v.o);
    for (Value& v : blockStack_)
        if (v.o) work.push_back(v.o);
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        if (!o || o->marked) continue;
        o->marked = true;
        o->Trace(work);
    }
    size_t kept = 0;
    for (Object* o : heap_) {
        if (o->marked) {
            o->marked = false;
            heap_[kept++] = o;
        } else {
            delete o;
        }
    }
    heap_.resize(kept);
}

Object* Vm::NewError(const std::string& msg) {
    Object* e = New<Object>(errorProto);
    e->className = "Error";
    e->SetOwn("message", Value(msg));
    return e;
}

} // namespace movie::script
