// Limits that keep an untrusted movie from taking unbounded time or memory.
// A file that goes past one of them is refused with an error that names the
// file, the tag and the byte offset (MovieError), except where noted.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace movie::Limits {

// Uncompressed movie size (header included), whatever the container: 128 MiB.
inline constexpr uint64_t kMaxMovieBytes = 128u << 20;
// Dictionary size liblzma may use to decode a "ZWS" file.
inline constexpr uint64_t kMaxLzmaMemory = 256u << 20;

// A bitmap's width and height, each, and its pixel count (64 MiB of RGBA).
inline constexpr uint32_t kMaxBitmapSide = 16384;
inline constexpr uint64_t kMaxBitmapPixels = 16u << 20;
// Pixels of all bitmaps of one movie together (256 MiB of RGBA).
inline constexpr uint64_t kMaxTotalBitmapPixels = 64u << 20;

// Stops of one gradient drawn (the shape format can say 15; a morph
// gradient can say 255, whose stops after the 15th are read and left out).
inline constexpr size_t kMaxGradientStops = 15;
// Records (edges and style changes) of one shape, glyph or morph shape.
inline constexpr size_t kMaxShapeRecords = 1u << 18;
// Sprite definitions inside sprite definitions.
inline constexpr int kMaxSpriteNesting = 8;
// Frames of one timeline (the main one or a sprite's).
inline constexpr uint32_t kMaxFrames = 16000;

// Decoded length of one sound (an event sound, or a timeline's whole stream),
// in sample frames at the mixer's 44.1 kHz: about 6.3 minutes, 64 MiB of
// 16-bit stereo; and of all sounds of a movie together, twice that. Not
// refused: a sound is cut where it reaches either, with a warning.
inline constexpr uint64_t kMaxSoundSamples = 1u << 24;
inline constexpr uint64_t kMaxTotalSoundSamples = 1u << 25;

// Player, not refused at load: levels of display lists of placed sprites
// and buttons below the main one (deeper ones stay empty), display objects alive at once
// in one player (further placements are ignored), and jumps made by scripts
// whose target frame's script runs within one frame step or call (further
// jumps still move, but their target's script is not run).
inline constexpr int kMaxPlacementDepth = 64;
inline constexpr size_t kMaxDisplayObjects = 100000;
inline constexpr int kMaxActionChain = 64;
// Frame steps one Advance() call runs, however much time it is given.
inline constexpr int kMaxStepsPerAdvance = 64;

// Renderer, not refused: objects drawn off screen (for their filters, blend
// modes, bitmap caching or opaque backgrounds) nest this deep; one such
// layer or cached bitmap holds at most this many pixels (64 MiB) and no more
// than four times the frame's pixels and 256 K more, and the layers of one
// frame together at most this many (256 MiB); cached bitmaps are kept only
// while the frames go on drawing them. A layer beyond either is drawn as it
// is, without its filters, blend mode, cache or background. Blur sizes count
// at most 255 device pixels, shadow and bevel distances 2048, and blur
// passes (the quality) 15.
inline constexpr int kMaxLayerNesting = 16;
inline constexpr uint64_t kMaxLayerPixels = 16u << 20;
inline constexpr uint64_t kMaxFrameLayerPixels = 64u << 20;
inline constexpr float kMaxBlurPixels = 255;
inline constexpr float kMaxFilterDistance = 2048;
inline constexpr int kMaxBlurPasses = 15;
// The filters of one frame together make at most this many pixel passes
// (one pass of a blur, a shadow's or a colour matrix's over one pixel of a
// layer counts one, a convolution one per matrix cell) for each pixel of
// the frame, and this many more: nested layers that each blur all they hold
// stay within a frame's time. A filter that would go past them is left
// out, and so are those after it on the same object; cached layers drawn
// before cost nothing again.
inline constexpr uint64_t kFilterPassesPerFramePixel = 64;
inline constexpr uint64_t kFilterPassesPerFrame = 1u << 20;

// Scripts, not refused at load: a frame's scripts (handlers, timers and
// frame actions together) stop when they run longer than this; the movie goes
// on. Calls nest at most this deep (as in the original player). Script
// objects alive at once, elements of one array, and the length of one string.
inline constexpr std::chrono::milliseconds kScriptTimePerFrame{1000};
inline constexpr int kMaxCallDepth = 256;
// Native stack that nested script calls may take (sanitizer builds reach it
// before the call depth). The programs reserve 16 MiB of stack on Windows; a
// Linux thread has 8 MiB.
inline constexpr size_t kMaxScriptStackBytes = 6u << 20;
inline constexpr size_t kMaxScriptObjects = 2000000;
inline constexpr size_t kMaxArrayLength = 1u << 22;
inline constexpr size_t kMaxStringLength = 16u << 20;
// XML that scripts parse (its text is at most a string's length): elements
// nest at most this deep and one document holds at most this many nodes;
// past either the parse stops with the player's out-of-memory status (-7),
// keeping what it has read.
inline constexpr int kMaxXmlNesting = 1024;
inline constexpr size_t kMaxXmlNodes = 1u << 20;
// Bitmaps that scripts make (BitmapData): each at most 2880 pixels on a
// side, as in the original player, and all alive at once at most 32 M
// pixels (128 MiB); a bitmap beyond is made disposed. Edges drawn with the
// drawing API into one clip: those beyond the shape limit are dropped.
inline constexpr uint32_t kMaxScriptBitmapSide = 2880;
inline constexpr uint64_t kMaxScriptBitmapPixels = 32u << 20;

// Text fields, not refused: characters one field lays out (the rest are
// kept but not shown), and its largest font size in pixels (a field's own
// size is at most 65535 twips; larger HTML and script sizes are cut to it).
inline constexpr size_t kMaxTextFieldCharacters = 1u << 18;
inline constexpr double kMaxFontSize = 65535 / 20.0;

} // namespace movie::Limits
