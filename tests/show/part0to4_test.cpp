#include <gtest/gtest.h>

#include "control/clock.h"
#include "control/random.h"
#include "control/scenes.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

namespace {

using FrameFunction = void (*)(int);

// A part goes on at its end time and ends on the first later frame, which
// is still drawn and presented.
TEST(PartEnd, ContinuesAtTheEndTimeAndEndsAfterIt)
{
    struct Case {
        FrameFunction render;
        int part, endMs;
    };
    const Case cases[] = {{renderPart0, 0, 24000}, {renderPart1, 1, 48000}};
    MemoryDisplay& display = prepareShow();
    for (const Case& c : cases) {
        startPart(c.part);
        c.render(c.endMs);
        EXPECT_EQ(currentPart, c.part) << c.part;
        const int flips = display.flips;
        c.render(c.endMs + 1);
        EXPECT_EQ(currentPart, c.part + 1) << c.part;
        EXPECT_EQ(display.flips, flips + 1) << c.part;
    }
}

float shakeOf(int k)
{
    return scene8->meshes[k]->position.x;
}

// The first turn of the spin starts a one-second shake whose range shrinks
// with cueTicks[0]; a later turn does not start it again.
TEST(Part0, ShakesOnceAfterTheFirstTurn)
{
    prepareShow();
    startPart(0);
    struct Frame {
        int spinTicks, shakeTicks;
        int range;   // 0: no shake draw
    };
    const Frame frames[] = {{721, 0, 100}, {10, 50, 50}, {20, 99, 1}, {30, 100, 0}, {721, 150, 0}};
    // The grain cycle steps 1, 2, 3, 0, 1: two draws, none at 0.
    const int grainDraws[] = {2, 2, 2, 0, 2};
    float lastX = 0.0f;
    for (int n = 0; n < 5; ++n) {
        const Frame& f = frames[n];
        setCounters({{&partTicks[3], f.spinTicks}, {&cueTicks[0], f.shakeTicks}});
        resetRandom();
        renderPart0(1000);
        const int draws = drawsSinceReset();
        const std::vector<int> r = randomSequence(1);
        EXPECT_EQ(draws, grainDraws[n] + (f.range ? 1 : 0)) << f.shakeTicks;
        const float x = f.range ? static_cast<float>(r[0] % f.range) : lastX;
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(shakeOf(k), x) << f.shakeTicks << " mesh " << k;
        EXPECT_EQ(ticks(cueTicks[0]), f.shakeTicks);   // no longer held at 0
        lastX = x;
    }
}

// One frame of part 1 draws, in order: two coins (each with a darkening
// draw when it comes up 1), the darkenings of the two text cues, a coin,
// the frame darkening, the ring's alpha, the grain offsets, the blur passes.
TEST(Part1, RandomDrawsOfOneFrameInOrder)
{
    prepareShow();
    startPart(1);
    for (int skip = 0; skip < 6; ++skip) {
        // At tick 1400 both text cues are at level 100 and drawn.
        setCounters({{&partTicks[1], 1400}});
        resetRandom();
        for (int k = 0; k < skip; ++k) drawRandom();
        renderPart1(30000);
        const int draws = drawsSinceReset() - skip;

        const std::vector<int> r = randomSequence(skip + 20);
        int next = skip;
        for (int coin = 0; coin < 2; ++coin)
            if (r[next++] % 2 == 1) ++next;
        next += 2 + 1 + 1;   // the cues' darkenings, the third coin, the frame
        const int alphaDraw = next++;
        next += 2 + 1;       // grain offsets, blur passes
        EXPECT_EQ(draws, next - skip) << skip;
        EXPECT_FLOAT_EQ(scene2b->meshes[1]->alpha, 0.3f + 0.01f * (r[alphaDraw] % 10)) << skip;
    }
}

// The part opens on white: the flash lifts every channel to its limit.
TEST(Part1, FirstFrameIsWhite)
{
    MemoryDisplay& display = prepareShow();
    startPart(1);
    renderPart1(24000);
    for (int y = 0; y < 384; y += 7)
        for (int x = 0; x < 512; x += 5)
            ASSERT_EQ(display.pixel(x, y), 0xFAFAFAu) << x << "," << y;
}

}  // namespace
