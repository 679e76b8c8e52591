#pragma once
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "display/memory_display.h"

// What a frame function needs to run in a test, done once per test program
// as start-up does it, without questions, timers or sound: the 512x384
// geometry, the sixteen scenes loaded from the generated data set and
// prepared, the grain pictures loaded and darkened, the warm-up draws, the
// trig tables, and a display that keeps the last presented picture.
// Returns that display. Later calls only return it.
MemoryDisplay& prepareShow();

// Puts every tick counter to 0 (musicTimeMs too) and sets currentPart.
void startPart(int part);

// Sets tick counters, e.g. setCounters({{&partTicks[3], 721}}).
struct CounterValue {
    std::atomic<std::int32_t>* counter;
    std::int32_t value;
};
void setCounters(std::initializer_list<CounterValue> values);

// How many numbers were drawn since the last resetRandom() (or since
// skipping from it), found by looking up the next two numbers of the
// sequence among the first limit positions; -1 when not found. Draws two
// numbers itself.
int drawsSinceReset(int limit = 1000000);

// The first count numbers of the sequence from its start, for working out
// what a frame should have drawn.
std::vector<int> randomSequence(int count);
