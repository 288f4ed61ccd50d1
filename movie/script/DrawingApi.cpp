// The drawing API of movie clips (lineStyle, beginFill, beginGradientFill,
// beginBitmapFill, moveTo, lineTo, curveTo, endFill, clear) and setMask.
#include "movie/script/BitmapDataClass.h"
#include "movie/script/Classes.h"
#include "movie/script/ClipHost.h"
#include "movie/script/TextFieldClass.h"

#include "movie/Limits.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace movie {

using script::Args;
using script::Object;
using script::Value;
using script::Vm;

namespace {

// Script pixels to twips, as the player keeps them (NaN as 0).
int32_t Twips(Vm& vm, const Value& v) {
    double n = vm.ToNumber(v) * kTwipsPerPixel;
    if (std::isnan(n)) return 0;
    return static_cast<int32_t>(std::lround(std::clamp(n, -2147483520.0, 2147483520.0)));
}

double NumberOr(Vm& vm, Args& a, size_t i, double fallback) {
    if (i >= a.size() || a[i].IsUndefined()) return fallback;
    return vm.ToNumber(a[i]);
}

// Percent 0..100 (clamped; NaN as 0) as an alpha byte.
uint8_t AlphaByte(double percent) {
    if (std::isnan(percent)) percent = 0;
    return static_cast<uint8_t>(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55));
}

RGBA Color(Vm& vm, const Value& rgb, uint8_t alpha) {
    const auto c = static_cast<uint32_t>(vm.ToInt32(rgb));
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), alpha};
}

std::optional<LineStyle> LineStyleOf(Vm& vm, Args& a) {
    if (a.empty() || a[0].IsUndefined()) return std::nullopt;
    LineStyle s;
    double width = vm.ToNumber(a[0]);
    if (std::isnan(width)) width = 0;
    s.width = static_cast<uint16_t>(std::lround(std::clamp(width, 0.0, 255.0) * kTwipsPerPixel));
    s.color = Color(vm, script::Arg(a, 1), AlphaByte(NumberOr(vm, a, 2, 100)));
    s.pixelHinting = vm.ToBool(script::Arg(a, 3));
    const std::string scale = a.size() > 4 ? vm.ToString(a[4]) : "normal";
    s.noHScale = scale == "none" || scale == "horizontal";
    s.noVScale = scale == "none" || scale == "vertical";
    const std::string caps = a.size() > 5 ? vm.ToString(a[5]) : "round";
    s.startCap = s.endCap = caps == "none"     ? CapStyle::None
                            : caps == "square" ? CapStyle::Square
                                               : CapStyle::Round;
    const std::string joints = a.size() > 6 ? vm.ToString(a[6]) : "round";
    s.join = joints == "miter" ? JoinStyle::Miter : joints == "bevel" ? JoinStyle::Bevel : JoinStyle::Round;
    const double miter = NumberOr(vm, a, 7, 3);
    s.miterLimit = static_cast<float>(std::isnan(miter) ? 3 : std::clamp(miter, 1.0, 255.0));
    return s;
}

// The fill matrix of beginGradientFill: {matrixType: "box", x, y, w, h, r},
// a flash.geom.Matrix {a, b, c, d, tx, ty}, or the older {a, b, d, e, g, h}
// of a 3 x 3 matrix; from the gradient square into the clip, in twips.
Matrix GradientMatrix(Vm& vm, Object* m) {
    auto num = [&](const char* name) {
        double v = vm.ToNumber(vm.Get(m, name));
        return std::isnan(v) ? 0.0 : v;
    };
    constexpr double kSquare = 32768.0 / kTwipsPerPixel; // the gradient square in pixels
    if (vm.ToString(vm.Get(m, "matrixType")) == "box") {
        const double w = num("w"), h = num("h"), r = num("r");
        return {w / kSquare * std::cos(r),           w / kSquare * std::sin(r),
                -h / kSquare * std::sin(r),          h / kSquare * std::cos(r),
                (num("x") + w / 2) * kTwipsPerPixel, (num("y") + h / 2) * kTwipsPerPixel};
    }
    if (vm.Has(m, "tx") || vm.Has(m, "ty"))
        return {
            num("a"), num("b"), num("c"), num("d"), num("tx") * kTwipsPerPixel, num("ty") * kTwipsPerPixel};
    return {num("a") / kSquare, num("b") / kSquare,        num("d") / kSquare,
            num("e") / kSquare, num("g") * kTwipsPerPixel, num("h") * kTwipsPerPixel};
}

// beginGradientFill(type, colors, alphas, ratios, matrix [, spread,
// interpolation, focalPointRatio]); nothing when the call is not valid.
std::optional<FillStyle> GradientFillOf(Vm& vm, Args& a) {
    if (a.size() < 5 || a.size() > 8) return std::nullopt;
    const std::string type = vm.ToString(a[0]);
    if (type != "linear" && type != "radial") return std::nullopt;
    if (!a[1].IsObject() || !a[2].IsObject() || !a[3].IsObject() || !a[4].IsObject()) return std::nullopt;
    auto length = [&](Object* o) { return vm.ToInt32(vm.Get(o, "length")); };
    const int32_t n = length(a[1].o);
    if (n <= 0 || length(a[2].o) != n || length(a[3].o) != n) return std::nullopt;
    FillStyle fill;
    Gradient& g = fill.gradient;
    for (int32_t i = 0; i < n && g.stops.size() < Limits::kMaxGradientStops; ++i) {
        const std::string at = std::to_string(i);
        double ratio = vm.ToNumber(vm.Get(a[3].o, at));
        if (ratio <= -1 || ratio >= 256) return std::nullopt;
        if (std::isnan(ratio)) ratio = 0;
        g.stops.push_back({static_cast<uint8_t>(std::clamp(std::trunc(ratio), 0.0, 255.0)),
                           Color(vm, vm.Get(a[1].o, at), AlphaByte(vm.ToNumber(vm.Get(a[2].o, at))))});
    }
    fill.matrix = GradientMatrix(vm, a[4].o);
    const std::string spread = a.size() > 5 ? vm.ToString(a[5]) : "pad";
    g.spread = spread == "reflect"  ? SpreadMode::Reflect
               : spread == "repeat" ? SpreadMode::Repeat
                                    : SpreadMode::Pad;
    if (a.size() > 6 && vm.ToString(a[6]) == "linearRGB") g.interpolation = InterpolationMode::Linear;
    double focal = a.size() > 7 ? vm.ToNumber(a[7]) : 0;
    if (std::isnan(focal)) focal = 0;
    // Held as the shape format holds it, in 1/256ths, cut towards zero.
    g.focalPoint = static_cast<float>(std::trunc(std::clamp(focal, -1.0, 1.0) * 256) / 256);
    fill.kind = type == "linear"       ? FillKind::LinearGradient
                : g.focalPoint != 0.0f ? FillKind::FocalRadialGradient
                                       : FillKind::RadialGradient;
    return fill;
}

} // namespace

void ScriptHost::InstallDrawingApi(Object* proto) {
    Vm& vm = *vm_;
    auto method = [&](const std::string& name, std::function<Value(Object*, Args&)> fn) {
        proto->SetOwn(name,
                      Value(static_cast<Object*>(vm.NewNative(
                          [this, fn](Vm&, Value self, Args& a) -> Value {
                              if (!self.IsObject() || !IsClip(self.o)) return Value();
                              return fn(self.o, a);
                          },
                          name))),
                      script::kDontEnum);
    };
    // The calls that draw: each finds the clip's drawing first.
    auto draw = [&](const std::string& name, std::function<void(Drawing&, Args&)> fn) {
        method(name, [this, fn](Object* clip, Args& a) {
            if (Drawing* d = DrawingOf(clip)) fn(*d, a);
            return Value();
        });
    };
    draw("lineStyle", [this](Drawing& d, Args& a) { d.SetLineStyle(LineStyleOf(*vm_, a)); });
    draw("beginFill", [this](Drawing& d, Args& a) {
        if (a.empty() || a[0].IsUndefined()) return d.BeginFill(std::nullopt);
        FillStyle fill;
        fill.color = Color(*vm_, a[0], AlphaByte(NumberOr(*vm_, a, 1, 100)));
        d.BeginFill(fill);
    });
    draw("beginGradientFill", [this](Drawing& d, Args& a) {
        // No type ends the fill; any other call that is not valid changes nothing.
        if (a.empty() || a[0].IsUndefined()) return d.BeginFill(std::nullopt);
        if (auto fill = GradientFillOf(*vm_, a)) d.BeginFill(std::move(*fill));
    });
    draw("beginBitmapFill", [this](Drawing& d, Args& a) {
        // beginBitmapFill(bitmap [, matrix, repeat, smoothing]).
        std::shared_ptr<const Bitmap> bitmap = a.empty() ? nullptr : script::BitmapOf(a[0]);
        if (!bitmap) return d.BeginFill(std::nullopt);
        FillStyle fill;
        fill.kind = FillKind::Bitmap;
        fill.bitmap = std::move(bitmap);
        fill.matrix = {kTwipsPerPixel, 0, 0, kTwipsPerPixel, 0, 0};
        Value m = script::Arg(a, 1);
        if (m.IsObject()) {
            auto num = [&](const char* name) {
                double v = vm_->ToNumber(vm_->Get(m.o, name));
                return std::isnan(v) ? 0.0 : v;
            };
            fill.matrix = {num("a") * kTwipsPerPixel, num("b") * kTwipsPerPixel,  num("c") * kTwipsPerPixel,
                           num("d") * kTwipsPerPixel, num("tx") * kTwipsPerPixel, num("ty") * kTwipsPerPixel};
        }
        fill.repeat = a.size() > 2 ? vm_->ToBool(a[2]) : true;
        fill.smoothed = a.size() > 3 && vm_->ToBool(a[3]);
        d.BeginFill(std::move(fill));
    });
    draw("endFill", [](Drawing& d, Args&) { d.EndFill(); });
    draw("moveTo", [this](Drawing& d, Args& a) {
        if (a.size() >= 2) d.MoveTo({Twips(*vm_, a[0]), Twips(*vm_, a[1])});
    });
    draw("lineTo", [this](Drawing& d, Args& a) {
        if (a.size() >= 2) d.LineTo({Twips(*vm_, a[0]), Twips(*vm_, a[1])});
    });
    draw("curveTo", [this](Drawing& d, Args& a) {
        if (a.size() >= 4)
            d.CurveTo({Twips(*vm_, a[0]), Twips(*vm_, a[1])}, {Twips(*vm_, a[2]), Twips(*vm_, a[3])});
    });
    draw("clear", [](Drawing& d, Args&) { d.Clear(); });

    // attachBitmap(bitmap, depth [, pixelSnapping, smoothing]): shows a
    // BitmapData at a depth of the clip, its top left corner at the clip's origin.
    auto bitmapCharacter = std::make_shared<Character>();
    Shape none;
    none.bounds = none.edgeBounds = Rect{1, 0, 1, 0}; // no bounds of its own
    bitmapCharacter->data = std::move(none);
    method("attachBitmap", [this, bitmapCharacter](Object* clip, Args& a) -> Value {
        std::shared_ptr<const Bitmap> bitmap = a.empty() ? nullptr : script::BitmapOf(a[0]);
        DisplayObjects* list = ListOf(Clip(clip));
        if (!bitmap || !list || a.size() < 2 || player_.objectCount_ >= Limits::kMaxDisplayObjects)
            return Value();
        const int32_t depth = vm_->ToInt32(a[1]);
        if (depth < -16384 || depth > 2130690044) return Value();
        DisplayObject o;
        o.depth = depth + 16384;
        o.character = bitmapCharacter;
        o.scripted = true;
        FillStyle fill;
        fill.kind = FillKind::Bitmap;
        fill.matrix = {kTwipsPerPixel, 0, 0, kTwipsPerPixel, 0, 0};
        fill.repeat = false;
        fill.smoothed = a.size() > 3 && vm_->ToBool(a[3]);
        const auto w = static_cast<int32_t>(bitmap->width * kTwipsPerPixel);
        const auto h = static_cast<int32_t>(bitmap->height * kTwipsPerPixel);
        fill.bitmap = std::move(bitmap);
        o.drawing = std::make_shared<Drawing>();
        o.drawing->BeginFill(std::move(fill));
        o.drawing->LineTo({w, 0});
        o.drawing->LineTo({w, h});
        o.drawing->LineTo({0, h});
        o.drawing->EndFill();
        auto it = std::lower_bound(list->begin(), list->end(), o.depth,
                                   [](const DisplayObject& x, int32_t v) { return x.depth < v; });
        if (it != list->end() && it->depth == o.depth) {
            Detach(*it);
            *it = std::move(o);
        } else {
            list->insert(it, std::move(o));
            ++player_.objectCount_;
        }
        Relink(*list);
        return Value();
    });

    // setMask(clip | text field | path | null): the clip is drawn only where
    // the mask shows; the mask is no longer drawn itself. Null or undefined
    // takes the mask away. True when done, false for a path that names
    // nothing that can mask.
    const auto canMask = [this](Object* o) { return IsClip(o) || script::AsTextField(o); };
    method("setMask", [this, canMask](Object* clip, Args& a) -> Value {
        if (a.empty()) return Value();
        Object* mask = nullptr;
        if (a[0].IsObject() && canMask(a[0].o)) {
            mask = a[0].o;
        } else if (!a[0].IsNullish()) {
            // A path names a clip from where the clip stands: its parent's timeline.
            Object* parent = ParentOf(clip);
            mask = vm_->ResolvePath(parent ? parent : clip, vm_->ToString(a[0]));
            if (!mask || !canMask(mask)) return Value(false);
        }
        DisplayObject* target = DisplayOf(clip);
        if (mask == clip) return Value(false);
        // A sprite masks one other at a time: whatever it or the target had goes.
        DisplayObject* maskObject = nullptr;
        if (script::TextFieldObject* field = mask ? script::AsTextField(mask) : nullptr)
            maskObject = field->display;
        else if (mask)
            maskObject = DisplayOf(mask);
        std::function<void(DisplayObjects&)> walk = [&](DisplayObjects& list) {
            for (DisplayObject& o : list) {
                if (target && target->maskedBy && o.instance == target->maskedBy) o.masking = false;
                if (maskObject && o.maskedBy == maskObject->instance) o.maskedBy = 0;
                walk(o.children);
            }
        };
        walk(player_.root_);
        if (target) target->maskedBy = 0;
        if (target && maskObject) {
            target->maskedBy = maskObject->instance;
            maskObject->masking = true;
            player_.scriptMasks_ = true;
        }
        return Value(true);
    });
}

} // namespace movie
