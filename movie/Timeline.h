// A timeline as read from the file: frames of display-list tags and actions.
// The main movie and every sprite have one. Played by Player.
#pragma once

#include "movie/Effects.h"
#include "movie/Geometry.h"
#include "movie/audio/SoundData.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace movie {

// A filter as read: its kind and its parameter bytes as the file has them
// (kept for a later renderer; not applied yet).
struct Filter {
    FilterKind kind = FilterKind::Blur;
    std::vector<uint8_t> data;
    friend bool operator==(const Filter&, const Filter&) = default;
};

// Action bytecode of one DoAction, DoInitAction or clip event handler.
using Bytecode = std::shared_ptr<const std::vector<uint8_t>>;

// An onClipEvent handler of a placed sprite: the events it answers (the
// file's flag bits) and its actions.
struct ClipAction {
    uint32_t events = 0;
    uint8_t keyCode = 0;
    Bytecode code;
    friend bool operator==(const ClipAction&, const ClipAction&) = default;
};

// PlaceObject 1-3. Absent optionals leave the object's value unchanged when
// `move` is set; on a fresh placement they take the defaults.
struct PlaceObject {
    uint16_t depth = 0;
    bool move = false; // modify (or, with a character, replace) what sits at depth
    std::optional<uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth; // this object masks depths (depth, clipDepth]
    std::optional<BlendMode> blendMode;
    std::optional<std::vector<Filter>> filters;
    std::optional<bool> cacheAsBitmap;
    std::optional<RGBA> opaqueBackground;
    std::optional<bool> visible;
    std::vector<ClipAction> clipActions;
};

// RemoveObject 1-2.
struct RemoveObject {
    uint16_t depth = 0;
};

// One timeline-control action of DoAction. Other actions are dropped.
struct Action {
    enum class Kind : uint8_t {
        Stop,
        Play,
        NextFrame,
        PreviousFrame,
        GotoFrame,  // `frame`
        GotoLabel,  // `label`
        GotoFrame2, // `frame` (constant argument) + `play`
    };
    Kind kind = Kind::Stop;
    uint32_t frame = 0; // 0-based
    std::string label;
    bool play = false; // GotoFrame2: play after the jump (else stop)
};

using DisplayTag = std::variant<PlaceObject, RemoveObject>;

struct Frame {
    std::vector<DisplayTag> tags;   // in file order
    std::vector<Action> actions;    // in file order, run after the tags
    std::vector<Bytecode> scripts;  // each DoAction's bytecode, in file order
    std::vector<uint32_t> scriptAt; // per script: how many of `tags` come before it
    // DoInitAction: a sprite's initialisation actions, run once before the
    // frame's other scripts.
    std::vector<std::pair<uint16_t, Bytecode>> initScripts;
    std::string label;                               // FrameLabel; empty if none
    std::vector<StartSound> sounds;                  // StartSound, in file order
    std::optional<std::vector<uint8_t>> streamBlock; // SoundStreamBlock of the timeline's stream
};

struct Timeline {
    std::vector<Frame> frames;                 // at least one frame once read
    std::map<std::string, uint32_t> labels;    // label -> 0-based frame
    std::optional<SoundStreamHead> streamHead; // the timeline's sound stream, if it has one
    // Ended by an End tag right after a ShowFrame; a sprite that is not stays on its last frame.
    bool complete = true;

    uint32_t FrameCount() const { return static_cast<uint32_t>(frames.size()); }
};

} // namespace movie
