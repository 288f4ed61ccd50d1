// The script machine: runs action bytecode of SWF 4 to 8 over the objects of
// Value.h. A Host gives it the movie clips.
#pragma once

#include "movie/Geometry.h"
#include "movie/Limits.h"
#include "movie/WallClock.h"
#include "movie/script/Value.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace movie::script {

// A thrown script value travelling up the native stack.
struct Thrown {
    Value value;
};
// A script stopped by a safety limit (time, recursion, memory).
struct Halt {
    std::string why;
};

// One level of script calls, counted for as long as it lasts.
class CallLevel {
  public:
    explicit CallLevel(int& depth) : depth_(depth) { ++depth_; }
    ~CallLevel() { --depth_; }
    CallLevel(const CallLevel&) = delete;
    CallLevel& operator=(const CallLevel&) = delete;

  private:
    int& depth_;
};

// Movie clips as the machine sees them. Objects that are clips answer
// IsClip(); everything else about them goes through the host.
class Host {
  public:
    virtual ~Host() = default;
    virtual bool IsClip(Object* o) = 0;
    virtual Object* Root() = 0;
    virtual Object* ParentOf(Object* clip) = 0; // nullptr at the root
    virtual Object* ChildNamed(Object* clip, const std::string& name, bool caseless) = 0;
    virtual std::string TargetPath(Object* clip) = 0; // "_level0.a.b"
    virtual std::string SlashPath(Object* clip) = 0;  // "/a/b"
    virtual Value GetClipProperty(Object* clip, int index) = 0;
    virtual void SetClipProperty(Object* clip, int index, const Value& v) = 0;
    virtual void GotoFrame(Object* clip, const Value& frame, bool play, int bias) = 0;
    virtual void Play(Object* clip, bool play) = 0;
    virtual void StepFrame(Object* clip, int delta) = 0;
    virtual bool FrameLoaded(Object* clip, const Value& frame) = 0;
    // Runs the actions of a frame ("path:frame", a number or a label) of a
    // clip where they stand, without going there.
    virtual void CallFrame(Object*, const std::string&) {}
    virtual void Clone(Object* clip, const std::string& name, int depth) = 0;
    virtual void Remove(Object* clip) = 0;
    virtual void Log(const std::string& what) = 0;
    // A clip taken off the display list (its object lives on).
    virtual bool Removed(Object* clip) = 0;
    // The clip's placement (its matrix and colour transform; the main
    // timeline's own), null once it is off the display list.
    virtual DisplayObject* Placement(Object* clip) = 0;
    // Its bounds in its own space, in twips (xMin > xMax when it has none).
    virtual Rect Bounds(Object* clip) = 0;
    // What a reference to a clip reaches: the clip while it is on the
    // display list; once it is taken off, whichever clip now has its path,
    // or nothing. Anything else is itself.
    virtual Object* Live(Object* o) = 0;
    // A text field or button on the stage: not a clip, but named by a path like one.
    virtual bool IsPlaced(Object*) { return false; }
};

class Vm {
  public:
    explicit Vm(int version);
    ~Vm();

    void SetHost(Host* host) { host_ = host; }
    Host* GetHost() { return host_; }
    void SetTrace(std::function<void(const std::string&)> sink) { trace_ = std::move(sink); }
    // A traced carriage return breaks the line, as in the player's log.
    void Trace(const std::string& line);
    // A warning the player writes to the same log, up to kMaxWarnings of them.
    void Warn(const std::string& what);
    static constexpr int kMaxWarnings = 100;
    int Version() const { return version_; }

    // Runs a block of actions (a frame script, an event handler body) with
    // `clip` as its timeline and `this`.
    void RunBlock(std::shared_ptr<const std::vector<uint8_t>> code, Object* clip);
    // Calls a function value; script errors stop here (logged), not above.
    Value CallTop(const Value& fn, const Value& self, Args args);
    // Reports a throw that no script caught.
    void Uncaught(const Value& v);
    // Calls a method by name on an object if it is a function.
    bool CallMethodIfAny(Object* obj, const std::string& name, Args args, Value* result = nullptr);

    // Object model.
    template <class T = Object> T* New(Object* proto) {
        T* o = new T();
        o->proto = proto;
        Track(o);
        return o;
    }
    Object* NewObject() { return New<Object>(objectProto); }
    Array* NewArray() { return New<Array>(arrayProto); }
    Function* NewNative(Native fn, const std::string& name = {});
    Value Get(Object* o, const std::string& name);
    Value GetValue(const Value& base, const std::string& name);
    // A script's read of a member: what GetValue finds, or what __resolve says.
    Value GetMember(const Value& base, const std::string& name);
    void Set(Object* o, const std::string& name, const Value& v);
    // Runs the watcher of o's property `name`, if any may run now, on the
    // value about to be set; true when it ran (value is then its answer).
    bool CallWatcher(Object* o, const std::string& name, Value& value);
    bool Has(Object* o, const std::string& name);
    bool Delete(Object* o, const std::string& name);
    static bool IsProtoName(const std::string& name);
    [[noreturn]] static void ChainTooLong();
    // The own property that holds the prototype, made when first needed.
    Property* ProtoSlot(Object* o);
    Property* Lookup(Object* o, const std::string& name, Object** owner = nullptr);
    std::vector<std::string> Keys(Object* o); // enumerable, own then inherited
    bool Caseless() const { return version_ < 7; }
    Object* ToObject(const Value& v);
    Value Call(const Value& fn, const Value& self, Args& args);
    Value Construct(const Value& ctor, Args& args);
    bool InstanceOf(const Value& v, Object* ctor);
    // A primitive made an object by the global class of its type as it now
    // stands (String, Number, Boolean); objects as they are; else null.
    Value Boxed(const Value& v);
    // Whether a native class made the object what it is (see Object::native).
    // Makes an object the box of a primitive.
    void MakeBox(Object* o, const Value& v);
    // A box of the built-in class of a primitive's type.
    Object* NewBox(const Value& v);
    // The global class of a primitive's type as it now stands; builtIn when
    // it is the built-in one, unchanged.
    Value BoxClass(const Value& v, bool& builtIn);
    // What a class that is not the built-in one makes of a primitive, when an object.
    Object* BoxBy(const Value& cls, const Value& v);
    static bool IsNative(const Object* o) { return o->native || o->inside || typeid(*o) != typeid(Object); }
    bool Reaches(Object* chain, Object* target, int nesting);

    // Conversions.
    double ToNumber(const Value& v);
    std::string ToString(const Value& v);
    bool ToBool(const Value& v);
    Value ToPrimitive(const Value& v, bool preferString = false);
    int32_t ToInt32(const Value& v);
    static std::string NumberToString(double n);
    static std::string NumberToRadix(double n, int radix);
    static double StringToNumber(const std::string& s, int version);
    std::string TypeOf(const Value& v);
    bool LooseEquals(const Value& a, const Value& b);
    bool StrictEquals(const Value& a, const Value& b);
    // a < b (b < a when swapped, still converting a first): true, false or undefined.
    Value Compare(const Value& a, const Value& b, bool swapped = false);
    Value Add(const Value& a, const Value& b);
    // The text of a clip reference: the path of the clip it reaches, empty when it reaches none.
    std::string ClipText(Object* clip);

    // Paths: "/a/b:var", "_root.a", "../x".
    // after: the separator the path goes on after, when it follows a name ('.' or '/').
    Object* ResolvePath(Object* base, const std::string& path, char after = 0);
    // Level n: the main timeline for 0, nothing else is loaded.
    Object* Level(int n);
    // The number of the level "_level3" or "_flash3" names, or -1.
    int LevelNumber(const std::string& name) const;
    bool SplitVariablePath(const std::string& path, std::string& target, std::string& var);

    // Garbage: collects what cannot be reached from the roots (globals,
    // clips, timers, what the host marks). Only between scripts.
    void Collect(const std::vector<Object*>& extraRoots);
    size_t LiveObjects() const { return heap_.size(); }
    void CheckBudget();
    void StartBudget();
    // A step of the movie begins: a fresh time budget, an empty stack.
    void BeginStep() {
        StartBudget();
        blockStack_.clear();
    }
    void SetBudget(std::chrono::microseconds budget) { budget_ = budget; }
    // Levels of calls, the running block counting as the first, that scripts
    // may nest (a movie may ask for fewer than the saver allows, not more).
    void SetMaxCallDepth(int levels) { maxCallDepth_ = std::clamp(levels, 1, Limits::kMaxCallDepth); }
    // Stops the script when one more call would nest too deep.
    void CheckCallDepth() const {
        if (callDepth + 1 >= maxCallDepth_) throw Halt{"recursion too deep"};
    }

    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* errorProto = nullptr;
    Object* clipProto = nullptr;
    Object* dateProto = nullptr;
    // flash.geom: what methods and clip properties make.
    Object* pointProto = nullptr;
    Object* rectangleProto = nullptr;
    Object* matrixProto = nullptr;
    Object* colorTransformProto = nullptr;
    Object* transformProto = nullptr;
    Object* textFieldProto = nullptr;
    Object* buttonProto = nullptr;
    Object* textFormatProto = nullptr;
    Object* xmlNodeProto = nullptr; // what parsed nodes are made of
    Object* xmlProto = nullptr;
    Function* objectCtor = nullptr;
    Function* functionCtor = nullptr;
    Function* arrayCtor = nullptr;
    Function* stringCtor = nullptr;
    Function* numberCtor = nullptr;
    Function* booleanCtor = nullptr;

    // Registered classes for exported symbols (Object.registerClass).
    std::map<std::string, Object*> registered;
    // Timers made by setInterval/setTimeout.
    struct Timer {
        int id;
        Value fn;
        Value self;
        std::string method;
        Args args;
        double interval;
        double due;
        bool repeat;
    };
    std::vector<Timer> timers;
    // The player's numbered native tables (ASnative(table, index)).
    std::map<int, std::function<Value(Vm&, int index, Args&)>> nativeTables;
    int nextTimer = 1;
    double now = 0;                        // milliseconds since the movie started
    WallClock clock = WallClock::System(); // what Date reads
    std::vector<Value> rootsScratch;

  private:
    friend class Frame;
    friend struct Interp;
    void Track(Object* o);
    void InstallBuiltins();
    Object* ResolveSlashPath(Object* base, const std::string& path);
    // One name of a path: a child clip, a level, or a property holding an object.
    Object* PathStep(Object* at, const std::string& name);
    Value CallAccessor(Object* owner, const std::string& name, const Value& self, const Value* set);
    // The built-in classes, a file each.
    void InstallObjectClass();
    void InstallArrayClass();
    void InstallStringClass();
    void InstallNumberClasses();
    void InstallMath();
    void InstallDateClass();
    void InstallGlobalFunctions();
    void InstallTextFieldClass();
    void InstallButtonClass();
    void InstallTextFormatClass();
    void AddMethod(Object* o, const std::string& name, Native fn);
    // The object a dotted path names from _global, through own members only.
    Object* TreeObject(const std::string& path);
    // A prototype object of its own for a function that has none.
    void GiveOwnPrototype(Function* fn);
    Function* AddClass(const std::string& name, Object* proto, Native call, Native construct);

    int version_;
    Host* host_ = nullptr;
    std::function<void(const std::string&)> trace_;
    std::vector<Object*> heap_;
    int depth_ = 0;
    std::chrono::microseconds budgetStart_{0};
    bool budgetOn_ = false;
    std::chrono::microseconds budget_ = Limits::kScriptTimePerFrame;
    int budgetCount_ = 0;
    int maxCallDepth_ = Limits::kMaxCallDepth;
    std::vector<Value> blockStack_; // what the blocks of this step left on the stack
    bool haltedThisFrame_ = false;
    int warnings_ = 0;

  public:
    int callDepth = 0;
    uintptr_t stackBase = 0; // where the outermost script call began
    void CheckStack() {
        uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        if (stackBase == 0 || callDepth == 0) stackBase = here;
        if (stackBase > here && stackBase - here > Limits::kMaxScriptStackBytes)
            throw Halt{"script stack exhausted"};
    }
    size_t stringBytes = 0;
    uint64_t bitmapPixels = 0;               // of the BitmapData objects alive
    std::vector<Value>* blockRegs = nullptr; // the registers of the running frame script or handler
    std::vector<Value> spareRegs = std::vector<Value>(4);
    uint64_t removals = 0;       // clips taken off the display list so far
    Function* running = nullptr; // the script function whose body runs now (arguments.caller)
    // A throw from a conversion inside an action, raised once the action is done.
    bool pendingThrow = false;
    Value pendingValue;
    // Runs a function's body (script functions); used by Call.
    Value RunFunction(Function* f, const Value& self, Args& args, Object* callee);
    Value RunCode(const std::shared_ptr<const std::vector<uint8_t>>& code, size_t start, size_t end,
                  std::vector<Scope> scope, Object* target, const Value& self, std::vector<Value>* registers,
                  std::shared_ptr<std::vector<std::string>> pool, int version, Function* callee);
    void InstallGlobals();
    // Puts the built-in tree in the player's order and flags, adding what is
    // missing; run once every class is installed.
    void ShapeBuiltinTree();
    Object* NewError(const std::string& msg);
};

} // namespace movie::script
