#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "display/pixel.h"
#include "tools/capture/frame_sheet.h"

namespace {

TEST(SheetLayout, GridOfUpToSixColumns)
{
    struct Case {
        int count, columns, rows, width, height;
    };
    // Cells of 128x96 thumbnails: 132 wide (with the gap), 96 + 16 + 4 = 116 high.
    const Case cases[] = {
        {1, 1, 1, 136, 120},
        {6, 6, 1, 796, 120},
        {7, 6, 2, 796, 236},
        {25, 6, 5, 796, 584},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const SheetLayout layout = sheetLayout(c.count, 128, 96);
        EXPECT_EQ(layout.columns, c.columns);
        EXPECT_EQ(layout.rows, c.rows);
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
    }
    const SheetLayout layout = sheetLayout(25, 128, 96);
    int x = 0, y = 0;
    thumbnailOrigin(layout, 7, 128, 96, x, y);   // second row, second column
    EXPECT_EQ(x, 136);
    EXPECT_EQ(y, 120);
    thumbnailOrigin(layout, 24, 128, 96, x, y);  // fifth row, first column
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 4 + 4 * 116);
}

std::vector<std::uint32_t> solidFrame(std::uint32_t colour)
{
    return std::vector<std::uint32_t>(512 * 384, colour);
}

TEST(FrameSheet, TakesTheFirstFrameAtOrAfterEachWantedTime)
{
    struct Case {
        const char* name;
        int fps;
        std::int64_t every;
        std::vector<std::int64_t> taken;   // show times of the thumbnails
    };
    const Case cases[] = {
        {"60 fps lands on the half seconds", 60, 500, {0, 500, 1000, 1500}},
        {"7 fps takes the next frame", 7, 500, {0, 571, 1000, 1571}},
        {"a frame standing for several times", 1, 300, {0, 1000}},
    };
    const std::vector<std::uint32_t> frame = solidFrame(0x404040);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameSheet sheet(0, 2000, c.every, 512, 384);
        std::vector<std::int64_t> taken;
        for (int k = 0; k * 1000 / c.fps < 2000; ++k) {
            const int before = sheet.count();
            const std::int64_t t = k * 1000 / c.fps;
            sheet.offer(frame.data(), t, 0);
            if (sheet.count() > before) taken.push_back(t);
        }
        EXPECT_EQ(taken, c.taken);
    }
}

TEST(FrameSheet, ThumbnailsSitInTheirCellsWithALabelBelow)
{
    FrameSheet sheet(1000, 10000, 1000, 512, 384);
    const std::vector<std::uint32_t> red = solidFrame(0xC00000), blue = solidFrame(0x0000C0);
    sheet.offer(red.data(), 500, 0);    // before the first wanted time
    sheet.offer(red.data(), 1000, 0);
    sheet.offer(blue.data(), 2016, 1);
    ASSERT_EQ(sheet.count(), 2);
    SheetLayout layout;
    std::string error;
    const std::vector<std::uint32_t> pixels = sheet.compose(layout, error);
    ASSERT_FALSE(pixels.empty()) << error;
    EXPECT_EQ(layout.width, 4 + 2 * 132);
    EXPECT_EQ(layout.height, 120);
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * layout.width + x]; };
    EXPECT_EQ(at(4, 4), 0xC00000u);
    EXPECT_EQ(at(4 + 127, 4 + 95), 0xC00000u);
    EXPECT_EQ(at(136, 4), 0x0000C0u);
    EXPECT_EQ(at(2, 2), SHEET_GROUND);       // margin
    EXPECT_EQ(at(133, 50), SHEET_GROUND);    // gap between the cells
    // The label strip under each thumbnail holds light text on the ground.
    for (int cell = 0; cell < 2; ++cell) {
        int bright = 0;
        for (int y = 100; y < 116; ++y) {
            for (int x = 4 + cell * 132; x < 132 + cell * 132; ++x) bright += greenOf(at(x, y)) > 150;
        }
        EXPECT_GT(bright, 40) << "cell " << cell;
    }
}

}  // namespace
