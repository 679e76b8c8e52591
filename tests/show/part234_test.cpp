#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "control/clock.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

namespace {

class Parts234 : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareShow(); }
};

// One frame of part 3 at time t with the cameras' turn count at 1000;
// returns how far the frame moved the count.
int jumpOfFrame(int t)
{
    startPart(3);
    setTicks(partTicks[3], 1000);
    renderPart3(t);
    return ticks(partTicks[3]) - 1000;
}

// Each jump (time in ms, size in ticks) moves nothing at t = 0 or at its
// time, jumps on the first frame after it and never again. Returns the
// number of frames that went otherwise, each told on stderr.
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
            std::fprintf(stderr, "t = %d moved the turn by %d, not %d\n", frames[k], jump, expected[k]);
            ++faults;
        }
    }
    return faults;
}

}  // namespace

// Part 2 ends on its tick count 3, held at 0 before 60 s (after the end
// test); parts 3 and 4 go on at their end times. An ending frame is still
// presented.
TEST_F(Parts234, EachPartEndsJustPastItsBound)
{
    struct Case {
        void (*render)(int);
        int part, t, ticks3, partAfter, ticks3After;
    };
    const Case cases[] = {
        {renderPart2, 2, 59999, 400, 2, 0},   {renderPart2, 2, 59999, 501, 3, 0},
        {renderPart2, 2, 60000, 500, 2, 500}, {renderPart2, 2, 60000, 501, 3, 501},
        {renderPart3, 3, 96000, 0, 3, 0},     {renderPart3, 3, 96001, 0, 4, 0},
        {renderPart4, 4, 108000, 0, 4, 0},    {renderPart4, 4, 108001, 0, 5, 0},
    };
    MemoryDisplay& display = prepareShow();
    for (const Case& c : cases) {
        startPart(c.part);
        setTicks(partTicks[3], c.ticks3);
        const int flips = display.flips;
        c.render(c.t);
        EXPECT_EQ(currentPart, c.partAfter) << c.part << " at " << c.t;
        if (c.part == 2) {
            EXPECT_EQ(ticks(partTicks[3]), c.ticks3After) << "at " << c.t;
        }
        EXPECT_EQ(display.flips, flips + 1) << c.part << " at " << c.t;
    }
}

TEST_F(Parts234, Part3CameraJumpsFireOncePerProgram)
{
    // A jump fires once in the life of the program, so they are watched in a
    // fresh process that runs this test alone.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(checkCameraJumps()), ::testing::ExitedWithCode(0), "");
}
