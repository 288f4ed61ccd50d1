// The Stage object: the movie's size, how it is scaled and aligned, and the
// listeners it tells of a resize (a broadcaster from the start).
#include "movie/script/ClipHost.h"

#include <string>

namespace movie {

using script::Args;
using script::Object;
using script::Value;
using script::Vm;

namespace {

constexpr const char* kScaleModes[] = {"showAll", "exactFit", "noBorder", "noScale"};

} // namespace

void ScriptHost::InstallStage() {
    Vm& vm = *vm_;
    Value stage = vm.Get(vm.global, "Stage");
    if (!stage.IsObject()) return;
    auto accessor = [&](const char* name, script::Native get, script::Native set) {
        script::Property& p = stage.o->SetOwn(name, Value(), script::kDontEnum | script::kDontDelete);
        p.virt = true;
        p.getter = vm.NewNative(std::move(get), name);
        p.setter = set ? vm.NewNative(std::move(set), name) : nullptr;
    };
    // The stage keeps the movie's own size: nothing here resizes it.
    const Rect& frame = player_.movie_->header.stage;
    double width = frame.Width() / 20.0, height = frame.Height() / 20.0;
    accessor(
        "width", [width](Vm&, Value, Args&) { return Value(width); }, nullptr);
    accessor(
        "height", [height](Vm&, Value, Args&) { return Value(height); }, nullptr);
    // The edges it is aligned to, from the letters L, T, R and B in any
    // case and among anything else; read back in that order.
    accessor(
        "align",
        [this](Vm&, Value, Args&) {
            std::string out;
            for (char edge : {'L', 'T', 'R', 'B'})
                if (stageAlign_.find(edge) != std::string::npos) out += edge;
            return Value(out);
        },
        [this](Vm& vm, Value, Args& a) {
            std::string text = a.empty() ? std::string() : vm.ToString(a[0]);
            stageAlign_.clear();
            for (char ch : text) {
                char up = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
                if ((up == 'L' || up == 'T' || up == 'R' || up == 'B') &&
                    stageAlign_.find(up) == std::string::npos)
                    stageAlign_ += up;
            }
            return Value();
        });
    // One of the four modes by name in any case; anything else shows all.
    accessor(
        "scaleMode", [this](Vm&, Value, Args&) { return Value(stageScaleMode_); },
        [this](Vm& vm, Value, Args& a) {
            std::string text = a.empty() ? std::string() : vm.ToString(a[0]);
            stageScaleMode_ = "showAll";
            for (const char* mode : kScaleModes)
                if (script::CaselessEqual(text, mode)) stageScaleMode_ = mode;
            return Value();
        });
    accessor(
        "showMenu", [this](Vm&, Value, Args&) { return Value(stageShowMenu_); },
        [this](Vm& vm, Value, Args& a) {
            stageShowMenu_ = !a.empty() && vm.ToBool(a[0]);
            return Value();
        });
}

} // namespace movie
