#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>
#include <vector>

#include "display/memory_display.h"
#include "display/present.h"
#include "display/scale.h"

TEST(ResamplePicture, StreamingStoresDrawWhatPlainStoresDraw)
{
    // Pitches and positions that start lines on every alignment, widths
    // that end in a part of a 16-byte store, whole and filtered factors,
    // pictures cropped partway into a repeated pixel.
    struct Case {
        int screenW, screenH, pitch, pictureW, pictureH;
        ScalePlan plan;
    };
    const std::vector<Case> cases = {
        // x, y, width, height, factor, filtered
        {53, 22, 56, 25, 10, {1, 1, 50, 20, 2, false}},     // doubled, lines 16-byte aligned alike
        {53, 22, 56, 25, 10, {2, 1, 50, 20, 2, false}},     // doubled, boundaries inside a pair
        {53, 22, 57, 25, 10, {1, 1, 50, 20, 2, false}},     // doubled, lines aligned differently
        {40, 17, 44, 25, 10, {-3, -1, 50, 20, 2, false}},   // doubled, cropped on every side
        {61, 23, 61, 19, 7, {2, 1, 57, 21, 3, false}},
        {46, 30, 49, 11, 7, {1, 1, 44, 28, 4, false}},
        {37, 20, 40, 37, 20, {0, 0, 37, 20, 1, false}},     // rows copied as they are
        {50, 29, 53, 13, 9, {0, 3, 50, 23, 4, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenW << "x" << c.screenH << " pitch " << c.pitch
                                        << " showing " << c.pictureW << "x" << c.pictureH << " at "
                                        << c.plan.x << "," << c.plan.y << " factor " << c.plan.factor);
        std::vector<std::uint32_t> picture(static_cast<std::size_t>(c.pictureW * c.pictureH));
        for (std::size_t i = 0; i < picture.size(); ++i)
            picture[i] = 0x9E3779B1u * static_cast<std::uint32_t>(i + 1);
        Resampler r;
        prepareResampler(r, c.plan, c.pictureW, c.pictureH, c.screenW, c.screenH);
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

namespace {

// A screen that enlarges the picture itself, as the player's window does.
class TakingDisplay : public MemoryDisplay {
public:
    using MemoryDisplay::MemoryDisplay;
    bool takePicture(const std::uint32_t* pixels, int) override
    {
        taken = pixels;
        return true;
    }
    bool showsReadout() override { return true; }
    const std::uint32_t* taken = nullptr;
};

}  // namespace

TEST(FlipToDisplay, HandsThePictureOverOnlyInTheProgramsFormatAndWithoutReadout)
{
    const std::vector<std::uint32_t> picture(512 * 384, 0x123456);
    TakingDisplay wide, narrow({16, 0xF800, 0x7E0, 0x1F});
    const std::tuple<TakingDisplay*, const char*, bool> cases[] = {
        {&wide, "", true}, {&wide, "1.0", false}, {&narrow, "", false}};
    for (const auto& [display, readout, taken] : cases) {
        setDisplayDevice(display);
        ASSERT_EQ(openDisplay("test", 512, 384), 1);
        std::snprintf(readoutText, sizeof readoutText, "%s", readout);
        display->taken = nullptr;
        EXPECT_EQ(flipToDisplay(picture.data()), 1);
        EXPECT_EQ(display->taken, taken ? picture.data() : nullptr) << readout;
        // Rows converted only where the picture was not taken.
        const std::vector<unsigned char>& screen = display->screen();
        EXPECT_EQ(screen[screen.size() / 384 * 383] != 0, !taken);
    }
    readoutText[0] = 0;
    setDisplayDevice(nullptr);
}
