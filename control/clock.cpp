#include "control/clock.h"

std::atomic<std::int32_t> partTicks[PART_TICK_COUNT] = {};
std::atomic<std::int32_t> cueTicks[CUE_TICK_COUNT] = {};
std::atomic<std::int32_t> partMillis{0};
std::atomic<std::int32_t> musicTimeMs{0};
std::int32_t soundChoice = 0;
std::int32_t currentPart = 0;

namespace {
// A read, an add and a write, as the counters are plain words: an increment
// racing with a reset from the main thread may be lost, which is tolerated.
void bump(std::atomic<std::int32_t>& counter, std::int32_t step)
{
    counter.store(counter.load(std::memory_order_relaxed) + step, std::memory_order_relaxed);
}
}  // namespace

void onTimer10ms()
{
    for (auto& t : partTicks) bump(t, 1);
    if (soundChoice == 2) bump(musicTimeMs, 10);
    for (auto& t : cueTicks) bump(t, 1);
}

void onTimer1ms()
{
    bump(partMillis, 1);
}

void resetPartClocks()
{
    for (auto& t : partTicks) setTicks(t, 0);
    for (auto& t : cueTicks) setTicks(t, 0);
    setTicks(partMillis, 0);
}
