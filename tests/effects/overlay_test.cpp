#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "control/random.h"
#include "display/pixel.h"
#include "effects/overlay.h"
#include "tests/effects/reference.h"
#include "tests/effects/test_pictures.h"

namespace {

using AddPixelPair = EffectTest;
using AddSplitPicture = EffectTest;
using AddScaledPicture = EffectTest;
using RandomizeRowOffsets = EffectTest;
using ShiftRow = EffectTest;
using WobbleRows = EffectTest;

std::uint32_t grey(int level)
{
    return packRgb(level, level, level);
}

// Pixels of the picture that differ from value.
std::size_t countOther(const Picture& p, std::uint32_t value)
{
    std::size_t n = 0;
    for (std::uint32_t v : p) n += v != value;
    return n;
}

TEST_F(AddPixelPair, SaturatesAllEightBytes)
{
    std::uint32_t target[4] = {9, 0xF0F0F0F0, 0x01020304, 9};
    const std::uint32_t source[3] = {0x20100801, 0xFFFFFFFF, 5};
    addPixelPair(target, 1, source, 0);
    EXPECT_EQ(target[1], 0xFFFFF8F1u);
    EXPECT_EQ(target[2], 0xFFFFFFFFu);
    EXPECT_EQ(target[0], 9u);
    EXPECT_EQ(target[3], 9u);
}

TEST_F(AddSplitPicture, SplitZeroAddsThePictureOnceMinusDarken)
{
    // 10x6 source: (100, 60, 20) at column 4 of row 2, a dark-red pixel
    // (red 10) at column 6 that counts as transparent; target grey 50.
    Picture source = filled(60, 0);
    source[2 * 10 + 4] = packRgb(100, 60, 20);
    source[2 * 10 + 6] = packRgb(10, 200, 200);
    const struct {
        int darken;
        std::uint32_t expected;
    } cases[] = {
        {0, packRgb(150, 110, 70)},
        {30, packRgb(120, 80, 40)},
        {255, packRgb(0, 0, 0)},     // overlay and background together stay below 255: black
        {-300, packRgb(255, 255, 255)},
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, grey(50));
        addSplitPicture(target.data(), source.data(), 10, 6, 20, 30, 0, c.darken);
        // Source row 2 is target row 30 + 1; column 4 is target column 24.
        EXPECT_EQ(target[at(24, 31)], c.expected) << c.darken;
        EXPECT_EQ(countOther(target, grey(50)), 1u) << c.darken;
    }
}

TEST_F(AddSplitPicture, OneBrightCopyAddsHalfOfIt)
{
    // Only column 5 of row 2 is bright; with split 2 it is s1 for target
    // column x + 7 and s2 for x + 3, the other copy black both times.
    Picture source = filled(60, 0);
    source[2 * 12 + 5] = packRgb(200, 100, 40);
    Picture target = filled(PICTURE_PIXELS, grey(50));
    addSplitPicture(target.data(), source.data(), 12, 5, 100, 100, 2, 0);
    EXPECT_EQ(target[at(103, 101)], packRgb(150, 100, 70));
    EXPECT_EQ(target[at(107, 101)], packRgb(150, 100, 70));
    EXPECT_EQ(countOther(target, grey(50)), 2u);
}

TEST_F(AddSplitPicture, DrawsOnlyTheColumnsBothCopiesCoverAndInsideThePicture)
{
    // A fully bright 12x6 source: with |split| 2 the columns 3..7 are drawn
    // (|split| < i < 12 - 2 - |split|), the source's rows 1..4 as target
    // rows y..y+3; target column and row 0 are never written. The target
    // and the source are exactly sized for AddressSanitizer.
    const Picture source = filled(72, grey(200));
    const struct {
        int x, y, split;
        int firstCol, endCol, firstRow, endRow;
    } cases[] = {
        {20, 30, 2, 23, 28, 30, 34},
        {20, 30, -2, 23, 28, 30, 34},
        {-3, -1, 0, 1, 7, 1, 3},          // i from 4, j from 2
        {505, 380, 0, 506, 512, 380, 384},
        {20, 30, 6, 0, 0, 0, 0},          // copies too far apart: nothing
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addSplitPicture(target.data(), source.data(), 12, 6, c.x, c.y, c.split, 0);
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 512; ++x) {
                const bool drawn = x >= c.firstCol && x < c.endCol && y >= c.firstRow && y < c.endRow;
                ASSERT_EQ(target[at(x, y)], drawn ? grey(200) : 0u) << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
}

TEST_F(AddScaledPicture, UnitStepsAddEverySourcePixelTwice)
{
    // 6x5 source at (10, 20), pixel (c, r) = (10r, 10c, 1). Target column
    // 10 + i takes source column i - 1, row 20 + j source row j (row 0 is
    // never read). Each pair also reaches the next column, so columns
    // 12..16 hold twice their own pixel, column 11 once, and column 17 the
    // pixel after each row's end: the next row's first, and past the
    // source's end black. The source is exactly 30 pixels.
    Picture source(30);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c) source[static_cast<std::size_t>(r * 6 + c)] = packRgb(10 * r, 10 * c, 1);
    Picture target = filled(PICTURE_PIXELS, 0);
    addScaledPicture(target.data(), source.data(), 6, 5, 10, 20, 1.0f, 1.0f, 0, 0);
    for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(target[at(11, 20 + j)], packRgb(10 * j, 0, 1)) << j;
        for (int i = 2; i <= 6; ++i) EXPECT_EQ(target[at(10 + i, 20 + j)], packRgb(20 * j, 20 * (i - 1), 2)) << i << "," << j;
        EXPECT_EQ(target[at(17, 20 + j)], j < 4 ? packRgb(10 * (j + 1), 0, 1) : 0u) << j;
    }
    EXPECT_EQ(countOther(target, 0), 4u * 7u - 1u);
}

TEST_F(AddScaledPicture, ThumbnailGetsAGreyFrame)
{
    // The show's thumbnail: 512x384 source, trim 200, steps 3 and 2: 104
    // columns (source 0, 3, ..., 309) by 92 rows (source 1, 3, ..., 183),
    // framed on its first and last columns and rows.
    Picture source(PICTURE_PIXELS);
    for (int r = 0; r < 384; ++r)
        for (int c = 0; c < 512; ++c) source[at(c, r)] = packRgb(r % 100, c % 100, 7);
    Picture target = filled(PICTURE_PIXELS, 0);
    addScaledPicture(target.data(), source.data(), 512, 384, 0, 0, 3.0f, 2.0f, 200, 0);
    const std::uint32_t frame = packRgb(200, 200, 200);
    for (int r = 1; r <= 92; ++r) {
        EXPECT_EQ(target[at(1, r)], frame) << r;
        EXPECT_EQ(target[at(104, r)], frame) << r;
        // Column 105 only gets the second pixel of the last sample, source column 310.
        EXPECT_EQ(target[at(105, r)], packRgb((2 * r - 1) % 100, 10, 7)) << r;
        EXPECT_EQ(target[at(106, r)], 0u) << r;
    }
    for (int c = 1; c <= 104; ++c) {
        EXPECT_EQ(target[at(c, 1)], frame) << c;
        EXPECT_EQ(target[at(c, 92)], frame) << c;
        EXPECT_EQ(target[at(c, 93)], 0u) << c;
    }
    for (int r = 2; r <= 91; ++r)
        for (int c = 2; c <= 103; ++c) {
            // Own sample (3(c-1), 2r-1) plus the previous one's second pixel (3(c-2)+1, 2r-1).
            const std::uint32_t expected =
                packRgb(2 * ((2 * r - 1) % 100), (3 * (c - 1)) % 100 + (3 * c - 5) % 100, 14);
            ASSERT_EQ(target[at(c, r)], expected) << c << "," << r;
        }
}

TEST_F(AddScaledPicture, DroppedBandGoesFortyRowsLowerOrNowhere)
{
    // A 200x10 picture of ones at y = 150: rows 151..159. Columns 51..149
    // are the band. Values count the additions a pixel received.
    const Picture source = filled(2000, grey(1));
    const struct {
        int y, dropBand;
        int x, row;
        int count;
    } cases[] = {
        {150, 1, 50, 155, 2},  {150, 1, 51, 155, 1},  {150, 1, 100, 155, 0}, {150, 1, 150, 155, 1},
        {150, 1, 151, 155, 2}, {150, 1, 51, 195, 1},  {150, 1, 100, 195, 2}, {150, 1, 150, 195, 1},
        {150, 2, 100, 195, 0}, {150, 2, 100, 155, 0}, {150, 2, 50, 155, 2},  {150, 0, 100, 155, 2},
        {150, 0, 100, 195, 0},
        // Near the bottom the band is written only where its row exists.
        {340, 1, 100, 383, 2}, {340, 1, 100, 343, 0},
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addScaledPicture(target.data(), source.data(), 200, 10, 0, c.y, 1.0f, 1.0f, 0, c.dropBand);
        EXPECT_EQ(target[at(c.x, c.row)], grey(c.count)) << "band " << c.dropBand << " at " << c.x << "," << c.row;
    }
}

TEST_F(AddScaledPicture, StepsThatCannotAdvanceNeverHang)
{
    const Picture source = filled(12, grey(1));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> nothing[] = {{0.0f, 1.0f}, {1.0f, -1.0f}, {nan, 1.0f}, {1.0f, nan}};
    for (const auto& [stepX, stepY] : nothing) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addScaledPicture(target.data(), source.data(), 4, 3, 0, 0, stepX, stepY, 0, 0);
        EXPECT_EQ(countOther(target, 0), 0u) << stepX << " " << stepY;
    }

    // A step too small to reach source column 1 samples column 0 all the
    // way to the right edge (pairs end at column 509), whether the sum
    // still creeps or has stopped moving long before the picture starts.
    Picture ramp(12);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) ramp[static_cast<std::size_t>(r * 4 + c)] = packRgb(r, c + 1, 0);
    for (int x : {0, -2000000000}) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addScaledPicture(target.data(), ramp.data(), 4, 3, x, 0, 1e-10f, 1.0f, 0, 0);
        for (int r = 1; r <= 2; ++r) {
            EXPECT_EQ(target[at(1, r)], packRgb(r, 1, 0)) << x;
            EXPECT_EQ(target[at(2, r)], packRgb(2 * r, 3, 0)) << x;
            EXPECT_EQ(target[at(509, r)], packRgb(2 * r, 3, 0)) << x;
            EXPECT_EQ(target[at(510, r)], packRgb(r, 2, 0)) << x;
            EXPECT_EQ(target[at(511, r)], 0u) << x;
        }
        EXPECT_EQ(countOther(target, 0), 2u * 510u) << x;
    }
}

TEST_F(RandomizeRowOffsets, DrawsSignThenSizeForEachRow)
{
    resetRandom();
    randomizeRowOffsets();
    // Draws 41, 18467 | 6334, 26500 | 19169, 15724 | 11478, 29358 | 26962, 24464:
    // 41 % 100 <= 50 -> -(18467 % 5 + 2.5) = -4, then -2, 6, 5, 6.
    const std::int32_t first[] = {-4, -2, 6, 5, 6};
    for (int y = 0; y < 5; ++y) EXPECT_EQ(rowWobble[y], first[y]) << y;
    int positive = 0;
    for (int y = 0; y < 384; ++y) {
        const int v = rowWobble[y];
        EXPECT_TRUE((v >= 2 && v <= 6) || (v >= -6 && v <= -2)) << y << ": " << v;
        positive += v > 0;
    }
    EXPECT_GT(positive, 140);
    EXPECT_LT(positive, 240);
    // Exactly two draws per row.
    const int next = drawRandom();
    resetRandom();
    for (int i = 0; i < 2 * 384; ++i) drawRandom();
    EXPECT_EQ(drawRandom(), next);
}

TEST_F(ShiftRow, CopiesSourceColumnsInsideOneTo511)
{
    Picture source(PICTURE_PIXELS);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = 1000 + static_cast<std::uint32_t>(i % 512);
    const struct {
        int shift;
        int first, end;   // target columns written, each with source column x + shift
    } cases[] = {
        {3, 0, 509},  {-2, 3, 512},  {0, 1, 512},   {511, 0, 1},   {512, 0, 0},
        {-511, 0, 0}, {600, 0, 0},   {-2147483647 - 1, 0, 0},      {2147483647, 0, 0},
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, 7);
        shiftRow(source.data(), target.data(), c.shift, 10);
        for (int x = 0; x < 512; ++x) {
            const bool copied = x >= c.first && x < c.end;
            ASSERT_EQ(target[at(x, 10)], copied ? 1000u + static_cast<std::uint32_t>(x + c.shift) : 7u)
                << c.shift << " at " << x;
        }
        EXPECT_EQ(countOther(target, 7), static_cast<std::size_t>(c.end - c.first)) << c.shift;
    }
    // Rows outside the picture: nothing (the buffers end with row 383).
    Picture target = filled(PICTURE_PIXELS, 7);
    for (int row : {384, -1, 100000}) shiftRow(source.data(), target.data(), 0, row);
    EXPECT_EQ(countOther(target, 7), 0u);
}

TEST_F(WobbleRows, ScalesEachRowsBaseShiftAndTruncates)
{
    Picture source(PICTURE_PIXELS);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint32_t>(i);
    const struct {
        std::int32_t base;
        float amplitude;
        int shift;        // expected shift; 9999 for an untouched row
    } cases[] = {
        {5, 0.0f, 0},     {2, 0.4f, 0},       {3, 1.5f, 4},       {-3, 1.5f, -4},     {-6, 100.0f, 9999},
        {6, 1e30f, 9999}, {6, std::numeric_limits<float>::infinity(), 9999},
        {6, std::numeric_limits<float>::quiet_NaN(), 9999},
    };
    for (const auto& c : cases) {
        for (int y = 0; y < 384; ++y) rowWobble[y] = c.base;
        Picture target = filled(PICTURE_PIXELS, 0xABCDEF);
        wobbleRows(source.data(), target.data(), c.amplitude);
        for (int y : {0, 17, 383})
            for (int x = 0; x < 512; ++x) {
                const int sx = x + c.shift;
                const bool copied = c.shift != 9999 && sx > 0 && sx < 512;
                ASSERT_EQ(target[at(x, y)], copied ? static_cast<std::uint32_t>(at(sx, y)) : 0xABCDEFu)
                    << c.base << " * " << c.amplitude << " at " << x << "," << y;
            }
    }
}

// The effects against their plain per-pixel rules with random arguments.
TEST_F(AddSplitPicture, MatchesThePlainLoopOnRandomPlacements)
{
    std::mt19937 random(31);
    for (int round = 0; round < 80; ++round) {
        const int width = between(random, 1, 420), height = between(random, 1, 170);
        const Picture source = noise(static_cast<std::size_t>(width) * height, random);
        const Picture start = noise(PICTURE_PIXELS, random);
        const int x = between(random, -450, 520), y = between(random, -180, 400);
        const int split = round % 4 == 0 ? between(random, -300, 300) : between(random, -8, 8);
        const int darken = between(random, -300, 600);
        Picture fast = start, plain = start;
        addSplitPicture(fast.data(), source.data(), width, height, x, y, split, darken);
        reference::addSplitPicture(plain.data(), source.data(), width, height, x, y, split, darken);
        ASSERT_EQ(fast, plain) << width << "x" << height << " at " << x << "," << y << " split " << split;
    }
}

TEST_F(AddScaledPicture, MatchesThePlainLoopOnRandomPlacements)
{
    std::mt19937 random(32);
    for (int round = 0; round < 80; ++round) {
        const int width = between(random, 1, 600), height = between(random, 1, 400);
        const Picture source = noise(static_cast<std::size_t>(width) * height, random);
        const Picture start = noise(PICTURE_PIXELS, random);
        const int x = between(random, -300, 520), y = between(random, -200, 400);
        const float stepX = static_cast<float>(between(random, 50, 300)) / 100.0f;
        const float stepY = static_cast<float>(between(random, 50, 300)) / 100.0f;
        const int trim = between(random, -5, 250), dropBand = between(random, 0, 2);
        Picture fast = start, plain = start;
        addScaledPicture(fast.data(), source.data(), width, height, x, y, stepX, stepY, trim, dropBand);
        reference::addScaledPicture(plain.data(), source.data(), width, height, x, y, stepX, stepY, trim, dropBand);
        ASSERT_EQ(fast, plain) << width << "x" << height << " at " << x << "," << y << " steps " << stepX << ","
                               << stepY << " trim " << trim << " band " << dropBand;
    }
}

TEST_F(WobbleRows, MatchesThePlainLoopOnRandomShifts)
{
    std::mt19937 random(33);
    for (int round = 0; round < 20; ++round) {
        for (int y = 0; y < 384; ++y) rowWobble[y] = between(random, -6, 6);
        const float amplitude = static_cast<float>(between(random, -2000, 12000)) / 100.0f;
        const Picture source = noise(PICTURE_PIXELS, random);
        const Picture start = noise(PICTURE_PIXELS, random);
        Picture fast = start, plain = start;
        wobbleRows(source.data(), fast.data(), amplitude);
        reference::wobbleRows(rowWobble, source.data(), plain.data(), amplitude);
        ASSERT_EQ(fast, plain) << "amplitude " << amplitude;
    }
}

}  // namespace
