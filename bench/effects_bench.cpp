// Picture effects on the show's 512x384 picture, each beside a memcpy of
// the same bytes and pixman's saturating ADD composite of the same
// picture, both measured in the same run. Counters: x_memcpy and
// x_pixman_add are ratios of medians (one call per sample), ns_per_px is
// the effect's median time per pixel. The last benchmark prints a summary
// with the goals. Run: quorvane-bench --benchmark_filter=Effects
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "display/screen.h"
#include "effects/blend.h"
#include "effects/blur.h"
#include "effects/overlay.h"
#include "effects/simd.h"

namespace {

using Clock = std::chrono::steady_clock;
using Pixels = std::vector<std::uint32_t>;

struct Scene {
    Pixels frame, picture, work, start;
    pixman_image_t* pixmanSource = nullptr;
    pixman_image_t* pixmanTarget = nullptr;

    Scene() : frame(PICTURE_PIXELS), picture(PICTURE_PIXELS), work(PICTURE_PIXELS), start(PICTURE_PIXELS)
    {
        setScreenSize(512, 384);
        buildRowOffsets();
        // A busy frame: every channel non-zero (so the blur works on every
        // pixel) over a smooth gradient with noise.
        std::mt19937 random(5);
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 512; ++x) {
                const auto n = static_cast<std::uint32_t>(random() & 0x1F1F1F);
                start[static_cast<std::size_t>(y * 512 + x)] =
                    ((static_cast<std::uint32_t>(x / 2) << 16 | static_cast<std::uint32_t>(y / 2) << 8 | 0x40) + n) | 0x010101;
            }
        for (std::uint32_t& p : picture) p = static_cast<std::uint32_t>(random()) & 0x3F3F3F;
        frame = start;
        work = start;
        pixmanSource = pixman_image_create_bits(PIXMAN_a8r8g8b8, 512, 384, picture.data(), 512 * 4);
        pixmanTarget = pixman_image_create_bits(PIXMAN_a8r8g8b8, 512, 384, work.data(), 512 * 4);
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Median time of one call, over reps calls.
double medianCall(const std::function<void()>& call, int reps)
{
    std::vector<double> samples;
    call();   // warm the caches
    for (int i = 0; i < reps; ++i) {
        const auto t0 = Clock::now();
        call();
        samples.push_back(seconds(Clock::now() - t0));
    }
    return median(samples);
}

double memcpyTime()
{
    Scene& s = scene();
    return medianCall([&] {
        std::memcpy(s.work.data(), s.picture.data(), PICTURE_PIXELS * sizeof(std::uint32_t));
        benchmark::ClobberMemory();
    }, 300);
}

double pixmanAddTime()
{
    Scene& s = scene();
    return medianCall([&] {
        pixman_image_composite32(PIXMAN_OP_ADD, s.pixmanSource, nullptr, s.pixmanTarget, 0, 0, 0, 0, 0, 0, 512, 384);
        benchmark::ClobberMemory();
    }, 300);
}

struct Result {
    double ms, perPixel, vsMemcpy, vsPixman;
};
std::map<std::string, Result>& results()
{
    static std::map<std::string, Result> r;
    return r;
}

// Times the effect one call per iteration (prepare, untimed, puts the
// buffers back where a call depends on them), then sets the counters.
void measure(benchmark::State& state, const std::string& name, const std::function<void()>& prepare,
             const std::function<void()>& effect, bool againstPixman)
{
    const double copy = memcpyTime();
    const double add = againstPixman ? pixmanAddTime() : 0.0;
    std::vector<double> samples;
    for (auto _ : state) {
        prepare();
        const auto t0 = Clock::now();
        effect();
        benchmark::ClobberMemory();
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        samples.push_back(t);
    }
    const double m = median(samples);
    Result r{m * 1e3, m * 1e9 / PICTURE_PIXELS, m / copy, againstPixman ? m / add : 0.0};
    state.counters["ns_per_px"] = r.perPixel;
    state.counters["x_memcpy"] = r.vsMemcpy;
    if (againstPixman) state.counters["x_pixman_add"] = r.vsPixman;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(PICTURE_PIXELS * sizeof(std::uint32_t)));
    results()[name] = r;
}

void nothing() {}

void Effects_Memcpy(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "memcpy", nothing, [&] { std::memcpy(s.work.data(), s.picture.data(), PICTURE_PIXELS * 4); },
            true);
}

void Effects_PixmanAdd(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "pixman ADD", nothing, [&] {
        pixman_image_composite32(PIXMAN_OP_ADD, s.pixmanSource, nullptr, s.pixmanTarget, 0, 0, 0, 0, 0, 0, 512, 384);
    }, true);
}

void Effects_AdjustBrightness(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "adjustBrightness", [&] { s.work = s.start; },
            [&] { adjustBrightness(s.work.data(), 512, 384, -40); }, false);
}

void Effects_CrossFade(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "crossFade", nothing, [&] { crossFade(s.work.data(), s.picture.data(), 512, 384, 150); }, false);
}

void Effects_TintRect(benchmark::State& state)
{
    Scene& s = scene();
    // Columns 0..511 of every row: the whole picture.
    measure(state, "tintRect", nothing, [&] { tintRect(s.work.data(), -1, 0, 511, 384, 49, 59, 61); }, false);
}

void Effects_AddPicture(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "addPicture", nothing, [&] { addPicture(s.work.data(), s.picture.data(), 0, 0, 512, 384); }, true);
}

void Effects_GrainOverlay(benchmark::State& state)
{
    Scene& s = scene();
    // The grain jumps by a random offset below 100 each frame.
    measure(state, "grain overlay", nothing, [&] { addPicture(s.work.data(), s.picture.data(), 37, 59, 512, 384); },
            true);
}

void Effects_CopyPicture(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "copyPicture", nothing, [&] { copyPicture(s.work.data(), s.picture.data(), 0, 0, 512, 384); },
            false);
}

void Effects_BlurBufferOnePass(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "blurBuffer (1 pass)", [&] { s.frame = s.start; }, [&] { blurBuffer(s.frame.data(), 512, 384, 1); },
            false);
}

void Effects_ZoomBlur(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "zoomBlur", [&] { s.frame = s.start; }, [&] { zoomBlur(s.frame.data(), 256, 192, 4000, 150); },
            false);
}

void Effects_AddSplitPicture(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "addSplitPicture", [&] { s.frame = s.start; },
            [&] { addSplitPicture(s.frame.data(), s.picture.data(), 512, 384, 0, 0, 3, 20); }, false);
}

void Effects_AddScaledPicture(benchmark::State& state)
{
    Scene& s = scene();
    measure(state, "addScaledPicture", nothing,
            [&] { addScaledPicture(s.work.data(), s.picture.data(), 512, 384, 0, 0, 1.0f, 1.0f, 0, 0); }, false);
}

void Effects_WobbleRows(benchmark::State& state)
{
    Scene& s = scene();
    for (int y = 0; y < 384; ++y) rowWobble[y] = y % 2 ? 3 : -4;
    measure(state, "wobbleRows", nothing, [&] { wobbleRows(s.frame.data(), s.work.data(), 2.5f); }, false);
}

// The packed effects again with the AVX2 kernels switched off: what the
// x86-64 baseline gives, and so what choosing AVX2 at run time buys.
template <typename Effect>
void sse2Only(benchmark::State& state, const char* name, Effect effect, bool againstPixman)
{
    measure(state, name, nothing, [&] {
        allowAvx2(false);
        effect();
        allowAvx2(true);
    }, againstPixman);
}

void Effects_AdjustBrightnessSse2(benchmark::State& state)
{
    Scene& s = scene();
    sse2Only(state, "adjustBrightness SSE2", [&] { adjustBrightness(s.work.data(), 512, 384, -40); }, false);
}

void Effects_CrossFadeSse2(benchmark::State& state)
{
    Scene& s = scene();
    sse2Only(state, "crossFade SSE2", [&] { crossFade(s.work.data(), s.picture.data(), 512, 384, 150); }, false);
}

void Effects_TintRectSse2(benchmark::State& state)
{
    Scene& s = scene();
    sse2Only(state, "tintRect SSE2", [&] { tintRect(s.work.data(), -1, 0, 511, 384, 49, 59, 61); }, false);
}

void Effects_AddPictureSse2(benchmark::State& state)
{
    Scene& s = scene();
    sse2Only(state, "addPicture SSE2", [&] { addPicture(s.work.data(), s.picture.data(), 0, 0, 512, 384); }, true);
}

// Prints every effect with its ratios and goals, from the runs above.
void Effects_Summary(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(results().size());
    struct Goal {
        const char* name;
        const char* against;
        double limit;
    };
    const Goal goals[] = {
        {"adjustBrightness", "memcpy", 1.5}, {"copyPicture", "memcpy", 1.5},     {"tintRect", "memcpy", 1.5},
        {"addPicture", "pixman", 1.2},       {"grain overlay", "pixman", 1.2},   {"crossFade", "memcpy", 2.5},
        {"blurBuffer (1 pass)", "ns", 2.0},  {"zoomBlur", "ns", 2.0},            {"addSplitPicture", "", 0},
        {"addScaledPicture", "", 0},         {"wobbleRows", "", 0},              {"memcpy", "", 0},
        {"pixman ADD", "", 0},               {"adjustBrightness SSE2", "", 0},   {"crossFade SSE2", "", 0},
        {"tintRect SSE2", "", 0},            {"addPicture SSE2", "", 0},
    };
    std::printf("\n%-22s %9s %9s %9s %12s   %s (AVX2 %s)\n", "effect, 512x384", "ms", "ns/px", "x memcpy",
                "x pixman ADD", "goal", avx2Enabled() ? "on" : "off");
    for (const Goal& g : goals) {
        const auto it = results().find(g.name);
        if (it == results().end()) continue;
        const Result& r = it->second;
        std::string goal;
        if (std::string(g.against) == "memcpy")
            goal = "x memcpy <= " + std::to_string(g.limit).substr(0, 3) + (r.vsMemcpy <= g.limit ? "  met" : "  MISSED");
        else if (std::string(g.against) == "pixman")
            goal = "x pixman <= " + std::to_string(g.limit).substr(0, 3) + (r.vsPixman <= g.limit ? "  met" : "  MISSED");
        else if (std::string(g.against) == "ns")
            goal = "ns/px < " + std::to_string(g.limit).substr(0, 3) + (r.perPixel < g.limit ? "  met" : "  MISSED");
        const std::string vsPixman = r.vsPixman > 0 ? std::to_string(r.vsPixman).substr(0, 4) : "-";
        std::printf("%-22s %9.4f %9.3f %9.2f %12s   %s\n", g.name, r.ms, r.perPixel, r.vsMemcpy, vsPixman.c_str(),
                    goal.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

BENCHMARK(Effects_Memcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_PixmanAdd)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AdjustBrightness)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_CrossFade)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_TintRect)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AddPicture)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_GrainOverlay)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_CopyPicture)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_BlurBufferOnePass)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_ZoomBlur)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AddSplitPicture)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AddScaledPicture)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_WobbleRows)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AdjustBrightnessSse2)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_CrossFadeSse2)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_TintRectSse2)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_AddPictureSse2)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Effects_Summary)->Iterations(1);
