#include <gtest/gtest.h>

#include <limits>

#include "display/pixel.h"
#include "effects/overlay.h"
#include "tests/effects/test_pictures.h"

namespace {

using AddSplitPicture = EffectTest;
using AddScaledPicture = EffectTest;
using WobbleRows = EffectTest;

TEST_F(AddSplitPicture, AveragesTwoCopiesMinusDarkenWhereEitherHasRed)
{
    // 12x5 source: (100, 60, 20) at column 4 of row 2 and a dark red
    // (10, 200, 200) at column 8, transparent on its own. Target grey 50,
    // the picture at (20, 30): source row 2 is target row 31.
    Picture source = filled(60, 0);
    source[2 * 12 + 4] = packRgb(100, 60, 20);
    source[2 * 12 + 8] = packRgb(10, 200, 200);
    const struct {
        int split, darken;
        std::vector<int> columns;   // target columns changed
        std::uint32_t expected;
    } cases[] = {
        {0, 0, {24}, packRgb(150, 110, 70)},
        {0, 255, {24}, 0},                       // overlay and background stay below 255: black
        {1, 0, {23, 25}, packRgb(100, 80, 60)},  // one copy bright, the other black: half of it
    };
    for (const auto& c : cases) {
        Picture target = filled(PICTURE_PIXELS, grey(50));
        addSplitPicture(target.data(), source.data(), 12, 5, 20, 30, c.split, c.darken);
        for (int x : c.columns) EXPECT_EQ(target[at(x, 31)], c.expected) << c.split << " " << c.darken;
        EXPECT_EQ(countOther(target, grey(50)), c.columns.size()) << c.split << " " << c.darken;
    }
}

TEST_F(AddScaledPicture, ThumbnailGetsAGreyFrame)
{
    // The show's thumbnail: trim 200, steps 3 and 2: 104 columns (source
    // 0, 3, ..., 309) by 92 rows (source 1, 3, ..., 183), framed on the
    // first and last of each; column 105 gets only the last pair's second
    // pixel, source column 310.
    Picture source(PICTURE_PIXELS);
    for (int r = 0; r < 384; ++r)
        for (int c = 0; c < 512; ++c) source[at(c, r)] = packRgb(r % 100, c % 100, 7);
    Picture target = filled(PICTURE_PIXELS, 0);
    addScaledPicture(target.data(), source.data(), 512, 384, 0, 0, 3.0f, 2.0f, 200, 0);
    for (int r = 0; r <= 93; ++r)
        for (int c = 0; c <= 106; ++c) {
            std::uint32_t expected = 0;
            if (r < 1 || r > 92 || c < 1 || c > 105) expected = 0;
            else if (c == 105) expected = packRgb((2 * r - 1) % 100, 10, 7);
            else if (r == 1 || r == 92 || c == 1 || c == 104) expected = grey(200);
            else   // own sample (3(c-1), 2r-1) plus the previous one's second pixel (3c-5, 2r-1)
                expected = packRgb(2 * ((2 * r - 1) % 100), (3 * (c - 1)) % 100 + (3 * c - 5) % 100, 14);
            ASSERT_EQ(target[at(c, r)], expected) << c << "," << r;
        }
}

TEST_F(AddScaledPicture, StepsThatCannotAdvanceNeverHang)
{
    const Picture ones = filled(12, grey(1));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float steps[][2] = {{0.0f, 1.0f}, {1.0f, -1.0f}, {nan, 1.0f}, {1.0f, nan}};
    for (const auto& [stepX, stepY] : steps) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addScaledPicture(target.data(), ones.data(), 4, 3, 0, 0, stepX, stepY, 0, 0);
        EXPECT_EQ(countOther(target, 0), 0u) << stepX << " " << stepY;
    }
    // A step too small to reach source column 1 samples column 0 up to the
    // right edge (pairs end at column 509), whether its sum still creeps or
    // stopped moving long before the picture starts.
    Picture ramp(12);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) ramp[static_cast<std::size_t>(r * 4 + c)] = packRgb(r, c + 1, 0);
    for (int x : {0, -2000000000}) {
        Picture target = filled(PICTURE_PIXELS, 0);
        addScaledPicture(target.data(), ramp.data(), 4, 3, x, 0, 1e-10f, 1.0f, 0, 0);
        for (int r = 1; r <= 2; ++r) {
            EXPECT_EQ(target[at(1, r)], packRgb(r, 1, 0)) << x;
            EXPECT_EQ(target[at(509, r)], packRgb(2 * r, 3, 0)) << x;
            EXPECT_EQ(target[at(510, r)], packRgb(r, 2, 0)) << x;
        }
        EXPECT_EQ(countOther(target, 0), 2u * 510u) << x;
    }
}

TEST_F(WobbleRows, ShiftsEachRowByItsScaledBaseInsideColumns1To511)
{
    Picture source(PICTURE_PIXELS);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint32_t>(i);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const int untouched = 9999;
    const struct {
        std::int32_t base;
        float amplitude;
        int shift;
    } cases[] = {
        {5, 0.0f, 0},          {2, 0.4f, 0},          {3, 1.5f, 4},  {-3, 1.5f, -4}, {1, 511.0f, 511},
        {-6, 100.0f, untouched}, {1, 512.0f, untouched}, {6, 1e30f, untouched}, {6, inf, untouched},
        {6, nan, untouched},
    };
    for (const auto& c : cases) {
        for (int y = 0; y < 384; ++y) rowWobble[y] = c.base;
        Picture target = filled(PICTURE_PIXELS, 0xABCDEF);
        wobbleRows(source.data(), target.data(), c.amplitude);
        for (int y : {0, 383})
            for (int x = 0; x < 512; ++x) {
                const int sx = x + c.shift;
                const bool copied = c.shift != untouched && sx > 0 && sx < 512;
                ASSERT_EQ(target[at(x, y)], copied ? at(sx, y) : 0xABCDEFu) << c.base << " * " << c.amplitude << " at " << x;
            }
    }
    // Rows outside the picture are left alone (the buffers end with row 383).
    Picture target = filled(PICTURE_PIXELS, 7);
    for (int row : {384, -1}) shiftRow(source.data(), target.data(), 0, row);
    EXPECT_EQ(countOther(target, 7), 0u);
}

}  // namespace
