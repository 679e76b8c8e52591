#include <gtest/gtest.h>

#include "control/clock.h"
#include "control/random.h"
#include "control/scenes.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

namespace {

class FirstHalf : public ::testing::Test {
protected:
    MemoryDisplay& display = prepareShow();
};

// The first turn of the spin starts a one-second shake whose range shrinks
// with cueTicks[0]; a later turn does not start it again.
TEST_F(FirstHalf, Part0ShakesOnceAfterTheFirstTurn)
{
    startPart(0);
    // The grain cycle steps 1, 2, 3, 0, 1: two draws, none at 0.
    const struct {
        int spinTicks, shakeTicks;
        int range;   // 0: no shake draw
        int grainDraws;
    } frames[] = {{721, 0, 100, 2}, {10, 50, 50, 2}, {20, 99, 1, 2}, {30, 100, 0, 0}, {721, 150, 0, 2}};
    float lastX = 0.0f;
    for (const auto& f : frames) {
        setTicks(partTicks[3], f.spinTicks);
        setTicks(cueTicks[0], f.shakeTicks);
        resetRandom();
        renderPart0(1000);
        const int draws = drawsSinceReset();
        const std::vector<int> r = randomSequence(1);
        EXPECT_EQ(draws, f.grainDraws + (f.range ? 1 : 0)) << f.shakeTicks;
        const float x = f.range ? static_cast<float>(r[0] % f.range) : lastX;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(scene8->meshes[k]->position.x, x) << f.shakeTicks << " mesh " << k;
        EXPECT_EQ(ticks(cueTicks[0]), f.shakeTicks);   // no longer held at 0
        lastX = x;
    }
}

// One frame of part 1 draws, in order: two coins (each with a darkening
// draw when it comes up 1), the darkenings of the two text cues, a coin,
// the frame darkening, the ring's alpha, the grain offsets, the blur passes.
TEST_F(FirstHalf, Part1RandomDrawsOfOneFrameInOrder)
{
    startPart(1);
    for (int skip = 0; skip < 6; ++skip) {
        // At tick 1400 both text cues are at level 100 and drawn.
        setTicks(partTicks[1], 1400);
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
TEST_F(FirstHalf, Part1FirstFrameIsWhite)
{
    startPart(1);
    renderPart1(24000);
    for (int y = 0; y < 384; y += 7)
        for (int x = 0; x < 512; x += 5)
            ASSERT_EQ(display.pixel(x, y), 0xFAFAFAu) << x << "," << y;
}

// Each jump moves the cameras' turn on the first frame after its time
// (ms) and never again; nothing moves before it.
TEST_F(FirstHalf, Part3CameraJumpsFireOnce)
{
    const int times[9] = {71200, 72700, 74200, 75700, 77200, 78700, 80200, 81700, 83200};
    const int sizes[9] = {100, -100, 100, -100, 100, -100, 100, 100, 100};
    startPart(3);
    for (int i = 0; i < 9; ++i) {
        const int frames[4] = {0, times[i], times[i] + 1, times[i] + 1};
        const int expected[4] = {0, 0, sizes[i], 0};
        for (int k = 0; k < 4; ++k) {
            setTicks(partTicks[3], 1000);
            renderPart3(frames[k]);
            EXPECT_EQ(ticks(partTicks[3]) - 1000, expected[k]) << "t = " << frames[k];
        }
    }
}

}  // namespace
