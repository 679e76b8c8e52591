#include "control/catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(PictureCatalogue, EntriesAreWellFormedAndFoundByPath)
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
        EXPECT_EQ(findCatalogueEntry(path), &entry) << path;
        // Each picture buffer is filled from one file; mesh fields share.
        if (buffer != "texture" && buffer != "flarePicture") {
            EXPECT_TRUE(buffers.insert(buffer).second) << "buffer filled twice: " << buffer;
        }
    }
    // 45 drawn files and 7 loaded but never drawn.
    EXPECT_EQ(pictureCatalogue().size(), 52u);
    EXPECT_EQ(findCatalogueEntry("data/gfx/pic06.jpeg"), nullptr);
}

}  // namespace
