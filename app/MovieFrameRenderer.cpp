#include "app/MovieFrameRenderer.h"

#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <algorithm>
#include <cstring>
#include <thread>

// Every core of the machine draws bands of the frame (the pixels come out
// the same however many do).
MovieFrameRenderer::MovieFrameRenderer() : renderer_(std::make_unique<movie::render::Renderer>()) {
    renderer_->SetThreads(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}
MovieFrameRenderer::~MovieFrameRenderer() = default;

bool MovieFrameRenderer::Render(const movie::Player& player, std::optional<std::uint32_t> background,
                                FrameSurface& surface, bool force, RECT& changed) {
    std::optional<movie::RGBA> over;
    if (background)
        over = movie::RGBA{static_cast<std::uint8_t>(*background >> 16),
                           static_cast<std::uint8_t>(*background >> 8),
                           static_cast<std::uint8_t>(*background), 255};
    if (renderer_->BackgroundOverride() != over) renderer_->SetBackgroundOverride(over);
    if (force) renderer_->Invalidate();
    if (!renderer_->Render(player, surface.Width(), surface.Height())) return false;

    // The renderer's frame has the picture's byte order: copy the changed rows.
    movie::raster::IRect dirty = renderer_->DirtyRect();
    const auto& frame = renderer_->Frame();
    dirty.x0 = std::max(dirty.x0, 0);
    dirty.y0 = std::max(dirty.y0, 0);
    dirty.x1 = std::min(dirty.x1, std::min(frame.Width(), surface.Width()));
    dirty.y1 = std::min(dirty.y1, std::min(frame.Height(), surface.Height()));
    changed = RECT{dirty.x0, dirty.y0, dirty.x1, dirty.y1};
    if (dirty.Empty()) return false;
    const std::size_t bytes = static_cast<std::size_t>(dirty.x1 - dirty.x0) * 4;
    for (int y = dirty.y0; y < dirty.y1; ++y)
        std::memcpy(surface.Pixels() + static_cast<std::size_t>(y) * surface.Width() + dirty.x0,
                    frame.Row(y) + dirty.x0, bytes);
    return true;
}

bool MovieFrameRenderer::Draw(const movie::Player* player, std::optional<std::uint32_t> background,
                              std::uint32_t emptyPixel, FrameSurface& surface, int width, int height,
                              bool force, RECT& changed) {
    width = std::max(0, width);
    height = std::max(0, height);
    bool resized = width != surface.Width() || height != surface.Height();
    surface.Resize(width, height);
    changed = RECT{0, 0, width, height};
    if (surface.Empty()) return false;
    if (!player) {
        surface.Fill(emptyPixel);
        return true;
    }
    return Render(*player, background, surface, force || resized, changed);
}
