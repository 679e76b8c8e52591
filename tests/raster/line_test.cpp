#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "display/screen.h"
#include "raster/line.h"
#include "reference.h"

namespace {

using Points = std::set<std::pair<int, int>>;

Points written()
{
    Points points;
    for (int y = 0; y < 384; ++y) {
        for (int x = 0; x < 512; ++x) {
            if (frameBuffer[y * 512 + x] != 0) points.insert({x, y});
        }
    }
    return points;
}

Points column(int x, int fromY, int toY)
{
    Points points;
    for (int y = std::min(fromY, toY); y <= std::max(fromY, toY); ++y) points.insert({x, y});
    return points;
}

TEST(DrawLine, StepsWithFloatErrorTerm)
{
    setUpPicture();
    struct Case {
        int x0, y0, x1, y1;
        Points pixels;
    };
    const Case cases[] = {
        // err starts at 1.5, grows by 1 a pixel; a diagonal step at 3.
        {10, 10, 13, 11, {{10, 10}, {11, 10}, {12, 11}, {13, 11}}},
        {13, 11, 10, 10, {{13, 11}, {12, 11}, {11, 10}, {10, 10}}},
        {10, 10, 11, 13, {{10, 10}, {10, 11}, {11, 12}, {11, 13}}},
        {10, 10, 10, 10, {{10, 10}}},
        {10, 10, 13, 13, {{10, 10}, {11, 11}, {12, 12}, {13, 13}}},   // equal lengths
        {5, 0, 5, 50, {}},                                            // starts on row 0
        {5, 50, 5, -10, column(5, 50, 1)},                            // stops leaving
        {0, 9, 9, 9, {}},
        {505, 5, 600, 5, {{505, 5}, {506, 5}, {507, 5}, {508, 5}, {509, 5}, {510, 5}, {511, 5}}},
        {-2000000000, 5, 2000000000, 5, {}},
    };
    for (const Case& c : cases) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
        drawLine(frameBuffer, c.x0, c.y0, c.x1, c.y1, 1, 2, 3);
        EXPECT_EQ(written(), c.pixels) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    }
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    drawLine(frameBuffer, 10, 10, 13, 11, 1, 2, 3);
    EXPECT_EQ(frameBuffer[10 * 512 + 10], 0x010203u);
}

}  // namespace
