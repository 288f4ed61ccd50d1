// The dictionary: every character a movie defines, by id.
#pragma once

#include "movie/Bitmap.h"
#include "movie/Font.h"
#include "movie/MorphShape.h"
#include "movie/Shape.h"
#include "movie/Timeline.h"

#include <cstdint>
#include <map>
#include <memory>
#include <variant>
#include <vector>

namespace movie {

// DefineButton 1-2: its records; the player shows the up-state ones.
struct ButtonRecord {
    uint16_t characterId = 0;
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform; // DefineButton2 only; identity otherwise
    bool up = false, over = false, down = false, hitTest = false;
    BlendMode blendMode = BlendMode::Normal;
    std::vector<Filter> filters;
};

struct Button {
    std::vector<ButtonRecord> records;
};

// DefineSprite: a movie clip with its own timeline.
struct Sprite {
    Timeline timeline;
};

// DefineVideoStream: where a video stands and its size; its frames are not
// played, so it shows nothing.
struct Video {
    uint16_t width = 0, height = 0; // pixels
};

enum class CharacterKind : uint8_t { Shape, MorphShape, Bitmap, Font, Text, Button, Sprite, EditText, Video };

struct Character {
    uint16_t id = 0;
    // Index of the alternative = CharacterKind.
    std::variant<Shape, MorphShape, Bitmap, Font, Text, Button, Sprite, EditText, Video> data;

    CharacterKind Kind() const { return static_cast<CharacterKind>(data.index()); }
};

// Characters by id; a later definition of an id replaces the earlier one.
class Dictionary {
public:
    void Add(std::shared_ptr<const Character> character) { characters_[character->id] = std::move(character); }
    // nullptr when no character has that id.
    const Character* Find(uint16_t id) const {
        auto it = characters_.find(id);
        return it == characters_.end() ? nullptr : it->second.get();
    }
    std::shared_ptr<const Character> Get(uint16_t id) const {
        auto it = characters_.find(id);
        return it == characters_.end() ? nullptr : it->second;
    }
    template <class T> const T* FindAs(uint16_t id) const {
        const Character* c = Find(id);
        return c ? std::get_if<T>(&c->data) : nullptr;
    }
    size_t Size() const { return characters_.size(); }
    size_t Count(CharacterKind kind) const {
        size_t n = 0;
        for (const auto& [id, c] : characters_) n += c->Kind() == kind;
        return n;
    }
    const std::map<uint16_t, std::shared_ptr<const Character>>& All() const { return characters_; }

private:
    std::map<uint16_t, std::shared_ptr<const Character>> characters_;
};

} // namespace movie
