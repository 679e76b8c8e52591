#include <gtest/gtest.h>

#include <vector>

#include "display/scale.h"

TEST(ResamplePicture, StreamingStoresDrawWhatPlainStoresDraw)
{
    // Pitches and positions that start lines on every alignment, widths
    // that end in a part of a 16-byte store, whole and filtered factors.
    struct Case {
        int screenW, screenH, pitch, pictureW, pictureH;
        ScaleMode mode;
    };
    const std::vector<Case> cases = {
        {61, 23, 61, 19, 7, ScaleMode::Integer},    // factor 3, odd pitch
        {46, 30, 49, 11, 7, ScaleMode::Integer},    // factor 4, border of 1 and 2
        {37, 20, 40, 37, 20, ScaleMode::Integer},   // factor 1: rows copied as they are
        {50, 29, 53, 13, 9, ScaleMode::Fit},        // filtered
        {20, 9, 22, 40, 18, ScaleMode::Integer},    // cropped on every side
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenW << "x" << c.screenH << " pitch " << c.pitch
                                        << " showing " << c.pictureW << "x" << c.pictureH);
        std::vector<std::uint32_t> picture(static_cast<std::size_t>(c.pictureW * c.pictureH));
        for (std::size_t i = 0; i < picture.size(); ++i)
            picture[i] = 0x9E3779B1u * static_cast<std::uint32_t>(i + 1);
        const ScalePlan plan = chooseScale(c.screenW, c.screenH, c.pictureW, c.pictureH, c.mode);
        Resampler r;
        prepareResampler(r, plan, c.pictureW, c.pictureH, c.screenW, c.screenH);
        // One pixel of slack before the screen shifts every line's alignment.
        std::vector<std::uint32_t> streamed(static_cast<std::size_t>(c.pitch * c.screenH + 1), 7);
        std::vector<std::uint32_t> plain(streamed);
        r.streaming = true;
        resamplePicture(r, picture.data(), c.pictureW, streamed.data() + 1, c.pitch);
        r.streaming = false;
        resamplePicture(r, picture.data(), c.pictureW, plain.data() + 1, c.pitch);
        EXPECT_EQ(streamed, plain);
    }
}

TEST(PrepareResampler, StreamsOnlyScreensLargerThanTheCache)
{
    Resampler r;
    prepareResampler(r, chooseScale(1024, 768, 512, 384, ScaleMode::Automatic), 512, 384, 1024, 768);
    EXPECT_TRUE(r.streaming);
    prepareResampler(r, chooseScale(512, 384, 512, 384, ScaleMode::Automatic), 512, 384, 512, 384);
    EXPECT_FALSE(r.streaming);
}
