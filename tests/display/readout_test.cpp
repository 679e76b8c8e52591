#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "display/memory_display.h"
#include "display/present.h"
#include "display/readout.h"

namespace {

// A sink that shows the readout, as the player's window does.
class ReadoutDisplay final : public MemoryDisplay {
public:
    bool showsReadout() override { return true; }
};

constexpr std::uint32_t GREY = 0x808080;

}  // namespace

TEST(Readout, DrawnOnTheWayToTheScreenOnlyAndNotWhileMuted)
{
    ReadoutDisplay display;
    setDisplayDevice(&display);
    ASSERT_EQ(openDisplay("test", 512, 384), 1);
    std::vector<std::uint32_t> picture(512 * 384, GREY);
    std::snprintf(readoutText, sizeof readoutText, "01:40.000 PART 4");
    presentFrame(windowBuffer, picture.data(), 512, 384, 512, 384, 0, 0);

    // A black box of 16 characters (2 + 16 * 6 - 1 + 2 = 99 pixels) over the
    // top 11 rows, with white letters in it; the rest is the picture.
    int white = 0, wrong = 0;
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x) {
            const std::uint32_t p = display.pixel(x, y);
            if (x >= 99 || y >= READOUT_HEIGHT) wrong += p != GREY;
            else if (p == 0xFFFFFFu) ++white;
            else wrong += p != 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(white, 100);
    // Neither the show's picture nor the copy kept of it holds the readout.
    EXPECT_EQ(std::count(picture.begin(), picture.end(), GREY), 512 * 384);
    EXPECT_EQ(std::count(retainedPicture, retainedPicture + 512 * 384, GREY), 512 * 384);

    // Muted: kept, counted, not shown.
    const int flips = display.flips;
    const long count = presentCount;
    std::fill(picture.begin(), picture.end(), 0x102030u);
    presentationMuted = true;
    presentFrame(windowBuffer, picture.data(), 512, 384, 512, 384, 0, 0);
    presentationMuted = false;
    EXPECT_EQ(display.flips, flips);
    EXPECT_EQ(presentCount, count + 1);
    EXPECT_EQ(retainedPicture[512 * 384 - 1], 0x102030u);

    readoutText[0] = 0;
    closeDisplay();
    setDisplayDevice(nullptr);
}
