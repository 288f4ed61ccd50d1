// Rendering speed and memory at 1920 x 1080: the demo movie, a generated
// movie of twenty blurred, glowing sprites blended over a gradient, every
// reference movie and the peer suite's filter and blend movies, drawn by
// our renderer on one and two threads and, in the same run, by cairo
// filling the same flattened outlines with the same paints and its default
// anti-aliasing. Prints a table of median milliseconds per frame and ratios.
//
//   bench_render [FRAMES [NAME]]   (default 100 frames; NAME: only movies whose name contains it,
//                                  and the demo's playing figures only when it is one of them)
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <cairo.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace fs = std::filesystem;
using namespace movie;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the calling thread: single-threaded work measured this way is
// not disturbed by other processes sharing the machine.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long PeakRssKiB() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// The scene's fills as cairo paths with their sources, made before any
// timing so that cairo is timed on drawing alone.
struct CairoFill {
    cairo_path_t* path = nullptr;
    cairo_fill_rule_t rule = CAIRO_FILL_RULE_WINDING;
    cairo_pattern_t* source = nullptr;
};

struct CairoFrame {
    double bg[3] = {0, 0, 0};
    std::vector<raster::Op> ops;
    std::vector<CairoFill> fills; // one per Fill op, in order
};

uint64_t KeyOf(float x, float y) {
    uint32_t a, b;
    std::memcpy(&a, &x, 4);
    std::memcpy(&b, &y, 4);
    return (uint64_t(a) << 32) | b;
}

// Edges chained end to start into closed polylines, as a cairo path.
cairo_path_t* PathOf(cairo_t* cr, const raster::EdgeList& edges) {
    const auto& lines = edges.Lines();
    std::unordered_multimap<uint64_t, size_t> byStart;
    for (size_t i = 0; i < lines.size(); ++i)
        byStart.emplace(KeyOf(lines[i].x0, lines[i].y0), i);
    std::vector<bool> used(lines.size());
    cairo_new_path(cr);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (used[i]) continue;
        size_t cur = i;
        cairo_move_to(cr, lines[cur].x0, lines[cur].y0);
        for (;;) {
            used[cur] = true;
            cairo_line_to(cr, lines[cur].x1, lines[cur].y1);
            auto range = byStart.equal_range(KeyOf(lines[cur].x1, lines[cur].y1));
            size_t next = SIZE_MAX;
            for (auto it = range.first; it != range.second; ++it)
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            if (next == SIZE_MAX) break;
            cur = next;
        }
        cairo_close_path(cr);
    }
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    return path;
}

// Cairo image surfaces of the movie's bitmaps, made once per image.
using SurfaceCache = std::unordered_map<const raster::Image*, cairo_surface_t*>;

cairo_pattern_t* SourceOf(const raster::Paint& p, SurfaceCache& surfaces) {
    using raster::PaintKind;
    auto rgba = [](raster::Pixel px, double& r, double& g, double& b, double& a) {
        a = raster::PixelA(px) / 255.0;
        double k = a > 0 ? 1.0 / (255.0 * a) : 0;
        r = raster::PixelR(px) * k;
        g = raster::PixelG(px) * k;
        b = raster::PixelB(px) * k;
    };
    if (p.kind == PaintKind::Solid) {
        double r, g, b, a;
        rgba(p.color, r, g, b, a);
        return cairo_pattern_create_rgba(r, g, b, a);
    }
    cairo_pattern_t* pat;
    if (p.kind == PaintKind::Image) {
        const raster::Image* img = p.image;
        cairo_surface_t*& s = surfaces[img];
        if (!s) {
            s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img->width, img->height);
            cairo_surface_flush(s);
            unsigned char* data = cairo_image_surface_get_data(s);
            int stride = cairo_image_surface_get_stride(s);
            for (int y = 0; y < img->height; ++y)
                for (int x = 0; x < img->width; ++x)
                    reinterpret_cast<uint32_t*>(data + y * stride)[x] = img->At(x, y);
            cairo_surface_mark_dirty(s);
        }
        pat = cairo_pattern_create_for_surface(s);
        cairo_pattern_set_extend(pat, p.repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(pat, p.smooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
    } else {
        if (p.kind == PaintKind::Linear)
            pat = cairo_pattern_create_linear(0, 0, 1, 0);
        else if (p.kind == PaintKind::Radial)
            pat = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
        else
            pat = cairo_pattern_create_radial(p.focal, 0, 0, 0, 0, 1);
        for (int i = 0; i <= 16; ++i) { // the same ramp, sampled
            double r, g, b, a;
            int idx = std::min(255, i * 16);
            rgba(p.lut[idx], r, g, b, a);
            cairo_pattern_add_color_stop_rgba(pat, idx / 255.0, r, g, b, a);
        }
        cairo_pattern_set_extend(pat, p.spread == raster::Spread::Pad      ? CAIRO_EXTEND_PAD
                                      : p.spread == raster::Spread::Repeat ? CAIRO_EXTEND_REPEAT
                                                                           : CAIRO_EXTEND_REFLECT);
    }
    // cairo's pattern matrix maps user (device) space to pattern space: ours.
    cairo_matrix_t m;
    cairo_matrix_init(&m, p.inverse.a, p.inverse.b, p.inverse.c, p.inverse.d, p.inverse.tx, p.inverse.ty);
    if (std::fabs(p.inverse.a * p.inverse.d - p.inverse.b * p.inverse.c) < 1e-12)
        cairo_matrix_init_identity(&m);
    cairo_pattern_set_matrix(pat, &m);
    return pat;
}

CairoFrame PrepareForCairo(cairo_t* cr, const raster::Scene& scene, SurfaceCache& surfaces) {
    CairoFrame frame;
    frame.bg[0] = raster::PixelR(scene.Background()) / 255.0;
    frame.bg[1] = raster::PixelG(scene.Background()) / 255.0;
    frame.bg[2] = raster::PixelB(scene.Background()) / 255.0;
    for (const raster::Command& cmd : scene.Commands()) {
        frame.ops.push_back(cmd.op);
        if (cmd.op != raster::Op::Fill) continue;
        const raster::FillItem& f = scene.Fill(cmd.index);
        CairoFill cf;
        cf.path = PathOf(cr, f.edges);
        cf.rule = f.rule == raster::FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
        cf.source = SourceOf(scene.PaintAt(f.paint), surfaces);
        frame.fills.push_back(cf);
    }
    return frame;
}

void Release(CairoFrame& frame) {
    for (CairoFill& f : frame.fills) {
        cairo_path_destroy(f.path);
        cairo_pattern_destroy(f.source);
    }
    frame.fills.clear();
}

// Draws a prepared frame with cairo: background, then every command in order.
void DrawWithCairo(cairo_t* cr, const CairoFrame& frame) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr, frame.bg[0], frame.bg[1], frame.bg[2]);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    std::vector<cairo_pattern_t*> masks;
    bool building = false;
    size_t next = 0;
    for (raster::Op op : frame.ops) {
        switch (op) {
        case raster::Op::Fill: {
            const CairoFill& f = frame.fills[next++];
            cairo_new_path(cr);
            cairo_append_path(cr, f.path);
            cairo_set_fill_rule(cr, f.rule);
            if (building)
                cairo_set_source_rgb(cr, 0, 0, 0);
            else
                cairo_set_source(cr, f.source);
            cairo_fill(cr);
            break;
        }
        case raster::Op::BeginLayer:
            if (building) break;
            cairo_push_group(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
            break;
        case raster::Op::EndLayer:
            if (building) break;
            cairo_pop_group_to_source(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            cairo_paint(cr);
            break;
        case raster::Op::BeginMask:
            cairo_push_group(cr);
            building = true;
            break;
        case raster::Op::EndMask:
            masks.push_back(cairo_pop_group(cr));
            building = false;
            cairo_push_group(cr);
            break;
        case raster::Op::PopMask:
            cairo_pop_group_to_source(cr);
            cairo_mask(cr, masks.back());
            cairo_pattern_destroy(masks.back());
            masks.pop_back();
            break;
        }
    }
}

struct Row {
    std::string name;
    double ours1 = 0, ours1wall = 0, ours2 = 0, cairo = 0, unchanged = 0, halfMax = 0;
    size_t fills = 0, edges = 0;
};

// Each renderer plays the movie on its own, frame after frame into the same
// buffer as a player does, so that none of them finds its frame pushed out
// of the cache by another's.
Row Measure(const std::string& name, const fs::path& file, int frames) {
    Row row;
    row.name = name;
    auto movie = MovieReader::Load(file.string());
    std::vector<double> t1, t1w, t2, tc, tu, tHalf;

    // Ours, one thread: full redraws (thread CPU time), and the same frame
    // again with nothing changed.
    {
        Player player(movie);
        render::Renderer one;
        for (int f = 0; f < frames; ++f) {
            one.Invalidate();
            double a = ThreadCpuMs();
            one.Render(player, kWidth, kHeight);
            t1.push_back(ThreadCpuMs() - a);
            double d = ThreadCpuMs();
            bool changed = one.Render(player, kWidth, kHeight);
            double e = ThreadCpuMs();
            if (!changed) tu.push_back(e - d);
            if (f == 0) {
                const raster::Scene& scene = one.LastScene();
                row.fills = scene.FillCount();
                for (size_t i = 0; i < scene.FillCount(); ++i)
                    row.edges += scene.Fill(static_cast<uint32_t>(i)).edges.Size();
            }
            player.Step();
        }
    }
    // Ours on the wall clock, one thread and two, for the speed-up.
    for (int threads : {1, 2}) {
        Player player(movie);
        render::Renderer r;
        r.SetThreads(threads);
        for (int f = 0; f < frames; ++f) {
            r.Invalidate();
            auto c0 = Clock::now();
            r.Render(player, kWidth, kHeight);
            (threads == 1 ? t1w : t2).push_back(Ms(Clock::now() - c0));
            player.Step();
        }
    }
    // The two-thread gain as two free cores would give it: the scene's bands
    // split in two halves drawn on two threads, each timed on its own CPU
    // clock; the gain is the whole frame's rasterizing time on one thread
    // over the longer half.
    {
        Player player(movie);
        render::Renderer one;
        raster::SceneRenderer halves[2];
        raster::Canvas halfCanvas(kWidth, kHeight);
        const int half = (kHeight / 2 + raster::SceneRenderer::kBandHeight - 1) /
                         raster::SceneRenderer::kBandHeight * raster::SceneRenderer::kBandHeight;
        for (int f = 0; f < frames; ++f) {
            one.Invalidate();
            one.Render(player, kWidth, kHeight);
            const raster::Scene& scene = one.LastScene();
            double cpu[2] = {0, 0};
            auto drawHalf = [&](int k) {
                raster::IRect clip =
                    k == 0 ? raster::IRect{0, 0, kWidth, half} : raster::IRect{0, half, kWidth, kHeight};
                double a = ThreadCpuMs();
                halves[k].Render(scene, halfCanvas, clip);
                cpu[k] = ThreadCpuMs() - a;
            };
            double a = ThreadCpuMs();
            halves[0].Render(scene, halfCanvas, {0, 0, kWidth, kHeight});
            double whole = ThreadCpuMs() - a;
            std::thread helper(drawHalf, 1);
            drawHalf(0);
            helper.join();
            tHalf.push_back(whole / std::max(cpu[0], cpu[1]));
            player.Step();
        }
    }
    // cairo, on the same outlines and paints, all prepared before it starts.
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        SurfaceCache surfaces;
        std::vector<CairoFrame> prepared;
        {
            Player player(movie);
            render::Renderer one;
            for (int f = 0; f < frames; ++f) {
                one.Render(player, kWidth, kHeight);
                prepared.push_back(PrepareForCairo(cr, one.LastScene(), surfaces));
                player.Step();
            }
        }
        for (const CairoFrame& frame : prepared) {
            double g = ThreadCpuMs();
            DrawWithCairo(cr, frame);
            cairo_surface_flush(surface);
            tc.push_back(ThreadCpuMs() - g);
            if (&frame == &prepared.front() && std::getenv("NIMBRE_BENCH_DUMP")) {
                std::string base = std::string(std::getenv("NIMBRE_BENCH_DUMP")) + "/" + name;
                cairo_surface_write_to_png(surface, (base + ".cairo.png").c_str());
            }
        }
        for (CairoFrame& frame : prepared)
            Release(frame);
        for (auto& [img, s] : surfaces)
            cairo_surface_destroy(s);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    row.ours1 = Median(t1);
    row.ours2 = Median(t2);
    row.ours1wall = Median(t1w);
    row.halfMax = Median(tHalf);
    row.cairo = Median(tc);
    row.unchanged = Median(tu);
    return row;
}

} // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    fs::path demo = fs::temp_directory_path() / ("nimbre_bench_demo_" + std::to_string(getpid()) + ".s");
    std::string cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/resources/demo/make_demo.py\" \"" +
                      demo.string() + "\"";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "bench_render: cannot generate the demo movie\n");
        return 1;
    }
    // Twenty blurred, glowing sprites added and screened over a gradient.
    fs::path effects =
        fs::temp_directory_path() / ("nimbre_bench_effects_" + std::to_string(getpid()) + ".swf");
    cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/bench/make_effects_movie.py\" \"" +
          effects.string() + "\"";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "bench_render: cannot generate the effects movie\n");
        fs::remove(demo);
        return 1;
    }

    // Playing a movie as the screen saver does: one thread, 1080p, the
    // clock advancing a frame at a time, only changed bands redrawn.
    auto play = [frames](const fs::path& file) {
        auto movie = MovieReader::Load(file.string());
        Player player(movie);
        render::Renderer r;
        std::vector<double> t;
        for (int f = 0; f < std::max(frames, player.TotalFrames()); ++f) {
            double a = ThreadCpuMs();
            r.Render(player, kWidth, kHeight);
            t.push_back(ThreadCpuMs() - a);
            player.Advance(1.0 / player.FrameRate());
        }
        return Median(t);
    };
    double demoPlay = 0, effectsPlay = 0;
    long rssKiB = 0;
    const std::string only = argc > 2 ? argv[2] : "";
    const bool playDemo = only.empty() || std::string("demo").find(only) != std::string::npos;
    const bool playEffects = only.empty() || std::string("effects").find(only) != std::string::npos;
    if (playDemo) {
        demoPlay = play(demo);
        rssKiB = PeakRssKiB();
    }
    if (playEffects) effectsPlay = play(effects);

    std::vector<std::pair<std::string, fs::path>> movies{{"demo (nimbre.s)", demo},
                                                         {"effects (generated)", effects}};
    fs::path refs = fs::path(NIMBRE_SHARED_DIR) / "swf-reference";
    std::vector<fs::path> dirs;
    if (fs::is_directory(refs))
        for (const auto& e : fs::directory_iterator(refs))
            if (fs::exists(e.path() / "test.swf")) dirs.push_back(e.path());
    // The peer suite's movies with filters and blend modes drawn off screen.
    fs::path peers = fs::path(NIMBRE_SHARED_DIR) / "swf-peer-visual";
    if (fs::is_directory(peers))
        for (const auto& e : fs::directory_iterator(peers)) {
            const std::string n = e.path().filename().string();
            if ((n.rfind("filters_", 0) == 0 || n.rfind("blend_modes_", 0) == 0) &&
                fs::exists(e.path() / "test.swf"))
                dirs.push_back(e.path());
        }
    std::sort(dirs.begin(), dirs.end());
    for (const auto& d : dirs)
        movies.push_back({d.filename().string(), d / "test.swf"});

    std::printf("1920x1080, %d frames each, the better median ms per frame of two passes (full redraws); "
                "ours 1T, cairo and\n"
                "unchanged in thread CPU time; ours 2T and '2T wall' (1T / 2T) on the wall clock; '2T cpu':\n"
                "rasterizing the whole frame on one thread over the longer of its two halves drawn\n"
                "on two threads at once, each on its own CPU clock\n\n",
                frames);
    std::printf("%-24s %6s %6s %8s %8s %8s %8s %8s %8s %9s\n", "movie", "fills", "edges", "ours 1T",
                "ours 2T", "cairo", "ours/cr", "2T wall", "2T cpu", "unchanged");
    double worst = 0;
    for (const auto& [name, file] : movies) {
        if (!only.empty() && name.find(only) == std::string::npos) continue;
        // Two passes; each figure is the better of its two medians, which
        // keeps most of a shared machine's noise out of the table.
        Row r = Measure(name, file, frames);
        const Row again = Measure(name, file, frames);
        r.ours1 = std::min(r.ours1, again.ours1);
        r.ours2 = std::min(r.ours2, again.ours2);
        r.ours1wall = std::min(r.ours1wall, again.ours1wall);
        r.cairo = std::min(r.cairo, again.cairo);
        r.unchanged = std::min(r.unchanged, again.unchanged);
        r.halfMax = std::max(r.halfMax, again.halfMax);
        double ratio = r.cairo > 0 ? r.ours1 / r.cairo : 0;
        worst = std::max(worst, ratio);
        std::printf("%-24s %6zu %6zu %8.2f %8.2f %8.2f %8.3f %7.2fx %7.2fx %9.4f\n", r.name.c_str(), r.fills,
                    r.edges, r.ours1, r.ours2, r.cairo, ratio, r.ours2 > 0 ? r.ours1wall / r.ours2 : 0,
                    r.halfMax, r.unchanged);
    }
    std::printf("\nworst ours/cairo (one thread): %.3f\n", worst);
    // The floor for any renderer: every pixel of the frame written once.
    {
        std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight);
        std::vector<double> t;
        for (int f = 0; f < frames; ++f) {
            double a = ThreadCpuMs();
            std::fill(frame.begin(), frame.end(), 0xFF000000u + static_cast<uint32_t>(f));
            t.push_back(ThreadCpuMs() - a);
        }
        volatile uint32_t keep = frame[frame.size() / 2];
        (void)keep;
        std::printf("one colour written over the whole frame (the memory floor): %.2f ms\n", Median(t));
    }
    if (playDemo) {
        std::printf("demo played at 1080p, one thread, changed bands only: %.2f ms per frame (median)\n",
                    demoPlay);
        std::printf("peak memory (resident) after playing the demo: %.1f MiB\n", rssKiB / 1024.0);
    }
    if (playEffects)
        std::printf(
            "effects movie played at 1080p, one thread, changed bands only: %.2f ms per frame (median)\n",
            effectsPlay);
    fs::remove(demo);
    fs::remove(effects);
    return 0;
}
