// The TextField class: the properties and methods of text fields, placed
// ones and those that createTextField makes, over the field the renderer
// draws.
#include "movie/script/TextFieldClass.h"

#include "movie/script/Classes.h"
#include "movie/script/ClipHost.h"
#include "movie/script/FilterClasses.h"
#include "movie/script/NativeClasses.h"
#include "movie/text/TextField.h"

#include <algorithm>
#include <cmath>

namespace movie::script {

TextFieldObject* AsTextField(Object* o) {
    return o ? dynamic_cast<TextFieldObject*>(o) : nullptr;
}

namespace {

enum class Prop {
    Text,
    HtmlText,
    Html,
    AutoSize,
    WordWrap,
    Multiline,
    Border,
    BorderColor,
    Background,
    BackgroundColor,
    TextColor,
    TextWidth,
    TextHeight,
    EmbedFonts,
    Selectable,
    Type,
    Variable,
    Length,
    MaxChars,
    CondenseWhite,
    Password,
    Scroll,
    MaxScroll,
    BottomScroll,
    HScroll,
    MaxHScroll,
    // Kept as scripts set them, with the player's value until then.
    AntiAliasType,
    GridFitType,
    Sharpness,
    Thickness,
    MouseWheelEnabled,
    Restrict,
};

struct Named {
    const char* name;
    Prop prop;
};

const Named kProps[] = {{"text", Prop::Text},
                        {"htmlText", Prop::HtmlText},
                        {"html", Prop::Html},
                        {"autoSize", Prop::AutoSize},
                        {"wordWrap", Prop::WordWrap},
                        {"multiline", Prop::Multiline},
                        {"border", Prop::Border},
                        {"borderColor", Prop::BorderColor},
                        {"background", Prop::Background},
                        {"backgroundColor", Prop::BackgroundColor},
                        {"textColor", Prop::TextColor},
                        {"textWidth", Prop::TextWidth},
                        {"textHeight", Prop::TextHeight},
                        {"embedFonts", Prop::EmbedFonts},
                        {"selectable", Prop::Selectable},
                        {"type", Prop::Type},
                        {"variable", Prop::Variable},
                        {"length", Prop::Length},
                        {"maxChars", Prop::MaxChars},
                        {"condenseWhite", Prop::CondenseWhite},
                        {"password", Prop::Password},
                        {"scroll", Prop::Scroll},
                        {"maxscroll", Prop::MaxScroll},
                        {"bottomScroll", Prop::BottomScroll},
                        {"hscroll", Prop::HScroll},
                        {"maxhscroll", Prop::MaxHScroll},
                        {"antiAliasType", Prop::AntiAliasType},
                        {"gridFitType", Prop::GridFitType},
                        {"sharpness", Prop::Sharpness},
                        {"thickness", Prop::Thickness},
                        {"mouseWheelEnabled", Prop::MouseWheelEnabled},
                        {"restrict", Prop::Restrict}};

const Named* FindProp(Vm& vm, const std::string& name) {
    for (const Named& p : kProps)
        if (vm.Caseless() ? CaselessEqual(name, p.name) : name == p.name) return &p;
    return nullptr;
}

double ColorNumber(RGBA c) {
    return static_cast<double>(c.r << 16 | c.g << 8 | c.b);
}

RGBA ColorOf(Vm& vm, const Value& v, uint8_t alpha) {
    uint32_t c = static_cast<uint32_t>(vm.ToInt32(v));
    return {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), alpha};
}

const char* AutoSizeName(text::AutoSize a) {
    switch (a) {
    case text::AutoSize::Left:
        return "left";
    case text::AutoSize::Center:
        return "center";
    case text::AutoSize::Right:
        return "right";
    case text::AutoSize::None:
        break;
    }
    return "none";
}

text::TextField* FieldOf(const Value& self) {
    TextFieldObject* t = self.IsObject() ? AsTextField(self.o) : nullptr;
    return t && t->display ? t->display->textField.get() : nullptr;
}

// A range of characters from script arguments: none is all of the text, one
// is the character at that index.
std::pair<size_t, size_t> Range(Vm& vm, Args& a, size_t count, size_t length) {
    auto index = [&](const Value& v, size_t fallback) {
        double n = v.IsUndefined() ? NAN : vm.ToNumber(v);
        if (!std::isfinite(n)) return fallback;
        return static_cast<size_t>(std::clamp(n, 0.0, static_cast<double>(length)));
    };
    if (count == 0) return {0, length};
    size_t begin = index(a[0], 0);
    if (count == 1) return {begin, begin + 1};
    return {begin, index(a[1], length)};
}

} // namespace

bool TextFieldObject::GetSpecial(Vm& vm, const std::string& key, Value& out) {
    if (!display || !display->textField) return false;
    text::TextField& f = *display->textField;
    const bool underscored = !key.empty() && key[0] == '_';
    if (underscored && ClipPropertyIndex(key) >= 0)
        f.LaidOut(host->DeviceFontSource()); // auto size settles the box
    if (GetPlacedProperty(vm, key, out)) return true;
    if (underscored) return false;
    const Named* p = FindProp(vm, key);
    if (!p) return false;
    auto laidOut = [&]() -> const text::Layout& { return f.LaidOut(host->DeviceFontSource()); };
    switch (p->prop) {
    case Prop::Text:
        out = Value(f.Text());
        break;
    case Prop::HtmlText:
        out = Value(f.HtmlText());
        break;
    case Prop::Html:
        out = Value(f.Html());
        break;
    case Prop::AutoSize:
        out = Value(AutoSizeName(f.AutoSizing()));
        break;
    case Prop::WordWrap:
        out = Value(f.WordWrap());
        break;
    case Prop::Multiline:
        out = Value(f.Multiline());
        break;
    case Prop::Border:
        out = Value(f.Border());
        break;
    case Prop::BorderColor:
        out = Value(ColorNumber(f.BorderColor()));
        break;
    case Prop::Background:
        out = Value(f.Background());
        break;
    case Prop::BackgroundColor:
        out = Value(ColorNumber(f.BackgroundColor()));
        break;
    case Prop::TextColor:
        out = Value(ColorNumber(f.FormatAt(0).color));
        break;
    case Prop::TextWidth:
        out = Value(std::round(laidOut().textWidth) / 20);
        break;
    case Prop::TextHeight:
        out = Value(std::round(laidOut().textHeight) / 20);
        break;
    case Prop::EmbedFonts:
        out = Value(f.EmbedFonts());
        break;
    case Prop::Selectable:
        out = Value(f.Selectable());
        break;
    case Prop::Type:
        out = Value(f.Input() ? "input" : "dynamic");
        break;
    case Prop::Variable:
        out = f.Variable().empty() ? Value::Null() : Value(f.Variable());
        break;
    case Prop::Length:
        out = Value(static_cast<double>(ScriptLength(f.Text())));
        break;
    case Prop::MaxChars:
        out = f.MaxChars() > 0 ? Value(f.MaxChars()) : Value::Null();
        break;
    case Prop::CondenseWhite:
        out = Value(f.CondenseWhite());
        break;
    case Prop::Password:
        out = Value(f.Password());
        break;
    case Prop::Scroll:
        out = Value(std::clamp(f.Scroll(), 1, laidOut().maxScroll));
        break;
    case Prop::MaxScroll:
        out = Value(laidOut().maxScroll);
        break;
    case Prop::BottomScroll:
        out = Value(laidOut().bottomScroll);
        break;
    case Prop::HScroll:
        out = Value(f.HScroll());
        break;
    case Prop::MaxHScroll: {
        const text::Layout& l = laidOut();
        double room = l.bounds.Width() - 2 * text::kGutter;
        out = Value(std::max(0.0, std::ceil((l.textWidth - room) / 20)));
        break;
    }
    default: {
        // Properties kept as set; until then the player's own values.
        if (FindOwn(key, vm.Caseless())) return false;
        switch (p->prop) {
        case Prop::AntiAliasType:
            out = Value("normal");
            break;
        case Prop::GridFitType:
            out = Value("pixel");
            break;
        case Prop::Sharpness:
        case Prop::Thickness:
            out = Value(0);
            break;
        case Prop::MouseWheelEnabled:
            out = Value(true);
            break;
        default:
            out = Value::Null();
            break;
        }
    }
    }
    return true;
}

bool TextFieldObject::SetSpecial(Vm& vm, const std::string& key, const Value& v) {
    if (!display || !display->textField) return false;
    text::TextField& f = *display->textField;
    if (SetPlacedProperty(vm, key, v)) return true;
    if (!key.empty() && key[0] == '_') return false;
    const Named* p = FindProp(vm, key);
    if (!p) return false;
    switch (p->prop) {
    case Prop::Text:
        f.SetText(vm.ToString(v));
        break;
    case Prop::HtmlText:
        f.SetHtmlText(vm.ToString(v));
        break;
    case Prop::Html:
        f.SetHtml(vm.ToBool(v));
        break;
    case Prop::AutoSize:
        if (v.type == Value::Type::Bool) {
            f.SetAutoSize(v.b ? text::AutoSize::Left : text::AutoSize::None);
        } else {
            std::string s = vm.ToString(v);
            f.SetAutoSize(s == "left"     ? text::AutoSize::Left
                          : s == "center" ? text::AutoSize::Center
                          : s == "right"  ? text::AutoSize::Right
                                          : text::AutoSize::None);
        }
        break;
    case Prop::WordWrap:
        f.SetWordWrap(vm.ToBool(v));
        break;
    case Prop::Multiline:
        f.SetMultiline(vm.ToBool(v));
        break;
    case Prop::Border:
        f.SetBorder(vm.ToBool(v));
        break;
    case Prop::BorderColor:
        f.SetBorderColor(ColorOf(vm, v, 255));
        break;
    case Prop::Background:
        f.SetBackground(vm.ToBool(v));
        break;
    case Prop::BackgroundColor:
        f.SetBackgroundColor(ColorOf(vm, v, 255));
        break;
    case Prop::TextColor:
        f.SetTextColor(ColorOf(vm, v, 255));
        break;
    case Prop::EmbedFonts:
        f.SetEmbedFonts(vm.ToBool(v));
        break;
    case Prop::Selectable:
        f.SetSelectable(vm.ToBool(v));
        break;
    case Prop::Type: {
        std::string s = vm.ToString(v);
        if (s == "input" || s == "dynamic") f.SetInput(s == "input");
        break;
    }
    case Prop::Variable:
        f.SetVariable(v.IsNullish() ? std::string() : vm.ToString(v));
        break;
    case Prop::MaxChars:
        f.SetMaxChars(std::max(0, vm.ToInt32(v)));
        break;
    case Prop::CondenseWhite:
        f.SetCondenseWhite(vm.ToBool(v));
        break;
    case Prop::Password:
        f.SetPassword(vm.ToBool(v));
        break;
    case Prop::Scroll: {
        double n = vm.ToNumber(v);
        if (std::isfinite(n)) f.SetScroll(static_cast<int>(std::clamp(n, 1.0, 1e6)));
        break;
    }
    case Prop::HScroll: {
        double n = vm.ToNumber(v);
        if (std::isfinite(n)) f.SetHScroll(std::clamp(std::trunc(n), 0.0, 1e6));
        break;
    }
    case Prop::TextWidth:
    case Prop::TextHeight:
    case Prop::Length:
    case Prop::MaxScroll:
    case Prop::BottomScroll:
    case Prop::MaxHScroll:
        break; // read only
    default:
        return false; // kept as an ordinary property
    }
    return true;
}

void Vm::InstallTextFieldClass() {
    Object* proto = NewObject();
    textFieldProto = proto;
    Function* ctor = AddClass(
        "TextField", proto, [](Vm&, Value, Args&) { return Value(); },
        [](Vm& vm, Value, Args&) {
            // A field with nothing on the stage, but a field inside.
            Object* o = vm.NewObject();
            MakeNative(o, "TextField");
            return Value(o);
        });
    // Movies before SWF 6 do not see the class's prototype.
    ctor->SetOwn("prototype", Value(proto), kDontEnum | kDontDelete).versionMask = 6;
    AddMethod(ctor, "getFontList", [](Vm& vm, Value, Args&) {
        Array* a = vm.NewArray();
        for (const char* name : {"_sans", "_serif", "_typewriter"})
            a->Append(Value(name));
        return Value(static_cast<Object*>(a));
    });
    AddMethod(proto, "getTextFormat", [](Vm& vm, Value self, Args& a) -> Value {
        text::TextField* f = FieldOf(self);
        if (!f) return {};
        auto [begin, end] = Range(vm, a, std::min<size_t>(a.size(), 2), f->Length());
        return Value(NewTextFormatObject(vm, f->FormatsIn(begin, end)));
    });
    AddMethod(proto, "setTextFormat", [](Vm& vm, Value self, Args& a) -> Value {
        text::TextField* f = FieldOf(self);
        if (!f || a.empty() || !a.back().IsObject()) return {};
        auto change = ReadTextFormat(vm, a.back().o);
        auto [begin, end] = Range(vm, a, std::min<size_t>(a.size() - 1, 2), f->Length());
        f->ChangeFormat(begin, end, change);
        return {};
    });
    AddMethod(proto, "getNewTextFormat", [](Vm& vm, Value self, Args&) -> Value {
        text::TextField* f = FieldOf(self);
        if (!f) return {};
        return Value(NewTextFormatObject(vm, {f->NewTextFormat()}));
    });
    AddMethod(proto, "setNewTextFormat", [](Vm& vm, Value self, Args& a) -> Value {
        text::TextField* f = FieldOf(self);
        if (!f || !Arg(a, 0).IsObject()) return {};
        text::TextFormat format = f->NewTextFormat();
        ReadTextFormat(vm, a[0].o)(format);
        f->SetNewTextFormat(format);
        return {};
    });
    // Replaces characters [begin, end) by text in the new-text format.
    AddMethod(proto, "replaceText", [](Vm& vm, Value self, Args& a) -> Value {
        text::TextField* f = FieldOf(self);
        if (!f || a.size() < 3) return {};
        auto [begin, end] = Range(vm, a, 2, f->Length());
        f->ReplaceText(begin, std::max(begin, end), vm.ToString(a[2]));
        return {};
    });
    AddMethod(proto, "removeTextField", [](Vm& vm, Value self, Args&) -> Value {
        TextFieldObject* t = self.IsObject() ? AsTextField(self.o) : nullptr;
        if (t && vm.GetHost()) vm.GetHost()->Remove(t);
        return {};
    });
    AddMethod(proto, "getDepth", [](Vm&, Value self, Args&) -> Value {
        TextFieldObject* t = self.IsObject() ? AsTextField(self.o) : nullptr;
        if (!t || !t->display) return {};
        return Value(static_cast<double>(t->display->depth) - 16384);
    });
}

} // namespace movie::script

namespace movie {

using script::Value;

void ScriptHost::AttachText(DisplayObject& o, script::Object* parent) {
    auto* t = vm_->New<script::TextFieldObject>(vm_->textFieldProto);
    t->className = "TextField";
    t->host = this;
    t->display = &o;
    t->parent = parent;
    if (o.name.empty()) o.name = "instance" + std::to_string(++steps_);
    o.clip = t;
    // A field bound to a variable shows it from the start.
    if (o.textField && parent) BindTextField(*o.textField, parent);
}

void ScriptHost::InstallTextFieldMethods() {
    // createTextField(name, depth, x, y, width, height): an empty field in
    // the usual format at that depth of the clip; SWF 8 movies get it back.
    vm_->clipProto->SetOwn("createTextField",
                           Value(static_cast<script::Object*>(vm_->NewNative(
                               [this](script::Vm& vm, Value self, script::Args& a) -> Value {
                                   script::ClipObject* c = self.IsObject() ? Clip(self.o) : nullptr;
                                   if (!c || a.size() < 6) return {};
                                   auto twips = [&](size_t i) {
                                       double n = vm.ToNumber(a[i]);
                                       return std::isfinite(n) ? std::round(std::clamp(n, -1e7, 1e7) * 20)
                                                               : 0.0;
                                   };
                                   auto character = std::make_shared<Character>();
                                   EditText def;
                                   def.bounds = {0, static_cast<int32_t>(std::abs(twips(4))), 0,
                                                 static_cast<int32_t>(std::abs(twips(5)))};
                                   def.readOnly = true;
                                   character->data = def;
                                   script::Object* made = NewClipAt(c, character, 0, vm.ToString(a[0]),
                                                                    vm.ToInt32(a[1]), nullptr, nullptr);
                                   script::TextFieldObject* t = script::AsTextField(made);
                                   if (!t || !t->display) return {};
                                   t->display->matrix.tx = twips(2);
                                   t->display->matrix.ty = twips(3);
                                   return vm.Version() >= 8 ? Value(made) : Value();
                               },
                               "createTextField"))),
                           script::kDontEnum);
}

} // namespace movie
