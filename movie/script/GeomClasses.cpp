#include "movie/script/GeomClasses.h"

#include "movie/DisplayList.h"
#include "movie/script/Classes.h"

#include <cmath>

namespace movie::script {

namespace {

// ---- helpers shared by the classes ----

void Method(Vm& vm, Object* o, const std::string& name, Native fn, uint8_t flags = kDontEnum) {
    o->SetOwn(name, Value(static_cast<Object*>(vm.NewNative(std::move(fn), name))), flags);
}

// A property of the prototype read and written through natives.
void Accessor(Vm& vm, Object* proto, const std::string& name, Native get, Native set, uint8_t flags = 0) {
    Property& p = proto->SetOwn(name, Value(), flags);
    p.virt = true;
    p.getter = vm.NewNative(std::move(get), name);
    p.setter = set ? vm.NewNative(std::move(set), name) : nullptr;
}

Function* Class(Vm& vm, Object* package, const std::string& name, Object*& proto, Native init) {
    proto = vm.NewObject();
    Function* ctor = vm.NewNative(std::move(init), name);
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    package->SetOwn(name, Value(static_cast<Object*>(ctor)), kDontEnum);
    return ctor;
}

double Num(Vm& vm, const Value& o, const char* name) {
    return o.IsObject() ? vm.ToNumber(vm.Get(o.o, name)) : NAN;
}

// Sets the named properties from the arguments; those not given are
// undefined, unless no argument is given at all, when `defaults` hold.
void InitFields(Vm& vm, Object* self, Args& a, std::initializer_list<std::pair<const char*, double>> fields) {
    size_t i = 0;
    for (auto [name, fallback] : fields) {
        Value v = a.empty() ? Value(fallback) : Arg(a, i);
        vm.Set(self, name, v);
        ++i;
    }
}

Value NewOf(Vm& vm, Object* proto, Args args) {
    Value ctor = vm.Get(proto, "constructor");
    return vm.Construct(ctor, args);
}

Value NewPoint(Vm& vm, double x, double y) {
    return NewOf(vm, vm.pointProto, {Value(x), Value(y)});
}

Value NewRectangle(Vm& vm, double x, double y, double w, double h) {
    return NewOf(vm, vm.rectangleProto, {Value(x), Value(y), Value(w), Value(h)});
}

// "(a=1, b=0)": the named properties as text.
std::string Fields(Vm& vm, const Value& self,
                   std::initializer_list<std::pair<const char*, const char*>> fields) {
    std::string s = "(";
    for (auto [label, name] : fields) {
        if (s.size() > 1) s += ", ";
        s += label;
        s += '=';
        s += vm.ToString(self.IsObject() ? vm.Get(self.o, name) : Value());
    }
    return s + ")";
}

// ---- Matrix ----

Matrix MatrixOfObject(Vm& vm, const Value& m) {
    return {Num(vm, m, "a"), Num(vm, m, "b"),  Num(vm, m, "c"),
            Num(vm, m, "d"), Num(vm, m, "tx"), Num(vm, m, "ty")};
}

void SetMatrixFields(Vm& vm, const Value& self, const Matrix& m) {
    if (!self.IsObject()) return;
    for (auto [name, v] :
         {std::pair{"a", m.a}, {"b", m.b}, {"c", m.c}, {"d", m.d}, {"tx", m.tx}, {"ty", m.ty}})
        vm.Set(self.o, name, Value(v));
}

// A clip's matrix in pixels, as script sees it.
Value MatrixValue(Vm& vm, const Matrix& m) {
    return NewOf(vm, vm.matrixProto,
                 {Value(m.a), Value(m.b), Value(m.c), Value(m.d), Value(m.tx / kTwipsPerPixel),
                  Value(m.ty / kTwipsPerPixel)});
}

void InstallMatrix(Vm& vm, Object* package) {
    Class(vm, package, "Matrix", vm.matrixProto, [](Vm& vm, Value self, Args& a) {
        if (self.IsObject())
            InitFields(vm, self.o, a, {{"a", 1}, {"b", 0}, {"c", 0}, {"d", 1}, {"tx", 0}, {"ty", 0}});
        return Value();
    });
    Object* proto = vm.matrixProto;
    Method(vm, proto, "toString", [](Vm& vm, Value self, Args&) {
        return Value(
            Fields(vm, self, {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"d", "d"}, {"tx", "tx"}, {"ty", "ty"}}));
    });
    Method(vm, proto, "clone", [](Vm& vm, Value self, Args&) {
        Args values;
        for (const char* n : {"a", "b", "c", "d", "tx", "ty"})
            values.push_back(self.IsObject() ? vm.Get(self.o, n) : Value());
        return NewOf(vm, vm.matrixProto, values);
    });
    Method(vm, proto, "identity", [](Vm& vm, Value self, Args&) {
        SetMatrixFields(vm, self, Matrix{});
        return Value();
    });
    Method(vm, proto, "concat", [](Vm& vm, Value self, Args& a) {
        if (!Arg(a, 0).IsObject()) return Value();
        SetMatrixFields(vm, self, MatrixOfObject(vm, a[0]) * MatrixOfObject(vm, self));
        return Value();
    });
    Method(vm, proto, "invert", [](Vm& vm, Value self, Args&) {
        SetMatrixFields(vm, self, MatrixOfObject(vm, self).Inverted());
        return Value();
    });
    Method(vm, proto, "translate", [](Vm& vm, Value self, Args& a) {
        Matrix m = MatrixOfObject(vm, self);
        m.tx += vm.ToNumber(Arg(a, 0));
        m.ty += vm.ToNumber(Arg(a, 1));
        SetMatrixFields(vm, self, m);
        return Value();
    });
    Method(vm, proto, "scale", [](Vm& vm, Value self, Args& a) {
        double sx = vm.ToNumber(Arg(a, 0)), sy = vm.ToNumber(Arg(a, 1));
        SetMatrixFields(vm, self, Matrix{sx, 0, 0, sy, 0, 0} * MatrixOfObject(vm, self));
        return Value();
    });
    Method(vm, proto, "rotate", [](Vm& vm, Value self, Args& a) {
        double r = vm.ToNumber(Arg(a, 0));
        double cos = std::cos(r), sin = std::sin(r);
        SetMatrixFields(vm, self, Matrix{cos, sin, -sin, cos, 0, 0} * MatrixOfObject(vm, self));
        return Value();
    });
    // createBox(scaleX, scaleY, rotation, tx, ty): the angle is read as
    // given; the offsets are 0 when left out.
    Method(vm, proto, "createBox", [](Vm& vm, Value self, Args& a) {
        double sx = vm.ToNumber(Arg(a, 0)), sy = vm.ToNumber(Arg(a, 1)), r = vm.ToNumber(Arg(a, 2));
        double tx = a.size() > 3 ? vm.ToNumber(a[3]) : 0, ty = a.size() > 4 ? vm.ToNumber(a[4]) : 0;
        SetMatrixFields(
            vm, self,
            Matrix{std::cos(r) * sx, std::sin(r) * sy, -std::sin(r) * sx, std::cos(r) * sy, tx, ty});
        return Value();
    });
    // createGradientBox(width, height, rotation, tx, ty): the gradient
    // square (1638.4 pixels a side) fitted to the box; what is left out is 0.
    Method(vm, proto, "createGradientBox", [](Vm& vm, Value self, Args& a) {
        double w = vm.ToNumber(Arg(a, 0)) / 1638.4, h = vm.ToNumber(Arg(a, 1)) / 1638.4;
        double r = a.size() > 2 ? vm.ToNumber(a[2]) : 0;
        double tx = a.size() > 3 ? vm.ToNumber(a[3]) : 0, ty = a.size() > 4 ? vm.ToNumber(a[4]) : 0;
        double width = vm.ToNumber(Arg(a, 0)), height = vm.ToNumber(Arg(a, 1));
        SetMatrixFields(vm, self,
                        Matrix{std::cos(r) * w, std::sin(r) * h, -std::sin(r) * w, std::cos(r) * h,
                               tx + width / 2, ty + height / 2});
        return Value();
    });
    Method(vm, proto, "transformPoint", [](Vm& vm, Value self, Args& a) {
        Matrix m = MatrixOfObject(vm, self);
        double x = Num(vm, Arg(a, 0), "x"), y = Num(vm, Arg(a, 0), "y");
        return NewPoint(vm, m.MapX(x, y), m.MapY(x, y));
    });
    Method(vm, proto, "deltaTransformPoint", [](Vm& vm, Value self, Args& a) {
        Matrix m = MatrixOfObject(vm, self);
        double x = Num(vm, Arg(a, 0), "x"), y = Num(vm, Arg(a, 0), "y");
        return NewPoint(vm, m.a * x + m.c * y, m.b * x + m.d * y);
    });
}

// ---- Point ----

void InstallPoint(Vm& vm, Object* package) {
    Function* ctor = Class(vm, package, "Point", vm.pointProto, [](Vm& vm, Value self, Args& a) {
        if (self.IsObject()) InitFields(vm, self.o, a, {{"x", 0}, {"y", 0}});
        return Value();
    });
    Object* proto = vm.pointProto;
    Accessor(
        vm, proto, "length",
        [](Vm& vm, Value self, Args&) { return Value(std::hypot(Num(vm, self, "x"), Num(vm, self, "y"))); },
        nullptr, kDontEnum);
    Method(vm, proto, "toString", [](Vm& vm, Value self, Args&) {
        return Value(Fields(vm, self, {{"x", "x"}, {"y", "y"}}));
    });
    Method(vm, proto, "clone", [](Vm& vm, Value self, Args&) {
        return NewOf(vm, vm.pointProto, {vm.GetValue(self, "x"), vm.GetValue(self, "y")});
    });
    Method(vm, proto, "add", [](Vm& vm, Value self, Args& a) {
        return NewOf(vm, vm.pointProto,
                     {vm.Add(vm.GetValue(self, "x"), vm.GetValue(Arg(a, 0), "x")),
                      vm.Add(vm.GetValue(self, "y"), vm.GetValue(Arg(a, 0), "y"))});
    });
    Method(vm, proto, "subtract", [](Vm& vm, Value self, Args& a) {
        return NewPoint(vm, Num(vm, self, "x") - Num(vm, Arg(a, 0), "x"),
                        Num(vm, self, "y") - Num(vm, Arg(a, 0), "y"));
    });
    Method(vm, proto, "equals", [](Vm& vm, Value self, Args& a) {
        Value p = Arg(a, 0);
        if (!vm.InstanceOf(p, static_cast<Object*>(vm.Get(vm.pointProto, "constructor").o)))
            return Value(false);
        return Value(vm.LooseEquals(vm.GetValue(self, "x"), vm.GetValue(p, "x")) &&
                     vm.LooseEquals(vm.GetValue(self, "y"), vm.GetValue(p, "y")));
    });
    Method(vm, proto, "normalize", [](Vm& vm, Value self, Args& a) {
        double x = Num(vm, self, "x"), y = Num(vm, self, "y"), len = std::hypot(x, y);
        if (len > 0 && self.IsObject()) {
            double k = vm.ToNumber(Arg(a, 0)) / len;
            vm.Set(self.o, "x", Value(x * k));
            vm.Set(self.o, "y", Value(y * k));
        }
        return Value();
    });
    Method(vm, proto, "offset", [](Vm& vm, Value self, Args& a) {
        if (!self.IsObject()) return Value();
        vm.Set(self.o, "x", Value(Num(vm, self, "x") + vm.ToNumber(Arg(a, 0))));
        vm.Set(self.o, "y", Value(Num(vm, self, "y") + vm.ToNumber(Arg(a, 1))));
        return Value();
    });
    Method(vm, ctor, "distance", [](Vm& vm, Value, Args& a) {
        return Value(std::hypot(Num(vm, Arg(a, 0), "x") - Num(vm, Arg(a, 1), "x"),
                                Num(vm, Arg(a, 0), "y") - Num(vm, Arg(a, 1), "y")));
    });
    // interpolate(p1, p2, f): p2 at 0, p1 at 1.
    Method(vm, ctor, "interpolate", [](Vm& vm, Value, Args& a) {
        double f = vm.ToNumber(Arg(a, 2));
        double x1 = Num(vm, Arg(a, 0), "x"), y1 = Num(vm, Arg(a, 0), "y");
        double x2 = Num(vm, Arg(a, 1), "x"), y2 = Num(vm, Arg(a, 1), "y");
        return NewPoint(vm, x2 + f * (x1 - x2), y2 + f * (y1 - y2));
    });
    Method(vm, ctor, "polar", [](Vm& vm, Value, Args& a) {
        double len = vm.ToNumber(Arg(a, 0)), angle = vm.ToNumber(Arg(a, 1));
        return NewPoint(vm, len * std::cos(angle), len * std::sin(angle));
    });
}

// ---- Rectangle ----

struct Box {
    double x, y, w, h;
};

Box BoxOf(Vm& vm, const Value& r) {
    return {Num(vm, r, "x"), Num(vm, r, "y"), Num(vm, r, "width"), Num(vm, r, "height")};
}

void SetBox(Vm& vm, const Value& self, const Box& b) {
    if (!self.IsObject()) return;
    vm.Set(self.o, "x", Value(b.x));
    vm.Set(self.o, "y", Value(b.y));
    vm.Set(self.o, "width", Value(b.w));
    vm.Set(self.o, "height", Value(b.h));
}

bool EmptyBox(const Box& b) {
    return !(b.w > 0) || !(b.h > 0);
}

void InstallRectangle(Vm& vm, Object* package) {
    Class(vm, package, "Rectangle", vm.rectangleProto, [](Vm& vm, Value self, Args& a) {
        if (self.IsObject()) InitFields(vm, self.o, a, {{"x", 0}, {"y", 0}, {"width", 0}, {"height", 0}});
        return Value();
    });
    Object* proto = vm.rectangleProto;
    Method(vm, proto, "toString", [](Vm& vm, Value self, Args&) {
        return Value(Fields(vm, self, {{"x", "x"}, {"y", "y"}, {"w", "width"}, {"h", "height"}}));
    });
    Method(vm, proto, "clone", [](Vm& vm, Value self, Args&) {
        return NewOf(vm, vm.rectangleProto,
                     {vm.GetValue(self, "x"), vm.GetValue(self, "y"), vm.GetValue(self, "width"),
                      vm.GetValue(self, "height")});
    });
    Method(vm, proto, "isEmpty", [](Vm& vm, Value self, Args&) { return Value(EmptyBox(BoxOf(vm, self))); });
    Method(vm, proto, "setEmpty", [](Vm& vm, Value self, Args&) {
        SetBox(vm, self, {0, 0, 0, 0});
        return Value();
    });
    auto inside = [](const Box& b, double x, double y) {
        return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
    };
    Method(vm, proto, "contains", [inside](Vm& vm, Value self, Args& a) {
        return Value(inside(BoxOf(vm, self), vm.ToNumber(Arg(a, 0)), vm.ToNumber(Arg(a, 1))));
    });
    Method(vm, proto, "containsPoint", [inside](Vm& vm, Value self, Args& a) {
        return Value(inside(BoxOf(vm, self), Num(vm, Arg(a, 0), "x"), Num(vm, Arg(a, 0), "y")));
    });
    Method(vm, proto, "containsRectangle", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self), o = BoxOf(vm, Arg(a, 0));
        return Value(o.x >= b.x && o.y >= b.y && o.x + o.w <= b.x + b.w && o.y + o.h <= b.y + b.h);
    });
    Method(vm, proto, "equals", [](Vm& vm, Value self, Args& a) {
        Value r = Arg(a, 0);
        if (!vm.InstanceOf(r, static_cast<Object*>(vm.Get(vm.rectangleProto, "constructor").o)))
            return Value(false);
        for (const char* n : {"x", "y", "width", "height"})
            if (!vm.LooseEquals(vm.GetValue(self, n), vm.GetValue(r, n))) return Value(false);
        return Value(true);
    });
    Method(vm, proto, "inflate", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self);
        double dx = vm.ToNumber(Arg(a, 0)), dy = vm.ToNumber(Arg(a, 1));
        SetBox(vm, self, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
        return Value();
    });
    Method(vm, proto, "inflatePoint", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self);
        double dx = Num(vm, Arg(a, 0), "x"), dy = Num(vm, Arg(a, 0), "y");
        SetBox(vm, self, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
        return Value();
    });
    Method(vm, proto, "offset", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self);
        SetBox(vm, self, {b.x + vm.ToNumber(Arg(a, 0)), b.y + vm.ToNumber(Arg(a, 1)), b.w, b.h});
        return Value();
    });
    Method(vm, proto, "offsetPoint", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self);
        SetBox(vm, self, {b.x + Num(vm, Arg(a, 0), "x"), b.y + Num(vm, Arg(a, 0), "y"), b.w, b.h});
        return Value();
    });
    // The overlap of two rectangles; an empty one when they do not meet.
    Method(vm, proto, "intersection", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self), o = BoxOf(vm, Arg(a, 0));
        double x0 = std::max(b.x, o.x), y0 = std::max(b.y, o.y);
        double x1 = std::min(b.x + b.w, o.x + o.w), y1 = std::min(b.y + b.h, o.y + o.h);
        if (EmptyBox(b) || EmptyBox(o) || !(x1 > x0) || !(y1 > y0)) return NewRectangle(vm, 0, 0, 0, 0);
        return NewRectangle(vm, x0, y0, x1 - x0, y1 - y0);
    });
    Method(vm, proto, "intersects", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self), o = BoxOf(vm, Arg(a, 0));
        if (EmptyBox(b) || EmptyBox(o)) return Value(false);
        return Value(std::min(b.x + b.w, o.x + o.w) > std::max(b.x, o.x) &&
                     std::min(b.y + b.h, o.y + o.h) > std::max(b.y, o.y));
    });
    // The smallest rectangle holding both; an empty one does not count.
    Method(vm, proto, "union", [](Vm& vm, Value self, Args& a) {
        Box b = BoxOf(vm, self), o = BoxOf(vm, Arg(a, 0));
        if (EmptyBox(b)) return NewRectangle(vm, o.x, o.y, o.w, o.h);
        if (EmptyBox(o)) return NewRectangle(vm, b.x, b.y, b.w, b.h);
        double x0 = std::min(b.x, o.x), y0 = std::min(b.y, o.y);
        return NewRectangle(vm, x0, y0, std::max(b.x + b.w, o.x + o.w) - x0,
                            std::max(b.y + b.h, o.y + o.h) - y0);
    });
    // The edges and corners, read from and written to x, y, width and height.
    auto edge = [&](const char* name, auto get, auto set) {
        Accessor(
            vm, proto, name, [get](Vm& vm, Value self, Args&) { return get(vm, self, BoxOf(vm, self)); },
            [set](Vm& vm, Value self, Args& a) {
                Box b = BoxOf(vm, self), was = b;
                set(vm, b, Arg(a, 0));
                // Only the fields the edge moves are written.
                if (!self.IsObject()) return Value();
                auto moved = [](double x, double y) { return !(x == y || (std::isnan(x) && std::isnan(y))); };
                if (moved(b.x, was.x)) vm.Set(self.o, "x", Value(b.x));
                if (moved(b.y, was.y)) vm.Set(self.o, "y", Value(b.y));
                if (moved(b.w, was.w)) vm.Set(self.o, "width", Value(b.w));
                if (moved(b.h, was.h)) vm.Set(self.o, "height", Value(b.h));
                return Value();
            },
            kDontEnum);
    };
    // left and top are x and y as they stand: what is written to them is kept
    // as it is, the width or height moving to keep the far edge in place.
    auto corner = [&](const char* name, const char* field, double Box::*pos, double Box::*size) {
        Accessor(
            vm, proto, name, [field](Vm& vm, Value self, Args&) { return vm.GetValue(self, field); },
            [field, pos, size](Vm& vm, Value self, Args& a) {
                if (!self.IsObject()) return Value();
                Box b = BoxOf(vm, self);
                vm.Set(self.o, field == std::string("x") ? "width" : "height",
                       Value(b.*size + b.*pos - vm.ToNumber(Arg(a, 0))));
                vm.Set(self.o, field, Arg(a, 0));
                return Value();
            },
            kDontEnum);
    };
    corner("left", "x", &Box::x, &Box::w);
    corner("top", "y", &Box::y, &Box::h);
    edge(
        "right", [](Vm&, Value, Box b) { return Value(b.x + b.w); },
        [](Vm& vm, Box& b, const Value& v) { b.w = vm.ToNumber(v) - b.x; });
    edge(
        "bottom", [](Vm&, Value, Box b) { return Value(b.y + b.h); },
        [](Vm& vm, Box& b, const Value& v) { b.h = vm.ToNumber(v) - b.y; });
    edge(
        "topLeft", [](Vm& vm, Value, Box b) { return NewPoint(vm, b.x, b.y); },
        [](Vm& vm, Box& b, const Value& p) {
            double x = Num(vm, p, "x"), y = Num(vm, p, "y");
            b.w += b.x - x;
            b.h += b.y - y;
            b.x = x;
            b.y = y;
        });
    edge(
        "bottomRight", [](Vm& vm, Value, Box b) { return NewPoint(vm, b.x + b.w, b.y + b.h); },
        [](Vm& vm, Box& b, const Value& p) {
            b.w = Num(vm, p, "x") - b.x;
            b.h = Num(vm, p, "y") - b.y;
        });
    edge(
        "size", [](Vm& vm, Value, Box b) { return NewPoint(vm, b.w, b.h); },
        [](Vm& vm, Box& b, const Value& p) {
            b.w = Num(vm, p, "x");
            b.h = Num(vm, p, "y");
        });
}

// ---- ColorTransform ----

const char* const kColorFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                    "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

// Kept inside the script object, which may be a subclass's made one by super().
class ColorTransformObject : public Object::Inside {
  public:
    // Multipliers red, green, blue, alpha, then offsets in the same order.
    double v[8] = {1, 1, 1, 1, 0, 0, 0, 0};
};

ColorTransformObject* AsColorTransform(const Value& v) {
    return v.IsObject() ? dynamic_cast<ColorTransformObject*>(v.o->inside.get()) : nullptr;
}

Value NewColorTransform(Vm& vm, const ColorTransform& ct) {
    Args args;
    for (double d : {double(ct.multR), double(ct.multG), double(ct.multB), double(ct.multA), double(ct.addR),
                     double(ct.addG), double(ct.addB), double(ct.addA)})
        args.push_back(Value(d));
    return NewOf(vm, vm.colorTransformProto, args);
}

ColorTransform StoredOf(const ColorTransformObject& c) {
    double mult[4] = {c.v[0], c.v[1], c.v[2], c.v[3]}, add[4] = {c.v[4], c.v[5], c.v[6], c.v[7]};
    return StoredColorTransform(mult, add);
}

void InstallColorTransform(Vm& vm, Object* package) {
    Function* ctor = Class(vm, package, "ColorTransform", vm.colorTransformProto,
                           [](Vm&, Value, Args&) { return Value(); });
    // Each argument as a number; without arguments the identity.
    auto init = [](Vm& vm, Object* obj, Args& a) {
        auto o = std::make_unique<ColorTransformObject>();
        for (size_t i = 0; i < 8 && i < a.size(); ++i)
            o->v[i] = vm.ToNumber(a[i]);
        obj->inside = std::move(o);
    };
    ctor->nativeConstruct = [init](Vm& vm, Value, Args& a) {
        Object* o = vm.New<Object>(vm.colorTransformProto);
        init(vm, o, a);
        return Value(o);
    };
    ctor->nativeInit = [init](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !Vm::IsNative(self.o)) init(vm, self.o, a);
        return self;
    };
    Object* proto = vm.colorTransformProto;
    // The fields are properties of the prototype, listed by for..in, last added first.
    for (int i : {3, 0, 1, 2, 7, 4, 5, 6})
        Accessor(
            vm, proto, kColorFields[i],
            [i](Vm&, Value self, Args&) {
                ColorTransformObject* c = AsColorTransform(self);
                return c ? Value(c->v[i]) : Value();
            },
            [i](Vm& vm, Value self, Args& a) {
                if (ColorTransformObject* c = AsColorTransform(self)) c->v[i] = vm.ToNumber(Arg(a, 0));
                return Value();
            });
    // rgb: the offsets as one colour; setting it clears the colour multipliers.
    Accessor(
        vm, proto, "rgb",
        [](Vm& vm, Value self, Args&) {
            ColorTransformObject* c = AsColorTransform(self);
            if (!c) return Value();
            auto channel = [&](double d) { return static_cast<uint32_t>(vm.ToInt32(Value(d))) & 0xFF; };
            return Value(
                static_cast<double>(channel(c->v[4]) << 16 | channel(c->v[5]) << 8 | channel(c->v[6])));
        },
        [](Vm& vm, Value self, Args& a) {
            ColorTransformObject* c = AsColorTransform(self);
            if (!c) return Value();
            auto rgb = static_cast<uint32_t>(vm.ToInt32(Arg(a, 0)));
            c->v[0] = c->v[1] = c->v[2] = 0;
            c->v[4] = rgb >> 16 & 0xFF;
            c->v[5] = rgb >> 8 & 0xFF;
            c->v[6] = rgb & 0xFF;
            return Value();
        });
    // concat(second): second applied first, then this.
    Method(
        vm, proto, "concat",
        [](Vm&, Value self, Args& a) {
            ColorTransformObject *c = AsColorTransform(self), *o = AsColorTransform(Arg(a, 0));
            if (!c || !o) return Value();
            for (int i = 0; i < 4; ++i) {
                c->v[i + 4] += c->v[i] * o->v[i + 4];
                c->v[i] *= o->v[i];
            }
            return Value();
        },
        0);
    Method(
        vm, proto, "toString",
        [](Vm& vm, Value self, Args&) {
            ColorTransformObject* c = AsColorTransform(self);
            if (!c) return Value();
            std::string s = "(";
            for (int i = 0; i < 8; ++i) {
                if (i) s += ", ";
                s += kColorFields[i];
                s += '=' + vm.ToString(Value(c->v[i]));
            }
            return Value(s + ")");
        },
        0);
}

// ---- Transform ----

class TransformObject : public Object::Inside {
  public:
    Object* clip = nullptr;
    void Trace(std::vector<Object*>& out) override {
        if (clip) out.push_back(clip);
    }
};

TransformObject* AsTransform(const Value& v) {
    return v.IsObject() ? dynamic_cast<TransformObject*>(v.o->inside.get()) : nullptr;
}

// The clip a Transform follows, while it is on the display list.
DisplayObject* PlacementOf(Vm& vm, const Value& self) {
    TransformObject* t = AsTransform(self);
    return t && vm.GetHost() ? vm.GetHost()->Placement(t->clip) : nullptr;
}

Matrix ConcatenatedMatrix(Vm& vm, Object* clip) {
    Matrix m;
    Host* host = vm.GetHost();
    for (int guard = 0; clip && guard < 1024; clip = host->ParentOf(clip), ++guard)
        if (DisplayObject* o = host->Placement(clip)) m = o->matrix * m;
    return m;
}

void InstallTransform(Vm& vm, Object* package) {
    Function* ctor =
        Class(vm, package, "Transform", vm.transformProto, [](Vm&, Value, Args&) { return Value(); });
    // new Transform(clip); without a clip there is nothing to make.
    auto isClip = [](Vm& vm, const Value& clip) {
        return clip.IsObject() && vm.GetHost() && vm.GetHost()->IsClip(clip.o);
    };
    auto init = [](Object* obj, Object* clip) {
        auto t = std::make_unique<TransformObject>();
        t->clip = clip;
        obj->inside = std::move(t);
    };
    ctor->nativeConstruct = [isClip, init](Vm& vm, Value, Args& a) {
        if (!isClip(vm, Arg(a, 0))) return Value();
        Object* t = vm.New<Object>(vm.transformProto);
        init(t, a[0].o);
        return Value(t);
    };
    ctor->nativeInit = [isClip, init](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !Vm::IsNative(self.o) && isClip(vm, Arg(a, 0))) init(self.o, a[0].o);
        return self;
    };
    Object* proto = vm.transformProto;
    Accessor(
        vm, proto, "matrix",
        [](Vm& vm, Value self, Args&) {
            DisplayObject* o = PlacementOf(vm, self);
            return o ? MatrixValue(vm, o->matrix) : Value();
        },
        [](Vm& vm, Value self, Args& a) {
            DisplayObject* o = PlacementOf(vm, self);
            Value m = Arg(a, 0);
            if (!o || !vm.InstanceOf(m, static_cast<Object*>(vm.Get(vm.matrixProto, "constructor").o)))
                return Value();
            Matrix n = MatrixOfObject(vm, m);
            n.tx = std::isfinite(n.tx) ? std::round(n.tx * kTwipsPerPixel) : 0;
            n.ty = std::isfinite(n.ty) ? std::round(n.ty * kTwipsPerPixel) : 0;
            o->matrix = n;
            o->transformedByScript = true;
            return Value();
        });
    Accessor(
        vm, proto, "colorTransform",
        [](Vm& vm, Value self, Args&) {
            DisplayObject* o = PlacementOf(vm, self);
            return o ? NewColorTransform(vm, o->colorTransform) : Value();
        },
        [](Vm& vm, Value self, Args& a) {
            DisplayObject* o = PlacementOf(vm, self);
            ColorTransformObject* c = AsColorTransform(Arg(a, 0));
            if (!o || !c) return Value();
            o->colorTransform = StoredOf(*c);
            o->transformedByScript = true;
            return Value();
        });
    Accessor(
        vm, proto, "concatenatedMatrix",
        [](Vm& vm, Value self, Args&) {
            TransformObject* t = AsTransform(self);
            return t && PlacementOf(vm, self) ? MatrixValue(vm, ConcatenatedMatrix(vm, t->clip)) : Value();
        },
        nullptr);
    Accessor(
        vm, proto, "concatenatedColorTransform",
        [](Vm& vm, Value self, Args&) {
            TransformObject* t = AsTransform(self);
            if (!t || !PlacementOf(vm, self)) return Value();
            ColorTransform ct;
            Host* host = vm.GetHost();
            Object* clip = t->clip;
            for (int guard = 0; clip && guard < 1024; clip = host->ParentOf(clip), ++guard)
                if (DisplayObject* o = host->Placement(clip)) ct = Concatenated(o->colorTransform, ct);
            return NewColorTransform(vm, ct);
        },
        nullptr);
    // The clip's bounds on the stage, in whole pixels.
    Accessor(
        vm, proto, "pixelBounds",
        [](Vm& vm, Value self, Args&) {
            TransformObject* t = AsTransform(self);
            if (!t || !PlacementOf(vm, self)) return Value();
            Rect r = vm.GetHost()->Bounds(t->clip);
            if (r.xMin > r.xMax) return NewRectangle(vm, 0, 0, 0, 0);
            Matrix m = ConcatenatedMatrix(vm, t->clip);
            double xs[4] = {m.MapX(r.xMin, r.yMin), m.MapX(r.xMax, r.yMin), m.MapX(r.xMin, r.yMax),
                            m.MapX(r.xMax, r.yMax)};
            double ys[4] = {m.MapY(r.xMin, r.yMin), m.MapY(r.xMax, r.yMin), m.MapY(r.xMin, r.yMax),
                            m.MapY(r.xMax, r.yMax)};
            double x0 = std::floor(*std::min_element(xs, xs + 4) / kTwipsPerPixel);
            double y0 = std::floor(*std::min_element(ys, ys + 4) / kTwipsPerPixel);
            double x1 = std::ceil(*std::max_element(xs, xs + 4) / kTwipsPerPixel);
            double y1 = std::ceil(*std::max_element(ys, ys + 4) / kTwipsPerPixel);
            return NewRectangle(vm, x0, y0, x1 - x0, y1 - y0);
        },
        nullptr);
}

int16_t Wrap16(double d) {
    if (!std::isfinite(d)) return 0;
    return static_cast<int16_t>(
        static_cast<uint16_t>(static_cast<int64_t>(std::fmod(std::trunc(d), 65536.0))));
}

} // namespace

ColorTransform StoredColorTransform(double mult[4], double add[4]) {
    ColorTransform ct;
    float* m[4] = {&ct.multR, &ct.multG, &ct.multB, &ct.multA};
    int16_t* o[4] = {&ct.addR, &ct.addG, &ct.addB, &ct.addA};
    for (int i = 0; i < 4; ++i) {
        *m[i] = Wrap16(mult[i] * 256) / 256.0f;
        *o[i] = Wrap16(add[i]);
    }
    return ct;
}

ColorTransform Concatenated(const ColorTransform& outer, const ColorTransform& inner) {
    // In 8.8 fixed point: products shift back by 8 bits, rounding down.
    auto fixed = [](float m) { return static_cast<int32_t>(std::lround(m * 256)); };
    const float om[4] = {outer.multR, outer.multG, outer.multB, outer.multA};
    const float im[4] = {inner.multR, inner.multG, inner.multB, inner.multA};
    const int16_t oa[4] = {outer.addR, outer.addG, outer.addB, outer.addA};
    const int16_t ia[4] = {inner.addR, inner.addG, inner.addB, inner.addA};
    double mult[4], add[4];
    for (int i = 0; i < 4; ++i) {
        int64_t m = fixed(om[i]);
        mult[i] = static_cast<double>((m * fixed(im[i])) >> 8) / 256;
        add[i] = static_cast<double>(((m * ia[i]) >> 8) + oa[i]);
    }
    return StoredColorTransform(mult, add);
}

void InstallGeomClasses(Vm& vm, Object* package) {
    InstallPoint(vm, package);
    InstallRectangle(vm, package);
    InstallMatrix(vm, package);
    InstallColorTransform(vm, package);
    InstallTransform(vm, package);
}

Value TransformOf(Vm& vm, Object* clip) {
    Args args{Value(clip)};
    return NewOf(vm, vm.transformProto, args);
}

void SetTransformFrom(Vm& vm, Object* clip, const Value& v) {
    TransformObject* t = AsTransform(v);
    Host* host = vm.GetHost();
    DisplayObject* to = host ? host->Placement(clip) : nullptr;
    DisplayObject* from = t ? host->Placement(t->clip) : nullptr;
    if (!to || !from) return;
    to->matrix = from->matrix;
    to->colorTransform = from->colorTransform;
    to->transformedByScript = true;
}

} // namespace movie::script
