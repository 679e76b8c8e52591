#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>

#include "control/clock.h"
#include "control/startup.h"
#include "tests/show/show_support.h"

// Every operator new of this test program is counted, so that a frame
// function that allocates is caught.
namespace {

std::atomic<long> newCalls{0};

// Out of line, so that the compiler does not take free() of a block from
// operator new for a mismatch.
[[gnu::noinline]] void releaseBlock(void* block)
{
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size)
{
    newCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { releaseBlock(block); }
void operator delete(void* block, std::size_t) noexcept { releaseBlock(block); }

namespace {

// A counter value as the parts leave them: mostly a few seconds of ticks,
// sometimes just past a wrap bound, far beyond any (a part held for a day),
// or below zero (a part that stepped a counter back).
std::int32_t counterValue(std::mt19937& generator)
{
    const auto in = [&](int low, int high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(generator);
    };
    switch (in(0, 5)) {
    case 0: return in(0, 400);
    case 1: return in(0, 4000);
    case 2: return in(3590, 3610) / in(1, 10);
    case 3: return in(4000, 100000000);
    case 4: return in(-1000000, -1);
    default: return in(-2000, 2000);
    }
}

void setCountersAtRandom(std::mt19937& generator)
{
    for (auto& counter : partTicks) setTicks(counter, counterValue(generator));
    for (auto& counter : cueTicks) setTicks(counter, counterValue(generator));
    setTicks(partMillis, counterValue(generator));
    setTicks(musicTimeMs, counterValue(generator));
}

}  // namespace

// Table reads outside 0..3600, overflows and stray writes show in the build
// with the sanitizers (QUORVANE_SANITIZE); allocations show in every build.
TEST(Robustness, FrameFunctionsTakeAnyCountersWithoutFaultOrAllocation)
{
    prepareShow();
    std::mt19937 generator(12);
    for (int round = 0; round < 60; ++round) {
        for (const int part : {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11}) {
            setCountersAtRandom(generator);
            const std::int32_t t = generator() % 3 == 0 ? 0 : ticks(musicTimeMs);
            currentPart = 0;
            const long before = newCalls.load();
            renderPart(part, t);
            ASSERT_EQ(newCalls.load(), before) << "part " << part << " allocated at t = " << t;
            ASSERT_TRUE(currentPart >= 0 && currentPart <= 12) << "part " << part;
        }
    }
}
