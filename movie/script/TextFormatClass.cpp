// The TextFormat class: a plain object of character and paragraph
// properties, null where it says nothing. Text fields give and take them.
#include "movie/script/Classes.h"
#include "movie/script/ClipHost.h"
#include "movie/script/NativeClasses.h"
#include "movie/script/TextFieldClass.h"
#include "movie/text/TextLayout.h"

#include <cmath>

namespace movie::script {

namespace {

// The properties in the order the constructor takes its arguments, the rest after.
const char* const kProperties[] = {"font",        "size",          "color",   "bold",        "italic",
                                   "underline",   "url",           "target",  "align",       "leftMargin",
                                   "rightMargin", "indent",        "leading", "blockIndent", "bullet",
                                   "tabStops",    "letterSpacing", "kerning"};

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right:
        return "right";
    case TextAlign::Center:
        return "center";
    case TextAlign::Justify:
        return "justify";
    case TextAlign::Left:
        break;
    }
    return "left";
}

double ColorNumber(RGBA c) {
    return static_cast<double>(c.r << 16 | c.g << 8 | c.b);
}

// The value of one property for a format.
Value PropertyOf(Vm& vm, const text::TextFormat& f, const std::string& name) {
    if (name == "font") return Value(f.font);
    if (name == "size") return Value(f.size);
    if (name == "color") return Value(ColorNumber(f.color));
    if (name == "bold") return Value(f.bold);
    if (name == "italic") return Value(f.italic);
    if (name == "underline") return Value(f.underline);
    if (name == "url") return Value(f.url);
    if (name == "target") return Value(f.target);
    if (name == "align") return Value(AlignName(f.align));
    if (name == "leftMargin") return Value(f.leftMargin);
    if (name == "rightMargin") return Value(f.rightMargin);
    if (name == "indent") return Value(f.indent);
    if (name == "leading") return Value(f.leading);
    if (name == "blockIndent") return Value(f.blockIndent);
    if (name == "bullet") return Value(f.bullet);
    if (name == "tabStops") return Value(static_cast<Object*>(vm.NewArray()));
    if (name == "letterSpacing") return Value(f.letterSpacing);
    if (name == "kerning") return Value(f.kerning);
    return {};
}

} // namespace

Object* NewTextFormatObject(Vm& vm, const std::vector<text::TextFormat>& formats) {
    Object* o = vm.New<Object>(vm.textFormatProto ? vm.textFormatProto : vm.objectProto);
    for (const char* name : kProperties) {
        Value v;
        if (formats.empty()) {
            v = Value::Null();
        } else {
            v = PropertyOf(vm, formats[0], name);
            for (size_t i = 1; i < formats.size() && !v.IsNullish(); ++i) {
                Value w = PropertyOf(vm, formats[i], name);
                if (!v.IsObject() && !vm.StrictEquals(v, w)) v = Value::Null();
            }
        }
        o->SetOwn(name, v);
    }
    return o;
}

std::function<void(text::TextFormat&)> ReadTextFormat(Vm& vm, Object* format) {
    std::vector<std::function<void(text::TextFormat&)>> changes;
    auto read = [&](const char* name) -> std::optional<Value> {
        Value v = vm.Get(format, name);
        if (v.IsNullish()) return std::nullopt;
        return v;
    };
    auto number = [&](const char* name, double text::TextFormat::*field) {
        if (auto v = read(name)) {
            double n = vm.ToNumber(*v);
            if (std::isfinite(n)) changes.push_back([field, n](text::TextFormat& f) { f.*field = n; });
        }
    };
    auto flag = [&](const char* name, bool text::TextFormat::*field) {
        if (auto v = read(name)) {
            bool b = vm.ToBool(*v);
            changes.push_back([field, b](text::TextFormat& f) { f.*field = b; });
        }
    };
    auto string = [&](const char* name, std::string text::TextFormat::*field) {
        if (auto v = read(name)) {
            std::string s = vm.ToString(*v);
            changes.push_back([field, s](text::TextFormat& f) { f.*field = s; });
        }
    };
    string("font", &text::TextFormat::font);
    number("size", &text::TextFormat::size);
    if (auto v = read("color")) {
        uint32_t c = static_cast<uint32_t>(vm.ToInt32(*v));
        RGBA rgba{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 255};
        changes.push_back([rgba](text::TextFormat& f) { f.color = rgba; });
    }
    flag("bold", &text::TextFormat::bold);
    flag("italic", &text::TextFormat::italic);
    flag("underline", &text::TextFormat::underline);
    string("url", &text::TextFormat::url);
    string("target", &text::TextFormat::target);
    if (auto v = read("align")) {
        // Only the four names count; anything else leaves the alignment.
        std::string s = Lower(vm.ToString(*v));
        std::optional<TextAlign> a = s == "left"      ? std::optional(TextAlign::Left)
                                     : s == "right"   ? std::optional(TextAlign::Right)
                                     : s == "center"  ? std::optional(TextAlign::Center)
                                     : s == "justify" ? std::optional(TextAlign::Justify)
                                                      : std::nullopt;
        if (a) changes.push_back([a](text::TextFormat& f) { f.align = *a; });
    }
    // Margins and indents are whole pixels, margins never negative.
    auto pixels = [&](const char* name, double text::TextFormat::*field, bool signedValue) {
        if (auto v = read(name)) {
            double n = vm.ToNumber(*v);
            if (!std::isfinite(n)) n = 0;
            n = std::trunc(n);
            if (!signedValue) n = std::max(0.0, n);
            changes.push_back([field, n](text::TextFormat& f) { f.*field = n; });
        }
    };
    pixels("leftMargin", &text::TextFormat::leftMargin, false);
    pixels("rightMargin", &text::TextFormat::rightMargin, false);
    pixels("indent", &text::TextFormat::indent, true);
    pixels("leading", &text::TextFormat::leading, true);
    pixels("blockIndent", &text::TextFormat::blockIndent, false);
    flag("bullet", &text::TextFormat::bullet);
    number("letterSpacing", &text::TextFormat::letterSpacing);
    flag("kerning", &text::TextFormat::kerning);
    return [changes = std::move(changes)](text::TextFormat& f) {
        for (const auto& change : changes)
            change(f);
    };
}

void Vm::InstallTextFormatClass() {
    Object* proto = NewObject();
    textFormatProto = proto;
    // new TextFormat(font, size, color, bold, italic, underline, url, target,
    // align, leftMargin, rightMargin, indent, leading); called on an object
    // (super() of a subclass) it sets that object up.
    auto init = [](Vm& vm, Object* o, Args& a) {
        for (const char* name : kProperties)
            o->SetOwn(name, Value::Null());
        for (size_t i = 0; i < a.size() && i < 13; ++i)
            if (!a[i].IsUndefined()) vm.Set(o, kProperties[i], a[i]);
    };
    Function* ctor = AddClass(
        "TextFormat", proto,
        [init](Vm& vm, Value self, Args& a) {
            if (self.IsObject()) init(vm, self.o, a);
            return Value();
        },
        [init](Vm& vm, Value, Args& a) {
            Object* o = vm.NewObject();
            MakeNative(o, "TextFormat");
            init(vm, o, a);
            return Value(o);
        });
    ctor->nativeInit = [init](Vm& vm, Value self, Args& a) {
        if (self.IsObject()) init(vm, self.o, a);
        return self;
    };
    // The size text in this format takes: the platform's faces lay it out.
    // Movies of SWF 8 on measure lines of text fields instead.
    if (Version() < 8)
        AddMethod(proto, "getTextExtent", [](Vm& vm, Value self, Args& a) -> Value {
            if (!self.IsObject()) return {};
            text::TextFormat format;
            ReadTextFormat(vm, self.o)(format);
            text::FieldBox box;
            Value width = Arg(a, 1);
            double w = width.IsUndefined() ? 0 : vm.ToNumber(width);
            box.wordWrap = std::isfinite(w) && w > 0;
            box.bounds = {0, box.wordWrap ? static_cast<int32_t>(std::min(w, 1e6) * 20) : 0, 0, 0};
            auto* host = dynamic_cast<ScriptHost*>(vm.GetHost());
            text::DeviceFonts* fonts = host ? host->DeviceFontSource() : nullptr;
            std::shared_ptr<text::Typeface> face =
                fonts ? fonts->Face(format.font, format.bold, format.italic) : nullptr;
            text::Layout layout = text::LayOut(text::PlainRuns(vm.ToString(Arg(a, 0)), format), box,
                                               [&](const text::TextFormat&) { return face; });
            double scale = face && face->EmSquare() > 0 ? format.size / face->EmSquare() : 0;
            Object* r = vm.NewObject();
            vm.Set(r, "ascent", Value(face ? std::round(face->Ascent() * scale) : 0.0));
            vm.Set(r, "descent", Value(face ? std::round(face->Descent() * scale) : 0.0));
            vm.Set(r, "width", Value(std::round(layout.textWidth / 20)));
            vm.Set(r, "height", Value(std::round(layout.textHeight / 20)));
            vm.Set(r, "textFieldWidth", Value(std::round(layout.textWidth / 20) + 4));
            vm.Set(r, "textFieldHeight", Value(std::round(layout.textHeight / 20) + 4));
            return Value(r);
        });
}

} // namespace movie::script
