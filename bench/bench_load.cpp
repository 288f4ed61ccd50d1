// Load time per MiB of movie over the shared corpus: the whole read (container,
// tags, shapes, bitmaps) against unpacking the container alone.
//   bench_load [CORPUS_DIR] [REPEATS]
#include "movie/ContainerDecoder.h"
#include "movie/MovieError.h"
#include "movie/MovieReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    fs::path dir = argc > 1 && *argv[1] ? fs::path(argv[1]) : fs::path(NIMBRE_SHARED_DIR) / "swf-corpus";
    int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    struct Item {
        std::string name;
        std::vector<uint8_t> bytes;
        size_t plain = 0;
    };
    std::vector<Item> items;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".swf") continue;
        std::ifstream f(e.path(), std::ios::binary);
        Item item{e.path().filename().string(), {std::istreambuf_iterator<char>(f), {}}};
        try {
            movie::Header h;
            std::vector<std::string> warnings;
            item.plain = movie::ContainerDecoder::Decode(item.bytes, item.name, h, warnings).size();
            movie::MovieReader::Read(item.bytes, item.name);
            items.push_back(std::move(item));
        } catch (const movie::MovieError&) {
            // the broken files of the corpus
        }
    }
    double fileMiB = 0, plainMiB = 0;
    for (const Item& i : items) fileMiB += i.bytes.size() / 1048576.0, plainMiB += i.plain / 1048576.0;

    auto time = [&](auto&& body) {
        auto t0 = Clock::now();
        for (int r = 0; r < repeats; ++r)
            for (const Item& i : items) body(i);
        return std::chrono::duration<double>(Clock::now() - t0).count() / repeats;
    };
    double unpack = time([](const Item& i) {
        movie::Header h;
        std::vector<std::string> w;
        movie::ContainerDecoder::Decode(i.bytes, i.name, h, w);
    });
    double read = time([](const Item& i) { movie::MovieReader::Read(i.bytes, i.name); });

    std::printf("movies: %zu, %.3f MiB as stored, %.3f MiB unpacked, %d repeats\n", items.size(), fileMiB, plainMiB,
                repeats);
    std::printf("read:   %.3f ms per pass, %.2f ms per MiB stored, %.2f ms per MiB unpacked\n", read * 1e3,
                read * 1e3 / fileMiB, read * 1e3 / plainMiB);
    std::printf("unpack: %.3f ms per pass (container only)\n", unpack * 1e3);
    std::printf("ratio read / unpack: %.2f\n", read / unpack);

    // Where the time goes: the five slowest movies.
    std::vector<std::pair<double, const Item*>> each;
    for (const Item& i : items) {
        auto t0 = Clock::now();
        for (int r = 0; r < repeats; ++r) movie::MovieReader::Read(i.bytes, i.name);
        each.emplace_back(std::chrono::duration<double>(Clock::now() - t0).count() / repeats, &i);
    }
    std::sort(each.begin(), each.end(), [](auto& a, auto& b) { return a.first > b.first; });
    for (size_t k = 0; k < each.size() && k < 5; ++k)
        std::printf("  %-40s %8.1f us  (%6zu bytes)\n", each[k].second->name.c_str(), each[k].first * 1e6,
                    each[k].second->bytes.size());
    return 0;
}
