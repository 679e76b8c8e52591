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

class PresentFrame : public ::testing::Test {
protected:
    void TearDown() override { setDisplayDevice(nullptr); }

    void openAt(int width, int height)
    {
        setDisplayDevice(&display);
        ASSERT_EQ(openDisplay("test", width, height), 1);
        std::fill(std::begin(windowBuffer), std::end(windowBuffer), 0u);
    }

    MemoryDisplay display;
};

}  // namespace

TEST_F(PresentFrame, SmallWindowShowsTheSourceItself)
{
    openAt(512, 384);
    auto picture = numberedPicture();
    EXPECT_EQ(presentFrame(windowBuffer, picture.data(), 512, 384, 512, 384, 0, 0), 1);
    EXPECT_EQ(display.flips, 1);
    EXPECT_EQ(display.pixel(0, 0), 0x800000u);      // not cleared
    EXPECT_EQ(display.pixel(1, 0), 0x800001u);
    EXPECT_EQ(display.pixel(511, 383), (383u << 12) | 511u | 0x800000u);
    EXPECT_TRUE(std::all_of(std::begin(windowBuffer), std::end(windowBuffer),
                            [](std::uint32_t p) { return p == 0; }));
}

TEST_F(PresentFrame, LargeWindowCentresThePictureInABlackBorder)
{
    openAt(640, 480);
    auto picture = numberedPicture();
    EXPECT_EQ(presentFrame(windowBuffer, picture.data(), 512, 384, 640, 480, 64, 48), 1);
    // The caller's first two pixels are cleared, and show black.
    EXPECT_EQ(picture[0], 0u);
    EXPECT_EQ(picture[1], 0u);
    EXPECT_EQ(picture[2], 0x800002u);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= 64 && x < 576 && y >= 48 && y < 432;
            std::uint32_t expected = 0;
            if (inside && !(y == 48 && x < 66))
                expected = (static_cast<std::uint32_t>(y - 48) << 12) | (x - 64) | 0x800000;
            ASSERT_EQ(display.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(PresentFrame, NothingIsDrawnWhileInactiveOrUnlockable)
{
    openAt(512, 384);
    auto picture = numberedPicture();
    display.isActive = false;
    EXPECT_EQ(flipToDisplay(picture.data()), 1);
    EXPECT_EQ(display.flips, 0);
    display.isActive = true;
    display.failLock = true;
    EXPECT_EQ(flipToDisplay(picture.data()), 0);
    EXPECT_EQ(display.flips, 0);
}

TEST(OpenDisplay, FailsForAFormatNoConverterTakes)
{
    MemoryDisplay display({16, 0xF00, 0xF0, 0xF});
    setDisplayDevice(&display);
    EXPECT_EQ(openDisplay("test", 512, 384), 0);
    MemoryDisplay closed;
    closed.failOpen = true;
    setDisplayDevice(&closed);
    EXPECT_EQ(openDisplay("test", 512, 384), 0);
    setDisplayDevice(nullptr);
}

TEST(FlipToDisplay, ConvertsEveryRowIntoTheDisplayFormat)
{
    MemoryDisplay display({16, 0xF800, 0x7E0, 0x1F});
    setDisplayDevice(&display);
    ASSERT_EQ(openDisplay("test", 512, 384), 1);
    std::vector<std::uint32_t> picture(512 * 384, 0x00FF8040);
    picture[383 * 512 + 511] = 0x00FFFFFF;
    EXPECT_EQ(flipToDisplay(picture.data()), 1);
    std::uint16_t first = 0, last = 0;
    std::memcpy(&first, display.screen().data(), 2);
    std::memcpy(&last, display.screen().data() + (383 * 512 + 511) * 2, 2);
    EXPECT_EQ(first, 0xFC08);
    EXPECT_EQ(last, 0xFFFF);
    setDisplayDevice(nullptr);
}
