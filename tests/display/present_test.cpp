#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "display/memory_display.h"
#include "display/present.h"

namespace {

// A picture whose every pixel tells where it came from.
std::vector<std::uint32_t> numberedPicture()
{
    std::vector<std::uint32_t> picture(512 * 384);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x) picture[y * 512 + x] = (static_cast<std::uint32_t>(y) << 12) | x | 0x800000;
    return picture;
}

}  // namespace

// In 512x384 the picture itself is shown; in 640x480 it sits at 64,48 in a
// black border, its first two pixels cleared (in the caller's picture too).
TEST(PresentFrame, BothWindowSizes)
{
    MemoryDisplay display;
    setDisplayDevice(&display);
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "640x480" : "512x384");
        const int width = large ? 640 : 512, height = large ? 480 : 384;
        const int left = large ? 64 : 0, top = large ? 48 : 0;
        ASSERT_EQ(openDisplay("test", width, height), 1);
        std::fill(std::begin(windowBuffer), std::end(windowBuffer), 0u);
        auto picture = numberedPicture();
        const int flips = display.flips;
        EXPECT_EQ(presentFrame(windowBuffer, picture.data(), 512, 384, width, height, left, top), 1);
        EXPECT_EQ(display.flips, flips + 1);
        EXPECT_EQ(picture[1], large ? 0u : 0x800001u);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inside = x >= left && x < left + 512 && y >= top && y < top + 384;
                std::uint32_t expected = 0;
                if (inside && !(large && y == top && x < left + 2))
                    expected = (static_cast<std::uint32_t>(y - top) << 12) | (x - left) | 0x800000;
                ASSERT_EQ(display.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
    setDisplayDevice(nullptr);
}

// A display opens when it can and has a format a converter takes. Nothing
// is drawn while the window is inactive or cannot be locked; otherwise
// every row is converted into the display's format.
TEST(FlipToDisplay, ConvertsEveryRowWhenTheDisplayCanTakeIt)
{
    MemoryDisplay rgb444({16, 0xF00, 0xF0, 0xF}), closed, display({16, 0xF800, 0x7E0, 0x1F});
    closed.failOpen = true;
    setDisplayDevice(&rgb444);
    EXPECT_EQ(openDisplay("test", 512, 384), 0);
    setDisplayDevice(&closed);
    EXPECT_EQ(openDisplay("test", 512, 384), 0);
    setDisplayDevice(&display);
    ASSERT_EQ(openDisplay("test", 512, 384), 1);
    std::vector<std::uint32_t> picture(512 * 384, 0x00FF8040);
    picture[383 * 512 + 511] = 0x00FFFFFF;
    display.isActive = false;
    EXPECT_EQ(flipToDisplay(picture.data()), 1);
    display.isActive = true;
    display.failLock = true;
    EXPECT_EQ(flipToDisplay(picture.data()), 0);
    EXPECT_EQ(display.flips, 0);
    display.failLock = false;
    EXPECT_EQ(flipToDisplay(picture.data()), 1);
    std::uint16_t first = 0, last = 0;
    std::memcpy(&first, display.screen().data(), 2);
    std::memcpy(&last, display.screen().data() + (383 * 512 + 511) * 2, 2);
    EXPECT_EQ(first, 0xFC08);
    EXPECT_EQ(last, 0xFFFF);
    setDisplayDevice(nullptr);
}
