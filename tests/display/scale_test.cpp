#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "control/options.h"
#include "display/scale.h"

namespace {

// x, y, width, height, factor, filtered
std::tuple<int, int, int, int, int, bool> fields(const ScalePlan& p)
{
    return {p.x, p.y, p.width, p.height, p.factor, p.filtered};
}

struct ScaleCase {
    int screenW, screenH, pictureW, pictureH;
    ScaleMode mode;
    ScalePlan expected;
};

}  // namespace

TEST(ChooseScale, WholeFactorsUnlessTheyWasteTheScreen)
{
    const ScaleMode AUTO = ScaleMode::Automatic;
    const std::vector<ScaleCase> cases = {
        {1366, 768, 512, 384, AUTO, {171, 0, 1024, 768, 2, false}},
        {1366, 768, 640, 480, AUTO, {171, 0, 1024, 768, 2, true}},     // 1 would leave 288 rows
        {1920, 1080, 512, 384, AUTO, {240, 0, 1440, 1080, 3, true}},   // 2 would leave 312 > 270
        {1280, 1024, 512, 384, AUTO, {128, 128, 1024, 768, 2, false}}, // exactly a quarter left
        {800, 600, 512, 384, AUTO, {0, 0, 800, 600, 2, true}},
        {3840, 2160, 512, 384, AUTO, {640, 120, 2560, 1920, 5, false}},
        // A picture larger than the screen is shrunk to fit.
        {512, 384, 640, 480, AUTO, {0, 0, 512, 384, 1, true}},
        {512, 384, 640, 480, ScaleMode::Integer, {-64, -48, 640, 480, 1, false}},
        {1280, 1024, 512, 384, ScaleMode::Fit, {0, 32, 1280, 960, 3, true}},
        {1024, 768, 512, 384, ScaleMode::Fit, {0, 0, 1024, 768, 2, false}},   // fits whole
        {0, 0, 512, 384, AUTO, {0, 0, 0, 0, 1, false}},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenW << "x" << c.screenH << " showing "
                                        << c.pictureW << "x" << c.pictureH << " mode "
                                        << static_cast<int>(c.mode));
        const ScalePlan p = chooseScale(c.screenW, c.screenH, c.pictureW, c.pictureH, c.mode);
        EXPECT_EQ(fields(p), fields(c.expected));
    }
}

// 2x2 doubled into 6x4 with a border column each side; 4x2 shown whole
// on 2x2, cropped to its middle.
TEST(ResamplePicture, WholeFactorRepeatsPixelsLeavesTheBorderAndCropsTheMiddle)
{
    const std::uint32_t picture[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        int pictureW, pictureH, screenW, screenH;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {2, 2, 6, 4, {9, 1, 1, 2, 2, 9, 9, 1, 1, 2, 2, 9, 9, 3, 3, 4, 4, 9, 9, 3, 3, 4, 4, 9}},
        {4, 2, 2, 2, {2, 3, 6, 7}},
    };
    for (const auto& c : cases) {
        Resampler r;
        prepareResampler(r, chooseScale(c.screenW, c.screenH, c.pictureW, c.pictureH, ScaleMode::Integer),
                         c.pictureW, c.pictureH, c.screenW, c.screenH);
        std::vector<std::uint32_t> screen(c.screenW * c.screenH, 9);
        resamplePicture(r, picture, c.pictureW, screen.data(), c.screenW);
        EXPECT_EQ(screen, c.expected) << c.pictureW << "x" << c.pictureH;
    }
}

TEST(ResamplePicture, RepeatingMatchesTheColumnTapsForWholeFactors)
{
    // Odd widths, and pictures cropped on the left so the first visible
    // column starts partway into a repeated pixel.
    for (int factor = 1; factor <= 4; ++factor) {
        for (int pictureW : {5, 7, 13}) {
            for (int x : {0, -1, -factor - 1}) {
                SCOPED_TRACE(testing::Message() << "factor " << factor << " width " << pictureW
                                                << " at " << x);
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

TEST(ResamplePicture, FilteringBlendsOnlyTheSeamsEachByteApart)
{
    // Two pixels to three: doubled to four, sampled at 1/6, 1/2 and 5/6.
    const std::uint32_t across[2] = {0xFFFF0000, 0xFF0000FF};
    const ScalePlan wide{0, 0, 3, 1, 2, true};
    Resampler r;
    prepareResampler(r, wide, 2, 1, 3, 1);
    std::vector<std::uint32_t> row(3, 0);
    resamplePicture(r, across, 2, row.data(), 3);
    EXPECT_EQ(row, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF7F007F, 0xFF0000FF}));

    // Three rows to five: doubled to six; rows 1 and 3 lie 0.3 and 0.7 of the
    // way across a seam (77 and 179 in 256ths).
    const std::uint32_t down[3] = {0x000000, 0xC8C8C8, 0x646464};
    const ScalePlan tall{0, 0, 1, 5, 2, true};
    prepareResampler(r, tall, 1, 3, 1, 5);
    std::vector<std::uint32_t> column(5, 0);
    resamplePicture(r, down, 1, column.data(), 1);
    EXPECT_EQ(column, (std::vector<std::uint32_t>{0x000000, 0x3C3C3C, 0xC8C8C8, 0x828282, 0x646464}));
}

TEST(ScaleOption, ParsesIntegerAndFitOnly)
{
    struct Case {
        std::vector<std::string> args;
        bool ok;
        ScaleMode mode;
        const char* error;
    };
    const std::vector<Case> cases = {
        {{}, true, ScaleMode::Automatic, ""},
        {{"--scale", "integer"}, true, ScaleMode::Integer, ""},
        {{"--scale", "fit"}, true, ScaleMode::Fit, ""},
        {{"--scale", "Fit"}, false, ScaleMode::Automatic, "--scale takes integer or fit, not Fit"},
        {{"--scale"}, false, ScaleMode::Automatic, "--scale needs a value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        PlayerOptions options;
        std::string error;
        EXPECT_EQ(parsePlayerOptions(c.args, options, error), c.ok);
        EXPECT_EQ(options.scale, c.mode);
        EXPECT_EQ(error, c.error);
    }
}
