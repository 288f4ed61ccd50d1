// Draws the player's current frame with the engine's renderer and writes it
// as a PNG.
#include "tools/FrameOutput.h"

#include "movie/render/Renderer.h"
#include "tools/PngFile.h"

#include <algorithm>
#include <iostream>

namespace tools {

int WriteFramePng(const movie::Player& player, const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) {
        movie::Rect stage = player.Stage();
        width = std::max(1, (stage.Width() + movie::kTwipsPerPixel / 2) / movie::kTwipsPerPixel);
        height = std::max(1, (stage.Height() + movie::kTwipsPerPixel / 2) / movie::kTwipsPerPixel);
    }
    movie::render::Renderer renderer;
    renderer.SetThreads(2);
    renderer.Render(player, width, height);
    if (!WritePng(path, renderer.FrameRGBA(), width, height)) {
        std::cerr << "swfrender: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}

} // namespace tools
