// A loaded movie: header, dictionary, main timeline and what the reader
// skipped. Immutable once read; shared by the players that play it.
#pragma once

#include "movie/Character.h"
#include "movie/Geometry.h"
#include "movie/Timeline.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace movie {

enum class Compression : uint8_t { None, Zlib, Lzma }; // "FWS", "CWS", "ZWS"

struct Header {
    Compression compression = Compression::None;
    uint8_t version = 0;
    uint32_t fileLength = 0; // uncompressed length the header declares
    Rect stage;              // twips
    double frameRate = 0;    // frames per second as the file says (8.8); may be 0
    uint16_t frameCount = 0; // as the file says; the timeline has the frames really present
};

// Tags the reader did not use, by tag code.
struct SkippedTag {
    std::string name; // e.g. "DefineSound", or "Tag123" for unknown codes
    uint32_t count = 0;
    uint64_t bytes = 0; // body bytes
};

struct Movie {
    std::string fileName; // as given to the reader, for messages
    Header header;
    RGBA background{255, 255, 255, 255}; // SetBackgroundColor; white when absent
    uint16_t maxRecursion = 0;            // ScriptLimits: levels of calls scripts may nest; 0 when absent
    Dictionary dictionary;
    Timeline timeline;
    std::map<uint16_t, SoundDefinition> sounds; // DefineSound, by id
    std::map<uint16_t, SkippedTag> skipped;
    std::map<std::string, uint16_t> exports;      // ExportAssets: symbol name -> character id
    std::map<std::string, uint32_t> exportFrames; // symbol name -> the main timeline's frame declaring it
    std::vector<std::string> warnings;            // recoverable problems (e.g. a truncated tail)

    // Any event sound, or a stream in any timeline.
    bool HasSound() const {
        if (!sounds.empty() || timeline.streamHead) return true;
        for (const auto& [id, c] : dictionary.All())
            if (const auto* sprite = std::get_if<Sprite>(&c->data); sprite && sprite->timeline.streamHead)
                return true;
        return false;
    }

    uint32_t SkippedCount() const {
        uint32_t n = 0;
        for (const auto& [code, s] : skipped)
            n += s.count;
        return n;
    }
};

} // namespace movie
