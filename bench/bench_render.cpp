// Rendering speed and memory at 1920 x 1080: the demo movie and every
// reference movie, drawn by our renderer on one and two threads and, in the
// same run, by cairo filling the same flattened outlines with the same
// paints and its default anti-aliasing. Prints a table of median
// milliseconds per frame and ratios.
//
//   bench_render [FRAMES [NAME]]   (default 100 frames; NAME: only movies whose name contains it,
//                                  and the demo's playing figures only when it is one of them)
#include "movie/MovieReader.h"
#include "movie/Player.h"
#include "movie/render/Renderer.h"

#include <cairo.h>
#include <sys/resource.h>
#include <time.h>

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

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

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

// The scene's fills as closed polylines for cairo: edges chained end to start.
struct CairoFill {
    std::vector<std::vector<std::pair<double, double>>> contours;
    raster::FillRule rule;
    const raster::Paint* paint;
};

uint64_t KeyOf(float x, float y) {
    uint32_t a, b;
    std::memcpy(&a, &x, 4);
    std::memcpy(&b, &y, 4);
    return (uint64_t(a) << 32) | b;
}

void Chain(const raster::EdgeList& edges, std::vector<std::vector<std::pair<double, double>>>& out) {
    const auto& lines = edges.Lines();
    std::unordered_multimap<uint64_t, size_t> byStart;
    for (size_t i = 0; i < lines.size(); ++i) byStart.emplace(KeyOf(lines[i].x0, lines[i].y0), i);
    std::vector<bool> used(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (used[i]) continue;
        std::vector<std::pair<double, double>> c;
        size_t cur = i;
        c.push_back({lines[cur].x0, lines[cur].y0});
        for (;;) {
            used[cur] = true;
            c.push_back({lines[cur].x1, lines[cur].y1});
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
        out.push_back(std::move(c));
    }
}

std::vector<CairoFill> PrepareForCairo(const raster::Scene& scene) {
    std::vector<CairoFill> fills(scene.FillCount());
    for (const raster::Command& cmd : scene.Commands()) {
        if (cmd.op != raster::Op::Fill) continue;
        const raster::FillItem& f = scene.Fill(cmd.index);
        CairoFill& cf = fills[cmd.index];
        Chain(f.edges, cf.contours);
        cf.rule = f.rule;
        cf.paint = &scene.PaintAt(f.paint);
    }
    return fills;
}

void SetSource(cairo_t* cr, const raster::Paint& p, std::vector<cairo_surface_t*>& images) {
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
        cairo_set_source_rgba(cr, r, g, b, a);
        return;
    }
    cairo_pattern_t* pat;
    if (p.kind == PaintKind::Image) {
        const raster::Image* img = p.image;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img->width, img->height);
        cairo_surface_flush(s);
        unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < img->height; ++y)
            for (int x = 0; x < img->width; ++x)
                reinterpret_cast<uint32_t*>(data + y * stride)[x] = img->At(x, y);
        cairo_surface_mark_dirty(s);
        images.push_back(s);
        pat = cairo_pattern_create_for_surface(s);
        cairo_pattern_set_extend(pat, p.repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(pat, p.smooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
    } else {
        if (p.kind == PaintKind::Linear) pat = cairo_pattern_create_linear(0, 0, 1, 0);
        else if (p.kind == PaintKind::Radial) pat = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
        else pat = cairo_pattern_create_radial(p.focal, 0, 0, 0, 0, 1);
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
    if (std::fabs(p.inverse.a * p.inverse.d - p.inverse.b * p.inverse.c) < 1e-12) cairo_matrix_init_identity(&m);
    cairo_pattern_set_matrix(pat, &m);
    cairo_set_source(cr, pat);
    cairo_pattern_destroy(pat);
}

// Draws the scene with cairo: background, then every command in order.
void DrawWithCairo(cairo_t* cr, const raster::Scene& scene, const std::vector<CairoFill>& fills,
                   std::vector<cairo_surface_t*>& images) {
    double r = raster::PixelR(scene.Background()) / 255.0, g = raster::PixelG(scene.Background()) / 255.0,
           b = raster::PixelB(scene.Background()) / 255.0;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    std::vector<cairo_pattern_t*> masks;
    bool building = false;
    for (const raster::Command& cmd : scene.Commands()) {
        switch (cmd.op) {
        case raster::Op::Fill: {
            const CairoFill& f = fills[cmd.index];
            cairo_new_path(cr);
            for (const auto& c : f.contours) {
                cairo_move_to(cr, c[0].first, c[0].second);
                for (size_t i = 1; i < c.size(); ++i) cairo_line_to(cr, c[i].first, c[i].second);
                cairo_close_path(cr);
            }
            cairo_set_fill_rule(cr, f.rule == raster::FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                                        : CAIRO_FILL_RULE_WINDING);
            if (building) cairo_set_source_rgb(cr, 0, 0, 0);
            else SetSource(cr, *f.paint, images);
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

Row Measure(const std::string& name, const fs::path& file, int frames) {
    Row row;
    row.name = name;
    auto movie = MovieReader::Load(file.string());
    std::vector<double> t1, t1w, t2, tc, tu, tHalf;
    raster::SceneRenderer halves[2];
    raster::Canvas halfCanvas(kWidth, kHeight);
    render::Renderer one, two;
    two.SetThreads(2);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    Player player(movie);
    for (int f = 0; f < frames; ++f) {
        // Full redraws: every frame drawn from nothing.
        one.Invalidate();
        double a = ThreadCpuMs();
        one.Render(player, kWidth, kHeight);
        double b = ThreadCpuMs();
        t1.push_back(b - a);
        // Two threads: wall time (the helper's CPU time is not ours).
        two.Invalidate();
        auto c0 = Clock::now();
        two.Render(player, kWidth, kHeight);
        t2.push_back(Ms(Clock::now() - c0));
        // For the speed-up, one thread on the wall clock too, right beside it.
        one.Invalidate();
        auto c1 = Clock::now();
        one.Render(player, kWidth, kHeight);
        t1w.push_back(Ms(Clock::now() - c1));
        // The two-thread gain as two free cores would give it: the scene's
        // bands split in two halves drawn on two threads, each timed on its
        // own CPU clock; the gain is the whole frame's rasterizing time on
        // one thread over the longer half.
        {
            const raster::Scene& scene = one.LastScene();
            const int half = (kHeight / 2 + raster::SceneRenderer::kBandHeight - 1) / raster::SceneRenderer::kBandHeight *
                             raster::SceneRenderer::kBandHeight;
            double cpu[2] = {0, 0};
            auto drawHalf = [&](int k) {
                raster::IRect clip = k == 0 ? raster::IRect{0, 0, kWidth, half} : raster::IRect{0, half, kWidth, kHeight};
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
        }
        // The same frame again: nothing changed.
        double d = ThreadCpuMs();
        bool changed = one.Render(player, kWidth, kHeight);
        double e = ThreadCpuMs();
        if (!changed) tu.push_back(e - d);
        // cairo, on the same outlines and paints (prepared outside the timing).
        const raster::Scene& scene = one.LastScene();
        std::vector<CairoFill> fills = PrepareForCairo(scene);
        std::vector<cairo_surface_t*> images;
        double g = ThreadCpuMs();
        DrawWithCairo(cr, scene, fills, images);
        cairo_surface_flush(surface);
        double h = ThreadCpuMs();
        tc.push_back(h - g);
        if (f == 0 && std::getenv("NIMBRE_BENCH_DUMP")) {
            std::string base = std::string(std::getenv("NIMBRE_BENCH_DUMP")) + "/" + name;
            cairo_surface_write_to_png(surface, (base + ".cairo.png").c_str());
        }
        for (auto* s : images) cairo_surface_destroy(s);
        if (f == 0) {
            row.fills = scene.FillCount();
            for (size_t i = 0; i < scene.FillCount(); ++i) row.edges += scene.Fill(static_cast<uint32_t>(i)).edges.Size();
        }
        player.Step();
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
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
    fs::path demo = fs::temp_directory_path() / "nimbre_bench_demo.s";
    std::string cmd = std::string("python3 \"") + NIMBRE_SOURCE_DIR + "/resources/demo/make_demo.py\" \"" +
                      demo.string() + "\"";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "bench_render: cannot generate the demo movie\n");
        return 1;
    }

    // Playing the demo as the screen saver does: one thread, 1080p, the
    // clock advancing a frame at a time, only changed bands redrawn.
    double demoPlay = 0;
    long rssKiB = 0;
    const std::string only = argc > 2 ? argv[2] : "";
    const bool playDemo = only.empty() || std::string("demo").find(only) != std::string::npos;
    if (playDemo) {
        auto movie = MovieReader::Load(demo.string());
        Player player(movie);
        render::Renderer r;
        std::vector<double> t;
        for (int f = 0; f < std::max(frames, player.TotalFrames()); ++f) {
            double a = ThreadCpuMs();
            r.Render(player, kWidth, kHeight);
            t.push_back(ThreadCpuMs() - a);
            player.Advance(1.0 / player.FrameRate());
        }
        demoPlay = Median(t);
        rssKiB = PeakRssKiB();
    }

    std::vector<std::pair<std::string, fs::path>> movies{{"demo (nimbre.s)", demo}};
    fs::path refs = fs::path(NIMBRE_SHARED_DIR) / "swf-reference";
    std::vector<fs::path> dirs;
    if (fs::is_directory(refs))
        for (const auto& e : fs::directory_iterator(refs))
            if (fs::exists(e.path() / "test.swf")) dirs.push_back(e.path());
    std::sort(dirs.begin(), dirs.end());
    for (const auto& d : dirs) movies.push_back({d.filename().string(), d / "test.swf"});

    std::printf("1920x1080, %d frames each, median ms per frame (full redraws); ours 1T, cairo and\n"
                "unchanged in thread CPU time; ours 2T and '2T wall' (1T / 2T) on the wall clock; '2T cpu':\n"
                "rasterizing the whole frame on one thread over the longer of its two halves drawn\n"
                "on two threads at once, each on its own CPU clock\n\n", frames);
    std::printf("%-24s %6s %6s %8s %8s %8s %8s %8s %8s %9s\n", "movie", "fills", "edges", "ours 1T", "ours 2T",
                "cairo", "ours/cr", "2T wall", "2T cpu", "unchanged");
    double worst = 0;
    for (const auto& [name, file] : movies) {
        if (!only.empty() && name.find(only) == std::string::npos) continue;
        Row r = Measure(name, file, frames);
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
        std::printf("demo played at 1080p, one thread, changed bands only: %.2f ms per frame (median)\n", demoPlay);
        std::printf("peak memory (resident) after playing the demo: %.1f MiB\n", rssKiB / 1024.0);
    }
    fs::remove(demo);
    return 0;
}
