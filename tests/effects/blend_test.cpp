#include <gtest/gtest.h>

#include "display/pixel.h"
#include "effects/blend.h"
#include "tests/effects/reference.h"
#include "tests/effects/test_pictures.h"

namespace {

using AdjustBrightness = EffectTest;
using CrossFade = EffectTest;
using AddColourToPixel = EffectTest;
using TintRect = EffectTest;
using AddPicture = EffectTest;
using CopyPicture = EffectTest;

struct PixelCase {
    std::uint32_t pixel;
    int amount;
    std::uint32_t expected;
};

TEST_F(AdjustBrightness, LimitsChannelsTo0And250AndClearsTheTopByte)
{
    const PixelCase cases[] = {
        {0x00FFFFFF, 0, 0x00FAFAFA},     // even delta 0 lowers 255 to 250
        {0x001E64FB, -50, 0x000032C9},   // (30, 100, 251) -> (0, 50, 201)
        {0xAB0A141E, 5, 0x000F1923},     // top byte cleared
        {0x00000000, 300, 0x00FAFAFA},
        {0x00FFFFFF, -300, 0x00000000},
        {0x00FA00FA, 1, 0x00FA01FA},
    };
    forEachKernelSet([&] {
        for (const PixelCase& c : cases) {
            // Seven pixels: one full packed step plus the single-pixel tail.
            Picture p = filled(7, c.pixel);
            adjustBrightness(p.data(), 7, 1, c.amount);
            for (std::uint32_t v : p) EXPECT_EQ(v, c.expected) << std::hex << c.pixel << " " << std::dec << c.amount;
        }
    });
}

TEST_F(AdjustBrightness, TouchesOnlyWidthTimesHeightPixels)
{
    const std::pair<int, int> sizes[] = {{0, 5}, {3, 0}, {-2, 3}, {3, 2}};
    const std::size_t expectedChanged[] = {0, 0, 0, 6};
    for (std::size_t n = 0; n < 4; ++n) {
        Picture p = filled(8, 0x00FFFFFF);
        adjustBrightness(p.data(), sizes[n].first, sizes[n].second, 0);
        for (std::size_t i = 0; i < p.size(); ++i)
            EXPECT_EQ(p[i], i < expectedChanged[n] ? 0x00FAFAFAu : 0x00FFFFFFu) << n << " " << i;
    }
}

TEST_F(CrossFade, BlendsByWeightAndKeepsTargetTopBytes)
{
    struct Case {
        int weight;
        std::uint32_t target, source, expected;
    };
    const Case cases[] = {
        {-1, 0xAA000064, 0x00C80000, 0xAA000064},    // untouched
        {300, 0xAA000064, 0x11C80000, 0xAAC80000},   // colours copied, top byte kept
        {256, 0x00123456, 0x00ABCDEF, 0x00ABCDEF},
        {0, 0x7F123456, 0x00ABCDEF, 0x7F123456},
        {128, 0x00000064, 0x00C80000, 0x00640032},   // (100, 0, 50)
        {64, 0x000000FF, 0x00FF8000, 0x003F20BF},    // (63, 32, 191): shifted down, not rounded
    };
    forEachKernelSet([&] {
        for (const Case& c : cases) {
            Picture target = filled(9, c.target);
            const Picture source = filled(9, c.source);
            crossFade(target.data(), source.data(), 3, 3, c.weight);
            for (std::uint32_t v : target) EXPECT_EQ(v, c.expected) << "weight " << c.weight;
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
        {0x00808080, 1000, -1000, 0, 0x00FF0080},
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

TEST_F(TintRect, TintsColumnsAfterX0ThroughX1AndRowsY0BeforeY1)
{
    const std::uint32_t grey = 0x00101010, tinted = 0x00414B4D;   // + (49, 59, 61)
    forEachKernelSet([&] {
        Picture p = filled(PICTURE_PIXELS, grey);
        tintRect(p.data(), 5, 10, 5, 20, 49, 59, 61);   // x0 = x1: nothing
        tintRect(p.data(), 9, 10, 3, 20, 49, 59, 61);   // x0 > x1: nothing
        for (std::uint32_t v : p) ASSERT_EQ(v, grey);

        tintRect(p.data(), 0, 10, 3, 12, 49, 59, 61);
        for (int y = 9; y <= 12; ++y)
            for (int x = 0; x <= 4; ++x) {
                const bool inside = y >= 10 && y <= 11 && x >= 1 && x <= 3;
                EXPECT_EQ(p[at(x, y)], inside ? tinted : grey) << x << "," << y;
            }
    });
}

TEST_F(TintRect, FullWidthReachesTheFirstPixelOfTheNextRow)
{
    Picture p = filled(PICTURE_PIXELS, 0);
    tintRect(p.data(), 0, 5, 512, 6, 1, 2, 3);
    EXPECT_EQ(p[at(0, 5)], 0u);
    EXPECT_EQ(p[at(1, 5)], 0x00010203u);
    EXPECT_EQ(p[at(511, 5)], 0x00010203u);
    EXPECT_EQ(p[at(0, 6)], 0x00010203u);
    EXPECT_EQ(p[at(1, 6)], 0u);
}

TEST_F(TintRect, SkipsEverythingOutsideThePicture)
{
    // The picture buffer is exactly 512x384: under AddressSanitizer any
    // write past it would fail the test.
    Picture p = filled(PICTURE_PIXELS, 0);
    tintRect(p.data(), 0, 380, 512, 900, 10, 10, 10);    // last row would spill past the end
    tintRect(p.data(), -3, -50, 2, 1, 10, 10, 10);        // rows above, columns before the picture
    tintRect(p.data(), 100, 1000, 200, 2000, 10, 10, 10); // wholly below
    EXPECT_EQ(p[at(511, 383)], 0x000A0A0Au);
    EXPECT_EQ(p[at(0, 381)], 0x000A0A0Au);    // reached from the end of row 380
    EXPECT_EQ(p[at(0, 380)], 0u);
    EXPECT_EQ(p[at(0, 0)], 0x000A0A0Au);
    EXPECT_EQ(p[at(2, 0)], 0x000A0A0Au);
    EXPECT_EQ(p[at(3, 0)], 0u);
    EXPECT_EQ(p[at(0, 1)], 0u);
}

TEST_F(AddPicture, SaturatesEveryByteAndClearsTheSourcesFirstPair)
{
    forEachKernelSet([&] {
        Picture target = filled(PICTURE_PIXELS, 0xF0F0F0F0);
        Picture source = filled(PICTURE_PIXELS, 0x20100801);
        addPicture(target.data(), source.data(), 0, 0, 512, 384);
        EXPECT_EQ(source[0], 0u);
        EXPECT_EQ(source[1], 0u);
        EXPECT_EQ(source[2], 0x20100801u);
        EXPECT_EQ(target[0], 0xF0F0F0F0u);   // the cleared pair adds nothing
        EXPECT_EQ(target[1], 0xF0F0F0F0u);
        for (std::size_t i = 2; i < target.size(); ++i) ASSERT_EQ(target[i], 0xFFFFF8F1u) << i;
    });
}

TEST_F(AddPicture, OffsetPictureWrapsIntoTheNextRow)
{
    // x0 = 10: source pixel k lands on target pixel 10 + k, so pixel 502
    // of source row 0 lands on column 0 of row 1.
    Picture target = filled(PICTURE_PIXELS, 0);
    Picture source = filled(PICTURE_PIXELS, 0);
    source[502] = 0x01020304;
    addPicture(target.data(), source.data(), 10, 0, 512, 384);
    EXPECT_EQ(target[at(0, 1)], 0x01020304u);
    std::size_t changed = 0;
    for (std::uint32_t v : target) changed += v != 0;
    EXPECT_EQ(changed, 1u);

    // An odd x0 leaves 2 * 254 = 508 pixels a row and the rows still meet:
    // source pixel k lands on 2 * 512 + 3 + k; the source's last 3 rows
    // and a bit are dropped.
    Picture marks = filled(PICTURE_PIXELS, 0);
    for (std::size_t k : {2u, 507u, 508u, 100000u, 194055u, 194056u}) marks[k] = static_cast<std::uint32_t>(k);
    target = filled(PICTURE_PIXELS, 0);
    addPicture(target.data(), marks.data(), 3, 2, 512, 384);
    for (std::size_t k : {2u, 507u, 508u, 100000u, 194055u}) EXPECT_EQ(target[1027 + k], k);
    for (std::size_t i = 195083; i < target.size(); ++i) ASSERT_EQ(target[i], 0u) << i;
}

TEST_F(AddPicture, NarrowRectangleSkipsScreenWidthMinusX1AfterEachRow)
{
    // x0 = 4, x1 = 10: three pairs a row. After row 1 (columns 4..9) the
    // target skips 512 - 10 pixels, so the next row starts at column 0 of
    // row 2; the source reads on without gaps.
    Picture target = filled(PICTURE_PIXELS, 0);
    Picture source = filled(PICTURE_PIXELS, 0);
    for (std::uint32_t k = 0; k < 16; ++k) source[k] = k + 1;
    addPicture(target.data(), source.data(), 4, 1, 10, 3);
    const std::uint32_t row1[] = {0, 0, 0, 0, 0, 0, 3, 4, 5, 6, 0};   // source 0 and 1 cleared
    const std::uint32_t row2[] = {7, 8, 9, 10, 11, 12, 0, 0, 0, 0, 0};
    for (int x = 0; x < 11; ++x) {
        EXPECT_EQ(target[at(x, 1)], row1[x]) << x;
        EXPECT_EQ(target[at(x, 2)], row2[x]) << x;
        EXPECT_EQ(target[at(x, 3)], 0u) << x;
    }
}

TEST_F(AddPicture, StaysInsideBothBuffers)
{
    // Exactly sized buffers: AddressSanitizer fails the test on any stray access.
    struct Case {
        int x0, y0, x1, y1, sourcePixels;
        std::size_t firstChanged, endChanged;   // target pixels that receive source pixels
    };
    const Case cases[] = {
        {0, 300, 512, 684, PICTURE_PIXELS, at(2, 300), PICTURE_PIXELS},   // runs past the target
        {0, 0, 512, 384, 1000, 2, 1000},                                  // short source
        {0, -10, 512, 10, PICTURE_PIXELS, 0, at(0, 10)},                  // starts above the picture
        {5, 0, 4, 384, PICTURE_PIXELS, 0, 0},                             // no pairs
        {0, 7, 512, 7, PICTURE_PIXELS, 0, 0},                             // no rows
        {0, 0, 513, 384, PICTURE_PIXELS, 0, 0},                           // wider than the screen
        {0, -2147483647, 512, 2147483647, 3000, 0, 0},                    // source spent long before
        {-2147483647, 0, 512, 384, PICTURE_PIXELS, 0, 0},                 // pairs beyond int
    };
    for (const Case& c : cases) {
        Picture target = filled(PICTURE_PIXELS, 0x01010101);
        Picture source = filled(static_cast<std::size_t>(c.sourcePixels), 0x01010101);
        addPicture(target.data(), source.data(), c.x0, c.y0, c.x1, c.y1, c.sourcePixels);
        EXPECT_EQ(source[0], 0u);
        EXPECT_EQ(source[1], 0u);
        for (std::size_t i = 0; i < target.size(); ++i) {
            const bool added = i >= c.firstChanged && i < c.endChanged;
            ASSERT_EQ(target[i], added ? 0x02020202u : 0x01010101u) << c.x0 << "," << c.y0 << " at " << i;
        }
    }
}

TEST_F(CopyPicture, TallPictureScrolledUpFillsRows1To383)
{
    const int height = 721;
    Picture source(static_cast<std::size_t>(512 * height));
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint32_t>(i);
    Picture target = filled(PICTURE_PIXELS, 0xDEADBEEF);
    copyPicture(target.data(), source.data(), 0, -300, 512, height);
    EXPECT_EQ(source[0], 0u);
    EXPECT_EQ(source[1], 0u);
    for (int x = 0; x < 512; ++x) ASSERT_EQ(target[at(x, 0)], 0xDEADBEEFu);
    for (int y = 1; y < 384; ++y)
        for (int x = 0; x < 512; ++x) ASSERT_EQ(target[at(x, y)], (y + 300) * 512 + x) << x << "," << y;
}

TEST_F(CopyPicture, ClipsRowsToOneTo383AndColumnsToTheRow)
{
    struct Case {
        int x, y, width, height;
        int firstRow, endRow, firstCol, endCol;   // target area written
        int sourceColumnShift;                    // source column = target column + shift
    };
    const Case cases[] = {
        {0, 0, 512, 384, 1, 384, 0, 512, 0},       // row 0 is never written
        {0, 380, 512, 100, 380, 384, 0, 512, 0},   // rows past the bottom dropped
        {100, 5, 512, 3, 5, 8, 100, 512, -100},    // no wrap into the next row
        {-50, 5, 512, 3, 5, 8, 0, 462, 50},
        {0, 5, 513, 3, 0, 0, 0, 0, 0},             // wider than the screen: nothing
        {0, 5, 512, 0, 0, 0, 0, 0, 0},
        {0, 2000, 512, 10, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const int rows = c.height > 0 ? c.height : 1;
        Picture source(static_cast<std::size_t>(c.width) * rows);
        for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint32_t>(i) + 7;
        Picture target = filled(PICTURE_PIXELS, 1);
        copyPicture(target.data(), source.data(), c.x, c.y, c.width, c.height);
        for (int y = 0; y < 384; ++y)
            for (int x = 0; x < 512; ++x) {
                const bool written = y >= c.firstRow && y < c.endRow && x >= c.firstCol && x < c.endCol;
                const int k = y - c.y, sx = x + c.sourceColumnShift;
                const std::uint32_t expected = written ? static_cast<std::uint32_t>(k * c.width + sx) + 7 : 1u;
                ASSERT_EQ(target[at(x, y)], (written && k == 0 && sx < 2) ? 0u : expected)
                    << "case x=" << c.x << " y=" << c.y << " at " << x << "," << y;
            }
    }
}

TEST_F(CopyPicture, TinySourceClearsOnlyWhatItHas)
{
    std::uint32_t one[1] = {5};
    copyPicture(frameBuffer, one, 0, 0, 1, 1);
    EXPECT_EQ(one[0], 0u);
}

// The packed versions against the plain per-pixel rules on random pictures.
TEST_F(AdjustBrightness, MatchesThePlainLoopOnRandomPictures)
{
    std::mt19937 random(11);
    forEachKernelSet([&] {
        for (int round = 0; round < 40; ++round) {
            const Picture start = noise(PICTURE_PIXELS, random);
            const int width = between(random, 1, 512), height = between(random, 1, 384);
            const int delta = between(random, -400, 400);
            Picture fast = start, plain = start;
            adjustBrightness(fast.data(), width, height, delta);
            reference::adjustBrightness(plain.data(), width, height, delta);
            ASSERT_EQ(fast, plain) << width << "x" << height << " delta " << delta;
        }
    });
}

TEST_F(CrossFade, MatchesThePlainLoopOnRandomPictures)
{
    std::mt19937 random(12);
    forEachKernelSet([&] {
        for (int round = 0; round < 40; ++round) {
            const Picture start = noise(PICTURE_PIXELS, random);
            const Picture source = noise(PICTURE_PIXELS, random);
            const int width = between(random, 1, 512), height = between(random, 1, 384);
            const int weight = between(random, -20, 300);
            Picture fast = start, plain = start;
            crossFade(fast.data(), source.data(), width, height, weight);
            reference::crossFade(plain.data(), source.data(), width, height, weight);
            ASSERT_EQ(fast, plain) << width << "x" << height << " weight " << weight;
        }
    });
}

TEST_F(TintRect, MatchesThePlainLoopOnRandomRectangles)
{
    std::mt19937 random(13);
    forEachKernelSet([&] {
        for (int round = 0; round < 60; ++round) {
            const Picture start = noise(PICTURE_PIXELS, random);
            const int x0 = between(random, -600, 600), x1 = x0 + between(random, -5, 1200);
            const int y0 = between(random, -50, 400), y1 = y0 + between(random, -5, 420);
            const int r = between(random, -300, 300), g = between(random, -300, 300), b = between(random, -300, 300);
            Picture fast = start, plain = start;
            tintRect(fast.data(), x0, y0, x1, y1, r, g, b);
            reference::tintRect(plain.data(), x0, y0, x1, y1, r, g, b);
            ASSERT_EQ(fast, plain) << x0 << "," << y0 << " " << x1 << "," << y1;
        }
    });
}

TEST_F(AddPicture, MatchesThePlainLoopOnRandomPlacements)
{
    std::mt19937 random(14);
    forEachKernelSet([&] {
        for (int round = 0; round < 60; ++round) {
            const Picture start = noise(PICTURE_PIXELS, random);
            const Picture picture = noise(PICTURE_PIXELS, random);
            int x0 = between(random, 0, 99), y0 = between(random, 0, 99), x1 = 512, y1 = 384;
            int sourcePixels = PICTURE_PIXELS;
            if (round % 2 == 1) {   // odd rounds: any placement, any source size
                x0 = between(random, -700, 600);
                x1 = x0 + between(random, -3, 700);
                y0 = between(random, -400, 400);
                y1 = y0 + between(random, -3, 500);
                sourcePixels = between(random, 0, PICTURE_PIXELS);
            }
            Picture fastTarget = start, plainTarget = start;
            Picture fastSource = picture, plainSource = picture;
            addPicture(fastTarget.data(), fastSource.data(), x0, y0, x1, y1, sourcePixels);
            reference::addPicture(plainTarget.data(), plainSource.data(), x0, y0, x1, y1, sourcePixels);
            ASSERT_EQ(fastTarget, plainTarget) << x0 << "," << y0 << " " << x1 << "," << y1 << " " << sourcePixels;
            ASSERT_EQ(fastSource, plainSource);
        }
    });
}

TEST_F(CopyPicture, MatchesThePlainLoopOnRandomPlacements)
{
    std::mt19937 random(15);
    for (int round = 0; round < 60; ++round) {
        const int width = between(random, 1, 530), height = between(random, 1, 800);
        const int x = round % 3 == 0 ? 0 : between(random, -600, 600), y = between(random, -900, 500);
        const Picture start = noise(PICTURE_PIXELS, random);
        const Picture picture = noise(static_cast<std::size_t>(width) * height, random);
        Picture fastTarget = start, plainTarget = start;
        Picture fastSource = picture, plainSource = picture;
        copyPicture(fastTarget.data(), fastSource.data(), x, y, width, height);
        reference::copyPicture(plainTarget.data(), plainSource.data(), x, y, width, height);
        ASSERT_EQ(fastTarget, plainTarget) << x << "," << y << " " << width << "x" << height;
        ASSERT_EQ(fastSource, plainSource);
    }
}

}  // namespace
