// Making the song, as the build does it: the synthesis of all 250 s, and the
// MP3 encoding of the result. The goal is under 15 s of one core for both
// together; each benchmark runs once (a run takes seconds) and reports CPU
// time. Run: quorvane-bench --benchmark_filter=Song
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "tools/assets/song.h"
#include "tools/assets/synth_song.h"

namespace {

void BM_SongSynthesis(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::int16_t> pcm = synthesizeSong();
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["song_s"] = SONG_SECONDS;
}
BENCHMARK(BM_SongSynthesis)->Iterations(1)->Unit(benchmark::kSecond)->MeasureProcessCPUTime();

void BM_SongEncoding(benchmark::State& state)
{
    const std::vector<std::int16_t> pcm = synthesizeSong();
    std::vector<unsigned char> mp3;
    for (auto _ : state) {
        encodeMp3(pcm, mp3);
        benchmark::DoNotOptimize(mp3.data());
    }
    state.counters["mp3_bytes"] = static_cast<double>(mp3.size());
}
BENCHMARK(BM_SongEncoding)->Iterations(1)->Unit(benchmark::kSecond)->MeasureProcessCPUTime();

}  // namespace
