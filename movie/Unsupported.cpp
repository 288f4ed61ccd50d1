#include "movie/Unsupported.h"

#include "movie/SwfCodes.h"

#include <map>

namespace movie {

bool Draws(BlendMode) {
    return true; // every mode a placement can name
}

bool Draws(FilterKind) {
    return true; // every filter a placement can carry
}

const char* BlendModeName(BlendMode mode) {
    switch (mode) {
    case BlendMode::Normal:
        return "normal";
    case BlendMode::Layer:
        return "layer";
    case BlendMode::Multiply:
        return "multiply";
    case BlendMode::Screen:
        return "screen";
    case BlendMode::Lighten:
        return "lighten";
    case BlendMode::Darken:
        return "darken";
    case BlendMode::Difference:
        return "difference";
    case BlendMode::Add:
        return "add";
    case BlendMode::Subtract:
        return "subtract";
    case BlendMode::Invert:
        return "invert";
    case BlendMode::Alpha:
        return "alpha";
    case BlendMode::Erase:
        return "erase";
    case BlendMode::Overlay:
        return "overlay";
    case BlendMode::HardLight:
        return "hard light";
    }
    return "unknown";
}

const char* FilterName(FilterKind kind) {
    switch (kind) {
    case FilterKind::DropShadow:
        return "drop shadow";
    case FilterKind::Blur:
        return "blur";
    case FilterKind::Glow:
        return "glow";
    case FilterKind::Bevel:
        return "bevel";
    case FilterKind::GradientGlow:
        return "gradient glow";
    case FilterKind::Convolution:
        return "convolution";
    case FilterKind::ColorMatrix:
        return "color matrix";
    case FilterKind::GradientBevel:
        return "gradient bevel";
    }
    return "unknown";
}

namespace {

// Skipped tags that stand for a missing feature, not for data of no use here.
struct SkippedFeature {
    uint16_t code;
    const char* what;
};
constexpr SkippedFeature kSkippedFeatures[] = {
    {tag::kDoAbc, "ActionScript 3 code"},
    {72, "ActionScript 3 code"}, // the early form of DoABC
    {tag::kDoInitAction, "ActionScript sprite initialisation"},
    {tag::kDefineVideoStream, "video"},
    {tag::kVideoFrame, "video frames"},
    {tag::kDefineFont4, "OpenType (DefineFont4) fonts"},
    {tag::kDefineScalingGrid, "scaling grids"},
};

void CountPlacements(const Timeline& t, std::map<BlendMode, uint32_t>& blends,
                     std::map<FilterKind, uint32_t>& filters) {
    for (const Frame& f : t.frames)
        for (const DisplayTag& d : f.tags) {
            const auto* p = std::get_if<PlaceObject>(&d);
            if (!p) continue;
            if (p->blendMode && !Draws(*p->blendMode)) ++blends[*p->blendMode];
            if (p->filters)
                for (const Filter& filter : *p->filters)
                    if (!Draws(filter.kind)) ++filters[filter.kind];
        }
}

} // namespace

std::vector<UnsupportedUse> FindUnsupported(const Movie& m) {
    std::vector<UnsupportedUse> out;
    auto add = [&](std::string what, uint32_t count, const char* unit) {
        for (auto& u : out)
            if (u.what == what) {
                u.count += count;
                return;
            }
        out.push_back({std::move(what), count, unit});
    };
    for (const auto& f : kSkippedFeatures)
        if (auto it = m.skipped.find(f.code); it != m.skipped.end()) add(f.what, it->second.count, "tags");
    std::map<std::string, uint32_t> codecs;
    for (const auto& [id, s] : m.sounds)
        if (!s.format.Playable()) ++codecs[s.format.CodecName()];
    std::map<BlendMode, uint32_t> blends;
    std::map<FilterKind, uint32_t> filters;
    CountPlacements(m.timeline, blends, filters);
    if (m.timeline.streamHead && !m.timeline.streamHead->format.Playable())
        ++codecs[m.timeline.streamHead->format.CodecName()];
    for (const auto& [id, c] : m.dictionary.All())
        if (const auto* sprite = std::get_if<Sprite>(&c->data)) {
            CountPlacements(sprite->timeline, blends, filters);
            if (sprite->timeline.streamHead && !sprite->timeline.streamHead->format.Playable())
                ++codecs[sprite->timeline.streamHead->format.CodecName()];
        } else if (const auto* button = std::get_if<Button>(&c->data)) {
            for (const ButtonRecord& r : button->records) {
                if (!Draws(r.blendMode)) ++blends[r.blendMode];
                for (const Filter& filter : r.filters)
                    if (!Draws(filter.kind)) ++filters[filter.kind];
            }
        }
    for (const auto& [name, n] : codecs)
        add(name + " sound", n, "sounds");
    for (const auto& [mode, n] : blends)
        add(std::string("blend mode: ") + BlendModeName(mode), n, "placements");
    for (const auto& [kind, n] : filters)
        add(std::string("filter: ") + FilterName(kind), n, "placements");
    return out;
}

} // namespace movie
