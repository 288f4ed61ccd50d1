#include "movie/script/CachingProperties.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

namespace {

// Pixels of a script's rectangle as twips, NaN as 0 and the rest held
// within what a twips coordinate can say.
int32_t Twips(double pixels) {
    if (std::isnan(pixels)) return 0;
    return static_cast<int32_t>(std::lround(std::clamp(pixels * kTwipsPerPixel, -1e9, 1e9)));
}

} // namespace

bool GetCachingProperty(Vm& vm, const DisplayObject& o, const std::string& name, Value& out) {
    if (name == "cacheAsBitmap") {
        out = Value(o.cacheAsBitmap);
        return true;
    }
    if (name == "opaqueBackground") {
        const auto& c = o.opaqueBackground;
        out = c ? Value(static_cast<double>(c->r << 16 | c->g << 8 | c->b)) : Value();
        return true;
    }
    if (name == "scrollRect") {
        out = Value();
        if (const auto& r = o.scrollRect; r && vm.rectangleProto) {
            const double px = kTwipsPerPixel;
            Args args{Value(r->xMin / px), Value(r->yMin / px), Value(r->Width() / px),
                      Value(r->Height() / px)};
            out = vm.Construct(vm.Get(vm.rectangleProto, "constructor"), args);
        }
        return true;
    }
    return false;
}

bool SetCachingProperty(Vm& vm, DisplayObject& o, const std::string& name, const Value& v) {
    if (name == "cacheAsBitmap") {
        o.cacheAsBitmap = vm.ToBool(v);
        return true;
    }
    if (name == "opaqueBackground") {
        // A colour as a number's low 24 bits; undefined and null take it off.
        if (v.IsNullish()) {
            o.opaqueBackground.reset();
        } else {
            const auto rgb = static_cast<uint32_t>(vm.ToInt32(v));
            o.opaqueBackground = RGBA{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                      static_cast<uint8_t>(rgb), 255};
        }
        return true;
    }
    if (name == "scrollRect") {
        // Any object with x, y, width and height; anything else takes it off.
        if (!v.IsObject()) {
            o.scrollRect.reset();
            return true;
        }
        const double x = vm.ToNumber(vm.Get(v.o, "x")), y = vm.ToNumber(vm.Get(v.o, "y"));
        const double w = vm.ToNumber(vm.Get(v.o, "width")), h = vm.ToNumber(vm.Get(v.o, "height"));
        const int32_t x0 = Twips(x), y0 = Twips(y);
        o.scrollRect = Rect{x0, x0 + std::max(0, Twips(w)), y0, y0 + std::max(0, Twips(h))};
        return true;
    }
    return false;
}

} // namespace movie::script
