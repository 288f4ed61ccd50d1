// Values, objects and functions of the script machine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace movie {
struct DisplayObject;
}

namespace movie::script {

class Object;
class Vm;

struct Value {
    enum class Type : uint8_t { Undefined, Null, Bool, Number, String, Object };
    Type type = Type::Undefined;
    bool b = false;
    double n = 0;
    std::string s;
    Object* o = nullptr;

    Value() = default;
    static Value Null() {
        Value v;
        v.type = Type::Null;
        return v;
    }
    Value(bool v) : type(Type::Bool), b(v) {}
    Value(double v) : type(Type::Number), n(v) {}
    Value(int v) : type(Type::Number), n(v) {}
    Value(std::string v) : type(Type::String), s(std::move(v)) {}
    Value(const char* v) : type(Type::String), s(v) {}
    Value(Object* v) : type(v ? Type::Object : Type::Null), o(v) {}

    bool IsUndefined() const { return type == Type::Undefined; }
    bool IsNullish() const { return type == Type::Undefined || type == Type::Null; }
    bool IsObject() const { return type == Type::Object; }
    bool IsString() const { return type == Type::String; }
    bool IsNumber() const { return type == Type::Number; }
};

using Args = std::vector<Value>;
using Native = std::function<Value(Vm&, Value self, Args& args)>;

enum PropFlag : uint8_t { kDontEnum = 1, kDontDelete = 2, kReadOnly = 4 };

struct Property {
    Value value;
    Object* getter = nullptr; // addProperty: reads call these
    Object* setter = nullptr;
    bool virt = false;
    uint8_t flags = 0;
    uint8_t versionMask = 0;
    uint8_t busy = 0; // getter or setter calls of this property under way // hidden from movies older than
                      // this SWF version (ASSetPropFlags high bits)
};

class Object {
  public:
    Object() = default;
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Own properties, in the order they were added.
    struct Slot {
        std::string name;
        Property prop;
    };
    Property* FindOwn(const std::string& name, bool caseless);
    Property& SetOwn(const std::string& name, Value v, uint8_t flags = 0);
    bool DeleteOwn(const std::string& name, bool caseless);
    // Deletes, in one pass, the own properties whose names `doomed` picks
    // and that may be deleted; the others keep their order.
    template <class Pred> void DeleteOwnWhere(Pred doomed) {
        const size_t before = slots_.size();
        std::erase_if(slots_, [&](const Slot& s) { return !(s.prop.flags & kDontDelete) && doomed(s.name); });
        if (slots_.size() != before) Reindex();
    }
    const std::vector<Slot>& Slots() const { return slots_; }
    // Puts the named own properties first (oldest), in the order given; the
    // others follow as they were.
    void Reorder(const std::vector<std::string>& oldestFirst);
    std::vector<Slot>& Slots() { return slots_; }

    Object* proto = nullptr; // __proto__
    std::string className = "Object";
    bool marked = false;

    // Watches set by watch(): name -> callback and its user data.
    struct Watch {
        Object* fn;
        Value data;
        int busy = 0; // calls of the watcher under way
    };
    std::unordered_map<std::string, Watch> watches;

    virtual void Trace(std::vector<Object*>& out);
    // Hooks for objects with special properties (arrays, clips). Return true
    // when handled.
    virtual bool GetSpecial(Vm& vm, const std::string& name, Value& out) {
        return inside && inside->GetSpecial(vm, name, out);
    }
    virtual bool SetSpecial(Vm&, const std::string&, const Value&) { return false; }
    virtual void SpecialKeys(std::vector<std::string>&) {}
    virtual bool IsFunction() const { return false; }
    // A native whose prototype scripts cannot change, whatever its flags say.
    virtual bool KeepsProto() const { return false; }

    // Boxed primitives keep their value here (dates their time).
    Value primitive;
    bool hasPrimitive = false;
    // Made what it is by a native class (a box, a date, a filter): a native
    // constructor that super() runs on it again leaves it as it is. Objects
    // of the classes derived from this one are native from the start.
    bool native = false;

    // What a native class keeps inside an object it made its own (a node of
    // a document): kept with the object and followed by the collector.
    struct Inside {
        virtual ~Inside() = default;
        virtual void Trace(std::vector<Object*>&) {}
        virtual bool GetSpecial(Vm&, const std::string&, Value&) { return false; }
    };
    std::unique_ptr<Inside> inside;

  private:
    void Reindex();
    std::vector<Slot> slots_;
    std::unordered_map<std::string, size_t> index_;
};

// One link of a scope chain, innermost last.
struct Scope {
    enum class Kind : uint8_t { Global, Target, Local, With };
    Kind kind;
    Object* obj;
};

class Function : public Object {
  public:
    bool IsFunction() const override { return true; }
    void Trace(std::vector<Object*>& out) override;

    Native native;
    Native nativeConstruct; // when set, `new` calls this instead of native
    // When set, super() of a subclass calls this on its `this`: it makes a
    // plain object an instance of the native class.
    Native nativeInit;
    // Script functions:
    std::shared_ptr<const std::vector<uint8_t>> code;
    size_t start = 0, length = 0;
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegs; // DefineFunction2: register per parameter (0: none)
    bool isV2 = false;
    uint8_t regCount = 0;
    uint16_t flags = 0;
    std::vector<Scope> scope;
    std::shared_ptr<std::vector<std::string>> pool;
    int version = 8;
    Object* homeClip = nullptr; // the timeline the function was defined on
    std::string name;
};

// Elements are ordinary properties named by their index (so they keep
// their own flags and their place in the order of enumeration); the length
// is a 32-bit integer of its own, as in the player.
class Array : public Object {
  public:
    Array() { className = "Array"; }
    int32_t length = 0;
    // Drops the own elements from n up to the old length.
    void SetLength(int32_t n);
    // Own element i: undefined for a hole.
    Value Element(int32_t i) const;
    // Own elements 0 .. length-1, holes undefined.
    std::vector<Value> Elements() const;
    // Replaces every element by `values`, in order.
    void Assign(const std::vector<Value>& values);
    // Adds one element at the end.
    void Append(const Value& v);
    bool GetSpecial(Vm&, const std::string&, Value&) override;
    bool SetSpecial(Vm&, const std::string&, const Value&) override;
};

// The element index a property name stands for: an optional minus sign and
// decimal digits, wrapped to 32 bits as the player wraps them.
bool ElementIndex(const std::string& s, int32_t& out);
bool CaselessEqual(const std::string& a, const std::string& b);
// The small letter for a capital's code point (the case rules of SWF 6 and earlier).
int FoldCase(int code);
std::string Lower(std::string s);
// Orders two texts as the player does: by their UTF-16 code units.
int CompareText(const std::string& a, const std::string& b);
// Text of the Windows western code page as UTF-8.
std::string AnsiToUtf8(const std::string& s);
// Length in 16-bit characters of UTF-8 text, as scripts count it.
size_t ScriptLength(const std::string& s);
// Appends one 16-bit character code to s as UTF-8.
void AppendUtf8(std::string& s, int code);

} // namespace movie::script
