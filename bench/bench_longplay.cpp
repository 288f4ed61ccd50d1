// Plays and draws the demo and every reference movie for 100,000 frames each
// (or the count given) and prints the heap's live bytes and the process's
// resident memory after the first 1,000 frames and at the end.
//   bench_longplay [FRAMES] [DEMO]
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 100000;
    std::vector<fs::path> list;
    if (argc > 2) list.push_back(argv[2]);
    std::vector<fs::path> references;
    for (const auto& entry : fs::directory_iterator(fs::path(NIMBRE_SHARED_DIR) / "swf-reference"))
        if (fs::exists(entry.path() / "test.swf")) references.push_back(entry.path() / "test.swf");
    std::sort(references.begin(), references.end());
    list.insert(list.end(), references.begin(), references.end());
    std::printf("%-28s %12s %12s %9s %9s %8s\n", "movie", "heap@1000", "heap@end", "rss@1000", "rss@end",
                "seconds");
    int grown = 0;
    for (const fs::path& path : list) {
        auto start = std::chrono::steady_clock::now();
        movie::Player player(movie::MovieReader::Load(path.string()));
        movie::render::Renderer renderer;
        std::size_t heapEarly = 0;
        long rssEarly = 0;
        for (long f = 0; f < frames; ++f) {
            player.Step();
            renderer.Render(player, 320, 240);
            if (f == 999) {
                heapEarly = mallinfo2().uordblks;
                rssEarly = residentKiB();
            }
        }
        std::size_t heapEnd = mallinfo2().uordblks;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::string name = path.parent_path().filename().string();
        if (name.empty() || path.filename() != "test.swf") name = path.filename().string();
        std::printf("%-28s %12zu %12zu %9ld %9ld %8.1f\n", name.c_str(), heapEarly, heapEnd, rssEarly,
                    residentKiB(), seconds);
        std::fflush(stdout);
        if (heapEnd > heapEarly + heapEarly / 100) ++grown;
    }
    std::printf("%d of %zu movies grew by more than 1 %% after frame 1000\n", grown, list.size());
    return grown ? 1 : 0;
}
