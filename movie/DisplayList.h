// What the player shows: objects placed on a timeline, ordered by depth.
// The renderer walks Player::DisplayList() and, for sprites and buttons,
// each object's `children` recursively.
#pragma once

#include "movie/Character.h"
#include "movie/Drawing.h"
#include "movie/Geometry.h"
#include "movie/Timeline.h"
#include "movie/raster/Filters.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace movie {

namespace script {
class Object;
}
namespace text {
class TextField;
}

// One placed character.
//
// Drawing: an object's transform is parent matrix * `matrix` (twips), its
// colour transform parent cxform * `colorTransform`. Shapes are drawn as
// they are, morph shapes as `morphed` (the player rebuilds it whenever the
// ratio changes; without it, as the morph at `ratio`), texts with their
// fonts from the dictionary, text fields as `textField` lays them out, sprites and buttons by drawing
// `children` in order. Bitmaps are not placed on their own: shapes show them through bitmap fills.
//
// Objects with visible == false are not drawn (nor their children).
//
// Masks: an object with clipDepth > 0 is not drawn; its shape (its fills,
// with full coverage wherever any fill is) clips the objects of the same
// list whose depth lies in (depth, clipDepth]. A sprite that scripts made
// the mask of another (`maskedBy`, anywhere in the tree) is not drawn
// either; the other is drawn through it where it stands on the stage.
struct DisplayObject {
    int32_t depth = 0;        // the timeline's depth; scripts count from 16384 lower
    uint32_t placedFrame = 0; // frame of its timeline that placed it (kept over jumps back)
    uint16_t characterId = 0;
    std::shared_ptr<const Character> character; // never null
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;
    BlendMode blendMode = BlendMode::Normal;
    raster::FilterList filters; // decoded when set, from a placement or a script
    // Bitmap caching: the object drawn off screen and laid on at whole
    // pixels, over its bounds filled with `opaqueBackground` when it has one.
    bool cacheAsBitmap = false;
    std::optional<RGBA> opaqueBackground;
    // Scripts' scrollRect: the content moved by -(x, y) and cut to the
    // rectangle's size at the object's origin (twips of the object's space).
    std::optional<Rect> scrollRect;
    bool visible = true;

    // Text fields: their text, formats and layout, shared with the scripts.
    std::shared_ptr<text::TextField> textField;

    // What scripts drew into it (sprites) or the bitmap attached (shapes),
    // drawn before its children.
    std::shared_ptr<Drawing> drawing;
    // Sprites: the instance of the sprite or text field masking it (0 for
    // none); sprites and text fields: whether it masks another itself.
    uint32_t maskedBy = 0;
    bool masking = false;

    // Morph shapes: the shape at `ratio`, rebuilt whenever the ratio changes.
    std::shared_ptr<const Shape> morphed;

    // Sprites and buttons: their own display list, ordered by depth.
    std::vector<DisplayObject> children;
    // Sprites: their own timeline and where it stands.
    const Timeline* timeline = nullptr;
    uint32_t currentFrame = 0;
    bool playing = true;
    // Sprites and text fields: a number of its own in the player (the main
    // timeline is 0), kept while the object lives; a sprite's sound stream
    // goes by it.
    uint32_t instance = 0;

    // Scripts: the sprite's script object (owned by the script machine),
    // whether a script made it (jumps back keep it), and its clip event
    // handlers.
    script::Object* clip = nullptr;
    bool scripted = false;
    // A script set its matrix or colour transform: the timeline's later
    // placements of it no longer do.
    bool transformedByScript = false;
    std::vector<ClipAction> clipActions;
};

using DisplayObjects = std::vector<DisplayObject>; // ordered by depth, no two alike

} // namespace movie
