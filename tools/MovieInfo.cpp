#include "tools/MovieInfo.h"

#include "movie/Unsupported.h"

#include <iomanip>
#include <string>

namespace tools {

namespace {

const char* CompressionName(movie::Compression c) {
    switch (c) {
    case movie::Compression::None:
        return "none (FWS)";
    case movie::Compression::Zlib:
        return "zlib (CWS)";
    case movie::Compression::Lzma:
        return "LZMA (ZWS)";
    }
    return "?";
}

} // namespace

void PrintMovieInfo(const movie::Movie& m, std::ostream& out) {
    using movie::CharacterKind;
    const auto& h = m.header;
    const auto& d = m.dictionary;
    out << "file: " << m.fileName << "\n"
        << "version: " << int(h.version) << "\n"
        << "compression: " << CompressionName(h.compression) << "\n"
        << "length: " << h.fileLength << " bytes\n"
        << "stage: " << double(h.stage.Width()) / movie::kTwipsPerPixel << " x "
        << double(h.stage.Height()) / movie::kTwipsPerPixel << " px (twips " << h.stage.xMin << ".."
        << h.stage.xMax << ", " << h.stage.yMin << ".." << h.stage.yMax << ")\n"
        << "frame rate: " << h.frameRate << " fps\n"
        << "frames: " << m.timeline.FrameCount() << " (header says " << h.frameCount << ")\n"
        << "background: #" << std::hex << std::setfill('0') << std::setw(2) << int(m.background.r)
        << std::setw(2) << int(m.background.g) << std::setw(2) << int(m.background.b) << std::dec
        << std::setfill(' ') << "\n"
        << "shapes: " << d.Count(CharacterKind::Shape) << "\n"
        << "morph shapes: " << d.Count(CharacterKind::MorphShape) << "\n"
        << "bitmaps: " << d.Count(CharacterKind::Bitmap) << "\n"
        << "sprites: " << d.Count(CharacterKind::Sprite) << "\n"
        << "fonts: " << d.Count(CharacterKind::Font) << "\n"
        << "texts: " << d.Count(CharacterKind::Text) << "\n"
        << "buttons: " << d.Count(CharacterKind::Button) << "\n"
        << "labels: " << m.timeline.labels.size() << "\n"
        << "sounds: " << m.sounds.size() << "\n";
    for (const auto& [id, s] : m.sounds)
        out << "  sound " << id << ": " << s.format.Describe() << ", " << s.sampleCount << " samples, "
            << s.data.size() << " bytes\n";
    auto stream = [&](const movie::Timeline& t, const std::string& whose) {
        if (!t.streamHead) return;
        size_t blocks = 0, bytes = 0;
        for (const auto& f : t.frames)
            if (f.streamBlock) ++blocks, bytes += f.streamBlock->size();
        out << "  stream of " << whose << ": " << t.streamHead->format.Describe() << ", "
            << t.streamHead->samplesPerBlock << " samples per frame, " << blocks << " blocks, " << bytes
            << " bytes\n";
    };
    stream(m.timeline, "the main timeline");
    for (const auto& [id, c] : d.All())
        if (const auto* sprite = std::get_if<movie::Sprite>(&c->data))
            stream(sprite->timeline, "sprite " + std::to_string(id));
    out << "skipped tags: " << m.SkippedCount() << "\n";
    for (const auto& [code, s] : m.skipped)
        out << "  " << s.name << " (" << code << "): " << s.count << " tag(s), " << s.bytes << " bytes\n";
    for (const auto& w : m.warnings)
        out << "warning: " << w << "\n";
    auto unsupported = movie::FindUnsupported(m);
    if (unsupported.empty()) {
        out << "not supported yet: none found\n";
    } else {
        out << "not supported yet (drawn or played without them):\n";
        for (const auto& u : unsupported)
            out << "  " << u.what << ": " << u.count << " " << u.unit << "\n";
    }
}

} // namespace tools
