#include <gtest/gtest.h>

#include "control/clock.h"
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

}  // namespace
