// Text fields bound to a variable (DefineEditText's variable name): after
// each round of scripts a field shows its variable's value; a variable not
// yet defined takes the field's text.
#include "movie/script/ClipHost.h"
#include "movie/text/TextField.h"

namespace movie {

void ScriptHost::BindTextFields() {
    BindTextFields(player_.root_, RootClip(), 0);
}

void ScriptHost::BindTextFields(DisplayObjects& list, script::Object* timeline, int nesting) {
    if (nesting > Limits::kMaxPlacementDepth) return;
    for (DisplayObject& o : list) {
        if (o.textField && timeline) BindTextField(*o.textField, timeline);
        if (!o.children.empty()) BindTextFields(o.children, o.clip ? o.clip : timeline, nesting + 1);
    }
}

void ScriptHost::BindTextField(text::TextField& field, script::Object* timeline) {
    if (field.Variable().empty()) return;
    std::string target, name = field.Variable();
    script::Object* owner = timeline;
    if (vm_->SplitVariablePath(field.Variable(), target, name)) owner = vm_->ResolvePath(timeline, target);
    if (!owner || name.empty()) return;
    try {
        script::Value value = vm_->Get(owner, name);
        if (value.IsUndefined())
            vm_->Set(owner, name, script::Value(field.Text()));
        else
            field.ShowVariable(vm_->ToString(value));
    } catch (const script::Halt&) {
        // A getter or toString that ran out of time: the field stays as it is.
    }
}

} // namespace movie
