#include "movie/script/FilterClasses.h"

#include "movie/render/FilterRecords.h"
#include "movie/script/CachingProperties.h"
#include "movie/script/Classes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace movie::script {

namespace {

// A constructor argument: its property name and default (arrays start empty,
// or as the identity for the colour matrix).
struct Param {
    const char* name;
    // Bitmap: bitmap data, or undefined; Point: a point, (0, 0) unless given one.
    enum { Number, Bool, String, EmptyArray, IdentityMatrix, Undefined, Bitmap, Point } kind;
    double number = 0;
    const char* text = "";
};

struct FilterClass {
    const char* name;
    std::vector<Param> params;
};

const std::vector<FilterClass>& Classes() {
    using P = Param;
    static const std::vector<FilterClass> classes = {
        {"BevelFilter",
         {{"distance", P::Number, 4},
          {"angle", P::Number, 45},
          {"highlightColor", P::Number, 0xFFFFFF},
          {"highlightAlpha", P::Number, 1},
          {"shadowColor", P::Number, 0},
          {"shadowAlpha", P::Number, 1},
          {"blurX", P::Number, 4},
          {"blurY", P::Number, 4},
          {"strength", P::Number, 1},
          {"quality", P::Number, 1},
          {"type", P::String, 0, "inner"},
          {"knockout", P::Bool, 0}}},
        {"BlurFilter", {{"blurX", P::Number, 4}, {"blurY", P::Number, 4}, {"quality", P::Number, 1}}},
        {"ColorMatrixFilter", {{"matrix", P::IdentityMatrix}}},
        {"ConvolutionFilter",
         {{"matrixX", P::Number, 0},
          {"matrixY", P::Number, 0},
          {"matrix", P::EmptyArray},
          {"divisor", P::Number, 1},
          {"bias", P::Number, 0},
          {"preserveAlpha", P::Bool, 1},
          {"clamp", P::Bool, 1},
          {"color", P::Number, 0},
          {"alpha", P::Number, 0}}},
        {"DisplacementMapFilter",
         {{"mapBitmap", P::Bitmap},
          {"mapPoint", P::Point},
          {"componentX", P::Number, 0},
          {"componentY", P::Number, 0},
          {"scaleX", P::Number, 0},
          {"scaleY", P::Number, 0},
          {"mode", P::String, 0, "wrap"},
          {"color", P::Number, 0},
          {"alpha", P::Number, 0}}},
        {"DropShadowFilter",
         {{"distance", P::Number, 4},
          {"angle", P::Number, 45},
          {"color", P::Number, 0},
          {"alpha", P::Number, 1},
          {"blurX", P::Number, 4},
          {"blurY", P::Number, 4},
          {"strength", P::Number, 1},
          {"quality", P::Number, 1},
          {"inner", P::Bool, 0},
          {"knockout", P::Bool, 0},
          {"hideObject", P::Bool, 0}}},
        {"GlowFilter",
         {{"color", P::Number, 0xFF0000},
          {"alpha", P::Number, 1},
          {"blurX", P::Number, 6},
          {"blurY", P::Number, 6},
          {"strength", P::Number, 2},
          {"quality", P::Number, 1},
          {"inner", P::Bool, 0},
          {"knockout", P::Bool, 0}}},
        {"GradientBevelFilter",
         {{"distance", P::Number, 4},
          {"angle", P::Number, 45},
          {"colors", P::EmptyArray},
          {"alphas", P::EmptyArray},
          {"ratios", P::EmptyArray},
          {"blurX", P::Number, 4},
          {"blurY", P::Number, 4},
          {"strength", P::Number, 1},
          {"quality", P::Number, 1},
          {"type", P::String, 0, "inner"},
          {"knockout", P::Bool, 0}}},
        {"GradientGlowFilter",
         {{"distance", P::Number, 4},
          {"angle", P::Number, 45},
          {"colors", P::EmptyArray},
          {"alphas", P::EmptyArray},
          {"ratios", P::EmptyArray},
          {"blurX", P::Number, 4},
          {"blurY", P::Number, 4},
          {"strength", P::Number, 1},
          {"quality", P::Number, 1},
          {"type", P::String, 0, "outer"},
          {"knockout", P::Bool, 0}}},
    };
    return classes;
}

const char* const kBlendNames[] = {"normal",  "normal", "layer",      "multiply", "screen",
                                   "lighten", "darken", "difference", "add",      "subtract",
                                   "invert",  "alpha",  "erase",      "overlay",  "hardlight"};

double Number(Vm& vm, Object* o, const char* name) {
    double v = vm.ToNumber(vm.Get(o, name));
    return std::isfinite(v) ? v : 0;
}

// A colour property and its alpha (0..1) as 0xAARRGGBB.
raster::Argb Color(Vm& vm, Object* o, const char* color, const char* alpha) {
    const auto rgb = static_cast<uint32_t>(vm.ToInt32(vm.Get(o, color))) & 0xFFFFFFu;
    const double a = std::clamp(Number(vm, o, alpha), 0.0, 1.0);
    return static_cast<uint32_t>(std::lround(a * 255)) << 24 | rgb;
}

std::vector<double> Numbers(Vm& vm, Object* o, const char* name, size_t most) {
    std::vector<double> out;
    Value v = vm.Get(o, name);
    if (!v.IsObject()) return out;
    auto* array = dynamic_cast<Array*>(v.o);
    if (!array) return out;
    for (const Value& e : array->Elements()) {
        if (out.size() >= most) break;
        double d = vm.ToNumber(e);
        out.push_back(std::isfinite(d) ? d : 0);
    }
    return out;
}

Array* ArrayOf(Vm& vm, const std::vector<double>& values) {
    Array* a = vm.NewArray();
    for (double v : values)
        a->Append(Value(v));
    return a;
}

// The filter a script object describes.
std::optional<raster::FilterSpec> SpecOf(Vm& vm, Object* o) {
    raster::FilterSpec f;
    const std::string& cls = o->className;
    auto shadow = [&] {
        f.blurX = static_cast<float>(Number(vm, o, "blurX"));
        f.blurY = static_cast<float>(Number(vm, o, "blurY"));
        f.passes = static_cast<int>(std::clamp(Number(vm, o, "quality"), 0.0, 15.0));
        f.strength = static_cast<float>(std::clamp(Number(vm, o, "strength"), 0.0, 255.0));
        f.knockout = vm.ToBool(vm.Get(o, "knockout"));
    };
    auto angled = [&] {
        f.distance = static_cast<float>(Number(vm, o, "distance"));
        f.angle = static_cast<float>(std::fmod(Number(vm, o, "angle"), 360.0) * std::numbers::pi / 180);
    };
    auto bevelType = [&] {
        const std::string type = vm.ToString(vm.Get(o, "type"));
        f.inner = type == "inner";
        f.onTop = type == "full";
    };
    if (cls == "BlurFilter") {
        f.type = FilterKind::Blur;
        shadow();
    } else if (cls == "DropShadowFilter") {
        f.type = FilterKind::DropShadow;
        shadow();
        angled();
        f.color = Color(vm, o, "color", "alpha");
        f.inner = vm.ToBool(vm.Get(o, "inner"));
        f.hideObject = vm.ToBool(vm.Get(o, "hideObject"));
    } else if (cls == "GlowFilter") {
        f.type = FilterKind::Glow;
        shadow();
        f.color = Color(vm, o, "color", "alpha");
        f.inner = vm.ToBool(vm.Get(o, "inner"));
    } else if (cls == "BevelFilter") {
        f.type = FilterKind::Bevel;
        shadow();
        angled();
        bevelType();
        f.highlight = Color(vm, o, "highlightColor", "highlightAlpha");
        f.color = Color(vm, o, "shadowColor", "shadowAlpha");
    } else if (cls == "GradientGlowFilter" || cls == "GradientBevelFilter") {
        f.type = cls == "GradientGlowFilter" ? FilterKind::GradientGlow : FilterKind::GradientBevel;
        shadow();
        angled();
        bevelType();
        const auto colors = Numbers(vm, o, "colors", 16), alphas = Numbers(vm, o, "alphas", 16),
                   ratios = Numbers(vm, o, "ratios", 16);
        const size_t n = std::min({colors.size(), alphas.size(), ratios.size()});
        for (size_t i = 0; i < n; ++i) {
            const auto rgb = static_cast<uint32_t>(static_cast<int64_t>(colors[i])) & 0xFFFFFFu;
            f.stops.push_back({static_cast<int>(std::clamp(ratios[i], 0.0, 255.0)), uint8_t(rgb >> 16),
                               uint8_t(rgb >> 8), uint8_t(rgb),
                               static_cast<uint8_t>(std::lround(std::clamp(alphas[i], 0.0, 1.0) * 255))});
        }
    } else if (cls == "ColorMatrixFilter") {
        f.type = FilterKind::ColorMatrix;
        const auto m = Numbers(vm, o, "matrix", 20);
        if (m.size() == 20)
            for (size_t i = 0; i < 20; ++i)
                f.colorMatrix[i] = static_cast<float>(m[i]);
    } else if (cls == "ConvolutionFilter") {
        f.type = FilterKind::Convolution;
        f.matrixX = static_cast<int>(std::clamp(Number(vm, o, "matrixX"), 0.0, 15.0));
        f.matrixY = static_cast<int>(std::clamp(Number(vm, o, "matrixY"), 0.0, 15.0));
        for (double v : Numbers(vm, o, "matrix", 225))
            f.matrix.push_back(static_cast<float>(v));
        f.matrix.resize(static_cast<size_t>(f.matrixX) * f.matrixY, 0.0f);
        f.divisor = static_cast<float>(Number(vm, o, "divisor"));
        f.bias = static_cast<float>(Number(vm, o, "bias"));
        f.preserveAlpha = vm.ToBool(vm.Get(o, "preserveAlpha"));
        f.clamp = vm.ToBool(vm.Get(o, "clamp"));
        f.defaultColor = Color(vm, o, "color", "alpha");
    } else {
        return std::nullopt; // the displacement map needs bitmap data scripts cannot make yet
    }
    return f;
}

// A new object of the filter class named, its properties set as given.
Object* NewFilter(Vm& vm, const std::string& cls) {
    Object* o = vm.NewObject();
    o->className = cls;
    Value flash = vm.Get(vm.global, "flash");
    Value package = flash.IsObject() ? vm.Get(flash.o, "filters") : Value();
    Value ctor = package.IsObject() ? vm.Get(package.o, cls) : Value();
    Value proto = ctor.IsObject() ? vm.Get(ctor.o, "prototype") : Value();
    if (proto.IsObject()) o->proto = proto.o;
    return o;
}

void SetColor(Vm& vm, Object* o, const char* color, const char* alpha, raster::Argb c) {
    o->SetOwn(color, Value(static_cast<double>(c & 0xFFFFFFu)));
    o->SetOwn(alpha, Value((c >> 24) / 255.0));
    (void)vm;
}

// The script object of a filter (what reading `filters` gives).
Object* ObjectOf(Vm& vm, const raster::FilterSpec& f) {
    static const char* const names[] = {"DropShadowFilter",  "BlurFilter",         "GlowFilter",
                                        "BevelFilter",       "GradientGlowFilter", "ConvolutionFilter",
                                        "ColorMatrixFilter", "GradientBevelFilter"};
    Object* o = NewFilter(vm, names[static_cast<int>(f.type) & 7]);
    auto num = [&](const char* n, double v) { o->SetOwn(n, Value(v)); };
    auto shadow = [&] {
        num("blurX", f.blurX);
        num("blurY", f.blurY);
        num("quality", f.passes);
        num("strength", f.strength);
        o->SetOwn("knockout", Value(f.knockout));
    };
    auto angled = [&] {
        num("distance", f.distance);
        num("angle", f.angle * 180 / std::numbers::pi);
    };
    auto type = [&] { o->SetOwn("type", Value(f.onTop ? "full" : f.inner ? "inner" : "outer")); };
    switch (f.type) {
    case FilterKind::Blur:
        num("blurX", f.blurX);
        num("blurY", f.blurY);
        num("quality", f.passes);
        break;
    case FilterKind::DropShadow:
        angled();
        SetColor(vm, o, "color", "alpha", f.color);
        shadow();
        o->SetOwn("inner", Value(f.inner));
        o->SetOwn("hideObject", Value(f.hideObject));
        break;
    case FilterKind::Glow:
        SetColor(vm, o, "color", "alpha", f.color);
        shadow();
        o->SetOwn("inner", Value(f.inner));
        break;
    case FilterKind::Bevel:
        angled();
        SetColor(vm, o, "highlightColor", "highlightAlpha", f.highlight);
        SetColor(vm, o, "shadowColor", "shadowAlpha", f.color);
        shadow();
        type();
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        angled();
        std::vector<double> colors, alphas, ratios;
        for (const auto& s : f.stops) {
            colors.push_back(static_cast<double>(s.r << 16 | s.g << 8 | s.b));
            alphas.push_back(s.a / 255.0);
            ratios.push_back(s.ratio);
        }
        o->SetOwn("colors", Value(ArrayOf(vm, colors)));
        o->SetOwn("alphas", Value(ArrayOf(vm, alphas)));
        o->SetOwn("ratios", Value(ArrayOf(vm, ratios)));
        shadow();
        type();
        break;
    }
    case FilterKind::ColorMatrix:
        o->SetOwn("matrix",
                  Value(ArrayOf(vm, std::vector<double>(f.colorMatrix.begin(), f.colorMatrix.end()))));
        break;
    case FilterKind::Convolution:
        num("matrixX", f.matrixX);
        num("matrixY", f.matrixY);
        o->SetOwn("matrix", Value(ArrayOf(vm, std::vector<double>(f.matrix.begin(), f.matrix.end()))));
        num("divisor", f.divisor);
        num("bias", f.bias);
        o->SetOwn("preserveAlpha", Value(f.preserveAlpha));
        o->SetOwn("clamp", Value(f.clamp));
        SetColor(vm, o, "color", "alpha", f.defaultColor);
        break;
    }
    return o;
}

} // namespace

// Gives a filter object the properties its constructor's arguments say,
// numbers and flags converted; an object a native class already made its
// own is left as it is (its arguments are still converted).
void InitFilter(Vm& vm, const FilterClass& info, Object* o, Args& a) {
    std::vector<Value> values(info.params.size());
    for (size_t i = 0; i < info.params.size(); ++i) {
        Value v = Arg(a, i);
        if (!v.IsUndefined() && info.params[i].kind == Param::Number) v = Value(vm.ToNumber(v));
        if (!v.IsUndefined() && info.params[i].kind == Param::Bool) v = Value(vm.ToBool(v));
        values[i] = v;
    }
    if (Vm::IsNative(o)) return;
    o->native = true;
    o->className = info.name;
    for (size_t i = 0; i < info.params.size(); ++i) {
        const Param& p = info.params[i];
        const Value& given = values[i];
        if (p.kind == Param::Bitmap || p.kind == Param::Point) {
            Value v = given.IsObject() ? given : Value();
            if (p.kind == Param::Point && !v.IsObject()) {
                Args origin{Value(0), Value(0)};
                v = vm.Construct(vm.Get(vm.pointProto, "constructor"), origin);
            }
            o->SetOwn(p.name, v);
            continue;
        }
        if (!given.IsUndefined() || p.kind == Param::Undefined) {
            o->SetOwn(p.name, given);
            continue;
        }
        switch (p.kind) {
        case Param::Number:
            o->SetOwn(p.name, Value(p.number));
            break;
        case Param::Bool:
            o->SetOwn(p.name, Value(p.number != 0));
            break;
        case Param::String:
            o->SetOwn(p.name, Value(p.text));
            break;
        case Param::EmptyArray:
            o->SetOwn(p.name, Value(static_cast<Object*>(vm.NewArray())));
            break;
        case Param::IdentityMatrix:
            o->SetOwn(p.name, Value(static_cast<Object*>(ArrayOf(
                                  vm, {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0}))));
            break;
        case Param::Undefined:
        case Param::Bitmap:
        case Param::Point:
            break;
        }
    }
}

void InstallFilterClasses(Vm& vm, Object* package) {
    Object* base = vm.NewObject();
    Function* baseCtor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "BitmapFilter");
    baseCtor->SetOwn("prototype", Value(base), kDontEnum | kDontDelete);
    base->SetOwn("constructor", Value(static_cast<Object*>(baseCtor)), kDontEnum);
    package->SetOwn("BitmapFilter", Value(static_cast<Object*>(baseCtor)), kDontEnum);
    // clone() copies the own properties, arrays as new arrays.
    Function* clone = vm.NewNative(
        [](Vm& vm, Value self, Args&) {
            if (!self.IsObject()) return Value();
            Object* copy = vm.NewObject();
            copy->className = self.o->className;
            copy->proto = self.o->proto;
            for (const auto& slot : self.o->Slots()) {
                Value v = slot.prop.value;
                if (auto* a = v.IsObject() ? dynamic_cast<Array*>(v.o) : nullptr) {
                    Array* c = vm.NewArray();
                    c->Assign(a->Elements());
                    v = Value(static_cast<Object*>(c));
                }
                copy->SetOwn(slot.name, v);
            }
            return Value(copy);
        },
        "clone");
    base->SetOwn("clone", Value(static_cast<Object*>(clone)), kDontEnum);
    for (const FilterClass& cls : Classes()) {
        Object* proto = vm.NewObject();
        proto->proto = base;
        Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, cls.name);
        const FilterClass* info = &cls;
        ctor->nativeConstruct = [info](Vm& vm, Value, Args& a) {
            Object* o = NewFilter(vm, info->name);
            InitFilter(vm, *info, o, a);
            return Value(o);
        };
        ctor->nativeInit = [info](Vm& vm, Value self, Args& a) {
            if (self.IsObject()) InitFilter(vm, *info, self.o, a);
            return self;
        };
        ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
        proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
        package->SetOwn(cls.name, Value(static_cast<Object*>(ctor)), kDontEnum);
    }
}

std::optional<Filter> FilterRecordOf(Vm& vm, Object* filter) {
    if (!filter) return std::nullopt;
    auto spec = SpecOf(vm, filter);
    if (!spec) return std::nullopt;
    return render::EncodeFilter(*spec);
}

bool GetDisplayProperty(Vm& vm, const DisplayObject& o, const std::string& name, Value& out) {
    if (name == "filters") {
        Array* a = vm.NewArray();
        for (const raster::FilterSpec& spec : o.filters)
            a->Append(Value(ObjectOf(vm, spec)));
        out = Value(static_cast<Object*>(a));
        return true;
    }
    if (name == "blendMode") {
        out = Value(kBlendNames[std::min<size_t>(static_cast<size_t>(o.blendMode), 14)]);
        return true;
    }
    return GetCachingProperty(vm, o, name, out);
}

bool SetDisplayProperty(Vm& vm, DisplayObject& o, const std::string& name, const Value& v) {
    if (name == "filters") {
        std::vector<Filter> filters;
        if (auto* a = v.IsObject() ? dynamic_cast<Array*>(v.o) : nullptr)
            for (const Value& e : a->Elements())
                if (e.IsObject())
                    if (auto record = FilterRecordOf(vm, e.o)) filters.push_back(std::move(*record));
        // Kept as the file would hold them: set and read back through the
        // file's record, decoded once here.
        o.filters = render::DecodeFilters(filters);
        return true;
    }
    if (name == "blendMode") {
        // A name as written, or a number taken to 8 bits; null and undefined
        // are normal; anything else leaves the mode as it is.
        int mode = -1;
        if (v.IsNullish()) {
            mode = 1;
        } else if (v.IsString()) {
            const std::string s = vm.ToString(v);
            for (size_t i = 1; i < std::size(kBlendNames); ++i)
                if (s == kBlendNames[i]) mode = static_cast<int>(i);
        } else if (v.IsNumber()) {
            mode = vm.ToInt32(v) & 0xFF;
        }
        if (mode >= 1 && mode <= 14)
            o.blendMode = mode < 2 ? BlendMode::Normal : static_cast<BlendMode>(mode);
        return true;
    }
    return SetCachingProperty(vm, o, name, v);
}

} // namespace movie::script
