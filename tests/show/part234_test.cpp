#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "control/clock.h"
#include "control/scenes.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

namespace {

class Parts234 : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareShow(); }
};

// One frame of a part with its tick counter 3 set before; returns the part
// index afterwards.
int frameOf(int part, void (*render)(int), int t, int ticks3 = 0)
{
    startPart(part);
    setTicks(partTicks[3], ticks3);
    render(t);
    return currentPart;
}

// How far one frame of part 3 at time t moves the cameras' turn counter.
int jumpOfFrame(int t)
{
    startPart(3);
    setTicks(partTicks[3], 1000);
    renderPart3(t);
    return ticks(partTicks[3]) - 1000;
}

// Each jump of part 3 at its time (ms) and size (ticks): nothing at t = 0 or
// at the time itself, the jump on the first frame after it, nothing on the
// next. Returns the number of frames that went otherwise, each on stderr.
int checkCameraJumps()
{
    const int times[9] = {71200, 72700, 74200, 75700, 77200, 78700, 80200, 81700, 83200};
    const int sizes[9] = {100, -100, 100, -100, 100, -100, 100, 100, 100};
    int faults = 0;
    for (int i = 0; i < 9; ++i) {
        const int frames[4] = {0, times[i], times[i] + 1, times[i] + 1};
        const int expected[4] = {0, 0, sizes[i], 0};
        for (int k = 0; k < 4; ++k) {
            const int jump = jumpOfFrame(frames[k]);
            if (jump == expected[k]) continue;
            std::fprintf(stderr, "frame %d of jump %d (t = %d) moved the turn by %d, not %d\n", k,
                         i, frames[k], jump, expected[k]);
            ++faults;
        }
    }
    return faults;
}

}  // namespace

TEST_F(Parts234, Part2EndsOnTicksLetGoAfterSixtySeconds)
{
    struct Case {
        int t, ticks3, part, ticksAfter;
    };
    const Case cases[] = {
        {59999, 400, 2, 0},     // held at 0 before 60 s
        {59999, 501, 3, 0},     // the test comes before the hold
        {60000, 500, 2, 500},   // let go at 60 s; 500 continues
        {60000, 501, 3, 501},
        {0, 501, 3, 0},         // a medley replay ends it too
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frameOf(2, renderPart2, c.t, c.ticks3), c.part) << c.t << " " << c.ticks3;
        EXPECT_EQ(ticks(partTicks[3]), c.ticksAfter) << c.t << " " << c.ticks3;
    }
}

// The ending frame is still drawn and presented.
TEST_F(Parts234, Parts3And4GoOnAtTheirEndTimesAndEndAfter)
{
    MemoryDisplay& display = prepareShow();
    EXPECT_EQ(frameOf(3, renderPart3, 96000), 3);
    EXPECT_EQ(frameOf(3, renderPart3, 96001), 4);
    EXPECT_EQ(frameOf(4, renderPart4, 108000), 4);
    const int flips = display.flips;
    EXPECT_EQ(frameOf(4, renderPart4, 108001), 5);
    EXPECT_EQ(display.flips, flips + 1);
}

TEST_F(Parts234, Part3CameraJumpsFireOncePerProgram)
{
    // A jump fires once in the life of the program, so they are watched in a
    // fresh process that runs this test alone.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(checkCameraJumps()), ::testing::ExitedWithCode(0), "");
}

// Part 4 keeps scene5's object on a circle of 8 per tick; the count starts
// again past a full turn, and also from below zero, where a part stepping it
// back could leave it.
TEST_F(Parts234, Part4CircleCountStaysOnTheTable)
{
    struct Case {
        int count, countAfter;
        float x, y;
    };
    const Case cases[] = {
        {45, 45, 97.08f, 70.53f},   // 36 degrees
        {450, 450, 120.0f, 0.0f},   // a full turn, still on the table
        {451, 0, 120.0f, 0.0f},
        {-5, 0, 120.0f, 0.0f},
    };
    for (const Case& c : cases) {
        startPart(4);
        setTicks(partTicks[2], c.count);
        renderPart4(100000);
        const Mesh& orbit = *scene5->meshes[1];
        EXPECT_EQ(ticks(partTicks[2]), c.countAfter) << c.count;
        EXPECT_NEAR(orbit.position.x, c.x, 0.01f) << c.count;
        EXPECT_NEAR(orbit.position.y, c.y, 0.01f) << c.count;
    }
}
