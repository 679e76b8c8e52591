#include <gtest/gtest.h>

#include "control/clock.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

namespace {

class Parts234 : public ::testing::Test {
protected:
    static void SetUpTestSuite() { prepareShow(); }
};

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

// Each jump moves the cameras' turn on the first frame after its time
// (ms) and never again; nothing moves before it.
TEST_F(Parts234, Part3CameraJumpsFireOnce)
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
