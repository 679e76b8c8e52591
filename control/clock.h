#pragma once
#include <atomic>
#include <cstdint>

// The show's clocks. The tick counters are advanced by the timer callbacks
// (every 10 ms and every 1 ms) and read and reset by the frame functions; they
// are shared with the timer thread, so they are relaxed atomics: the same
// behaviour as plain words, without a data race. A lost tick does no harm.

constexpr int PART_TICK_COUNT = 9;
constexpr int CUE_TICK_COUNT = 20;

extern std::atomic<std::int32_t> partTicks[PART_TICK_COUNT];   // +1 every 10 ms
extern std::atomic<std::int32_t> cueTicks[CUE_TICK_COUNT];     // +1 every 10 ms
extern std::atomic<std::int32_t> partMillis;                   // +1 every ms
extern std::atomic<std::int32_t> musicTimeMs;                  // show time, ms

// 1 = sound, 2 = no sound: the answer to the second question.
extern std::int32_t soundChoice;
// Index of the part being played; only the frame functions change it.
extern std::int32_t currentPart;

// Relaxed access, as the counters are plain words to the show.
inline std::int32_t ticks(const std::atomic<std::int32_t>& counter)
{
    return counter.load(std::memory_order_relaxed);
}
inline void setTicks(std::atomic<std::int32_t>& counter, std::int32_t value)
{
    counter.store(value, std::memory_order_relaxed);
}

// The 10 ms callback: every partTicks entry +1, musicTimeMs +10 without
// sound, every cueTicks entry +1.
void onTimer10ms();
// The 1 ms callback: partMillis +1.
void onTimer1ms();
// Zeroes partTicks, cueTicks and partMillis; musicTimeMs is kept.
void resetPartClocks();
