// The action loop: one block of bytecode at a time, nested blocks (With,
// Try, function bodies) by recursion.
#include "movie/script/Vm.h"

#include "movie/Limits.h"
#include "movie/SwfCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace movie::script {

namespace {

// The `super` of a method: super() calls the constructor its home holds or
// inherits, reads (and calls) go to the prototype above the home; calls run
// with the caller's `this`. The home is the prototype the method came from,
// or the one above `this` for a method of its own; it is found again on
// each use as many links up the chain of `this`, so that a method that gives
// `this` another prototype reaches the constructor above that one. A clip
// met on the way answers nothing.
class SuperObject : public Object {
  public:
    Value self;
    Object* home = nullptr;
    int depth = -1; // links from `this` up to the home, when it lies on its chain
    Object* Home(Vm& vm) const {
        Object* h = home;
        if (depth >= 0 && self.IsObject()) {
            h = self.o;
            for (int i = 0; i < depth && h; ++i)
                h = h->proto;
        }
        return h && !(vm.GetHost() && vm.GetHost()->IsClip(h)) ? h : nullptr;
    }
    Object* Base(Vm& vm) const {
        Object* h = Home(vm);
        Object* base = h ? h->proto : nullptr;
        return base && !(vm.GetHost() && vm.GetHost()->IsClip(base)) ? base : nullptr;
    }
    bool GetSpecial(Vm& vm, const std::string& name, Value& out) override {
        Object* base = Base(vm);
        out = base ? vm.Get(base, name) : Value();
        return true;
    }
    void Trace(std::vector<Object*>& out) override {
        Object::Trace(out);
        if (self.o) out.push_back(self.o);
        if (home) out.push_back(home);
    }
};

struct Frame {
    std::shared_ptr<const std::vector<uint8_t>> code;
    std::vector<Scope> scope;
    Object* base = nullptr;   // the timeline the code belongs to
    Object* target = nullptr; // where clip actions go (SetTarget); null when lost
    Value self;
    std::vector<Value>* regs;
    std::shared_ptr<std::vector<std::string>> pool;
    int version;
    Function* callee = nullptr;
    Object* locals = nullptr;
    Object* home = nullptr;
    std::vector<Value> stack;
    uint64_t removals = 0; // Vm::removals when last looked at
};

enum class Flow { Done, Return, Jump };
struct Outcome {
    Flow flow = Flow::Done;
    size_t pc = 0;
    Value value;
};

struct Reader {
    const uint8_t* p;
    size_t n;
    size_t i = 0;
    bool ansi = false; // SWF 5 and earlier write text in the Windows code page
    bool Ok(size_t k) const { return i + k <= n; }
    uint8_t U8() { return Ok(1) ? p[i++] : (i = n, 0); }
    uint16_t U16() {
        if (!Ok(2)) return i = n, 0;
        uint16_t v = static_cast<uint16_t>(p[i] | p[i + 1] << 8);
        i += 2;
        return v;
    }
    uint32_t U32() {
        if (!Ok(4)) return i = n, 0;
        uint32_t v = p[i] | p[i + 1] << 8 | p[i + 2] << 16 | static_cast<uint32_t>(p[i + 3]) << 24;
        i += 4;
        return v;
    }
    std::string Str() {
        size_t s = i;
        while (i < n && p[i])
            ++i;
        std::string r(reinterpret_cast<const char*>(p + s), i - s);
        if (i < n) ++i;
        return ansi ? AnsiToUtf8(r) : r;
    }
};

std::mt19937& Rng() {
    static std::mt19937 rng(12345);
    return rng;
}

} // namespace

struct Interp {
    Vm& vm;
    Frame& f;

    Value Pop() {
        if (f.stack.empty()) return {};
        Value v = std::move(f.stack.back());
        f.stack.pop_back();
        return v;
    }
    void Push(Value v) {
        if (f.stack.size() > 1u << 20) throw Halt{"stack too deep"};
        f.stack.push_back(std::move(v));
    }
    Host* host() { return vm.GetHost(); }
    Object* Target() { return f.target; }
    // Whose timeline the timeline actions move: the target, or the main
    // timeline while the target names no clip.
    // A target taken off the display list gives way as in the scope chain.
    Object* TimelineTarget() {
        if (!host()) return nullptr;
        if (!f.target) return host()->Root();
        return Standing(f.target);
    }

    // A timeline taken off the display list gives way to the clip that has
    // its path now, or else to the code's own timeline while that is still
    // shown, or else to the main timeline.
    Object* Standing(Object* clip) {
        if (!host()->Removed(clip)) return clip;
        if (Object* live = host()->Live(clip)) return live;
        return f.base && !host()->Removed(f.base) ? f.base : host()->Root();
    }
    Object* ScopeObject(const Scope& s) {
        if (s.kind != Scope::Kind::Target || !s.obj || !host()) return s.obj;
        return Standing(s.obj);
    }

    bool IsPath(const std::string& name) { return name.find_first_of(":/.") != std::string::npos; }

    // A clip path of a timeline action (tellTarget, getProperty), from the target.
    // A target taken off the display list gives way to the clip now at its
    // path, or else to the timeline of the code.
    Object* ResolveClipPath(const std::string& path) {
        if (path.empty()) return f.target;
        Object* start = f.target ? f.target : f.base;
        if (start && host() && host()->Removed(start)) {
            Object* live = host()->Live(start);
            start = live ? live : f.base;
        }
        return vm.ResolvePath(start, path);
    }

    // The target part of a variable path. From SWF 5 on its first word may
    // be a variable of the scope chain ("obj.x", "this.x", "this/a").
    Object* ResolveVariableTarget(const std::string& path) {
        if (path.empty()) return nullptr;
        size_t cut = path.find_first_of("./:");
        if (vm.Version() >= 5 && path[0] != '/' && path[0] != '.' &&
            (cut == std::string::npos || path[cut] != ':')) {
            Value v = GetPlain(path.substr(0, cut));
            if (v.IsObject())
                return cut == std::string::npos ? v.o : vm.ResolvePath(v.o, path.substr(cut + 1), path[cut]);
        }
        return ResolveClipPath(path);
    }

    // owner, when asked, learns the scope object or path target the value
    // came from.
    Value GetPlain(const std::string& name, Object** owner = nullptr) {
        const bool swf4 = vm.Version() < 5; // where this, _root and _level0 are plain variables
        // A variable a script made as _global, _root or _levelN hides the name.
        if (!swf4 && (CaselessEqual(name, "_global") || CaselessEqual(name, "_root") ||
                      (name.size() > 6 && CaselessEqual(name.substr(0, 6), "_level"))))
            for (size_t i = f.scope.size(); i-- > 0;)
                if (Object* o = f.scope[i].obj; o && f.scope[i].kind != Scope::Kind::Global)
                    if (Property* p = o->FindOwn(name, vm.Caseless()))
                        return p->virt ? vm.Get(o, name) : p->value;
        if (vm.Version() >= 6 && name == "_global") return Value(vm.global);
        if (!swf4 && (vm.Caseless() ? CaselessEqual(name, "_root") : name == "_root"))
            return host() ? Value(host()->Root()) : Value();
        if (!swf4 && host())
            if (int level = vm.LevelNumber(name); level >= 0) return Value(vm.Level(level));
        for (size_t i = f.scope.size(); i-- > 0;) {
            Object* o = ScopeObject(f.scope[i]);
            if (!o) continue;
            if (vm.Has(o, name)) {
                if (owner && f.scope[i].kind != Scope::Kind::Global) *owner = o;
                return vm.Get(o, name);
            }
        }
        // `this` is a variable like any other (functions define it, scripts may
        // set it); where none is found it is the timeline the script runs on.
        if (!swf4 && (vm.Caseless() ? CaselessEqual(name, "this") : name == "this")) return Value(f.base);
        return {};
    }

    // A name looked up along the scope chain without the globals.
    Value TimelineVariable(const std::string& name) {
        for (size_t i = f.scope.size(); i-- > 0;)
            if (Object* o = ScopeObject(f.scope[i]);
                o && f.scope[i].kind != Scope::Kind::Global && vm.Has(o, name))
                return vm.Get(o, name);
        return {};
    }

    Value GetVariable(const std::string& name, Object** owner = nullptr) {
        Value v = PathValue(name, owner);
        // SWF 4 variables never hold clips.
        if (vm.Version() < 5 && v.IsObject() && host() && host()->IsClip(v.o)) return {};
        return v;
    }

    // "target:var" and "target.var" read a variable there; a slash path
    // with neither names a clip, unless a variable has the name itself.
    Value PathValue(const std::string& name, Object** owner) {
        if (!IsPath(name)) return GetPlain(name, owner);
        if (!IsVariablePath(name)) {
            if (vm.Version() >= 5)
                for (size_t i = f.scope.size(); i-- > 0;)
                    if (Object* o = ScopeObject(f.scope[i]); o && vm.Has(o, name)) return vm.Get(o, name);
            Object* clip = ResolveClipPath(name);
            return clip ? Value(clip) : Value();
        }
        std::string tpath, var;
        vm.SplitVariablePath(name, tpath, var);
        Object* t = ResolveVariableTarget(tpath);
        if (!t) return {};
        if (owner) *owner = t;
        return vm.Get(t, var);
    }

    // A name with a colon (from SWF 5 on also a dot) is a target and a
    // variable there.
    bool IsVariablePath(const std::string& name) {
        return name.find_first_of(vm.Version() < 5 ? ":" : ":.") != std::string::npos;
    }

    // A slash path alone is the name of a plain variable.
    void SetVariable(const std::string& name, const Value& v) {
        if (IsPath(name) && (vm.Version() < 5 || IsVariablePath(name))) {
            std::string tpath, var;
            if (vm.SplitVariablePath(name, tpath, var)) {
                if (Object* t = ResolveVariableTarget(tpath)) vm.Set(t, var, v);
            }
            return;
        }
        for (size_t i = f.scope.size(); i-- > 0;) {
            Object* o = ScopeObject(f.scope[i]);
            if (!o) continue;
            if (f.scope[i].kind == Scope::Kind::Target || vm.Has(o, name)) {
                vm.Set(o, name, v);
                return;
            }
        }
        if (f.base) vm.Set(f.base, name, v);
    }

    Object* Locals() { return f.locals; }

    // A function keeps the registers it asked for; the numbers above them
    // reach the four registers of the block that runs.
    Value* Register(uint8_t i) {
        if (i < f.regs->size()) return &(*f.regs)[i];
        std::vector<Value>& outer = vm.blockRegs ? *vm.blockRegs : vm.spareRegs;
        return i < outer.size() ? &outer[i] : nullptr;
    }

    // The actions that stop code whose timeline is gone: calls (of a
    // method, when there is an object to call it on) and target changes
    // other than back to the timeline.
    bool HaltsWhenGone(uint8_t op, const std::vector<uint8_t>& code, size_t at) {
        switch (op) {
        case action::kCallFunction:
        case action::kNewObject:
        case action::kSetTarget2:
            return true;
        case action::kSetTarget:
            return at < code.size() && code[at] != 0;
        case action::kCallMethod:
        case action::kNewMethod:
            return f.stack.size() >= 2 && f.stack[f.stack.size() - 2].IsObject();
        default:
            return false;
        }
    }

    // A path that names no clip leaves no target: variables are then the
    // main timeline's.
    void SetTarget(const std::string& path) {
        f.target = path.empty() ? f.base : ResolveClipPath(path);
        Object* scope = f.target ? f.target : host() ? host()->Root() : f.base;
        for (Scope& s : f.scope)
            if (s.kind == Scope::Kind::Target) s.obj = scope;
    }

    void DefineLocal(const std::string& name, const Value& v) {
        if (Object* l = Locals()) {
            l->SetOwn(name, v);
            return;
        }
        // Outside functions a path is set where it leads; a with object
        // that has the name itself takes it, else the timeline does.
        if (IsPath(name)) {
            SetVariable(name, v);
            return;
        }
        for (size_t i = f.scope.size(); i-- > 0;) {
            Scope& s = f.scope[i];
            if (!s.obj) continue;
            if (s.kind == Scope::Kind::With && !s.obj->FindOwn(name, vm.Caseless())) continue;
            if (s.kind == Scope::Kind::With || s.kind == Scope::Kind::Target) {
                vm.Set(ScopeObject(s), name, v);
                return;
            }
        }
        if (f.base) vm.Set(f.base, name, v);
    }

    Function* MakeFunction(Reader& r, bool v2, size_t bodyStart, size_t& bodyLen) {
        Function* fn = vm.New<Function>(vm.functionProto);
        fn->className = "Function";
        fn->name = r.Str();
        uint16_t nparams = r.U16();
        if (v2) {
            fn->isV2 = true;
            fn->regCount = r.U8();
            fn->flags = r.U16();
            for (uint16_t i = 0; i < nparams && r.i < r.n; ++i) {
                fn->paramRegs.push_back(r.U8());
                fn->params.push_back(r.Str());
            }
        } else {
            for (uint16_t i = 0; i < nparams && r.i < r.n; ++i)
                fn->params.push_back(r.Str());
        }
        bodyLen = r.U16();
        fn->code = f.code;
        fn->start = bodyStart;
        fn->length = std::min(bodyLen, f.code->size() - std::min(bodyStart, f.code->size()));
        fn->scope = f.scope;
        fn->pool = f.pool;
        fn->version = f.version;
        fn->homeClip = f.base;
        Object* proto = vm.NewObject();
        proto->SetOwn("constructor", Value(fn), kDontEnum);
        fn->SetOwn("prototype", Value(proto), kDontEnum);
        return fn;
    }

    Value CallValue(const Value& fn, const Value& self, Args& args, Object* home) {
        vm.CheckBudget();
        vm.CheckStack();
        if (fn.IsObject() && fn.o->IsFunction()) {
            auto* func = static_cast<Function*>(fn.o);
            if (!func->native && func->code) {
                vm.CheckCallDepth();
                CallLevel level(vm.callDepth);
                return RunWithHome(func, self, args, home);
            }
        }
        return vm.Call(fn, self, args);
    }

    Value RunWithHome(Function* fn, const Value& self, Args& args, Object* home);

    // A primitive called or constructed is boxed first (its class may be a
    // script's, which does something), and then nothing more happens.
    void BoxCallee(const Value& v) {
        if (!v.IsNullish() && !v.IsObject()) vm.ToObject(v);
    }

    // super(): the constructor above, run on this.
    Value CallSuper(SuperObject* sup, Args& args) {
        Object* home = sup->Home(vm);
        Value ctor = home ? vm.Get(home, "__constructor__") : Value();
        // A native class makes `this` one of its own, and super() gives it back.
        if (auto* f = ctor.IsObject() && ctor.o->IsFunction() ? static_cast<Function*>(ctor.o) : nullptr;
            f && f->nativeInit) {
            vm.CheckCallDepth();
            CallLevel level(vm.callDepth);
            return f->nativeInit(vm, sup->self, args);
        }
        return CallValue(ctor, sup->self, args, sup->Base(vm));
    }

    Args PopArgs() {
        // A count past the stack takes what is there.
        double n = vm.ToNumber(Pop());
        size_t count = n > 0 ? static_cast<size_t>(std::min(n, static_cast<double>(f.stack.size()))) : 0;
        Args args;
        args.reserve(count);
        for (size_t i = 0; i < count; ++i)
            args.push_back(Pop());
        return args;
    }

    // The clip a value names: a clip, or a path (an object by its text).
    Object* ClipOf(const Value& v) {
        if (v.IsObject() && host() && host()->IsClip(v.o)) return host()->Live(v.o);
        std::string path = vm.ToString(v);
        if (path.empty()) return f.target;
        return ResolveClipPath(path);
    }

    // A clip, or a text field or button (which clips' duplicate and remove take too).
    Object* DisplayedOf(const Value& v) {
        if (v.IsObject() && host() && host()->IsPlaced(v.o)) return v.o;
        return ClipOf(v);
    }

    Outcome Exec(size_t pc, size_t end);

    [[noreturn]] void RaisePending() {
        vm.pendingThrow = false;
        throw Thrown{std::move(vm.pendingValue)};
    }
};

Value Interp::RunWithHome(Function* fn, const Value& self, Args& args, Object* home) {
    Object* locals = vm.New<Object>(nullptr);
    Frame nf;
    nf.code = fn->code;
    nf.scope = fn->scope;
    // A function whose timeline is gone runs on `this` when that is a clip,
    // else on the main timeline.
    Object* base = fn->homeClip;
    if (base && host() && host()->Removed(base))
        base =
            self.IsObject() && host()->IsClip(self.o) && !host()->Removed(self.o) ? self.o : host()->Root();
    nf.base = base;
    if (fn->version < 6) {
        // SWF 5 functions close over nothing: they see the globals and a
        // timeline, the clip they are called on or else their own.
        if (self.IsObject() && host() && host()->IsClip(self.o)) nf.base = self.o;
        nf.scope = {{Scope::Kind::Global, vm.global}, {Scope::Kind::Target, nf.base}};
    }
    nf.scope.push_back({Scope::Kind::Local, locals});
    nf.target = nf.base;
    nf.removals = vm.removals;
    nf.self = self;
    nf.pool = fn->pool;
    nf.version = fn->version;
    nf.callee = fn;
    nf.locals = locals;
    nf.home = home;
    std::vector<Value> regs(fn->isV2 ? fn->regCount : 4);
    nf.regs = &regs;

    // The arguments object, made only for a function that can see it.
    auto makeArguments = [&]() -> Value {
        Array* arguments = vm.NewArray();
        arguments->Assign(args);
        arguments->SetOwn("callee", Value(fn), kDontEnum);
        arguments->SetOwn("caller", vm.running ? Value(static_cast<Object*>(vm.running)) : Value::Null(),
                          kDontEnum);
        return Value(static_cast<Object*>(arguments));
    };

    auto makeSuper = [&]() -> Value {
        SuperObject* s = vm.New<SuperObject>(nullptr);
        s->self = self;
        s->home = home;
        int depth = 0;
        for (Object* p = self.IsObject() ? self.o : nullptr; p && depth < 256; p = p->proto, ++depth)
            if (p == home) {
                s->depth = depth;
                break;
            }
        return Value(static_cast<Object*>(s));
    };
    if (fn->isV2) {
        uint16_t fl = fn->flags;
        size_t r = 1;
        auto put = [&](Value v) {
            if (r < regs.size()) regs[r] = std::move(v);
            ++r;
        };
        // A suppressed `this` or `super` takes its register all the same but
        // leaves it empty; the arguments are there when asked for either way.
        // A main timeline has no parent to take a register.
        if (fl & 0x01) put(fl & 0x02 ? Value() : self);
        if (fl & 0x04) put(makeArguments());
        if (fl & 0x10) put(fl & 0x20 ? Value() : makeSuper());
        if (fl & 0x40) put(host() ? Value(host()->Root()) : Value());
        if (fl & 0x80) {
            if (Object* parent = host() && nf.base ? host()->ParentOf(nf.base) : nullptr) put(Value(parent));
        }
        if (fl & 0x100) put(Value(vm.global));
        if (!(fl & 0x08) && !(fl & 0x04)) locals->SetOwn("arguments", makeArguments());
        if (!(fl & 0x20) && !(fl & 0x10)) locals->SetOwn("super", makeSuper());
        if (!(fl & 0x02) && !(fl & 0x01)) locals->SetOwn("this", self);
        for (size_t i = 0; i < fn->params.size(); ++i) {
            Value a = i < args.size() ? args[i] : Value();
            uint8_t reg = fn->paramRegs[i];
            if (reg && reg < regs.size())
                regs[reg] = a;
            else if (!reg)
                locals->SetOwn(fn->params[i], a);
        }
    } else {
        locals->SetOwn("this", self);
        locals->SetOwn("arguments", makeArguments());
        locals->SetOwn("super", makeSuper());
        for (size_t i = 0; i < fn->params.size(); ++i)
            locals->SetOwn(fn->params[i], i < args.size() ? args[i] : Value());
    }
    Interp in{vm, nf};
    size_t end = std::min(fn->start + fn->length, fn->code->size());
    struct Running {
        Function*& slot;
        Function* outer;
        ~Running() { slot = outer; }
    } running{vm.running, vm.running};
    vm.running = fn;
    Outcome o = in.Exec(fn->start, end);
    return o.flow == Flow::Return ? o.value : Value();
}

Value Vm::RunFunction(Function* f, const Value& self, Args& args, Object*) {
    Frame dummy;
    Interp in{*this, dummy};
    Object* home = self.IsObject() ? self.o->proto : nullptr;
    return in.RunWithHome(f, self, args, home);
}

void Vm::RunBlock(std::shared_ptr<const std::vector<uint8_t>> code, Object* clip) {
    if (!code) return;
    if (callDepth == 0) stackBase = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    Frame fr;
    fr.code = code;
    fr.scope = {{Scope::Kind::Global, global}, {Scope::Kind::Target, clip}};
    fr.base = clip;
    fr.target = clip;
    fr.self = Value(clip);
    fr.removals = removals;
    std::vector<Value> regs(4);
    fr.regs = &regs;
    std::vector<Value>* outerRegs = blockRegs;
    blockRegs = &regs;
    fr.pool = std::make_shared<std::vector<std::string>>();
    fr.version = version_;
    // The blocks of one step share their stack: what one leaves, the next finds.
    fr.stack = std::move(blockStack_);
    Interp in{*this, fr};
    pendingThrow = false;
    struct Running {
        Function*& slot;
        Function* outer;
        ~Running() { slot = outer; }
    } outer{running, running};
    running = nullptr;
    try {
        in.Exec(0, code->size());
    } catch (const Thrown& t) {
        Uncaught(t.value);
    } catch (const Halt& h) {
        // A frame's actions run by a Call inside other code stop that code
        // too when the frame's time is up: the budget is the whole script's.
        if (callDepth > 0 && haltedThisFrame_) {
            blockStack_ = std::move(fr.stack);
            blockRegs = outerRegs;
            throw;
        }
        if (host_) host_->Log(h.why);
    }
    blockStack_ = std::move(fr.stack);
    blockRegs = outerRegs;
}

Outcome Interp::Exec(size_t pc, size_t end) {
    const std::vector<uint8_t>& code = *f.code;
    end = std::min(end, code.size());
    const int ver = f.version;
    bool calling = false; // the action before was a call
    // The variable the last GetVariable read, and where that action ended:
    // a member asked of it when it is null is reported by its name.
    std::string readName;
    size_t readEnd = SIZE_MAX, lastStart = SIZE_MAX, thisStart = SIZE_MAX;
    while (pc < end) {
        lastStart = thisStart;
        thisStart = pc;
        uint8_t op = code[pc];
        size_t len = 0, at = pc + 1;
        if (op >= action::kFirstWithPayload) {
            if (at + 2 > code.size()) break;
            len = static_cast<size_t>(code[at] | code[at + 1] << 8);
            at += 2;
        }
        size_t next = std::min(at + len, code.size());
        Reader r{code.data() + at, next - at, 0, ver < 6};
        if (op == 0) break;
        // Code whose timeline was taken off the display list stops after
        // the call that took it off, or at its next call or change of target.
        bool halts = HaltsWhenGone(op, code, at);
        bool afterCall = calling;
        calling = halts && op != action::kSetTarget && op != action::kSetTarget2;
        if (vm.removals != f.removals && (afterCall || halts)) {
            f.removals = vm.removals;
            if (f.base && host() && host()->Removed(f.base)) return {Flow::Return, pc, Value()};
        }
        pc = next;
        switch (op) {
        // ---- timeline control ----
        case action::kNextFrame: // NextFrame
            if (Object* t = TimelineTarget()) host()->StepFrame(t, 1);
            break;
        case action::kPreviousFrame: // PreviousFrame
            if (Object* t = TimelineTarget()) host()->StepFrame(t, -1);
            break;
        case action::kPlay: // Play
            if (Object* t = TimelineTarget()) host()->Play(t, true);
            break;
        case action::kStop: // Stop
            if (Object* t = TimelineTarget()) host()->Play(t, false);
            break;
        case action::kToggleQuality: // ToggleQuality
        case action::kStopSounds:    // StopSounds
        case action::kEndDrag:       // EndDrag
            break;
        case action::kGotoFrame: { // GotoFrame
            uint16_t frame = r.U16();
            if (Object* t = TimelineTarget()) host()->GotoFrame(t, Value(frame + 1.0), false, 0);
            break;
        }
        case action::kGotoLabel: { // GoToLabel
            std::string label = r.Str();
            if (Object* t = TimelineTarget()) host()->GotoFrame(t, Value(label), false, 0);
            break;
        }
        case action::kGotoFrame2: { // GotoFrame2
            uint8_t flags = r.U8();
            int bias = (flags & 2) ? r.U16() : 0;
            Value frame = Pop();
            Object* t = TimelineTarget();
            if (frame.IsString()) {
                size_t colon = frame.s.rfind(':');
                if (colon != std::string::npos) {
                    t = ResolveClipPath(frame.s.substr(0, colon));
                    frame = Value(frame.s.substr(colon + 1));
                }
            }
            // The action reads its frame as text: 4.5 is no frame.
            if (t && host()) host()->GotoFrame(t, Value(vm.ToString(frame)), flags & 1, bias);
            break;
        }
        case action::kWaitForFrame: { // WaitForFrame: every frame is loaded
            r.U16();
            r.U8();
            break;
        }
        case action::kWaitForFrame2: // WaitForFrame2
            r.U8();
            vm.ToString(Pop());
            break;
        case action::kSetTarget: // SetTarget
            SetTarget(r.Str());
            break;
        case action::kSetTarget2: { // SetTarget2: a clip counts by its path
            Value v = Pop();
            bool clip = v.IsObject() && host() && host()->IsClip(v.o);
            SetTarget(clip ? host()->TargetPath(v.o) : vm.ToString(v));
            break;
        }
        case action::kGetUrl: { // GetURL: no network
            std::string url = r.Str();
            if (host()) host()->Log("getURL " + url);
            break;
        }
        case action::kGetUrl2: { // GetURL2
            r.U8();
            vm.ToString(Pop()); // the window
            std::string url = vm.ToString(Pop());
            if (host()) host()->Log("getURL " + url);
            break;
        }
        case action::kCloneSprite: { // CloneSprite
            double depth = vm.ToNumber(Pop());
            std::string name = vm.ToString(Pop());
            Object* clip = DisplayedOf(Pop());
            if (std::isnan(depth)) depth = 0; // a depth that is no number counts as 0
            if (clip && host())
                host()->Clone(clip, name, static_cast<int>(std::clamp(depth, -2e6, 2e6)) - 16384);
            break;
        }
        case action::kRemoveSprite: { // RemoveSprite
            Object* clip = DisplayedOf(Pop());
            if (clip && host()) host()->Remove(clip);
            break;
        }
        case action::kStartDrag: { // StartDrag: no mouse, but its operands convert
            ClipOf(Pop());
            vm.ToNumber(Pop()); // lock to the centre
            // The rectangle follows only when the flag is 1, as compilers write it.
            if (vm.ToNumber(Pop()) == 1)
                for (int i = 0; i < 4; ++i)
                    vm.ToNumber(Pop());
            break;
        }
        case action::kCall: { // Call a frame's actions: code whose timeline is gone stops after it
            std::string frame = vm.ToString(Pop());
            if (Object* t = TimelineTarget()) {
                vm.CheckBudget();
                vm.CheckCallDepth();
                vm.CheckStack();
                CallLevel level(vm.callDepth);
                host()->CallFrame(t, frame);
            }
            calling = true;
            break;
        }
        // ---- arithmetic ----
        case action::kAdd:
        case action::kSubtract:
        case action::kMultiply:
        case action::kDivide: {
            // The player converts the operands of add and multiply left
            // first, of subtract and divide right first.
            Value bv = Pop(), av = Pop();
            double a, b;
            if (op == action::kAdd || op == action::kMultiply) {
                a = vm.ToNumber(av);
                b = vm.ToNumber(bv);
            } else {
                b = vm.ToNumber(bv);
                a = vm.ToNumber(av);
            }
            double v = op == action::kAdd        ? a + b
                       : op == action::kSubtract ? a - b
                       : op == action::kMultiply ? a * b
                                                 : a / b;
            if (op == action::kDivide && b == 0 && ver < 5) {
                Push(Value("#ERROR#"));
                break;
            }
            Push(Value(v));
            break;
        }
        case action::kEquals: { // Equals (numbers)
            double b = vm.ToNumber(Pop()), a = vm.ToNumber(Pop());
            Push(Value(a == b));
            break;
        }
        case action::kLess: { // Less (numbers)
            Value bv = Pop(), av = Pop();
            double a = vm.ToNumber(av), b = vm.ToNumber(bv);
            Push(Value(a < b));
            break;
        }
        case action::kAnd:
        case action::kOr: { // And, Or
            bool b = vm.ToBool(Pop()), a = vm.ToBool(Pop());
            bool v = op == action::kAnd ? a && b : a || b;
            Push(Value(v));
            break;
        }
        case action::kNot: { // Not
            bool v = !vm.ToBool(Pop());
            Push(Value(v));
            break;
        }
        case action::kStringEquals:
        case action::kStringLess:
        case action::kStringGreater: { // StringEquals, StringLess, StringGreater
            std::string b = vm.ToString(Pop()), a = vm.ToString(Pop());
            bool v = op == action::kStringEquals ? a == b
                     : op == action::kStringLess ? CompareText(a, b) < 0
                                                 : CompareText(a, b) > 0;
            Push(Value(v));
            break;
        }
        case action::kStringLength:
        case action::kMbStringLength: // StringLength
            Push(Value(static_cast<double>(vm.ToString(Pop()).size())));
            break;
        case action::kStringExtract:
        case action::kMbStringExtract: { // StringExtract(string, index 1-based, count)
            double count = vm.ToNumber(Pop());
            double index = vm.ToNumber(Pop());
            std::string s = vm.ToString(Pop());
            double st = std::isnan(index) ? 0 : std::max(0.0, index - 1);
            if (st >= static_cast<double>(s.size())) {
                Push(Value(""));
                break;
            }
            size_t start = static_cast<size_t>(st);
            size_t n = std::isnan(count) || count < 0 ? s.size() : static_cast<size_t>(std::min(count, 1e9));
            Push(Value(s.substr(start, n)));
            break;
        }
        case action::kStringAdd: { // StringAdd
            std::string b = vm.ToString(Pop()), a = vm.ToString(Pop());
            if (a.size() + b.size() > Limits::kMaxStringLength) throw Halt{"string too long"};
            Push(Value(a + b));
            break;
        }
        case action::kPop:
            Pop();
            break;
        case action::kToInteger: { // ToInteger
            double d = vm.ToNumber(Pop());
            Push(Value(std::isnan(d) ? 0.0 : static_cast<double>(vm.ToInt32(Value(d)))));
            break;
        }
        case action::kRandomNumber: { // RandomNumber
            double m = vm.ToNumber(Pop());
            int32_t max = std::isfinite(m) && m > 0 ? static_cast<int32_t>(std::min(m, 2147483647.0)) : 0;
            Push(Value(max > 0 ? static_cast<double>(Rng()() % static_cast<uint32_t>(max)) : 0.0));
            break;
        }
        case action::kCharToAscii:
        case action::kMbCharToAscii: { // CharToAscii
            std::string s = vm.ToString(Pop());
            Push(s.empty() ? Value(ver >= 5 ? NAN : 0.0)
                           : Value(static_cast<double>(static_cast<uint8_t>(s[0]))));
            break;
        }
        case action::kAsciiToChar:
        case action::kMbAsciiToChar: { // AsciiToChar
            int c = vm.ToInt32(Pop()) & 0xffff;
            std::string s;
            AppendUtf8(s, c);
            if (c == 0) s.clear();
            Push(Value(s));
            break;
        }
        case action::kGetTime:
            Push(Value(std::floor(vm.now)));
            break;             // GetTime
        case action::kTrace: { // Trace
            Value v = Pop();
            vm.Trace(v.IsUndefined() ? "undefined" : vm.ToString(v));
            break;
        }
        // ---- variables ----
        case action::kGetVariable: { // GetVariable
            std::string name = vm.ToString(Pop());
            Push(GetVariable(name));
            readName = std::move(name);
            readEnd = next;
            break;
        }
        case action::kSetVariable: { // SetVariable
            Value v = Pop();
            std::string name = vm.ToString(Pop());
            SetVariable(name, v);
            break;
        }
        case action::kDefineLocal: { // DefineLocal
            Value v = Pop();
            DefineLocal(vm.ToString(Pop()), v);
            break;
        }
        case action::kDefineLocal2: { // DefineLocal2
            std::string name = vm.ToString(Pop());
            std::string tpath, var;
            if (Object* l = Locals()) {
                if (!l->FindOwn(name, vm.Caseless())) l->SetOwn(name, Value());
            } else if (IsPath(name)) {
                // Outside functions a path names where the variable goes.
                Object* t = vm.SplitVariablePath(name, tpath, var) ? ResolveVariableTarget(tpath) : nullptr;
                if (t && !vm.Has(t, var)) vm.Set(t, var, Value());
            } else if (f.base && !vm.Has(f.base, name)) {
                vm.Set(f.base, name, Value());
            }
            break;
        }
        case action::kGetProperty: { // GetProperty
            double idx = vm.ToNumber(Pop());
            Object* clip = ClipOf(Pop());
            if (clip && host() && idx >= 0 && idx < 22)
                Push(host()->GetClipProperty(clip, static_cast<int>(idx)));
            else
                Push(Value());
            break;
        }
        case action::kSetProperty: { // SetProperty
            Value v = Pop();
            double idx = vm.ToNumber(Pop());
            Object* clip = ClipOf(Pop());
            if (!(idx >= 0 && idx < 22)) break;
            int index = static_cast<int>(idx);
            // The value converts to the property's type, clip or no clip.
            switch (index) {
            case 11: // _target, _framesloaded, _droptarget, _url: read only
            case 12:
            case 14:
            case 15:
                break;
            case 13: // _name, _quality; from SWF 7 on a number that is none (NaN) gives "0";
            case 19: // a truth value is its word, even in SWF 4
                v = Value(v.IsNumber() && std::isnan(v.n) && vm.Version() >= 7 ? std::string("0")
                          : v.type == Value::Type::Bool ? std::string(v.b ? "true" : "false")
                                                        : vm.ToString(v));
                break;
            case 17: // _focusrect: a primitive's number; an object is false
                if (v.IsObject()) v = Value(0);
                break;
            default: // an object by its number; the clip reads the rest
                if (v.IsObject()) v = Value(vm.ToNumber(v));
                break;
            }
            if (clip && host()) host()->SetClipProperty(clip, index, v);
            break;
        }
        case action::kTargetPath: { // TargetPath
            Value v = Pop();
            if (v.IsObject() && host() && host()->IsClip(v.o))
                Push(Value(host()->TargetPath(v.o)));
            else
                Push(Value());
            break;
        }
        case action::kDelete: { // Delete
            std::string name = vm.ToString(Pop());
            Value obj = Pop();
            Push(Value(obj.IsObject() && vm.Delete(obj.o, name)));
            break;
        }
        case action::kDelete2: { // Delete2
            std::string name = vm.ToString(Pop());
            bool done = false;
            std::string tpath, var;
            if (IsPath(name)) {
                if (vm.SplitVariablePath(name, tpath, var))
                    if (Object* t = ResolveVariableTarget(tpath)) done = vm.Delete(t, var);
            } else {
                for (size_t i = f.scope.size(); i-- > 0;) {
                    Object* o = f.scope[i].obj;
                    if (o && o->FindOwn(name, vm.Caseless())) {
                        done = vm.Delete(o, name);
                        break;
                    }
                }
            }
            Push(Value(done));
            break;
        }
        // ---- stack ----
        case action::kPush: { // Push
            while (r.i < r.n) {
                uint8_t type = r.U8();
                switch (type) {
                case action::push::kString:
                    Push(Value(r.Str()));
                    break;
                case action::push::kFloat: {
                    uint32_t bits = r.U32();
                    float fl;
                    std::memcpy(&fl, &bits, 4);
                    Push(Value(static_cast<double>(fl)));
                    break;
                }
                case action::push::kNull:
                    Push(Value::Null());
                    break;
                case action::push::kUndefined:
                    Push(Value());
                    break;
                case action::push::kRegister: {
                    uint8_t reg = r.U8();
                    Value* slot = Register(reg);
                    Push(slot ? *slot : Value());
                    break;
                }
                case action::push::kBoolean:
                    Push(Value(r.U8() != 0));
                    break;
                case action::push::kDouble: {
                    uint64_t hi = r.U32(), lo = r.U32();
                    uint64_t bits = hi << 32 | lo;
                    double d;
                    std::memcpy(&d, &bits, 8);
                    Push(Value(d));
                    break;
                }
                case action::push::kInteger:
                    Push(Value(static_cast<double>(static_cast<int32_t>(r.U32()))));
                    break;
                case action::push::kConstant8: {
                    uint8_t i = r.U8();
                    Push(i < f.pool->size() ? Value((*f.pool)[i]) : Value());
                    break;
                }
                case action::push::kConstant16: {
                    uint16_t i = r.U16();
                    Push(i < f.pool->size() ? Value((*f.pool)[i]) : Value());
                    break;
                }
                default:
                    r.i = r.n;
                    break;
                }
            }
            break;
        }
        case action::kPushDuplicate: { // PushDuplicate
            Value v = f.stack.empty() ? Value() : f.stack.back();
            Push(v);
            break;
        }
        case action::kStackSwap: { // StackSwap
            Value a = Pop(), b = Pop();
            Push(a);
            Push(b);
            break;
        }
        case action::kStoreRegister: { // StoreRegister
            uint8_t reg = r.U8();
            if (Value* slot = Register(reg)) *slot = f.stack.empty() ? Value() : f.stack.back();
            break;
        }
        case action::kConstantPool: { // ConstantPool
            auto pool = std::make_shared<std::vector<std::string>>();
            uint16_t n = r.U16();
            for (uint16_t i = 0; i < n && r.i < r.n; ++i)
                pool->push_back(r.Str());
            f.pool = pool;
            break;
        }
        // ---- ES-style operators ----
        case action::kAdd2: { // Add2
            Value b = Pop(), a = Pop();
            Value v = vm.Add(a, b);
            if (v.IsString() && v.s.size() > Limits::kMaxStringLength) throw Halt{"string too long"};
            Push(std::move(v));
            break;
        }
        case action::kLess2: { // Less2
            Value b = Pop(), a = Pop();
            Push(vm.Compare(a, b));
            break;
        }
        case action::kGreater: { // Greater
            Value b = Pop(), a = Pop();
            Push(vm.Compare(a, b, true));
            break;
        }
        case action::kEquals2: { // Equals2
            Value b = Pop(), a = Pop();
            Push(Value(vm.LooseEquals(a, b)));
            break;
        }
        case action::kStrictEquals: { // StrictEquals
            Value b = Pop(), a = Pop();
            Push(Value(vm.StrictEquals(a, b)));
            break;
        }
        case action::kModulo: { // Modulo
            double b = vm.ToNumber(Pop()), a = vm.ToNumber(Pop());
            Push(Value(std::fmod(a, b)));
            break;
        }
        case action::kIncrement:
            Push(Value(vm.ToNumber(Pop()) + 1));
            break;
        case action::kDecrement:
            Push(Value(vm.ToNumber(Pop()) - 1));
            break;
        case action::kBitAnd:
        case action::kBitOr:
        case action::kBitXor:
        case action::kBitLShift:
        case action::kBitRShift:
        case action::kBitURShift: {
            Value bv = Pop(), av = Pop();
            int32_t b = vm.ToInt32(bv), a = vm.ToInt32(av);
            double v;
            switch (op) {
            case action::kBitAnd:
                v = a & b;
                break;
            case action::kBitOr:
                v = a | b;
                break;
            case action::kBitXor:
                v = a ^ b;
                break;
            case action::kBitLShift:
                v = static_cast<int32_t>(static_cast<uint32_t>(a) << (b & 31));
                break;
            case action::kBitRShift:
                v = a >> (b & 31);
                break;
            default: // the player hands back the shifted bits as a signed number
                v = static_cast<int32_t>(static_cast<uint32_t>(a) >> (b & 31));
                break;
            }
            Push(Value(v));
            break;
        }
        case action::kToNumber:
            Push(Value(vm.ToNumber(Pop())));
            break;
        case action::kToString:
            Push(Value(vm.ToString(Pop())));
            break;
        case action::kTypeOf:
            Push(Value(vm.TypeOf(Pop())));
            break;
        // ---- objects ----
        case action::kGetMember: { // GetMember
            Value name = Pop();
            Value obj = Pop();
            std::string member = vm.ToString(name);
            // The player's log warns of a variable read as null and then
            // asked for a member (the name pushed just after reading it).
            if (obj.type == Value::Type::Null && lastStart == readEnd)
                vm.Trace("Warning: '" + readName + "' has no property '" + member + "'");
            Push(vm.GetMember(obj, member));
            break;
        }
        case action::kSetMember: { // SetMember
            Value v = Pop();
            Value name = Pop();
            Value obj = Pop();
            if (obj.IsObject()) vm.Set(obj.o, vm.ToString(name), v);
            break;
        }
        case action::kInitArray: { // InitArray
            Args items = PopArgs();
            Array* a = vm.NewArray();
            a->Assign(items);
            Push(Value(static_cast<Object*>(a)));
            break;
        }
        case action::kInitObject: { // InitObject
            double n = vm.ToNumber(Pop());
            // A count the stack cannot hold makes no object.
            if (!(n >= 0) || n * 2 > static_cast<double>(f.stack.size())) {
                Push(Value());
                break;
            }
            size_t count = static_cast<size_t>(n);
            Object* o = vm.NewObject();
            std::vector<std::pair<std::string, Value>> pairs;
            for (size_t i = 0; i < count && !f.stack.empty(); ++i) {
                Value v = Pop();
                std::string name = vm.ToString(Pop());
                pairs.emplace_back(std::move(name), std::move(v));
            }
            // Set in the order they come off the stack: the last pair first.
            for (auto& [name, v] : pairs)
                vm.Set(o, name, v);
            Push(Value(o));
            break;
        }
        case action::kCallFunction: { // CallFunction
            std::string name = vm.ToString(Pop());
            Args args = PopArgs();
            // A function found on an object of the scope chain (a with block,
            // the timeline) or at the end of a path is called on that object.
            Object* owner = nullptr;
            Value fn = GetVariable(name, &owner);
            if (auto* sup = fn.IsObject() ? dynamic_cast<SuperObject*>(fn.o) : nullptr) {
                Push(CallSuper(sup, args));
                break;
            }
            Value self = owner ? Value(owner) : f.target ? Value(f.target) : Value(f.base);
            BoxCallee(fn);
            Push(CallValue(fn, self, args, nullptr));
            break;
        }
        case action::kCallMethod: { // CallMethod
            Value name = Pop();
            Value obj = Pop();
            Args args = PopArgs();
            std::string method = name.IsUndefined() ? std::string() : vm.ToString(name);
            auto* sup = obj.IsObject() ? dynamic_cast<SuperObject*>(obj.o) : nullptr;
            if (method.empty()) {
                if (sup) {
                    Push(CallSuper(sup, args));
                } else {
                    BoxCallee(obj);
                    Push(CallValue(obj, Value(), args, nullptr));
                }
                break;
            }
            if (sup) {
                Object* owner = nullptr;
                Object* base = sup->Base(vm);
                Value fn = base ? vm.Get(base, method) : Value();
                if (base) vm.Lookup(base, method, &owner);
                Push(CallValue(fn, sup->self, args, owner));
                break;
            }
            if (obj.IsNullish()) {
                Push(Value());
                break;
            }
            Object* self = vm.ToObject(obj);
            if (!self) {
                Push(Value());
                break;
            }
            Object* owner = nullptr;
            Value fn = vm.GetMember(Value(self), method);
            vm.Lookup(self, method, &owner);
            if (!fn.IsObject() || !fn.o->IsFunction()) {
                Push(Value());
                break;
            }
            Push(CallValue(fn, Value(self), args, owner && owner != self ? owner : self->proto));
            break;
        }
        case action::kNewObject: { // NewObject
            std::string name = vm.ToString(Pop());
            Args args = PopArgs();
            // SWF 4 movies have no built-in classes: only a timeline's own
            // functions construct, and anything else is logged.
            Value ctor = ver < 5 ? TimelineVariable(name) : GetVariable(name);
            if (ver < 5 && !(ctor.IsObject() && ctor.o->IsFunction())) {
                vm.Warn(name + " is not a function");
                Push(Value());
                break;
            }
            BoxCallee(ctor);
            Push(vm.Construct(ctor, args));
            break;
        }
        case action::kNewMethod: { // NewMethod
            Value name = Pop();
            Value obj = Pop();
            Args args = PopArgs();
            std::string method = name.IsUndefined() ? std::string() : vm.ToString(name);
            Value ctor = method.empty() ? obj : vm.GetValue(obj, method);
            BoxCallee(ctor);
            Push(vm.Construct(ctor, args));
            break;
        }
        case action::kInstanceOf: { // InstanceOf
            // A primitive is an instance of nothing; the class is made an object.
            Value ctor = Pop();
            Value obj = Pop();
            Value cls = obj.IsObject() ? vm.Boxed(ctor) : Value();
            Push(Value(cls.IsObject() && vm.InstanceOf(obj, cls.o)));
            break;
        }
        case action::kCastOp: { // CastOp
            // A primitive is boxed and still cast to null.
            Value obj = Pop();
            Value ctor = Pop();
            Value cls = obj.IsObject() ? vm.Boxed(ctor) : (vm.Boxed(obj), Value());
            Push(cls.IsObject() && vm.InstanceOf(obj, cls.o) ? obj : Value::Null());
            break;
        }
        case action::kImplementsOp: { // ImplementsOp
            Value ctor = Pop();
            Args ifaces = PopArgs();
            if (ctor.IsObject()) {
                Value proto = vm.Get(ctor.o, "prototype");
                if (proto.IsObject()) {
                    Array* a = vm.NewArray();
                    a->Assign(ifaces);
                    proto.o->SetOwn("__implements__", Value(static_cast<Object*>(a)), kDontEnum);
                }
            }
            break;
        }
        case action::kExtends: { // Extends
            Value super = Pop();
            Value sub = Pop();
            if (sub.IsObject() && super.IsObject()) {
                Value sp = vm.Get(super.o, "prototype");
                Object* proto = vm.New<Object>(sp.IsObject() ? sp.o : nullptr);
                proto->SetOwn("__constructor__", super, kDontEnum);
                sub.o->SetOwn("prototype", Value(proto));
            }
            break;
        }
        case action::kEnumerate:
        case action::kEnumerate2: { // Enumerate, Enumerate2
            Value v = Pop();
            Object* o = nullptr;
            if (op == action::kEnumerate) {
                Value got = GetVariable(vm.ToString(v));
                o = got.IsObject() ? got.o : nullptr;
            } else {
                o = v.IsObject() ? v.o : nullptr;
            }
            Push(Value::Null());
            if (o) {
                std::vector<std::string> keys = vm.Keys(o);
                for (auto& k : keys)
                    Push(Value(k));
            }
            break;
        }
        case action::kDefineFunction:
        case action::kDefineFunction2: { // DefineFunction, DefineFunction2
            size_t bodyLen = 0;
            Function* fn = MakeFunction(r, op == action::kDefineFunction2, next, bodyLen);
            pc = std::min(next + bodyLen, code.size());
            if (fn->name.empty())
                Push(Value(static_cast<Object*>(fn)));
            else
                DefineLocal(fn->name, Value(static_cast<Object*>(fn)));
            break;
        }
        case action::kReturn: { // Return
            Outcome o;
            o.flow = Flow::Return;
            o.value = Pop();
            return o;
        }
        case action::kThrow: { // Throw
            throw Thrown{Pop()};
        }
        case action::kWith: { // With
            uint16_t size = r.U16();
            Value v = Pop();
            Object* o = v.IsObject() ? v.o : vm.ToObject(v);
            size_t blockEnd = std::min(pc + size, code.size());
            if (!o) { // with (undefined) and with (null) skip their block
                pc = blockEnd;
                break;
            }
            f.scope.push_back({Scope::Kind::With, o});
            Outcome out;
            try {
                out = Exec(pc, blockEnd);
            } catch (...) {
                f.scope.pop_back();
                throw;
            }
            f.scope.pop_back();
            if (out.flow == Flow::Return) return out;
            pc = out.flow == Flow::Jump ? out.pc : blockEnd;
            if (pc < at - 3 || pc >= end) {
                if (pc != end) return {Flow::Jump, pc, {}};
            }
            break;
        }
        case action::kTry: { // Try
            uint8_t flags = r.U8();
            uint16_t trySize = r.U16(), catchSize = r.U16(), finallySize = r.U16();
            std::string catchName;
            uint8_t catchReg = 0;
            if (flags & 4)
                catchReg = r.U8();
            else
                catchName = r.Str();
            size_t tryStart = pc, catchStart = std::min(tryStart + trySize, code.size());
            size_t finallyStart = std::min(catchStart + catchSize, code.size());
            size_t after = std::min(finallyStart + finallySize, code.size());
            Outcome out;
            bool pending = false;
            Value pendingValue;
            size_t depth = f.stack.size();
            try {
                out = Exec(tryStart, catchStart);
            } catch (const Thrown& t) {
                f.stack.resize(std::min(depth, f.stack.size()));
                if (flags & 1) {
                    if (flags & 4) {
                        if (Value* slot = Register(catchReg)) *slot = t.value;
                    } else if (Object* l = Locals()) {
                        l->SetOwn(catchName, t.value);
                    } else {
                        SetVariable(catchName, t.value);
                    }
                    try {
                        out = Exec(catchStart, finallyStart);
                    } catch (const Thrown& t2) {
                        pending = true;
                        pendingValue = t2.value;
                    }
                } else {
                    pending = true;
                    pendingValue = t.value;
                }
            }
            if (flags & 2) {
                Outcome fin = Exec(finallyStart, after);
                if (fin.flow != Flow::Done) return fin;
            }
            if (pending) throw Thrown{pendingValue};
            if (out.flow == Flow::Return) return out;
            pc = out.flow == Flow::Jump ? out.pc : after;
            if (pc < tryStart || pc >= end) {
                if (pc != end) return {Flow::Jump, pc, {}};
            }
            break;
        }
        case action::kJump:
        case action::kIf: { // Jump, If
            int16_t offset = static_cast<int16_t>(r.U16());
            bool take = true;
            if (op == action::kIf) take = vm.ToBool(Pop());
            if (!take) break;
            long target = static_cast<long>(next) + offset;
            if (target < 0 || static_cast<size_t>(target) > code.size()) return {Flow::Done, end, {}};
            if (offset < 0) vm.CheckBudget();
            size_t t = static_cast<size_t>(target);
            if (t >= end || t < pc - (next - pc)) {
                // Leaves this block (a With or Try body): the enclosing block goes on there.
            }
            pc = t;
            if (pc >= end && pc != end) return {Flow::Jump, pc, {}};
            break;
        }
        default:
            break; // unknown actions are skipped
        }
        if (vm.pendingThrow) RaisePending();
    }
    return {};
}

} // namespace movie::script
