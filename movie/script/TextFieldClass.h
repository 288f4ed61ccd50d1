// Text fields as scripts see them (the TextField class: placed DefineEditText
// fields and those createTextField makes) and the TextFormat class that
// reads and changes their formats.
#pragma once

#include "movie/script/PlacedObject.h"
#include "movie/text/TextFormat.h"

#include <functional>
#include <string>
#include <vector>

namespace movie::script {

// One text field on the stage. Its properties (text, htmlText, autoSize,
// border, _x, _width, ...) read and change the field itself.
class TextFieldObject : public PlacedObject {
  public:
    bool GetSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool SetSpecial(Vm& vm, const std::string& name, const Value& v) override;
};

TextFieldObject* AsTextField(Object* o);

// A TextFormat object holding `formats` merged: a property on which they
// differ is null (as is every property of a TextFormat made by `new`).
Object* NewTextFormatObject(Vm& vm, const std::vector<text::TextFormat>& formats);
// What a TextFormat object says, as a change to make to a format: its
// properties that are not null or undefined. Reads the object once.
std::function<void(text::TextFormat&)> ReadTextFormat(Vm& vm, Object* format);

} // namespace movie::script
