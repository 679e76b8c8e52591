// The player's picture on a larger window surface: the 512x384 frame
// scaled into a 32-bit screen, as the window-surface path does every frame.
// Time is the processor time of one frame; Mpix_s counts screen pixels.
// With cold set, the screen is flushed from the caches before each frame
// (not timed), as when the display server has just read it on another
// core; that is the player's case.
// Run: quorvane-bench --benchmark_filter=Present
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <emmintrin.h>

#include "display/convert.h"
#include "display/scale.h"

namespace {

constexpr int PICTURE_W = 512, PICTURE_H = 384;

std::vector<std::uint32_t> testPicture()
{
    std::vector<std::uint32_t> picture(PICTURE_W * PICTURE_H);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint32_t>(i * 0x9E3779B1u) & 0xFFFFFFu;
    return picture;
}

// Arguments: screen width, height, 1 to let the scaler choose how to store
// (as the player does) or 0 for plain stores throughout, and 1 for a cold
// screen.
void runScale(benchmark::State& state, bool convertFirst)
{
    const int screenW = static_cast<int>(state.range(0)), screenH = static_cast<int>(state.range(1));
    const std::vector<std::uint32_t> picture = testPicture();
    std::vector<std::uint32_t> backBuffer(picture.size());
    std::vector<std::uint32_t> screen(static_cast<std::size_t>(screenW) * screenH);
    const ScalePlan plan = chooseScale(screenW, screenH, PICTURE_W, PICTURE_H, ScaleMode::Automatic);
    Resampler r;
    prepareResampler(r, plan, PICTURE_W, PICTURE_H, screenW, screenH);
    if (state.range(2) == 0) r.streaming = false;
    const bool cold = state.range(3) != 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            for (std::size_t i = 0; i < screen.size(); i += 16) _mm_clflush(screen.data() + i);
            _mm_mfence();
            state.ResumeTiming();
        }
        const std::uint32_t* shown = picture.data();
        if (convertFirst) {
            for (int y = 0; y < PICTURE_H; ++y)
                copyRow32(picture.data() + y * PICTURE_W, backBuffer.data() + y * PICTURE_W, PICTURE_W);
            shown = backBuffer.data();
        }
        resamplePicture(r, shown, PICTURE_W, screen.data(), screenW);
        benchmark::ClobberMemory();
    }
    state.counters["Mpix_s"] = benchmark::Counter(
        static_cast<double>(r.columns.size() * r.rows.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    state.counters["streaming"] = r.streaming ? 1 : 0;
}

void BM_PresentScale(benchmark::State& state) { runScale(state, false); }
void BM_PresentConvertAndScale(benchmark::State& state) { runScale(state, true); }

BENCHMARK(BM_PresentScale)
    ->Args({1024, 768, 1, 1})->Args({1024, 768, 0, 1})->Args({1024, 768, 1, 0})->Args({1024, 768, 0, 0})
    ->Args({1366, 768, 1, 1})->Args({1920, 1080, 1, 1})->Args({1920, 1080, 0, 1})
    ->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_PresentConvertAndScale)
    ->Args({1024, 768, 1, 1})->Args({1024, 768, 0, 1})
    ->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
