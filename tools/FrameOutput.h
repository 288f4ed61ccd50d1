// Where swfrender's --out goes: draws the player's current frame and writes
// it as a PNG. Provided by the renderer.
#pragma once

#include "movie/Player.h"

#include <string>

namespace tools {

// Renders `player`'s current frame at width x height pixels (0 x 0 = the
// stage size) into the PNG file `path`. Returns the process exit status:
// 0 on success; otherwise prints why to stderr.
int WriteFramePng(const movie::Player& player, const std::string& path, int width, int height);

} // namespace tools
