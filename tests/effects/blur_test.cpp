#include <gtest/gtest.h>

#include <algorithm>

#include "display/pixel.h"
#include "effects/blur.h"
#include "tests/effects/test_pictures.h"

namespace {

using BlurBuffer = EffectTest;
using ZoomBlur = EffectTest;

TEST_F(BlurBuffer, LeavesPixelsWithAZeroChannelAlone)
{
    // Black, pure red, green, a zero blue, a zero green: the field stays;
    // a white pixel in it becomes the average of its four neighbours.
    for (std::uint32_t fill : {0x00000000u, 0x00FF0000u, 0x0000FF00u, 0x00808000u, 0x00400040u}) {
        Picture p = filled(64, fill);
        p[27] = 0x00FFFFFF;
        blurBuffer(p.data(), 8, 8, 3);
        EXPECT_EQ(p, filled(64, fill)) << std::hex << fill;
    }
}

TEST_F(BlurBuffer, WhitePixelSpreadsUpAndLeftThenItsAverageRightAndDown)
{
    // A 5x5 grey field of 40 with white at (2, 2): the pixels above and to
    // its left read its old value: (40 + 40 + 40 + 255) >> 2 = 93; it
    // becomes (93 + 93 + 40 + 40) >> 2 = 66 and the pixels after it see
    // only that. Row ends wrap: (0, 2)'s left neighbour is (4, 1). The
    // white pixel's top byte survives.
    Picture p = filled(25, grey(40));
    p[12] = 0x7FFFFFFF;
    blurBuffer(p.data(), 5, 5, 1);
    const int expected[25] = {
        40, 40, 40, 40, 40,   //
        40, 40, 93, 53, 43,   //
        40, 93, 66, 49, 43,   //
        40, 53, 49, 44, 41,   //
        40, 40, 40, 40, 40,
    };
    for (int i = 0; i < 25; ++i) EXPECT_EQ(p[i], (i == 12 ? 0x7F000000u : 0u) | grey(expected[i])) << i;
}

TEST_F(ZoomBlur, WeightZeroOr256LowersEveryChannelByOne)
{
    std::mt19937 random(21);
    for (int weight : {0, 256, 512}) {
        const Picture before = noise(PICTURE_PIXELS, random);
        Picture p = before;
        zoomBlur(p.data(), 256, 192, 4000, weight);
        for (std::size_t i = 0; i < p.size(); ++i) {
            const std::uint32_t b = before[i];
            ASSERT_EQ(p[i], (b & TOP_BYTE) | packRgb(std::max(redOf(b) - 1, 0), std::max(greenOf(b) - 1, 0),
                                                     std::max(blueOf(b) - 1, 0)))
                << "weight " << weight << " at " << i;
        }
    }
}

TEST_F(ZoomBlur, EachQuadrantTakesItsSourceTowardTheCentre)
{
    // Centre (100, 100), step one half. On black with a grey 200 at the
    // claimed source, weight 128: the source becomes 200 * 127 >> 8 = 99
    // (its own source is black), the target 99 * 128 >> 8 = 49. A source
    // one pixel off would give 0 or 24.
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

TEST_F(ZoomBlur, FarCentresAndHugeStrengthsStayInsideTheBuffer)
{
    // Weight 0 ignores what the sources hold, so every pixel, visited once,
    // comes out one lower whatever is read; AddressSanitizer checks where
    // it is read from.
    const int far = 2147483647;
    const int calls[][3] = {{far, -far - 1, far}, {-far - 1, far, -far - 1}, {0, 0, far}, {511, 383, -far}, {0, 0, 0}};
    for (const auto& [x, y, strength] : calls) {
        Picture p = filled(PICTURE_PIXELS, packRgb(10, 20, 30));
        zoomBlur(p.data(), x, y, strength, 0);
        EXPECT_EQ(p, filled(PICTURE_PIXELS, packRgb(9, 19, 29))) << x << "," << y << " strength " << strength;
    }
}

}  // namespace
