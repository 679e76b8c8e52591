#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "display/scale.h"

// x, y, width, height, factor, filtered
std::tuple<int, int, int, int, int, bool> fields(const ScalePlan& p)
{
    return {p.x, p.y, p.width, p.height, p.factor, p.filtered};
}

TEST(ChooseScale, WholeFactorsUnlessTheyWasteTheScreen)
{
    const ScaleMode AUTO = ScaleMode::Automatic;
    const struct {
        int screenW, screenH, pictureW, pictureH;
        ScaleMode mode;
        ScalePlan expected;
    } cases[] = {
        {1366, 768, 512, 384, AUTO, {171, 0, 1024, 768, 2, false}},
        {1366, 768, 640, 480, AUTO, {171, 0, 1024, 768, 2, true}},     // 1 would leave 288 rows
        {1920, 1080, 512, 384, AUTO, {240, 0, 1440, 1080, 3, true}},   // 2 would leave 312 > 270
        {1280, 1024, 512, 384, AUTO, {128, 128, 1024, 768, 2, false}}, // exactly a quarter left
        {800, 600, 512, 384, AUTO, {0, 0, 800, 600, 2, true}},
        // A picture larger than the screen is shrunk to fit.
        {512, 384, 640, 480, AUTO, {0, 0, 512, 384, 1, true}},
        {512, 384, 640, 480, ScaleMode::Integer, {-64, -48, 640, 480, 1, false}},
        {1280, 1024, 512, 384, ScaleMode::Fit, {0, 32, 1280, 960, 3, true}},
        {1024, 768, 512, 384, ScaleMode::Fit, {0, 0, 1024, 768, 2, false}},   // fits whole
        {0, 0, 512, 384, AUTO, {0, 0, 0, 0, 1, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fields(chooseScale(c.screenW, c.screenH, c.pictureW, c.pictureH, c.mode)), fields(c.expected))
            << c.screenW << "x" << c.screenH << " showing " << c.pictureW << "x" << c.pictureH << " mode "
            << static_cast<int>(c.mode);
    }
}

TEST(ResamplePicture, WorkedCases)
{
    const struct {
        const char* what;
        ScalePlan plan;
        int pictureW, pictureH, screenW, screenH;
        std::vector<std::uint32_t> picture, expected;
    } cases[] = {
        {"2x2 doubled on 6x4, a border column each side", {1, 0, 4, 4, 2, false}, 2, 2, 6, 4, {1, 2, 3, 4},
         {9, 1, 1, 2, 2, 9, 9, 1, 1, 2, 2, 9, 9, 3, 3, 4, 4, 9, 9, 3, 3, 4, 4, 9}},
        {"4x2 on 2x2, cropped to its middle", {-1, 0, 4, 2, 1, false}, 4, 2, 2, 2, {1, 2, 3, 4, 5, 6, 7, 8},
         {2, 3, 6, 7}},
        // Filtered: only the seams are blended, each byte apart. Two pixels
        // to three: doubled to four, sampled at 1/6, 1/2 and 5/6.
        {"two columns to three", {0, 0, 3, 1, 2, true}, 2, 1, 3, 1, {0xFFFF0000, 0xFF0000FF},
         {0xFFFF0000, 0xFF7F007F, 0xFF0000FF}},
        // Doubled to six; rows 1 and 3 lie 0.3 and 0.7 of the way across a
        // seam (77 and 179 in 256ths).
        {"three rows to five", {0, 0, 1, 5, 2, true}, 1, 3, 1, 5, {0x000000, 0xC8C8C8, 0x646464},
         {0x000000, 0x3C3C3C, 0xC8C8C8, 0x828282, 0x646464}},
    };
    for (const auto& c : cases) {
        Resampler r;
        prepareResampler(r, c.plan, c.pictureW, c.pictureH, c.screenW, c.screenH);
        std::vector<std::uint32_t> screen(c.screenW * c.screenH, 9);
        resamplePicture(r, c.picture.data(), c.pictureW, screen.data(), c.screenW);
        EXPECT_EQ(screen, c.expected) << c.what;
    }
}

TEST(ResamplePicture, RepeatingMatchesTheColumnTapsForWholeFactors)
{
    // Odd widths, and pictures cropped on the left so the first visible
    // column starts partway into a repeated pixel.
    for (int factor = 1; factor <= 4; ++factor) {
        for (int pictureW : {5, 7, 13}) {
            for (int x : {0, -1, -factor - 1}) {
                SCOPED_TRACE(testing::Message() << "factor " << factor << " width " << pictureW << " at " << x);
                const int pictureH = 3, screenW = pictureW * factor + x - 1, screenH = pictureH * factor;
                std::vector<std::uint32_t> picture(static_cast<std::size_t>(pictureW * pictureH));
                for (std::size_t i = 0; i < picture.size(); ++i)
                    picture[i] = 0x01000193u * static_cast<std::uint32_t>(i + 1);
                const ScalePlan plan{x, 0, pictureW * factor, screenH, factor, false};
                Resampler r;
                prepareResampler(r, plan, pictureW, pictureH, screenW, screenH);
                ASSERT_EQ(r.repeat, factor);
                std::vector<std::uint32_t> repeated(static_cast<std::size_t>(screenW * screenH), 9);
                std::vector<std::uint32_t> looked(repeated);
                resamplePicture(r, picture.data(), pictureW, repeated.data(), screenW);
                r.repeat = 0;   // the look-up per column
                resamplePicture(r, picture.data(), pictureW, looked.data(), screenW);
                EXPECT_EQ(repeated, looked);
            }
        }
    }
}
