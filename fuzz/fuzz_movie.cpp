// Fuzz target: read a movie, then play it and query the timeline the way
// the movie control does, decoding and mixing its sound and laying out its
// text fields as it goes. Only MovieError may come out of the reader.
#include "movie/MovieError.h"
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/audio/MovieSound.h"
#include "movie/render/FilterRecords.h"
#include "movie/render/Renderer.h"
#include "movie/text/FreeTypeFonts.h"
#include "movie/text/TextField.h"

#include <cstddef>
#include <cstdint>

namespace {

// Reads every field the renderer will read, so the sanitizers see them.
uint64_t Walk(const movie::DisplayObjects& list, int depth) {
    uint64_t sum = 0;
    for (const movie::DisplayObject& o : list) {
        sum += o.depth + o.characterId + o.ratio + o.clipDepth + static_cast<int>(o.character->Kind());
        if (o.morphed)
            for (const auto& g : o.morphed->groups)
                for (const auto& p : g.paths) {
                    sum += p.segments.size();
                    if (p.fill0) sum += g.fills.at(p.fill0 - 1).color.r;
                    if (p.fill1) sum += g.fills.at(p.fill1 - 1).color.g;
                    if (p.line) sum += g.lines.at(p.line - 1).width;
                }
        if (o.timeline) sum += o.currentFrame < o.timeline->FrameCount() ? 1 : 1000000;
        if (o.textField) {
            // Text fields: their text read back as HTML, wrapped, sized and scrolled.
            movie::text::TextField& field = *o.textField;
            sum += field.LaidOut(nullptr).glyphs.size();
            field.SetHtml(true);
            field.SetHtmlText(field.Text());
            field.SetWordWrap(!field.WordWrap());
            field.SetAutoSize(movie::text::AutoSize::Center);
            field.SetScroll(field.Scroll() + 1);
            sum += field.LaidOut(nullptr).lineCount + field.HtmlText().size();
        }
        sum += Walk(o.children, depth + 1);
    }
    return sum;
}

// Caches, opaque backgrounds, scroll rectangles, blend modes and filters
// (records of the input's bytes, of any kind) as scripts set them, chosen by
// the input's bytes.
void Decorate(movie::DisplayObjects& list, const uint8_t* data, size_t size, size_t& at) {
    for (movie::DisplayObject& o : list) {
        auto next = [&] { return data[at++ % size]; };
        const uint8_t b = next();
        o.cacheAsBitmap = b & 1;
        if (b & 2) o.opaqueBackground = movie::RGBA{next(), next(), next(), 255};
        if (b & 4) {
            const int32_t x = int8_t(next()) * 40, y = int8_t(next()) * 40;
            o.scrollRect = movie::Rect{x, x + next() * 20, y, y + next() * 20};
        }
        if (b & 8) o.blendMode = static_cast<movie::BlendMode>(next() % 16);
        if (b & 16) {
            movie::Filter f;
            f.kind = static_cast<movie::FilterKind>(next() % 8);
            for (int n = next() % 64; n > 0; --n)
                f.data.push_back(next());
            std::vector<movie::raster::FilterSpec> specs(o.filters.begin(), o.filters.end());
            if (auto spec = movie::render::DecodeFilter(f)) specs.push_back(std::move(*spec));
            o.filters = movie::raster::FilterList(std::move(specs));
        }
        Decorate(o.children, data, size, at);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::shared_ptr<const movie::Movie> m;
    try {
        m = movie::MovieReader::Read({data, size}, "fuzz.swf");
    } catch (const movie::MovieError&) {
        return 0;
    }
    // Every path's style indices stay within its group.
    for (const auto& [id, c] : m->dictionary.All())
        if (const auto* shape = std::get_if<movie::Shape>(&c->data))
            for (const auto& g : shape->groups)
                for (const auto& p : g.paths)
                    if (p.fill0 > g.fills.size() || p.fill1 > g.fills.size() || p.line > g.lines.size())
                        __builtin_trap();

    // Scripts run too, with a small budget so that a looping one costs little.
    movie::Player player(
        m,
        [](const std::string& line) {
            volatile size_t n = line.size();
            (void)n;
        },
        std::chrono::milliseconds(20));
    // Text fields without embedded fonts are drawn with the machine's own.
    static const auto fonts = std::make_shared<movie::text::FreeTypeFonts>();
    player.SetDeviceFonts(fonts);
    movie::audio::MovieSound sound(m);
    int16_t mixed[2 * 512];
    volatile uint64_t sink = Walk(player.DisplayList(), 0);
    for (int i = 0; i < 6; ++i) {
        sound.Update(player);
        sound.Mix(mixed, 512);
        player.Step();
        // The device runs ahead of the frames: they catch up with the stream, within bounds.
        if (sound.KeepWithStream(player, size_t(i) * 100) > movie::Limits::kMaxStepsPerAdvance)
            __builtin_trap();
        sink = sink + Walk(player.DisplayList(), 0) + static_cast<uint64_t>(player.CurrentFrame()) +
               uint16_t(mixed[i]);
    }
    for (const auto& [id, s] : m->sounds)
        if (auto samples = sound.EventSound(id); samples && samples->size() % 2) __builtin_trap();
    int total = player.TotalFrames();
    player.GotoFrame(total / 2);
    player.GotoFrame(total + 5); // the last frame, unless its script jumps on
    if (player.CurrentFrame() < 0 || player.CurrentFrame() >= total) __builtin_trap();
    player.GotoFrame(1);
    player.SetLoop(false);
    player.Advance(0.25);
    player.Rewind();
    if (player.CurrentFrame() != 0 || player.IsPlaying()) __builtin_trap();
    sound.Update(player);
    sound.Mix(mixed, 512);
    if (sound.GetMixer().StreamPosition(0)) __builtin_trap(); // a stopped timeline's stream is silent
    sink = sink + Walk(player.DisplayList(), 0);

    // Draw a few frames small: whatever the shapes hold, drawing finishes;
    // then the same with bitmap caching, scroll rectangles, blend modes and
    // filters.
    movie::render::Renderer renderer;
    for (int i = 0; i < 4; ++i) {
        if (i == 2 && size > 0) {
            size_t at = size / 2;
            Decorate(const_cast<movie::DisplayObjects&>(player.DisplayList()), data, size, at);
        }
        renderer.Render(player, 48 + i * 16, 36);
        sink = sink + renderer.Frame().At(i, i);
        if (i != 2) player.Step();
    }
    return 0;
}
