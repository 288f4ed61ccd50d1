// Stand-in until the renderer lands: it replaces this file's body.
#include "tools/FrameOutput.h"

#include <iostream>

namespace tools {

int WriteFramePng(const movie::Player&, const std::string& path, int, int) {
    std::cerr << "swfrender: rendering not available; " << path << " not written\n";
    return 3;
}

} // namespace tools
