// Built-in classes called straight from C++: the flash.geom classes no
// conformance movie reaches, the stored arithmetic of colour transforms, and
// what scripts cannot see for themselves (sorts cut short by the time budget).
#include "movie/script/GeomClasses.h"
#include "movie/script/Value.h"
#include "movie/script/Vm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using movie::script::Args;
using movie::script::Value;
using movie::script::Vm;

struct Script {
    Vm vm{8};
    Value Geom(const char* cls) {
        return vm.GetValue(vm.GetValue(vm.GetValue(Value(vm.global), "flash"), "geom"), cls);
    }
    Value New(const char* cls, Args args) { return vm.Construct(Geom(cls), args); }
    Value Call(const Value& self, const char* method, Args args = {}) {
        return vm.Call(vm.GetValue(self, method), self, args);
    }
    std::string Text(const Value& v) { return vm.ToString(v); }
};

TEST(GeomClasses, RectanglesMeetJoinAndMoveTheirEdges) {
    Script s;
    Value a = s.New("Rectangle", {0, 0, 10, 10});
    Value b = s.New("Rectangle", {5, 5, 10, 10});
    EXPECT_EQ(s.Text(s.Call(a, "intersection", {b})), "(x=5, y=5, w=5, h=5)");
    EXPECT_EQ(s.Text(s.Call(a, "union", {b})), "(x=0, y=0, w=15, h=15)");
    EXPECT_TRUE(s.vm.ToBool(s.Call(a, "intersects", {b})));
    Value far = s.New("Rectangle", {20, 20, 1, 1});
    EXPECT_FALSE(s.vm.ToBool(s.Call(a, "intersects", {far})));
    EXPECT_EQ(s.Text(s.Call(a, "intersection", {far})), "(x=0, y=0, w=0, h=0)");
    // An empty rectangle adds nothing to a union.
    EXPECT_EQ(s.Text(s.Call(a, "union", {s.New("Rectangle", {})})), "(x=0, y=0, w=10, h=10)");
    // The right edge is outside, the left inside.
    EXPECT_TRUE(s.vm.ToBool(s.Call(a, "contains", {0, 9.5})));
    EXPECT_FALSE(s.vm.ToBool(s.Call(a, "contains", {10, 5})));
    // Moving the left edge keeps the right one where it was; what is written is kept as it is.
    s.vm.Set(b.o, "left", Value("1"));
    EXPECT_TRUE(s.vm.GetValue(b, "left").IsString());
    s.vm.Set(b.o, "left", Value(1));
    EXPECT_EQ(s.Text(b), "(x=1, y=5, w=14, h=10)");
    EXPECT_EQ(s.Text(s.vm.GetValue(b, "bottomRight")), "(x=15, y=15)");
    s.Call(b, "inflate", {1, 2});
    EXPECT_EQ(s.Text(b), "(x=0, y=3, w=16, h=14)");
}

TEST(GeomClasses, PointsMeasureAndMix) {
    Script s;
    Value p = s.New("Point", {3, 4});
    EXPECT_EQ(s.vm.ToNumber(s.vm.GetValue(p, "length")), 5);
    Value q = s.New("Point", {13, 14});
    // interpolate gives the second point at 0 and the first at 1.
    Args args{p, q, 0.25};
    Value mid = s.vm.Call(s.vm.GetValue(s.Geom("Point"), "interpolate"), Value(), args);
    EXPECT_EQ(s.Text(mid), "(x=10.5, y=11.5)");
    s.Call(p, "normalize", {10});
    EXPECT_EQ(s.Text(p), "(x=6, y=8)");
    EXPECT_TRUE(s.vm.ToBool(s.Call(p, "equals", {s.New("Point", {6, 8})})));
    EXPECT_FALSE(s.vm.ToBool(s.Call(p, "equals", {Value(6)})));
}

TEST(GeomClasses, ColourTransformsKeepThePlayersFixedPoint) {
    // Multipliers are 8.8 fixed point, offsets 16 bits; both wrap when stored.
    double mult[4] = {0.3, 1, 200, -1}, add[4] = {10.7, 70000, -40000, 255};
    movie::ColorTransform ct = movie::script::StoredColorTransform(mult, add);
    EXPECT_EQ(ct.multR, 76 / 256.0f);
    EXPECT_EQ(ct.multB, static_cast<int16_t>(51200) / 256.0f);
    EXPECT_EQ(ct.multA, -1);
    EXPECT_EQ(ct.addR, 10);
    EXPECT_EQ(ct.addG, 70000 - 65536);
    EXPECT_EQ(ct.addB, -40000 + 65536);
    // A parent's multiplier scales the child's offset, rounding down.
    movie::ColorTransform parent, child;
    parent.multB = 127.5f;
    child.addB = -523;
    parent.addB = 1;
    EXPECT_EQ(movie::script::Concatenated(parent, child).addB, -66683 + 65536 + 1);
}

TEST(DateClass, ReadsAndSetsLocalTimeAndUtc) {
    Script s;
    // 3 February 2001, 04:05:06 local, in a zone 5 3/4 hours ahead of UTC.
    s.vm.clock = movie::WallClock::Fixed(981152406000.0, 345);
    Value date = s.vm.GetValue(Value(s.vm.global), "Date");
    Args none;
    Value now = s.vm.Construct(date, none);
    EXPECT_EQ(s.Text(now), "Sat Feb 3 04:05:06 GMT+0545 2001");
    EXPECT_EQ(s.vm.ToNumber(s.Call(now, "getUTCDate")), 2);
    EXPECT_EQ(s.vm.ToNumber(s.Call(now, "getTimezoneOffset")), -345);
    // Parts past their range carry into the next; a year below 100 counts from 1900.
    Args parts{99, 11, 31, 23, 59, 60};
    Value carried = s.vm.Construct(date, parts);
    EXPECT_EQ(s.Text(carried), "Sat Jan 1 00:00:00 GMT+0545 2000");
    EXPECT_EQ(s.vm.ToNumber(s.Call(carried, "setUTCHours", {0, 0, 0, 0})), 946598400000.0);
    // 31 December 1999, 05:45 local, moved to 29 February 2000.
    EXPECT_EQ(s.vm.ToNumber(s.Call(carried, "setFullYear", {2000, 1, 29})), 951782400000.0);
    // A date is its time in arithmetic, and text after +.
    EXPECT_EQ(s.vm.ToNumber(now) - s.vm.ToNumber(carried), 981152406000.0 - 951782400000.0);
    EXPECT_EQ(s.Text(s.vm.Add(Value("at "), carried)), "at Tue Feb 29 05:45:00 GMT+0545 2000");
    // Setters keep the time within 8.64e15 ms of 1970; past that the date is invalid.
    EXPECT_TRUE(std::isnan(s.vm.ToNumber(s.Call(carried, "setFullYear", {300000}))));
    EXPECT_EQ(s.Text(carried), "Invalid Date");
    EXPECT_EQ(s.Text(s.Call(s.vm.GetValue(date, "UTC"), "call", {Value(), 2000, 0})), "946684800000");
}

TEST(DateClass, TakesOddArgumentsAsThePlayersIntegersDo) {
    Script s;
    s.vm.clock = movie::WallClock::Fixed(0, 0);
    Value date = s.vm.GetValue(Value(s.vm.global), "Date");
    auto make = [&](Args args) { return s.vm.Construct(date, args); };
    auto num = [&](const Value& d, const char* getter) { return s.vm.ToNumber(s.Call(d, getter)); };
    // An endless time is no date, yet its parts come out of overflowed integers.
    Value endless = make({INFINITY});
    EXPECT_EQ(s.Text(endless), "Invalid Date");
    EXPECT_EQ(num(endless, "getHours"), -2147483648.0 + 24);
    EXPECT_EQ(num(endless, "getFullYear"), -2147483648.0 + 1970);
    EXPECT_TRUE(std::isnan(s.vm.ToNumber(s.Call(endless, "setHours", {1}))));
    // A year past 32 bits from 1970 reads as -2^31 + 1970, the day counted from its start.
    Value far = make({NAN, 0});
    EXPECT_EQ(num(far, "getFullYear"), -2147483648.0 + 1970);
    EXPECT_EQ(num(far, "getMonth"), 0);
    EXPECT_EQ(num(far, "getDate"), -719527);
    // setMinutes takes NaN as -2^31 minutes; setMonth alone takes NaN as January.
    Value d = make({3600000.0 * 5});
    EXPECT_EQ(s.vm.ToNumber(s.Call(d, "setMinutes", {NAN})), 3600000.0 * 5 - 2147483648.0 * 60000);
    Value m = make({0.0});
    EXPECT_EQ(s.vm.ToNumber(s.Call(m, "setMonth", {NAN})), 0);
    EXPECT_TRUE(std::isnan(s.vm.ToNumber(s.Call(m, "setFullYear", {2000, NAN}))));
}

TEST(ArrayClass, SortsInThePlayersOrderAndStopsWhenTimeRunsOut) {
    Script s;
    movie::script::Array* words = s.vm.NewArray();
    for (const char* w : {"TeSt", "hello", "HELLO", "test", "Hello"})
        words->Append(Value(w));
    // Not stable: equal words trade places as the player's quicksort moves them.
    Value sorted = s.Call(Value(words), "sort", {1}); // Array.CASEINSENSITIVE
    EXPECT_EQ(s.Text(sorted), "Hello,hello,HELLO,test,TeSt");

    // A sorted array costs a quicksort around its first element time squared:
    // the script is stopped when its time is up rather than hanging the frame.
    movie::script::Array* numbers = s.vm.NewArray();
    for (int i = 0; i < 5000; ++i)
        numbers->Append(Value(i));
    s.vm.SetBudget(std::chrono::milliseconds(5));
    s.vm.StartBudget();
    EXPECT_THROW(s.Call(Value(numbers), "sort", {16}), movie::script::Halt); // Array.NUMERIC
    EXPECT_EQ(s.vm.ToNumber(numbers->Element(1)), 1);                        // left as it was
}

// Methods that move many elements drop them in one pass (one at a time took
// time squared: a thousand-byte movie held its first frame for most of a
// minute): the undeletable stay, and the order of enumeration is the one
// of moving them one by one.
TEST(ArrayClass, MovingManyElementsKeepsTheUndeletableAndTheOrder) {
    Script s;
    movie::script::Array* a = s.vm.NewArray();
    for (int i = 0; i < 12; ++i)
        a->Append(Value(i));
    a->SetOwn("x", Value("named"));
    a->FindOwn("3", false)->flags |= movie::script::kDontDelete;
    s.Call(Value(a), "reverse");
    EXPECT_EQ(s.Text(Value(a)), "11,10,9,8,7,6,5,4,3,2,1,0");
    std::string order;
    for (const auto& slot : a->Slots())
        order += slot.name + " ";
    EXPECT_EQ(order, "3 x 0 11 1 10 2 9 8 4 7 5 6 "); // each pair moved to the end
    s.Call(Value(a), "splice", {Value(2), Value(9)}); // the undeletable one among them
    EXPECT_EQ(s.Text(Value(a)), "11,10,0");
    EXPECT_EQ(s.vm.ToString(s.vm.GetValue(Value(a), "x")), "named");
}

TEST(NativeClasses, MakeAPlainObjectTheirOwnOnce) {
    Script s;
    auto init = [&](const Value& ctor, Value self, Args args) {
        return static_cast<movie::script::Function*>(ctor.o)->nativeInit(s.vm, self, args);
    };
    Value global(s.vm.global);
    Value date = s.vm.GetValue(global, "Date");
    Value getTime = s.vm.GetValue(s.vm.GetValue(date, "prototype"), "getTime");
    auto timeOf = [&](const Value& self) {
        Args none;
        return s.vm.Call(getTime, self, none);
    };
    // What a subclass's super() does: `this` becomes a date, and stays that date.
    Value obj(s.vm.NewObject());
    EXPECT_TRUE(timeOf(obj).IsUndefined());
    EXPECT_EQ(init(date, obj, {123456}).o, obj.o);
    EXPECT_EQ(s.vm.ToNumber(timeOf(obj)), 123456);
    init(date, obj, {5});
    init(s.vm.GetValue(global, "Number"), obj, {7});
    EXPECT_EQ(s.vm.ToNumber(timeOf(obj)), 123456);
    // Arrays, boxes and functions are never made dates.
    for (Value other : {Value(s.vm.NewArray()), Value(s.vm.ToObject(Value(3))), getTime}) {
        init(date, other, {1});
        EXPECT_TRUE(timeOf(other).IsUndefined());
    }
    // An array made of a plain object lists its elements and loses them to shift.
    Value list(s.vm.NewObject());
    s.vm.Set(list.o, "__proto__", s.vm.GetValue(s.vm.GetValue(global, "Array"), "prototype"));
    init(s.vm.GetValue(global, "Array"), list, {"a", "b"});
    EXPECT_EQ(s.Text(list), "a,b");
    EXPECT_EQ(s.Text(s.Call(list, "shift")), "a");
    EXPECT_EQ(s.vm.ToNumber(s.vm.GetValue(list, "length")), 1);
    // A filter converts its arguments each time, but takes them only once.
    Value blur = s.vm.GetValue(s.vm.GetValue(s.vm.GetValue(global, "flash"), "filters"), "BlurFilter");
    Value f(s.vm.NewObject());
    init(blur, f, {Value("10"), 20});
    EXPECT_TRUE(s.vm.GetValue(f, "blurX").IsNumber());
    init(blur, f, {30, 40});
    EXPECT_EQ(s.vm.ToNumber(s.vm.GetValue(f, "blurX")), 10);
}

TEST(NativeClasses, GuardTheirPrototypeAndInside) {
    Script s;
    Value global(s.vm.global);
    auto make = [&](const char* cls, Args args = {}) {
        return s.vm.Construct(s.vm.GetValue(global, cls), args);
    };
    Value plain(s.vm.NewObject());
    // A singleton's prototype stays until ASSetPropFlags lifts read-only.
    Value key = s.vm.GetValue(global, "Key");
    Value before = s.vm.GetValue(key, "__proto__");
    s.vm.Set(key.o, "__proto__", plain);
    EXPECT_EQ(s.vm.GetValue(key, "__proto__").o, before.o);
    Args lift{key, "__proto__", 0, 4};
    s.vm.Call(s.vm.GetValue(global, "ASSetPropFlags"), Value(), lift);
    s.vm.Set(key.o, "__proto__", plain);
    EXPECT_EQ(s.vm.GetValue(key, "__proto__").o, plain.o);
    // A connection's cannot be changed at all.
    Value connection = make("NetConnection");
    Args lift2{connection, "__proto__", 0, 4};
    s.vm.Call(s.vm.GetValue(global, "ASSetPropFlags"), Value(), lift2);
    s.vm.Set(connection.o, "__proto__", plain);
    EXPECT_NE(s.vm.GetValue(connection, "__proto__").o, plain.o);
    // Natives are not made dates; the plain classes' objects are.
    Value date = s.vm.GetValue(global, "Date");
    for (const char* cls : {"LoadVars", "Sound", "PrintJob", "MovieClipLoader", "NetStream", "ContextMenu"}) {
        Value o = make(cls);
        Args none;
        static_cast<movie::script::Function*>(date.o)->nativeInit(s.vm, o, none);
        Value day = s.vm.Call(s.vm.GetValue(s.vm.GetValue(date, "prototype"), "getDate"), o, none);
        bool native = std::string(cls) != "NetStream" && std::string(cls) != "ContextMenu";
        EXPECT_EQ(day.IsUndefined(), native) << cls;
    }
    // Variables go out and come back URL-encoded; a sound keeps what it is set.
    Value vars = make("LoadVars");
    s.Call(vars, "decode", {"a=1%262&b+c=x+y&&d"});
    EXPECT_EQ(s.Text(s.vm.GetValue(vars, "a")), "1&2");
    EXPECT_EQ(s.Text(s.vm.GetValue(vars, "b c")), "x y");
    EXPECT_EQ(s.Text(s.vm.GetValue(vars, "d")), "");
    Value one = make("LoadVars");
    s.Call(one, "decode", {"b+c=x+y"});
    EXPECT_EQ(s.Text(s.Call(one, "toString")), "b%20c=x%20y");
    EXPECT_FALSE(s.vm.ToBool(s.Call(vars, "load", {"http://example.invalid/"})));
    Value sound = make("Sound");
    EXPECT_EQ(s.vm.ToNumber(s.Call(sound, "getVolume")), 100);
    s.Call(sound, "setVolume", {40.7});
    EXPECT_EQ(s.vm.ToNumber(s.Call(sound, "getVolume")), 40);
    EXPECT_TRUE(s.Call(plain, "getVolume").IsUndefined());
}

TEST(BuiltinTree, HoldsThePlayersMembersInItsOrderAndFlags) {
    Script s;
    s.vm.ShapeBuiltinTree();
    using movie::script::kDontDelete;
    using movie::script::kDontEnum;
    using movie::script::kReadOnly;
    Value global(s.vm.global);
    auto own = [](const Value& o) {
        std::string names;
        for (const auto& slot : o.o->Slots())
            names += slot.name + " ";
        return names;
    };
    // Members in the order they were made; enumeration lists the newest first.
    Value mathObj = s.vm.GetValue(global, "Math");
    EXPECT_EQ(own(mathObj).substr(0, 30), "constructor __proto__ SQRT2 SQ");
    EXPECT_EQ(mathObj.o->Slots().back().name, "pow");
    EXPECT_EQ(mathObj.o->FindOwn("PI", false)->flags, kDontEnum | kDontDelete | kReadOnly);
    s.vm.Set(mathObj.o, "PI", Value(3));
    EXPECT_NE(s.vm.ToNumber(s.vm.GetValue(mathObj, "PI")), 3);
    // A read-only prototype chain stays as it is.
    s.vm.Set(mathObj.o, "__proto__", Value::Null());
    EXPECT_TRUE(s.vm.GetValue(mathObj, "__proto__").IsObject());
    // Members the saver has no behaviour for are there, quiet; constants keep their values.
    Value key = s.vm.GetValue(global, "Key");
    EXPECT_EQ(s.vm.ToNumber(s.vm.GetValue(key, "SPACE")), 32);
    EXPECT_TRUE(s.Call(s.vm.GetValue(global, "Camera"), "get").IsUndefined());
    // Every broadcaster has a broadcastMessage of its own; the listener functions are shared.
    Value selection = s.vm.GetValue(global, "Selection");
    EXPECT_NE(s.vm.GetValue(selection, "broadcastMessage").o, s.vm.GetValue(key, "broadcastMessage").o);
    EXPECT_EQ(s.vm.GetValue(selection, "addListener").o, s.vm.GetValue(key, "addListener").o);
    EXPECT_EQ(s.vm.GetValue(global, "clearTimeout").o, s.vm.GetValue(global, "clearInterval").o);
    // Functions hold their constructor and chain as members of their own.
    Value trace = s.vm.GetValue(global, "trace");
    EXPECT_EQ(own(trace), "constructor __proto__ ");
    EXPECT_EQ(s.vm.GetValue(trace, "constructor").o, s.vm.GetValue(global, "Function").o);
    // Another name of the same object.
    EXPECT_EQ(s.vm.GetValue(global, "textRenderer").o,
              s.vm.GetValue(s.vm.GetValue(s.vm.GetValue(global, "flash"), "text"), "TextRenderer").o);
    // A filter's prototype has no constructor of its own: it inherits BitmapFilter's.
    Value blurProto = s.vm.GetValue(
        s.vm.GetValue(s.vm.GetValue(s.vm.GetValue(global, "flash"), "filters"), "BlurFilter"), "prototype");
    EXPECT_EQ(blurProto.o->FindOwn("constructor", false), nullptr);
    EXPECT_EQ(s.Text(s.vm.GetValue(s.vm.GetValue(blurProto, "constructor"), "prototype")), "[object Object]");
}

} // namespace
