#include <gtest/gtest.h>

#include <cstdlib>

#include "display/pixel.h"
#include "effects/blur.h"
#include "tests/effects/reference.h"
#include "tests/effects/test_pictures.h"

namespace {

using MixPixels = EffectTest;
using BlurBuffer = EffectTest;
using ZoomBlur = EffectTest;

std::uint32_t grey(int level)
{
    return packRgb(level, level, level);
}

TEST_F(MixPixels, ShiftsEachProductBeforeAddingAndKeepsTheFirstTopByte)
{
    const struct {
        std::uint32_t a, b;
        int w;
        std::uint32_t expected;
    } cases[] = {
        {0x120180FF, 0x34FFFFFF, 0, 0x12007FFE},     // weight 0: every non-zero channel minus 1
        {0x12000000, 0x34FF8001, 255, 0x12FE7F00},   // weight 255: b's channels minus 1
        {0x00C86400, 0x000032FF, 128, 0x00634A7F},   // (99, 49 + 25, 0 + 127)
        {0x00C86400, 0x000032FF, 256, 0x00C76300},   // 256 acts as 0
        {0x00FFFFFF, 0x00000000, 300, 0x00D2D2D2},   // 300 acts as 44: 255 * 211 >> 8 = 210
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mixPixels(c.a, c.b, c.w), c.expected) << "w " << c.w;
        EXPECT_EQ(reference::mixPixels(c.a, c.b, c.w & 255), c.expected) << "w " << c.w;
    }
}

TEST_F(BlurBuffer, LeavesBlackPureColoursAndZeroPassesAlone)
{
    const std::uint32_t fills[] = {0x00000000, 0x00FF0000, 0x0000FF00, 0x00808000 /* zero blue */, 0x00400040};
    for (std::uint32_t fill : fills) {
        Picture p = filled(64, fill);
        // A white pixel inside becomes the average of its four neighbours;
        // the field around it has a zero channel and stays.
        p[27] = 0x00FFFFFF;
        blurBuffer(p.data(), 8, 8, 3);
        for (std::size_t i = 0; i < p.size(); ++i) {
            if (i == 27) continue;
            ASSERT_EQ(p[i], fill) << std::hex << fill << " at " << std::dec << i;
        }
        EXPECT_EQ(p[27], packRgb(redOf(fill), greenOf(fill), blueOf(fill)));
    }
    Picture p = filled(64, 0x00112233);
    p[27] = 0x00FFFFFF;
    const Picture before = p;
    for (int passes : {0, -1}) {
        blurBuffer(p.data(), 8, 8, passes);
        EXPECT_EQ(p, before);
    }
    blurBuffer(p.data(), 8, 2, 1);   // only a first and a last row: nothing between
    blurBuffer(p.data(), 0, 8, 1);
    EXPECT_EQ(p, before);
}

TEST_F(BlurBuffer, WhitePixelSpreadsUpAndLeftThenItsAverageRightAndDown)
{
    // A 5x5 grey field of 40 with white at (2, 2): the pixels above and to
    // the left of it read its old value (40 + 40 + 40 + 255) >> 2 = 93; it
    // becomes (93 + 93 + 40 + 40) >> 2 = 66, and the pixels after it see
    // only that. The top byte of the white pixel survives.
    Picture p = filled(25, grey(40));
    p[12] = 0x7FFFFFFF;
    blurBuffer(p.data(), 5, 5, 1);
    const int expected[5][5] = {
        {40, 40, 40, 40, 40},
        {40, 40, 93, 53, 43},
        {40, 93, 66, 49, 43},
        {40, 53, 49, 44, 41},
        {40, 40, 40, 40, 40},
    };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t top = y == 2 && x == 2 ? 0x7F000000u : 0u;
            EXPECT_EQ(p[y * 5 + x], top | grey(expected[y][x])) << x << "," << y;
        }
}

TEST_F(BlurBuffer, RowEndsNeighbourTheNextAndPreviousRows)
{
    // 3x4: the first pixel of row 1 takes the last pixel of row 0 as its
    // left neighbour; the last pixel of row 1 takes the first of row 2 as
    // its right neighbour.
    Picture p = {
        grey(1),  grey(1),  grey(200),   //
        grey(10), grey(10), grey(10),    //
        grey(100), grey(1), grey(1),     //
        grey(1),  grey(1),  grey(1),
    };
    blurBuffer(p.data(), 3, 4, 1);
    // Pixel 3: up 1, left 200 (end of row 0), down 100, right 10 -> 77.
    EXPECT_EQ(p[3], grey(77));
    // Pixel 4: 1 + 77 + 1 + 10 -> 22. Pixel 5: 200 + 22 + 1 + 100 (start of row 2) -> 80.
    EXPECT_EQ(p[4], grey(22));
    EXPECT_EQ(p[5], grey(80));
    // Pixel 6: up 77, left 80 (end of row 1, already replaced), down 1, right 1 -> 39.
    EXPECT_EQ(p[6], grey(39));
}

TEST_F(ZoomBlur, WeightZeroOr256LowersEveryChannelByOne)
{
    std::mt19937 random(21);
    for (int weight : {0, 256, 512}) {
        Picture p = noise(PICTURE_PIXELS, random);
        const Picture before = p;
        zoomBlur(p.data(), 256, 192, 4000, weight);
        for (std::size_t i = 0; i < p.size(); ++i) {
            const std::uint32_t b = before[i];
            const std::uint32_t expected = (b & TOP_BYTE) | packRgb(std::max(redOf(b) - 1, 0), std::max(greenOf(b) - 1, 0),
                                                                    std::max(blueOf(b) - 1, 0));
            ASSERT_EQ(p[i], expected) << "weight " << weight << " at " << i;
        }
    }
}

TEST_F(ZoomBlur, CentrePixelMixesWithItself)
{
    Picture p = filled(PICTURE_PIXELS, packRgb(100, 50, 200));
    zoomBlur(p.data(), 256, 192, 4000, 128);
    // (100 * 127 >> 8) + (100 * 128 >> 8) = 49 + 50, and so on.
    EXPECT_EQ(p[at(256, 192)], packRgb(99, 49, 199));
}

TEST_F(ZoomBlur, EachQuadrantTakesItsSourceTowardTheCentre)
{
    // Centre (100, 100), step one half. On black, with a grey 200 at the
    // claimed source, weight 128: the source first becomes
    // 200 * 127 >> 8 = 99 (its own source is black), the target then
    // 99 * 128 >> 8 = 49. Any other source would give 0 or 24.
    const struct {
        int sourceX, sourceY, targetX, targetY;
    } cases[] = {
        {101, 100, 104, 100},   // right of the centre row
        {98, 100, 96, 100},     // left of it
        {99, 101, 100, 104},    // below: one column and one row further in
        {100, 98, 100, 96},     // above
    };
    for (const auto& c : cases) {
        Picture p = filled(PICTURE_PIXELS, 0);
        p[at(c.sourceX, c.sourceY)] = grey(200);
        zoomBlur(p.data(), 100, 100, 32768, 128);
        EXPECT_EQ(p[at(c.sourceX, c.sourceY)], grey(99)) << c.targetX << "," << c.targetY;
        EXPECT_EQ(p[at(c.targetX, c.targetY)], grey(49)) << c.targetX << "," << c.targetY;
    }
}

TEST_F(ZoomBlur, OddCentresAndStrengthsStayInsideThePicture)
{
    // The picture buffer is exactly 512x384 pixels: AddressSanitizer fails
    // the test on any stray access. The result must match the plain rule
    // with sources clamped to the buffer.
    const struct {
        int x, y, strength;
    } cases[] = {
        {0, 0, 4000},      {0, 0, 0},         {511, 383, 4000},  {-50, -50, 4000},  {600, 500, 4000},
        {256, 192, 65536}, {256, 192, 100000}, {256, 192, -4000}, {100, 0, 65535},  {-1, 200, 300000},
        {256, -1, 4000},   {256, 384, 4000},  {2147483647, -2147483647 - 1, 2147483647},
    };
    std::mt19937 random(22);
    for (const auto& c : cases) {
        const Picture start = noise(PICTURE_PIXELS, random);
        Picture fast = start;
        zoomBlur(fast.data(), c.x, c.y, c.strength, 150);
        if (std::abs(c.x) > 100000) continue;   // the plain rule would walk 2^31 rows
        Picture plain = start;
        reference::zoomBlur(plain.data(), c.x, c.y, c.strength, 150);
        ASSERT_EQ(fast, plain) << c.x << "," << c.y << " strength " << c.strength;
    }
}

TEST_F(BlurBuffer, MatchesThePlainLoopOnRandomPictures)
{
    std::mt19937 random(23);
    for (int round = 0; round < 30; ++round) {
        const int width = between(random, 1, 512), height = between(random, 1, 384);
        Picture start = noise(static_cast<std::size_t>(width) * height, random);
        // Some zero channels, so that skipped pixels occur often.
        for (std::uint32_t& v : start)
            if (between(random, 0, 5) == 0) v &= ~GREEN_BYTE;
        const int passes = between(random, -1, 3);
        Picture fast = start, plain = start;
        blurBuffer(fast.data(), width, height, passes);
        reference::blurBuffer(plain.data(), width, height, passes);
        ASSERT_EQ(fast, plain) << width << "x" << height << " passes " << passes;
    }
}

TEST_F(ZoomBlur, MatchesThePlainLoopOnRandomPictures)
{
    std::mt19937 random(24);
    for (int round = 0; round < 30; ++round) {
        const Picture start = noise(PICTURE_PIXELS, random);
        const bool showLike = round % 2 == 0;
        const int x = showLike ? between(random, 100, 300) : between(random, -100, 620);
        const int y = showLike ? between(random, 100, 300) : between(random, -100, 500);
        const int strength = showLike ? 4000 : between(random, -70000, 140000);
        const int weight = between(random, 0, 600);
        Picture fast = start, plain = start;
        zoomBlur(fast.data(), x, y, strength, weight);
        reference::zoomBlur(plain.data(), x, y, strength, weight);
        ASSERT_EQ(fast, plain) << x << "," << y << " strength " << strength << " weight " << weight;
    }
}

}  // namespace
