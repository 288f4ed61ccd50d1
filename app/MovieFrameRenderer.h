// Draws a player's current frame into the movie control's off-screen
// picture: the whole stage scaled to fit and centred, the rest of the
// picture in the background colour. The renderer draws straight into the
// picture's bitmap, and only what changed.
#pragma once

#include "app/FrameSurface.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace movie {
class Player;
namespace render {
class Renderer;
}
} // namespace movie

class MovieFrameRenderer {
  public:
    MovieFrameRenderer();
    ~MovieFrameRenderer();

    // background: 0xRRGGBB in place of the movie's own, when set. force
    // redraws everything (a new picture, another movie). Returns false when
    // the frame looks as the one drawn last; otherwise `changed` is the part
    // of the picture that was redrawn.
    bool Render(const movie::Player& player, std::optional<std::uint32_t> background, FrameSurface& surface,
                bool force, RECT& changed);
    // Sizes the picture to width × height and draws the player's frame into
    // it, or fills it with `emptyPixel` (0xAARRGGBB) when there is no player.
    // A new size redraws everything. Same answer and `changed` as Render.
    bool Draw(const movie::Player* player, std::optional<std::uint32_t> background, std::uint32_t emptyPixel,
              FrameSurface& surface, int width, int height, bool force, RECT& changed);

  private:
    std::unique_ptr<movie::render::Renderer> renderer_;
};
