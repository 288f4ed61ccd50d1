#include "app/MovieFrameRenderer.h"

#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <algorithm>
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
    // The picture has the renderer's byte order: it draws straight into it,
    // only what changed.
    renderer_->LendFrame(surface.Pixels(), surface.Width(), surface.Height(), surface.Width());
    if (force) renderer_->Invalidate();
    if (!renderer_->Render(player, surface.Width(), surface.Height())) return false;
    movie::raster::IRect dirty = renderer_->DirtyRect().Intersect({0, 0, surface.Width(), surface.Height()});
    changed = RECT{dirty.x0, dirty.y0, dirty.x1, dirty.y1};
    return !dirty.Empty();
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
        renderer_->Invalidate(); // the picture no longer holds its last frame
        return true;
    }
    return Render(*player, background, surface, force || resized, changed);
}
