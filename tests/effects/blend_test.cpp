#include <gtest/gtest.h>

#include "display/pixel.h"
#include "effects/blend.h"
#include "tests/effects/test_pictures.h"

namespace {

using AdjustBrightness = EffectTest;
using CrossFade = EffectTest;
using AddColourToPixel = EffectTest;
using AddPicture = EffectTest;
using CopyPicture = EffectTest;

TEST_F(AdjustBrightness, LimitsChannelsTo0And250AndClearsTheTopByte)
{
    const struct {
        std::uint32_t pixel;
        int delta;
        std::uint32_t expected;
    } cases[] = {
        {0x00FFFFFF, 0, 0x00FAFAFA},     // even delta 0 lowers 255 to 250
        {0xAB1E64FB, -50, 0x000032C9},   // (30, 100, 251) -> (0, 50, 201), top byte cleared
        {0x00000000, 300, 0x00FAFAFA},
    };
    forEachKernelSet([&] {
        for (const auto& c : cases) {
            Picture p = filled(7, c.pixel);   // one packed step and a tail
            adjustBrightness(p.data(), 7, 1, c.delta);
            EXPECT_EQ(p, filled(7, c.expected)) << std::hex << c.pixel << " " << std::dec << c.delta;
        }
    });
}

TEST_F(CrossFade, BlendsByWeightAndKeepsTargetTopBytes)
{
    const struct {
        int weight;
        std::uint32_t target, source, expected;
    } cases[] = {
        {-1, 0xAA000064, 0x00C80000, 0xAA000064},    // untouched
        {300, 0xAA000064, 0x11C80000, 0xAAC80000},   // colours copied, top byte kept
        {128, 0x00000064, 0x00C80000, 0x00640032},   // (100, 0, 50)
    };
    forEachKernelSet([&] {
        for (const auto& c : cases) {
            Picture target = filled(9, c.target);
            crossFade(target.data(), filled(9, c.source).data(), 3, 3, c.weight);
            EXPECT_EQ(target, filled(9, c.expected)) << "weight " << c.weight;
        }
    });
}

TEST_F(AddColourToPixel, ChannelsStopAt0And255)
{
    const struct {
        std::uint32_t pixel;
        int red, green, blue;
        std::uint32_t expected;
    } cases[] = {
        {0x00FA000A, 49, 59, 61, 0x00FF3B47},        // (250, 0, 10) -> (255, 59, 71)
        {0x990AC805, -20, -50, 0, 0x00009605},       // darkens, top byte cleared
        {0x00000000, -2147483647 - 1, 2147483647, 1, 0x0000FF01},
    };
    for (const auto& c : cases) {
        std::uint32_t p[3] = {1, c.pixel, 2};
        addColourToPixel(p, 1, c.red, c.green, c.blue);
        EXPECT_EQ(p[1], c.expected);
        EXPECT_EQ(p[0], 1u);
        EXPECT_EQ(p[2], 2u);
    }
}

TEST_F(AddPicture, ShiftedPictureWrapsIntoTheNextRow)
{
    // With x1 = 512 source pixel k lands on y0 * 512 + x0 + k: pixel 502 of
    // row 0 at x0 = 10 on column 0 of row 1.
    Picture target = filled(PICTURE_PIXELS, 0);
    Picture source = filled(PICTURE_PIXELS, 0);
    source[502] = 0x01020304;
    addPicture(target.data(), source.data(), 10, 0, 512, 384);
    EXPECT_EQ(target[at(0, 1)], 0x01020304u);
    EXPECT_EQ(countOther(target, 0), 1u);
}

TEST_F(AddPicture, StaysInsideBothBuffers)
{
    // Exactly sized buffers: AddressSanitizer fails the test on any stray
    // access. Target pixels first..end receive a source pixel. Placements
    // off the picture are left to the differential test; these are the
    // sources shorter than the picture and sums beyond int.
    const struct {
        int x0, y0, x1, y1, sourcePixels;
        std::size_t first, end;
    } cases[] = {
        {0, 0, 512, 384, 1000, 2, 1000},                                  // short source
        {0, -2147483647, 512, 2147483647, 3000, 0, 0},                    // source spent long before
        {-2147483647, 0, 512, 384, PICTURE_PIXELS, 0, 0},                 // pairs beyond int
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, 0x01010101);
        Picture source = filled(static_cast<std::size_t>(c.sourcePixels), 0x01010101);
        addPicture(target.data(), source.data(), c.x0, c.y0, c.x1, c.y1, c.sourcePixels);
        EXPECT_EQ(source[0] | source[1], 0u);
        for (std::size_t i = 0; i < target.size(); ++i)
            ASSERT_EQ(target[i], i >= c.first && i < c.end ? 0x02020202u : 0x01010101u) << c.x0 << "," << c.y0 << " " << i;
    }
}

TEST_F(CopyPicture, TallPictureScrolledUpFillsRows1To383)
{
    Picture source(512 * 721);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint32_t>(i);
    Picture target = filled(PICTURE_PIXELS, 7);
    copyPicture(target.data(), source.data(), 0, -300, 512, 721);
    EXPECT_EQ(source[0] | source[1], 0u);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x) ASSERT_EQ(target[at(x, y)], y == 0 ? 7u : at(x, y + 300)) << x << "," << y;
}

}  // namespace
