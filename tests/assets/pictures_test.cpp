#include "tools/assets/pictures.h"

#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control/catalogue.h"
#include "display/pixel.h"
#include "image/picture.h"
#include "tools/assets/assets.h"
#include "tools/assets/jpeg_writer.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/text.h"

namespace fs = std::filesystem;

namespace {

const std::string DATA_DIR = QUORVANE_DATA_DIR;

// A scratch folder of its own for each test, removed afterwards.
fs::path scratchDir(const std::string& name)
{
    const fs::path dir =
        fs::temp_directory_path() / ("quorvane-pictures-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DecodedPicture decodeGenerated(const char* showPath)
{
    DecodedPicture picture;
    std::string error;
    EXPECT_TRUE(decodeJpeg(DATA_DIR + "/gfx/" + fileNameOf(showPath), picture, error)) << error;
    return picture;
}

TEST(Pictures, GenerationIsDeterministic)
{
    const fs::path first = scratchDir("first"), second = scratchDir("second");
    ASSERT_TRUE(writePictures(first.string()));
    ASSERT_TRUE(writePictures(second.string()));
    int compared = 0;
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        const std::string name = fileNameOf(entry.path);
        const std::string a = readBytes(first / "gfx" / name), b = readBytes(second / "gfx" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between two runs";
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(pictureCatalogue().size()));
    EXPECT_TRUE(readBytes(first / "contact-sheet.png") == readBytes(second / "contact-sheet.png"));
    fs::remove_all(first);
    fs::remove_all(second);
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
}

TEST(Pictures, AddedPicturesKeepTheirPeaks)
{
    // Added to the frame twice, or under additive meshes: peaks stay low so
    // that the sum does not burn out. The limits allow for the ringing of
    // the compression around small bright points.
    const struct {
        const char* path;
        int peak;
    } cases[] = {
        {"data/gfx/pic33.jpg", 135}, {"data/gfx/pic20.jpg", 135}, {"data/gfx/pic21.jpg", 135},
        {"data/gfx/pic25.jpg", 135}, {"data/gfx/suite.jpg", 135}, {"data/gfx/pic32.jpg", 108},
        {"data/gfx/pic05.jpg", 70},  {"data/gfx/pic13.jpg", 160}, {"data/gfx/env2.jpg", 160},
    };
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int peak = 0;
        for (const std::uint32_t pixel : p.pixels)
            peak = std::max({peak, redOf(pixel), greenOf(pixel), blueOf(pixel)});
        EXPECT_LE(peak, c.peak) << c.path;
        EXPECT_GE(peak, c.peak / 2) << c.path << " is nearly black";
    }
}

TEST(Pictures, DarkenedAtLoadPicturesAreStoredBrighter)
{
    // The lowest channel over the rows the show darkens, after the darkening.
    const struct {
        const char* path;
        int firstRow, lastRow, darkening;
        int lowestBefore;   // every channel at least this in the file
    } cases[] = {
        {"data/gfx/pic22.jpg", 0, 383, 100, 95},
        {"data/gfx/bus.jpg", 0, 680, 75, 70},
        {"data/gfx/design4.jpg", 0, 383, 115, 108},
        {"data/gfx/design3.jpg", 0, 383, 75, 70},
    };
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int lowest = 255;
        for (int y = c.firstRow; y <= c.lastRow; ++y)
            for (int x = 0; x < p.width; ++x) {
                const std::uint32_t pixel = p.pixels[static_cast<std::size_t>(y) * p.width + x];
                lowest = std::min({lowest, redOf(pixel), greenOf(pixel), blueOf(pixel)});
            }
        EXPECT_GE(lowest, c.lowestBefore) << c.path;
    }
    // The tall scrolling picture's last row fades to black once darkened by 75.
    const DecodedPicture bus = decodeGenerated("data/gfx/bus.jpg");
    for (int x = 0; x < bus.width; ++x)
        EXPECT_LE(redOf(bus.pixels[static_cast<std::size_t>(bus.height - 1) * bus.width + x]), 80);
}

TEST(Pictures, HeavyTitlesFillTheirHeightWithWideStrokes)
{
    // Only where the two split copies overlap does a title survive part 1's
    // darkening: letters over the full height, strokes wide across the rows.
    const struct {
        const char* path;
        int stem;   // the most common width of a lit run on a row
    } cases[] = {{"data/gfx/pic09.jpg", 20}, {"data/gfx/pic10.jpg", 20}};
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int inkRows = 0;
        std::vector<int> runs(p.width + 1, 0);
        for (int y = 0; y < p.height; ++y) {
            int run = 0;
            bool any = false;
            for (int x = 0; x <= p.width; ++x) {
                const bool lit =
                    x < p.width && redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]) > 128;
                any |= lit;
                if (lit) {
                    ++run;
                } else if (run > 0) {
                    ++runs[run];
                    run = 0;
                }
            }
            inkRows += any;
        }
        EXPECT_GE(inkRows, p.height - 4) << c.path;
        const int common =
            static_cast<int>(std::max_element(runs.begin(), runs.end()) - runs.begin());
        EXPECT_GE(common, c.stem) << c.path;
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

TEST(JpegWriter, FailuresNameTheFile)
{
    const std::uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writeJpeg("/nonexistent-folder/x.jpg", &pixel, 1, 1, error));
    EXPECT_NE(error.find("/nonexistent-folder/x.jpg"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(writeJpeg("zero.jpg", &pixel, 0, 1, error));
    EXPECT_NE(error.find("zero.jpg"), std::string::npos) << error;
}

TEST(PngWriter, PixelsSurviveTheRoundTripExactly)
{
    const fs::path dir = scratchDir("png");
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

TEST(PngWriter, FailuresNameTheFile)
{
    const std::uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", &pixel, 1, 1, error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(writePng("wide.png", &pixel, -3, 1, error));
    EXPECT_NE(error.find("wide.png"), std::string::npos) << error;
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
