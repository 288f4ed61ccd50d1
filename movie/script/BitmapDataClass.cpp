#include "movie/script/BitmapDataClass.h"

#include "movie/Limits.h"
#include "movie/script/Classes.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

namespace {

// A BitmapData: its pixels (premultiplied, as the renderer takes them), or
// none once disposed or when made with a size the player refuses.
// Kept inside the script object, which may be a subclass's made one by super().
class BitmapDataObject : public Object::Inside {
  public:
    // Clips showing the pixels keep them after the object is gone.
    ~BitmapDataObject() override {
        if (bitmap) vm->bitmapPixels -= uint64_t(bitmap->width) * bitmap->height;
    }
    // dispose(): whatever shows the pixels shows nothing from now on.
    void Release() {
        if (!bitmap) return;
        vm->bitmapPixels -= uint64_t(bitmap->width) * bitmap->height;
        bitmap->width = bitmap->height = 0;
        bitmap->pixels = {};
        ++bitmap->version;
        bitmap.reset();
    }
    bool GetSpecial(Vm& vm, const std::string& name, Value& out) override;

    Vm* vm = nullptr;
    std::shared_ptr<Bitmap> bitmap;
    bool transparent = true;
};

struct Straight {
    uint8_t a, r, g, b;
};

uint8_t Mul(uint32_t c, uint32_t a) {
    return static_cast<uint8_t>((c * a + 127) / 255);
}

Straight Unpack(uint32_t argb) {
    return {static_cast<uint8_t>(argb >> 24), static_cast<uint8_t>(argb >> 16),
            static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb)};
}

void Store(uint8_t* p, Straight c) {
    p[0] = Mul(c.r, c.a), p[1] = Mul(c.g, c.a), p[2] = Mul(c.b, c.a), p[3] = c.a;
}

Straight Load(const uint8_t* p) {
    const uint32_t a = p[3];
    auto un = [a](uint32_t c) {
        return static_cast<uint8_t>(a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a));
    };
    return {static_cast<uint8_t>(a), un(p[0]), un(p[1]), un(p[2])};
}

bool BitmapDataObject::GetSpecial(Vm&, const std::string& name, Value& out) {
    const bool live = bitmap != nullptr;
    if (name == "width" || name == "height") {
        out = live ? Value(static_cast<double>(name == "width" ? bitmap->width : bitmap->height)) : Value(-1);
        return true;
    }
    if (name == "transparent") {
        out = live ? Value(transparent) : Value(-1);
        return true;
    }
    return false;
}

BitmapDataObject* Self(const Value& v) {
    return v.IsObject() ? dynamic_cast<BitmapDataObject*>(v.o->inside.get()) : nullptr;
}

// A rectangle argument {x, y, width, height} in whole pixels, cut to the bitmap.
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

double Whole(Vm& vm, Object* o, const char* name) {
    double v = vm.ToNumber(vm.Get(o, name));
    return std::isnan(v) ? 0 : std::clamp(std::floor(v), -1e9, 1e9);
}

Box BoxOf(Vm& vm, const Value& r) {
    if (!r.IsObject()) return {};
    const double x = Whole(vm, r.o, "x"), y = Whole(vm, r.o, "y");
    const double w = Whole(vm, r.o, "width"), h = Whole(vm, r.o, "height");
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(std::clamp(x + w, -1e9, 1e9)),
            static_cast<int>(std::clamp(y + h, -1e9, 1e9))};
}

// A point argument {x, y} in whole pixels.
std::pair<int, int> PointOf(Vm& vm, const Value& p) {
    if (!p.IsObject()) return {0, 0};
    return {static_cast<int>(Whole(vm, p.o, "x")), static_cast<int>(Whole(vm, p.o, "y"))};
}

uint32_t Argb(Vm& vm, const Value& v) {
    return static_cast<uint32_t>(vm.ToInt32(v));
}

// Makes the object a bitmap of none yet.
BitmapDataObject* MakeBitmapData(Vm& vm, Object* obj) {
    auto inside = std::make_unique<BitmapDataObject>();
    BitmapDataObject* o = inside.get();
    o->vm = &vm;
    obj->className = "BitmapData";
    obj->inside = std::move(inside);
    return o;
}

// (width, height [, transparent = true, fillColor = 0xFFFFFFFF]): a bitmap
// of those, unless the player refuses the size.
void InitBitmapData(Vm& vm, BitmapDataObject* o, Args& a) {
    const double w = vm.ToNumber(Arg(a, 0)), h = vm.ToNumber(Arg(a, 1));
    o->transparent = a.size() < 3 || vm.ToBool(a[2]);
    const bool fits =
        w >= 1 && h >= 1 && w <= Limits::kMaxScriptBitmapSide && h <= Limits::kMaxScriptBitmapSide;
    const uint64_t pixels = fits ? uint64_t(w) * uint64_t(h) : 0;
    if (!fits || vm.bitmapPixels + pixels > Limits::kMaxScriptBitmapPixels) return;
    o->bitmap = std::make_shared<Bitmap>();
    o->bitmap->width = static_cast<uint32_t>(w);
    o->bitmap->height = static_cast<uint32_t>(h);
    o->bitmap->transparent = o->transparent;
    o->bitmap->pixels.resize(pixels * 4);
    vm.bitmapPixels += pixels;
    Straight fill = Unpack(a.size() > 3 ? Argb(vm, a[3]) : 0xFFFFFFFFu);
    if (!o->transparent) fill.a = 255;
    uint8_t px[4];
    Store(px, fill);
    for (size_t i = 0; i < o->bitmap->pixels.size(); i += 4)
        std::copy(px, px + 4, &o->bitmap->pixels[i]);
}

Value MakeRectangle(Vm& vm, double x, double y, double w, double h) {
    Value flash = vm.Get(vm.global, "flash");
    Value geom = flash.IsObject() ? vm.Get(flash.o, "geom") : Value();
    Value ctor = geom.IsObject() ? vm.Get(geom.o, "Rectangle") : Value();
    Args args{Value(x), Value(y), Value(w), Value(h)};
    if (ctor.IsObject() && ctor.o->IsFunction()) {
        Value r = vm.Construct(ctor, args);
        if (r.IsObject() && vm.Has(r.o, "width")) return r;
    }
    Object* o = vm.NewObject();
    for (auto [n, v] : {std::pair{"x", x}, {"y", y}, {"width", w}, {"height", h}})
        vm.Set(o, n, Value(v));
    return Value(o);
}

} // namespace

std::shared_ptr<const Bitmap> BitmapOf(const Value& v) {
    BitmapDataObject* b = Self(v);
    return b ? b->bitmap : nullptr;
}

void InstallBitmapDataClass(Vm& vm, Object* package) {
    Object* proto = vm.NewObject();
    Function* ctor = vm.NewNative([](Vm&, Value, Args&) { return Value(); }, "BitmapData");
    // new BitmapData(width, height [, transparent = true, fillColor = 0xFFFFFFFF]).
    ctor->nativeConstruct = [proto](Vm& vm, Value, Args& a) {
        // Without both sides there is nothing to make.
        if (a.size() < 2) return Value();
        Object* obj = vm.New<Object>(proto);
        InitBitmapData(vm, MakeBitmapData(vm, obj), a);
        return Value(obj);
    };
    ctor->nativeInit = [](Vm& vm, Value self, Args& a) {
        if (self.IsObject() && !Vm::IsNative(self.o) && a.size() >= 2)
            InitBitmapData(vm, MakeBitmapData(vm, self.o), a);
        return self;
    };
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete);
    proto->SetOwn("constructor", Value(static_cast<Object*>(ctor)), kDontEnum);
    package->SetOwn("BitmapData", Value(static_cast<Object*>(ctor)), kDontEnum);

    // Methods of a live bitmap; on anything else they answer undefined.
    auto method = [&](const char* name, std::function<Value(Vm&, BitmapDataObject&, Bitmap&, Args&)> fn) {
        proto->SetOwn(name,
                      Value(static_cast<Object*>(vm.NewNative(
                          [fn](Vm& vm, Value self, Args& a) -> Value {
                              BitmapDataObject* b = Self(self);
                              if (!b || !b->bitmap) return Value();
                              return fn(vm, *b, *b->bitmap, a);
                          },
                          name))),
                      kDontEnum);
    };
    auto inside = [](const Bitmap& bmp, double x, double y) {
        return x >= 0 && y >= 0 && x < bmp.width && y < bmp.height;
    };
    auto at = [](Bitmap& bmp, int x, int y) { return &bmp.pixels[(size_t(y) * bmp.width + x) * 4]; };

    Property& rectangle = proto->SetOwn("rectangle", Value(), kDontEnum);
    rectangle.virt = true;
    rectangle.getter = vm.NewNative(
        [](Vm& vm, Value self, Args&) -> Value {
            BitmapDataObject* b = Self(self);
            if (!b || !b->bitmap) return Value(-1);
            return MakeRectangle(vm, 0, 0, b->bitmap->width, b->bitmap->height);
        },
        "rectangle");

    method("getPixel", [inside](Vm& vm, BitmapDataObject&, Bitmap& bmp, Args& a) {
        double x = std::floor(vm.ToNumber(Arg(a, 0))), y = std::floor(vm.ToNumber(Arg(a, 1)));
        if (!inside(bmp, x, y)) return Value(0);
        Straight c = Load(bmp.Pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
        return Value(static_cast<double>(c.r << 16 | c.g << 8 | c.b));
    });
    method("getPixel32", [inside](Vm& vm, BitmapDataObject&, Bitmap& bmp, Args& a) {
        double x = std::floor(vm.ToNumber(Arg(a, 0))), y = std::floor(vm.ToNumber(Arg(a, 1)));
        if (!inside(bmp, x, y)) return Value(0);
        Straight c = Load(bmp.Pixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
        const uint32_t argb = uint32_t(c.a) << 24 | c.r << 16 | c.g << 8 | c.b;
        return Value(static_cast<double>(static_cast<int32_t>(argb)));
    });
    auto setPixel = [inside, at](bool withAlpha) {
        return [=](Vm& vm, BitmapDataObject& b, Bitmap& bmp, Args& a) {
            double x = std::floor(vm.ToNumber(Arg(a, 0))), y = std::floor(vm.ToNumber(Arg(a, 1)));
            if (!inside(bmp, x, y)) return Value();
            uint8_t* p = at(bmp, static_cast<int>(x), static_cast<int>(y));
            Straight c = Unpack(Argb(vm, Arg(a, 2)));
            if (!withAlpha) c.a = Load(p).a; // setPixel keeps the pixel's alpha
            if (!b.transparent) c.a = 255;
            Store(p, c);
            ++bmp.version;
            return Value();
        };
    };
    method("setPixel", setPixel(false));
    method("setPixel32", setPixel(true));
    method("fillRect", [at](Vm& vm, BitmapDataObject& b, Bitmap& bmp, Args& a) {
        if (!Arg(a, 0).IsObject()) return Value();
        Box r = BoxOf(vm, a[0]);
        Straight c = Unpack(Argb(vm, Arg(a, 1)));
        if (!b.transparent) c.a = 255;
        uint8_t px[4];
        Store(px, c);
        const int x0 = std::max(r.x0, 0), y0 = std::max(r.y0, 0);
        const int x1 = std::min<int>(r.x1, bmp.width), y1 = std::min<int>(r.y1, bmp.height);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                std::copy(px, px + 4, at(bmp, x, y));
        ++bmp.version;
        return Value();
    });
    // copyPixels(source, sourceRect, destPoint [, alphaBitmap, alphaPoint,
    // mergeAlpha = false]): the source's pixels, their alpha multiplied by
    // the alpha bitmap's where a transparent one is given (only what it
    // covers is copied; an opaque one changes nothing); laid over the pixels
    // here when merging or when this bitmap has no alpha to take, else put
    // in their place.
    method("copyPixels", [at](Vm& vm, BitmapDataObject& b, Bitmap& dst, Args& a) {
        BitmapDataObject* srcObj = Self(Arg(a, 0));
        if (!srcObj || !srcObj->bitmap || !Arg(a, 1).IsObject()) return Value();
        // A copy, so that a bitmap may copy onto itself.
        const Bitmap src = *srcObj->bitmap;
        BitmapDataObject* alphaObj = Self(Arg(a, 3));
        const Bitmap* alpha =
            alphaObj && alphaObj->bitmap && alphaObj->transparent ? alphaObj->bitmap.get() : nullptr;
        const auto [ax0, ay0] = PointOf(vm, Arg(a, 4));
        const bool merge = vm.ToBool(Arg(a, 5)) || !b.transparent;
        Box r = BoxOf(vm, a[1]);
        const auto [dx, dy] = PointOf(vm, Arg(a, 2));
        for (int sy = std::max(r.y0, 0); sy < std::min<int>(r.y1, src.height); ++sy) {
            const int y = dy + sy - r.y0;
            if (y < 0 || y >= static_cast<int>(dst.height)) continue;
            for (int sx = std::max(r.x0, 0); sx < std::min<int>(r.x1, src.width); ++sx) {
                const int x = dx + sx - r.x0;
                if (x < 0 || x >= static_cast<int>(dst.width)) continue;
                Straight c = Load(src.Pixel(sx, sy));
                if (!srcObj->transparent) c.a = 255;
                if (alpha) {
                    const int mx = ax0 + sx - r.x0, my = ay0 + sy - r.y0;
                    if (mx < 0 || my < 0 || mx >= static_cast<int>(alpha->width) ||
                        my >= static_cast<int>(alpha->height))
                        continue;
                    c.a = Mul(c.a, alpha->Pixel(mx, my)[3]);
                }
                uint8_t* p = at(dst, x, y);
                if (merge) {
                    // Source over destination, premultiplied.
                    uint8_t s[4];
                    Store(s, c);
                    const uint32_t inv = 255u - s[3];
                    for (int k = 0; k < 4; ++k)
                        p[k] = static_cast<uint8_t>(std::min<uint32_t>(255, s[k] + Mul(p[k], inv)));
                    if (!b.transparent) {
                        Straight d = Load(p);
                        d.a = 255;
                        Store(p, d);
                    }
                } else {
                    Store(p, c);
                }
            }
        }
        ++dst.version;
        return Value();
    });
    method("clone", [proto](Vm& vm, BitmapDataObject& b, Bitmap& bmp, Args&) {
        const uint64_t pixels = uint64_t(bmp.width) * bmp.height;
        if (vm.bitmapPixels + pixels > Limits::kMaxScriptBitmapPixels) return Value();
        Object* obj = vm.New<Object>(proto);
        BitmapDataObject* o = MakeBitmapData(vm, obj);
        o->transparent = b.transparent;
        o->bitmap = std::make_shared<Bitmap>(bmp);
        o->bitmap->version = 0;
        vm.bitmapPixels += pixels;
        return Value(obj);
    });
    method("dispose", [](Vm&, BitmapDataObject& b, Bitmap&, Args&) {
        b.Release();
        return Value();
    });
}

} // namespace movie::script
