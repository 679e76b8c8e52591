#include "control/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct ExpectedSize {
    const char* path;
    int width;
    int height;
};

// The sizes at which the parts draw each picture.
constexpr ExpectedSize SHOW_SIZES[] = {
    {"data/gfx/loading.jpg", 512, 384}, {"data/gfx/pic13.jpg", 512, 384},
    {"data/gfx/pic05.jpg", 512, 384},   {"data/gfx/pic28.jpg", 512, 384},
    {"data/gfx/pic08.jpg", 512, 384},   {"data/gfx/design3.jpg", 512, 384},
    {"data/gfx/design4.jpg", 512, 384}, {"data/gfx/design5.jpg", 512, 384},
    {"data/gfx/g1.jpg", 512, 384},      {"data/gfx/g2.jpg", 512, 384},
    {"data/gfx/g3.jpg", 512, 384},      {"data/gfx/pic22.jpg", 512, 721},
    {"data/gfx/bus.jpg", 512, 781},     {"data/gfx/pic26.jpg", 1024, 130},
    {"data/gfx/pic33.jpg", 1260, 70},   {"data/gfx/suite.jpg", 148, 245},
    {"data/gfx/pic32.jpg", 512, 155},   {"data/gfx/credits.jpg", 280, 166},
    {"data/gfx/pic12.jpg", 100, 100},   {"data/gfx/pic20.jpg", 100, 98},
    {"data/gfx/pic21.jpg", 100, 98},    {"data/gfx/pic25.jpg", 100, 98},
    {"data/gfx/pic34.jpg", 100, 80},    {"data/gfx/pic10.jpg", 400, 60},
    {"data/gfx/pic17.jpg", 400, 60},    {"data/gfx/pic02.jpg", 300, 60},
    {"data/gfx/pic03.jpg", 300, 60},    {"data/gfx/pic04.jpg", 300, 60},
    {"data/gfx/pic09.jpg", 300, 60},    {"data/gfx/pic14.jpg", 300, 60},
    {"data/gfx/pic16.jpg", 300, 60},    {"data/gfx/pic19.jpg", 300, 60},
    {"data/gfx/pic29.jpg", 300, 60},    {"data/gfx/pic30.jpg", 300, 60},
    {"data/gfx/pic31.jpg", 300, 60},    {"data/gfx/stone.jpg", 256, 256},
    {"data/gfx/planet.jpg", 256, 256},  {"data/gfx/silver3.jpg", 256, 256},
    {"data/gfx/pic06.jpg", 256, 256},   {"data/gfx/text5.jpg", 256, 256},
    {"data/gfx/pic15.jpg", 256, 256},   {"data/gfx/plate.jpg", 256, 256},
    {"data/gfx/env2.jpg", 256, 256},    {"data/gfx/star.jpg", 64, 64},
    {"data/gfx/flare.jpg", 64, 64},
};

// Loaded at start-up but drawn by no part: any full-screen size will do.
constexpr const char* UNDRAWN[] = {
    "data/gfx/pic01.jpg", "data/gfx/pic07.jpg", "data/gfx/pic11.jpg", "data/gfx/pic18.jpg",
    "data/gfx/pic23.jpg", "data/gfx/pic24.jpg", "data/gfx/pic27.jpg",
};

TEST(PictureCatalogue, HoldsEveryFileTheShowLoadsAtItsDrawnSize)
{
    for (const ExpectedSize& expected : SHOW_SIZES) {
        const CatalogueEntry* entry = findCatalogueEntry(expected.path);
        ASSERT_NE(entry, nullptr) << expected.path;
        EXPECT_EQ(entry->width, expected.width) << expected.path;
        EXPECT_EQ(entry->height, expected.height) << expected.path;
    }
    for (const char* path : UNDRAWN) EXPECT_NE(findCatalogueEntry(path), nullptr) << path;
    // Nothing beyond these: 45 drawn files and 7 undrawn ones.
    EXPECT_EQ(pictureCatalogue().size(), std::size(SHOW_SIZES) + std::size(UNDRAWN));
}

TEST(PictureCatalogue, EntriesAreWellFormed)
{
    std::set<std::string> paths, buffers;
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        const std::string path = entry.path, buffer = entry.buffer;
        EXPECT_TRUE(paths.insert(path).second) << "listed twice: " << path;
        EXPECT_EQ(path.rfind("data/gfx/", 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - 4), ".jpg") << path;
        // Rows are read as a tight run of pixels, which needs widths of 4n.
        EXPECT_EQ(entry.width % 4, 0) << path;
        EXPECT_GT(entry.height, 0) << path;
        EXPECT_LE(path.size(), 39u) << path;
        // Each picture buffer is filled from one file; mesh fields share.
        if (buffer != "texture" && buffer != "flarePicture") {
            EXPECT_TRUE(buffers.insert(buffer).second) << "buffer filled twice: " << buffer;
        }
    }
}

}  // namespace
