#include "tools/assets/pictures.h"

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "control/catalogue.h"
#include "display/pixel.h"
#include "image/picture.h"
#include "tests/files.h"
#include "tools/assets/assets.h"
#include "tools/assets/jpeg_writer.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/text.h"

namespace fs = std::filesystem;

namespace {

const std::string DATA_DIR = QUORVANE_DATA_DIR;

DecodedPicture decodeGenerated(const char* showPath)
{
    DecodedPicture picture;
    std::string error;
    EXPECT_TRUE(decodeJpeg(DATA_DIR + "/gfx/" + fileNameOf(showPath), picture, error)) << error;
    return picture;
}

TEST(Pictures, ASecondGenerationGivesTheBuildsBytes)
{
    const fs::path dir = freshDirectory("again");
    ASSERT_TRUE(writePictures(dir.string()));
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        const std::string name = fileNameOf(entry.path);
        const std::string bytes = readFile(dir / "gfx" / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == readFile(fs::path(DATA_DIR) / "gfx" / name)) << name << " differs from the build's";
    }
    EXPECT_TRUE(readFile(dir / "contact-sheet.png") == readFile(fs::path(DATA_DIR) / "contact-sheet.png"));
    fs::remove_all(dir);
}

// Pictures laid over the frame where their red exceeds 10.
constexpr const char* TEXT_PICTURES[] = {
    "data/gfx/pic02.jpg", "data/gfx/pic03.jpg", "data/gfx/pic04.jpg", "data/gfx/pic09.jpg",
    "data/gfx/pic10.jpg", "data/gfx/pic12.jpg", "data/gfx/pic14.jpg", "data/gfx/pic16.jpg",
    "data/gfx/pic17.jpg", "data/gfx/pic19.jpg", "data/gfx/pic26.jpg", "data/gfx/pic29.jpg",
    "data/gfx/pic30.jpg", "data/gfx/pic31.jpg", "data/gfx/pic34.jpg", "data/gfx/credits.jpg",
};

TEST(Pictures, TextPicturesAreBrightLetteringOnTransparentBlack)
{
    for (const char* path : TEXT_PICTURES) {
        const DecodedPicture p = decodeGenerated(path);
        ASSERT_GT(p.width, 26) << path;
        int dark = 0, bright = 0, borderLit = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int red = redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]);
                dark += red <= 10;
                bright += red > 200;
                // The first and last rows and the 13 columns a split pulls in.
                const bool border = y == 0 || y == p.height - 1 || x < 13 || x >= p.width - 13;
                borderLit += border && red > 10;
            }
        const int total = p.width * p.height;
        EXPECT_EQ(borderLit, 0) << path << ": lit pixels in the border";
        // The heavy titles fill their picture's height: a quarter is the least.
        EXPECT_GT(dark, total / 4) << path << ": too little transparent surrounding";
        EXPECT_GT(bright, total / 50) << path << ": too little bright lettering";
    }
    // Only where the two split copies overlap does a heavy title survive
    // part 1's darkening: its letters fill the picture's height, and the
    // commonest lit run on a row (a stroke) is 20 pixels or wider.
    for (const char* path : {"data/gfx/pic09.jpg", "data/gfx/pic10.jpg"}) {
        const DecodedPicture p = decodeGenerated(path);
        int inkRows = 0;
        std::vector<int> runs(p.width + 1, 0);
        for (int y = 0; y < p.height; ++y) {
            int run = 0, rowRuns = 0;
            for (int x = 0; x <= p.width; ++x) {
                if (x < p.width && redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]) > 128) {
                    ++run;
                } else if (run > 0) {
                    ++runs[run];
                    ++rowRuns;
                    run = 0;
                }
            }
            inkRows += rowRuns > 0;
        }
        EXPECT_GE(inkRows, p.height - 4) << path;
        EXPECT_GE(std::max_element(runs.begin(), runs.end()) - runs.begin(), 20) << path;
    }
}

TEST(Pictures, LevelsSuitHowTheShowUsesThem)
{
    // Pictures added to the frame twice, or under additive meshes, keep their
    // peaks low so that the sum does not burn out (the limits allow for the
    // compression's ringing around small bright points), yet are not nearly
    // black. Pictures darkened at load are stored brighter: every channel of
    // the rows the show darkens stays at least this high in the file.
    const struct {
        const char* path;
        int rows;   // the first rows checked; 0 for all
        int lowest, peak;
    } cases[] = {
        {"data/gfx/pic33.jpg", 0, 0, 135},     {"data/gfx/pic20.jpg", 0, 0, 135},
        {"data/gfx/pic21.jpg", 0, 0, 135},     {"data/gfx/pic25.jpg", 0, 0, 135},
        {"data/gfx/suite.jpg", 0, 0, 135},     {"data/gfx/pic32.jpg", 0, 0, 108},
        {"data/gfx/pic05.jpg", 0, 0, 70},      {"data/gfx/pic13.jpg", 0, 0, 160},
        {"data/gfx/env2.jpg", 0, 0, 160},      {"data/gfx/pic22.jpg", 384, 95, 255},
        {"data/gfx/bus.jpg", 681, 70, 255},    {"data/gfx/design4.jpg", 384, 108, 255},
        {"data/gfx/design3.jpg", 384, 70, 255},
    };
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int lowest = 255, peak = 0;
        const std::size_t end = static_cast<std::size_t>(c.rows > 0 ? c.rows : p.height) * p.width;
        for (std::size_t i = 0; i < end; ++i) {
            const std::uint32_t pixel = p.pixels[i];
            lowest = std::min({lowest, redOf(pixel), greenOf(pixel), blueOf(pixel)});
            peak = std::max({peak, redOf(pixel), greenOf(pixel), blueOf(pixel)});
        }
        EXPECT_GE(lowest, c.lowest) << c.path;
        EXPECT_LE(peak, c.peak) << c.path;
        EXPECT_GE(peak, c.peak / 2) << c.path << " is nearly black";
    }
}

TEST(Pictures, EnvironmentMapsServeTheirShapes)
{
    // The plasma map: a bright core and a black outer ring, which the blob's
    // silhouette samples and the trails spread.
    const DecodedPicture plasma = decodeGenerated("data/gfx/pic15.jpg");
    int ringPeak = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - 128.0f;
            const float dy = static_cast<float>(y) + 0.5f - 128.0f;
            if (dx * dx + dy * dy < 0.8f * 0.8f * 128.0f * 128.0f) continue;
            const std::uint32_t pixel = plasma.pixels[static_cast<std::size_t>(y) * 256 + x];
            ringPeak = std::max({ringPeak, redOf(pixel), greenOf(pixel), blueOf(pixel)});
        }
    EXPECT_LE(ringPeak, 12);
    EXPECT_GE(redOf(plasma.pixels[128 * 256 + 128]), 230);
    // The neon map: across the rows the conveyor's shapes sample (102-154)
    // and along each colour length's middle (texels 16-48 of every 64) the
    // tube is solid, with no dark gap between thin bars.
    const DecodedPicture neon = decodeGenerated("data/gfx/env2.jpg");
    int weakest = 255;
    for (int y = 102; y <= 154; ++y)
        for (int x = 0; x < 256; ++x) {
            if (x % 64 < 16 || x % 64 > 48) continue;
            const std::uint32_t pixel = neon.pixels[static_cast<std::size_t>(y) * 256 + x];
            weakest = std::min(weakest, std::max({redOf(pixel), greenOf(pixel), blueOf(pixel)}));
        }
    EXPECT_GE(weakest, 50);
}

// ---- writers ------------------------------------------------------------------

TEST(Writers, FailuresNameTheFile)
{
    using Writer = bool (*)(const std::string&, const std::uint32_t*, int, int, std::string&);
    const struct {
        Writer write;
        const char* path;
        int width;
    } cases[] = {
        {writeJpeg, "/nonexistent-folder/x.jpg", 1},
        {writeJpeg, "zero.jpg", 0},
        {writePng, "/nonexistent-folder/x.png", 1},
        {writePng, "wide.png", -3},
    };
    const std::uint32_t pixel = 0;
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(c.write(c.path, &pixel, c.width, 1, error)) << c.path;
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
    }
}

TEST(PngWriter, PixelsSurviveTheRoundTripExactly)
{
    const fs::path dir = freshDirectory("png");
    const std::uint32_t pixels[6] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu,
                                     0xAA102030u, 0x00FFFFFFu, 0x00000000u};
    std::string error;
    const std::string file = (dir / "tiny.png").string();
    ASSERT_TRUE(writePng(file, pixels, 3, 2, error)) << error;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    const std::vector<unsigned char> expected = {255,  0,    0,    0,   255, 0,   0, 0, 255,
                                                 0x10, 0x20, 0x30, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(rgb, expected);
    fs::remove_all(dir);
}

TEST(Text, MissingFontIsReportedByName)
{
    TextMask mask;
    std::string error;
    EXPECT_FALSE(renderText("A", "/no/such/font.ttf", 20, 0, mask, error));
    EXPECT_NE(error.find("/no/such/font.ttf"), std::string::npos) << error;
    // A missing DejaVu font names the package that brings it.
    EXPECT_FALSE(renderText("A", "/no/such/DejaVuSansCondensed-Bold.ttf", 20, 0, mask, error));
    EXPECT_NE(error.find("package fonts-dejavu-extra"), std::string::npos) << error;
    EXPECT_FALSE(renderText("A", "/no/such/DejaVuSans-Bold.ttf", 20, 0, mask, error));
    EXPECT_NE(error.find("package fonts-dejavu-core"), std::string::npos) << error;
}

}  // namespace
