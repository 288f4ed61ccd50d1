// Reads the tags of an uncompressed movie body into a Movie: the header's
// stage, rate and frame count, the dictionary, and each timeline's frames.
// A tag that breaks the format throws MovieError naming the tag and offset;
// a file that ends early keeps what it held, with a warning.
#pragma once

#include "movie/Movie.h"
#include "movie/SwfStream.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace movie {

class TagReader {
public:
    // `data` is the whole file with its body uncompressed (ContainerDecoder).
    TagReader(Movie& movie, std::span<const uint8_t> data) : movie_(movie), data_(data) {}

    void ReadMovie();

private:
    using CharacterData = decltype(Character::data);

    void Warn(const std::string& tag, size_t offset, const std::string& what);
    void ReadTimeline(SwfStream& in, Timeline& timeline, int nesting);
    void PushFrame(Timeline& timeline, Frame& frame, size_t offset);
    void Define(uint16_t id, CharacterData data);
    // Counts a tag the player does not play.
    void Skip(uint16_t code, size_t bytes);
    void AddBitmap(uint16_t id, Bitmap&& bitmap, size_t tagAt, uint16_t code);
    void ReadTag(uint16_t code, SwfStream& in, Timeline& timeline, Frame& frame, int nesting);
    PlaceObject ReadPlace(SwfStream& in, uint16_t code);
    void ReadClipActions(SwfStream& in, PlaceObject& p);
    void ReadFont1(SwfStream& in);
    Shape GlyphAt(std::span<const uint8_t> table, const SwfStream& t, size_t from, size_t to);
    void ReadFont23(SwfStream& in, bool font3);
    void ReadFontInfo(SwfStream& in);
    void ReadText(SwfStream& in, bool withAlpha);
    void ReadEditText(SwfStream& in);
    void ReadButton(SwfStream& in, bool button2);

    Movie& movie_;
    std::span<const uint8_t> data_;
    std::vector<uint8_t> jpegTables_;
    bool backgroundSet_ = false; // the first SetBackgroundColor holds
    uint64_t bitmapPixels_ = 0;
};

} // namespace movie
