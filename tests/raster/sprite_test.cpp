#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "display/screen.h"
#include "raster/sprite.h"
#include "reference.h"

namespace {

class Sprites : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUpPicture();
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
        // Texel (column, row): green = row, blue = column.
        for (int r = 0; r < 64; ++r) {
            for (int c = 0; c < 64; ++c) picture[r * 64 + c] = (r << 8) | c;
        }
    }

    std::uint32_t pixel(int x, int y) const { return frameBuffer[y * 512 + x]; }

    // Bounds of the written pixels: {left, top, right, bottom}, or all -1.
    std::vector<int> box() const
    {
        std::vector<int> b{-1, -1, -1, -1};
        for (int y = 0; y < 384; ++y) {
            for (int x = 0; x < 512; ++x) {
                if (pixel(x, y) == 0) continue;
                if (b[0] < 0 || x < b[0]) b[0] = x;
                if (b[1] < 0) b[1] = y;
                b[2] = std::max(b[2], x);
                b[3] = y;
            }
        }
        return b;
    }

    std::uint32_t picture[64 * 64];
};

TEST_F(Sprites, StepSizesScaleTheSprite)
{
    // Pixel (100 + k, 50 + r), k and r from 1, reads texel column
    // 1 + (k - 1) * step and row 1 + (r - 1) * step, truncated.
    struct Case {
        float step;
        std::vector<int> box;
        int x, y;
        std::uint32_t texel;
    };
    const Case cases[] = {
        {1.0f, {101, 51, 163, 111}, 163, 111, 0x3D3Fu},   // 63 by 61, one to one
        {0.5f, {101, 51, 226, 172}, 103, 53, 0x0202u},    // 126 by 122, two pixels a texel
        {2.0f, {101, 51, 132, 81}, 102, 52, 0x0303u},     // u 1, 3, .. 63: 32 columns; v 1, 3, .. 61: 31 rows
        {64.0f, {101, 51, 101, 51}, 101, 51, 0x0101u},
    };
    for (const Case& c : cases) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
        addScaledSprite(frameBuffer, picture, 64, 62, 100, 50, c.step, c.step);
        EXPECT_EQ(box(), c.box) << "step " << c.step;
        EXPECT_EQ(pixel(c.x, c.y), c.texel) << "step " << c.step;
    }
}

TEST_F(Sprites, ClippedAndRejectedPositions)
{
    // Near the right and bottom edges only the inside part is drawn.
    addScaledSprite(frameBuffer, picture, 64, 62, 500, 370, 1.0f, 1.0f);
    EXPECT_EQ(box(), (std::vector<int>{501, 371, 511, 383}));
    EXPECT_EQ(pixel(0, 372), 0u);   // nothing wraps into the next row

    const int positions[][2] = {{0, 10}, {10, 0}, {512, 10}, {10, 384}, {-5, -5}};
    for (const auto& p : positions) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
        addScaledSprite(frameBuffer, picture, 64, 62, p[0], p[1], 1.0f, 1.0f);
        EXPECT_EQ(box(), (std::vector<int>{-1, -1, -1, -1})) << p[0] << ", " << p[1];
    }
}

TEST_F(Sprites, TinyStepsAndLargeLimitsStayBounded)
{
    // A vertex just in front of the camera: a step of 1e-6 would cover
    // millions of pixels; everything right of and below the point reads
    // texel (1, 1).
    addScaledSprite(frameBuffer, picture, 64, 62, 10, 20, 1e-6f, 1e-6f);
    EXPECT_EQ(box(), (std::vector<int>{11, 21, 511, 383}));
    EXPECT_EQ(pixel(511, 383), 0x0101u);

    // Limits beyond the picture count as 64.
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    addScaledSprite(frameBuffer, picture, 1000, 1000, 100, 100, 1.0f, 1.0f);
    EXPECT_EQ(box(), (std::vector<int>{101, 101, 163, 163}));
}

TEST_F(Sprites, FlareBlockAddsEveryByteUpTo255)
{
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0x80808080u);
    std::fill(picture, picture + 64 * 64, 0x90109010u);
    addFlareBlock(frameBuffer, picture, 100, 50);
    EXPECT_EQ(pixel(100, 50), 0xFF90FF90u);
    EXPECT_EQ(pixel(163, 111), 0xFF90FF90u);

    // Clipped at the far corner and at negative positions: 64 by 62 each.
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    addFlareBlock(frameBuffer, picture, 480, 350);
    addFlareBlock(frameBuffer, picture, -60, -50);
    EXPECT_EQ(box(), (std::vector<int>{0, 0, 511, 383}));
    EXPECT_EQ(pixel(479, 383), 0u);
    EXPECT_EQ(pixel(4, 11), 0u);
    EXPECT_EQ(pixel(3, 12), 0u);
}

}  // namespace
